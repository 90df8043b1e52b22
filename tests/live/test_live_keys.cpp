// The function keys pressed on the keyboard (key events delivered to the main window) in
// German: F11 starts the live cycle, F12 stops it, F9 and F10 send and fetch the parameters.
// The keys belong to the buttons, so relabelling them in another language must not lose them:
// German from the start, then English, then German again.
#include "live_fixture.h"

#include "tests/common/panel_text.h"

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
        EXPECT_EQ(Orders(), std::vector<int>{OrderSendPara}) << "F9 sends to RAM";

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
