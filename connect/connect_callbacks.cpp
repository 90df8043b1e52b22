// Callbacks of the connection page: protocol, port, baud rate, server, the link buttons and
// the status box.
#include "window/callbacks.h"
#include "window/help.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "connect/connection.h"
#include "connect/link_internal.h"
#include "link/exchange.h"
#include "platform/core/ports.h"
#include "platform/toolbox.h"
#include "platform/ui.h"
#include "settings/settings.h"

#include <cstdio>

namespace {

constexpr int kMaxServers = 10;

const TextPair kTxtPortListHeading = {"Folgende COM PORTS sind verfuegbar:\n",
                                      "Following COM PORTS are available:\n"};

// FIND COM PORTS: the heading, one line per port present with the device behind it (and the
// adapter's product name where the system knows it) and an empty line; nothing at all when
// there is no port.
void ListComPorts() {
    int ports[kMaxComPort];
    int count = LocateCom("", ports, kMaxComPort);
    if (count == 0) return;
    AppendStatus(Txt(kTxtPortListHeading));
    char device[MAX_PATHNAME_LEN];
    char line[MAX_PATHNAME_LEN + 16];
    for (int i = 0; i < count; ++i) {
        GetComPortDescription(ports[i], device, sizeof device);
        std::snprintf(line, sizeof line, "COM%d  %s\n", ports[i], device);
        AppendStatus(line);
    }
    AppendStatus("\n");
}

// A committed server goes to the top of the list, once, and the list keeps the ten most
// recent entries.
void CommitServer() {
    SetCtrlAttribute(App.ConnectTab, CONNECT_ACCEPT, ATTR_DIMMED, 1);
    GetCtrlVal(App.ConnectTab, CONNECT_SERVER, App.IpAddress);
    int index = -1;
    Combo_GetIndexFromValue(App.ConnectTab, CONNECT_SERVER, &index, App.IpAddress);
    if (index >= 0) Combo_DeleteComboItem(App.ConnectTab, CONNECT_SERVER, index, 1);
    Combo_InsertComboItem(App.ConnectTab, CONNECT_SERVER, 0, App.IpAddress);
    int items = 0;
    Combo_GetComboAttribute(App.ConnectTab, CONNECT_SERVER, ATTR_COMBO_NUM_ITEMS, &items);
    if (items > kMaxServers) Combo_DeleteComboItem(App.ConnectTab, CONNECT_SERVER, kMaxServers, -1);
}

} // namespace

int CBF_EditCommunicationProtocol(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_EditCommunicationProtocol)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        InitConnectPanel();
        SetLinkButtonsDimmed(kDimmed);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonFindComPorts(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonFindComPorts)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        ListComPorts();
        break;
    default:
        break;
    }
    return 0;
}

int CBF_EditSelectComPort(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_EditSelectComPort)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        SetLinkButtonsDimmed(kDimmed);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_EditSelectBaudrate(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_EditSelectBaudrate)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        SetCtrlAttribute(App.ConnectTab, CONNECT_ACCEPT, ATTR_DIMMED, 1);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonChangeBaudrate(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonChangeBaudrate)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        SetButtonsDimmed(kAllControls, kDimmed);
        SetLinkButtonsDimmed(kDimmed);
        ChangeBaudrate();
        SetButtonsDimmed(kAllControls, kEnabled);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_StringIpAdress(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_StringIpAdress)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        CommitServer();
        break;
    default:
        break;
    }
    return 0;
}

int CBF_StringPortNumber(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_StringPortNumber)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        SetCtrlAttribute(App.ConnectTab, CONNECT_ACCEPT, ATTR_DIMMED, 1);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonTryToConnect(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonTryToConnect)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        SetButtonsDimmed(kAllControls, kDimmed);
        TryToConnect();
        if (App.LinkOk == 1) SetButtonsDimmed(kAllControls, kEnabled);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonDisconnect(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonDisconnect)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        Disconnect();
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonAccept(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonAccept)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        if (const int status = StorePanelSettings(); status != 0) ShowSettingsNotSaved(status);
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_DispStatus(int, int, int event, void *, int, int) {
    switch (event) {
    case EVENT_RIGHT_DOUBLE_CLICK: // the status box clears itself; it has no help
        ResetTextBox(App.ConnectTab, CONNECT_STATUS, "");
        break;
    default:
        break;
    }
    return 0;
}
