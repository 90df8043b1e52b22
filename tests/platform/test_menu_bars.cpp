// Runtime operations the localisation library and its tests rely on: menu bars made at run
// time, the busy indicator's label, the window icon, the program directory a test can set and
// the layout report of a panel.
#include "Tavironv10.h"
#include "app/app.h"
#include "base/state.h"
#include "platform/testing.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App = AppState{};
        static char name[] = "test_platform";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(LoadPanels(1, argv), 0);
    }
    void TearDown() override {
        DiscardPanel(App.MainPanel);
        TestProcessEvents(5);
    }
};

std::string ItemText(int bar, int item, int attribute) {
    char buf[64] = "";
    if (GetMenuBarAttribute(bar, item, attribute, buf, sizeof buf) < 0) return "<error>";
    return buf;
}

} // namespace

TEST_F(RuntimeTest, MenuBarItemsKeepTheirOrderNamesAndTexts) {
    EXPECT_EQ(GetPanelMenuBar(App.MainPanel), 0);
    int bar = NewMenuBar(App.MainPanel, "MENUBAR");
    ASSERT_GT(bar, 0);
    EXPECT_EQ(GetPanelMenuBar(App.MainPanel), bar);
    EXPECT_LT(NewMenuBar(App.MainPanel, "SECOND"), 0) << "one menu bar per panel";
    int open = NewMenuItem(bar, "MENUBAR_OPEN", "Open");
    int quit = NewMenuItem(bar, "MENUBAR_QUIT", "Quit");
    ASSERT_GT(open, 0);
    ASSERT_GT(quit, 0);

    EXPECT_EQ(ItemText(bar, 0, ATTR_CONSTANT_NAME), "MENUBAR");
    int item = -1;
    ASSERT_EQ(GetMenuBarAttribute(bar, 0, ATTR_MENU_FIRST_ITEM, &item), 0);
    EXPECT_EQ(item, open);
    ASSERT_EQ(GetMenuBarAttribute(bar, open, ATTR_MENU_NEXT_ITEM, &item), 0);
    EXPECT_EQ(item, quit);
    ASSERT_EQ(GetMenuBarAttribute(bar, quit, ATTR_MENU_NEXT_ITEM, &item), 0);
    EXPECT_EQ(item, 0);
    EXPECT_EQ(ItemText(bar, quit, ATTR_CONSTANT_NAME), "MENUBAR_QUIT");

    EXPECT_EQ(SetMenuBarAttribute(bar, quit, ATTR_ITEM_NAME, "Beenden"), 0);
    EXPECT_EQ(ItemText(bar, quit, ATTR_ITEM_NAME), "Beenden");
    EXPECT_EQ(ItemText(bar, open, ATTR_ITEM_NAME), "Open");
    EXPECT_LT(SetMenuBarAttribute(bar, 999, ATTR_ITEM_NAME, "x"), 0);

    EXPECT_EQ(DiscardMenuBar(bar), 0);
    EXPECT_EQ(GetPanelMenuBar(App.MainPanel), 0);
    EXPECT_EQ(ItemText(bar, open, ATTR_ITEM_NAME), "<error>");
}

TEST_F(RuntimeTest, MenuBarGoesWithItsPanel) {
    int panel = LoadPanel(0, "Tavironv10.uir", DATAP);
    ASSERT_GT(panel, 0);
    int bar = NewMenuBar(panel, "BAR");
    ASSERT_GT(bar, 0);
    NewMenuItem(bar, "BAR_A", "A");
    DiscardPanel(panel);
    TestProcessEvents(5);
    EXPECT_EQ(GetPanelMenuBar(panel), 0);
    EXPECT_LT(NewMenuItem(bar, "BAR_B", "B"), 0);
    EXPECT_EQ(ItemText(bar, 0, ATTR_CONSTANT_NAME), "<error>");
}

TEST_F(RuntimeTest, WindowsShowTheIconBesideThePanelFile) {
    EXPECT_EQ(TestWindowIconSize(App.MainPanel), 256);
    int other = LoadPanel(0, "Tavironv10.uir", DATAP);
    EXPECT_EQ(TestWindowIconSize(other), 256);
    DiscardPanel(other);
}

TEST_F(RuntimeTest, BusyIndicatorLabelIsItsText) {
    char buf[64] = "";
    ASSERT_EQ(GetCtrlAttribute(App.ScopePanel, SCOPEP_BUSY, ATTR_LABEL_TEXT, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "RECORDING");
    ASSERT_EQ(SetCtrlAttribute(App.ScopePanel, SCOPEP_BUSY, ATTR_LABEL_TEXT, "AUFNAHME"), 0);
    GetCtrlAttribute(App.ScopePanel, SCOPEP_BUSY, ATTR_LABEL_TEXT, buf, sizeof buf);
    EXPECT_STREQ(buf, "AUFNAHME");
}

TEST_F(RuntimeTest, ProjectDirectoryCanBeSetForATest) {
    char own[MAX_PATHNAME_LEN], dir[MAX_PATHNAME_LEN];
    GetProjectDir(own);
    TestSetProjectDir("/tmp/elsewhere");
    GetProjectDir(dir);
    EXPECT_STREQ(dir, "/tmp/elsewhere");
    TestSetProjectDir("");
    GetProjectDir(dir);
    EXPECT_STREQ(dir, own);
}

TEST_F(RuntimeTest, LayoutReportShowsTextThatDoesNotFit) {
    int width = 0, height = 0;
    auto find = [&](int control) {
        for (const TestCtrlLayout &l : TestPanelLayout(App.MainPanel, &width, &height))
            if (l.control == control) return l;
        return TestCtrlLayout{};
    };
    TestCtrlLayout send = find(MAINP_SEND);
    EXPECT_EQ(width, 1014);
    EXPECT_GT(send.neededWidth, 0);
    EXPECT_LE(send.neededWidth, send.width);
    SetCtrlAttribute(App.MainPanel, MAINP_SEND, ATTR_LABEL_TEXT,
                     "A LABEL FAR TOO LONG FOR THIS BUTTON TO SHOW");
    EXPECT_GT(find(MAINP_SEND).neededWidth, send.width);
}
