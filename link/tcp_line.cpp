// The TCP conversation as a byte line. The data callback runs while events are processed (in a
// wait, or in the idle event loop) and moves what arrived into a receive queue of the size of
// one frame buffer; what does not fit is read and dropped, so that a peer that floods the
// conversation cannot fill memory.
#include "link/tcp_line.h"

#include "link/event_wait.h"
#include "link/link_clock.h"
#include "platform/core/runtime.h"
#include "platform/core/tcp.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned int kConnectTimeoutMs = 5000;
constexpr unsigned int kReadTimeoutMs = 5000;
constexpr unsigned int kWriteTimeoutMs = 2000;

// What the server sends beyond the receive queue is read in pieces of this size and dropped.
constexpr int kDropChunk = 4096;
// Dropping more than a few frames' worth is a flood, said once a conversation.
constexpr u64 kFloodReportBytes = 4 * kBufferSize;
// A flush before a request reads for at most this long: a flood that goes on must not hold
// the program in the flush (the reply wait then sees a bad frame, as on a noisy line).
constexpr double kFlushSeconds = 0.2;

class TcpConversationLine final : public ByteLine {
  public:
    // After a successful connection.
    void Opened(std::string where) {
        where_ = std::move(where);
        closed_ = LinkError::None;
        closureReported_ = false;
        count_ = 0;
    }
    void ClosedByServer() { closed_ = LinkError::ServerClosed; }

    int Write(const u8 *bytes, int count) override {
        return ClientTCPWrite(App.TcpHandle, bytes, unsigned(count), kWriteTimeoutMs);
    }
    int Available() override { return App.TcpConnected ? count_ : -1; }
    int Read(u8 *buffer, int count) override {
        const int n = std::clamp(count, 0, count_);
        std::memcpy(buffer, queue_, size_t(n));
        std::memmove(queue_, queue_ + n, size_t(count_ - n));
        count_ -= n;
        return n;
    }
    LineWait WaitFor(int count, double deadline, int, const i16 *keepWaiting) override {
        return WaitOnEvents(*this, count, deadline, keepWaiting);
    }
    void Flush() override;
    int LineErrors() override { return 0; }
    LinkError WhyClosed() override { return closed_; }
    std::string Where() override { return where_; }
    void Close() override {
        if (App.TcpConnected) DisconnectFromTCPServer(App.TcpHandle);
        App.TcpConnected = 0;
    }

    // The data callback's part: what arrived into the queue, the rest dropped.
    void Receive();

  private:
    // Reads up to one piece of what is waiting and drops it. Returns the number dropped.
    int DropWaiting(unsigned int timeoutMs);

    u8 queue_[kBufferSize] = {};
    int count_ = 0;
    std::string where_;
    LinkError closed_ = LinkError::None;
};

TcpConversationLine g_tcp;

int TcpConversationLine::DropWaiting(unsigned int timeoutMs) {
    u8 scratch[kDropChunk];
    const int n = ClientTCPRead(App.TcpHandle, scratch, sizeof scratch, timeoutMs);
    if (n <= 0) return 0;
    App.TcpDropped += u64(n);
    if (!App.TcpFloodReported && App.TcpDropped > kFloodReportBytes) {
        App.TcpFloodReported = 1;
        LinkFlood(App.TcpDropped);
    }
    return n;
}

void TcpConversationLine::Receive() {
    if (count_ >= kBufferSize) {
        DropWaiting(kReadTimeoutMs);
        return;
    }
    const int n = ClientTCPRead(App.TcpHandle, queue_ + count_, unsigned(kBufferSize - count_),
                                kReadTimeoutMs);
    if (n > 0) count_ += n; // a read error adds nothing
}

void TcpConversationLine::Flush() {
    count_ = 0;
    if (!App.TcpConnected) return;
    // A read may also hand bytes to the data callback, nested, which keeps or drops them
    // itself: the flush goes on while anything at all came in.
    const double start = LinkClock();
    for (;;) {
        const u64 dropped = App.TcpDropped;
        DropWaiting(0);
        const bool cameIn = App.TcpDropped != dropped || count_ != 0;
        count_ = 0;
        if (!cameIn || LinkClock() - start > kFlushSeconds) break;
    }
}

} // namespace

ByteLine &TcpLine() {
    return g_tcp;
}

int OpenTcpLine(const char *server, int port) {
    SetWaitCursor(1);
    const int result = ConnectToTCPServerEx(&App.TcpHandle, unsigned(port), server, ClientTCPCB,
                                            nullptr, kConnectTimeoutMs, 0);
    SetWaitCursor(0);
    const std::string where = std::string(server) + ":" + std::to_string(port);
    if (result >= 0) {
        App.TcpConnected = 1;
        App.TcpDropped = 0;
        App.TcpFloodReported = 0;
        g_tcp.Opened(where);
        return result;
    }
    App.TcpConnected = 0;
    LinkFault fault;
    fault.code = LinkError::TcpConnect;
    fault.number = result;
    char systemText[128];
    fault.reason = GetTCPConnectReason(systemText, sizeof systemText);
    if (fault.reason != kTcpReasonNone) fault.systemText = systemText;
    fault.where = where;
    LinkFailure(fault);
    return result;
}

void InitTCP_IP() {
    if (App.TcpConnected) DisconnectFromTCPServer(App.TcpHandle);
    App.TcpConnected = 0;
    App.LinkResult = OpenTcpLine(App.IpAddress, App.PortNumber);
}

int ClientTCPCB(unsigned int, int event, int, void *) {
    switch (event) {
    case TCP_DISCONNECT:
        g_tcp.ClosedByServer();
        App.TcpHandle = 0;
        App.TcpConnected = 0;
        g_tcp.ReportClosure();
        break;
    case TCP_DATAREADY:
        g_tcp.Receive();
        break;
    default:
        break;
    }
    return 0;
}
