// The runtime operations the exchange and the TCP callback use, on the fake line: no window,
// no device, no socket. Each pass of the event loop lets one chunk of the reply arrive and,
// on TCP, hands it to the program's data callback as the runtime does.
#include "fake_line.h"

#include "base/state.h"
#include "link/transport.h"
#include "platform/ports.h"
#include "platform/rs232.h"
#include "platform/tcp.h"
#include "platform/ui.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

FakeLine g_line;

// A read into the application state must land inside RxBuf. A read into a buffer of its own
// (the bytes dropped before a request go to a scratch buffer) is AddressSanitizer's to watch.
void CheckInsideRxBuf(const void *p, size_t n) {
    const uint8_t *b = static_cast<const uint8_t *>(p);
    const uint8_t *state = reinterpret_cast<const uint8_t *>(&App);
    if (b < state || b >= state + sizeof App) return;
    if (b < App.RxBuf || b + n > App.RxBuf + sizeof App.RxBuf) std::abort();
}

namespace {

size_t Available() {
    return g_line.sent - g_line.taken;
}

} // namespace

// ---- event loop and time -------------------------------------------------------------------
double Timer() {
    g_line.clock += 0.05; // a wait of 3 s ends after about 60 passes
    return g_line.clock;
}

int ProcessSystemEvents() {
    if (g_line.sent < g_line.size) {
        g_line.sent = std::min(g_line.size, g_line.sent + g_line.chunk);
    }
    if (!g_line.tcp) return 0;
    if (g_line.closeAt && g_line.sent >= g_line.closeAt && !g_line.closed) {
        g_line.closed = true;
        ClientTCPCB(App.TcpHandle, TCP_DISCONNECT, kTcpErrClosed, nullptr);
        return 0;
    }
    if (Available() > 0) ClientTCPCB(App.TcpHandle, TCP_DATAREADY, 0, nullptr);
    return 0;
}

int SetWaitCursor(int) {
    return 0;
}

// ---- controls: the failure handler writes texts and dims buttons -----------------------------
int SetCtrlVal(int, int, const char *value) {
    if (!value) std::abort();
    volatile size_t n = std::strlen(value); // reads the whole text: it must be terminated
    (void)n;
    return 0;
}
int SetCtrlAttribute(int, int, int, int) {
    return 0;
}
int SetActiveTabPage(int, int, int) {
    return 0;
}
int DisplayPanel(int) {
    return 0;
}
int HidePanel(int) {
    return 0;
}
int MessagePopup(const char *, const char *) {
    return 0;
}

// ---- serial ----------------------------------------------------------------------------------
int OpenComConfig(int, const char *, long, int, int, int, int, int) {
    return 0;
}
int CloseCom(int) {
    return 0;
}
int SetComTime(int, double) {
    return 0;
}
int SetCTSMode(int, int) {
    return 0;
}
int FlushInQ(int) {
    g_line.taken = g_line.sent; // what arrived and was not read is dropped
    return 0;
}
int FlushOutQ(int) {
    return 0;
}
int ComWrt(int, const void *, int count) {
    return count;
}
int ComRd(int, void *buffer, int count) {
    if (count < 0) std::abort();
    CheckInsideRxBuf(buffer, size_t(count));
    // Whatever arrives within the port's time-out: the rest of the stream may come meanwhile.
    for (int pass = 0; pass < 40 && Available() < size_t(count); ++pass)
        ProcessSystemEvents();
    size_t n = std::min(Available(), size_t(count));
    std::memcpy(buffer, g_line.bytes + g_line.taken, n);
    g_line.taken += n;
    return int(n);
}
int GetInQLen(int) {
    return int(std::min<size_t>(Available(), 1 << 20));
}
int SetComWakeCount(int, int) {
    return 0;
}
int SetComReplyLength(int, int) {
    return 0;
}
int InstallComCallback(int, ComCallbackPtr, void *) {
    return 0; // the fake device never goes away
}
int GetComOpenReason(int, char *systemText, int size) {
    if (systemText && size > 0) systemText[0] = '\0';
    return kComReasonNone;
}
int GetComPortDescription(int, char *buffer, int size) {
    if (buffer && size > 0) std::snprintf(buffer, size_t(size), "%s", "fake line");
    return 0;
}
int GetComStat(int) {
    ++g_line.statusReads;
    return g_line.lineErrorEvery && g_line.statusReads % g_line.lineErrorEvery == 0 ? 0x0100 : 0;
}

// ---- TCP -------------------------------------------------------------------------------------
int ConnectToTCPServerEx(unsigned int *handle, unsigned int, const char *, tcpFuncPtr, void *,
                         unsigned int, unsigned int) {
    *handle = 1;
    return 0;
}
int GetTCPConnectReason(char *systemText, int size) {
    if (systemText && size > 0) systemText[0] = '\0';
    return kTcpReasonNone;
}
int DisconnectFromTCPServer(unsigned int) {
    return 0;
}
int ClientTCPWrite(unsigned int, const void *, unsigned int count, unsigned int) {
    return int(count);
}
int ClientTCPRead(unsigned int, void *buffer, unsigned int count, unsigned int) {
    CheckInsideRxBuf(buffer, count);
    ++g_line.reads;
    if (g_line.readErrorEvery && g_line.reads % g_line.readErrorEvery == 0) return kTcpErrRead;
    size_t n = std::min(Available(), size_t(count));
    std::memcpy(buffer, g_line.bytes + g_line.taken, n);
    g_line.taken += n;
    return int(n);
}
