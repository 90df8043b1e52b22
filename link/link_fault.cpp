// The link's failure routine and the handlers the program installs.
#include "link/link_fault.h"

#include "base/state.h"

namespace {

LinkFault g_last;
int g_count = 0;
LinkFailureHandler g_failureHandler = nullptr;
LinkFloodHandler g_floodHandler = nullptr;

} // namespace

int LinkFailure(const LinkFault &fault) {
    App.Running = 0;
    App.LinkOk = 0;
    App.ScanRunning = 0;
    g_last = fault;
    ++g_count;
    if (g_failureHandler) g_failureHandler(fault);
    return -1;
}

int LinkFailure(LinkError code) {
    LinkFault fault;
    fault.code = code;
    return LinkFailure(fault);
}

const LinkFault &LastLinkFault() {
    return g_last;
}

int LinkFailureCount() {
    return g_count;
}

void SetLinkFailureHandler(LinkFailureHandler handler) {
    g_failureHandler = handler;
}

void SetLinkFloodHandler(LinkFloodHandler handler) {
    g_floodHandler = handler;
}

void LinkFlood(unsigned long long droppedBytes) {
    if (g_floodHandler) g_floodHandler(droppedBytes);
}
