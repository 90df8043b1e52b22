// The panel settings file: defaults without a file, what makes a file count, the window
// state, the server list both ways, directories, identification, connection settings and the
// exact text of a stored file.
#include "settings_fixture.h"

#include "Tavironv10.h"
#include "platform/toolbox.h"
#include "settings/settings.h"
#include "tests/common/panel_text.h"

#include <string>

namespace {

int Value(int panel, int ctrl) {
    int v = -1;
    GetCtrlVal(panel, ctrl, &v);
    return v;
}

std::vector<std::string> Servers() {
    int n = 0;
    Combo_GetComboAttribute(App.ConnectTab, CONNECT_SERVER, ATTR_COMBO_NUM_ITEMS, &n);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        char buf[256] = "";
        Combo_GetComboText(App.ConnectTab, CONNECT_SERVER, i, buf, sizeof buf);
        out.push_back(buf);
    }
    return out;
}

const std::vector<std::string> kHeader = {"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\""};

std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST_F(SettingsTest, NoFileAtStartLeavesEveryDefault) {
    // An English start reads no language file: a marked one would show.
    std::filesystem::remove(programDir / "language_eng.lwl");
    WriteFile("language_eng.lwl", ReadFile("language_ger.lwl"));
    Start();
    EXPECT_EQ(App.LanguageIndex, 1);
    EXPECT_EQ(Value(App.ConnectTab, CONNECT_LANGUAGE), 1);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SEND (F9)");
    EXPECT_EQ(Text(App.ParaTab, PARA_TEXT_STROKE_TOL),
              "Plus / minus tolerance for punching stroke. \nInput in per thousand.");
    EXPECT_STREQ(App.PanelId, "");
    EXPECT_EQ(Text(App.ConnectTab, CONNECT_ID), "");
    EXPECT_TRUE(Servers().empty());
    EXPECT_EQ(App.ComProtocol, 0);
    EXPECT_EQ(App.ComPort, 1);
    EXPECT_EQ(App.BaudrateIndex, 4);
    EXPECT_STREQ(App.PortNumberText, "5000");
    EXPECT_EQ(Text(App.ConnectTab, CONNECT_PORT_NUMBER), "5000");
    EXPECT_EQ(Value(App.ConnectTab, CONNECT_BAUDRATE), 4);
    EXPECT_EQ(std::string(App.ParaFilePath), Path("Parameter.ini"));
    EXPECT_EQ(std::string(App.HwInfoFilePath), Path("HardwareInitialFile.ini"));
    int zoom = -1, width = 0, height = 0;
    GetPanelAttribute(App.MainPanel, ATTR_WINDOW_ZOOM, &zoom);
    GetPanelAttribute(App.MainPanel, ATTR_WIDTH, &width);
    GetPanelAttribute(App.MainPanel, ATTR_HEIGHT, &height);
    EXPECT_EQ(zoom, VAL_NO_ZOOM);
    EXPECT_EQ(width, 1014);
    EXPECT_EQ(height, 690);
}

TEST_F(SettingsTest, ForeignFileTypeIsIgnoredEntirelyAndOverwrittenOnStore) {
    WriteSettings({"[GENERAL INFO]", "FILE TYPE: = \"panel settings\"", "PANEL ID: = \"Press 9\"",
                   "LANGUAGE = 0", "", "[IP ADDRESSES]", "LIST ITEMS = 1",
                   "IP ADDR 1 = \"127.0.0.7\"", "", "[COMMUNICATION SETTINGS]", "COMPORT = 7",
                   "PORT NUMBER = \"6000\"", ""});
    Start();
    EXPECT_EQ(App.LanguageIndex, 1);
    EXPECT_STREQ(App.PanelId, "");
    EXPECT_TRUE(Servers().empty());
    EXPECT_EQ(App.ComPort, 1);
    EXPECT_STREQ(App.PortNumberText, "5000");

    StorePanelSettings();
    EXPECT_EQ(ReadFile("PanelSettings.cfg").rfind(SettingsTest::Crlf(kHeader), 0), 0u);
}

TEST_F(SettingsTest, WindowStateAndGeometry) {
    struct Case {
        const char *name;
        std::vector<std::string> position;
        int zoom, left, top, width, height;
    } cases[] = {
        {"maximised: the stored edges are not applied",
         {"MAINPANEL FULLSCREEN = 2", "MAINPANEL LEFT = 300", "MAINPANEL TOP = 200",
          "MAINPANEL WIDTH = 500", "MAINPANEL HEIGHT = 400"},
         VAL_MAXIMIZE,
         -1,
         -1,
         -1,
         -1},
        {"normal window at its stored place",
         {"MAINPANEL FULLSCREEN = 0", "MAINPANEL LEFT = 30", "MAINPANEL TOP = 50",
          "MAINPANEL WIDTH = 900", "MAINPANEL HEIGHT = 600"},
         VAL_NO_ZOOM,
         30,
         50,
         900,
         600},
        {"missing edges take their defaults",
         {"MAINPANEL FULLSCREEN = 0", "MAINPANEL WIDTH = 800", "MAINPANEL TOP = x"},
         VAL_NO_ZOOM,
         10,
         40,
         800,
         690},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lines = With(kHeader, {"", "[PANEL POSITION]"});
        WriteSettings(With(lines, c.position));
        Start();
        int zoom = -1, left = 0, top = 0, width = 0, height = 0;
        GetPanelAttribute(App.MainPanel, ATTR_WINDOW_ZOOM, &zoom);
        GetPanelAttribute(App.MainPanel, ATTR_LEFT, &left);
        GetPanelAttribute(App.MainPanel, ATTR_TOP, &top);
        GetPanelAttribute(App.MainPanel, ATTR_WIDTH, &width);
        GetPanelAttribute(App.MainPanel, ATTR_HEIGHT, &height);
        EXPECT_EQ(zoom, c.zoom);
        if (c.left >= 0) {
            EXPECT_EQ(left, c.left);
            EXPECT_EQ(top, c.top);
            EXPECT_EQ(width, c.width);
            EXPECT_EQ(height, c.height);
        } else {
            // Maximised on the screen; the stored place is the one it goes back to.
            int screenLeft = 0, screenTop = 0, screenWidth = 0, screenHeight = 0;
            TestPanelScreenRect(App.MainPanel, &screenLeft, &screenTop, &screenWidth,
                                &screenHeight);
            EXPECT_NE(screenWidth, 500);
            EXPECT_NE(screenHeight, 400);
            EXPECT_EQ(left, 300);
            EXPECT_EQ(top, 200);
            EXPECT_EQ(width, 500);
            EXPECT_EQ(height, 400);
        }
        ShutDown();
        TestProcessEvents(5);
        started = false;
    }
}

// A window the operator maximised is stored as maximised, with the place it had before (not
// the screen's size as if that were its own), and opens maximised again.
TEST_F(SettingsTest, AMaximisedWindowIsStoredAsMaximisedWithItsOwnPlace) {
    WriteSettings(
        With(kHeader, {"", "[PANEL POSITION]", "MAINPANEL FULLSCREEN = 0", "MAINPANEL LEFT = 30",
                       "MAINPANEL TOP = 50", "MAINPANEL WIDTH = 900", "MAINPANEL HEIGHT = 600"}));
    Start();
    SetPanelAttribute(App.MainPanel, ATTR_WINDOW_ZOOM, VAL_MAXIMIZE);
    TestProcessEvents(10);
    int screenLeft = 0, screenTop = 0, screenWidth = 0, screenHeight = 0;
    TestPanelScreenRect(App.MainPanel, &screenLeft, &screenTop, &screenWidth, &screenHeight);
    ASSERT_GT(screenWidth, 900) << "the window is maximised on the screen";
    ASSERT_EQ(StorePanelSettings(), 0);
    EXPECT_NE(
        ReadFile("PanelSettings.cfg")
            .find(Crlf({"[PANEL POSITION]", "MAINPANEL FULLSCREEN = 2", "MAINPANEL LEFT = 30",
                        "MAINPANEL TOP = 50", "MAINPANEL WIDTH = 900", "MAINPANEL HEIGHT = 600"})),
        std::string::npos)
        << ReadFile("PanelSettings.cfg");
    ShutDown();
    TestProcessEvents(5);
    Start();
    int zoom = -1;
    GetPanelAttribute(App.MainPanel, ATTR_WINDOW_ZOOM, &zoom);
    EXPECT_EQ(zoom, VAL_MAXIMIZE);
}

TEST_F(SettingsTest, ServerListLoadsAtMostTenAndSkipsMissingEntries) {
    struct Case {
        const char *name;
        int listItems;
        std::vector<int> present;
        std::vector<std::string> expected;
    } cases[] = {
        {"25 entries", 25, {}, {}},
        {"entries 2 and 5 missing",
         6,
         {1, 3, 4, 6},
         {"127.0.0.1", "127.0.0.3", "127.0.0.4", "127.0.0.6"}},
        {"no entries at all", 3, {0}, {}},
    };
    for (int i = 1; i <= 25; ++i)
        cases[0].present.push_back(i);
    for (int i = 1; i <= 10; ++i)
        cases[0].expected.push_back("127.0.0." + std::to_string(i));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lines =
            With(kHeader, {"", "[IP ADDRESSES]", "LIST ITEMS = " + std::to_string(c.listItems)});
        for (int n : c.present)
            lines.push_back("IP ADDR " + std::to_string(n) + " = \"127.0.0." + std::to_string(n) +
                            "\"");
        WriteSettings(lines);
        Start();
        EXPECT_EQ(Servers(), c.expected);
        ShutDown();
        TestProcessEvents(5);
        started = false;
    }
}

TEST_F(SettingsTest, StoringElevenServersKeepsTheFirstTen) {
    Start();
    for (int i = 0; i < 11; ++i)
        Combo_InsertComboItem(App.ConnectTab, CONNECT_SERVER, i,
                              ("127.0.1." + std::to_string(i + 1)).c_str());
    StorePanelSettings();
    std::string file = ReadFile("PanelSettings.cfg");
    std::string expected = "[IP ADDRESSES]\r\nLIST ITEMS = 10\r\n";
    for (int i = 1; i <= 10; ++i)
        expected += "IP ADDR " + std::to_string(i) + " = \"127.0.1." + std::to_string(i) + "\"\r\n";
    expected += "\r\n[COMMUNICATION SETTINGS]";
    EXPECT_NE(file.find(expected), std::string::npos) << file;
}

TEST_F(SettingsTest, DirectoriesFallBackToTheProgramDirectory) {
    WriteSettings(With(kHeader, {"", "[DIRECTORIES]", "HARDWARE INI FILE = \"/data/hw.ini\""}));
    Start();
    EXPECT_EQ(std::string(App.ParaFilePath), programDir.string()) << "the directory alone";
    EXPECT_STREQ(App.HwInfoFilePath, "/data/hw.ini");
}

TEST_F(SettingsTest, IdentificationIsCutTo99Characters) {
    const std::string id(120, 'x');
    WriteSettings(With(kHeader, {"PANEL ID: = \"" + id + "\""}));
    Start();
    EXPECT_EQ(std::string(App.PanelId), id.substr(0, 99));
    EXPECT_EQ(Text(App.ConnectTab, CONNECT_ID), id.substr(0, 99));
}

TEST_F(SettingsTest, ConnectionSettingsFromFile) {
    WriteSettings(
        With(kHeader, {"", "[COMMUNICATION SETTINGS]", "COMPROTOCOL = 0", "COMPORT = 65539",
                       "BAUDRATE = fast", "IP ADRESS = \"127.0.0.9\""}));
    Start();
    EXPECT_EQ(App.ComPort, 3) << "the low 16 bits";
    EXPECT_EQ(App.BaudrateIndex, 4) << "not an integer: the default";
    EXPECT_STREQ(App.IpAddress, "127.0.0.9");
    EXPECT_STREQ(App.PortNumberText, "5000") << "missing: the default";
    EXPECT_EQ(Value(App.ConnectTab, CONNECT_COM_PORT), 3);
    EXPECT_EQ(Text(App.ConnectTab, CONNECT_SERVER), "127.0.0.9");
    EXPECT_EQ(Text(App.ConnectTab, CONNECT_PORT_NUMBER), "5000");
}

TEST_F(SettingsTest, StoredFileIsWrittenExactlyAndReadsBack) {
    Start();
    SetCtrlVal(App.ConnectTab, CONNECT_ID, "Press 4 left");
    SetCtrlVal(App.ConnectTab, CONNECT_LANGUAGE, 0);
    SetPanelPos(App.MainPanel, 40, 10);
    SetPanelSize(App.MainPanel, 690, 1014);
    std::snprintf(App.ParaFilePath, sizeof App.ParaFilePath, "%s", "C:\\Sensor\\Parameter.ini");
    std::snprintf(App.HwInfoFilePath, sizeof App.HwInfoFilePath, "%s",
                  "C:\\Sensor\\HardwareInitialFile.ini");
    Combo_InsertComboItem(App.ConnectTab, CONNECT_SERVER, 0, "192.168.1.20");
    Combo_InsertComboItem(App.ConnectTab, CONNECT_SERVER, 1, "192.168.1.21");
    SetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, 1);
    SetCtrlVal(App.ConnectTab, CONNECT_COM_PORT, 1);
    SetCtrlVal(App.ConnectTab, CONNECT_BAUDRATE, 4);
    SetCtrlVal(App.ConnectTab, CONNECT_SERVER, "192.168.1.20");
    SetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, "5000");
    StorePanelSettings();
    EXPECT_EQ(ReadFile("PanelSettings.cfg"),
              Crlf({"[GENERAL INFO]",
                    "FILE TYPE: = \"Panel Settings\"",
                    "SCOPE VERSION: = \"TAVIRON Scope V1.0\"",
                    "PANEL ID: = \"Press 4 left\"",
                    "LANGUAGE = 0",
                    "",
                    "[PANEL POSITION]",
                    "MAINPANEL FULLSCREEN = 0",
                    "MAINPANEL LEFT = 10",
                    "MAINPANEL TOP = 40",
                    "MAINPANEL WIDTH = 1014",
                    "MAINPANEL HEIGHT = 690",
                    "",
                    "[DIRECTORIES]",
                    "PARAMETER FILE = \"C:\\\\Sensor\\\\Parameter.ini\"",
                    "HARDWARE INI FILE = \"C:\\\\Sensor\\\\HardwareInitialFile.ini\"",
                    "",
                    "[IP ADDRESSES]",
                    "LIST ITEMS = 2",
                    "IP ADDR 1 = \"192.168.1.20\"",
                    "IP ADDR 2 = \"192.168.1.21\"",
                    "",
                    "[COMMUNICATION SETTINGS]",
                    "COMPROTOCOL = 1",
                    "COMPORT = 1",
                    "BAUDRATE = 4",
                    "IP ADRESS = \"192.168.1.20\"",
                    "PORT NUMBER = \"5000\"",
                    ""}));
    EXPECT_EQ(App.ComProtocol, 1) << "the state follows the controls";
    EXPECT_STREQ(App.IpAddress, "192.168.1.20");

    // Read back without starting again (the file names a TCP server that is not ours).
    App.ParaFilePath[0] = App.HwInfoFilePath[0] = 0;
    Combo_DeleteComboItem(App.ConnectTab, CONNECT_SERVER, 0, -1);
    LoadPanelSettings();
    EXPECT_STREQ(App.ParaFilePath, "C:\\Sensor\\Parameter.ini");
    EXPECT_STREQ(App.HwInfoFilePath, "C:\\Sensor\\HardwareInitialFile.ini");
    EXPECT_STREQ(App.PanelId, "Press 4 left");
    EXPECT_EQ(App.LanguageIndex, 0);
    EXPECT_EQ(Servers(), (std::vector<std::string>{"192.168.1.20", "192.168.1.21"}));
}

TEST_F(SettingsTest, LanguageOtherThanGermanOrEnglishIsEnglish) {
    for (const char *stored : {"7", "-1", "2", "German"}) {
        SCOPED_TRACE(stored);
        WriteSettings(With(kHeader, {std::string("LANGUAGE = ") + stored}));
        Start();
        EXPECT_EQ(App.LanguageIndex, 1);
        EXPECT_EQ(Value(App.ConnectTab, CONNECT_LANGUAGE), 1);
        EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SEND (F9)");
        EXPECT_EQ(Text(App.DataPanel, DATAP_OUTMODE_TEXT).rfind("For DIGITAL OUTMODE = DIRECT", 0),
                  0u);
        ShutDown();
        TestProcessEvents(5);
        started = false;
    }
}

TEST_F(SettingsTest, StoredGermanIsAppliedAtStart) {
    WriteSettings(With(kHeader, {"LANGUAGE = 0"}));
    Start();
    EXPECT_EQ(App.LanguageIndex, 0);
    EXPECT_EQ(Value(App.ConnectTab, CONNECT_LANGUAGE), 0);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SENDEN (F9)");
    EXPECT_EQ(Label(App.DataPanel, DATAP_CNT_STROKE), "STANZHUB");
    EXPECT_EQ(Text(App.ParaTab, PARA_TEXT_CNT_STROKE_EDGE),
              "Waehlen Sie aus, welche Kante des \nStanzhubs ausgewertet werden soll.");
    EXPECT_EQ(Text(App.DataPanel, DATAP_OUTMODE_TEXT).rfind("Bei DIGITAL OUTMODE = DIREKT", 0), 0u);
}

// A file saved by an editor with a UTF-8 byte-order mark is the operator's file all the same:
// it is read in full and, being usable, replaced on store without a backup.
TEST_F(SettingsTest, FileWithByteOrderMarkIsRead) {
    WriteFile("PanelSettings.cfg",
              "\xEF\xBB\xBF" +
                  Crlf(With(kHeader, {"PANEL ID: = \"Press 4 left\"", "",
                                      "[COMMUNICATION SETTINGS]", "COMPROTOCOL = 1",
                                      "IP ADRESS = \"127.0.0.9\"", "PORT NUMBER = \"6001\""})));
    Start();
    EXPECT_STREQ(App.PanelId, "Press 4 left");
    EXPECT_EQ(App.ComProtocol, 1);
    EXPECT_STREQ(App.IpAddress, "127.0.0.9");
    EXPECT_STREQ(App.PortNumberText, "6001");
    StorePanelSettings();
    EXPECT_FALSE(std::filesystem::exists(programDir / "PanelSettings.cfg.bak"));
}

// A settings file that is there but could not be used is kept as PanelSettings.cfg.bak before
// the store replaces it, and the operator is told where it went; a usable file, a missing or
// empty one needs no backup.
TEST_F(SettingsTest, UnusableFileIsKeptAsBackupBeforeItIsReplaced) {
    struct Case {
        const char *name;
        std::string bytes;
        bool kept;
    } cases[] = {
        {"garbage", std::string("\x01\x02 not a settings file \xff\r\nPANEL ID: = x\r\n"), true},
        {"foreign file type", Crlf({"[GENERAL INFO]", "FILE TYPE: = \"Parameter File\""}), true},
        {"usable", Crlf(kHeader), false},
        {"empty", "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(programDir / "PanelSettings.cfg.bak");
        WriteFile("PanelSettings.cfg", c.bytes);
        Start();
        StorePanelSettings();
        EXPECT_EQ(ReadFile("PanelSettings.cfg").rfind(Crlf(kHeader), 0), 0u);
        char status[16384] = "";
        GetCtrlVal(App.ConnectTab, CONNECT_STATUS, status);
        const std::string told = status;
        if (c.kept) {
            EXPECT_EQ(ReadFile("PanelSettings.cfg.bak"), c.bytes);
            EXPECT_NE(
                told.find("could not be used and was kept as " + Path("PanelSettings.cfg.bak")),
                std::string::npos)
                << told;
            // Now usable: the next store leaves the backup as it is.
            WriteFile("PanelSettings.cfg.bak", "first backup");
            StorePanelSettings();
            EXPECT_EQ(ReadFile("PanelSettings.cfg.bak"), "first backup");
        } else {
            EXPECT_FALSE(std::filesystem::exists(programDir / "PanelSettings.cfg.bak"));
            EXPECT_EQ(told.find("could not be used"), std::string::npos) << told;
        }
        ShutDown();
        TestProcessEvents(5);
        started = false;
    }
}

// A stored place the operator could not reach or use is replaced, when applied, by the default
// size centred on the main screen, and that is what the next store writes back; a place on the
// second screen is kept. (The tests run on two screens: 1280 x 1024 and 1024 x 768 beside it.)
TEST_F(SettingsTest, StoredWindowOffEveryScreenOrTooSmallOpensCentred) {
    struct Case {
        const char *name;
        int left, top, width, height;
        int expectLeft, expectTop, expectWidth, expectHeight;
    } cases[] = {
        {"far off to the left and tiny", -5000, -5000, 5, 5, 133, 167, 1014, 690},
        {"tiny on the screen", 10, 40, 5, 5, 133, 167, 1014, 690},
        {"beyond the right edge", 2400, 100, 900, 600, 133, 167, 1014, 690},
        {"on the second screen", 1400, 100, 800, 500, 1400, 100, 800, 500},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(With(kHeader, {"", "[PANEL POSITION]", "MAINPANEL FULLSCREEN = 0",
                                     "MAINPANEL LEFT = " + std::to_string(c.left),
                                     "MAINPANEL TOP = " + std::to_string(c.top),
                                     "MAINPANEL WIDTH = " + std::to_string(c.width),
                                     "MAINPANEL HEIGHT = " + std::to_string(c.height)}));
        Start();
        int left = 0, top = 0, width = 0, height = 0;
        GetPanelAttribute(App.MainPanel, ATTR_LEFT, &left);
        GetPanelAttribute(App.MainPanel, ATTR_TOP, &top);
        GetPanelAttribute(App.MainPanel, ATTR_WIDTH, &width);
        GetPanelAttribute(App.MainPanel, ATTR_HEIGHT, &height);
        EXPECT_EQ(left, c.expectLeft);
        EXPECT_EQ(top, c.expectTop);
        EXPECT_EQ(width, c.expectWidth);
        EXPECT_EQ(height, c.expectHeight);
        StorePanelSettings();
        const std::string stored = ReadFile("PanelSettings.cfg");
        EXPECT_NE(stored.find("MAINPANEL LEFT = " + std::to_string(c.expectLeft) + "\r\n"),
                  std::string::npos);
        EXPECT_NE(stored.find("MAINPANEL WIDTH = " + std::to_string(c.expectWidth) + "\r\n"),
                  std::string::npos);
        ShutDown();
        TestProcessEvents(5);
        started = false;
    }
}
