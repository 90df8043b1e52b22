// SEND and GET with RAM, EEPROM and FILE: the orders that reach the sensor, the parameter
// block on the wire, the plausibility messages, SEND and GET parked while the live cycle runs,
// and the memory toggles.
#include "link_fixture.h"

#include "params/para.h"
#include "protocol/frame.h"

namespace {

class ParaTest : public LinkTest {
  protected:
    void SetUp() override {
        LinkTest::SetUp();
        if (HasFatalFailure()) return;
        UseTcp();
        Connect();
    }

    static void SetPage(unsigned a, unsigned b, unsigned c, unsigned d) {
        SetCtrlVal(App.ParaTab, PARA_STROKE_TOL, a);
        SetCtrlVal(App.ParaTab, PARA_BAD_CNT_TO_FAIL, b);
        SetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, c);
        SetCtrlVal(App.ParaTab, PARA_CNT_STROKE_EDGE, d);
    }
    static std::vector<unsigned> Page() {
        std::vector<unsigned> v;
        for (int c :
             {PARA_STROKE_TOL, PARA_BAD_CNT_TO_FAIL, PARA_DIG_OUTMODE, PARA_CNT_STROKE_EDGE}) {
            unsigned short x = 0;
            GetCtrlVal(App.ParaTab, c, &x);
            v.push_back(x);
        }
        return v;
    }
    static std::vector<int> Toggles() {
        std::vector<int> v;
        for (int c : {MAINP_RAM, MAINP_EEPROM, MAINP_FILE}) {
            int on = -1;
            GetCtrlVal(App.MainPanel, c, &on);
            v.push_back(on);
        }
        return v;
    }
    void Select(int toggle) { Click(App.MainPanel, toggle); }
};

} // namespace

TEST_F(ParaTest, SendAndGetSendExactlyTheirOrders) {
    struct Case {
        int toggle, button;
        std::vector<int> orders;
        int memory;
    } cases[] = {
        {MAINP_RAM, MAINP_SEND, {1}, 1},
        {MAINP_EEPROM, MAINP_SEND, {1, 3}, 2},
        {MAINP_RAM, MAINP_GET, {2}, 1},
        {MAINP_EEPROM, MAINP_GET, {4, 2}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.toggle == MAINP_RAM ? "RAM" : "EEPROM");
        Select(c.toggle);
        EXPECT_EQ(App.MemorySelect, c.memory);
        sim->clearLog();
        Click(App.MainPanel, c.button);
        EXPECT_EQ(Orders(), c.orders);
        EXPECT_EQ(App.LinkOk, 1);
        EXPECT_EQ(Status(), "");
        EXPECT_EQ(Dimmed(App.MainPanel, MAINP_SEND), 0) << "enabled again afterwards";
    }
}

TEST_F(ParaTest, SendCarriesThePageAndGetShowsTheSensorsSet) {
    SetPage(300, 7, 1, 1);
    Click(App.MainPanel, MAINP_SEND);
    ASSERT_EQ(Requests().size(), 1u);
    // 300 = 0x012C travels low byte first at offset 0 of the block.
    EXPECT_EQ(Requests()[0].substr(24), "2C 01 07 00 01 00 01 00");
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{300, 7, 1, 1}));

    // The sensor's EEPROM set reaches the page through EEPROM + GET.
    sim->setEepromParams({120, 9, 0, 1});
    Select(MAINP_EEPROM);
    SetPage(1, 1, 0, 0);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Page(), (std::vector<unsigned>{120, 9, 0, 1}));
    EXPECT_EQ(App.ParaValues[StrokeTolerance], 120);
    EXPECT_EQ(App.ParaValues[CntStrokeEdge], 1);
}

TEST_F(ParaTest, ImplausibleRamSetIsReportedLikeAFailure) {
    for (int language : {1, 0}) {
        App.LanguageIndex = language;
        Select(MAINP_EEPROM);
        SetPage(0, 0, 0, 0); // tolerance and bad count out of the sensor's range: 1 + 2
        ClearStatus();
        sim->clearLog();
        App.Running = 1; // sent from the live cycle, which the message ends
        SendPara();
        EXPECT_EQ(Status(),
                  language == 1
                      ? "Message!\n3 Parameter in RAM did not pass plausibility check and were "
                        "set to default value!\n\n"
                      : "Info!\n3 Plausibilitaets-Check der Parameter im RAM fehlgeschlagen, "
                        "wurden auf Voreinstellung gesetzt!\n\n");
        EXPECT_EQ(Orders(), (std::vector<int>{1, 3})) << "the EEPROM store still follows";
        EXPECT_EQ(App.LinkOk, 0);
        EXPECT_EQ(App.Running, 0);
        EXPECT_EQ(ActivePage(), 0);
        EXPECT_EQ(DataStatus(), "TIMEOUT!");
        Connect();
    }
}

TEST_F(ParaTest, ImplausibleEepromSetIsReportedAndTheRamSetShown) {
    sim->setEepromParams({0, 25, 7, 0}); // tolerance 1, outmode 4
    Select(MAINP_EEPROM);
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Status(), "Message!\n5 Parameter from EEPROM did not pass plausibility check and "
                        "were set to default value!\n\n");
    EXPECT_EQ(App.LinkOk, 1) << "the link stays good";
    EXPECT_EQ(ActivePage(), 0);
    EXPECT_EQ(Orders(), (std::vector<int>{4, 2}));
    EXPECT_EQ(Page(), (std::vector<unsigned>{50, 25, 0, 0})); // the sensor's defaults

    App.LanguageIndex = 0;
    sim->setEepromParams({0, 25, 0, 0});
    ClearStatus();
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Status(), "Info!\n1 Plausibilitaets-Check der Parameter im EEPROM fehlgeschlagen, "
                        "wurden auf Voreinstellung gesetzt!\n\n");
}

TEST_F(ParaTest, FailedEepromLoadSendsNothingMoreAndLeavesThePage) {
    Select(MAINP_EEPROM);
    SetPage(77, 8, 1, 0);
    tavsim::FaultSetting f;
    f.kind = tavsim::FaultKind::BadHeaderCrc;
    f.order = OrderLoadEeprom;
    sim->setFault(f);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Orders(), std::vector<int>{4});
    EXPECT_EQ(Page(), (std::vector<unsigned>{77, 8, 1, 0}));
    EXPECT_EQ(App.LinkOk, 0);
}

TEST_F(ParaTest, WhileTheCycleRunsSendAndGetOnlyPark) {
    App.Running = 1;
    Click(App.MainPanel, MAINP_SEND);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(App.SendParaPending, 1);
    EXPECT_EQ(App.GetParaPending, 1);
    EXPECT_TRUE(Requests().empty());
    App.Running = 0;

    // Whoever runs the transfer clears its flag.
    SetPage(60, 25, 0, 0);
    SendPara();
    GetPara();
    EXPECT_EQ(App.SendParaPending, 0);
    EXPECT_EQ(App.GetParaPending, 0);
    EXPECT_EQ(Orders(), (std::vector<int>{1, 2}));
}

TEST_F(ParaTest, FileNeverTouchesTheSensor) {
    Select(MAINP_FILE);
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 0, 1}));
    for (int running : {0, 1}) {
        App.Running = running;
        unsigned tol = 200 + unsigned(running);
        SetPage(tol, 11, 1, 0);
        Click(App.MainPanel, MAINP_SEND); // into the file the dialog chose
        SetPage(1, 1, 0, 0);
        Click(App.MainPanel, MAINP_GET); // and back from it
        EXPECT_EQ(Page(), (std::vector<unsigned>{tol, 11, 1, 0}));
        EXPECT_EQ(App.SendParaPending, 0);
        EXPECT_EQ(App.GetParaPending, 0);
    }
    App.Running = 0;
    EXPECT_TRUE(Requests().empty());
}

TEST_F(ParaTest, MemoryTogglesKeepExactlyOneOn) {
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 0}));
    Select(MAINP_EEPROM);
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 0}));
    Select(MAINP_EEPROM); // the toggle that is on stays on
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(App.MemorySelect, 2);
    Select(MAINP_RAM);
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(App.MemorySelect, 1);
    EXPECT_TRUE(Requests().empty()) << "choosing the memory sends nothing";
}

TEST_F(ParaTest, EditingAParameterSendsNothing) {
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    TestTypeText(App.ParaTab, PARA_STROKE_TOL, "80");
    TestProcessEvents(5);
    EXPECT_EQ(Page()[0], 80u);
    EXPECT_TRUE(Requests().empty());
    EXPECT_NE(App.ParaValues[StrokeTolerance], 80) << "taken only when SEND runs";
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(App.ParaValues[StrokeTolerance], 80);
}

// A sensor may hold a value the page's rings do not offer (65535 here). GET says so with the
// value; SEND, to the sensor or to a file, refuses until the operator has chosen one, so no
// value the operator never chose is written; after the choice SEND carries it.
TEST_F(ParaTest, ValueARingCannotShowIsReportedAndNotSentBack) {
    sim->setRamParams({60, 20, 65535, 65535});
    SetPage(70, 21, 1, 1);
    Click(App.MainPanel, MAINP_GET);
    const std::string status = Status();
    EXPECT_NE(status.find("DIGITAL OUTMODE: the value 65535 received cannot be shown"),
              std::string::npos)
        << status;
    EXPECT_NE(status.find("CNT STROKE EDGE: the value 65535 received cannot be shown"),
              std::string::npos)
        << status;
    EXPECT_EQ(Page()[0], 60u);
    EXPECT_EQ(App.ParaValues[DigitalOutmode], 65535);

    for (int toggle : {MAINP_RAM, MAINP_FILE}) {
        SCOPED_TRACE(toggle == MAINP_RAM ? "RAM" : "FILE");
        Select(toggle);
        sim->clearLog();
        popups.clear();
        Click(App.MainPanel, MAINP_SEND);
        EXPECT_TRUE(Requests().empty());
        ASSERT_FALSE(popups.empty());
        EXPECT_NE(popups.back().text.find("choose a value first; nothing was sent"),
                  std::string::npos)
            << popups.back().text;
    }
    EXPECT_FALSE(std::filesystem::exists(programDir / "chosen.ini"));
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{60, 20, 65535, 65535}));

    // Choosing one ring is not enough while the other still waits.
    Select(MAINP_RAM);
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    TestSelectRingItem(App.ParaTab, PARA_DIG_OUTMODE, 1);
    TestProcessEvents(5);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_TRUE(Requests().empty());
    TestSelectRingItem(App.ParaTab, PARA_CNT_STROKE_EDGE, 0);
    TestProcessEvents(5);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(Orders(), std::vector<int>{1});
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{60, 20, 1, 0}));
}
