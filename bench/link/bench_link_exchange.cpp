// Sensor link benchmarks against the simulated sensor over TCP loopback, in one run:
//   - exchanges per second of the program's DataExchange (order 8, 28-byte reply) against a
//     minimal raw client (blocking socket, no event loop) on its own simulated sensor, in short
//     alternating rounds; the figure is the median of the rounds' ratios. A third client polls
//     its socket without blocking, as the program's wait loop polls its events: it shows how
//     much of the difference is the polling itself;
//   - CPU of the user-interface thread while a reply is awaited: one exchange whose reply never
//     comes, so the wait runs its full 3 s.
// Usage: bench_link_exchange [seconds per round] [rounds]   (default 0.2 s, 30 rounds)
#include "base/state.h"
#include "link/exchange.h"
#include "link/tcp_line.h"
#include "platform/core/tcp.h"
#include "platform/ui.h"
#include "protocol/frame.h"
#include "sim/sim.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool ReadAll(int fd, uint8_t *out, size_t n) {
    size_t got = 0;
    while (got < n) {
        ssize_t r = read(fd, out + got, n - got);
        if (r <= 0) return false;
        got += size_t(r);
    }
    return true;
}

int ConnectRaw(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads n bytes without ever blocking: the thread polls until they are there.
bool PollAll(int fd, uint8_t *out, size_t n) {
    size_t got = 0;
    while (got < n) {
        ssize_t r = recv(fd, out + got, n - got, MSG_DONTWAIT);
        if (r > 0)
            got += size_t(r);
        else if (r == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            return false;
    }
    return true;
}

// Exchanges per second and CPU of the calling thread per exchange, for one round.
struct Rate {
    double perSecond = -1;
    double cpuPerExchange = 0; // seconds
};

Rate Measured(long count, double t0, double t, double cpu0) {
    Rate r;
    if (count <= 0 || t <= t0) return r;
    r.perSecond = count / (t - t0);
    r.cpuPerExchange = (ThreadCpuSeconds() - cpu0) / double(count);
    return r;
}

// The raw client: one socket, request, header, data, next request; blocking or polling reads.
Rate RawExchanges(int port, double seconds, bool polling) {
    int fd = ConnectRaw(port);
    if (fd < 0) return {};
    auto readAll = polling ? PollAll : ReadAll;
    uint8_t request[8], reply[FrameMaxSize];
    frameBuild(request, sizeof request, OrderLiveData, 0, nullptr, 0);
    long count = 0;
    const double cpu0 = ThreadCpuSeconds(), t0 = Timer();
    double t = t0;
    while (t - t0 < seconds) {
        if (write(fd, request, sizeof request) != ssize_t(sizeof request)) break;
        if (!readAll(fd, reply, FrameHeaderSize)) break;
        FrameHeader h;
        if (!frameCheckHeader(reply, &h) || !readAll(fd, reply + FrameHeaderSize, h.length)) break;
        ++count;
        t = Timer();
    }
    Rate r = Measured(count, t0, t, cpu0);
    close(fd);
    return r;
}

bool ConnectProgram(int port) {
    App = AppState{};
    App.ComProtocol = 1;
    return OpenTcpLine("127.0.0.1", port) >= 0;
}

Rate ProgramExchanges(double seconds) {
    long count = 0;
    const double cpu0 = ThreadCpuSeconds(), t0 = Timer();
    double t = t0;
    while (t - t0 < seconds) {
        FillTxBuf(OrderLiveData, 0, 0);
        if (DataExchange(kHeaderSize) != 1) return {};
        ++count;
        t = Timer();
    }
    return Measured(count, t0, t, cpu0);
}

tavsim::SimConfig TcpSensor() {
    tavsim::SimConfig c;
    c.tcpPort = 0;
    c.sensor.steppedClock = true;
    return c;
}

} // namespace

namespace {

int Run(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.2;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 30;
    if (!InitUserInterface(argc, argv)) return 1;
    tavsim::SimSensor rawSim(TcpSensor()), programSim(TcpSensor());
    if (!rawSim.start() || !programSim.start() || !ConnectProgram(programSim.tcpPort())) {
        std::fprintf(stderr, "cannot start the sensors or connect\n");
        return 1;
    }

    std::vector<double> raw, polling, program, ratio, pollRatio, rawCpu, programCpu;
    std::printf("round  raw blocking/s  raw polling/s  DataExchange/s  ratio  ratio to polling\n");
    for (int r = 0; r < rounds; ++r) {
        Rate a = RawExchanges(rawSim.tcpPort(), seconds, false);
        Rate b = ProgramExchanges(seconds);
        Rate c = RawExchanges(rawSim.tcpPort(), seconds, true);
        if (a.perSecond <= 0 || b.perSecond <= 0 || c.perSecond <= 0) {
            std::fprintf(stderr, "round %d failed\n", r + 1);
            return 1;
        }
        raw.push_back(a.perSecond);
        program.push_back(b.perSecond);
        polling.push_back(c.perSecond);
        ratio.push_back(b.perSecond / a.perSecond);
        pollRatio.push_back(b.perSecond / c.perSecond);
        rawCpu.push_back(a.cpuPerExchange);
        programCpu.push_back(b.cpuPerExchange);
        std::printf("%5d  %14.0f  %13.0f  %14.0f  %5.3f  %16.3f\n", r + 1, a.perSecond, c.perSecond,
                    b.perSecond, ratio.back(), pollRatio.back());
    }
    std::printf("median raw %.0f/s, raw polling %.0f/s, DataExchange %.0f/s; median ratio %.3f "
                "(goal >= 0.8), to the polling client %.3f\n",
                Median(raw), Median(polling), Median(program), Median(ratio), Median(pollRatio));
    std::printf("CPU of the calling thread per exchange (median): raw blocking %.1f us, "
                "DataExchange %.1f us\n",
                1e6 * Median(rawCpu), 1e6 * Median(programCpu));

    // One request that is never answered: the wait runs its 3 s.
    tavsim::FaultSetting f;
    f.kind = tavsim::FaultKind::NoReply;
    programSim.setFault(f);
    FillTxBuf(OrderLiveData, 0, 0);
    const double cpu0 = ThreadCpuSeconds(), t0 = Timer();
    const int result = DataExchange(kHeaderSize);
    const double waited = Timer() - t0, cpu = ThreadCpuSeconds() - cpu0;
    std::printf("reply awaited %.2f s (result %d): UI thread CPU %.3f s = %.2f %% of a core "
                "(goal <= 5 %%)\n",
                waited, result, cpu, 100 * cpu / waited);
    DisconnectFromTCPServer(App.TcpHandle);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    int code = Run(argc, argv);
    CloseUserInterface(); // the runtime ends before the process does
    return code;
}
