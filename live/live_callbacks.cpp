// Callbacks of GO and STOP and the help of the data panel's displays.
#include "window/callbacks.h"
#include "window/help.h"

#include "base/state.h"
#include "base/texts.h"
#include "live/live.h"
#include "params/para.h"
#include "platform/ui.h"
#include "window/panels.h"

namespace {

// True while GO's callback runs the cycle. A second GO commit can be queued before GO is dimmed
// (a quick double click queues two); run, it would start a second cycle nested inside the first
// one's wait for a reply, and the replies would go to the wrong exchange. It is ignored.
bool g_goActive = false;

} // namespace

int CBF_ButtonGo(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {
        "Startet Datenaustausch zwischen Sensor und PC. \n\nFunktionstaste: F11",
        "Starts data transfer from sensor to PC. \n\nShortcut Key: F11."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        if (g_goActive) break;
        g_goActive = true;
        SetButtonsDimmed(kKeepParaControls, kDimmed); // SEND, GET, memory toggles stay usable
        // The live values are shown where the comparison stood.
        if (int shown = 0; GetPanelAttribute(App.ComparePanel, ATTR_VISIBLE, &shown) == 0 && shown)
            ShowChildPanelDisp(App.DataPanel);
        if (App.LiveStale) ShowValuesLive(1);
        GetPanelValues();
        GetData();
        SetButtonsDimmed(kAllControls, kEnabled); // whatever ended the cycle
        g_goActive = false;
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_ButtonStop(int panel, int control, int event, void *, int, int) {
    static const TextPair help = {
        "Stoppt Datenaustausch zwischen Sensor und PC. \n\nFunktionstaste: F12",
        "Stops data transfer from sensor to PC. \n\nShortcut Key: F12."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT: // the cycle ends at its next test of Running
        App.Running = 0;
        break;
    default:
        break;
    }
    (void)panel;
    (void)control;
    return 0;
}

int CBF_Displays(int, int, int event, void *, int, int) {
    static const TextPair help = {
        "Zeigt an, bei welchem Zaehlerstand ein Ereignis eingetreten ist. \n\nDer Zaehlerstand "
        "entspricht fast genau einer Angabe in Mikrosekunden. \n\nPERIODE: Zeit von Aussparung zu "
        "Aussparung. \n\nAUSSPARUNG: Laenge der Aussparung. \n\nSTANZHUB: Zeitpunkt des "
        "Stanzhubes. \n\nUNTERE TOLERANZ GRENZE und OBERE TOLERANZ GRENZE zeigen das "
        "Toleranzfenster an. \n\nANZAHL FEHLER < TOLERANZ und ANZAHL FEHLER > TOLERANZ zeigen an, "
        "\nwieviele gleiche Fehler in Folge aufgetreten sind.",
        "Indicates at which counter level an event has occurred. \n\nThe counter level is almost "
        "exactly one in microseconds. \n\nCNT PERIOD: Time from gap to gap. \n\nCNT GAP: Length of "
        "the gap. \n\nCNT STROKE: When the stamping stroke occurs. \n\nLOWER TOL LIMIT and UPPER "
        "TOL LIMIT display the tolerance window. \n\nBAD CNT LOWER TOL LIMIT and BAD CNT UPPER TOL "
        "LIMIT indicate \nhow many identical errors have occurred in sequence."};
    return AnswerHelp(event, help);
}

int CBF_LedOut(int, int, int event, void *, int, int) {
    static const TextPair help = {"Zeigt den Status des Ausgaenge an. \nLED AUS (schwarz): Ausgang "
                                  "ist 0V. \nLED AN (orange): Ausgang ist +24V.",
                                  "Displays the status of the output. \nLed OFF (black): Output is "
                                  "0V. \nLed ON (orange): Output is +24V."};
    return AnswerHelp(event, help);
}

int CBF_GraphPaper(int, int, int event, void *, int, int) {
    static const TextPair help = {
        "Zeigt graphisch an, wann die einzelnen Ereignisse stattfinden. \n\nDie Gesamtlaenge "
        "entspricht einer Periode (normiert auf 1000). \n\nDie gruene Flaeche symbolisiert die "
        "Laenge der Aussparung. \n\nCyan zeigt das Toleranzfenster an.\n\nDer blaue Cursor stellt "
        "den Stanzhub da.",
        "Displays graphically when each event takes place (standardised to 1000). \n\nThe total "
        "length corresponds to one period. \n\nThe green area symbolizes the length of the gap. "
        "\n\nCyan displays the tolerance window. \n\nThe blue cursor represents the stamping "
        "stroke."};
    return AnswerHelp(event, help);
}
