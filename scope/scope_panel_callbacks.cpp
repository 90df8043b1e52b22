// Callbacks of the scope panel: close, zoom 1:1, the graph's cursors and zoom, the delta
// displays, the printout and the export.
#include "window/callbacks.h"
#include "window/help.h"

#include "base/state.h"
#include "base/texts.h"
#include "platform/ui.h"
#include "scope/scope.h"
#include "scope/scope_graph.h"
#include "window/panels.h"

int CBF_ButtonCloseSP(int, int, int event, void *, int, int) {
    static const TextPair help = {"Schliesst PANEL und kehrt zu HAUPT PANEL zurueck.",
                                  "Close PANEL and return to MAIN PANEL."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT: // back to the live displays
        ShowChildPanelDisp(App.DataPanel);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonZoomScope11(int, int, int event, void *, int, int) {
    static const TextPair help = {
        "Zoom in: <Strg>+Linke Maustaste (ziehen zum auswaehlen).\nZoom out: ZOOM 1:1 klicken.",
        "Zoom in: <Ctrl>+Left Mouse Button (drag to select). \nZoom out: Press ZOOM 1:1."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        ZoomScopeFull();
        calcScopDeltaXY();
        break;
    default:
        break;
    }
    return 0;
}

int CBF_GraphScope(int, int, int event, void *, int, int) {
    static const TextPair help = {
        "Zeigt Aufzeichnungs-Ergebnisse an. \n\nAktualisiere deltaX und deltaY durch Bewegen des "
        "Cursors. \nZoom in: <Strg>+Linke Maustaste (Ziehen zum Auswaehlen). \nZoom out: ZOOM 1:1 "
        "klicken.",
        "Displays record results.\n\nUpdate display deltaX and deltaY by moving the cursors. "
        "\nZoom in: <Ctrl>+Left Mouse Button (drag to select). \nZoom out: Press ZOOM 1:1."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_VAL_CHANGED: // a cursor was moved: onto the trace, then measure
        SnapScopeCursors();
        calcScopDeltaXY();
        break;
    case EVENT_ZOOM:
        calcScopDeltaXY();
        break;
    default:
        break;
    }
    return 0;
}

int CBF_DispDeltaX(int, int, int event, void *, int, int) {
    static const TextPair help = {"Zeigt delta X in [ms] an. \nDie Berechnung basiert auf der im "
                                  "Fenster [ms] angezeigten Zykluszeit und der Scan Rate.",
                                  "Show delta X in [ms]. \nThe calculation is based on the cycle "
                                  "time shown \nin the display [ms] and the value of ScanRate."};
    return AnswerHelp(event, help);
}

int CBF_DispDeltaY(int, int, int event, void *, int, int) {
    static const TextPair help = {"Zeigt delta Y in [digit].", "Show delta Y in [digit]."};
    return AnswerHelp(event, help);
}

int CBF_ButtonExportScope(int, int, int event, void *, int, int) {
    static const TextPair help = {
        "Letzte Aufnahme als CSV-Datei speichern, dazu ein Bild des Scope-Fensters (PNG).",
        "Save the last recording as a CSV file, with a picture of the scope panel (PNG)."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        ExportScope();
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonPrintScopeGraph(int, int, int event, void *, int, int) {
    static const TextPair help = {"Einstellungen, Scope Graph und Kommentare drucken.",
                                  "Print settings,scope graph and comment."};
    if (HelpAsked(event, help)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        PrintScopeGraph();
        break;
    default:
        break;
    }
    return 0;
}
