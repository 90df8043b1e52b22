// Opening the serial port or the TCP conversation chosen on the connection page, the TCP
// data callback that fills RxBuf while the exchange waits, and the report of a serial device
// that went away. A failure to open names the port or server and the system's reason.
#include "link/transport.h"

#include "base/state.h"
#include "base/texts.h"
#include "link/exchange.h"
#include "link/link_codes.h"
#include "platform/ports.h"
#include "platform/rs232.h"
#include "platform/tcp.h"
#include "platform/ui.h"

#include "Tavironv10.h"

#include <cstdio>
#include <string>

namespace {

constexpr double kPortTimeoutSeconds = 2.0;
constexpr int kQueueSize = 1024;
constexpr unsigned int kConnectTimeoutMs = 5000;
constexpr unsigned int kReadTimeoutMs = 5000;

const TextPair kTxtServerClosed = {"Server hat Verbindung beendet!",
                                   "Server has closed connection!"};
const TextPair kTxtFlood = {
    "Server sendet mehr Daten als angefordert; sie werden verworfen (bisher %llu Bytes).\n",
    "Server sends more data than asked for; they are dropped (%llu bytes so far).\n"};

// What the server sends beyond what RxBuf can hold is read in pieces of this size and dropped,
// so a peer that floods the conversation cannot fill memory.
constexpr int kDropChunk = 4096;
// Dropping more than a few frames' worth is a flood, reported once per conversation.
constexpr u64 kFloodReportBytes = 4 * kBufferSize;
// A flush before a request reads for at most this long: a flood that goes on must not hold
// the program in the flush (the reply wait then sees a bad frame, as on a noisy line).
constexpr double kFlushSeconds = 0.2;

void CountDropped(int count) {
    App.TcpDropped += u64(count);
    if (App.TcpFloodReported || App.TcpDropped <= kFloodReportBytes) return;
    App.TcpFloodReported = 1;
    char message[200];
    std::snprintf(message, sizeof message, Txt(kTxtFlood),
                  static_cast<unsigned long long>(App.TcpDropped));
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, message);
}

// Reads up to one piece of what is waiting and drops it. Returns the number of bytes dropped.
int DropWaiting(unsigned int timeoutMs) {
    u8 scratch[kDropChunk];
    const int n = ClientTCPRead(App.TcpHandle, scratch, sizeof scratch, timeoutMs);
    if (n <= 0) return 0;
    CountDropped(n);
    return n;
}

const TextPair kTxtLineGone = {"Serielle Verbindung unterbrochen!", "Serial connection lost!"};
const TextPair kTxtLineGoneAdvice = {
    "Geraet entfernt - Adapter wieder einstecken, dann VERBINDEN",
    "the device went away - plug the adapter back in, then TRY TO CONNECT"};
const TextPair kTxtWaiting = {"Warte auf den Sensor: ", "Waiting for the sensor: "};

int g_linesLost = 0;        // serial devices gone while open, each reported once
std::string g_openPortName; // the open port as it was found, for the report when it goes

// "COM3 /dev/ttyUSB0 (product)": the port as FIND COM PORTS lists it.
std::string PortAndDevice(int port) {
    char device[MAX_PATHNAME_LEN];
    if (GetComPortDescription(port, device, sizeof device) != 0 || !device[0])
        return "COM" + std::to_string(port);
    return "COM" + std::to_string(port) + " " + device;
}

// The serial device went away while the port was open: report it once, as a server closing
// the conversation is reported, and let the port go so that nothing watches a dead line.
void ComLostCB(int port, int, void *) {
    if (App.ComProtocol == 0 && port == App.ComPort) {
        LinkFailure(ExplainedFailureText(Txt(kTxtLineGone), g_openPortName.c_str(),
                                         Txt(kTxtLineGoneAdvice), ""));
        ++g_linesLost;
    }
    CloseCom(port);
}

} // namespace

int SerialLinesLost() {
    return g_linesLost;
}

std::string SerialPortWaitText() {
    return std::string(Txt(kTxtWaiting)) + PortAndDevice(App.ComPort) + ", " +
           std::to_string(BaudRateFromIndex(App.BaudrateIndex)) + " Bd";
}

std::string ServerWaitText() {
    return std::string(Txt(kTxtWaiting)) + App.IpAddress + ":" + std::to_string(App.PortNumber);
}

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
        g_openPortName = PortAndDevice(App.ComPort); // the device node while it is there
        InstallComCallback(App.ComPort, ComLostCB, nullptr);
        return;
    }
    char systemText[128];
    int reason = GetComOpenReason(App.ComPort, systemText, sizeof systemText);
    std::string where = App.LinkResult == kRsErrInvalidPort ? "COM" + std::to_string(App.ComPort)
                                                            : PortAndDevice(App.ComPort);
    LinkFailure(ExplainedFailureText(Txt(SerialErrorText(App.LinkResult)), where.c_str(),
                                     Txt(ComReasonText(reason)),
                                     reason != kComReasonNone ? systemText : ""));
}

void InitTCP_IP() {
    if (App.TcpConnected) DisconnectFromTCPServer(App.TcpHandle);
    SetWaitCursor(1);
    App.LinkResult = ConnectToTCPServerEx(&App.TcpHandle, unsigned(App.PortNumber), App.IpAddress,
                                          ClientTCPCB, nullptr, kConnectTimeoutMs, 0);
    SetWaitCursor(0);
    if (App.LinkResult >= 0) {
        App.TcpConnected = 1;
        App.TcpDropped = 0;
        App.TcpFloodReported = 0;
        return;
    }
    char systemText[128];
    int reason = GetTCPConnectReason(systemText, sizeof systemText);
    std::string where = std::string(App.IpAddress) + ":" + std::to_string(App.PortNumber);
    LinkFailure(ExplainedFailureText(Txt(TcpErrorText(App.LinkResult)), where.c_str(),
                                     Txt(TcpReasonText(reason)),
                                     reason != kTcpReasonNone ? systemText : ""));
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
        // into the room RxBuf really has. Bytes beyond it are no reply of this sensor: they
        // are read and dropped rather than left to pile up.
        if (App.RxCount < 0 || App.RxCount >= kBufferSize) {
            DropWaiting(kReadTimeoutMs);
            break;
        }
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

void FlushTcpInput() {
    if (!App.TcpConnected) return;
    // A read may also hand bytes to this callback, nested, which keeps or drops them itself:
    // the flush goes on while anything at all came in.
    const double start = Timer();
    for (;;) {
        const u64 dropped = App.TcpDropped;
        const int received = App.RxCount;
        DropWaiting(0);
        if (App.TcpDropped == dropped && App.RxCount == received) break;
        if (Timer() - start > kFlushSeconds) break;
    }
}
