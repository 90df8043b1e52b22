// `taviron live` over the simulated sensor's paced serial line at 115200 baud: polls per second
// against the line's own limit (44 bytes of 10 bits a pass), and the CPU the taviron process
// took (its whole life, start-up included, from wait4), as a share of a core and per poll. A
// raw client on the same line is measured first for reference.
//   bench_taviron_live [seconds]
#include "program_host.h"
#include "raw_poller.h"

#include "platform/ui.h"
#include "sim/sim.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::atomic<long> g_polls{0};
std::atomic<double> g_firstPoll{0}, g_lastPoll{0};

std::string TavironPath() {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "taviron";
    exe[n] = 0;
    return (std::filesystem::path(exe).parent_path() / "taviron").string();
}

} // namespace

int main(int argc, char **argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
        return 2;
    }
    tavsim::SimConfig c;
    c.tcp = false;
    c.serial = true;
    c.pace = true;
    c.sensor.baudIndex = 4; // 115200 baud, taviron's default
    tavsim::SimSensor sim(c);
    if (!sim.start()) return 1;
    sim.setLogSink([](const tavsim::LogEntry &e) {
        if (e.kind != tavsim::LogKind::Received || e.hex.compare(0, 5, "55 08") != 0) return;
        const double now = Timer();
        if (g_polls++ == 0) g_firstPoll = now;
        g_lastPoll = now;
    });
    const double limit = kSerialLineLimit;

    RawPollSerialReference(sim.serialPath().c_str(), seconds);

    g_polls = 0;
    const std::string program = TavironPath(), secondsText = std::to_string(seconds);
    const std::string device = sim.serialPath();
    std::fflush(stdout); // the child must not print what is still buffered here
    const double start = Timer();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout)) _exit(126);
        execl(program.c_str(), "taviron", "--device", device.c_str(), "live", "--seconds",
              secondsText.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "taviron live did not end with 0 (status %d)\n", status);
        return 1;
    }
    const double wall = Timer() - start;
    const long polls = g_polls;
    if (polls < 2) {
        std::fprintf(stderr, "taviron made no polls\n");
        return 1;
    }
    const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                       1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    const double rate = (polls - 1) / (g_lastPoll - g_firstPoll);
    std::printf("taviron live --seconds %.0f, paced serial line 115200 baud: %ld polls, %.1f "
                "polls/s; line limit %.1f polls/s: ratio %.3f (goal >= 0.95)\n",
                seconds, polls, rate, limit, rate / limit);
    std::printf("taviron's CPU over its whole run (%.2f s, start-up included): %.3f s, %.1f %% of "
                "a core (goal <= 5 %%); %.3f ms a poll; %.2f voluntary context switches a poll\n",
                wall, cpu, 100 * cpu / wall, 1e3 * cpu / polls, double(usage.ru_nvcsw) / polls);
    return 0;
}
