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
    if (HelpAsked(event, help::CBF_ButtonGo)) return 0;
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
    if (HelpAsked(event, help::CBF_ButtonStop)) return 0;
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
    return AnswerHelp(event, help::CBF_Displays);
}

int CBF_LedOut(int, int, int event, void *, int, int) {
    return AnswerHelp(event, help::CBF_LedOut);
}

int CBF_GraphPaper(int, int, int event, void *, int, int) {
    return AnswerHelp(event, help::CBF_GraphPaper);
}
