// Resident memory of the program while a peer floods its TCP conversation with bytes nobody
// asked for: the program's own link code (ClientTCPCB, DataExchange) connected through a relay
// to the simulated sensor; the relay sends the flood while the event loop runs. Prints the
// resident size before, its peak during and after the flood, the bytes dropped, and whether the
// next exchange after the flood gets its reply.
// Usage: bench_tcp_flood [megabytes]   (default 1024)
#include "base/state.h"
#include "link/exchange.h"
#include "link/tcp_line.h"
#include "platform/core/tcp.h"
#include "platform/ui.h"
#include "protocol/frame.h"
#include "sim/sim.h"
#include "tests/link/flood_proxy.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// The resident set size of this process, kilobytes.
long ResidentKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

bool Exchange() {
    FillTxBuf(OrderGetPara, 0, 0);
    return DataExchange(kHeaderSize) == 1;
}

} // namespace

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 1024;
    if (!InitUserInterface(argc, argv)) return 1;
    tavsim::SimConfig config;
    config.tcpPort = 0;
    config.sensor.steppedClock = true;
    tavsim::SimSensor sim(config);
    if (!sim.start()) {
        std::fprintf(stderr, "cannot start the simulated sensor\n");
        return 1;
    }
    FloodProxy proxy(sim.tcpPort());
    App = AppState{};
    App.ComProtocol = 1;
    std::snprintf(App.IpAddress, sizeof App.IpAddress, "127.0.0.1");
    App.PortNumber = proxy.port();
    InitTCP_IP();
    if (!App.TcpConnected || !Exchange()) {
        std::fprintf(stderr, "cannot connect through the relay\n");
        return 1;
    }
    const long before = ResidentKb();
    long peak = before;
    proxy.flood(megabytes << 20);
    const double t0 = Timer();
    while (!proxy.done()) {
        ProcessSystemEvents();
        peak = std::max(peak, ResidentKb());
    }
    const double seconds = Timer() - t0;
    for (int i = 0; i < 100; ++i)
        ProcessSystemEvents();
    const long after = ResidentKb();
    const bool recovered = Exchange();
    std::printf("flood %lld MB in %.1f s (%.0f MB/s); dropped %llu bytes\n", megabytes, seconds,
                double(megabytes) / seconds, static_cast<unsigned long long>(App.TcpDropped));
    std::printf("resident before %.1f MB, peak during %.1f MB (+%.1f MB), after %.1f MB\n",
                before / 1024.0, peak / 1024.0, (peak - before) / 1024.0, after / 1024.0);
    std::printf("next exchange after the flood: %s\n", recovered ? "reply found" : "FAILED");
    DisconnectFromTCPServer(App.TcpHandle);
    return recovered ? 0 : 1;
}
