// WinMain: loads the panels, runs the start-up sequence and the event loop, then shuts down.
#include "app/app.h"
#include "base/callbacks.h"
#include "base/state.h"
#include "platform/rs232.h"
#include "platform/tcp.h"
#include "platform/toolbox.h"
#include "platform/ui.h"

#include "Tavironv10.h"

namespace {

constexpr const char *kResourceFile = "Tavironv10.uir";
constexpr const char *kTitle = "TAVIRON Scope V1.0";

// Where the two child panels sit inside the main panel.
constexpr int kChildTop = 63;
constexpr int kChildLeft = 385;

} // namespace

int LoadPanels(int argc, char **argv) {
    if (!InitUserInterface(argc, argv)) return -1;
    RegisterAllCallbacks();
    // A failure shows no message and releases nothing: the process ends right after.
    if ((App.MainPanel = LoadPanel(0, kResourceFile, MAINP)) < 0) return -1;
    if ((App.DataPanel = LoadPanel(App.MainPanel, kResourceFile, DATAP)) < 0) return -1;
    if ((App.ScopePanel = LoadPanel(App.MainPanel, kResourceFile, SCOPEP)) < 0) return -1;
    SetPanelAttribute(App.MainPanel, ATTR_TITLE, kTitle);
    SetPanelPos(App.DataPanel, kChildTop, kChildLeft);
    SetPanelPos(App.ScopePanel, kChildTop, kChildLeft);
    return 0;
}

void ShutDown() {
    if (App.TcpConnected) DisconnectFromTCPServer(App.TcpHandle);
    CloseCom(App.ComPort); // whatever the protocol, and harmless when it never opened
    Combo_DiscardComboBox(App.ConnectTab, CONNECT_SERVER);
    DiscardPanel(App.MainPanel); // the child panels go with it
}

int WinMain(int argc, char **argv) {
    if (LoadPanels(argc, argv) < 0) return -1;
    InitAll();
    RunUserInterface();
    ShutDown();
    return 0;
}
