// Start-up state, the main panel's gestures, page changes, the scope page shown by --scope and
// by the tab control's key combination, and the ways the program ends.
#include "program_fixture.h"

#include "Tavironv10.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>

namespace {

struct BannerText {
    std::string text;
    int left, top, pointSize, color;
};

// The text messages the program made at run time on the main panel (the banner lines).
std::vector<BannerText> RunTimeTexts(int panel) {
    std::vector<BannerText> out;
    int id = 0;
    GetPanelAttribute(panel, ATTR_PANEL_FIRST_CTRL, &id);
    while (id) {
        char name[64], text[256];
        int style = 0;
        GetCtrlAttribute(panel, id, ATTR_CONSTANT_NAME, name, sizeof name);
        GetCtrlAttribute(panel, id, ATTR_CTRL_STYLE, &style);
        if (style == CTRL_TEXT_MSG && std::string(name).find("_NEW_") != std::string::npos) {
            BannerText b{};
            GetCtrlVal(panel, id, text);
            b.text = text;
            GetCtrlAttribute(panel, id, ATTR_LEFT, &b.left);
            GetCtrlAttribute(panel, id, ATTR_TOP, &b.top);
            GetCtrlAttribute(panel, id, ATTR_TEXT_POINT_SIZE, &b.pointSize);
            GetCtrlAttribute(panel, id, ATTR_TEXT_COLOR, &b.color);
            out.push_back(b);
        }
        GetCtrlAttribute(panel, id, ATTR_NEXT_CTRL, &id);
    }
    return out;
}

} // namespace

TEST_F(ProgramTest, StartsOnTheParameterPageWithTheDataPanelAndBanner) {
    int page = -1, visible = -1;
    GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
    EXPECT_EQ(page, 1);
    GetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 0) << "the scope page stays hidden";
    EXPECT_TRUE(TestPanelShown(App.MainPanel));
    EXPECT_TRUE(TestPanelShown(App.DataPanel));
    EXPECT_FALSE(TestPanelShown(App.ScopePanel));

    char title[64];
    GetPanelAttribute(App.MainPanel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "TAVIRON Scope V1.0");

    std::vector<BannerText> texts = RunTimeTexts(App.MainPanel);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "TAVIRON Scope V1.0");
    EXPECT_EQ(texts[0].left, 547);
    EXPECT_EQ(texts[0].top, 29);
    EXPECT_EQ(texts[0].pointSize, 19);
    EXPECT_EQ(texts[1].text, "Halvoran GmbH");
    const int tops[] = {6, 22, 36};
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(texts[i].left, 15);
        EXPECT_EQ(texts[i].top, tops[i - 1]);
        EXPECT_EQ(texts[i].pointSize, 11);
    }
    for (const BannerText &b : texts)
        EXPECT_EQ(b.color, 0xFFFFFF) << b.text;

    int banner = 0, logoVisible = 0, logoTop = 0, logoLeft = 0;
    GetCtrlAttribute(App.MainPanel, MAINP_BANNER, ATTR_FRAME_COLOR, &banner);
    EXPECT_EQ(banner, 0x0080FF);
    GetCtrlAttribute(App.MainPanel, MAINP_LOGO, ATTR_VISIBLE, &logoVisible);
    GetCtrlAttribute(App.MainPanel, MAINP_LOGO, ATTR_TOP, &logoTop);
    GetCtrlAttribute(App.MainPanel, MAINP_LOGO, ATTR_LEFT, &logoLeft);
    EXPECT_EQ(logoVisible, 1);
    EXPECT_EQ(logoTop, 6);
    EXPECT_EQ(logoLeft, 549);

    EXPECT_EQ(App.MemorySelect, 1);
    EXPECT_EQ(App.Running, 0);
    // The parameters start as designed into the page.
    unsigned short fromPage[4];
    GetCtrlVal(App.ParaTab, PARA_STROKE_TOL, &fromPage[0]);
    GetCtrlVal(App.ParaTab, PARA_BAD_CNT_TO_FAIL, &fromPage[1]);
    GetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, &fromPage[2]);
    GetCtrlVal(App.ParaTab, PARA_CNT_STROKE_EDGE, &fromPage[3]);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(App.ParaValues[i], fromPage[i]);
    EXPECT_EQ(std::string(App.SettingsFilePath),
              std::string(App.ProjectDir) + "/PanelSettings.cfg");
    EXPECT_TRUE(popups.empty());
}

TEST_F(ProgramTest, RightDoubleClickRestoresSizeAndCentres) {
    SetPanelSize(App.MainPanel, 400, 600);
    SetPanelPos(App.MainPanel, 0, 0);
    TestProcessEvents(10);
    TestRightDoubleClickPanel(App.MainPanel);
    TestProcessEvents(20);
    int left, top, width, height, screenW, screenH;
    TestPanelScreenRect(App.MainPanel, &left, &top, &width, &height);
    TestScreenSize(&screenW, &screenH);
    EXPECT_EQ(width, 1014);
    EXPECT_EQ(height, 690);
    // A window frame may shift the client area by a few pixels.
    EXPECT_NEAR(left, (screenW - 1014) / 2, 5);
    EXPECT_NEAR(top, (screenH - 690) / 2, 5);
}

TEST_F(ProgramTest, ConnectionPageStopsTheCycleAndDimsTheLinkButtons) {
    App.Running = 1;
    SetCtrlAttribute(App.ConnectTab, CONNECT_ACCEPT, ATTR_DIMMED, 0);
    TestSelectTab(App.MainPanel, MAINP_TAB, 0);
    TestProcessEvents(10);
    EXPECT_EQ(App.Running, 0);
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_ACCEPT), 1);
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_CHANGE_BAUDRATE), 1);
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_GEN_HW_INFO_FILE), 1);

    // Back to the parameter page: the cycle would keep running there.
    App.Running = 1;
    TestSelectTab(App.MainPanel, MAINP_TAB, 1);
    TestProcessEvents(10);
    EXPECT_EQ(App.Running, 1);
}

TEST_F(ProgramTest, ScopePageStopsTheCycleAndShowsTheScopePanel) {
    // The page is hidden in the program; show it here to exercise its handling.
    SetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, 1);
    App.Running = 1;
    TestSelectTab(App.MainPanel, MAINP_TAB, 2);
    TestProcessEvents(10);
    EXPECT_EQ(App.Running, 0);
    EXPECT_TRUE(TestPanelShown(App.ScopePanel));
    EXPECT_FALSE(TestPanelShown(App.DataPanel));
    TestClickCtrl(App.ScopePanel, SCOPEP_CLOSE);
    TestProcessEvents(10);
    EXPECT_TRUE(TestPanelShown(App.DataPanel));
    EXPECT_FALSE(TestPanelShown(App.ScopePanel));
}

// Where the scope page stands: visible, in front, with the scope panel in place of the data
// panel.
static void ExpectScopePageInFront() {
    int page = -1, visible = -1;
    GetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, &visible);
    GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
    EXPECT_EQ(visible, 1);
    EXPECT_EQ(page, 2);
    EXPECT_TRUE(TestPanelShown(App.ScopePanel));
    EXPECT_FALSE(TestPanelShown(App.DataPanel));
}

TEST_F(ProgramTest, TheKeyCombinationShowsTheHiddenScopePage) {
    int visible = -1;
    GetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, &visible);
    ASSERT_EQ(visible, 0);
    App.Running = 1;
    TestKey(App.MainPanel, "Ctrl+Shift+S");
    TestProcessEvents(10);
    ExpectScopePageInFront();
    EXPECT_EQ(App.Running, 0) << "as when the page is picked: the live cycle ends";

    // Pressed again from another page it brings the page back to the front.
    TestSelectTab(App.MainPanel, MAINP_TAB, 0);
    TestProcessEvents(10);
    TestKey(App.MainPanel, "Ctrl+Shift+S");
    TestProcessEvents(10);
    ExpectScopePageInFront();
    // Other keys leave the page alone.
    TestSelectTab(App.MainPanel, MAINP_TAB, 1);
    TestKey(App.MainPanel, "Ctrl+S");
    TestKey(App.MainPanel, "Shift+S");
    TestProcessEvents(10);
    int page = -1;
    GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
    EXPECT_EQ(page, 1);
}

TEST(StartOptions, ScopeIsTakenOnlyAsAWholeArgumentBeforeTheEnd) {
    struct {
        std::vector<const char *> args;
        int scope;
    } const cases[] = {
        {{"TavironScope"}, 0},
        {{"TavironScope", "--scope"}, 1},
        {{"TavironScope", "-platform", "offscreen", "--scope"}, 1},
        {{"TavironScope", "--scopes"}, 0},
        {{"TavironScope", "-scope"}, 0},
        {{"TavironScope", "--SCOPE"}, 0},
        {{"TavironScope", "--", "--scope"}, 0},
        {{"--scope"}, 0}, // the program's own name
    };
    for (const auto &c : cases) {
        App = AppState{};
        ApplyStartOptions(int(c.args.size()), c.args.data());
        EXPECT_EQ(App.ScopePageAtStart, c.scope) << c.args.back();
    }
}

class ScopeOptionTest : public ProgramTest {
    std::vector<const char *> Options() const override { return {"--scope"}; }
};

TEST_F(ScopeOptionTest, TheScopePageIsShownFromStartUp) {
    ASSERT_EQ(App.LinkOk, 1) << "the start-up connection attempt ran as usual";
    ExpectScopePageInFront();
    // An operator can leave it and come back as to any page.
    TestClickCtrl(App.ScopePanel, SCOPEP_CLOSE);
    TestSelectTab(App.MainPanel, MAINP_TAB, 1);
    TestProcessEvents(10);
    EXPECT_TRUE(TestPanelShown(App.DataPanel));
    TestSelectTab(App.MainPanel, MAINP_TAB, 2);
    TestProcessEvents(10);
    ExpectScopePageInFront();
}

TEST_F(ProgramTest, ClosingTheMainPanelEndsTheLoopWithZeroAndStopsTheCycle) {
    App.Running = 1;
    TestRunFromLoop([] { TestClosePanel(App.MainPanel); });
    EXPECT_EQ(RunUserInterface(), 0);
    EXPECT_EQ(App.Running, 0);
}

TEST(EventLoop, QuitBeforeTheLoopMakesItReturnAtOnce) {
    // The runtime must be up for the safety call below to be queued (also when this test runs
    // alone in its process).
    static char name[] = "test_app";
    static char *argv[] = {name, nullptr};
    ASSERT_EQ(InitUserInterface(1, argv), 1);
    bool safetyNeeded = false;
    QuitUserInterface(0);
    // Should the quit be lost, this ends the loop instead and the test fails.
    TestRunFromLoop([&] {
        safetyNeeded = true;
        QuitUserInterface(7);
    });
    EXPECT_EQ(RunUserInterface(), 0);
    EXPECT_FALSE(safetyNeeded);
    TestProcessEvents(5); // let the safety call run outside any loop
    RunUserInterface();   // and consume the quit it left pending
}

TEST(WinMain, EndsWithZeroWhenTheMainPanelIsClosed) {
    ProgramEnvironment env;
    env.StartEnvironment({.simulatedSensor = true});
    ASSERT_FALSE(HasFatalFailure());
    App = AppState{};
    SetPopupResponder([](const PopupRecord &, std::string *) { return 1; });
    static char name[] = "test_app";
    static char *argv[] = {name, nullptr};
    // The close is queued for the loop, so the runtime must be up before WinMain starts it
    // (WinMain then keeps the one that runs).
    ASSERT_EQ(InitUserInterface(1, argv), 1);
    TestRunFromLoop([] { TestClosePanel(App.MainPanel); });
    EXPECT_EQ(WinMain(1, argv), 0);
    EXPECT_EQ(App.LinkOk, 1) << "connected at start-up, then closed by the operator";
    SetPopupResponder({});
    env.StopEnvironment();
}

// Without its panel file the program cannot start: it says which file it missed and where it
// looked (beside itself, then the installed data folder), and ends with -1. Nobody could answer
// a popup on the offscreen platform, so the text goes to standard error only.
TEST(WinMain, WithoutItsResourceFileTheProgramSaysWhereItLookedAndEndsWithMinusOne) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("taviron_noui_" + std::to_string(getpid()));
    fs::create_directories(dir / "bin");
    fs::copy_file(fs::path(TAVIRON_BIN_DIR) / "TavironScope", dir / "bin/TavironScope",
                  fs::copy_options::overwrite_existing);
    struct Case {
        const char *lang;
        const char *says;
    } const cases[] = {
        {"C.UTF-8", "The panel file Tavironv10.uir was not found. Looked in:\n"},
        {"de_DE.UTF-8", "Die Oberflaechendatei Tavironv10.uir wurde nicht gefunden. Gesucht in:\n"},
    };
    for (const Case &c : cases) {
        std::string cmd = "cd / && LC_ALL= LC_MESSAGES= LANGUAGE= LANG=" + std::string(c.lang) +
                          " QT_QPA_PLATFORM=offscreen '" + (dir / "bin/TavironScope").string() +
                          "' 2>'" + (dir / "stderr").string() + "'";
        int status = std::system(cmd.c_str());
        std::ifstream in(dir / "stderr");
        const std::string said{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 255) << "-1 as a process exit code";
        EXPECT_NE(said.find(std::string(c.says) + "  " + (dir / "bin").string() + "\n  " +
                            (dir / "share/taviron-scope").string() + "\n"),
                  std::string::npos)
            << said;
    }
    fs::remove_all(dir);
}
