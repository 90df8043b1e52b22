// The event loop's wait: a loop that calls ProcessSystemEvents with nothing pending (the way the
// program waits for the sensor's reply) must block between its calls, not spin. A loose guard
// against a return to busy polling; bench/ui measures the real figure.
#include "platform/testing.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/resource.h>
#include <thread>

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU time this process used while `step` ran over and over for `seconds` of wall time.
template <typename F> double CpuWhile(double seconds, F step) {
    const double cpu0 = CpuSeconds(), t0 = Timer();
    while (Timer() - t0 < seconds)
        step();
    return CpuSeconds() - cpu0;
}

} // namespace

TEST(IdleWait, AWaitLoopWithNothingPendingLeavesTheCoreToOthers) {
    static char name[] = "test_platform";
    static char *argv[] = {name, nullptr};
    ASSERT_EQ(InitUserInterface(1, argv), 1);
    // The wait loop and a loop that only spins take turns in short slices, so a machine busy
    // with other work slows both alike: what a spinning wait would get is measured beside it.
    double waiting = 0, spinning = 0;
    for (int slice = 0; slice < 10; ++slice) {
        waiting += CpuWhile(0.1, [] { ProcessSystemEvents(); });
        spinning += CpuWhile(0.1, [] {});
    }
    ASSERT_GT(spinning, 0.05) << "the spinning loop got no CPU time at all";
    // Blocking waits use a few per cent of what spinning gets; half of it means spinning.
    EXPECT_LT(waiting, 0.5 * spinning) << "wait loop " << waiting << " s of CPU, spinning loop "
                                       << spinning << " s over the same wall time";
}

// Work the loop runs before it blocks may wait itself (a button's callback waiting for the
// sensor) and so fire the block's wake-up timer; the block must still end by itself, not sleep
// until some other event comes. Another thread wakes the loop after 5 s if nothing else does,
// and says so.
TEST(IdleWait, AWaitInsideQueuedWorkLeavesTheOuterWaitItsWakeUp) {
    static char name[] = "test_platform";
    static char *argv[] = {name, nullptr};
    ASSERT_EQ(InitUserInterface(1, argv), 1);
    std::atomic<bool> rescued{false};
    for (int round = 0; round < 40 && !rescued; ++round) {
        for (int i = 0; i < 3; ++i)
            ProcessSystemEvents(); // nothing pending: the next call of the loop blocks
        TestRunFromLoop([] {       // a wait of its own, longer than the block's wake-up
            const double until = Timer() + 0.02;
            while (Timer() < until)
                ProcessSystemEvents();
        });
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        std::thread watchdog([&] {
            std::unique_lock<std::mutex> lock(m);
            if (!cv.wait_for(lock, std::chrono::seconds(5), [&] { return done; })) {
                rescued = true;
                TestRunFromLoop([] {});
            }
        });
        ProcessSystemEvents(); // runs the queued wait, then blocks
        {
            std::lock_guard<std::mutex> lock(m);
            done = true;
        }
        cv.notify_one();
        watchdog.join();
    }
    EXPECT_FALSE(rescued) << "a wait slept until another thread woke it";
}
