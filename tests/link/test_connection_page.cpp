// The connection page: controls shown per protocol, the dimming of the operation controls and
// of the three link buttons, the server list, the port list, going offline and the baud-rate
// change.
#include "link_fixture.h"

#include "platform/toolbox.h"
#include "protocol/frame.h"

#include <algorithm>

namespace {

class PageTest : public LinkTest {
  protected:
    static std::vector<std::string> ServerList() {
        int n = 0;
        Combo_GetComboAttribute(App.ConnectTab, CONNECT_SERVER, ATTR_COMBO_NUM_ITEMS, &n);
        std::vector<std::string> out;
        for (int i = 0; i < n; ++i) {
            char text[256];
            Combo_GetComboText(App.ConnectTab, CONNECT_SERVER, i, text, sizeof text);
            out.push_back(text);
        }
        return out;
    }
    void CommitServer(const char *text) {
        TestTypeText(App.ConnectTab, CONNECT_SERVER, text);
        TestProcessEvents(5);
    }
    static void EnableLinkButtons() {
        for (int c : {CONNECT_ACCEPT, CONNECT_CHANGE_BAUDRATE, CONNECT_GEN_HW_INFO_FILE})
            SetCtrlAttribute(App.ConnectTab, c, ATTR_DIMMED, 0);
    }
    static std::vector<int> LinkButtonsDimmed() {
        std::vector<int> v;
        for (int c : {CONNECT_ACCEPT, CONNECT_CHANGE_BAUDRATE, CONNECT_GEN_HW_INFO_FILE})
            v.push_back(Dimmed(App.ConnectTab, c));
        return v;
    }
};

} // namespace

TEST_F(PageTest, ProtocolShowsItsOwnControls) {
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
    const int serialOnly[] = {CONNECT_FIND_COM_PORTS, CONNECT_COM_PORT, CONNECT_BAUDRATE,
                              CONNECT_CHANGE_BAUDRATE};
    const int tcpOnly[] = {CONNECT_SERVER, CONNECT_PORT_NUMBER};
    for (int protocol : {1, 0, 1}) {
        EnableLinkButtons();
        TestSelectRingItem(App.ConnectTab, CONNECT_PROTOCOL, protocol);
        TestProcessEvents(5);
        EXPECT_EQ(App.ComProtocol, protocol);
        for (int c : serialOnly)
            EXPECT_EQ(Visible(App.ConnectTab, c), protocol == 0) << c;
        for (int c : tcpOnly)
            EXPECT_EQ(Visible(App.ConnectTab, c), protocol == 1) << c;
        int listShown = -1;
        Combo_GetComboAttribute(App.ConnectTab, CONNECT_SERVER, ATTR_COMBO_VISIBLE, &listShown);
        EXPECT_EQ(listShown, protocol == 1);
        EXPECT_EQ(LinkButtonsDimmed(), (std::vector<int>{1, 1, 1}));
    }
    // The line that is open is not touched: the next exchange uses the new protocol.
    EXPECT_EQ(App.TcpConnected, 0);
    EXPECT_EQ(App.LinkOk, 1);
}

TEST_F(PageTest, SetButtonsDimmedFollowsItsTable) {
    struct Target {
        int AppState::*panel;
        int control;
        bool para;       // one of the parameter controls keepParaControls leaves alone
        bool onlyDimmed; // dimmed by dimmed = 1, left alone by dimmed = 0
    };
    const Target targets[] = {
        {&AppState::MainPanel, MAINP_SEND, true, false},
        {&AppState::MainPanel, MAINP_GET, true, false},
        {&AppState::MainPanel, MAINP_RAM, true, false},
        {&AppState::MainPanel, MAINP_EEPROM, true, false},
        {&AppState::MainPanel, MAINP_FILE, true, false},
        {&AppState::MainPanel, MAINP_GO, false, false},
        {&AppState::ConnectTab, CONNECT_TRY_TO_CONNECT, false, false},
        {&AppState::ConnectTab, CONNECT_DISCONNECT, false, false},
        {&AppState::ConnectTab, CONNECT_BAUDRATE, false, false},
        {&AppState::ConnectTab, CONNECT_CHANGE_BAUDRATE, false, true},
        {&AppState::ConnectTab, CONNECT_GEN_HW_INFO_FILE, false, true},
        {&AppState::ScopeTab, SCOPETAB_GET_CYCLE_TIME, false, false},
        {&AppState::ScopeTab, SCOPETAB_SCAN, false, false},
        {&AppState::ScopeTab, SCOPETAB_BREAK, false, false},
    };
    const std::pair<int AppState::*, int> neverDimmed[] = {
        {&AppState::MainPanel, MAINP_STOP},           {&AppState::ConnectTab, CONNECT_PROTOCOL},
        {&AppState::ConnectTab, CONNECT_COM_PORT},    {&AppState::ConnectTab, CONNECT_SERVER},
        {&AppState::ConnectTab, CONNECT_PORT_NUMBER}, {&AppState::ConnectTab, CONNECT_ACCEPT}};
    for (int keep : {0, 1}) {
        for (int dimmed : {1, 0}) {
            SCOPED_TRACE("keep " + std::to_string(keep) + " dimmed " + std::to_string(dimmed));
            const int before = 1 - dimmed; // every control starts in the other state
            for (const Target &t : targets)
                SetCtrlAttribute(App.*t.panel, t.control, ATTR_DIMMED, before);
            for (auto [panel, c] : neverDimmed)
                SetCtrlAttribute(App.*panel, c, ATTR_DIMMED, 0);
            SetButtonsDimmed(keep, dimmed);
            for (const Target &t : targets) {
                bool untouched = (keep && t.para) || (t.onlyDimmed && dimmed == 0);
                EXPECT_EQ(Dimmed(App.*t.panel, t.control), untouched ? before : dimmed)
                    << t.control;
            }
            for (auto [panel, c] : neverDimmed)
                EXPECT_EQ(Dimmed(App.*panel, c), 0) << c;
        }
    }
}

TEST_F(PageTest, CommittedSettingsDimTheLinkButtonsTheyInvalidate) {
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
    sim->clearLog();
    struct Case {
        const char *what;
        std::function<void()> act;
        std::vector<int> dimmed; // ACCEPT, CHANGE BAUDRATE, HW INFO FILE
    } cases[] = {
        {"COM port", [] { TestTypeText(App.ConnectTab, CONNECT_COM_PORT, "3"); }, {1, 1, 1}},
        {"baud rate", [] { TestSelectRingItem(App.ConnectTab, CONNECT_BAUDRATE, 2); }, {1, 0, 0}},
        {"to TCP/IP", [] { TestSelectRingItem(App.ConnectTab, CONNECT_PROTOCOL, 1); }, {1, 1, 1}},
        {"server", [] { TestTypeText(App.ConnectTab, CONNECT_SERVER, "sensor-7"); }, {1, 0, 0}},
        {"port number",
         [] { TestTypeText(App.ConnectTab, CONNECT_PORT_NUMBER, "5001"); },
         {1, 0, 0}},
    };
    for (const Case &c : cases) {
        EnableLinkButtons();
        c.act();
        TestProcessEvents(5);
        EXPECT_EQ(LinkButtonsDimmed(), c.dimmed) << c.what;
    }
    EXPECT_EQ(App.LinkOk, 1) << "committing settings sends nothing";
    EXPECT_TRUE(Requests().empty());
}

TEST_F(PageTest, ServerListKeepsTenMostRecentEachOnce) {
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
    UseTcp();
    for (const char *s : {"B", "S", "A"})
        CommitServer(s);
    EXPECT_EQ(ServerList(), (std::vector<std::string>{"A", "S", "B"}));
    CommitServer("S");
    EXPECT_EQ(ServerList(), (std::vector<std::string>{"S", "A", "B"}));
    EXPECT_STREQ(App.IpAddress, "S");

    for (int i = 0; i < 11; ++i)
        CommitServer(("10.0.0." + std::to_string(i)).c_str());
    std::vector<std::string> expected;
    for (int i = 10; i > 0; --i)
        expected.push_back("10.0.0." + std::to_string(i));
    EXPECT_EQ(ServerList(), expected);

    // Choosing an entry of the list commits it as well.
    CommitServer("10.0.0.5");
    EXPECT_EQ(ServerList().size(), 10u);
    EXPECT_EQ(ServerList()[0], "10.0.0.5");
    EXPECT_EQ(ServerList()[1], "10.0.0.10");
}

TEST_F(PageTest, FindComPortsListsThePortsPresent) {
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
    UseSerial();
    // Every number leads nowhere but COM1 and COM4.
    for (int port = 1; port <= 255; ++port)
        TestMapComPort(port, "/nonexistent/tty");
    TestMapComPort(1, sim->serialPath().c_str());
    TestMapComPort(4, "/dev/null");
    ClearStatus();
    // Each number with the device an operator recognises it by.
    const std::string lines = "COM1  " + sim->serialPath() + "\nCOM4  /dev/null\n\n";
    Click(App.ConnectTab, CONNECT_FIND_COM_PORTS);
    EXPECT_EQ(Status(), "Following COM PORTS are available:\n" + lines);

    App.LanguageIndex = 0;
    ClearStatus();
    Click(App.ConnectTab, CONNECT_FIND_COM_PORTS);
    EXPECT_EQ(Status(), "Folgende COM PORTS sind verfuegbar:\n" + lines);

    TestMapComPort(1, "/nonexistent/tty");
    TestMapComPort(4, "/nonexistent/tty");
    ClearStatus();
    Click(App.ConnectTab, CONNECT_FIND_COM_PORTS);
    EXPECT_EQ(Status(), "") << "no port: nothing at all";
    for (int port = 2; port <= 255; ++port)
        TestMapComPort(port, nullptr);
}

TEST_F(PageTest, DisconnectGoesOfflineAndSendThenWritesAFile) {
    UseTcp();
    Connect();
    EXPECT_EQ(App.MemorySelect, 1);
    Click(App.ConnectTab, CONNECT_DISCONNECT);
    EXPECT_EQ(App.TcpConnected, 0);
    EXPECT_EQ(App.LinkOk, 0);
    EXPECT_EQ(App.MemorySelect, 3);
    EXPECT_EQ(Status(), "No sensor connected!\n\n");
    EXPECT_EQ(DataStatus(), "No sensor connected!\n\n");
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_DISCONNECT), 1);
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_TRY_TO_CONNECT), 0);
    EXPECT_EQ(LinkButtonsDimmed(), (std::vector<int>{1, 1, 1}))
        << "they need a passed identity check";

    popups.clear();
    Click(App.MainPanel, MAINP_SEND);
    ASSERT_FALSE(popups.empty());
    EXPECT_EQ(popups[0].kind, "file");
    EXPECT_TRUE(std::filesystem::exists(programDir / "chosen.ini"));
    EXPECT_TRUE(Requests().empty());

    // TRY TO CONNECT brings the sensor back.
    Connect();
    EXPECT_EQ(Dimmed(App.MainPanel, MAINP_RAM), 0);
}

// Attempt after failed attempt writes its lines into the status box; it keeps the last ones
// only, whole lines, the newest at the end, and goes on taking new text.
TEST_F(PageTest, TheStatusBoxKeepsItsLastLinesOverManyAttempts) {
    TestMapComPort(9, "/nonexistent/taviron-com9");
    UseSerial(9);
    ClearStatus();
    Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
    const std::string one = Status(); // what one failed attempt writes
    const auto linesOf = [](const std::string &t) { return std::count(t.begin(), t.end(), '\n'); };
    ASSERT_GE(linesOf(one), 3) << one;
    ASSERT_EQ(one.back(), '\n');

    const int attempts = int(2 * kStatusBoxLines / linesOf(one)) + 7;
    std::string all = one;
    for (int i = 1; i < attempts; ++i) {
        Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
        all += one;
    }
    ASSERT_GT(linesOf(all), 2 * kStatusBoxLines);
    std::size_t from = all.size() - 1; // the start of the last kStatusBoxLines lines
    for (int n = 0; n < kStatusBoxLines; ++n)
        from = all.rfind('\n', from - 1);
    const std::string shown = Status();
    ASSERT_EQ(linesOf(shown), kStatusBoxLines);
    EXPECT_EQ(shown, all.substr(from + 1));

    // A line written now still shows at the end.
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, "after\n");
    EXPECT_EQ(Status().substr(Status().size() - 6), "after\n");
    EXPECT_EQ(linesOf(Status()), kStatusBoxLines);
    TestMapComPort(9, nullptr);
}

TEST_F(PageTest, BaudRateChangeReconnectsAtTheNewRate) {
    UseSerial(1, 4);
    Connect();
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
    TestSelectRingItem(App.ConnectTab, CONNECT_BAUDRATE, 6);
    TestProcessEvents(5);
    Click(App.ConnectTab, CONNECT_CHANGE_BAUDRATE);

    EXPECT_EQ(Status(), "Try to change baudrate!\nSuccess!\nTry to connect!\n"
                        "TAVIRON V1.0 2026-11-28\nSensor: TAVIRON PS-1\nSerial number: 4711\n\n"
                        "ATTENTION!!!   Confirm new baudrate with EEPROM and SEND!\n\n");
    EXPECT_EQ(App.LinkOk, 1);
    EXPECT_EQ(App.BaudrateIndex, 6);
    EXPECT_EQ(sim->baudIndex(), 6);
    EXPECT_EQ(Orders(), (std::vector<int>{OrderChangeBaudrate, 7, 15, 2}));
    EXPECT_EQ(Requests()[0], "55 BE 06 00 00 00 AA " + Requests()[0].substr(21));
    EXPECT_EQ(sim->eeprom().baudIndex, 4) << "kept over a power cycle only after EEPROM + SEND";
    for (int c : {CONNECT_CHANGE_BAUDRATE, CONNECT_GEN_HW_INFO_FILE, CONNECT_TRY_TO_CONNECT})
        EXPECT_EQ(Dimmed(App.ConnectTab, c), 0) << c;

    Click(App.MainPanel, MAINP_EEPROM);
    Click(App.MainPanel, MAINP_SEND);
    EXPECT_EQ(sim->eeprom().baudIndex, 6);
}

TEST_F(PageTest, FailedBaudRateOrderReopensNothing) {
    UseSerial(1, 4);
    Connect();
    App.LanguageIndex = 0;
    tavsim::FaultSetting f;
    f.kind = tavsim::FaultKind::ErrorLine;
    f.order = OrderChangeBaudrate;
    sim->setFault(f);
    SetCtrlVal(App.ConnectTab, CONNECT_BAUDRATE, 2);
    Click(App.ConnectTab, CONNECT_CHANGE_BAUDRATE);
    EXPECT_EQ(Status(),
              "Baudrate aendern!\nVerbindungsfehler! \nEventuell Baudrate reduzieren!\n\n");
    EXPECT_EQ(Orders(), std::vector<int>{OrderChangeBaudrate});
    EXPECT_EQ(App.LinkOk, 0);
    EXPECT_EQ(LinkButtonsDimmed(), (std::vector<int>{1, 1, 1}));
}

TEST_F(PageTest, AcceptStoresTheSettingsAndShowsTheParameterPage) {
    UseTcp();
    Connect();
    ASSERT_FALSE(std::filesystem::exists(programDir / "PanelSettings.cfg"));
    Click(App.ConnectTab, CONNECT_ACCEPT);
    EXPECT_EQ(ActivePage(), 1);
    EXPECT_TRUE(std::filesystem::exists(programDir / "PanelSettings.cfg"));
    EXPECT_TRUE(Requests().empty()) << "accepting sends nothing to the sensor";
}
