// A settings file that cannot be written is said, never silent: which file and why on the
// status displays after ACCEPT, in a popup before the program ends on closing; the file that is
// there is left as it was.
#include "settings_fixture.h"

#include "Tavironv10.h"
#include "base/callbacks.h"
#include "settings/settings.h"
#include "tests/common/panel_text.h"

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
        const char *told;
    } cases[] = {
        {"folder gone, English", false, true,
         "Settings not saved: %s: the folder does not exist (-95)"},
        {"folder gone, German", true, true,
         "Einstellungen nicht gespeichert: %s: der Ordner existiert nicht (-95)"},
        {"unusable file, English", false, false,
         "Settings not saved: %s: an unusable file is there and could not be kept aside (-1)"},
        {"unusable file, German", true, false,
         "Einstellungen nicht gespeichert: %s: eine nicht verwendbare Datei liegt dort und konnte "
         "nicht aufbewahrt werden (-1)"},
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
        char expected[1024];
        std::snprintf(expected, sizeof expected, c.told, path.c_str());

        // ACCEPT: the status line and the status box say it; the tab still changes.
        popups.clear();
        ResetTextBox(App.ConnectTab, CONNECT_STATUS, "");
        CBF_ButtonAccept(App.ConnectTab, CONNECT_ACCEPT, EVENT_COMMIT, nullptr, 0, 0);
        EXPECT_EQ(Text(App.DataPanel, DATAP_STATUS), expected);
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
