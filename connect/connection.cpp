// Connection management: which controls the chosen protocol shows, a connection attempt, going
// offline and changing the sensor's baud rate.
#include "connect/connection.h"

#include "base/state.h"
#include "base/texts.h"
#include "connect/link_internal.h"
#include "link/exchange.h"
#include "link/link_codes.h"
#include "link/serial_line.h"
#include "link/tcp_line.h"
#include "params/para.h"
#include "platform/core/rs232.h"
#include "platform/core/tcp.h"
#include "platform/toolbox.h"
#include "platform/ui.h"
#include "protocol/frame.h"
#include "settings/settings.h"

#include "Tavironv10.h"

#include <string>

namespace {

const TextPair kTxtTryToConnect = {"Verbindungsaufbau!\n", "Try to connect!\n"};
const TextPair kTxtOffline = {"Kein Sensor verbunden!\n\n", "No sensor connected!\n\n"};
const TextPair kTxtTryBaudrate = {"Baudrate aendern!\n", "Try to change baudrate!\n"};
const TextPair kTxtSuccess = {"Erledigt!\n", "Success!\n"};
const TextPair kTxtConfirmBaudrate = {
    "ACHTUNG!!!   Neue Baudrate mit EEPROM und SENDEN bestaetigen!\n\n",
    "ATTENTION!!!   Confirm new baudrate with EEPROM and SEND!\n\n"};
const TextPair kTxtClose = {"Schliessen", "Close"};
const TextPair kTxtWaiting = {"Warte auf den Sensor: ", "Waiting for the sensor: "};
const TextPair kTxtOfflineButton = {"Offline", "Offline"};

void Dim(int panel, int control, int dimmed) {
    SetCtrlAttribute(panel, control, ATTR_DIMMED, dimmed);
}

void Show(int panel, int control, int visible) {
    SetCtrlAttribute(panel, control, ATTR_VISIBLE, visible);
}

// Both status displays: the data panel's line is replaced, the status box appended to.
void ShowStatusBoth(const char *text) {
    SetCtrlVal(App.DataPanel, DATAP_STATUS, text);
    AppendStatus(text);
}

// What a connection attempt waits for, on the status line: the port with its device and rate,
// or the server and port number.
std::string SerialPortWaitText() {
    return std::string(Txt(kTxtWaiting)) + SerialPortName(App.ComPort) + ", " +
           std::to_string(BaudRateFromIndex(App.BaudrateIndex)) + " Bd";
}
std::string ServerWaitText() {
    return std::string(Txt(kTxtWaiting)) + App.IpAddress + ":" + std::to_string(App.PortNumber);
}

} // namespace

const TextPair kTxtNoConnection = {
    "Verbindung konnte nicht aufgebaut werden! \nFenster schliessen oder im Offline-Modus "
    "arbeiten!",
    "Could not establish connection! \nClose window or work in offline mode!"};

void AppendStatus(const char *text) {
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, text);
}

// Close has the focus and answers Enter; Escape (and closing the popup's window) answers
// Offline, so a key pressed in haste never ends the program. Ending it stores the settings
// first, as closing the window does: what the operator changed before the attempt is kept.
void AskCloseOrOffline(const char *message) {
    int button =
        GenericMessagePopup(Txt(kTitleInfo), message, Txt(kTxtClose), Txt(kTxtOfflineButton), "",
                            VAL_GENERIC_POPUP_BTN1, VAL_GENERIC_POPUP_BTN1, VAL_GENERIC_POPUP_BTN2);
    if (button == VAL_GENERIC_POPUP_BTN1) {
        StoreSettingsBeforeEnd();
        QuitUserInterface(0);
    } else {
        Disconnect();
    }
}

void InitConnectPanel() {
    GetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, &App.ComProtocol);
    if (App.ComProtocol > 1) return;
    int serial = App.ComProtocol == 0 ? 1 : 0;
    Show(App.ConnectTab, CONNECT_FIND_COM_PORTS, serial);
    Show(App.ConnectTab, CONNECT_COM_PORT, serial);
    Show(App.ConnectTab, CONNECT_BAUDRATE, serial);
    Show(App.ConnectTab, CONNECT_CHANGE_BAUDRATE, serial);
    Combo_SetComboAttribute(App.ConnectTab, CONNECT_SERVER, ATTR_COMBO_VISIBLE, !serial);
    Show(App.ConnectTab, CONNECT_PORT_NUMBER, !serial);
}

// The attempt shows the busy cursor from start to end (popups lift it while they ask) and the
// status line says what it waits for.
void TryToConnect() {
    SetWaitCursor(1);
    CloseCom(App.ComPort);
    ShowStatusBoth(Txt(kTxtTryToConnect));

    GetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, &App.ComProtocol);
    GetCtrlVal(App.ConnectTab, CONNECT_COM_PORT, &App.ComPort);
    GetCtrlVal(App.ConnectTab, CONNECT_BAUDRATE, &App.BaudrateIndex);
    GetCtrlVal(App.ConnectTab, CONNECT_SERVER, App.IpAddress);
    GetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, App.PortNumberText);
    ProcessSystemEvents();

    SetCtrlVal(App.DataPanel, DATAP_COM_PORT, int(App.ComPort));
    SetCtrlVal(App.DataPanel, DATAP_SERVER, App.IpAddress);
    App.PortNumber = PortNumberFromText(App.PortNumberText);

    if (App.ComProtocol == 1) {
        Show(App.DataPanel, DATAP_COM_PORT, 0);
        Show(App.DataPanel, DATAP_SERVER, 1);
        SetCtrlVal(App.DataPanel, DATAP_STATUS, ServerWaitText().c_str());
        InitTCP_IP();
    } else {
        Show(App.DataPanel, DATAP_COM_PORT, 1);
        Show(App.DataPanel, DATAP_SERVER, 0);
        SetCtrlVal(App.DataPanel, DATAP_STATUS, SerialPortWaitText().c_str());
        InitRS232();
    }
    if (App.LinkResult >= 0)
        CheckComLine();
    else
        AskCloseOrOffline(Txt(kTxtNoConnection));
    SetWaitCursor(0);
}

void Disconnect() {
    SetButtonsDimmed(kAllControls, kDimmed);
    // The port opened last, and the one the page names now (they differ when the operator
    // changed the number since).
    CloseCom(App.ComPort);
    GetCtrlVal(App.ConnectTab, CONNECT_COM_PORT, &App.ComPort);
    CloseCom(App.ComPort);
    if (App.TcpConnected) {
        DisconnectFromTCPServer(App.TcpHandle);
        App.TcpConnected = 0;
    }
    ShowStatusBoth(Txt(kTxtOffline));

    SelectMemory(3); // FILE: offline, SEND and GET work on files

    Dim(App.ConnectTab, CONNECT_TRY_TO_CONNECT, 0);
    Dim(App.MainPanel, MAINP_SEND, 0);
    Dim(App.MainPanel, MAINP_GET, 0);
    Dim(App.ParaTab, PARA_COMPARE, 0); // the parameter file alone; READ SENSOR stays dimmed
    Dim(App.ConnectTab, CONNECT_BAUDRATE, 0);
    // ACCEPT, CHANGE BAUDRATE and the hardware information file need a passed identity check:
    // offline (also after a sensor refused for its firmware) they stay dimmed.
    SetLinkButtonsDimmed(kDimmed);
    App.LinkOk = 0;
}

void ChangeBaudrate() {
    GetCtrlVal(App.ConnectTab, CONNECT_BAUDRATE, &App.BaudrateIndex);
    AppendStatus(Txt(kTxtTryBaudrate));
    // The request goes out at the old rate; the sensor switches once its reply is out.
    FillTxBuf(OrderChangeBaudrate, App.BaudrateIndex, 0);
    if (DataExchange(kHeaderSize) != 1) return;
    AppendStatus(Txt(kTxtSuccess));
    InitRS232();
    App.LinkOk = 1;
    TryToConnect();
    if (App.LinkOk == 1) AppendStatus(Txt(kTxtConfirmBaudrate));
}
