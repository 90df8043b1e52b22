// The program started in-process as WinMain starts it, in a private folder, connected over the
// serial line to a simulated sensor that also serves TCP. The sensor's log is watched as it
// grows, so a test can act (click STOP, SEND, a tab) at a chosen moment inside the running
// cycle: actions queued with RunWhen run from the wait loops of the cycle's exchanges.
#pragma once

#include "app/app.h"
#include "base/callbacks.h"
#include "base/panels.h"
#include "base/state.h"
#include "live/live_data.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "protocol/frame.h"
#include "sim/sim.h"

#include "Tavironv10.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

class LiveTest : public ::testing::Test {
  protected:
    std::unique_ptr<tavsim::SimSensor> sim;
    std::vector<PopupRecord> popups;
    fs::path dir;

    // Requests the sensor has received, in order: their order codes and the count of polls.
    std::mutex ordersMutex;
    std::vector<int> orders;
    std::atomic<int> polls{0};
    // Data of the live data replies the sensor sent, in order.
    std::vector<std::vector<u8>> liveReplies;

    // Queued actions check this first, so none outlives its test.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    void SetUp() override {
        tavsim::SimConfig config;
        config.tcpPort = 0;
        config.serial = true;
        config.pace = false;
        config.sensor.steppedClock = true;
        config.sensor.seed = 7;
        sim = std::make_unique<tavsim::SimSensor>(config);
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
        sim->setLogSink([this](const tavsim::LogEntry &e) { Record(e); });

        dir = fs::temp_directory_path() /
              ("taviron_live_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (const char *f :
             {"Tavironv10.uir", "logoHV.bmp", "language_eng.lwl", "language_ger.lwl"})
            fs::copy_file(fs::path(TAVIRON_BIN_DIR) / f, dir / f);
        TestSetProjectDir(dir.c_str());
        TestMapComPort(1, sim->serialPath().c_str());
        BeforeStart();

        App = AppState{};
        SetPopupResponder([this](const PopupRecord &r, std::string *) {
            popups.push_back(r);
            return 1;
        });
        static char name[] = "test_live";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(LoadPanels(1, argv), 0);
        InitAll();
        TestProcessEvents(20);
        ASSERT_EQ(App.LinkOk, 1) << "start-up connects over the serial line";
        ClearRecords();
    }

    // Runs with the program's folder ready, before the program starts (a settings file, ...).
    virtual void BeforeStart() {}

    void TearDown() override {
        *alive = false;
        App.Running = 0;
        TestProcessEvents(5);
        ShutDown();
        TestProcessEvents(5);
        SetPopupResponder({});
        TestMapComPort(1, nullptr);
        TestSetProjectDir(nullptr);
        if (sim) {
            sim->setLogSink({});
            sim->stop();
        }
        fs::remove_all(dir);
    }

    void Record(const tavsim::LogEntry &e) {
        std::vector<u8> bytes = HexBytes(e.hex);
        FrameHeader h;
        if (bytes.size() < 8 || !frameCheckHeader(bytes.data(), &h)) return;
        std::lock_guard<std::mutex> lock(ordersMutex);
        if (e.kind == tavsim::LogKind::Received) {
            orders.push_back(h.order);
            if (h.order == OrderLiveData) ++polls;
        } else if (e.kind == tavsim::LogKind::Sent && h.order == OrderLiveData &&
                   bytes.size() >= 8u + h.length &&
                   frameDataCrc(bytes.data() + 8, h.length) == h.dataCrc) {
            // Only replies the program can accept; a faulted one is not shown.
            liveReplies.emplace_back(bytes.begin() + 8, bytes.begin() + 8 + h.length);
        }
    }

    static std::vector<u8> HexBytes(const std::string &hex) {
        std::vector<u8> out;
        for (size_t i = 0; i + 1 < hex.size(); i += 3)
            out.push_back(u8(std::stoi(hex.substr(i, 2), nullptr, 16)));
        return out;
    }

    void ClearRecords() {
        std::lock_guard<std::mutex> lock(ordersMutex);
        orders.clear();
        liveReplies.clear();
        polls = 0;
    }

    std::vector<int> Orders() {
        std::lock_guard<std::mutex> lock(ordersMutex);
        return orders;
    }

    // The values of the last live data reply the sensor sent (zeros beyond a short reply).
    LiveDataRec LastLiveReply() {
        std::lock_guard<std::mutex> lock(ordersMutex);
        std::vector<u8> data(kLiveDataSize, 0);
        if (!liveReplies.empty())
            std::copy_n(liveReplies.back().begin(),
                        std::min<size_t>(kLiveDataSize, liveReplies.back().size()), data.begin());
        return DecodeLiveData(data.data());
    }

    // Runs `action` from the event loop once `condition` holds; checked on every pass of the
    // loop, so inside the cycle it runs from the wait of the exchange under way.
    void RunWhen(std::function<bool()> condition, std::function<void()> action) {
        std::weak_ptr<bool> token = alive;
        TestRunFromLoop([this, token, condition, action] {
            auto live = token.lock();
            if (!live || !*live) return;
            if (condition())
                action();
            else
                RunWhen(condition, action);
        });
    }

    // GO as the operator presses it (or as `press` does); returns when the cycle has ended. A
    // cycle still running after `seconds` is stopped and reported as a failure.
    void RunGo(double seconds = 20, const std::function<void()> &press = {}) {
        bool finished = false, overran = false;
        const double deadline = Timer() + seconds;
        RunWhen([&] { return finished || Timer() > deadline; },
                [&] {
                    if (finished) return;
                    overran = true;
                    App.Running = 0;
                });
        if (press)
            press();
        else
            TestClickCtrl(App.MainPanel, MAINP_GO);
        // GO's callback runs the whole cycle in here; a shortcut key clicks the button only
        // after the button's short press animation.
        TestProcessEvents(press ? 300 : 0);
        finished = true;
        TestProcessEvents(0);
        EXPECT_FALSE(overran) << "the cycle did not end";
    }

    void ConnectTcp() {
        char port[16];
        std::snprintf(port, sizeof port, "%d", sim->tcpPort());
        SetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, 1);
        SetCtrlVal(App.ConnectTab, CONNECT_SERVER, "127.0.0.1");
        SetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, port);
        CBF_ButtonTryToConnect(App.ConnectTab, CONNECT_TRY_TO_CONNECT, EVENT_COMMIT, nullptr, 0, 0);
        TestProcessEvents(5);
        ASSERT_EQ(App.LinkOk, 1) << "connected over TCP";
        ASSERT_EQ(App.TcpConnected, 1);
        // Back on the parameter page, as an operator would be before GO.
        TestSelectTab(App.MainPanel, MAINP_TAB, 1);
        TestProcessEvents(5);
        ClearRecords();
    }

    static int Dimmed(int panel, int control) {
        int v = -1;
        GetCtrlAttribute(panel, control, ATTR_DIMMED, &v);
        return v;
    }
    static unsigned Shown(int control) {
        unsigned v = 0xDEADBEEF;
        GetCtrlVal(App.DataPanel, control, &v);
        return v;
    }
    static int ActivePage() {
        int page = -1;
        GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
        return page;
    }
    static std::string StatusBox() {
        char text[8192];
        GetCtrlVal(App.ConnectTab, CONNECT_STATUS, text);
        return text;
    }

    // The seven displays and four LEDs show `d`.
    static void ExpectDisplays(const LiveDataRec &d) {
        EXPECT_EQ(Shown(DATAP_CNT_PERIOD), d.CntPeriod);
        EXPECT_EQ(Shown(DATAP_CNT_GAP), d.CntGap);
        EXPECT_EQ(Shown(DATAP_CNT_STROKE), d.CntStroke);
        EXPECT_EQ(Shown(DATAP_LOWER_TOL_LIMIT), d.LowerTolLimit);
        EXPECT_EQ(Shown(DATAP_UPPER_TOL_LIMIT), d.UpperTolLimit);
        EXPECT_EQ(Shown(DATAP_BAD_CNT_LOWER), d.BadCntLower);
        EXPECT_EQ(Shown(DATAP_BAD_CNT_UPPER), d.BadCntUpper);
        const int leds[4] = {DATAP_LED_OUT0, DATAP_LED_OUT1, DATAP_LED_OUT2, DATAP_LED_OUT3};
        for (int out = 0; out < 4; ++out)
            EXPECT_EQ(Shown(leds[out]), unsigned((d.OutputBits >> out) & 1)) << "OUT" << out;
    }
};
