// The program fixture of program_fixture.h.
#include "program_fixture.h"

#include "link/link_fault.h"
#include "link/serial_line.h"
#include "link/tcp_line.h"
#include "tests/support/test_clock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

void ProgramEnvironment::StartEnvironment(const ProgramSetup &setup) {
    char tmpl[] = "/tmp/taviron-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    programDir = tmpl;
    std::vector<const char *> files = {"Tavironv10.uir", "logoHV.bmp"};
    if (setup.languageFiles) files.insert(files.end(), {"language_ger.lwl", "language_eng.lwl"});
    for (const char *f : files)
        fs::create_symlink(fs::path(TAVIRON_BIN_DIR) / f, programDir / f);
    // The system speaks English unless a test says otherwise (a first start takes its language).
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    unsetenv("LANGUAGE");
    setenv("LANG", "C.UTF-8", 1);
    TestSetProjectDir(programDir.c_str());
    TestSetDataDir((programDir / "no-data-folder").c_str());
    if (setup.currentFolder) {
        oldCwd_ = fs::current_path();
        fs::current_path(programDir);
    }
    if (setup.simulatedSensor) {
        tavsim::SimConfig config = SimDefaults();
        ConfigureSim(config);
        StartSim(config);
        if (::testing::Test::HasFatalFailure()) return;
        TestMapComPort(1, sim->serialPath().c_str());
    } else {
        TestMapComPort(1, (programDir / "no-such-device").c_str());
    }
}

void ProgramEnvironment::StopEnvironment() {
    TestMapComPort(1, nullptr);
    if (sim) sim->stop();
    TestSetProjectDir("");
    TestSetDataDir("");
    if (!oldCwd_.empty()) fs::current_path(oldCwd_);
    oldCwd_.clear();
    if (!programDir.empty()) fs::remove_all(programDir);
}

tavsim::SimConfig ProgramEnvironment::SimDefaults() {
    tavsim::SimConfig config;
    config.tcpPort = 0;
    config.serial = true;
    config.sensor.steppedClock = true;
    return config;
}

void ProgramEnvironment::StartSim(const tavsim::SimConfig &config) {
    sim = std::make_unique<tavsim::SimSensor>(config);
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
}

void ProgramFixture::SetUp() {
    StartEnvironment(setup);
    if (HasFatalFailure()) return;
    App = AppState{};
    InstallTestClock();
    BeforeStart();
    if (HasFatalFailure()) return;
    SetPopupResponder([this](const PopupRecord &r, std::string *path) {
        popups.push_back(r);
        return Answer(r, path);
    });
    if (setup.startInSetUp) Start();
}

void ProgramFixture::Start() {
    // The test program's own name, as the program's is when it starts.
    static char *argv[] = {program_invocation_short_name, nullptr};
    ASSERT_EQ(LoadPanels(1, argv), 0);
    started = true;
    InitAll();
    TestProcessEvents(20);
}

void ProgramFixture::TearDown() {
    *alive_ = false;
    if (started) {
        ShutDown();
        TestProcessEvents(5);
    }
    SetPopupResponder({});
    RemoveTestClock();
    StopEnvironment();
}

void ProgramFixture::Click(int panel, int control) {
    const int pages[] = {App.ConnectTab, App.ParaTab, App.ScopeTab}; // the tab's order
    for (int index = 0; index < 3; ++index)
        if (panel == pages[index]) SetActiveTabPage(App.MainPanel, MAINP_TAB, index);
    TestClickCtrl(panel, control);
    TestProcessEvents(5);
}

int ProgramFixture::Dimmed(int panel, int control) {
    int d = -1;
    GetCtrlAttribute(panel, control, ATTR_DIMMED, &d);
    return d;
}

int ProgramFixture::Visible(int panel, int control) {
    int v = -1;
    GetCtrlAttribute(panel, control, ATTR_VISIBLE, &v);
    return v;
}

int ProgramFixture::ActivePage() {
    int page = -1;
    GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
    return page;
}

std::string ProgramFixture::Status() {
    return Text(App.ConnectTab, CONNECT_STATUS);
}

void ProgramFixture::ClearStatus() {
    ResetTextBox(App.ConnectTab, CONNECT_STATUS, "");
}

void ProgramFixture::OpenTcp(int port) {
    App.ComProtocol = 1;
    std::snprintf(App.IpAddress, sizeof App.IpAddress, "127.0.0.1");
    App.PortNumber = port;
    InitTCP_IP();
    ASSERT_EQ(App.TcpConnected, 1);
}

void ProgramFixture::OpenSerial(const std::string &device) {
    TestMapComPort(1, device.c_str());
    App.ComProtocol = 0;
    App.ComPort = 1;
    App.BaudrateIndex = 4;
    InitRS232();
    ASSERT_GE(App.LinkResult, 0);
}

void ProgramFixture::RunWhen(std::function<bool()> condition, std::function<void()> action) {
    std::weak_ptr<bool> token = alive_;
    TestRunFromLoop([this, token, condition, action] {
        auto live = token.lock();
        if (!live || !*live) return;
        if (condition())
            action();
        else
            RunWhen(condition, action);
    });
}

void ProgramFixture::TimeOutAfterRequest(int order) {
    auto requestsOfOrder = [this, order] {
        int n = 0;
        for (const tavsim::LogEntry &e : sim->requests())
            if (e.hex.size() >= 5 && std::stoi(e.hex.substr(3, 2), nullptr, 16) == order) ++n;
        return n;
    };
    const int before = requestsOfOrder();
    const int failures = LinkFailureCount();
    RunWhen([requestsOfOrder, before] { return requestsOfOrder() > before; },
            [this, failures] {
                // From now on until the failure: a second a pass.
                RunWhen(
                    [failures] {
                        if (LinkFailureCount() != failures) return true;
                        AdvanceTestClock(1);
                        return false;
                    },
                    [] {});
            });
}
