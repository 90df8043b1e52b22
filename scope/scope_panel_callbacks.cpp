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
    if (HelpAsked(event, help::CBF_ButtonCloseSP)) return 0;
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
    if (HelpAsked(event, help::CBF_ButtonZoomScope11)) return 0;
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
    if (HelpAsked(event, help::CBF_GraphScope)) return 0;
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
    return AnswerHelp(event, help::CBF_DispDeltaX);
}

int CBF_DispDeltaY(int, int, int event, void *, int, int) {
    return AnswerHelp(event, help::CBF_DispDeltaY);
}

int CBF_ButtonExportScope(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonExportScope)) return 0;
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
    if (HelpAsked(event, help::CBF_ButtonPrintScopeGraph)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        PrintScopeGraph();
        break;
    default:
        break;
    }
    return 0;
}
