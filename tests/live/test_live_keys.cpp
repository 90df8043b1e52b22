// The function keys pressed on the keyboard (key events delivered to the main window) in
// German: F11 starts the live cycle, F12 stops it, F9 and F10 send and fetch the parameters.
// The keys belong to the buttons, so relabelling them in another language must not lose them:
// German from the start, then English, then German again. A key pressed while a value is being
// typed acts on the value typed.
#include "live_fixture.h"

#include "tests/common/panel_text.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

class LiveKeysTest : public LiveTest {
  protected:
    // The language files are found in the current folder.
    LiveKeysTest() { setup.currentFolder = true; }

    // The stored language is German.
    void BeforeStart() override {
        std::ofstream(programDir / "PanelSettings.cfg", std::ios::binary)
            << "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\nLANGUAGE = 0\r\n\r\n";
    }

    void SwitchLanguage(int index) {
        TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, index);
        TestProcessEvents(10);
        // Back on the parameter page, where the operator works with the keys.
        TestSelectTab(App.MainPanel, MAINP_TAB, 1);
        TestProcessEvents(5);
        ASSERT_EQ(App.LanguageIndex, index);
    }

    // The parameter data of the first request the sensor received since the log was cleared.
    std::string FirstRequestData() {
        const std::vector<tavsim::LogEntry> r = sim->requests();
        return r.empty() || r[0].hex.size() < 24 ? "" : r[0].hex.substr(24);
    }

    // F11 starts the cycle and F12, pressed while it polls, stops it; F9 sends the parameters
    // to RAM (order 1), F10 fetches them (order 2).
    void PressAllFourKeys() {
        ClearRecords();
        RunWhen([this] { return polls >= 3; }, [] { TestKey(App.MainPanel, "F12"); });
        RunGo(20, [] { TestKey(App.MainPanel, "F11"); });
        EXPECT_GE(int(polls), 3) << "F11 started the cycle";
        EXPECT_EQ(App.Running, 0) << "F12 stopped it";
        EXPECT_EQ(App.LinkOk, 1);

        ClearRecords();
        TestKey(App.MainPanel, "F9");
        TestProcessEvents(300);
        EXPECT_EQ(Orders(), (std::vector<int>{OrderSendPara, OrderGetPara}))
            << "F9 sends to RAM and reads the values back";

        ClearRecords();
        TestKey(App.MainPanel, "F10");
        TestProcessEvents(300);
        EXPECT_EQ(Orders(), std::vector<int>{OrderGetPara}) << "F10 fetches";
    }
};

} // namespace

TEST_F(LiveKeysTest, FunctionKeysWorkInGermanFromTheStartAndAfterEverySwitch) {
    const struct {
        int language;
        const char *send, *get, *go, *stop;
    } steps[] = {
        {0, "SENDEN (F9)", "LESEN (F10)", "START (F11)", "STOPP (F12)"}, // stored language
        {1, "SEND (F9)", "GET (F10)", "GO (F11)", "STOP (F12)"},
        {0, "SENDEN (F9)", "LESEN (F10)", "START (F11)", "STOPP (F12)"},
    };
    bool first = true;
    for (const auto &step : steps) {
        SCOPED_TRACE(step.go);
        if (!first) SwitchLanguage(step.language);
        first = false;
        ASSERT_EQ(App.LanguageIndex, step.language);
        // The labels are those of the language file: the panels were relabelled.
        EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), step.send);
        EXPECT_EQ(Label(App.MainPanel, MAINP_GET), step.get);
        EXPECT_EQ(Label(App.MainPanel, MAINP_GO), step.go);
        EXPECT_EQ(Label(App.MainPanel, MAINP_STOP), step.stop);
        PressAllFourKeys();
    }
}

// STROKE TOLERANCE typed over and F9 pressed without Enter: the request carries the value the
// page shows, in both languages, to RAM and to EEPROM, over the serial line and over TCP.
TEST_F(LiveKeysTest, AKeyPressedWhileTypingSendsTheValueTyped) {
    struct Step {
        int language, toggle;
        const char *typed, *data;
    };
    const Step steps[] = {
        {0, MAINP_RAM, "123", "7B 00 19 00 00 00 00 00"},
        {0, MAINP_EEPROM, "124", "7C 00 19 00 00 00 00 00"},
        {1, MAINP_RAM, "77", "4D 00 19 00 00 00 00 00"},
        {1, MAINP_EEPROM, "300", "2C 01 19 00 00 00 00 00"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.typed);
        if (App.LanguageIndex != step.language) SwitchLanguage(step.language);
        TestClickCtrl(App.MainPanel, step.toggle);
        TestProcessEvents(5);
        TestEditText(App.ParaTab, PARA_STROKE_TOL, step.typed);
        TestProcessEvents(5);
        sim->clearLog();
        TestKey(App.MainPanel, "F9");
        TestProcessEvents(300);
        EXPECT_EQ(FirstRequestData(), step.data);
        unsigned short value = 0;
        GetCtrlVal(App.ParaTab, PARA_STROKE_TOL, &value);
        EXPECT_EQ(value, std::atoi(step.typed)) << "the page's value is the one typed";
    }

    // Over TCP, three values one after the other, each sent with F9 alone.
    ConnectTcp();
    TestClickCtrl(App.MainPanel, MAINP_RAM);
    TestProcessEvents(5);
    for (const char *typed : {"77", "88", "99"}) {
        TestEditText(App.ParaTab, PARA_STROKE_TOL, typed);
        sim->clearLog();
        TestKey(App.MainPanel, "F9");
        TestProcessEvents(300);
        char expected[32];
        std::snprintf(expected, sizeof expected, "%02X 00 19 00 00 00 00 00", std::atoi(typed));
        EXPECT_EQ(FirstRequestData(), expected) << typed;
    }
}

// A value the control cannot take (an emptied field) is refused with the control's range when
// a key would act on it: nothing is sent.
TEST_F(LiveKeysTest, AKeyPressedOnAValueOutOfRangeSendsNothing) {
    const struct {
        int language;
        const char *title, *text;
    } cases[] = {
        {0, "Info!",
         "STANZHUB TOLERANZ: bitte einen Wert von 0 bis 65535 eingeben.\nDer eingegebene Wert "
         "wurde nicht uebernommen; es wurde nichts ausgefuehrt."},
        {1, "Message!",
         "STROKE TOLERANCE: please enter a value from 0 to 65535.\nThe value typed was not taken; "
         "nothing was done."},
    };
    for (const auto &c : cases) {
        if (App.LanguageIndex != c.language) SwitchLanguage(c.language);
        TestEditText(App.ParaTab, PARA_STROKE_TOL, "");
        sim->clearLog();
        popups.clear();
        TestKey(App.MainPanel, "F9");
        TestProcessEvents(300);
        EXPECT_TRUE(sim->requests().empty());
        ASSERT_EQ(popups.size(), 1u);
        EXPECT_EQ(popups[0].title, c.title);
        EXPECT_EQ(popups[0].text, c.text);
    }
}

// The window's close box takes the value being typed as well, before the program ends.
TEST_F(LiveKeysTest, TheCloseBoxTakesTheValueTyped) {
    TestEditText(App.ParaTab, PARA_STROKE_TOL, "321");
    TestClosePanel(App.MainPanel);
    TestProcessEvents(20);
    unsigned short value = 0;
    GetCtrlVal(App.ParaTab, PARA_STROKE_TOL, &value);
    EXPECT_EQ(value, 321);
    EXPECT_EQ(RunUserInterface(), 0) << "and the program ends";
}
