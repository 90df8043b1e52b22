// Right-click help: every control with a callback answers with its callback's text from the one
// list in the current language (a few also against the texts as written here); the two text
// boxes clear themselves on a right double click instead.
#include "program_fixture.h"

#include "Tavironv10.h"

#include <set>

namespace {

struct HelpCase {
    int AppState::*panel;
    int control;
    const char *german;
    const char *english;
};

const HelpCase kCases[] = {
    {&AppState::MainPanel, MAINP_TAB,
     "Waehlen Sie eine Registerkarte.\n<Strg>+<Umschalt>+S zeigt die Registerkarte DATENREKORDER.",
     "Select TAB-window.\n<Ctrl>+<Shift>+S shows the SCOPE tab."},
    {&AppState::MainPanel, MAINP_EEPROM,
     "Waehlen Sie die Quelle bzw. das Ziel fuer die Parameteruebertragung.",
     "Select source respectively the target for the parameter transfer."},
    {&AppState::ConnectTab, CONNECT_LANGUAGE, "Sprache auswaehlen.", "Select a language."},
    {&AppState::ConnectTab, CONNECT_DISCONNECT, "Verbindungsabbruch vom Sensor.",
     "Disconnect from sensor."},
    {&AppState::ConnectTab, CONNECT_GEN_HW_INFO_FILE,
     "Hardware Initialisierungs-Datei auf Festplatte speichern. \nSenden Sie diese Datei an den "
     "Hersteller fuer Support.",
     "Save Hardware Initial File to disk. \nSend this file to your supplier for assistance."},
    {&AppState::DataPanel, DATAP_LED_OUT2,
     "Zeigt den Status des Ausgaenge an. \nLED AUS (schwarz): Ausgang ist 0V. \nLED AN (orange): "
     "Ausgang ist +24V.",
     "Displays the status of the output. \nLed OFF (black): Output is 0V. \nLed ON (orange): "
     "Output is +24V."},
    {&AppState::ParaTab, PARA_COMPARE,
     "Zeigt die vier Parameter aus RAM, EEPROM und Parameter-Datei nebeneinander; Zeilen, die sich "
     "unterscheiden, sind markiert. \nZum Lesen wird das EEPROM ins RAM geladen; unterscheiden "
     "sich die Saetze, wird das RAM danach wiederhergestellt. \nEine Spalte kann auf die Seite "
     "uebernommen werden; gesendet wird erst mit SENDEN.",
     "Shows the four parameters as RAM, EEPROM and the parameter file hold them, side by side; "
     "rows that differ are marked. \nTo be read, the EEPROM is loaded into RAM; when the sets "
     "differ, RAM is put back afterwards. \nA column can be taken onto the page; only SEND "
     "sends it."},
    {&AppState::ComparePanel, COMPAREP_TAKE_FILE,
     "Uebernimmt die Werte dieser Spalte auf die Parameterseite; gesendet wird erst mit SENDEN.",
     "Puts the values of this column onto the parameter page; only SEND sends them."},
    {&AppState::ScopeTab, SCOPETAB_BREAK, "Datenrekorder abbrechen.", "Break data recording."},
    {&AppState::ScopePanel, SCOPEP_DELTA_Y, "Zeigt delta Y in [digit].",
     "Show delta Y in [digit]."},
    {&AppState::ScopePanel, SCOPEP_PRINT, "Einstellungen, Scope Graph und Kommentare drucken.",
     "Print settings,scope graph and comment."},
    {&AppState::ScopePanel, SCOPEP_EXPORT,
     "Letzte Aufnahme als CSV-Datei speichern, dazu ein Bild des Scope-Fensters (PNG).",
     "Save the last recording as a CSV file, with a picture of the scope panel (PNG)."},
};

// The callbacks' one list, read as this test's own table: each control callback's name and its
// help in both languages (none for a text box; panel callbacks are left out).
struct Listed {
    const char *name;
    const char *german;
    const char *english;
};
const Listed kListed[] = {
#define TAV_PANEL(name)
#define TAV_CTRL(name, german, english) {#name, german, english},
#define TAV_TEXT_BOX(name) {#name, nullptr, nullptr},
#include "window/callback_list.h"
#undef TAV_PANEL
#undef TAV_CTRL
#undef TAV_TEXT_BOX
};

const Listed *FindListed(const std::string &name) {
    for (const Listed &listed : kListed)
        if (name == listed.name) return &listed;
    return nullptr;
}

struct Lang {
    int index;
    const char *title; // of the help popup
};
const Lang kLanguages[] = {{0, "Info!"}, {1, "Message!"}};

// All controls of a panel, in resource order.
std::vector<int> Controls(int panel) {
    std::vector<int> ids;
    int id = 0;
    GetPanelAttribute(panel, ATTR_PANEL_FIRST_CTRL, &id);
    while (id) {
        ids.push_back(id);
        GetCtrlAttribute(panel, id, ATTR_NEXT_CTRL, &id);
    }
    return ids;
}

} // namespace

TEST_F(ProgramTest, HelpTextsInBothLanguages) {
    for (Lang lang : kLanguages) {
        App.LanguageIndex = lang.index;
        for (const HelpCase &c : kCases) {
            popups.clear();
            TestRightClickCtrl(App.*c.panel, c.control);
            TestProcessEvents(5);
            ASSERT_EQ(popups.size(), 1u) << c.english;
            EXPECT_EQ(popups[0].kind, "message");
            EXPECT_EQ(popups[0].title, lang.title);
            EXPECT_EQ(popups[0].text, lang.index == 0 ? c.german : c.english);
        }
    }
}

TEST_F(ProgramTest, EveryControlAnswersItsRightClickWithItsCallbacksHelp) {
    std::set<std::string> reached;
    for (Lang lang : kLanguages) {
        App.LanguageIndex = lang.index;
        for (int AppState::*panel :
             {&AppState::MainPanel, &AppState::ConnectTab, &AppState::ParaTab, &AppState::ScopeTab,
              &AppState::DataPanel, &AppState::ScopePanel, &AppState::ComparePanel}) {
            for (int id : Controls(App.*panel)) {
                char name[64], callback[64];
                GetCtrlAttribute(App.*panel, id, ATTR_CONSTANT_NAME, name, sizeof name);
                GetCtrlAttribute(App.*panel, id, ATTR_CALLBACK_NAME, callback, sizeof callback);
                if (!*callback) continue; // decorations, pictures, plain texts
                const Listed *listed = FindListed(callback);
                ASSERT_NE(listed, nullptr) << name << ": " << callback << " is not in the list";
                popups.clear();
                TestRightClickCtrl(App.*panel, id);
                TestProcessEvents(2);
                if (!listed->german) {
                    EXPECT_TRUE(popups.empty()) << name << ": a text box has no help";
                    continue;
                }
                ASSERT_EQ(popups.size(), 1u) << name;
                EXPECT_EQ(popups[0].kind, "message") << name;
                EXPECT_EQ(popups[0].title, lang.title) << name;
                EXPECT_EQ(popups[0].text, lang.index == 0 ? listed->german : listed->english)
                    << name << " (" << callback << ")";
                reached.insert(callback);
            }
        }
    }
    for (const Listed &listed : kListed) {
        if (!listed.german) continue;
        EXPECT_TRUE(reached.count(listed.name)) << listed.name << " is no control's callback";
    }
}

TEST_F(ProgramTest, TextBoxesClearOnRightDoubleClick) {
    ResetTextBox(App.ConnectTab, CONNECT_STATUS, ""); // drops the start-up connection texts
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, "line one\n");
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, "line two\n");
    SetCtrlVal(App.ScopeTab, SCOPETAB_COMMENT, "press 4, left tool");
    char text[256];
    GetCtrlVal(App.ConnectTab, CONNECT_STATUS, text);
    EXPECT_STREQ(text, "line one\nline two\n") << "a text box appends";

    TestRightDoubleClickCtrl(App.ConnectTab, CONNECT_STATUS);
    TestRightDoubleClickCtrl(App.ScopeTab, SCOPETAB_COMMENT);
    TestProcessEvents(5);
    GetCtrlVal(App.ConnectTab, CONNECT_STATUS, text);
    EXPECT_STREQ(text, "");
    GetCtrlVal(App.ScopeTab, SCOPETAB_COMMENT, text);
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(popups.empty());
}
