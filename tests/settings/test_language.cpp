// Language selection and sensor identification on the connection page, the system's language at
// a first start, and the two moments the settings are stored (ACCEPT and closing the main panel).
#include "settings_fixture.h"

#include "Tavironv10.h"
#include "base/system_language.h"
#include "settings/language.h"
#include "settings/settings.h"
#include "tests/common/panel_text.h"
#include "window/callbacks.h"

#include <string>

namespace {

const char *kStrokeTolGer = "Plus / Minus Toleranz fuer Stanzhub. \nEingabe in Promille.";
const char *kStrokeTolEng = "Plus / minus tolerance for punching stroke. \nInput in per thousand.";

} // namespace

TEST_F(SettingsTest, SelectorSwitchesPanelsAndTheProgramsOwnTexts) {
    Start();
    TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, 0);
    TestProcessEvents(10);
    EXPECT_EQ(App.LanguageIndex, 0);
    EXPECT_EQ(Label(App.MainPanel, MAINP_GO), "START (F11)");
    EXPECT_EQ(Label(App.ConnectTab, CONNECT_ID), "SENSOR-ID");
    EXPECT_EQ(Text(App.ParaTab, PARA_TEXT_STROKE_TOL), kStrokeTolGer);

    TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, 1);
    TestProcessEvents(10);
    EXPECT_EQ(App.LanguageIndex, 1);
    EXPECT_EQ(Label(App.MainPanel, MAINP_GO), "GO (F11)");
    EXPECT_EQ(Label(App.ConnectTab, CONNECT_ID), "SENSOR ID");
    EXPECT_EQ(Text(App.ParaTab, PARA_TEXT_STROKE_TOL), kStrokeTolEng);
}

TEST_F(SettingsTest, WithoutTheEnglishFilePanelsStayGermanButTheProgramSwitches) {
    WriteSettings({"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"", "LANGUAGE = 0"});
    std::filesystem::remove(programDir / "language_eng.lwl");
    Start();
    ASSERT_EQ(Label(App.MainPanel, MAINP_SEND), "SENDEN (F9)");
    TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, 1);
    TestProcessEvents(10);
    EXPECT_EQ(App.LanguageIndex, 1);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SENDEN (F9)");
    EXPECT_EQ(Text(App.ParaTab, PARA_TEXT_STROKE_TOL), kStrokeTolEng);
    popups.clear();
    TestRightClickCtrl(App.ConnectTab, CONNECT_LANGUAGE);
    TestProcessEvents(10);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].text, "Select a language.");
}

TEST_F(SettingsTest, HelpOfLanguageAndIdentificationInBothLanguages) {
    struct Case {
        int language, control;
        const char *title, *text;
    } cases[] = {
        {1, CONNECT_LANGUAGE, "Message!", "Select a language."},
        {0, CONNECT_LANGUAGE, "Info!", "Sprache auswaehlen."},
        {1, CONNECT_ID, "Message!",
         "Insert sensor identification. \nThis ID will be displayed in some panels of the "
         "software."},
        {0, CONNECT_ID, "Info!",
         "Sensor-Identifikation einfuegen. \nDiese ID wird in einigen Fenstern der Software "
         "angezeigt."},
    };
    Start();
    for (const Case &c : cases) {
        App.LanguageIndex = c.language;
        popups.clear();
        TestRightClickCtrl(App.ConnectTab, c.control);
        TestProcessEvents(10);
        ASSERT_EQ(popups.size(), 1u) << c.text;
        EXPECT_EQ(popups[0].title, c.title);
        EXPECT_EQ(popups[0].text, c.text);
    }
}

TEST_F(SettingsTest, IdentificationIsTakenOnCommitButStoredAsShown) {
    Start();
    TestTypeText(App.ConnectTab, CONNECT_ID, "Press 7");
    TestProcessEvents(10);
    EXPECT_STREQ(App.PanelId, "Press 7");

    SetCtrlVal(App.ConnectTab, CONNECT_ID, "Press 8 (not committed)");
    TestProcessEvents(10);
    EXPECT_STREQ(App.PanelId, "Press 7");
    StorePanelSettings();
    EXPECT_NE(ReadFile("PanelSettings.cfg").find("PANEL ID: = \"Press 8 (not committed)\"\r\n"),
              std::string::npos);
}

TEST_F(SettingsTest, AcceptStoresAndBringsTheParameterPage) {
    Start();
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
    SetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, "5123");
    ASSERT_FALSE(std::filesystem::exists(programDir / "PanelSettings.cfg"));
    CBF_ButtonAccept(App.ConnectTab, CONNECT_ACCEPT, EVENT_COMMIT, nullptr, 0, 0);
    int page = -1;
    GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
    EXPECT_EQ(page, 1);
    EXPECT_NE(ReadFile("PanelSettings.cfg").find("PORT NUMBER = \"5123\"\r\n"), std::string::npos);
}

TEST_F(SettingsTest, ClosingTheMainPanelStoresTheSettings) {
    Start();
    SetCtrlVal(App.ConnectTab, CONNECT_LANGUAGE, 0);
    TestClosePanel(App.MainPanel);
    TestProcessEvents(20);
    EXPECT_NE(ReadFile("PanelSettings.cfg").find("LANGUAGE = 0\r\n"), std::string::npos);
}

TEST_F(SettingsTest, QtsOwnDialogsFollowTheLanguageFromTheStartAndOnEverySwitch) {
    const std::vector<std::string> yesNoGer = {"Ja", "Nein"}, yesNoEng = {"Yes", "No"};
    const std::vector<std::string> fileGer = {"OK", "Abbrechen"}, fileEng = {"OK", "Cancel"};
    const std::vector<std::string> captionsGer = {"Suchen in:", "Dateiname:", "Dateien des Typs:"};
    const std::vector<std::string> captionsEng = {"Look in:", "File name:", "Files of type:"};
    const struct {
        int language; // -1: the stored language at start-up
        const std::vector<std::string> &confirm, &file, &captions;
    } steps[] = {
        {-1, yesNoGer, fileGer, captionsGer},
        {1, yesNoEng, fileEng, captionsEng},
        {0, yesNoGer, fileGer, captionsGer},
        {1, yesNoEng, fileEng, captionsEng},
    };
    WriteSettings({"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"", "LANGUAGE = 0"});
    Start();
    for (const auto &step : steps) {
        SCOPED_TRACE(step.language);
        if (step.language >= 0) {
            TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, step.language);
            TestProcessEvents(10);
        }
        popups.clear();
        ConfirmPopup("Info!", "?");
        char path[MAX_PATHNAME_LEN] = "";
        FileSelectPopup(programDir.c_str(), "Parameter.ini", "*.ini", "Parameter", VAL_OK_BUTTON, 0,
                        0, 1, 1, path);
        ASSERT_EQ(popups.size(), 2u);
        EXPECT_EQ(popups[0].kind, "confirm");
        EXPECT_EQ(popups[0].buttons, step.confirm);
        EXPECT_EQ(popups[1].kind, "file");
        EXPECT_EQ(popups[1].buttons, step.file);
        EXPECT_EQ(popups[1].labels, step.captions);
    }
}

// Started from a desktop menu the current directory is the user's home, without language
// files: the labels come from the files beside the program, or from the installed data folder.
TEST_F(SettingsTest, GermanLabelsFromAnyCurrentDirectory) {
    namespace fs = std::filesystem;
    const fs::path home = programDir / "home", data = programDir / "share";
    fs::create_directories(home);
    fs::create_directories(data);
    fs::current_path(home);
    WriteSettings({"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"", "LANGUAGE = 0"});
    Start();
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SENDEN (F9)") << "files beside the program";
    EXPECT_EQ(Text(App.ParaTab, PARA_TEXT_STROKE_TOL), kStrokeTolGer);

    // Only the installed data folder has them.
    for (const char *f : {"language_ger.lwl", "language_eng.lwl"})
        fs::rename(programDir / f, data / f);
    TestSetDataDir(data.c_str());
    TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, 1);
    TestProcessEvents(10);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SEND (F9)") << "files in the data folder";
    TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, 0);
    TestProcessEvents(10);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SENDEN (F9)") << "files in the data folder";
}

// The window program's first start and taviron without --lang speak the system's language.
TEST(SystemLanguage, GermanWhenTheEnvironmentSpeaksGerman) {
    const struct {
        const char *lcAll, *lcMessages, *lang, *language;
        int expected;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, 1},
        {"", "", "", "", 1},
        {nullptr, nullptr, "de_DE.UTF-8", nullptr, 0},
        {nullptr, nullptr, "de_AT", nullptr, 0},
        {nullptr, nullptr, "de", nullptr, 0},
        {nullptr, nullptr, "de@euro", nullptr, 0},
        {nullptr, nullptr, "dex_XX", nullptr, 1},
        {nullptr, nullptr, "DE_de", nullptr, 1}, // locale names are lower case
        {nullptr, nullptr, "en_US.UTF-8", nullptr, 1},
        {nullptr, nullptr, "fr_FR", nullptr, 1},
        {"", "", "de_CH.UTF-8", "", 0},                      // an empty one does not count
        {"en_GB.UTF-8", nullptr, "de_DE.UTF-8", nullptr, 1}, // LC_ALL wins
        {nullptr, "de_DE.UTF-8", "en_US.UTF-8", nullptr, 0}, // then LC_MESSAGES
        {nullptr, nullptr, "en_US.UTF-8", "de:en", 0},       // LANGUAGE names the language
        {nullptr, nullptr, "de_DE.UTF-8", "en_GB:de", 1},
        {nullptr, nullptr, "C", "de", 1}, // ... but not in the C locale
        {nullptr, nullptr, "C.UTF-8", "de", 1},
        {"POSIX", nullptr, "de_DE.UTF-8", nullptr, 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LanguageOfEnvironment(c.lcAll, c.lcMessages, c.lang, c.language), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-") << " " << (c.language ? c.language : "-");
}

// A German plant PC: the first start (no settings file) is German, panels and the program's own
// texts; once the operator's choice is stored, it wins over the system's.
TEST_F(SettingsTest, FirstStartTakesTheSystemsLanguageThenTheStoredOne) {
    setenv("LANG", "de_DE.UTF-8", 1);
    Start();
    EXPECT_EQ(App.LanguageIndex, 0);
    int selector = -1;
    GetCtrlVal(App.ConnectTab, CONNECT_LANGUAGE, &selector);
    EXPECT_EQ(selector, 0);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SENDEN (F9)");
    EXPECT_EQ(Text(App.ParaTab, PARA_TEXT_STROKE_TOL), kStrokeTolGer);
    ShutDown();
    TestProcessEvents(5);

    WriteSettings({"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"", "LANGUAGE = 1"});
    Start();
    EXPECT_EQ(App.LanguageIndex, 1);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SEND (F9)");
}
