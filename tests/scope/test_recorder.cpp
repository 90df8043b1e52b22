// The recorder against the simulated sensor over TCP and the serial line: the cycle-time query,
// a recording in each trigger mode with the trigger sample where the pre-trigger puts it,
// BREAK during the wait, failures of the start request and of the record, and the sensor
// going away while the recording waits.
#include "recorder_fixture.h"
#include "tests/support/scripted_sensor.h"

#include "link/tcp_line.h"
#include "scope/scope.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

namespace {

// A request frame as the sensor's log shows it.
std::string RequestHex(std::uint8_t order, std::uint16_t argument,
                       const std::vector<std::uint8_t> &data = {}) {
    std::string out;
    for (std::uint8_t b : ScriptedSensor::frame(order, argument, data)) {
        char h[4];
        std::snprintf(h, sizeof h, "%02X", b);
        out += (out.empty() ? "" : " ") + std::string(h);
    }
    return out;
}

std::vector<std::uint8_t> I16s(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) {
        out.push_back(std::uint8_t(v & 0xFF));
        out.push_back(std::uint8_t((v >> 8) & 0xFF));
    }
    return out;
}

struct Plots {
    std::vector<TestPlot> analog, digital;
};
Plots Plotted() {
    return {TestGraphPlots(App.ScopePanel, SCOPEP_GRAPH),
            TestGraphPlots(App.ScopePanel, SCOPEP_GRAPH_DIG)};
}

const char *kProtocolName[] = {"serial", "tcp"};

using Bytes = ScriptedSensor::Bytes;

class RecorderOverLink : public RecorderTest, public ::testing::WithParamInterface<int> {};

TEST_P(RecorderOverLink, CycleTimeShowsFrequencyAndCycleTimeWithTheirDecimals) {
    Connect(GetParam());
    Click(App.ScopeTab, SCOPETAB_GET_CYCLE_TIME);

    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0], RequestHex(105, 0));
    double f = -1, ms = -1;
    GetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_FREQ, &f);
    GetCtrlVal(App.ScopeTab, SCOPETAB_CYCLE_TIME, &ms);
    // The sensor counts about 80000 scan cycles in 8 s: about 10 kHz.
    EXPECT_NEAR(f, 10000, 1);
    EXPECT_DOUBLE_EQ(App.CycleTime, 1000 / f);
    EXPECT_DOUBLE_EQ(ms, App.CycleTime);
    int freqDecimals = -1, cycleDecimals = -1;
    GetCtrlAttribute(App.ScopeTab, SCOPETAB_SCAN_FREQ, ATTR_PRECISION, &freqDecimals);
    GetCtrlAttribute(App.ScopeTab, SCOPETAB_CYCLE_TIME, ATTR_PRECISION, &cycleDecimals);
    EXPECT_EQ(freqDecimals, 0);
    EXPECT_EQ(cycleDecimals, f > 10000 ? 6 : 3);
    // The deltas follow the new cycle time, and the buttons are free again.
    double x1, y1, x2, y2, dx = -1;
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, &x1, &y1);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, &x2, &y2);
    GetCtrlVal(App.ScopePanel, SCOPEP_DELTA_X, &dx);
    EXPECT_DOUBLE_EQ(dx, std::abs(int(x1 - x2)) * App.CycleTime * App.ScopeScanRate);
    EXPECT_EQ(Dimmed(App.ScopeTab, SCOPETAB_SCAN), 0);
    EXPECT_TRUE(popups.empty());
}

struct ModeCase {
    int mode, level, preTrigger;
};

TEST_P(RecorderOverLink, EveryTriggerModeRecordsWithTheTriggerAtThePreTriggerIndex) {
    Connect(GetParam());
    const ModeCase cases[] = {
        {0, 2048, 20}, {1, 2000, 20}, {2, 2000, 0}, {3, 2048, 30}, {4, 2048, 20}};
    for (const ModeCase &c : cases) {
        SCOPED_TRACE(testing::Message() << kProtocolName[GetParam()] << ", mode " << c.mode);
        Settings(c.mode, c.level, c.preTrigger, 2);
        sim->setIn0(false);
        sim->setStrokeOffset(0);
        sim->clearLog();
        if (c.mode == 4) WhileWaiting([this] { sim->setIn0(true); });
        if (c.mode == 3) WhileWaiting([this] { sim->setStrokeOffset(5000); }); // out of tolerance
        Click(App.ScopeTab, SCOPETAB_SCAN);

        ASSERT_FALSE(Requests().empty());
        EXPECT_EQ(Requests()[0], RequestHex(110, 1, I16s({c.level, c.mode, c.preTrigger, 2})));
        EXPECT_EQ(App.ScopeTriggerMode, c.mode);
        EXPECT_EQ(App.ScopePreTrigger, c.preTrigger);
        EXPECT_EQ(App.ScopeScanRate, 2);

        Plots p = Plotted();
        ASSERT_EQ(p.analog.size(), 1u) << Text(App.ConnectTab, CONNECT_STATUS);
        ASSERT_EQ(p.digital.size(), 4u);
        const std::vector<double> &a = p.analog[0].y;
        const std::vector<double> &out0 = p.digital[2].y; // line C
        const std::vector<double> &in0 = p.digital[3].y;  // line D
        int t = c.preTrigger;
        switch (c.mode) {
        case 1:
            EXPECT_GT(a[t], c.level);
            EXPECT_LE(a[t - 1], c.level);
            break;
        case 2:
            EXPECT_LT(a[t], c.level);
            break;
        case 3:
            EXPECT_NE(out0[t], out0[t - 1]) << "OUT0 switches at the trigger sample";
            break;
        case 4:
            EXPECT_EQ(in0[t], 1);
            EXPECT_EQ(in0[t - 1], 0);
            break;
        default:
            break;
        }
        for (double v : a)
            ASSERT_LE(v, 4095);
        EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_BUSY), 0);
        EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_WAITING), 0);
        EXPECT_EQ(Dimmed(App.ScopeTab, SCOPETAB_SCAN), 0);
        EXPECT_EQ(App.ScanRunning, 0);
        EXPECT_TRUE(popups.empty());
    }
}

TEST_P(RecorderOverLink, BreakDuringTheWaitSendsTheBreakAndPlotsNothing) {
    Connect(GetParam());
    Settings(4, 2048, 20, 1); // IN0 stays low: the trigger never comes
    sim->setIn0(false);
    int busyDuringWait = -1, breakDimmedDuringWait = -1, panelShown = -1, waitingShown = -1;
    std::string waitingText;
    EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_WAITING), 0) << "nothing is awaited yet";
    WhileWaiting([&] {
        busyDuringWait = Visible(App.ScopePanel, SCOPEP_BUSY);
        waitingShown = Visible(App.ScopePanel, SCOPEP_WAITING);
        waitingText = Text(App.ScopePanel, SCOPEP_WAITING);
        breakDimmedDuringWait = Dimmed(App.ScopeTab, SCOPETAB_BREAK);
        panelShown = TestPanelShown(App.ScopePanel);
        TestClickCtrl(App.ScopeTab, SCOPETAB_BREAK);
    });
    Click(App.ScopeTab, SCOPETAB_SCAN);

    EXPECT_EQ(busyDuringWait, 1);
    EXPECT_EQ(waitingShown, 1);
    EXPECT_EQ(waitingText, "waiting for trigger \u2014 BREAK to cancel");
    EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_WAITING), 0) << "gone with the wait";
    EXPECT_EQ(breakDimmedDuringWait, 0) << "BREAK is enabled once the sensor acknowledged";
    EXPECT_EQ(panelShown, 1);
    std::vector<std::string> r = Requests();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1], RequestHex(110, 0)) << "the break request";
    EXPECT_FALSE(sim->recordingWaiting());
    EXPECT_TRUE(Plotted().analog.empty());
    EXPECT_TRUE(Plotted().digital.empty());
    EXPECT_EQ(App.ScanRunning, 0);
    EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_BUSY), 0);
    for (int c : {SCOPETAB_SCAN, SCOPETAB_BREAK, SCOPETAB_GET_CYCLE_TIME})
        EXPECT_EQ(Dimmed(App.ScopeTab, c), 0) << c;
    EXPECT_EQ(App.LinkOk, 1);
    EXPECT_TRUE(popups.empty());

    // The link is in step afterwards: the next recording works.
    Settings(0, 2048, 0, 1);
    Click(App.ScopeTab, SCOPETAB_SCAN);
    EXPECT_EQ(Plotted().analog.size(), 1u);
}

TEST_F(RecorderTest, PrintWorksWhileTheRecordingWaits) {
    Connect(1);
    Settings(4, 2048, 0, 1);
    std::string pdf = (programDir / "waiting.pdf").string();
    SetPopupResponder([&](const PopupRecord &r, std::string *path) {
        popups.push_back(r);
        if (r.kind == "print") *path = pdf;
        return 1;
    });
    WhileWaiting([this] {
        TestClickCtrl(App.ScopePanel, SCOPEP_PRINT);
        TestRunFromLoop([] { TestClickCtrl(App.ScopeTab, SCOPETAB_BREAK); });
    });
    Click(App.ScopeTab, SCOPETAB_SCAN);

    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[0].kind, "print");
    EXPECT_EQ(popups[1].text, "Print successful!\n" + pdf);
    EXPECT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(App.ScanRunning, 0);
    EXPECT_EQ(App.LinkOk, 1);
    EXPECT_TRUE(Plotted().analog.empty());
}

TEST_F(RecorderTest, ClosingTheWindowEndsAWaitingRecordingAndTheProgram) {
    Connect(1);
    Settings(4, 2048, 0, 1); // IN0 trigger: the sensor keeps waiting
    WhileWaiting([] { TestClosePanel(App.MainPanel); });
    TestRunFromLoop([] { TestClickCtrl(App.ScopeTab, SCOPETAB_SCAN); });
    // Without the close ending the wait, the loop would never get back to return.
    EXPECT_EQ(RunUserInterface(), 0);
    EXPECT_EQ(App.ScanRunning, 0);
    EXPECT_TRUE(Plotted().analog.empty());
}

TEST_P(RecorderOverLink, AFailedStartRequestNeverWaitsAndPlotsNothing) {
    Connect(GetParam());
    Settings(0, 2048, 0, 1);
    sim->setFault({tavsim::FaultKind::ErrorOrder, 1, 110});
    bool waited = false;
    WhileWaiting([&] { waited = true; });
    Click(App.ScopeTab, SCOPETAB_SCAN);

    EXPECT_FALSE(waited);
    EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_WAITING), 0) << "never waited, never said so";
    EXPECT_EQ(App.ScanRunning, 0);
    EXPECT_TRUE(Plotted().analog.empty());
    EXPECT_NE(Text(App.ConnectTab, CONNECT_STATUS).find("Invalid order number!"),
              std::string::npos);
    EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_BUSY), 0);
    int page = -1;
    GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
    EXPECT_EQ(page, 0) << "the connection page comes to the front";
}

TEST_P(RecorderOverLink, ARecordFailingItsCheckKeepsThePreviousTraces) {
    Connect(GetParam());
    Settings(0, 2048, 0, 1);
    Click(App.ScopeTab, SCOPETAB_SCAN);
    std::vector<double> before = Plotted().analog.at(0).y;

    // Acknowledgement and record are two frames; a data CRC fault on the bare acknowledgement
    // does nothing, so the record frame carries it.
    sim->setFault({tavsim::FaultKind::BadDataCrc, 2, 110});
    sim->setPressRunning(false); // a different signal than before, should it get through
    Click(App.ScopeTab, SCOPETAB_SCAN);

    EXPECT_NE(Text(App.ConnectTab, CONNECT_STATUS).find("Received data frame is incorrect!"),
              std::string::npos);
    ASSERT_EQ(Plotted().analog.size(), 1u);
    EXPECT_EQ(Plotted().analog[0].y, before);
    EXPECT_EQ(App.ScanRunning, 0);
}

INSTANTIATE_TEST_SUITE_P(Links, RecorderOverLink, ::testing::Values(0, 1),
                         [](const auto &info) { return std::string(kProtocolName[info.param]); });

TEST_F(RecorderTest, TcpWaitEndsWhenTheServerClosesTheConversation) {
    Connect(1);
    Settings(4, 2048, 0, 1);
    WhileWaiting([this] { sim->stop(); });
    Click(App.ScopeTab, SCOPETAB_SCAN); // returns instead of waiting for ever
    EXPECT_EQ(App.TcpConnected, 0);
    EXPECT_TRUE(Plotted().analog.empty());
    EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_BUSY), 0);
}

// Replies the simulated sensor does not send, from a scripted stand-in on the serial line (a
// pseudo-terminal) or over TCP.
class ScriptedReplyTest : public RecorderTest, public ::testing::WithParamInterface<int> {
  protected:
    std::unique_ptr<ScriptedSensor> peer;

    void SetUp() override {
        RecorderTest::SetUp();
        if (HasFatalFailure()) return;
        OpenLineToNewPeer();
    }
    // A new stand-in, and the program's line opened to it as connecting would open it.
    void OpenLineToNewPeer() {
        if (GetParam() == 1) {
            peer = std::make_unique<ScriptedSensor>(ScriptedSensor::Transport::Tcp);
            ASSERT_GT(peer->port(), 0);
            OpenTcp(peer->port());
        } else {
            peer = std::make_unique<ScriptedSensor>(ScriptedSensor::Transport::Serial);
            ASSERT_FALSE(peer->serialPath().empty());
            OpenSerial(peer->serialPath());
        }
        ASSERT_FALSE(HasFatalFailure());
        App.LinkOk = 1;
        popups.clear();
        ClearStatus();
    }

    static std::vector<std::uint8_t> CycleData(std::int32_t n0, std::int32_t n1) {
        std::vector<std::uint8_t> d(8);
        for (int i = 0; i < 4; ++i) {
            d[i] = std::uint8_t(std::uint32_t(n0) >> (8 * i));
            d[4 + i] = std::uint8_t(std::uint32_t(n1) >> (8 * i));
        }
        return d;
    }
    // What the status box says when the line ends from the sensor's side.
    std::string LineEndedText() const {
        return GetParam() == 1 ? "Server has closed connection!"
                               : "Serial connection lost!\nCOM1 " + peer->serialPath() +
                                     ": the device went away - plug the adapter back in, then TRY "
                                     "TO CONNECT";
    }
};

// The displays show the sensor's cycle time, or 0 and a word why: a reply without a time, or
// with one the displays cannot show (it would read 1000000000 Hz and 0.000000 ms).
TEST_P(ScriptedReplyTest, CycleTimeExamplesAndAReplyWithoutTime) {
    struct {
        std::int32_t n0, n1;
        double hz, ms;
        int hzDecimals, msDecimals;
        std::string popup; // empty: none
    } const cases[] = {
        {12000, 10000, 12000, 1000.0 / 12000, 0, 6, ""},
        {5, 10000, 5, 200, 1, 3, ""},
        {100000, 1, 1e9, 1e-6, 0, 6, ""}, // the fastest the displays show
        {1, 10000, 1, 1000, 2, 0, ""},
        {12000, 0, 0, 0, 2, 0, "Cycle time of the sensor out of range! \nN0 = 12000, N1 = 0"},
        {2147483647, 1, 0, 0, 2, 0,
         "Cycle time of the sensor out of range! \nN0 = 2147483647, N1 = 1"},
        {1, 2147483647, 0, 0, 2, 0, // 0.0000047 Hz
         "Cycle time of the sensor out of range! \nN0 = 1, N1 = 2147483647"},
        {-5, 10000, 0, 0, 2, 0, "Cycle time of the sensor out of range! \nN0 = -5, N1 = 10000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "N0 " << c.n0 << ", N1 " << c.n1);
        App.CycleTime = 99;
        popups.clear();
        peer->queueReply(105, {ScriptedSensor::frame(105, 0, CycleData(c.n0, c.n1))});
        GetCycleTime();
        if (c.popup.empty()) {
            EXPECT_TRUE(popups.empty());
        } else {
            EXPECT_EQ(popups.size(), 1u);
            if (!popups.empty()) {
                EXPECT_EQ(popups[0].title, "Message!");
                EXPECT_EQ(popups[0].text, c.popup);
            }
        }
        double hz = -1, ms = -1;
        int hzDecimals = -1, msDecimals = -1;
        GetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_FREQ, &hz);
        GetCtrlVal(App.ScopeTab, SCOPETAB_CYCLE_TIME, &ms);
        GetCtrlAttribute(App.ScopeTab, SCOPETAB_SCAN_FREQ, ATTR_PRECISION, &hzDecimals);
        GetCtrlAttribute(App.ScopeTab, SCOPETAB_CYCLE_TIME, ATTR_PRECISION, &msDecimals);
        EXPECT_DOUBLE_EQ(hz, c.hz);
        EXPECT_DOUBLE_EQ(ms, c.ms);
        EXPECT_DOUBLE_EQ(App.CycleTime, c.ms);
        EXPECT_EQ(hzDecimals, c.hzDecimals);
        EXPECT_EQ(msDecimals, c.msDecimals);
    }
    // A reply with no data at all, in German.
    App.LanguageIndex = 0;
    popups.clear();
    peer->queueReply(105, {ScriptedSensor::frame(105, 0)});
    GetCycleTime();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].text, "Antwort des Sensors enthaelt keine Zykluszeit!");
    EXPECT_EQ(App.CycleTime, 0);
    EXPECT_EQ(App.LinkOk, 1) << "a reply without a time is no link failure";
}

// The sensor acknowledges the start twice: the record that follows is still taken and drawn.
TEST_P(ScriptedReplyTest, ARepeatedAcknowledgementIsNoRecord) {
    Bytes record(kScopeRecordSize, 0);
    for (int i = 0; i < kScopeSamples; ++i)
        record[2 * i] = std::uint8_t(i + 1); // analog value i + 1 at ring position i
    peer->queueReply(110, {ScriptedSensor::frame(110, 1), ScriptedSensor::frame(110, 1),
                           ScriptedSensor::frame(110, 0, record)});
    Settings(0, 2048, 0, 1);
    Click(App.ScopeTab, SCOPETAB_SCAN);

    const Plots p = Plotted();
    ASSERT_EQ(p.analog.size(), 1u) << Status();
    ASSERT_EQ(p.analog[0].y.size(), std::size_t(kScopeSamples));
    EXPECT_EQ(p.analog[0].y[0], 1);
    EXPECT_EQ(p.analog[0].y[127], 128);
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(App.LinkOk, 1);
    EXPECT_EQ(App.ScanRunning, 0);
}

TEST_P(ScriptedReplyTest, ARecordFrameTooShortForARecordIsNotDrawn) {
    std::vector<std::uint8_t> shortRecord(100, 0x11);
    peer->queueReply(110,
                     {ScriptedSensor::frame(110, 1), ScriptedSensor::frame(110, 0, shortRecord),
                      std::vector<std::uint8_t>(200, 0)}); // filler up to the 274 bytes
    App.ScopeTriggerMode = 0;
    GetScopeData();
    EXPECT_TRUE(Plotted().analog.empty());
    EXPECT_NE(Text(App.ConnectTab, CONNECT_STATUS).find("Received data frame is incorrect!"),
              std::string::npos);
    EXPECT_EQ(App.ScanRunning, 0);
}

// One failure, one report: the line ending while the recording waits for its trigger, or while
// the record's data come, is said once, as what it is, and the recording ends without a plot.
TEST_P(ScriptedReplyTest, ALineEndingDuringARecordingIsReportedOnceAsWhatItIs) {
    const ScriptedSensor::Bytes record = ScriptedSensor::frame(110, 0, Bytes(258, 0x21));
    struct Case {
        const char *when;
        std::vector<ScriptedSensor::Bytes> frames; // after the request
        std::function<bool()> moment;              // the program is there
    } const cases[] = {
        {"while the trigger is awaited",
         {ScriptedSensor::frame(110, 1)},
         [] { return App.ScanRunning == 1; }},
        {"while the record's data come",
         {ScriptedSensor::frame(110, 1), Bytes(record.begin(), record.begin() + 100)},
         [] { return App.RxLength == kScopeRecordSize; }}, // its header is checked
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.when);
        OpenLineToNewPeer();
        ASSERT_FALSE(HasFatalFailure());
        peer->queueReply(110, c.frames);
        Settings(0, 2048, 0, 1);
        App.RxLength = 0;
        RunWhen(c.moment, [this] { peer->hangUp(); });
        Click(App.ScopeTab, SCOPETAB_SCAN);
        TestProcessEvents(300); // a second report would come from the port's own notice

        EXPECT_EQ(Status(), LineEndedText() + "\n\n");
        EXPECT_EQ(Text(App.DataPanel, DATAP_STATUS), "TIMEOUT!");
        EXPECT_EQ(App.ScanRunning, 0);
        EXPECT_EQ(App.LinkOk, 0);
        EXPECT_TRUE(Plotted().analog.empty());
        EXPECT_EQ(Visible(App.ScopePanel, SCOPEP_BUSY), 0);
        EXPECT_EQ(Dimmed(App.ScopeTab, SCOPETAB_SCAN), 0);
        EXPECT_TRUE(popups.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Links, ScriptedReplyTest, ::testing::Values(0, 1),
                         [](const auto &info) { return std::string(kProtocolName[info.param]); });

} // namespace
