// Starting the program in-process for the live benchmarks, and the process measures.
#include "program_host.h"

#include "app/app.h"
#include "base/state.h"
#include "link/exchange.h"
#include "live/calc/live_data.h"
#include "live/live.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "protocol/frame.h"
#include "window/callbacks.h"

#include "Tavironv10.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path g_dir;

fs::path ProgramDir() {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return fs::current_path();
    exe[n] = 0;
    return fs::path(exe).parent_path();
}

} // namespace

bool StartProgram(const std::string &comDevice) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_dir = fs::temp_directory_path() / ("taviron_bench_live_" + std::to_string(getpid()));
    fs::remove_all(g_dir);
    fs::create_directories(g_dir);
    for (const char *f : {"Tavironv10.uir", "logoHV.bmp", "language_eng.lwl", "language_ger.lwl"})
        fs::copy_file(ProgramDir() / f, g_dir / f);
    TestSetProjectDir(g_dir.c_str());
    TestMapComPort(1, comDevice.c_str());
    // A failed connection attempt works offline; every other popup is acknowledged.
    SetPopupResponder([](const PopupRecord &r, std::string *) {
        auto it = std::find(r.buttons.begin(), r.buttons.end(), "Offline");
        return r.kind == "generic" && it != r.buttons.end() ? int(it - r.buttons.begin()) + 1 : 1;
    });
    static char name[] = "bench_live";
    static char *argv[] = {name, nullptr};
    if (LoadPanels(1, argv) != 0) return false;
    InitAll();
    TestProcessEvents(50);
    return true;
}

bool ConnectProgramTcp(int port) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", port);
    SetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, 1);
    SetCtrlVal(App.ConnectTab, CONNECT_SERVER, "127.0.0.1");
    SetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, text);
    CBF_ButtonTryToConnect(App.ConnectTab, CONNECT_TRY_TO_CONNECT, EVENT_COMMIT, nullptr, 0, 0);
    TestProcessEvents(20);
    return App.LinkOk == 1 && App.TcpConnected == 1;
}

void RunGoUntilStopped() {
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    TestClickCtrl(App.MainPanel, MAINP_GO);
    TestProcessEvents(0); // GO's callback runs the whole cycle in here
}

long RunExchangesOnly(double seconds) {
    long polls = 0;
    const double t0 = Timer();
    while (Timer() - t0 < seconds) {
        FillTxBuf(OrderLiveData, 0, 0);
        ExpectReplyData(kLiveDataSize);
        if (DataExchange(kHeaderSize) != 1) break;
        ++polls;
    }
    return polls;
}

long RunDisplayOnly(double seconds, double *insideSeconds) {
    long passes = 0;
    *insideSeconds = 0;
    const double t0 = Timer();
    while (Timer() - t0 < seconds) {
        App.LiveData.CntPeriod = 20000 + u32(passes % 40);
        App.LiveData.CntGap = 5000 + u32(passes % 7);
        App.LiveData.CntStroke = 12000 + u32(passes % 700);
        App.LiveData.LowerTolLimit = 11000;
        App.LiveData.UpperTolLimit = 13000;
        App.LiveData.OutputBits = u32(passes & 15);
        const double t = Timer();
        SetPanelData();
        *insideSeconds += Timer() - t;
        ProcessSystemEvents();
        ++passes;
    }
    return passes;
}

double RefreshCpuSeconds(long count) {
    const double cpu0 = ThreadCpuSeconds();
    for (long i = 0; i < count; ++i) {
        App.LiveData.CntPeriod = 20000 + u32(i % 40);
        App.LiveData.CntGap = 5000 + u32(i % 7);
        App.LiveData.CntStroke = 12000 + u32(i % 700);
        App.LiveData.LowerTolLimit = 11000 + u32(i % 3);
        App.LiveData.UpperTolLimit = 13000 + u32(i % 5);
        App.LiveData.BadCntLower = u32(i / 3);
        App.LiveData.BadCntUpper = u32(i / 5);
        App.LiveData.OutputBits = u32(i & 15);
        SetPanelData();
        TestProcessEvents(0); // the refresh the flush timer would make, at once
    }
    return (ThreadCpuSeconds() - cpu0) / double(count);
}

bool ProgramLinkOk() {
    return App.LinkOk == 1;
}

void StopProgram() {
    ShutDown();
    TestProcessEvents(5);
    SetPopupResponder({});
    fs::remove_all(g_dir);
}

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

long ThreadWaits() {
    std::ifstream status("/proc/thread-self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
    return 0;
}

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
