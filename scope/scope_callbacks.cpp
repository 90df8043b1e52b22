// Callbacks of the scope settings page: cycle time, SCAN, BREAK, the recorder settings and the
// comment box.
#include "window/callbacks.h"
#include "window/help.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "platform/ui.h"
#include "scope/scope.h"
#include "window/panels.h"

int CBF_ButtonGetCycleTime(int, int, int event, void *, int, int) {
    static const TextPair help = {"Zykluszeit des Sensors abfragen. \nSensor fuer 8 Sekunden nicht "
                                  "unterbrechen, \ndann Schaltflaeche klicken.",
                                  "Get cycle time from sensor. \nDon't interrupt the sensor for 8 "
                                  "seconds \nthen press the button."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        SetButtonsDimmed(kAllControls, kDimmed);
        GetCycleTime();
        calcScopDeltaXY();
        SetButtonsDimmed(kAllControls, kEnabled);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonScan(int, int, int event, void *, int, int) {
    static const TextPair help = {"Datenrekorder starten und das Ergebnis im Graph anzeigen.",
                                  "Start data recording and display the result in the graph."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        SetButtonsDimmed(kAllControls, kDimmed);
        SetCtrlAttribute(App.ScopePanel, SCOPEP_BUSY, ATTR_VISIBLE, 1);
        ShowChildPanelDisp(App.ScopePanel);
        GetScopeData(); // returns once the record is drawn, or after BREAK or a failure
        SetCtrlAttribute(App.ScopePanel, SCOPEP_BUSY, ATTR_VISIBLE, 0);
        SetButtonsDimmed(kAllControls, kEnabled);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonBreakScan(int, int, int event, void *, int, int) {
    static const TextPair help = {"Datenrekorder abbrechen.", "Break data recording."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        SetButtonsDimmed(kAllControls, kDimmed);
        BreakDataScan();
        SetButtonsDimmed(kAllControls, kEnabled);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_EditTriggerMode(int, int, int event, void *, int, int) {
    static const TextPair help = {
        "Trigger Modus auswaehlen! \nEINZELAUFNAHME: Datenrekorder startet nach Klick auf SCAN. "
        "\nSTEIGENDE FLANKE: Datenrekorder startet wenn die blaue Linie ueber TRIGGER LEVEL "
        "steigt. \nFALLENDE FLANKE: Datenrekorder startet wenn die blaue Linie unter TRIGGER LEVEL "
        "faellt. \nINTERN OUT0: Datenrekorder startet wenn OUT0 aus Toleranz faellt. \nEXTERN IN0: "
        "Datenrekorder startet wenn IN0 high schaltet.",
        "Select trigger mode! \nSINGLE SHOT: Data recording starts after pushing SCAN. \nRISING "
        "EDGE: Data recording starts when signal goes higher than TRIGGER LEVEL. \nFALLING EDGE: "
        "Data recording starts when signal goes lower than TRIGGER LEVEL. \nINTERNAL OUT0: Data "
        "recording starts when OUT0 exits tolerance. \nEXTERNAL IN0: Data recording starts when "
        "IN0 goes high."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        // Level only for the edge triggers, pre-trigger for every triggered mode.
        GetCtrlVal(App.ScopeTab, SCOPETAB_TRIG_MODE, &App.ScopeTriggerMode);
        SetCtrlAttribute(App.ScopeTab, SCOPETAB_TRIG_LEVEL, ATTR_DIMMED,
                         (App.ScopeTriggerMode == 0 || App.ScopeTriggerMode >= 3) ? 1 : 0);
        SetCtrlAttribute(App.ScopeTab, SCOPETAB_PRE_TRIG, ATTR_DIMMED,
                         App.ScopeTriggerMode == 0 ? 1 : 0);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_EditPreTrigVal(int, int, int event, void *, int, int) {
    static const TextPair help = {
        "Anzahl der aufgenommenen Werte \ndie gespeichert werden bevor Triggerereignis eintritt.",
        "Number of recorded values \nwhich are stored before trigger occured."};
    return AnswerHelp(event, help);
}

int CBF_EditTriggerLevel(int, int, int event, void *, int, int) {
    static const TextPair help = {"Rekorder startet wenn das Signal das TRIGGER LEVEL passiert.",
                                  "Record starts when signal passes TRIGGER LEVEL."};
    return AnswerHelp(event, help);
}

int CBF_EditScanRate(int, int, int event, void *, int, int) {
    static const TextPair help = {"Zeichnet pro SCAN RATE Zyklus einen Wert auf.",
                                  "Record a value every SCAN RATE scan."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        calcScopDeltaXY();
        break;
    default:
        break;
    }
    return 0;
}

int CBF_DispScanFreq(int, int, int event, void *, int, int) {
    static const TextPair help = {"Sensor Scanfrequenz. \nSensor fuer 8 Sekunden nicht "
                                  "unterbrechen, \ndann Schaltflaeche klicken.",
                                  "Sensor scanfrequency. \nDon't interrupt the sensor for 8 "
                                  "seconds \nthen press the button."};
    return AnswerHelp(event, help);
}

int CBF_EditScopeComment(int, int, int event, void *, int, int) {
    switch (event) {
    case EVENT_RIGHT_DOUBLE_CLICK: // the comment box clears itself; it has no help
        ResetTextBox(App.ScopeTab, SCOPETAB_COMMENT, "");
        break;
    default:
        break;
    }
    return 0;
}
