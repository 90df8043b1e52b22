// How the window program shows what the link reports: SetTimeout, the one handler of every
// link failure, and the notice of a server that floods the conversation.
#include "connect/connection.h"

#include "base/state.h"
#include "connect/link_internal.h"
#include "linktext/linktext.h"
#include "platform/ui.h"
#include "window/panels.h"

#include "Tavironv10.h"

#include <cstdio>

namespace {

void ShowFlood(unsigned long long droppedBytes) {
    AppendStatus(LinkFloodText(droppedBytes).c_str());
}

} // namespace

void SetTimeout(const LinkFault &fault) {
    std::snprintf(App.ErrorText, sizeof App.ErrorText, "%s", LinkFailureText(fault).c_str());
    SetCtrlVal(App.DataPanel, DATAP_STATUS, FailureStatusLine(fault).c_str());
    AppendStatus(App.ErrorText);
    AppendStatus("\n\n");
    SetLinkButtonsDimmed(kDimmed);
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
}

void InstallLinkHandlers() {
    SetLinkFailureHandler(SetTimeout);
    SetLinkFloodHandler(ShowFlood);
}
