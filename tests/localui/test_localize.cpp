// Localising the program's real panels: both language files, the child-panel walk, what a bad
// file leaves unchanged, the menu bar, and the two loaders.
#include "localui/localui.h"

#include "Tavironv10.h"
#include "app/app.h"
#include "base/state.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "tests/common/panel_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path &p, const std::string &bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// The file text without the section `name` (header line up to the next section).
std::string WithoutSection(std::string text, const std::string &name) {
    size_t at = text.find("[" + name + "]\r\n");
    if (at == std::string::npos) return text;
    size_t end = text.find("\r\n[", at + 1);
    text.erase(at, end == std::string::npos ? std::string::npos : end + 2 - at);
    return text;
}

std::string Replace(std::string text, const std::string &from, const std::string &to) {
    size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string TabLabel(int index) {
    char buf[256] = "";
    GetTabPageAttribute(App.MainPanel, MAINP_TAB, index, ATTR_LABEL_TEXT, buf, sizeof buf);
    return buf;
}

std::string ItemLabel(int panel, int ctrl, int index) {
    char buf[256] = "";
    GetLabelFromIndex(panel, ctrl, index, buf, sizeof buf);
    return buf;
}

class LocalizeTest : public ::testing::Test {
  protected:
    fs::path dir;
    const fs::path bin = TAVIRON_BIN_DIR;
    std::string german, english;

    void SetUp() override {
        App = AppState{};
        static char name[] = "test_localui";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(LoadPanels(1, argv), 0);
        GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 0, &App.ConnectTab);
        GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 1, &App.ParaTab);
        GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 2, &App.ScopeTab);
        dir = fs::temp_directory_path() / ("localui-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        german = ReadBytes(bin / "language_ger.lwl");
        english = ReadBytes(bin / "language_eng.lwl");
        ASSERT_FALSE(german.empty());
        ASSERT_FALSE(english.empty());
    }

    void TearDown() override {
        DiscardPanel(App.MainPanel);
        TestProcessEvents(5);
        fs::remove_all(dir);
    }

    std::string File(const std::string &name, const std::string &bytes) {
        WriteBytes(dir / name, bytes);
        return (dir / name).string();
    }

    // Every text of the panels as the exporter sees it.
    std::string Snapshot() {
        std::string path = (dir / "snapshot.lwl").string();
        EXPECT_EQ(ExportAllObjectsToLangFile(App.MainPanel, path.c_str()), 0);
        return ReadBytes(path);
    }
};

} // namespace

TEST_F(LocalizeTest, GermanRelabelsEveryPanelAndEnglishRestoresTheDesign) {
    const std::string designed = Snapshot();
    int outmode = -1;
    GetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, &outmode);

    ASSERT_EQ(LocalizePanel(App.MainPanel, (bin / "language_ger.lwl").c_str()), 0);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SENDEN (F9)");
    EXPECT_EQ(Label(App.MainPanel, MAINP_FILE), "DATEI");
    EXPECT_EQ(TabLabel(0), "VERBINDUNG");
    EXPECT_EQ(Label(App.ConnectTab, CONNECT_LANGUAGE), "SPRACHE");
    EXPECT_EQ(ItemLabel(App.ParaTab, PARA_DIG_OUTMODE, 0), "DIREKT");
    EXPECT_EQ(ItemLabel(App.ParaTab, PARA_DIG_OUTMODE, 1), "INVERS");
    EXPECT_EQ(Label(App.DataPanel, DATAP_CNT_PERIOD), "PERIODE");
    EXPECT_EQ(Label(App.DataPanel, DATAP_LOWER_TOL_LIMIT), "UNTERE TOLERANZ GRENZE");
    EXPECT_EQ(Label(App.ScopePanel, SCOPEP_CLOSE), "SCHLIESSEN");
    EXPECT_EQ(Label(App.ScopePanel, SCOPEP_BUSY), "AUFNAHME LAEUFT");
    EXPECT_EQ(Label(App.ScopePanel, SCOPEP_WAITING),
              "warte auf Trigger \u2014 ABBRECHEN bricht ab");
    char tip[128] = "";
    GetCtrlAttribute(App.MainPanel, MAINP_TAB, ATTR_TOOLTIP_TEXT, tip, sizeof tip);
    EXPECT_STREQ(tip, "<Strg>+<Umschalt>+S: Registerkarte DATENREKORDER");
    int after = -1;
    GetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, &after);
    EXPECT_EQ(after, outmode) << "ring values are data and stay";

    // The German file is complete: it is exactly what the relabelled panels export.
    EXPECT_EQ(Snapshot(), german);

    ASSERT_EQ(LocalizePanel(App.MainPanel, (bin / "language_eng.lwl").c_str()), 0);
    EXPECT_EQ(Snapshot(), designed);
}

TEST_F(LocalizeTest, EnglishFileMatchesThePanelsAsDesigned) {
    // A panel edited without exporting again would leave stale texts after German.
    EXPECT_EQ(Snapshot(), english);
    EXPECT_EQ(ReadBytes(fs::path(TAVIRON_SOURCE_DIR) / "resources/language_eng.lwl"), english);
}

TEST_F(LocalizeTest, BadFilesChangeNothing) {
    const std::string designed = Snapshot();
    struct Case {
        const char *name;
        std::string path;
        int result;
    } cases[] = {
        {"missing file", (dir / "none.lwl").string(), -94},
        {"no path", "", -65},
        {"wrong magic", File("magic.lwl", Replace(german, "-1395807027", "-1395807028")), -6000},
        {"no header", File("header.lwl", WithoutSection(german, "Language Resource File")), -6000},
        {"main panel section missing", File("mainp.lwl", WithoutSection(german, "MAINP")), -6000},
        {"version not a number",
         File("version.lwl", Replace(german, "Version = 200", "Version = x")), -12},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(LocalizePanel(App.MainPanel, c.path.c_str()), c.result) << c.name;
        EXPECT_EQ(Snapshot(), designed) << c.name;
    }
}

TEST_F(LocalizeTest, ControlsWithoutOrWithForeignSectionsKeepTheirTexts) {
    std::string text = WithoutSection(german, "MAINP_SEND");
    text = Replace(text, "[MAINP_GET]\r\nType = 2", "[MAINP_GET]\r\nType = 5");
    ASSERT_EQ(LocalizePanel(App.MainPanel, File("partial.lwl", text).c_str()), 0);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SEND (F9)");
    EXPECT_EQ(Label(App.MainPanel, MAINP_GET), "GET (F10)");
    EXPECT_EQ(Label(App.MainPanel, MAINP_GO), "START (F11)");
    EXPECT_EQ(Label(App.DataPanel, DATAP_CNT_GAP), "AUSSPARUNG");
}

TEST_F(LocalizeTest, MissingChildSectionStopsTheWalkThere) {
    // Children of the main panel in order: the three tab pages, then DATAP and SCOPEP.
    std::string path = File("nopara.lwl", WithoutSection(german, "PARA"));
    EXPECT_EQ(LocalizePanel(App.MainPanel, path.c_str()), -6000);
    EXPECT_EQ(Label(App.MainPanel, MAINP_SEND), "SENDEN (F9)");
    EXPECT_EQ(Label(App.ConnectTab, CONNECT_ACCEPT), "UEBERNEHMEN");
    EXPECT_EQ(Label(App.ParaTab, PARA_STROKE_TOL), "STROKE TOLERANCE");
    EXPECT_EQ(Label(App.ScopeTab, SCOPETAB_BREAK), "BREAK");
    EXPECT_EQ(Label(App.DataPanel, DATAP_CNT_PERIOD), "CNT PERIOD");
    EXPECT_EQ(Label(App.ScopePanel, SCOPEP_CLOSE), "CLOSE");
}

TEST_F(LocalizeTest, CharacterSetGoesToEveryPanel) {
    std::string text =
        Replace(german, "Magic = -1395807027\r\n", "Magic = -1395807027\r\nCharSet = 7\r\n");
    ASSERT_EQ(LocalizePanel(App.MainPanel, File("charset.lwl", text).c_str()), 0);
    for (int panel : {App.MainPanel, App.ConnectTab, App.ParaTab, App.ScopeTab, App.DataPanel,
                      App.ScopePanel}) {
        int charSet = -1;
        GetPanelAttribute(panel, ATTR_CHARSET, &charSet);
        EXPECT_EQ(charSet, 7) << "panel " << panel;
    }
}

TEST_F(LocalizeTest, MenuBarItemsAreRenamedWithThePanelOrAlone) {
    int bar = NewMenuBar(App.MainPanel, "MENUBAR");
    ASSERT_GT(bar, 0);
    int file = NewMenuItem(bar, "MENUBAR_FILE", "File");
    int help = NewMenuItem(bar, "MENUBAR_HELP", "Help");
    int keep = NewMenuItem(bar, "MENUBAR_ABOUT", "About");
    std::string exported = Snapshot();
    EXPECT_NE(exported.find("[MENUBAR_HELP]\r\nFlags = \"@f\"\r\nName = \"Help\""),
              std::string::npos);

    std::string text = german + "[MENUBAR_FILE]\r\nFlags = \"@f\"\r\nName = \"Datei\"\r\n\r\n" +
                       "[MENUBAR_HELP]\r\nFlags = \"@f\"\r\nName = \"Hilfe\"\r\n\r\n" +
                       "[MENUBAR_ABOUT]\r\nFlags = \"@e\"\r\nName = \"Ueber\"\r\n\r\n";
    std::string path = File("menu.lwl", text);
    auto name = [&](int item) {
        char buf[64] = "";
        GetMenuBarAttribute(bar, item, ATTR_ITEM_NAME, buf, sizeof buf);
        return std::string(buf);
    };
    ASSERT_EQ(LocalizePanel(App.MainPanel, path.c_str()), 0);
    EXPECT_EQ(name(file), "Datei");
    EXPECT_EQ(name(help), "Hilfe");
    EXPECT_EQ(name(keep), "About") << "flagged as not given";

    SetMenuBarAttribute(bar, file, ATTR_ITEM_NAME, "File");
    EXPECT_EQ(LocalizeMenuBar(bar, path.c_str()), 0);
    EXPECT_EQ(name(file), "Datei");
    EXPECT_EQ(LocalizeMenuBar(bar, (dir / "none.lwl").c_str()), -94);
}

TEST_F(LocalizeTest, LoadLocalizedPanelKeepsOnlyWhatItCouldLocalise) {
    int panel = -1;
    ASSERT_EQ(LoadLocalizedPanel(App.MainPanel, "Tavironv10.uir", DATAP,
                                 (bin / "language_ger.lwl").c_str(), &panel),
              0);
    ASSERT_GT(panel, 0);
    EXPECT_EQ(Label(panel, DATAP_CNT_STROKE), "STANZHUB");
    DiscardPanel(panel);

    std::string bad = File("bad.lwl", Replace(german, "-1395807027", "1"));
    panel = -1;
    EXPECT_EQ(LoadLocalizedPanelEx(App.MainPanel, "Tavironv10.uir", DATAP, nullptr, 0, bad.c_str(),
                                   &panel),
              -6000);
    EXPECT_EQ(panel, 0);
    // Only the panels loaded in SetUp remain as children of the main panel.
    int child = 0, count = 0;
    GetPanelAttribute(App.MainPanel, ATTR_FIRST_CHILD, &child);
    for (; child; GetPanelAttribute(child, ATTR_NEXT_PANEL, &child))
        ++count;
    EXPECT_EQ(count, 6); // three tab pages, the data, scope and comparison panels
}
