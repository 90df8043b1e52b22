// The program started in-process as WinMain starts it, in a private folder with the language
// files, connected over the serial line to a simulated sensor that also serves TCP. The sensor's
// log is watched as it grows, so a test can act (click STOP, SEND, a tab) at a chosen moment
// inside the running cycle: actions queued with RunWhen run from the wait loops of the cycle's
// exchanges.
#pragma once

#include "live/calc/live_data.h"
#include "protocol/frame.h"
#include "tests/support/program_fixture.h"
#include "window/callbacks.h"
#include "window/panels.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class LiveTest : public ProgramFixture {
  protected:
    // Requests the sensor has received, in order: their order codes and the count of polls.
    std::mutex ordersMutex;
    std::vector<int> orders;
    std::atomic<int> polls{0};
    // Data of the live data replies the sensor sent, in order.
    std::vector<std::vector<u8>> liveReplies;

    LiveTest() {
        setup.simulatedSensor = true;
        setup.languageFiles = true;
    }

    void ConfigureSim(tavsim::SimConfig &config) override {
        config.pace = false;
        config.sensor.seed = 7;
    }

    void SetUp() override {
        ProgramFixture::SetUp();
        if (HasFatalFailure()) return;
        sim->setLogSink([this](const tavsim::LogEntry &e) { Record(e); });
        ASSERT_EQ(App.LinkOk, 1) << "start-up connects over the serial line";
        ClearRecords();
    }

    void TearDown() override {
        App.Running = 0;
        TestProcessEvents(5);
        if (sim) sim->setLogSink({});
        ProgramFixture::TearDown();
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

    static unsigned Shown(int control) {
        unsigned v = 0xDEADBEEF;
        GetCtrlVal(App.DataPanel, control, &v);
        return v;
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
