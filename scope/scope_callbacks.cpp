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
    if (HelpAsked(event, help::CBF_ButtonGetCycleTime)) return 0;
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
    if (HelpAsked(event, help::CBF_ButtonScan)) return 0;
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
    if (HelpAsked(event, help::CBF_ButtonBreakScan)) return 0;
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
    if (HelpAsked(event, help::CBF_EditTriggerMode)) return 0;
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
    return AnswerHelp(event, help::CBF_EditPreTrigVal);
}

int CBF_EditTriggerLevel(int, int, int event, void *, int, int) {
    return AnswerHelp(event, help::CBF_EditTriggerLevel);
}

int CBF_EditScanRate(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_EditScanRate)) return 0;
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
    return AnswerHelp(event, help::CBF_DispScanFreq);
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
