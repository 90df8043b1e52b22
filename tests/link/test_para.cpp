// SEND and GET with RAM, EEPROM and FILE: the orders that reach the sensor, the parameter
// block on the wire, the plausibility messages, SEND and GET parked while the live cycle runs,
// and the memory toggles.
#include "link_fixture.h"

#include "params/para.h"
#include "protocol/frame.h"
#include "tests/support/scripted_sensor.h"

#include <fstream>
#include <regex>

namespace {

// A text with every time of day in it written HH:MM:SS, so it can be compared whole.
std::string NoClock(const std::string &text) {
    return std::regex_replace(text, std::regex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]"), "HH:MM:SS");
}

// A request frame as the simulated sensor logs it: its bytes in hex, blank between them.
std::string Hex(int order, std::vector<u16> values = {}) {
    ScriptedSensor::Bytes data;
    for (u16 v : values) {
        data.push_back(u8(v & 0xFF));
        data.push_back(u8(v >> 8));
    }
    std::string out;
    for (u8 b : ScriptedSensor::frame(u8(order), 0, data)) {
        char two[4];
        std::snprintf(two, sizeof two, "%02X", b);
        out += (out.empty() ? "" : " ") + std::string(two);
    }
    return out;
}

class ParaTest : public LinkTest {
  protected:
    void SetUp() override {
        LinkTest::SetUp();
        if (HasFatalFailure()) return;
        UseTcp();
        Connect();
    }

    static void SetPage(unsigned a, unsigned b, unsigned c, unsigned d) {
        SetCtrlVal(App.ParaTab, PARA_STROKE_TOL, a);
        SetCtrlVal(App.ParaTab, PARA_BAD_CNT_TO_FAIL, b);
        SetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, c);
        SetCtrlVal(App.ParaTab, PARA_CNT_STROKE_EDGE, d);
    }
    static std::vector<unsigned> Page() {
        std::vector<unsigned> v;
        for (int c :
             {PARA_STROKE_TOL, PARA_BAD_CNT_TO_FAIL, PARA_DIG_OUTMODE, PARA_CNT_STROKE_EDGE}) {
            unsigned short x = 0;
            GetCtrlVal(App.ParaTab, c, &x);
            v.push_back(x);
        }
        return v;
    }
    static std::vector<int> Toggles() {
        std::vector<int> v;
        for (int c : {MAINP_RAM, MAINP_EEPROM, MAINP_FILE}) {
            int on = -1;
            GetCtrlVal(App.MainPanel, c, &on);
            v.push_back(on);
        }
        return v;
    }
    void Select(int toggle) { Click(App.MainPanel, toggle); }
};

} // namespace

TEST_F(ParaTest, SendAndGetSendExactlyTheirOrders) {
    struct Case {
        int toggle, button;
        std::vector<int> orders;
        int memory;
    } cases[] = {
        {MAINP_RAM, MAINP_SEND, {1, 2}, 1},          // then read back
        {MAINP_EEPROM, MAINP_SEND, {1, 3, 4, 2}, 2}, // then reloaded and read back
        {MAINP_RAM, MAINP_GET, {2}, 1},
        {MAINP_EEPROM, MAINP_GET, {4, 2}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.toggle == MAINP_RAM ? "RAM" : "EEPROM");
        Select(c.toggle);
        EXPECT_EQ(App.MemorySelect, c.memory);
        sim->clearLog();
        Click(App.MainPanel, c.button);
        EXPECT_EQ(Orders(), c.orders);
        EXPECT_EQ(App.LinkOk, 1);
        EXPECT_EQ(Status(), "");
        EXPECT_EQ(Dimmed(App.MainPanel, MAINP_SEND), 0) << "enabled again afterwards";
    }
}

// Every SEND to the sensor is read back after the frames it sends anyway, compared with what
// was sent and said on the status line, in the current language; a difference names each
// parameter in a popup. Sensors that keep 49 for 50, or whose EEPROM store does not hold.
TEST_F(ParaTest, EverySendIsReadBackComparedAndSaid) {
    struct Case {
        const char *what;
        int language, toggle;
        tavsim::SensorFlaws flaws;
        std::vector<std::string> frames;
        const char *status, *popup; // popup "": none
        std::vector<unsigned> page; // afterwards: what the sensor holds
    };
    const std::vector<u16> sent = {50, 25, 1, 0};
    const std::vector<std::string> ram = {Hex(1, sent), Hex(2)};
    const std::vector<std::string> eeprom = {Hex(1, sent), Hex(3), Hex(4), Hex(2)};
    const Case cases[] = {
        {"RAM, equal",
         1,
         MAINP_RAM,
         {},
         ram,
         "Sent to RAM and read back: all 4 equal (HH:MM:SS)",
         "",
         {50, 25, 1, 0}},
        {"RAM, equal",
         0,
         MAINP_RAM,
         {},
         ram,
         "In RAM gesendet und zurueckgelesen: alle 4 gleich (HH:MM:SS)",
         "",
         {50, 25, 1, 0}},
        {"RAM, 49 kept for 50",
         1,
         MAINP_RAM,
         {-1, false},
         ram,
         "Sent to RAM and read back: 1 of 4 differ (HH:MM:SS)",
         "Sent to RAM and read back: 1 of 4 differ (HH:MM:SS)\n\nSTROKE TOLERANCE: sent 50, "
         "read 49",
         {49, 25, 1, 0}},
        {"RAM, 49 kept for 50",
         0,
         MAINP_RAM,
         {-1, false},
         ram,
         "In RAM gesendet und zurueckgelesen: 1 von 4 verschieden (HH:MM:SS)",
         "In RAM gesendet und zurueckgelesen: 1 von 4 verschieden (HH:MM:SS)\n\nSTANZHUB "
         "TOLERANZ: gesendet 50, gelesen 49",
         {49, 25, 1, 0}},
        {"EEPROM, equal",
         1,
         MAINP_EEPROM,
         {},
         eeprom,
         "Stored in EEPROM and read back: all 4 equal (HH:MM:SS)",
         "",
         {50, 25, 1, 0}},
        {"EEPROM, equal",
         0,
         MAINP_EEPROM,
         {},
         eeprom,
         "Im EEPROM gespeichert, zurueckgelesen: alle 4 gleich (HH:MM:SS)",
         "",
         {50, 25, 1, 0}},
        {"EEPROM store does not hold",
         1,
         MAINP_EEPROM,
         {0, true},
         eeprom,
         "Stored in EEPROM and read back: 2 of 4 differ (HH:MM:SS)",
         "Stored in EEPROM and read back: 2 of 4 differ (HH:MM:SS)\n\nSTROKE TOLERANCE: sent 50, "
         "read 120\nCNT STROKE EDGE: sent 0 (RISING), read 1 (FALLING)\n\nRAM now holds the "
         "stored set too.",
         {120, 25, 1, 1}},
        {"EEPROM store does not hold",
         0,
         MAINP_EEPROM,
         {0, true},
         eeprom,
         "Im EEPROM gespeichert, zurueckgelesen: 2 von 4 verschieden (HH:MM:SS)",
         "Im EEPROM gespeichert, zurueckgelesen: 2 von 4 verschieden (HH:MM:SS)\n\nSTANZHUB "
         "TOLERANZ: gesendet 50, gelesen 120\nSTANZHUB KANTE: gesendet 0 (STEIGEND), gelesen 1 "
         "(FALLEND)\n\nDas RAM haelt jetzt ebenfalls den gespeicherten Satz.",
         {120, 25, 1, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.what) + (c.language ? ", English" : ", German"));
        App.LanguageIndex = c.language;
        sim->setFlaws(c.flaws);
        sim->setEepromParams({120, 25, 1, 1});
        Select(c.toggle);
        SetPage(sent[0], sent[1], sent[2], sent[3]);
        sim->clearLog();
        popups.clear();
        Click(App.MainPanel, MAINP_SEND);
        EXPECT_EQ(Requests(), c.frames);
        EXPECT_EQ(NoClock(DataStatus()), c.status);
        if (*c.popup) {
            ASSERT_EQ(popups.size(), 1u);
            EXPECT_EQ(popups[0].title, c.language ? "Message!" : "Info!");
            EXPECT_EQ(NoClock(popups[0].text), c.popup);
        } else {
            EXPECT_TRUE(popups.empty()) << popups[0].text;
        }
        EXPECT_EQ(Page(), c.page);
        const tavsim::ParamSet held = sim->ramParams();
        EXPECT_EQ(Page(), (std::vector<unsigned>{held.strokeTolerance, held.badCntToFail,
                                                 held.digitalOutmode, held.cntStrokeEdge}))
            << "the page shows what the sensor holds";
        EXPECT_EQ(App.LinkOk, 1) << "a difference is not a link failure";
        EXPECT_EQ(Status(), "") << "the status box is for the link's failures";
    }
}

// GET says where the values came from: the memory toggle that is on.
TEST_F(ParaTest, GetSaysWhereTheValuesCameFrom) {
    const struct {
        int language, toggle;
        const char *status;
    } cases[] = {
        {1, MAINP_RAM, "Read from RAM (HH:MM:SS)"},
        {0, MAINP_RAM, "Aus RAM gelesen (HH:MM:SS)"},
        {1, MAINP_EEPROM, "Read from EEPROM, now in RAM too (HH:MM:SS)"},
        {0, MAINP_EEPROM, "Aus EEPROM gelesen, jetzt auch im RAM (HH:MM:SS)"},
    };
    for (const auto &c : cases) {
        App.LanguageIndex = c.language;
        Select(c.toggle);
        Click(App.MainPanel, MAINP_GET);
        EXPECT_EQ(NoClock(DataStatus()), c.status);
    }
}

// After offline work (FILE forced) a successful TRY TO CONNECT selects RAM, as start-up does:
// the next SEND goes to the sensor, not into a file.
TEST_F(ParaTest, AReconnectSelectsRamAgain) {
    Select(MAINP_EEPROM);
    Click(App.ConnectTab, CONNECT_DISCONNECT);
    ASSERT_EQ(Toggles(), (std::vector<int>{0, 0, 1}));
    ASSERT_EQ(App.MemorySelect, 3);
    Connect();
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(App.MemorySelect, 1);
    SetPage(60, 25, 0, 0);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(Orders(), (std::vector<int>{1, 2}));
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{60, 25, 0, 0}));
    EXPECT_FALSE(fs::exists(programDir / "chosen.ini")) << "no file was written";
    EXPECT_EQ(NoClock(DataStatus()), "Sent to RAM and read back: all 4 equal (HH:MM:SS)");
}

// The parameter page says when the sensor's RAM holds values its EEPROM does not: after a
// SEND to RAM only, until a SEND to EEPROM stores them or a GET shows both sets equal.
TEST_F(ParaTest, ThePageSaysWhenRamHoldsValuesNotStored) {
    auto shown = [] { return Visible(App.ParaTab, PARA_NOT_STORED); };
    EXPECT_EQ(shown(), 0) << "nothing is known after connecting";

    SetPage(60, 25, 0, 0);
    Click(App.MainPanel, MAINP_SEND); // RAM only
    EXPECT_EQ(shown(), 1);
    Select(MAINP_EEPROM);
    Click(App.MainPanel, MAINP_SEND); // stored
    EXPECT_EQ(shown(), 0);
    Select(MAINP_RAM);
    Click(App.MainPanel, MAINP_SEND); // the stored values again
    EXPECT_EQ(shown(), 0) << "RAM holds what the EEPROM holds";
    SetPage(70, 25, 0, 0);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(shown(), 1);
    Select(MAINP_EEPROM);
    Click(App.MainPanel, MAINP_GET); // the EEPROM set loaded into RAM: equal again
    EXPECT_EQ(shown(), 0);
    EXPECT_EQ(Page()[0], 60u);

    Select(MAINP_RAM);
    SetPage(80, 25, 0, 0);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(shown(), 1);
    Connect();
    EXPECT_EQ(shown(), 0) << "a new connection knows nothing of the sets yet";
}

TEST_F(ParaTest, SendCarriesThePageAndGetShowsTheSensorsSet) {
    SetPage(300, 7, 1, 1);
    Click(App.MainPanel, MAINP_SEND);
    ASSERT_EQ(Requests().size(), 2u); // the values, then reading them back
    // 300 = 0x012C travels low byte first at offset 0 of the block.
    EXPECT_EQ(Requests()[0].substr(24), "2C 01 07 00 01 00 01 00");
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{300, 7, 1, 1}));

    // The sensor's EEPROM set reaches the page through EEPROM + GET.
    sim->setEepromParams({120, 9, 0, 1});
    Select(MAINP_EEPROM);
    SetPage(1, 1, 0, 0);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Page(), (std::vector<unsigned>{120, 9, 0, 1}));
    EXPECT_EQ(App.ParaValues[StrokeTolerance], 120);
    EXPECT_EQ(App.ParaValues[CntStrokeEdge], 1);
}

// A set the sensor rejects is a failure of its own kind: STATUS says so (a time-out keeps
// "TIMEOUT!"), the rest of the failure handling stays, and the page shows what the sensor holds
// now, read back: its defaults.
TEST_F(ParaTest, ImplausibleRamSetIsReportedAndThePageShowsTheDefaults) {
    const char *const kStatus[2] = {
        "Plausibilitaets-Check der Parameter im RAM fehlgeschlagen, wurden auf Voreinstellung "
        "gesetzt!",
        "Parameter in RAM did not pass plausibility check and were set to default value!"};
    const char *const kReadBack[2] = {
        "\n\nZurueckgelesen (HH:MM:SS):\nSTANZHUB TOLERANZ: gesendet 0, gelesen 50\nFEHLER BIS "
        "SCHALTEN: gesendet 0, gelesen 25",
        "\n\nRead back (HH:MM:SS):\nSTROKE TOLERANCE: sent 0, read 50\nBAD CNT TO FAIL: sent 0, "
        "read 25"};
    const char *const kStoredToo[2] = {"\n\nDas EEPROM haelt jetzt ebenfalls diesen Satz.",
                                       "\n\nThe EEPROM now holds this set too."};
    for (int language : {1, 0}) {
        for (int toggle : {MAINP_RAM, MAINP_EEPROM}) {
            SCOPED_TRACE(toggle == MAINP_RAM ? "RAM" : "EEPROM");
            App.LanguageIndex = language;
            Select(toggle);
            SetPage(0, 0, 0, 0); // tolerance and bad count out of the sensor's range: 1 + 2
            ClearStatus();
            sim->clearLog();
            popups.clear();
            App.Running = 1; // sent from the live cycle, which the message ends
            SendPara();
            EXPECT_EQ(Status(),
                      language == 1
                          ? "Message!\n3 Parameter in RAM did not pass plausibility check and "
                            "were set to default value!\n\n"
                          : "Info!\n3 Plausibilitaets-Check der Parameter im RAM fehlgeschlagen, "
                            "wurden auf Voreinstellung gesetzt!\n\n");
            EXPECT_EQ(Orders(), toggle == MAINP_RAM ? (std::vector<int>{1, 2})
                                                    : (std::vector<int>{1, 3, 4, 2}))
                << "the EEPROM store still follows, then the read-back";
            EXPECT_EQ(App.LinkOk, 0);
            EXPECT_EQ(App.Running, 0);
            EXPECT_EQ(ActivePage(), 0);
            EXPECT_EQ(DataStatus(), kStatus[language]) << "not a time-out";
            EXPECT_EQ(Page(), (std::vector<unsigned>{50, 25, 0, 0}));
            ASSERT_EQ(popups.size(), 1u);
            EXPECT_EQ(NoClock(popups[0].text),
                      std::string(kStatus[language]) + kReadBack[language] +
                          (toggle == MAINP_EEPROM ? kStoredToo[language] : ""));
            Connect();
        }
    }
}

// Any other failure still reads "TIMEOUT!" on STATUS and leaves the page alone.
TEST_F(ParaTest, ALinkFailureDuringTheReadBackStaysALinkFailure) {
    tavsim::FaultSetting f;
    f.kind = tavsim::FaultKind::BadHeaderCrc;
    f.order = OrderGetPara;
    sim->setFault(f);
    SetPage(60, 25, 0, 0);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(Orders(), (std::vector<int>{1, 2}));
    EXPECT_EQ(DataStatus(), "TIMEOUT!");
    EXPECT_EQ(App.LinkOk, 0);
    EXPECT_EQ(Page()[0], 60u);
    EXPECT_TRUE(popups.empty());
}

TEST_F(ParaTest, ImplausibleEepromSetIsReportedAndTheRamSetShown) {
    sim->setEepromParams({0, 25, 7, 0}); // tolerance 1, outmode 4
    Select(MAINP_EEPROM);
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Status(), "Message!\n5 Parameter from EEPROM did not pass plausibility check and "
                        "were set to default value!\n\n");
    EXPECT_EQ(App.LinkOk, 1) << "the link stays good";
    EXPECT_EQ(ActivePage(), 0);
    EXPECT_EQ(Orders(), (std::vector<int>{4, 2}));
    EXPECT_EQ(Page(), (std::vector<unsigned>{50, 25, 0, 0})); // the sensor's defaults

    App.LanguageIndex = 0;
    sim->setEepromParams({0, 25, 0, 0});
    ClearStatus();
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Status(), "Info!\n1 Plausibilitaets-Check der Parameter im EEPROM fehlgeschlagen, "
                        "wurden auf Voreinstellung gesetzt!\n\n");
}

TEST_F(ParaTest, FailedEepromLoadSendsNothingMoreAndLeavesThePage) {
    Select(MAINP_EEPROM);
    SetPage(77, 8, 1, 0);
    tavsim::FaultSetting f;
    f.kind = tavsim::FaultKind::BadHeaderCrc;
    f.order = OrderLoadEeprom;
    sim->setFault(f);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Orders(), std::vector<int>{4});
    EXPECT_EQ(Page(), (std::vector<unsigned>{77, 8, 1, 0}));
    EXPECT_EQ(App.LinkOk, 0);
}

TEST_F(ParaTest, WhileTheCycleRunsSendAndGetOnlyPark) {
    App.Running = 1;
    Click(App.MainPanel, MAINP_SEND);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(App.SendParaPending, 1);
    EXPECT_EQ(App.GetParaPending, 1);
    EXPECT_TRUE(Requests().empty());
    App.Running = 0;

    // Whoever runs the transfer clears its flag.
    SetPage(60, 25, 0, 0);
    SendPara();
    GetPara();
    EXPECT_EQ(App.SendParaPending, 0);
    EXPECT_EQ(App.GetParaPending, 0);
    EXPECT_EQ(Orders(), (std::vector<int>{1, 2, 2})); // SEND reads back, then GET
}

TEST_F(ParaTest, FileNeverTouchesTheSensor) {
    Select(MAINP_FILE);
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 0, 1}));
    for (int running : {0, 1}) {
        App.Running = running;
        unsigned tol = 200 + unsigned(running);
        SetPage(tol, 11, 1, 0);
        const std::string file = (programDir / "chosen.ini").string();
        Click(App.MainPanel, MAINP_SEND); // into the file the dialog chose
        // The status line says where, with the whole path; the status box keeps it too.
        EXPECT_EQ(NoClock(DataStatus()), "Saved to file (HH:MM:SS): " + file);
        SetPage(1, 1, 0, 0);
        App.LanguageIndex = 0;
        Click(App.MainPanel, MAINP_GET); // and back from it
        EXPECT_EQ(NoClock(DataStatus()), "Aus Datei gelesen (HH:MM:SS): " + file);
        App.LanguageIndex = 1;
        EXPECT_EQ(Page(), (std::vector<unsigned>{tol, 11, 1, 0}));
        EXPECT_EQ(App.SendParaPending, 0);
        EXPECT_EQ(App.GetParaPending, 0);
    }
    App.Running = 0;
    EXPECT_TRUE(Requests().empty());
    EXPECT_NE(NoClock(Status()).find(
                  "Saved to file (HH:MM:SS): " + (programDir / "chosen.ini").string() + "\n\n"),
              std::string::npos);
}

TEST_F(ParaTest, MemoryTogglesKeepExactlyOneOn) {
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 0}));
    Select(MAINP_EEPROM);
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 0}));
    Select(MAINP_EEPROM); // the toggle that is on stays on
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(App.MemorySelect, 2);
    Select(MAINP_RAM);
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(App.MemorySelect, 1);
    EXPECT_TRUE(Requests().empty()) << "choosing the memory sends nothing";
}

TEST_F(ParaTest, EditingAParameterSendsNothing) {
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    TestTypeText(App.ParaTab, PARA_STROKE_TOL, "80");
    TestProcessEvents(5);
    EXPECT_EQ(Page()[0], 80u);
    EXPECT_TRUE(Requests().empty());
    EXPECT_NE(App.ParaValues[StrokeTolerance], 80) << "taken only when SEND runs";
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(App.ParaValues[StrokeTolerance], 80);
}

// A sensor may hold a value the page's rings do not offer (65535 here). GET says so with the
// value; SEND, to the sensor or to a file, refuses until the operator has chosen one, so no
// value the operator never chose is written; after the choice SEND carries it.
TEST_F(ParaTest, ValueARingCannotShowIsReportedAndNotSentBack) {
    sim->setRamParams({60, 20, 65535, 65535});
    SetPage(70, 21, 1, 1);
    Click(App.MainPanel, MAINP_GET);
    const std::string status = Status();
    EXPECT_NE(status.find("DIGITAL OUTMODE: the value 65535 received cannot be shown"),
              std::string::npos)
        << status;
    EXPECT_NE(status.find("CNT STROKE EDGE: the value 65535 received cannot be shown"),
              std::string::npos)
        << status;
    EXPECT_EQ(Page()[0], 60u);
    EXPECT_EQ(App.ParaValues[DigitalOutmode], 65535);

    for (int toggle : {MAINP_RAM, MAINP_FILE}) {
        SCOPED_TRACE(toggle == MAINP_RAM ? "RAM" : "FILE");
        Select(toggle);
        sim->clearLog();
        popups.clear();
        Click(App.MainPanel, MAINP_SEND);
        EXPECT_TRUE(Requests().empty());
        ASSERT_FALSE(popups.empty());
        EXPECT_NE(popups.back().text.find("choose a value first; nothing was sent"),
                  std::string::npos)
            << popups.back().text;
    }
    EXPECT_FALSE(std::filesystem::exists(programDir / "chosen.ini"));
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{60, 20, 65535, 65535}));

    // Choosing one ring is not enough while the other still waits.
    Select(MAINP_RAM);
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    TestSelectRingItem(App.ParaTab, PARA_DIG_OUTMODE, 1);
    TestProcessEvents(5);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_TRUE(Requests().empty());
    TestSelectRingItem(App.ParaTab, PARA_CNT_STROKE_EDGE, 0);
    TestProcessEvents(5);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(Orders(), (std::vector<int>{1, 2}));
    EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{60, 20, 1, 0}));
}

namespace {

// The comparison panel: the text of one cell, row by row per column (RAM, EEPROM, FILE), and
// of the marks beside the rows.
std::vector<std::string> CompareColumn(const int (&cells)[4]) {
    std::vector<std::string> v;
    for (int c : cells)
        v.push_back(Text(App.ComparePanel, c));
    return v;
}
constexpr int kRamCells[4] = {COMPAREP_RAM_0, COMPAREP_RAM_1, COMPAREP_RAM_2, COMPAREP_RAM_3};
constexpr int kEepromCells[4] = {COMPAREP_EEPROM_0, COMPAREP_EEPROM_1, COMPAREP_EEPROM_2,
                                 COMPAREP_EEPROM_3};
constexpr int kFileCells[4] = {COMPAREP_FILE_0, COMPAREP_FILE_1, COMPAREP_FILE_2, COMPAREP_FILE_3};
constexpr int kMarkCells[4] = {COMPAREP_DIFF_0, COMPAREP_DIFF_1, COMPAREP_DIFF_2, COMPAREP_DIFF_3};

int BackgroundOf(int control) {
    int color = -1;
    GetCtrlAttribute(App.ComparePanel, control, ATTR_TEXT_BGCOLOR, &color);
    return color;
}

// A parameter file as the program writes it, with `lines` in its PARAMETER section.
void WriteParaFile(const fs::path &path, const std::string &lines,
                   const std::string &fileType = "Parameter File") {
    std::ofstream(path) << "[GENERAL INFO]\nFILE TYPE: = \"" << fileType
                        << "\"\nSCOPE VERSION: = \"TAVIRON Scope V1.0\"\n\n[PARAMETER]\n"
                        << lines;
}

} // namespace

// COMPARE reads RAM, then the EEPROM (loaded into RAM), puts the RAM set back because the two
// differ, and shows both beside the parameter file; rows that differ are marked, the cells that
// differ from the row's RAM value coloured; the page is not touched; a column taken onto the
// page sends nothing. In both languages.
TEST_F(ParaTest, CompareShowsRamEepromAndFileSideBySide) {
    const fs::path file = programDir / "Parameter.ini";
    std::snprintf(App.ParaFilePath, sizeof App.ParaFilePath, "%s", file.c_str());
    WriteParaFile(file, "STROKE TOLERANCE = 60\nBAD CNT TO FAIL = 30\nDIGITAL OUTMODE = 1\n"
                        "CNT STROKE EDGE = 0\n");
    const struct {
        int language;
        std::vector<std::string> ram, eeprom, fileColumn, marks;
        const char *status, *taken;
    } cases[] = {
        {1,
         {"60", "25", "1 (INVERSE)", "0 (RISING)"},
         {"50", "25", "1 (INVERSE)", "1 (FALLING)"},
         {"60", "30", "1 (INVERSE)", "0 (RISING)"},
         {"differs", "differs", "", "differs"},
         "RAM and EEPROM compared: 2 of 4 differ (HH:MM:SS)",
         "Column EEPROM taken onto the page, nothing sent (HH:MM:SS)"},
        {0,
         {"60", "25", "1 (INVERS)", "0 (STEIGEND)"},
         {"50", "25", "1 (INVERS)", "1 (FALLEND)"},
         {"60", "30", "1 (INVERS)", "0 (STEIGEND)"},
         {"verschieden", "verschieden", "", "verschieden"},
         "RAM und EEPROM verglichen: 2 von 4 verschieden (HH:MM:SS)",
         "Spalte EEPROM auf die Seite uebernommen, nichts gesendet (HH:MM:SS)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.language ? "English" : "German");
        App.LanguageIndex = c.language;
        sim->setRamParams({60, 25, 1, 0});
        sim->setEepromParams({50, 25, 1, 1});
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
        SetPage(7, 8, 0, 0);
        sim->clearLog();
        popups.clear();
        Click(App.ParaTab, PARA_COMPARE);
        EXPECT_EQ(Requests(), (std::vector<std::string>{Hex(2), Hex(4), Hex(2),
                                                        Hex(1, {60, 25, 1, 0}), Hex(2)}));
        EXPECT_EQ(sim->ramParams(), (tavsim::ParamSet{60, 25, 1, 0})) << "RAM put back";
        EXPECT_TRUE(TestPanelShown(App.ComparePanel));
        EXPECT_FALSE(TestPanelShown(App.DataPanel));
        EXPECT_EQ(CompareColumn(kRamCells), c.ram);
        EXPECT_EQ(CompareColumn(kEepromCells), c.eeprom);
        EXPECT_EQ(CompareColumn(kFileCells), c.fileColumn);
        EXPECT_EQ(CompareColumn(kMarkCells), c.marks);
        EXPECT_EQ(Text(App.ComparePanel, COMPAREP_FILE_PATH), file.string());
        EXPECT_EQ(NoClock(Text(App.ComparePanel, COMPAREP_STATUS)), c.status);
        EXPECT_EQ(NoClock(DataStatus()), c.status);
        EXPECT_EQ(BackgroundOf(COMPAREP_RAM_0), 0xFFFFFF);
        EXPECT_NE(BackgroundOf(COMPAREP_EEPROM_0), 0xFFFFFF) << "50 differs from RAM's 60";
        EXPECT_EQ(BackgroundOf(COMPAREP_FILE_0), 0xFFFFFF) << "the file holds RAM's 60";
        EXPECT_NE(BackgroundOf(COMPAREP_FILE_1), 0xFFFFFF);
        EXPECT_EQ(Page(), (std::vector<unsigned>{7, 8, 0, 0})) << "the page is not touched";
        EXPECT_EQ(Visible(App.ParaTab, PARA_NOT_STORED), 1) << "RAM differs from EEPROM";
        EXPECT_TRUE(popups.empty());

        sim->clearLog();
        Click(App.ComparePanel, COMPAREP_TAKE_EEPROM);
        EXPECT_EQ(Page(), (std::vector<unsigned>{50, 25, 1, 1}));
        EXPECT_TRUE(Requests().empty()) << "taking a column sends nothing";
        EXPECT_EQ(NoClock(Text(App.ComparePanel, COMPAREP_STATUS)), c.taken);

        Click(App.ComparePanel, COMPAREP_CLOSE);
        EXPECT_FALSE(TestPanelShown(App.ComparePanel));
        EXPECT_TRUE(TestPanelShown(App.DataPanel));
    }
}

// Escape closes the comparison as CLOSE does, from wherever the keyboard is in the window, and
// sends nothing; with the comparison closed it does nothing.
TEST_F(ParaTest, EscapeClosesTheComparison) {
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    Click(App.ParaTab, PARA_COMPARE);
    ASSERT_TRUE(TestPanelShown(App.ComparePanel));
    sim->clearLog();
    TestKey(App.MainPanel, "Esc");
    // A key of a button clicks it the way a click looks: a tenth of a second later.
    for (const double start = Timer(); TestPanelShown(App.ComparePanel) && Timer() - start < 5;)
        TestProcessEvents(10);
    EXPECT_FALSE(TestPanelShown(App.ComparePanel));
    EXPECT_TRUE(TestPanelShown(App.DataPanel));
    EXPECT_TRUE(Requests().empty());
    TestKey(App.MainPanel, "Esc");
    TestProcessEvents(300);
    EXPECT_TRUE(TestPanelShown(App.DataPanel));
    EXPECT_FALSE(TestPanelShown(App.ComparePanel));
    EXPECT_TRUE(popups.empty());
}

// Equal sets need no putting back; a sensor that does not keep the set put back is said in a
// popup, and the RAM column shows what RAM holds then; a failure of the link ends the read.
TEST_F(ParaTest, CompareReadsOnlyWhatItNeedsAndSaysWhatWentWrong) {
    sim->setRamParams({50, 25, 0, 0});
    sim->setEepromParams({50, 25, 0, 0});
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    Click(App.ParaTab, PARA_COMPARE);
    EXPECT_EQ(Orders(), (std::vector<int>{2, 4, 2}));
    EXPECT_EQ(NoClock(Text(App.ComparePanel, COMPAREP_STATUS)),
              "RAM and EEPROM compared: all 4 equal (HH:MM:SS)");
    EXPECT_EQ(CompareColumn(kMarkCells), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(Visible(App.ParaTab, PARA_NOT_STORED), 0);
    EXPECT_TRUE(popups.empty());

    sim->setRamParams({60, 25, 0, 0});
    sim->setFlaws({-1, false}); // keeps 59 for 60
    sim->clearLog();
    Click(App.ComparePanel, COMPAREP_READ);
    EXPECT_EQ(Orders(), (std::vector<int>{2, 4, 2, 1, 2}));
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(NoClock(popups[0].text),
              "RAM could not be put back as it was after the EEPROM was read.\n\nSent to RAM and "
              "read back: 1 of 4 differ (HH:MM:SS)\n\nSTROKE TOLERANCE: sent 60, read 59");
    EXPECT_EQ(CompareColumn(kRamCells)[0], "59") << "what RAM holds now";
    sim->setFlaws({});

    tavsim::FaultSetting f;
    f.kind = tavsim::FaultKind::BadHeaderCrc;
    f.order = OrderLoadEeprom;
    sim->setFault(f);
    sim->clearLog();
    Click(App.ComparePanel, COMPAREP_READ);
    EXPECT_EQ(Orders(), (std::vector<int>{2, 4}));
    EXPECT_EQ(App.LinkOk, 0);
    EXPECT_EQ(DataStatus(), "TIMEOUT!");
    EXPECT_EQ(Text(App.ComparePanel, COMPAREP_STATUS), "TIMEOUT!");
    EXPECT_EQ(CompareColumn(kRamCells), (std::vector<std::string>{"-", "-", "-", "-"}));
    EXPECT_EQ(Dimmed(App.ComparePanel, COMPAREP_TAKE_RAM), 1);
}

// Offline, COMPARE shows the parameter file alone. A file that is missing, of another kind or
// lacking an item shows so, and only a complete column can be taken onto the page.
TEST_F(ParaTest, CompareOfflineShowsTheFileAndSaysWhatIsWrongWithIt) {
    Click(App.ConnectTab, CONNECT_DISCONNECT);
    ASSERT_EQ(Dimmed(App.ParaTab, PARA_COMPARE), 0);
    EXPECT_EQ(Dimmed(App.ComparePanel, COMPAREP_READ), 1);
    const fs::path file = programDir / "Parameter.ini";
    std::snprintf(App.ParaFilePath, sizeof App.ParaFilePath, "%s", file.c_str());
    const struct {
        const char *what;
        std::string contents, fileType; // contents "": no file
        std::vector<std::string> column;
        std::string path;
    } cases[] = {
        {"missing", "", "", {"-", "-", "-", "-"}, file.string() + " (not found)"},
        {"a hardware information file",
         "STROKE TOLERANCE = 70\n",
         "Hardware Initial File",
         {"-", "-", "-", "-"},
         file.string() + " (not a parameter file of this program)"},
        {"lacking an item",
         "STROKE TOLERANCE = 70\nBAD CNT TO FAIL = 5\nCNT STROKE EDGE = 1\n",
         "Parameter File",
         {"70", "5", "-", "1 (FALLING)"},
         file.string()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(file);
        if (!c.contents.empty()) WriteParaFile(file, c.contents, c.fileType);
        popups.clear();
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
        Click(App.ParaTab, PARA_COMPARE);
        EXPECT_EQ(CompareColumn(kFileCells), c.column);
        EXPECT_EQ(CompareColumn(kRamCells), (std::vector<std::string>{"-", "-", "-", "-"}));
        EXPECT_EQ(Text(App.ComparePanel, COMPAREP_FILE_PATH), c.path);
        EXPECT_EQ(NoClock(Text(App.ComparePanel, COMPAREP_STATUS)),
                  "No sensor connected: the parameter file only (HH:MM:SS)");
        EXPECT_EQ(Dimmed(App.ComparePanel, COMPAREP_TAKE_FILE), 1) << "not complete";
        EXPECT_TRUE(popups.empty()) << popups[0].text;
    }
    WriteParaFile(file, "STROKE TOLERANCE = 70\nBAD CNT TO FAIL = 5\nDIGITAL OUTMODE = 0\n"
                        "CNT STROKE EDGE = 1\n");
    Click(App.ComparePanel, COMPAREP_CHOOSE_FILE); // the dialog chooses chosen.ini: not there
    ASSERT_FALSE(popups.empty());
    EXPECT_EQ(popups.back().text, "No file was selected! \nProcess will not be done!");
    fs::copy_file(file, programDir / "chosen.ini");
    Click(App.ComparePanel, COMPAREP_CHOOSE_FILE);
    EXPECT_EQ(Text(App.ComparePanel, COMPAREP_FILE_PATH), (programDir / "chosen.ini").string());
    EXPECT_EQ(Dimmed(App.ComparePanel, COMPAREP_TAKE_FILE), 0);
    Click(App.ComparePanel, COMPAREP_TAKE_FILE);
    EXPECT_EQ(Page(), (std::vector<unsigned>{70, 5, 0, 1}));
    EXPECT_TRUE(Requests().empty());
}
