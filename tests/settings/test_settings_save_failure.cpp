// A settings file that cannot be written is said, never silent: which file and why on the
// status displays after ACCEPT, in a popup before the program ends on closing; the file that is
// there is left as it was.
#include "settings_fixture.h"

#include "Tavironv10.h"
#include "settings/settings.h"
#include "tests/common/panel_text.h"
#include "window/callbacks.h"

#include <string>

namespace {

const std::string kStoredGerman = "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n"
                                  "LANGUAGE = 0\r\n";

} // namespace

TEST_F(SettingsTest, ASaveThatFailsIsSaidWithThePathAndTheReason) {
    struct Case {
        const char *name;
        bool german;
        bool folderGone; // else: an unusable file whose backup cannot be made
        const char *notSaved, *reason;
        const char *code; // only in the tool tip: operator texts carry no codes
    } cases[] = {
        {"folder gone, English", false, true, "Settings not saved", "the folder does not exist",
         " (-95)"},
        {"folder gone, German", true, true, "Einstellungen nicht gespeichert",
         "der Ordner existiert nicht", " (-95)"},
        {"unusable file, English", false, false, "Settings not saved",
         "an unusable file is there and could not be kept aside", " (-1)"},
        {"unusable file, German", true, false, "Einstellungen nicht gespeichert",
         "eine nicht verwendbare Datei liegt dort und konnte nicht aufbewahrt werden", " (-1)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(programDir / "PanelSettings.cfg.bak");
        WriteFile("PanelSettings.cfg", c.german ? kStoredGerman : "");
        Start();
        std::string path = Path("PanelSettings.cfg");
        const std::string unusable = "not a settings file\r\n";
        if (c.folderGone) {
            path = (programDir / "gone" / "PanelSettings.cfg").string();
            std::snprintf(App.SettingsFilePath, sizeof App.SettingsFilePath, "%s", path.c_str());
        } else {
            // The backup's name is taken by a folder: the copy fails, so the file must stay.
            WriteFile("PanelSettings.cfg", unusable);
            std::filesystem::create_directory(programDir / "PanelSettings.cfg.bak");
        }
        const std::string expected = std::string(c.notSaved) + ": " + path + ": " + c.reason;

        // ACCEPT: the status line says what and why, its tool tip and the status box add the
        // path (the tool tip also the code); the tab still changes.
        popups.clear();
        ResetTextBox(App.ConnectTab, CONNECT_STATUS, "");
        CBF_ButtonAccept(App.ConnectTab, CONNECT_ACCEPT, EVENT_COMMIT, nullptr, 0, 0);
        EXPECT_EQ(Text(App.DataPanel, DATAP_STATUS), std::string(c.notSaved) + ": " + c.reason);
        char tip[2048] = "";
        GetCtrlAttribute(App.DataPanel, DATAP_STATUS, ATTR_TOOLTIP_TEXT, tip, sizeof tip);
        EXPECT_EQ(tip, expected + c.code);
        EXPECT_NE(Text(App.ConnectTab, CONNECT_STATUS).find(expected), std::string::npos)
            << Text(App.ConnectTab, CONNECT_STATUS);
        EXPECT_TRUE(popups.empty());
        int page = -1;
        GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
        EXPECT_EQ(page, 1);

        // Closing: a popup the operator confirms, before the program ends.
        TestClosePanel(App.MainPanel);
        TestProcessEvents(20);
        ASSERT_EQ(popups.size(), 1u);
        EXPECT_EQ(popups[0].kind, "message");
        EXPECT_EQ(popups[0].title, c.german ? "Achtung!" : "Warning!");
        EXPECT_EQ(popups[0].text, expected);

        if (c.folderGone)
            EXPECT_FALSE(std::filesystem::exists(programDir / "gone"));
        else
            EXPECT_EQ(ReadFile("PanelSettings.cfg"), unusable);
        ShutDown();
        TestProcessEvents(5);
        started = false;
    }
}

TEST_F(SettingsTest, ASaveThatSucceedsSaysNothing) {
    Start();
    SetCtrlVal(App.DataPanel, DATAP_STATUS, "Offline");
    CBF_ButtonAccept(App.ConnectTab, CONNECT_ACCEPT, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(Text(App.DataPanel, DATAP_STATUS), "Offline");
    EXPECT_EQ(Text(App.ConnectTab, CONNECT_STATUS).find("not saved"), std::string::npos);
    popups.clear();
    TestClosePanel(App.MainPanel);
    TestProcessEvents(20);
    EXPECT_TRUE(popups.empty());
    EXPECT_NE(ReadFile("PanelSettings.cfg").find("FILE TYPE: = \"Panel Settings\""),
              std::string::npos);
}
