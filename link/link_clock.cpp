// The link's clock: the system's steady clock, or the one a test has set.
#include "link/link_clock.h"

#include <chrono>

namespace {

double SteadySeconds() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

LinkClockFunction g_clock = SteadySeconds;

} // namespace

double LinkClock() {
    return g_clock();
}

void SetLinkClock(LinkClockFunction clock) {
    g_clock = clock ? clock : SteadySeconds;
}
