// Why a control is dimmed, and what enables it again: the tool tip a dimmed control shows when
// the operator rests the mouse on it. Asked at that moment, so it tells the state of now, in
// the language of now: an operation that runs (the live cycle, a recording waiting for its
// trigger, an exchange with the sensor), no working connection, a connection not yet tested
// with the settings on the page, a scope setting the chosen trigger mode does not use, or live
// values a failure left behind.
#include "window/panels.h"

#include "base/state.h"
#include "base/texts.h"

#include "Tavironv10.h"

namespace {

const TextPair kLiveCycleRuns = {
    "Gesperrt, solange der Messzyklus laeuft: STOPP (F12) beendet ihn.",
    "Dimmed while the live cycle runs: STOP (F12) ends it."};
const TextPair kRecordingWaits = {
    "Gesperrt, solange eine Aufnahme auf ihren Trigger wartet: ABBRECHEN beendet sie.",
    "Dimmed while a recording waits for its trigger: BREAK ends it."};
const TextPair kTalkingToSensor = {
    "Gesperrt, solange das Programm mit dem Sensor spricht; danach wieder frei.",
    "Dimmed while the program talks to the sensor; enabled again when that ends."};
const TextPair kNoLink = {
    "Keine funktionierende Verbindung zum Sensor: VERBINDEN auf der Seite VERBINDUNG stellt "
    "sie her.",
    "No working connection to the sensor: TRY TO CONNECT on the CONNECTION page makes one."};
const TextPair kLinkNotTested = {
    "Braucht eine Verbindung, die mit den Einstellungen dieser Seite geprueft ist: VERBINDEN "
    "gibt es frei.",
    "Needs a connection tested with the settings now on this page: TRY TO CONNECT enables it."};
const TextPair kOnlyWhileWaiting = {
    "Nur solange eine Aufnahme auf ihren Trigger wartet; SCAN startet eine.",
    "Only while a recording waits for its trigger; SCAN starts one."};
const TextPair kEdgeTriggersOnly = {
    "Nur fuer STEIGENDE FLANKE und FALLENDE FLANKE: eine davon als TRIGGER MODUS waehlen.",
    "Used only by RISING EDGE and FALLING EDGE: choose one of them as TRIGGER MODE."};
const TextPair kNotForSingleShot = {
    "Bei EINZELAUFNAHME ohne Bedeutung: einen anderen TRIGGER MODUS waehlen.",
    "Not used by SINGLE SHOT: choose another TRIGGER MODE."};

const TextPair kLastValues = {"Letzte Werte vor einer Stoerung der Verbindung, nicht mehr aktuell: "
                              "START (F11) fragt wieder aktuelle ab.",
                              "Last values before a connection failure, no longer live: GO (F11) "
                              "polls live ones again."};

// The operation that keeps the controls dimmed while it runs.
const TextPair &RunningOperation() {
    if (App.Running) return kLiveCycleRuns;
    if (App.ScanRunning) return kRecordingWaits;
    return kTalkingToSensor;
}

} // namespace

const char *DimmedControlTip(int panel, int control, int busy) {
    if (panel == App.ConnectTab &&
        (control == CONNECT_ACCEPT || control == CONNECT_CHANGE_BAUDRATE ||
         control == CONNECT_GEN_HW_INFO_FILE))
        return Txt(kLinkNotTested); // only a passed identity check enables them
    if (panel == App.ScopeTab && control == SCOPETAB_TRIG_LEVEL) return Txt(kEdgeTriggersOnly);
    if (panel == App.ScopeTab && control == SCOPETAB_PRE_TRIG) return Txt(kNotForSingleShot);
    if (panel == App.DataPanel) return App.LiveStale ? Txt(kLastValues) : nullptr;
    if (busy) return Txt(RunningOperation());
    if (panel == App.ScopeTab && control == SCOPETAB_BREAK) return Txt(kOnlyWhileWaiting);
    if (panel == App.MainPanel || panel == App.ConnectTab || panel == App.ScopeTab)
        return Txt(kNoLink);
    return nullptr;
}
