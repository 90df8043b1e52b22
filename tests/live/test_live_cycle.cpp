// The live data cycle against the simulated sensor: polls back to back and shows each pass,
// serves SEND and GET between polls in their order, and ends on STOP, on the page changes that
// stop it, on closing and on any failure of the link.
#include "live_fixture.h"

#include "link/tcp_line.h"
#include "params/para.h"
#include "tests/support/scripted_sensor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

namespace {

using tavsim::FaultKind;
using tavsim::FaultSetting;

// Every reply trickles out a few milliseconds a byte, so an action taken when the sensor has
// received a request lands while the program still waits for that request's reply.
FaultSetting SlowReplies() {
    FaultSetting f;
    f.kind = FaultKind::Trickle;
    f.count = 0;
    f.trickleMs = 3;
    return f;
}

void SetPage(int strokeTol, int badCnt, int outmode, int edge) {
    SetCtrlVal(App.ParaTab, PARA_STROKE_TOL, strokeTol);
    SetCtrlVal(App.ParaTab, PARA_BAD_CNT_TO_FAIL, badCnt);
    SetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, outmode);
    SetCtrlVal(App.ParaTab, PARA_CNT_STROKE_EDGE, edge);
}

class LiveCycleTest : public LiveTest {
  protected:
    // GO, then STOP once the sensor has answered `stopAfter` polls' requests; checks that the
    // cycle only polled and that the displays show the last reply.
    void PollThenStop(int stopAfter) {
        int goDimmed = -1, sendDimmed = -1, getDimmed = -1, ramDimmed = -1;
        RunWhen([this] { return polls >= 2; },
                [&] {
                    goDimmed = Dimmed(App.MainPanel, MAINP_GO);
                    sendDimmed = Dimmed(App.MainPanel, MAINP_SEND);
                    getDimmed = Dimmed(App.MainPanel, MAINP_GET);
                    ramDimmed = Dimmed(App.MainPanel, MAINP_RAM);
                });
        RunWhen([this, stopAfter] { return polls >= stopAfter; },
                [] { TestClickCtrl(App.MainPanel, MAINP_STOP); });
        RunGo();

        const std::vector<int> o = Orders();
        EXPECT_GE(int(o.size()), stopAfter);
        EXPECT_LE(int(o.size()), stopAfter + 1) << "the cycle ends within the pass of the STOP";
        EXPECT_EQ(o, std::vector<int>(o.size(), OrderLiveData)) << "nothing but polls";

        const LiveDataRec last = LastLiveReply();
        EXPECT_GT(last.CntPeriod, 10000u) << "the press runs";
        ExpectDisplays(last);
        double x = -1, y = -1;
        GetGraphCursor(App.DataPanel, DATAP_GRAPH_PAPER, 1, &x, &y);
        EXPECT_EQ(x, double(std::uint64_t(last.CntStroke) * 1000 / last.CntPeriod));
        EXPECT_EQ(y, 1.0);

        EXPECT_EQ(goDimmed, 1) << "GO is dimmed while the cycle runs";
        EXPECT_EQ(sendDimmed, 0) << "SEND can be asked for during the cycle";
        EXPECT_EQ(getDimmed, 0);
        EXPECT_EQ(ramDimmed, 0);
        EXPECT_EQ(App.Running, 0);
        EXPECT_EQ(App.LinkOk, 1);
        EXPECT_EQ(Dimmed(App.MainPanel, MAINP_GO), 0) << "usable again after the cycle";
        EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_TRY_TO_CONNECT), 0);
        EXPECT_EQ(ActivePage(), 1);
    }
};

TEST_F(LiveCycleTest, PollsOverTheSerialLineUntilStop) {
    PollThenStop(6);
}

TEST_F(LiveCycleTest, PollsOverTcpUntilStop) {
    ConnectTcp();
    PollThenStop(6);
}

TEST_F(LiveCycleTest, F11StartsAndF12StopsTheCycle) {
    RunWhen([this] { return polls >= 3; }, [] { TestKey(App.MainPanel, "F12"); });
    RunGo(20, [] { TestKey(App.MainPanel, "F11"); });
    EXPECT_GE(int(polls), 3);
    EXPECT_EQ(App.Running, 0); // ended by F12 (RunGo reports a cycle that did not end)
    EXPECT_EQ(App.LinkOk, 1);
    ExpectDisplays(LastLiveReply());
}

TEST_F(LiveCycleTest, TheScreenFollowsTheValuesWhileTheCycleRuns) {
    // The cycle runs from the program's own event loop, as GO pressed by the operator runs,
    // and nothing else keeps events coming: the sensor ends it with an error reply once it has
    // run for 0.6 s and more than 60 polls (however slowly a busy machine lets it poll). Over
    // the serial line first (where the window once did not repaint at all until the cycle
    // ended), then over TCP.
    for (bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "TCP" : "serial line");
        if (tcp) ConnectTcp();
        sim->clearFault();
        ClearRecords();
        const int graph0 = TestPaintCount(App.DataPanel, DATAP_GRAPH_PAPER);
        const int display0 = TestPaintCount(App.DataPanel, DATAP_CNT_STROKE);
        const double start = Timer();
        auto ranLongEnough = [this, start] {
            const double seconds = Timer() - start;
            return (seconds >= 0.6 && polls > 60) || seconds > 20; // 20 s: it hardly polls
        };
        RunWhen(ranLongEnough, [this] {
            FaultSetting f;
            f.kind = FaultKind::ErrorOrder;
            f.order = OrderLiveData;
            sim->setFault(f);
        });
        TestRunFromLoop([] {
            TestClickCtrl(App.MainPanel, MAINP_GO);
            // Queued behind GO's commit, so it runs inside the cycle: the loop ends once GO's
            // callback has returned.
            TestRunFromLoop([] { QuitUserInterface(0); });
        });
        RunUserInterface();
        const double seconds = Timer() - start;
        const int graphPaints = TestPaintCount(App.DataPanel, DATAP_GRAPH_PAPER) - graph0;
        const int displayPaints = TestPaintCount(App.DataPanel, DATAP_CNT_STROKE) - display0;
        EXPECT_EQ(App.Running, 0);
        EXPECT_GT(int(polls), 60);
        // The widgets follow about 30 times a second (one refresh in 33 ms), not once the cycle
        // ends, and not once a poll: never more often than the refresh allows.
        EXPECT_GE(graphPaints, 10);
        EXPECT_GE(displayPaints, 10);
        EXPECT_LE(graphPaints, int(seconds / 0.033 * 1.25) + 2) << int(polls) << " polls";
    }
}

TEST_F(LiveCycleTest, StopDuringAWaitingPollLetsThatPassFinish) {
    ConnectTcp();
    sim->setFault(SlowReplies());
    RunWhen([this] { return polls >= 1; }, [] { TestClickCtrl(App.MainPanel, MAINP_STOP); });
    RunGo();
    EXPECT_EQ(Orders(), std::vector<int>{OrderLiveData});
    const LiveDataRec last = LastLiveReply();
    EXPECT_GT(last.CntPeriod, 0u);
    ExpectDisplays(last); // the pass that was waiting still showed its values
    EXPECT_EQ(App.LinkOk, 1);
}

TEST_F(LiveCycleTest, StopDuringAServedSendEndsWithoutPolling) {
    ConnectTcp();
    SetPage(123, 45, 1, 1);
    sim->setFault(SlowReplies());
    RunWhen([this] { return polls >= 1; }, [] { TestClickCtrl(App.MainPanel, MAINP_SEND); });
    // STOP while the SEND is served: the first check after the cycle took the SEND up (which
    // clears the request) runs from the wait of the SEND's own exchange. STOP's callback is
    // called right there; a click's commit would run only on the next pass of the loop, and a
    // reply that comes in one piece leaves none before the next poll is sent.
    auto sendAsked = std::make_shared<bool>(false);
    RunWhen(
        [sendAsked] {
            if (App.SendParaPending) *sendAsked = true;
            return *sendAsked && !App.SendParaPending;
        },
        [] { CBF_ButtonStop(App.MainPanel, MAINP_STOP, EVENT_COMMIT, nullptr, 0, 0); });
    RunGo();
    EXPECT_EQ(Orders(), (std::vector<int>{OrderLiveData, OrderSendPara, OrderGetPara}));
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{123, 45, 1, 1}))
        << "the SEND completed, read back included";
    EXPECT_EQ(App.SendParaPending, 0);
    EXPECT_EQ(App.LinkOk, 1);
}

TEST_F(LiveCycleTest, SendAndGetAskedForDuringAPollAreServedBeforeTheNextPoll) {
    struct Case {
        int memoryToggle;
        std::vector<int> orders;
    };
    const Case cases[] = {
        {MAINP_RAM, {8, 1, 2, 2, 8}},             // SEND read back, then GET
        {MAINP_EEPROM, {8, 1, 3, 4, 2, 4, 2, 8}}, // SEND reloaded and read back, then GET
    };
    ConnectTcp();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.memoryToggle == MAINP_RAM ? "RAM" : "EEPROM");
        Click(App.MainPanel, c.memoryToggle);
        SetPage(77, 12, 0, 1);
        ClearRecords();
        sim->setFault(SlowReplies());
        // SEND and GET both clicked while the first poll waits; STOP during the second poll.
        RunWhen([this] { return polls >= 1; },
                [] {
                    TestClickCtrl(App.MainPanel, MAINP_GET);
                    TestClickCtrl(App.MainPanel, MAINP_SEND);
                });
        RunWhen([this] { return polls >= 2; }, [] { TestClickCtrl(App.MainPanel, MAINP_STOP); });
        RunGo();
        sim->clearFault();
        EXPECT_EQ(Orders(), c.orders) << "SEND first, then GET, then the pass's poll";
        EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{77, 12, 0, 1}));
        EXPECT_EQ(App.SendParaPending, 0);
        EXPECT_EQ(App.GetParaPending, 0);
        EXPECT_EQ(App.LinkOk, 1);
    }
}

TEST_F(LiveCycleTest, SendWithFileSelectedWritesTheFileAndTheCycleGoesOn) {
    ConnectTcp();
    Click(App.MainPanel, MAINP_FILE);
    const fs::path file = programDir / "during_cycle.ini";
    SetPopupResponder([this, file](const PopupRecord &r, std::string *path) {
        popups.push_back(r);
        if (r.kind == "file") *path = file.string();
        return 1;
    });
    sim->setFault(SlowReplies());
    RunWhen([this] { return polls >= 1; }, [] { TestClickCtrl(App.MainPanel, MAINP_SEND); });
    RunWhen([this] { return polls >= 3; }, [] { TestClickCtrl(App.MainPanel, MAINP_STOP); });
    RunGo();
    EXPECT_EQ(Orders(), std::vector<int>(3, OrderLiveData)) << "the file, not the sensor";
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(App.SendParaPending, 0);
}

TEST_F(LiveCycleTest, PageChangesToConnectionAndScopeStopTheCycleTheParameterPageDoesNot) {
    struct Case {
        const char *what;
        int from, to;
        bool stops;
    };
    const Case cases[] = {
        {"connection page", 1, 0, true},
        {"scope page", 1, 2, true},
        {"parameter page", 0, 1, false},
    };
    ConnectTcp();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ShowChildPanelDisp(App.DataPanel);
        // The scope page is hidden by start-up; shown here so that it can be clicked.
        SetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, c.to == 2);
        TestSelectTab(App.MainPanel, MAINP_TAB, c.from);
        TestProcessEvents(5);
        ASSERT_EQ(ActivePage(), c.from);
        ClearRecords();
        sim->setFault(SlowReplies());
        RunWhen([this] { return polls >= 2; },
                [to = c.to] { TestSelectTab(App.MainPanel, MAINP_TAB, to); });
        RunWhen([this] { return polls >= 5; }, [] { TestClickCtrl(App.MainPanel, MAINP_STOP); });
        RunGo();
        sim->clearFault();
        EXPECT_EQ(ActivePage(), c.to);
        EXPECT_EQ(int(polls), c.stops ? 2 : 5);
        EXPECT_EQ(App.LinkOk, 1);
        if (c.to == 0) {
            EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_ACCEPT), 1);
            EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_CHANGE_BAUDRATE), 1);
            EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_GEN_HW_INFO_FILE), 1);
        }
        if (c.to == 2) {
            EXPECT_TRUE(TestPanelShown(App.ScopePanel));
            EXPECT_FALSE(TestPanelShown(App.DataPanel));
        }
    }
}

TEST_F(LiveCycleTest, ClosingTheMainPanelEndsTheCycleAndTheProgram) {
    ConnectTcp();
    sim->setFault(SlowReplies());
    RunWhen([this] { return polls >= 2; }, [] { TestClosePanel(App.MainPanel); });
    RunGo();
    EXPECT_EQ(int(polls), 2);
    EXPECT_EQ(App.Running, 0);
    EXPECT_TRUE(fs::exists(programDir / "PanelSettings.cfg")) << "closing stores the settings";
    EXPECT_EQ(RunUserInterface(), 0) << "the quit asked for during the cycle ends the loop";
}

TEST_F(LiveCycleTest, ALinkFailureEndsTheCycleKeepingTheLastValuesShown) {
    struct Case {
        FaultKind fault;
        const char *text;
    };
    const Case cases[] = {
        {FaultKind::BadHeaderCrc, "ATTENTION! \nReceived header frame is incorrect!\n\n"},
        {FaultKind::BadDataCrc, "ATTENTION! \nReceived data frame is incorrect!\n\n"},
        {FaultKind::ErrorOrder, "Invalid order number! \nVerify PC and sensor software!\n\n"},
        {FaultKind::ErrorLine, "Communication error! \nYou may have to reduce baudrate!\n\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(tavsim::faultName(c.fault));
        ConnectTcp();
        // The sensor answers three polls correctly and commits the fault on the fourth.
        FaultSetting f;
        f.kind = c.fault;
        f.order = OrderLiveData;
        f.skip = 3;
        sim->setFault(f);
        RunGo();
        const std::vector<int> o = Orders();
        ASSERT_EQ(o.size(), 4u);
        EXPECT_EQ(o, std::vector<int>(o.size(), OrderLiveData));
        EXPECT_EQ(App.Running, 0);
        EXPECT_EQ(App.LinkOk, 0);
        ExpectDisplays(LastLiveReply()); // the failed poll showed nothing
        EXPECT_EQ(App.LiveData.CntPeriod, LastLiveReply().CntPeriod);
        char status[64];
        GetCtrlVal(App.DataPanel, DATAP_STATUS, status);
        EXPECT_STREQ(status, "TIMEOUT!");
        const std::string box = Status();
        ASSERT_GE(box.size(), std::strlen(c.text));
        EXPECT_EQ(box.substr(box.size() - std::strlen(c.text)), c.text);
        EXPECT_EQ(ActivePage(), 0);
        EXPECT_EQ(Dimmed(App.MainPanel, MAINP_GO), 0) << "GO's callback enables the controls";
        EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_ACCEPT), 1);
    }
}

// A failure that ends the cycle leaves the last values on the displays, but no longer looking
// live: the seven displays and the four LEDs dimmed, the LEDs neither lit nor dark, and "last
// values" with the time of day beside them. STOP leaves them as they are; GO brings them back.
TEST_F(LiveCycleTest, ValuesAFailureLeftBehindNoLongerLookLive) {
    const int displays[] = {DATAP_CNT_PERIOD,      DATAP_CNT_GAP,         DATAP_CNT_STROKE,
                            DATAP_LOWER_TOL_LIMIT, DATAP_UPPER_TOL_LIMIT, DATAP_BAD_CNT_LOWER,
                            DATAP_BAD_CNT_UPPER};
    const int leds[] = {DATAP_LED_OUT0, DATAP_LED_OUT1, DATAP_LED_OUT2, DATAP_LED_OUT3};
    auto expectLive = [&](int live) {
        for (int c : displays)
            EXPECT_EQ(Dimmed(App.DataPanel, c), live ? 0 : 1) << c;
        for (int c : leds) {
            EXPECT_EQ(Dimmed(App.DataPanel, c), live ? 0 : 1) << c;
            // The lamp's middle: orange or near black while live, a plain grey when not.
            const std::vector<unsigned> px = TestCtrlPixels(App.DataPanel, c);
            ASSERT_EQ(px.size(), 24u * 24u);
            const unsigned mid = px[12 * 24 + 12];
            const int r = int(mid >> 16 & 0xFF), g = int(mid >> 8 & 0xFF), b = int(mid & 0xFF);
            const bool grey = std::abs(r - g) < 16 && std::abs(g - b) < 16 && g > 110 && g < 230;
            EXPECT_EQ(grey, !live) << "OUT" << c - DATAP_LED_OUT0 << " " << std::hex << mid;
        }
        EXPECT_EQ(Visible(App.DataPanel, DATAP_LAST_VALUES), live ? 0 : 1);
        EXPECT_EQ(Visible(App.DataPanel, DATAP_LAST_VALUES_TIME), live ? 0 : 1);
    };

    RunWhen([this] { return polls >= 3; }, [] { TestClickCtrl(App.MainPanel, MAINP_STOP); });
    RunGo();
    TestProcessEvents(20);
    expectLive(1);

    // The sensor answers three polls and garbles the fourth reply.
    FaultSetting f;
    f.kind = FaultKind::BadHeaderCrc;
    f.order = OrderLiveData;
    f.skip = 3;
    sim->setFault(f);
    const std::time_t before = std::time(nullptr);
    RunGo();
    const std::time_t after = std::time(nullptr);
    TestProcessEvents(20);
    ASSERT_EQ(App.LinkOk, 0);
    ExpectDisplays(LastLiveReply()); // the values stay, marked
    expectLive(0);
    EXPECT_EQ(Text(App.DataPanel, DATAP_LAST_VALUES), "last values");
    const std::string shown = Text(App.DataPanel, DATAP_LAST_VALUES_TIME);
    bool near = false;
    for (std::time_t t = before - 1; t <= after; ++t) {
        char hms[16];
        std::strftime(hms, sizeof hms, "%H:%M:%S", std::localtime(&t));
        near = near || shown == hms;
    }
    EXPECT_TRUE(near) << shown;

    RunWhen([this] { return polls >= 2; }, [] { TestClickCtrl(App.MainPanel, MAINP_STOP); });
    ClearRecords();
    RunGo();
    TestProcessEvents(20);
    EXPECT_GE(int(polls), 2) << "polled again";
    expectLive(1);
}

TEST_F(LiveCycleTest, ARefusedSendEndsTheCycleBeforeThePoll) {
    ConnectTcp();
    SetPage(600, 25, 0, 0); // a tolerance above 500 per mille fails the sensor's check
    RunWhen([this] { return polls >= 2; }, [] { TestClickCtrl(App.MainPanel, MAINP_SEND); });
    RunGo();
    const std::vector<int> o = Orders();
    ASSERT_GE(o.size(), 2u);
    EXPECT_EQ(std::vector<int>(o.end() - 2, o.end()),
              (std::vector<int>{OrderSendPara, OrderGetPara}))
        << "no poll after the refused SEND and the read-back of what the sensor holds now";
    EXPECT_EQ(App.LinkOk, 0);
    const std::string box = Status();
    EXPECT_NE(box.find("Message!\n1 Parameter in RAM did not pass plausibility check"),
              std::string::npos)
        << box;
}

TEST_F(LiveCycleTest, ASecondGoQueuedBeforeTheFirstDimsIsIgnored) {
    ConnectTcp();
    sim->setFault(SlowReplies());
    // Two commits of GO queued at once, as a quick double click leaves them.
    TestClickCtrl(App.MainPanel, MAINP_GO);
    RunWhen([this] { return polls >= 3; }, [] { TestClickCtrl(App.MainPanel, MAINP_STOP); });
    RunGo(8);
    sim->clearFault();
    const int after = polls;
    TestProcessEvents(200);
    EXPECT_EQ(int(polls), after) << "no cycle starts again after STOP";
    EXPECT_EQ(after, 3) << "one poll at a time, each pass after the reply of the one before";
    EXPECT_EQ(App.Running, 0);
    EXPECT_EQ(App.LinkOk, 1);
}

TEST_F(LiveCycleTest, RepliesOfOtherLengthsShowTheirFirst28BytesOrZerosBeyondTheirEnd) {
    auto data = [](u32 base, size_t size) {
        std::vector<u8> d(size);
        for (size_t i = 0; i < size; ++i)
            d[i] = u8(base + i);
        return d;
    };
    const std::vector<u8> full = data(0x10, 28), longer = data(0x40, 40), shorter = data(0x80, 12);
    // The third reply comes late, so STOP lands while the third poll waits.
    ScriptedSensor sensor;
    sensor.queueReply(OrderLiveData, {ScriptedSensor::frame(OrderLiveData, 0, full)});
    sensor.queueReply(OrderLiveData, {ScriptedSensor::frame(OrderLiveData, 0, longer)});
    sensor.queueReply(OrderLiveData, {ScriptedSensor::frame(OrderLiveData, 0, shorter)}, 300);
    OpenTcp(sensor.port());
    ASSERT_FALSE(HasFatalFailure());

    LiveDataRec afterLonger{};
    RunWhen([&] { return sensor.requestCount() >= 3; },
            [&] {
                afterLonger = App.LiveData;
                TestClickCtrl(App.MainPanel, MAINP_STOP);
            });
    RunGo();
    EXPECT_EQ(sensor.orders(), std::vector<int>(3, OrderLiveData));
    EXPECT_EQ(App.LinkOk, 1) << "replies of any length are valid frames";

    const LiveDataRec wantLonger = DecodeLiveData(longer.data()); // bytes 28..39 ignored
    EXPECT_EQ(afterLonger.CntPeriod, wantLonger.CntPeriod);
    EXPECT_EQ(afterLonger.OutputBits, wantLonger.OutputBits);

    std::vector<u8> padded = shorter;
    padded.resize(kLiveDataSize, 0);
    const LiveDataRec want = DecodeLiveData(padded.data());
    EXPECT_EQ(want.CntStroke, 0x8B8A8988u);
    EXPECT_EQ(want.LowerTolLimit, 0u);
    ExpectDisplays(want); // nothing left over from the longer reply before it
}

} // namespace
