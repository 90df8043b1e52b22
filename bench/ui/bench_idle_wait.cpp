// CPU used by a callback that waits in a ProcessSystemEvents loop with nothing pending (the
// way the program waits for the sensor's reply), against a loop that polls Qt without ever
// blocking; and how late an event that arrives during the wait is seen.
#include "platform/ui.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Share of one core used while `wait` runs for `seconds`.
template <typename F> double CoreShare(double seconds, F wait) {
    double cpu0 = CpuSeconds(), t0 = Timer();
    while (Timer() - t0 < seconds)
        wait();
    return (CpuSeconds() - cpu0) / (Timer() - t0);
}

} // namespace

namespace {

int Run(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!InitUserInterface(argc, argv)) return 1;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;

    double waiting = CoreShare(seconds, [] { ProcessSystemEvents(); });
    double busy = CoreShare(seconds, [] { QCoreApplication::processEvents(); });

    // Latency: a timer that falls due while the loop waits; how late after its due time it runs.
    double worst = 0, total = 0;
    const int rounds = 200;
    for (int i = 0; i < rounds; ++i) {
        bool done = false;
        double firedAt = 0;
        int ms = 3 + i % 5;
        double due = Timer() + ms / 1000.0;
        QTimer::singleShot(ms, Qt::PreciseTimer, [&] {
            firedAt = Timer();
            done = true;
        });
        while (!done)
            ProcessSystemEvents();
        double seen = firedAt - due;
        total += seen;
        worst = std::max(worst, seen);
    }
    std::printf("idle wait loop (ProcessSystemEvents), %.1f s: %.2f %% of a core\n", seconds,
                100 * waiting);
    std::printf("busy poll loop (processEvents only),  %.1f s: %.2f %% of a core\n", seconds,
                100 * busy);
    std::printf("ratio idle/busy: %.4f\n", waiting / busy);
    std::printf("timer event run after its due time: mean %.1f us, worst %.1f us (%d rounds)\n",
                1e6 * total / rounds, 1e6 * worst, rounds);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    int code = Run(argc, argv);
    CloseUserInterface(); // the runtime ends before the process does
    return code;
}
