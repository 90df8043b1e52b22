// Opening the serial port or the TCP conversation chosen on the connection page, and the TCP
// data callback that fills RxBuf while the exchange waits.
#include "link/transport.h"

#include "app/state.h"
#include "app/texts.h"
#include "link/exchange.h"
#include "link/link_codes.h"
#include "platform/rs232.h"
#include "platform/tcp.h"
#include "platform/ui.h"

namespace {

constexpr double kPortTimeoutSeconds = 2.0;
constexpr int kQueueSize = 1024;
constexpr unsigned int kConnectTimeoutMs = 5000;
constexpr unsigned int kReadTimeoutMs = 5000;

const TextPair kTxtServerClosed = {"Server hat Verbindung beendet!",
                                   "Server has closed connection!"};


} // namespace

void InitRS232() {
    App.Running = 0;
    CloseCom(App.ComPort);
    long baud = BaudRateFromIndex(App.BaudrateIndex);
    App.LinkResult = OpenComConfig(App.ComPort, "", baud, 0, 8, 1, kQueueSize, kQueueSize);
    if (App.LinkResult >= 0) {
        SetComTime(App.ComPort, kPortTimeoutSeconds);
        FlushInQ(App.ComPort);
        FlushOutQ(App.ComPort);
        SetCTSMode(App.ComPort, 0);
        return;
    }
    LinkFailure(SerialErrorText(App.LinkResult));
}

void InitTCP_IP() {
    if (App.TcpConnected) DisconnectFromTCPServer(App.TcpHandle);
    SetWaitCursor(1);
    App.LinkResult = ConnectToTCPServerEx(&App.TcpHandle, unsigned(App.PortNumber), App.IpAddress,
                                          ClientTCPCB, nullptr, kConnectTimeoutMs, 0);
    SetWaitCursor(0);
    if (App.LinkResult >= 0) {
        App.TcpConnected = 1;
        return;
    }
    LinkFailure(TcpErrorText(App.LinkResult));
    App.TcpConnected = 0;
}

int ClientTCPCB(unsigned int, int event, int, void *) {
    switch (event) {
    case TCP_DISCONNECT:
        LinkFailure(kTxtServerClosed);
        App.TcpHandle = 0;
        App.TcpConnected = 0;
        break;
    case TCP_DATAREADY: {
        // RxCount may hold a serial queue length from before a protocol switch; read only
        // into the room RxBuf really has.
        if (App.RxCount < 0 || App.RxCount >= kBufferSize) break;
        int n = ClientTCPRead(App.TcpHandle, App.RxBuf + App.RxCount,
                              unsigned(kBufferSize - App.RxCount), kReadTimeoutMs);
        if (n > 0) App.RxCount += n; // a read error adds nothing
        break;
    }
    default:
        break;
    }
    return 0;
}
