// The test clock of test_clock.h.
#include "test_clock.h"

#include "link/link_clock.h"

#include <chrono>

namespace {

double g_offset = 0;

double Now() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count() + g_offset;
}

} // namespace

void InstallTestClock() {
    g_offset = 0;
    SetLinkClock(Now);
}

void RemoveTestClock() {
    SetLinkClock(nullptr);
    g_offset = 0;
}

void AdvanceTestClock(double seconds) {
    g_offset += seconds;
}
