// Connection attempts and the identity check: the start-up attempt with the default settings,
// the firmware version test, the popup after a failed attempt, its two answers and its keys, open
// failures of both transports, and the texts the sensor sends that do not fit their fields.
#include "link_fixture.h"

#include "protocol/frame.h"
#include "tests/support/loopback.h"

#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

const char *kNoConnectionEng =
    "Could not establish connection! \nClose window or work in offline mode!";
const char *kNoConnectionGer =
    "Verbindung konnte nicht aufgebaut werden! \nFenster schliessen oder im Offline-Modus "
    "arbeiten!";

// A TCP port on 127.0.0.1 where nobody listens.
int FreePort() {
    int port = 0;
    close(ListenOnLoopback(&port));
    return port;
}

class IdentityTest : public LinkTest {
  protected:
    // The buttons as going offline leaves them: parameters to and from files, settings and a
    // new attempt; nothing else that needs the sensor.
    void ExpectOffline() {
        EXPECT_EQ(App.MemorySelect, 3);
        EXPECT_EQ(App.LinkOk, 0);
        int ram = -1, eeprom = -1, file = -1;
        GetCtrlVal(App.MainPanel, MAINP_RAM, &ram);
        GetCtrlVal(App.MainPanel, MAINP_EEPROM, &eeprom);
        GetCtrlVal(App.MainPanel, MAINP_FILE, &file);
        EXPECT_EQ(ram, 0);
        EXPECT_EQ(eeprom, 0);
        EXPECT_EQ(file, 1);
        for (int c : {MAINP_SEND, MAINP_GET})
            EXPECT_EQ(Dimmed(App.MainPanel, c), 0) << c;
        for (int c : {CONNECT_TRY_TO_CONNECT, CONNECT_BAUDRATE})
            EXPECT_EQ(Dimmed(App.ConnectTab, c), 0) << c;
        for (int c : {MAINP_GO, MAINP_RAM, MAINP_EEPROM, MAINP_FILE})
            EXPECT_EQ(Dimmed(App.MainPanel, c), 1) << c;
        for (int c : {CONNECT_DISCONNECT, CONNECT_ACCEPT, CONNECT_CHANGE_BAUDRATE,
                      CONNECT_GEN_HW_INFO_FILE})
            EXPECT_EQ(Dimmed(App.ConnectTab, c), 1) << c;
        for (int c : {SCOPETAB_GET_CYCLE_TIME, SCOPETAB_SCAN, SCOPETAB_BREAK})
            EXPECT_EQ(Dimmed(App.ScopeTab, c), 1) << c;
        EXPECT_EQ(DataStatus(), App.LanguageIndex == 0 ? "Kein Sensor verbunden!\n\n"
                                                       : "No sensor connected!\n\n");
    }

    void ExpectOnePopup(const std::string &text) {
        ASSERT_EQ(popups.size(), 1u);
        EXPECT_EQ(popups[0].kind, "generic");
        EXPECT_EQ(popups[0].title, App.LanguageIndex == 0 ? "Info!" : "Message!");
        EXPECT_EQ(popups[0].text, text);
        std::vector<std::string> buttons = {App.LanguageIndex == 0 ? "Schliessen" : "Close",
                                            "Offline"};
        EXPECT_EQ(popups[0].buttons, buttons);
    }

    // TRY TO CONNECT, whatever comes of it.
    void TryToConnectClick() {
        ClearStatus();
        popups.clear();
        sim->clearLog();
        Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
    }
};

} // namespace

TEST_F(IdentityTest, StartUpConnectsWithTheDefaultSettings) {
    EXPECT_TRUE(popups.empty());
    EXPECT_EQ(App.LinkOk, 1);
    EXPECT_EQ(App.ComProtocol, 0);
    EXPECT_EQ(App.ComPort, 1);
    EXPECT_EQ(App.BaudrateIndex, 4);
    EXPECT_EQ(Orders(), (std::vector<int>{7, 15, 2}));
    EXPECT_EQ(Status(), "Try to connect!\nTAVIRON V1.0 2026-11-28\nSensor: TAVIRON PS-1\n"
                        "Serial number: 4711\n\n");
    EXPECT_EQ(DataStatus(), "TAVIRON V1.0 2026-11-28");
    char tip[128];
    GetCtrlAttribute(App.DataPanel, DATAP_STATUS, ATTR_TOOLTIP_TEXT, tip, sizeof tip);
    EXPECT_STREQ(tip, "TAVIRON V1.0.3 2026-11-28");
    EXPECT_EQ(ActivePage(), 1);
    EXPECT_EQ(Visible(App.DataPanel, DATAP_COM_PORT), 1);
    EXPECT_EQ(Visible(App.DataPanel, DATAP_SERVER), 0);
    for (int c : {MAINP_SEND, MAINP_GET, MAINP_RAM, MAINP_EEPROM, MAINP_FILE, MAINP_GO})
        EXPECT_EQ(Dimmed(App.MainPanel, c), 0) << c;
    for (int c : {CONNECT_TRY_TO_CONNECT, CONNECT_DISCONNECT, CONNECT_ACCEPT,
                  CONNECT_CHANGE_BAUDRATE, CONNECT_GEN_HW_INFO_FILE})
        EXPECT_EQ(Dimmed(App.ConnectTab, c), 0) << c;
    // The page shows the sensor's working set.
    tavsim::ParamSet ram = sim->ramParams();
    EXPECT_EQ(App.ParaValues[StrokeTolerance], ram.strokeTolerance);
    EXPECT_EQ(App.ParaValues[BadCntToFail], ram.badCntToFail);
}

TEST_F(IdentityTest, FirmwareOfAnotherVersionIsRefused) {
    struct Case {
        const char *firmware;
        const char *shown; // the version the popup names
        int language;
    } cases[] = {
        {"TAVIRON V1.1.0 2027-01-02", "TAVIRON V1.1", 1},
        {"TAVIRON V2.0", "TAVIRON V2.0", 0},
        {"TAVIRON", "TAVIRON.", 1}, // no "." at all
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.firmware);
        App.LanguageIndex = c.language;
        sim->setFirmware(c.firmware);
        TryToConnectClick();
        std::string text =
            c.language == 0
                ? std::string("Sensor-Firmware und Scope-Version stimmen nicht ueberein! "
                              "\nFirmware des verbundenen Sensors ist: ") +
                      c.shown + "\n\n" + kNoConnectionGer
                : std::string("Sensor firmware and scope version do not match! \nFirmware of "
                              "connected sensor is: ") +
                      c.shown + "\n\n" + kNoConnectionEng;
        ExpectOnePopup(text);
        EXPECT_EQ(Orders(), std::vector<int>{OrderFirmware}) << "the check ends at the version";
        ExpectOffline();
    }
}

TEST_F(IdentityTest, ExactlyTheAcceptedVersionPasses) {
    sim->setFirmware("TAVIRON V1.0");
    TryToConnectClick();
    EXPECT_TRUE(popups.empty());
    EXPECT_EQ(App.LinkOk, 1);
    EXPECT_EQ(DataStatus(), "TAVIRON V1.0");
}

TEST_F(IdentityTest, CloseInThePopupEndsTheProgram) {
    sim->setFirmware("TAVIRON V2.0");
    answer = VAL_GENERIC_POPUP_BTN1;
    TryToConnectClick();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_NE(App.MemorySelect, 3) << "not offline";
    // The loop ends at once; should the quit be missing, this safety call ends it instead.
    bool safetyNeeded = false;
    TestRunFromLoop([&] {
        safetyNeeded = true;
        QuitUserInterface(7);
    });
    EXPECT_EQ(RunUserInterface(), 0);
    EXPECT_FALSE(safetyNeeded);
    TestProcessEvents(5);
    if (safetyNeeded) RunUserInterface(); // (only reached when the test failed)
}

// The real popup, answered with the keys: Escape works offline and the program goes on; Enter
// answers Close, which ends the program and keeps what the operator changed on the page before
// the attempt (an identification typed but not committed, the language chosen).
TEST_F(IdentityTest, EscapeInTheFailurePopupWorksOfflineAndEnterClosesAfterStoring) {
    const fs::path settings = programDir / "PanelSettings.cfg";
    SetCtrlVal(App.ConnectTab, CONNECT_ID, "Presse 4");
    SetCtrlVal(App.ConnectTab, CONNECT_LANGUAGE, 0);
    sim->setFirmware("TAVIRON V2.0");
    SetPopupResponder({}); // the popups as an operator sees them

    std::string shown;
    TestKeyInNextPopup("Escape", &shown);
    TryToConnectClick();
    EXPECT_NE(shown.find(kNoConnectionEng), std::string::npos) << shown;
    ExpectOffline();
    EXPECT_FALSE(fs::exists(settings)) << "going offline stores nothing";
    // The program goes on: its loop runs until something ends it.
    TestRunFromLoop([] { QuitUserInterface(7); });
    EXPECT_EQ(RunUserInterface(), 7);

    TestKeyInNextPopup("Return");
    TryToConnectClick();
    bool safetyNeeded = false;
    TestRunFromLoop([&] {
        safetyNeeded = true;
        QuitUserInterface(7);
    });
    EXPECT_EQ(RunUserInterface(), 0) << "Enter answers Close: the loop ends at once";
    EXPECT_FALSE(safetyNeeded);
    TestProcessEvents(5);
    if (safetyNeeded) RunUserInterface(); // (only reached when the test failed)
    std::ifstream in(settings, std::ios::binary);
    const std::string stored{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(stored.find("PANEL ID: = \"Presse 4\"\r\nLANGUAGE = 0\r\n"), std::string::npos)
        << stored;
}

TEST_F(IdentityTest, FailedIdentityExchangeOffersCloseOrOffline) {
    UseTcp();
    tavsim::FaultSetting f;
    f.kind = tavsim::FaultKind::ErrorOrder; // an error reply: fails without the 3-s wait
    f.order = OrderSensorId;
    sim->setFault(f);
    TryToConnectClick();
    ExpectOnePopup(kNoConnectionEng);
    EXPECT_EQ(Status(), "Try to connect!\nTAVIRON V1.0 2026-11-28"
                        "Invalid order number! \nVerify PC and sensor software!\n\n"
                        "No sensor connected!\n\n");
    ExpectOffline();
    EXPECT_EQ(App.TcpConnected, 0) << "going offline ends the conversation";
}

TEST_F(IdentityTest, SerialOpenFailureReportsItsCode) {
    TestMapComPort(7, "/nonexistent/ttyTEST");
    UseSerial(7);
    App.LanguageIndex = 0;
    TryToConnectClick();
    EXPECT_LT(App.LinkResult, 0);
    EXPECT_EQ(App.LinkResult, -6) << "a valid number with no device behind it";
    EXPECT_EQ(Status(), "Verbindungsaufbau!\nKein serieller Port gefunden\nCOM7 "
                        "/nonexistent/ttyTEST: Geraet nicht vorhanden - ist der Adapter "
                        "eingesteckt?\n\nKein Sensor verbunden!\n\n");
    ExpectOnePopup(kNoConnectionGer);
    ExpectOffline();
    TestMapComPort(7, nullptr);
}

TEST_F(IdentityTest, TcpOpenFailuresReportTheirTexts) {
    struct Case {
        std::string server;
        int port;
        int code;
        std::string text;
    } cases[] = {
        {"127.0.0.1", FreePort(), -4, "Failed to connect\n127.0.0.1:" /* port */},
        {"", sim->tcpPort(), -9, "Invalid parameter\n:" + std::to_string(sim->tcpPort())},
        {"127.0.0.1", 0, -9, "Invalid parameter\n127.0.0.1:0"},
    };
    cases[0].text += std::to_string(cases[0].port) +
                     ": connection refused - is the sensor switched on, is the port number right?";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.server + ":" + std::to_string(c.port));
        UseTcp(c.server, c.port);
        TryToConnectClick();
        EXPECT_EQ(App.LinkResult, c.code);
        EXPECT_EQ(App.TcpConnected, 0);
        EXPECT_EQ(Status(),
                  std::string("Try to connect!\n") + c.text + "\n\nNo sensor connected!\n\n");
        ExpectOnePopup(kNoConnectionEng);
        EXPECT_EQ(Visible(App.DataPanel, DATAP_SERVER), 1);
        EXPECT_EQ(Visible(App.DataPanel, DATAP_COM_PORT), 0);
    }
}

// The sensor answered its identity but the parameters could not be read: no popup, and the
// operator keeps TRY TO CONNECT and DISCONNECT while the operations stay dimmed.
TEST_F(IdentityTest, FailedParameterReadLeavesAWayBack) {
    tavsim::FaultSetting f;
    f.kind = tavsim::FaultKind::BadDataCrc;
    f.order = OrderGetPara;
    sim->setFault(f);
    TryToConnectClick();
    EXPECT_TRUE(popups.empty());
    EXPECT_EQ(App.LinkOk, 0);
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_TRY_TO_CONNECT), 0);
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_DISCONNECT), 0);
    for (int c : {MAINP_SEND, MAINP_GET, MAINP_RAM, MAINP_EEPROM, MAINP_FILE, MAINP_GO})
        EXPECT_EQ(Dimmed(App.MainPanel, c), 1) << c;
    for (int c : {CONNECT_ACCEPT, CONNECT_CHANGE_BAUDRATE, CONNECT_GEN_HW_INFO_FILE})
        EXPECT_EQ(Dimmed(App.ConnectTab, c), 1) << c;

    // Both ways back work: a new attempt connects, DISCONNECT goes offline.
    TryToConnectClick();
    EXPECT_EQ(App.LinkOk, 1);
    sim->setFault(f);
    TryToConnectClick();
    Click(App.ConnectTab, CONNECT_DISCONNECT);
    ExpectOffline();
}

namespace {

class LongTextsTest : public IdentityTest {
  protected:
    void ConfigureSim(tavsim::SimConfig &c) override {
        c.sensor.firmware = "TAVIRON V1.0.3 " + std::string(100, 'x');
        c.sensor.sensorName = std::string(300, 'N');
    }
};

} // namespace

TEST_F(LongTextsTest, FirmwareAndSensorNameAreCutToTheirFields) {
    ASSERT_EQ(App.LinkOk, 1) << Status();
    EXPECT_EQ(std::string(App.FirmwareVersion), ("TAVIRON V1.0.3 " + std::string(56, 'x')));
    EXPECT_EQ(std::string(App.SensorName), std::string(255, 'N'));
    EXPECT_NE(Status().find("\nSensor: " + std::string(255, 'N') + "\nSerial number: 4711\n\n"),
              std::string::npos);
}
