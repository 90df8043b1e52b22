// The main panel and its tab control: closing, the window reset on a right double click, the
// page changes that stop the live cycle, the switch between the two child panels, and the
// scope page shown on request.
#include "app/app.h"
#include "base/state.h"
#include "base/texts.h"
#include "connect/connection.h"
#include "platform/ui.h"
#include "settings/settings.h"
#include "window/callbacks.h"
#include "window/help.h"
#include "window/panels.h"

#include "Tavironv10.h"

namespace {

constexpr int kMainHeight = 690;
constexpr int kMainWidth = 1014;

} // namespace

void ShowScopePage() {
    SetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, 1);
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 2);
    App.Running = 0; // as when the operator picks the page: the live cycle ends
    ShowChildPanelDisp(App.ScopePanel);
}

int CBF_MAINP(int panel, int event, void *, int, int) {
    switch (event) {
    case EVENT_CLOSE:
        App.Running = 0;     // a running live cycle ends at its next test
        App.ScanRunning = 0; // and so does a recording waiting for its trigger
        // A setting that could not be kept is said before the window goes.
        StoreSettingsBeforeEnd();
        QuitUserInterface(0);
        break;
    case EVENT_RIGHT_DOUBLE_CLICK:
        SetPanelSize(panel, kMainHeight, kMainWidth);
        SetPanelPos(panel, VAL_AUTO_CENTER, VAL_AUTO_CENTER);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_TabMain1(int panel, int control, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_TabMain1)) return 0;
    switch (event) {
    case EVENT_SHORTCUT: // the tab control's key combination: the hidden scope page
        ShowScopePage();
        break;
    case EVENT_ACTIVE_TAB_CHANGE: {
        int index = 0, page = 0;
        GetActiveTabPage(panel, control, &index);
        GetPanelHandleFromTabPage(panel, control, index, &page);
        if (page == App.ConnectTab) {
            App.Running = 0;
            SetLinkButtonsDimmed(kDimmed);
        } else if (page == App.ScopeTab) {
            App.Running = 0;
            ShowChildPanelDisp(App.ScopePanel);
        }
        break;
    }
    default:
        break;
    }
    return 0;
}

int CBF_DATAP(int, int, void *, int, int) {
    return 0;
}
int CBF_SCOPEP(int, int, void *, int, int) {
    return 0;
}
