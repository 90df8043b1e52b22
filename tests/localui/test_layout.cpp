// The panels in both languages: no text clipped in its control, no caption running into
// another control or caption or off its panel. Covers the scope page and panel too, which the
// program never shows and so no screenshot can.
#include "localui/localui.h"

#include "Tavironv10.h"
#include "app/app.h"
#include "base/state.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "settings/language.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

struct Rect {
    int l, t, w, h;
    bool Meets(const Rect &o) const {
        return l < o.l + o.w && o.l < l + w && t < o.t + o.h && o.t < t + h;
    }
};

// Shows the controls the program shows for one protocol (the connection page and the data
// panel swap serial and TCP controls at the same places).
void ShowProtocol(int protocol) {
    const bool serial = protocol == 0;
    for (int c :
         {CONNECT_FIND_COM_PORTS, CONNECT_COM_PORT, CONNECT_BAUDRATE, CONNECT_CHANGE_BAUDRATE})
        SetCtrlAttribute(App.ConnectTab, c, ATTR_VISIBLE, serial);
    for (int c : {CONNECT_SERVER, CONNECT_PORT_NUMBER})
        SetCtrlAttribute(App.ConnectTab, c, ATTR_VISIBLE, !serial);
    SetCtrlAttribute(App.DataPanel, DATAP_COM_PORT, ATTR_VISIBLE, serial);
    SetCtrlAttribute(App.DataPanel, DATAP_SERVER, ATTR_VISIBLE, !serial);
}

void CheckPanel(int panel, const std::string &where) {
    int panelWidth = 0, panelHeight = 0;
    std::vector<TestCtrlLayout> ctrls = TestPanelLayout(panel, &panelWidth, &panelHeight);
    ASSERT_FALSE(ctrls.empty()) << where;
    // Everything a caption may not touch: other visible controls (not the decorations that
    // lie under the banner) and their captions.
    std::vector<std::pair<std::string, Rect>> taken;
    for (const TestCtrlLayout &c : ctrls) {
        if (!c.visible) continue;
        if (c.style != CTRL_DECORATION && c.style != CTRL_PICTURE)
            taken.push_back({c.name, {c.left, c.top, c.width, c.height}});
        if (c.hasCaption)
            taken.push_back({c.name + " caption",
                             {c.captionLeft, c.captionTop, c.captionWidth, c.captionHeight}});
    }
    for (const TestCtrlLayout &c : ctrls) {
        if (!c.visible) continue;
        EXPECT_LE(c.neededWidth, c.width) << where << ": text of " << c.name << " clipped";
        EXPECT_LE(c.neededHeight, c.height) << where << ": text of " << c.name << " clipped";
        if (!c.hasCaption) continue;
        Rect caption{c.captionLeft, c.captionTop, c.captionWidth, c.captionHeight};
        EXPECT_GE(caption.l, 0) << where << ": caption of " << c.name;
        EXPECT_GE(caption.t, 0) << where << ": caption of " << c.name;
        EXPECT_LE(caption.l + caption.w, panelWidth) << where << ": caption of " << c.name;
        for (const auto &[name, r] : taken) {
            if (name == c.name || name == c.name + " caption") continue;
            EXPECT_FALSE(caption.Meets(r))
                << where << ": caption of " << c.name << " meets " << name;
        }
    }
}

} // namespace

TEST(Layout, NothingClippedOrOverlappingInEitherLanguage) {
    App = AppState{};
    static char name[] = "test_localui";
    static char *argv[] = {name, nullptr};
    ASSERT_EQ(LoadPanels(1, argv), 0);
    GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 0, &App.ConnectTab);
    GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 1, &App.ParaTab);
    GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 2, &App.ScopeTab);
    const std::filesystem::path bin = TAVIRON_BIN_DIR;
    struct Language {
        int index;
        const char *file;
    } languages[] = {{0, "language_ger.lwl"}, {1, "language_eng.lwl"}};
    for (const Language &lang : languages) {
        ASSERT_EQ(LocalizePanel(App.MainPanel, (bin / lang.file).c_str()), 0);
        App.LanguageIndex = lang.index;
        WriteLanguageTexts(); // the texts the program writes itself must fit as well
        for (int protocol : {0, 1}) {
            ShowProtocol(protocol);
            std::string where = std::string(lang.file) + (protocol ? ", TCP/IP" : ", RS232");
            CheckPanel(App.MainPanel, where + ", MAINP");
            CheckPanel(App.ConnectTab, where + ", CONNECT");
            CheckPanel(App.ParaTab, where + ", PARA");
            CheckPanel(App.ScopeTab, where + ", SCOPETAB");
            CheckPanel(App.DataPanel, where + ", DATAP");
            CheckPanel(App.ScopePanel, where + ", SCOPEP");
            CheckPanel(App.ComparePanel, where + ", COMPAREP");
        }
    }
    DiscardPanel(App.MainPanel);
    TestProcessEvents(5);
}
