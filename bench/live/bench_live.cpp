// Live data cycle benchmarks against the simulated sensor, each a ratio measured in one run:
//   tcp [seconds] [rounds]   polls per second of the program's cycle (displays updating) over
//                            TCP loopback against a minimal raw client, rounds alternating
//   serial [seconds]         polls per second over a paced 115200-baud line against the line's
//                            own limit (44 bytes of 10 bits a pass)
//   refresh [count]          CPU of one refresh of the data panel (SetPanelData, then the
//                            widgets follow and paint), every value changed each time
//   soak [minutes]           CPU of the program while the cycle runs, and resident memory
//                            after `minutes` against after 1 minute (sensor in its own process)
#include "program_host.h"
#include "raw_poller.h"

#include "base/state.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "window/callbacks.h"

#include "Tavironv10.h"
#include "sim/sim.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<long> g_polls{0};

// Counts the live data requests the in-process sensor receives.
void CountPolls(tavsim::SimSensor &sim) {
    sim.setLogSink([](const tavsim::LogEntry &e) {
        if (e.kind == tavsim::LogKind::Received && e.hex.compare(0, 5, "55 08") == 0) ++g_polls;
    });
}

// Ends the program's cycle after `seconds` the way any failure ends it: the sensor answers the
// next poll with an error reply.
std::thread StopAfter(double seconds, tavsim::SimSensor &sim) {
    return std::thread([seconds, &sim] {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        tavsim::FaultSetting f;
        f.kind = tavsim::FaultKind::ErrorOrder;
        f.order = 8;
        sim.setFault(f);
    });
}

struct CycleResult {
    long polls;
    double seconds, uiCpuSeconds;
    long uiWaits; // times the UI thread blocked and was woken
};

CycleResult RunCycleFor(double seconds, tavsim::SimSensor &sim) {
    const long p0 = g_polls;
    const long w0 = ThreadWaits();
    const double cpu0 = ThreadCpuSeconds(), t0 = Timer();
    std::thread stopper = StopAfter(seconds, sim);
    RunGoUntilStopped();
    const double t1 = Timer();
    const double cpu1 = ThreadCpuSeconds();
    const long w1 = ThreadWaits();
    stopper.join();
    // The last request was answered with the error reply that ended the cycle.
    return {g_polls - p0 - 1, t1 - t0, cpu1 - cpu0, w1 - w0};
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

tavsim::SimConfig TcpSensor() {
    tavsim::SimConfig c;
    c.tcpPort = 0;
    return c;
}

int BenchTcp(double seconds, int rounds) {
    tavsim::SimSensor rawSim(TcpSensor()), programSim(TcpSensor());
    if (!rawSim.start() || !programSim.start()) return 1;
    CountPolls(programSim);
    if (!StartProgram("/nonexistent/taviron-bench-com1") ||
        !ConnectProgramTcp(programSim.tcpPort())) {
        std::fprintf(stderr, "the program did not connect\n");
        return 1;
    }
    // Short rounds, alternating, so that both sides meet the same load of a shared machine; the
    // ratio of each round's pair is taken, and the median of those is the figure.
    std::vector<double> raw, program, ratio, bare;
    std::printf("round  raw polls/s  raw CPU us/poll  program polls/s  program UI CPU us/poll  "
                "exchanges only polls/s\n");
    for (int r = 0; r < rounds; ++r) {
        const RawPollResult a = RawPollTcp(rawSim.tcpPort(), seconds);
        const CycleResult b = RunCycleFor(seconds, programSim);
        const double t0 = Timer();
        const long c = RunExchangesOnly(seconds);
        bare.push_back(c / (Timer() - t0));
        if (!a.ok || b.polls <= 0) {
            std::fprintf(stderr, "round %d failed\n", r + 1);
            return 1;
        }
        raw.push_back(a.polls / a.seconds);
        program.push_back(b.polls / b.seconds);
        ratio.push_back(program.back() / raw.back());
        std::printf("%5d  %11.0f  %15.1f  %15.0f  %22.1f  %22.0f\n", r + 1, raw.back(),
                    1e6 * a.cpuSeconds / a.polls, program.back(), 1e6 * b.uiCpuSeconds / b.polls,
                    bare.back());
    }
    std::printf("median raw %.0f polls/s, program %.0f polls/s; median of the rounds' ratios "
                "%.3f (goal >= 0.8)\n",
                Median(raw), Median(program), Median(ratio));
    std::printf("the program's exchanges alone (no display update): median %.0f polls/s\n",
                Median(bare));
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    double inside = 0;
    const long d = RunDisplayOnly(seconds, &inside);
    std::printf("SetPanelData alone: %.2f us a pass (%ld passes; widgets follow at the screen's "
                "rate)\n",
                1e6 * inside / d, d);
    StopProgram();
    return 0;
}

int BenchSerial(double seconds) {
    tavsim::SimConfig c;
    c.tcp = false;
    c.serial = true;
    c.pace = true;
    c.sensor.baudIndex = 4; // 115200 baud, the program's default
    tavsim::SimSensor sim(c);
    if (!sim.start()) return 1;
    CountPolls(sim);
    const double limit = kSerialLineLimit;
    // A raw client on the same line first, for reference (one user of the line at a time).
    RawPollSerialReference(sim.serialPath().c_str(), seconds);
    g_polls = 0;
    if (!StartProgram(sim.serialPath()) || !ProgramLinkOk()) {
        std::fprintf(stderr, "the program did not connect over the serial line\n");
        return 1;
    }
    const CycleResult r = RunCycleFor(seconds, sim);
    if (r.polls <= 0) {
        std::fprintf(stderr, "the cycle made no poll\n");
        return 1;
    }
    const double rate = r.polls / r.seconds, perPoll = r.uiCpuSeconds / r.polls;
    std::printf("paced serial line 115200 baud, %.1f s: %ld polls, %.1f polls/s; line limit %.1f "
                "polls/s: ratio %.3f (goal >= 0.95); UI CPU %.1f %% of a core\n",
                r.seconds, r.polls, rate, limit, rate / limit, 100 * r.uiCpuSeconds / r.seconds);
    // The share depends on the rate the loaded machine allowed; the cost of a poll does less.
    std::printf("UI CPU per poll %.3f ms, %.2f wake-ups a poll; at the line's limit that is %.1f "
                "%% of a core (goal <= 5 %%)\n",
                1e3 * perPoll, double(r.uiWaits) / r.polls, 100 * perPoll * limit);
    // Where it goes: the same exchanges without the display update.
    const long w0 = ThreadWaits();
    const double cpu0 = ThreadCpuSeconds(), t0 = Timer();
    const long bare = RunExchangesOnly(seconds);
    const double cpu = ThreadCpuSeconds() - cpu0, t = Timer() - t0;
    if (bare > 0)
        std::printf("the exchanges alone (no display update): %.1f polls/s, UI CPU per poll %.3f "
                    "ms, %.2f wake-ups a poll\n",
                    bare / t, 1e3 * cpu / bare, double(ThreadWaits() - w0) / bare);
    StopProgram();
    return 0;
}

// The simulated sensor as its own program, so that the process measured is the program alone.
struct SensorProcess {
    pid_t pid = -1;
    FILE *in = nullptr; // its command input
    int port = 0;
};

SensorProcess StartSensorProcess() {
    SensorProcess s;
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return s;
    exe[n] = 0;
    const std::string sim = (std::filesystem::path(exe).parent_path() / "taviron-sim").string();
    int toSim[2], fromSim[2];
    if (pipe(toSim) != 0 || pipe(fromSim) != 0) return s;
    s.pid = fork();
    if (s.pid == 0) {
        dup2(toSim[0], 0);
        dup2(fromSim[1], 1);
        const std::string err = std::filesystem::temp_directory_path() / "taviron-bench-sim.err";
        if (FILE *e = std::fopen(err.c_str(), "w")) dup2(fileno(e), 2);
        close(toSim[1]);
        close(fromSim[0]);
        execl(sim.c_str(), sim.c_str(), "--tcp", "127.0.0.1:0", "--quiet", nullptr);
        _exit(127);
    }
    close(toSim[0]);
    close(fromSim[1]);
    s.in = fdopen(toSim[1], "w");
    FILE *out = fdopen(fromSim[0], "r");
    char line[256];
    while (out && std::fgets(line, sizeof line, out))
        if (std::sscanf(line, "TCP: 127.0.0.1:%d", &s.port) == 1) break;
    return s;
}

int BenchSoak(double minutes) {
    signal(SIGPIPE, SIG_IGN); // a sensor that went away must not end the run unreported
    SensorProcess sensor = StartSensorProcess();
    if (sensor.port <= 0) {
        std::fprintf(stderr, "taviron-sim did not start\n");
        return 1;
    }
    if (!StartProgram("/nonexistent/taviron-bench-com1") || !ConnectProgramTcp(sensor.port)) {
        std::fprintf(stderr, "the program did not connect\n");
        return 1;
    }
    const double total = minutes * 60;
    std::atomic<long> rssAtOneMinute{0}, rssAtEnd{0};
    std::atomic<double> cpuShare{0};
    std::thread sampler([&] {
        const double t0 = Timer(), cpu0 = ProcessCpuSeconds();
        double last = t0, lastCpu = cpu0;
        std::printf("  time s   RSS KiB   CPU %% of a core (last interval)\n");
        for (int i = 1; Timer() - t0 < total; ++i) {
            std::this_thread::sleep_until(std::chrono::steady_clock::now() +
                                          std::chrono::duration<double>(t0 + 10 * i - Timer()));
            const double now = Timer(), cpu = ProcessCpuSeconds();
            const long rss = ResidentKiB();
            if (rssAtOneMinute == 0 && now - t0 >= 60) rssAtOneMinute = rss;
            std::printf("  %6.0f  %8ld   %5.1f\n", now - t0, rss,
                        100 * (cpu - lastCpu) / (now - last));
            std::fflush(stdout);
            last = now;
            lastCpu = cpu;
        }
        rssAtEnd = ResidentKiB();
        cpuShare = (ProcessCpuSeconds() - cpu0) / (Timer() - t0);
        std::fprintf(sensor.in, "fault err1 1 8\n"); // ends the cycle with an error reply
        std::fflush(sensor.in);
    });
    RunGoUntilStopped();
    const double cycleEnded = Timer();
    sampler.join();
    if (Timer() - cycleEnded > 15)
        std::printf("the cycle ended %.0f s before the end of the run (link failure)\n",
                    Timer() - cycleEnded);
    std::printf("program CPU during the cycle: %.1f %% of a core over %.1f min\n", 100 * cpuShare,
                minutes);
    std::printf("resident memory: %ld KiB after 1 min, %ld KiB after %.1f min: ratio %.4f "
                "(goal <= 1.05)\n",
                long(rssAtOneMinute), long(rssAtEnd), minutes,
                rssAtOneMinute ? double(rssAtEnd) / double(rssAtOneMinute) : 0.0);
    StopProgram();
    std::fprintf(sensor.in, "quit\n");
    std::fclose(sensor.in);
    int status = 0;
    waitpid(sensor.pid, &status, 0);
    if (WIFSIGNALED(status))
        std::printf("taviron-sim ended by signal %d\n", WTERMSIG(status));
    else
        std::printf("taviron-sim exit code %d\n", WEXITSTATUS(status));
    return 0;
}

} // namespace

int BenchRefresh(long count) {
    if (!StartProgram("/nonexistent/taviron-bench-com1")) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    RefreshCpuSeconds(count / 10 + 1); // fonts, caches and pictures made once
    const double perRefresh = RefreshCpuSeconds(count);
    std::printf("one refresh of the data panel, every value changed: %.1f us of CPU (%ld "
                "refreshes); at 60 refreshes a second that is %.2f %% of a core\n",
                1e6 * perRefresh, count, 100 * 60 * perRefresh);
    StopProgram();
    return 0;
}

// Connection attempts that fail, one after another, as TRY TO CONNECT pressed again and again
// with no device behind the port: each writes its lines into the status box. Prints the box's
// size and the process's resident memory every `count / 10` attempts.
int BenchAttempts(long count) {
    if (!StartProgram("/nonexistent/taviron-bench-com1")) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
    static char box[1 << 22];
    const long step = count >= 10 ? count / 10 : 1;
    std::printf("  attempts   status box bytes   lines   RSS KiB\n");
    for (long i = 0; i <= count; ++i) {
        if (i > 0) {
            CBF_ButtonTryToConnect(App.ConnectTab, CONNECT_TRY_TO_CONNECT, EVENT_COMMIT, nullptr, 0,
                                   0);
            TestProcessEvents(0); // the box's widget follows
        }
        if (i % step) continue;
        GetCtrlValText(App.ConnectTab, CONNECT_STATUS, box, sizeof box);
        const std::string text = box;
        std::printf("  %8ld   %16zu   %5ld   %7ld\n", i, text.size(),
                    long(std::count(text.begin(), text.end(), '\n')), ResidentKiB());
        std::fflush(stdout);
    }
    StopProgram();
    return 0;
}

int main(int argc, char **argv) {
    const std::string mode = argc > 1 ? argv[1] : "tcp";
    const double a = argc > 2 ? std::atof(argv[2]) : 0;
    if (mode == "tcp") return BenchTcp(a > 0 ? a : 1, argc > 3 ? std::atoi(argv[3]) : 15);
    if (mode == "serial") return BenchSerial(a > 0 ? a : 10);
    if (mode == "refresh") return BenchRefresh(a > 0 ? long(a) : 2000);
    if (mode == "soak") return BenchSoak(a > 0 ? a : 10);
    if (mode == "attempts") return BenchAttempts(a > 0 ? long(a) : 1000);
    std::fprintf(stderr,
                 "usage: %s tcp [seconds] [rounds] | serial [seconds] | refresh [count] | soak "
                 "[minutes] | attempts [count]\n",
                 argv[0]);
    return 2;
}
