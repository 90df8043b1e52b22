// A dimmed control says in its tool tip why it is dimmed and what enables it, in the language
// of the moment: every control the program dims, in the states an operator meets (connected,
// after a visit to the connection page, offline, live values a failure left behind), and while
// an operation runs (the live cycle, a connection attempt). Read as the window system asks for
// a tool tip, in the program started against the simulated sensor.
#include "live_fixture.h"

#include "Tavironv10.h"
#include "app/app.h"
#include "base/texts.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "protocol/frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tavsim::FaultKind;
using tavsim::FaultSetting;

struct Reason {
    const char *ger, *eng;
};
const Reason kNoLink = {
    "Keine funktionierende Verbindung zum Sensor: VERBINDEN auf der Seite VERBINDUNG stellt "
    "sie her.",
    "No working connection to the sensor: TRY TO CONNECT on the CONNECTION page makes one."};
const Reason kLinkNotTested = {
    "Braucht eine Verbindung, die mit den Einstellungen dieser Seite geprueft ist: VERBINDEN "
    "gibt es frei.",
    "Needs a connection tested with the settings now on this page: TRY TO CONNECT enables it."};
const Reason kLastValues = {"Letzte Werte vor einer Stoerung der Verbindung, nicht mehr aktuell: "
                            "START (F11) fragt wieder aktuelle ab.",
                            "Last values before a connection failure, no longer live: GO (F11) "
                            "polls live ones again."};
const Reason kLiveCycleRuns = {"Gesperrt, solange der Messzyklus laeuft: STOPP (F12) beendet ihn.",
                               "Dimmed while the live cycle runs: STOP (F12) ends it."};
const Reason kTalkingToSensor = {
    "Gesperrt, solange das Programm mit dem Sensor spricht; danach wieder frei.",
    "Dimmed while the program talks to the sensor; enabled again when that ends."};
const Reason kEdgeTriggersOnly = {
    "Nur fuer STEIGENDE FLANKE und FALLENDE FLANKE: eine davon als TRIGGER MODUS waehlen.",
    "Used only by RISING EDGE and FALLING EDGE: choose one of them as TRIGGER MODE."};

struct Ctrl {
    int AppState::*panel;
    int control;
};

class DimmedTipTest : public LiveTest {
  protected:
    void TearDown() override {
        App.LanguageIndex = 1;
        LiveTest::TearDown();
    }

    // The tool tip in German and in English.
    static std::pair<std::string, std::string> Tips(const Ctrl &c) {
        App.LanguageIndex = 0;
        std::string ger = TestToolTip(App.*c.panel, c.control);
        App.LanguageIndex = 1;
        return {ger, TestToolTip(App.*c.panel, c.control)};
    }

    static void ExpectReason(const Ctrl &c, const Reason &r) {
        SCOPED_TRACE(Name(c));
        EXPECT_EQ(Dimmed(App.*c.panel, c.control), 1);
        const auto [ger, eng] = Tips(c);
        EXPECT_EQ(ger, r.ger);
        EXPECT_EQ(eng, r.eng);
    }

    static std::string Name(const Ctrl &c) {
        char name[64] = "";
        GetCtrlAttribute(App.*c.panel, c.control, ATTR_CONSTANT_NAME, name, sizeof name);
        return name;
    }

    // Every dimmed control of every panel has a reason of its own in both languages, not the
    // tool tip it has when enabled. Returns how many were looked at.
    static int ExpectEveryDimmedControlSaysWhy() {
        int dimmed = 0;
        for (int AppState::*panel :
             {&AppState::MainPanel, &AppState::ConnectTab, &AppState::ParaTab, &AppState::ScopeTab,
              &AppState::DataPanel, &AppState::ScopePanel}) {
            int width = 0, height = 0;
            for (const TestCtrlLayout &l : TestPanelLayout(App.*panel, &width, &height)) {
                if (!l.visible || Dimmed(App.*panel, l.control) != 1) continue;
                ++dimmed;
                SCOPED_TRACE(l.name);
                char own[512] = "";
                GetCtrlAttribute(App.*panel, l.control, ATTR_TOOLTIP_TEXT, own, sizeof own);
                const auto [ger, eng] = Tips({panel, l.control});
                EXPECT_NE(eng, "");
                EXPECT_NE(ger, "");
                EXPECT_NE(eng, ger) << "a text of each language";
                EXPECT_NE(eng, own);
            }
        }
        return dimmed;
    }

    void Press(int panel, int control) {
        TestClickCtrl(panel, control);
        TestProcessEvents(5);
    }
};

TEST_F(DimmedTipTest, EveryDimmedControlSaysWhyAndWhatEnablesIt) {
    // Connected: the scope settings the trigger mode does not use.
    ShowScopePage();
    TestProcessEvents(5);
    TestSelectRingItem(App.ScopeTab, SCOPETAB_TRIG_MODE, 0); // SINGLE SHOT
    TestProcessEvents(5);
    ExpectReason({&AppState::ScopeTab, SCOPETAB_TRIG_LEVEL}, kEdgeTriggersOnly);
    EXPECT_GT(ExpectEveryDimmedControlSaysWhy(), 0);

    // A visit to the connection page dims what needs a connection tested with its settings.
    TestSelectTab(App.MainPanel, MAINP_TAB, 0);
    TestProcessEvents(5);
    for (int c : {CONNECT_ACCEPT, CONNECT_CHANGE_BAUDRATE, CONNECT_GEN_HW_INFO_FILE})
        ExpectReason({&AppState::ConnectTab, c}, kLinkNotTested);
    ExpectEveryDimmedControlSaysWhy();

    // Offline: what needs the sensor.
    Press(App.ConnectTab, CONNECT_DISCONNECT);
    ASSERT_EQ(App.LinkOk, 0);
    for (const Ctrl &c :
         {Ctrl{&AppState::MainPanel, MAINP_GO}, Ctrl{&AppState::MainPanel, MAINP_RAM},
          Ctrl{&AppState::ConnectTab, CONNECT_DISCONNECT},
          Ctrl{&AppState::ScopeTab, SCOPETAB_SCAN}})
        ExpectReason(c, kNoLink);
    ExpectEveryDimmedControlSaysWhy();

    // A failure ended the live cycle: the values shown are the last ones.
    ConnectTcp();
    FaultSetting f;
    f.kind = FaultKind::BadDataCrc;
    f.order = OrderLiveData;
    f.skip = 2;
    sim->setFault(f);
    RunGo();
    ASSERT_EQ(App.LinkOk, 0);
    for (int c : {DATAP_CNT_PERIOD, DATAP_CNT_STROKE, DATAP_LED_OUT0})
        ExpectReason({&AppState::DataPanel, c}, kLastValues);
    ExpectEveryDimmedControlSaysWhy();

    // Enabled again, a control shows its own tool tip, not a reason.
    sim->clearFault();
    ConnectTcp();
    EXPECT_EQ(Dimmed(App.MainPanel, MAINP_GO), 0);
    char own[512] = "";
    GetCtrlAttribute(App.MainPanel, MAINP_GO, ATTR_TOOLTIP_TEXT, own, sizeof own);
    EXPECT_EQ(TestToolTip(App.MainPanel, MAINP_GO), own);
}

// While an operation runs, the tip names it and what ends it: the live cycle (STOP), or an
// exchange with the sensor (a connection attempt) that ends by itself.
TEST_F(DimmedTipTest, WhileAnOperationRunsTheTipSaysWhatEndsIt) {
    std::vector<std::pair<std::string, std::string>> duringGo, duringConnect;
    RunWhen([this] { return polls > 2; },
            [&] {
                duringGo.push_back(Tips({&AppState::MainPanel, MAINP_GO}));
                duringGo.push_back(Tips({&AppState::ConnectTab, CONNECT_TRY_TO_CONNECT}));
                App.Running = 0; // as STOP does
            });
    RunGo();
    ASSERT_EQ(duringGo.size(), 2u) << "looked at while the cycle ran";
    for (const auto &[ger, eng] : duringGo) {
        EXPECT_EQ(ger, kLiveCycleRuns.ger);
        EXPECT_EQ(eng, kLiveCycleRuns.eng);
    }

    // TRY TO CONNECT: the check runs from the attempt's wait for the sensor.
    TestSelectTab(App.MainPanel, MAINP_TAB, 0);
    TestProcessEvents(5);
    TestClickCtrl(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
    RunWhen([] { return Dimmed(App.MainPanel, MAINP_SEND) == 1; },
            [&] {
                duringConnect.push_back(Tips({&AppState::MainPanel, MAINP_SEND}));
            });
    TestProcessEvents(5);
    ASSERT_EQ(App.LinkOk, 1);
    ASSERT_EQ(duringConnect.size(), 1u) << "looked at while the attempt ran";
    EXPECT_EQ(duringConnect[0].first, kTalkingToSensor.ger);
    EXPECT_EQ(duringConnect[0].second, kTalkingToSensor.eng);
    EXPECT_EQ(Dimmed(App.MainPanel, MAINP_SEND), 0) << "enabled once it ended";
}

} // namespace
