// Right-click help: every control answers with its own text in the current language; the two
// text boxes clear themselves on a right double click instead.
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
    struct Lang {
        int index;
        const char *title;
    };
    for (Lang lang : {Lang{0, "Info!"}, Lang{1, "Message!"}}) {
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

TEST_F(ProgramTest, EveryControlWithACallbackAnswersItsRightClick) {
    const std::set<std::pair<int, int>> clearing = {{App.ConnectTab, CONNECT_STATUS},
                                                    {App.ScopeTab, SCOPETAB_COMMENT}};
    std::set<std::string> texts;
    int answered = 0;
    for (int AppState::*panel :
         {&AppState::MainPanel, &AppState::ConnectTab, &AppState::ParaTab, &AppState::ScopeTab,
          &AppState::DataPanel, &AppState::ScopePanel, &AppState::ComparePanel}) {
        for (int id : Controls(App.*panel)) {
            char name[64];
            GetCtrlAttribute(App.*panel, id, ATTR_CONSTANT_NAME, name, sizeof name);
            popups.clear();
            TestRightClickCtrl(App.*panel, id);
            TestProcessEvents(2);
            if (clearing.count({App.*panel, id})) {
                EXPECT_TRUE(popups.empty()) << name;
                continue;
            }
            if (popups.empty()) continue; // no callback: decorations, pictures, plain texts
            ASSERT_EQ(popups.size(), 1u) << name;
            EXPECT_EQ(popups[0].title, "Message!") << name;
            EXPECT_FALSE(popups[0].text.empty()) << name;
            texts.insert(popups[0].text);
            ++answered;
        }
    }
    // The help texts of the program's forty-six callbacks, each reached through some control.
    EXPECT_EQ(texts.size(), 46u);
    EXPECT_GE(answered, 46);
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
