// Replies of a sensor out of step, in error or silent, from a scripted stand-in on the serial
// line (a pseudo-terminal) and over TCP: a well-formed reply to another order is a bad header,
// and an error reply with a number of its own is a failure that names the number. Neither shows
// as the answer: the parameters, the live values and the sensor's identity stay as they were.
// A reply that does not come, or stops short, keeps the window answering until its time-out.
#include "link_fixture.h"

#include "link/link_fault.h"
#include "platform/core/rs232.h"
#include "protocol/frame.h"
#include "tests/support/scripted_sensor.h"
#include "tests/support/test_clock.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace {

using Bytes = ScriptedSensor::Bytes;

const char *kProtocolName[] = {"serial", "tcp"};
const std::string kFirmware = "TAVIRON V1.0.3 2026-11-28";

struct Texts {
    const char *ger, *eng;
};
const Texts kHeader = {"ACHTUNG! \nEmpfangener header frame ist ungueltig!",
                       "ATTENTION! \nReceived header frame is incorrect!"};

class SensorReplyTest : public LinkTest, public ::testing::WithParamInterface<int> {
  protected:
    std::unique_ptr<ScriptedSensor> peer;

    SensorReplyTest() { setup.simulatedSensor = false; }

    void SetUp() override {
        LinkTest::SetUp();
        if (HasFatalFailure()) return;
        const bool tcp = GetParam() == 1;
        peer = std::make_unique<ScriptedSensor>(tcp ? ScriptedSensor::Transport::Tcp
                                                    : ScriptedSensor::Transport::Serial);
        // The sensor as it answers while all is well.
        peer->alwaysReply(
            OrderFirmware,
            {ScriptedSensor::frame(OrderFirmware, 0, {kFirmware.begin(), kFirmware.end()})});
        peer->alwaysReply(OrderSensorId,
                          {ScriptedSensor::frame(OrderSensorId, 4711, {'P', 'S', '1'})});
        peer->alwaysReply(OrderGetPara,
                          {ScriptedSensor::frame(OrderGetPara, 0, {50, 0, 25, 0, 0, 0, 0, 0})});
        if (tcp) {
            ASSERT_GT(peer->port(), 0);
            UseTcp("127.0.0.1", peer->port());
        } else {
            ASSERT_FALSE(peer->serialPath().empty());
            TestMapComPort(1, peer->serialPath().c_str());
            UseSerial(1);
        }
    }

    // TRY TO CONNECT as the operator presses it; the status box and popups emptied first.
    void TryToConnect() {
        ClearStatus();
        popups.clear();
        Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
    }
    // Connected, with RAM chosen (the start-up attempt found no sensor and chose FILE).
    void ConnectOk() {
        TryToConnect();
        ASSERT_EQ(App.LinkOk, 1) << Status();
        if (App.MemorySelect != 1) Click(App.MainPanel, MAINP_RAM);
        ASSERT_EQ(App.MemorySelect, 1);
        ClearStatus();
    }
    static unsigned StrokeTolerance() {
        unsigned short tol = 0;
        GetCtrlVal(App.ParaTab, PARA_STROKE_TOL, &tol);
        return tol;
    }
};

// GET answered by a reply to another order, or by an error reply with a number of its own: the
// failure's own text in the operator's language, and the page keeps what it showed.
TEST_P(SensorReplyTest, AReplyToAnotherOrderOrAnErrorNumberIsAFailureNotTheParameters) {
    struct Case {
        const char *what;
        Bytes reply;
        int language;
        std::string text;
    } const cases[] = {
        {"the live data's reply", ScriptedSensor::frame(OrderLiveData, 0, Bytes(28, 0x32)), 1,
         kHeader.eng},
        {"a bare header of order 3", ScriptedSensor::frame(OrderStoreEeprom, 0), 0, kHeader.ger},
        {"error number 3", ScriptedSensor::frame(OrderErrorReply, 3), 1,
         "Sensor reports error 3! \nVerify PC and sensor software!"},
        {"error number 0", ScriptedSensor::frame(OrderErrorReply, 0), 0,
         "Sensor meldet Fehler 0! \nPC und Sensor-Software ueberpruefen!"},
        {"error number 65535", ScriptedSensor::frame(OrderErrorReply, 65535), 1,
         "Sensor reports error 65535! \nVerify PC and sensor software!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ConnectOk();
        App.LanguageIndex = c.language;
        SetCtrlVal(App.ParaTab, PARA_STROKE_TOL, 123u); // not what the sensor holds
        peer->queueReply(OrderGetPara, {c.reply});
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
        Click(App.MainPanel, MAINP_GET);

        EXPECT_EQ(Status(), c.text + "\n\n");
        EXPECT_EQ(StrokeTolerance(), 123u);
        EXPECT_EQ(DataStatus(), "TIMEOUT!");
        EXPECT_EQ(ActivePage(), 0);
        EXPECT_EQ(App.LinkOk, 0);
        EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_ACCEPT), 1);
    }
}

// The live cycle stops at a reply to another order instead of showing its bytes as counts.
TEST_P(SensorReplyTest, TheLiveCycleStopsAtAReplyToAnotherOrder) {
    ConnectOk();
    App.LanguageIndex = 1;
    peer->queueReply(OrderLiveData, {ScriptedSensor::frame(OrderHardwareInfo, 0, Bytes(28, 0x32))});
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    Click(App.MainPanel, MAINP_GO); // returns when the cycle has ended

    EXPECT_EQ(Status(), std::string(kHeader.eng) + "\n\n");
    unsigned period = 1;
    GetCtrlVal(App.DataPanel, DATAP_CNT_PERIOD, &period);
    EXPECT_EQ(period, 0u) << "never polled successfully: nothing to show";
    EXPECT_EQ(App.Running, 0);
    EXPECT_EQ(App.LinkOk, 0);
}

// The identity check takes the sensor's name and serial number only from a reply to order 15.
TEST_P(SensorReplyTest, TheIdentityCheckRefusesAReplyToAnotherOrder) {
    peer->queueReply(OrderSensorId, {ScriptedSensor::frame(OrderFirmware, 0,
                                                           {kFirmware.begin(), kFirmware.end()})});
    App.LanguageIndex = 1;
    TryToConnect();

    EXPECT_EQ(Status(), "Try to connect!\nTAVIRON V1.0 2026-11-28" + std::string(kHeader.eng) +
                            "\n\nNo sensor connected!\n\n");
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].text,
              "Could not establish connection! \nClose window or work in offline mode!");
    EXPECT_EQ(App.LinkOk, 0);

    // The next attempt, answered as it should be, connects.
    ConnectOk();
}

// Posts an event into the program's loop every few milliseconds from its own thread and checks
// that each one runs: a window that stops processing events (a read that blocks on the line)
// leaves one unrun. `Frozen()` once one waited longer than a person would bear it.
class EventProbe {
  public:
    EventProbe()
        : thread_([this] {
              using namespace std::chrono;
              while (!done_) {
                  auto ran = std::make_shared<std::atomic<bool>>(false);
                  const auto posted = steady_clock::now();
                  TestRunFromLoop([ran] { *ran = true; });
                  while (!*ran && !done_ && steady_clock::now() - posted < seconds(5))
                      std::this_thread::sleep_for(milliseconds(1));
                  if (!*ran && !done_) frozen_ = true;
                  if (*ran) ++ran_;
                  std::this_thread::sleep_for(milliseconds(10));
              }
          }) {}
    ~EventProbe() { Stop(); }
    void Stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }
    bool Frozen() const { return frozen_; }
    int Ran() const { return ran_; }

  private:
    std::atomic<bool> done_{false}, frozen_{false};
    std::atomic<int> ran_{0};
    std::thread thread_;
};

// A sensor that never answers GET, or sends only part of the reply's header: throughout the wait
// an event runs on every pass, each moving the link's clock on by 50 ms, so the 3 s run out only
// as events are processed; and when they have, the exchange ends with the time-out at once,
// although the port would let a read wait 30 s for the missing bytes.
TEST_P(SensorReplyTest, TheWindowAnswersThroughoutASilentSensorsTimeOut) {
    const Bytes header = ScriptedSensor::frame(OrderGetPara, 0, Bytes(8, 0));
    struct Case {
        const char *what;
        std::vector<Bytes> frames;
        std::function<bool()> arrived; // the program has what the sensor sent
    } const cases[] = {
        {"no reply", {}, [] { return true; }},
        {"five bytes of the header",
         {Bytes(header.begin(), header.begin() + 5)},
         [] { return App.RxCount >= 5; }},
        {"the header without its data",
         {Bytes(header.begin(), header.begin() + 8)},
         [] { return App.RxBuf[0] == FrameStartByte; }}, // read, and the data awaited
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ConnectOk();
        App.LanguageIndex = 1;
        if (GetParam() == 0) SetComTime(App.ComPort, 30.0);
        peer->queueReply(OrderGetPara, c.frames);
        const std::size_t requestsBefore = peer->requests().size();
        const int failuresBefore = LinkFailureCount();
        int eventsWhileWaiting = 0;
        // Once the sensor has the request and the program what it sent: an event that moves
        // the clock on and posts itself again, until the exchange has failed.
        std::function<void()> tick = [&] {
            if (LinkFailureCount() != failuresBefore) return;
            ++eventsWhileWaiting;
            AdvanceTestClock(0.05);
            TestRunFromLoop(tick);
        };
        RunWhen([&] { return peer->requests().size() > requestsBefore && c.arrived(); },
                [&] { tick(); });
        EventProbe probe;
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
        Click(App.MainPanel, MAINP_GET);
        TestProcessEvents(20);
        probe.Stop();

        EXPECT_FALSE(probe.Frozen()) << "an event waited 5 s to run";
        EXPECT_GT(probe.Ran(), 0);
        EXPECT_EQ(LinkFailureCount(), failuresBefore + 1);
        EXPECT_EQ(LastLinkFault().code, LinkError::Timeout);
        EXPECT_EQ(Status(), "TIMEOUT! \nNo data received! \nCommunication error! \nCheck power "
                            "supply and COM settings. \nTry to connect again!\n\n");
        // 3 s of 50 ms steps in the wait that times out, and it ends in the pass that finds
        // the time up.
        EXPECT_GE(eventsWhileWaiting, 60);
        EXPECT_LE(eventsWhileWaiting, 62);
    }
}

INSTANTIATE_TEST_SUITE_P(Links, SensorReplyTest, ::testing::Values(0, 1),
                         [](const auto &info) { return std::string(kProtocolName[info.param]); });

} // namespace
