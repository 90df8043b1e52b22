// One request and one reply with the sensor: FillTxBuf builds the request, DataExchange sends
// it and receives the reply in two stages (header, then data), each allowed 3 s on the link's
// clock, with events processed on every pass of the wait. Every failure ends in LinkFailure.
#include "link/exchange.h"

#include "link/byte_line.h"
#include "link/link_clock.h"
#include "protocol/frame.h"

#include <cstring>

namespace {

constexpr double kReplyWaitSeconds = 3.0;

int g_expectedData = -1;  // data bytes the next reply is expected to carry; -1: not known
int g_closuresBefore = 0; // the line's closure reports when the exchange or the wait began

// The line is not open. A closure seen during this exchange (here, or by the line's own
// notice) is reported once, as what it is; a line that was closed before the exchange began
// cannot answer: a time-out.
int LineClosedFailure(ByteLine &line) {
    line.ReportClosure();
    return line.ClosureReports() != g_closuresBefore ? -1 : LinkFailure(LinkError::Timeout);
}

// Waits up to 3 s from now for `needed` bytes on the line: 1 once they are there, else -1
// after the failure is reported.
int WaitForReply(ByteLine &line, int needed, int expected) {
    App.WaitStartTime = LinkClock();
    switch (line.WaitFor(needed, App.WaitStartTime + kReplyWaitSeconds, expected, nullptr)) {
    case LineWait::Complete:
        // A line error while the bytes came spoils them as much as one that came first.
        App.ComStatError = line.LineErrors();
        return App.ComStatError > 0 ? LinkFailure(LinkError::Timeout) : 1;
    case LineWait::Closed:
        return LineClosedFailure(line);
    default: // time up, or a line error
        return LinkFailure(LinkError::Timeout);
    }
}

} // namespace

void FillTxBuf(u8 order, u16 argument, u16 length) {
    if (length > kMaxData) length = kMaxData; // TxData holds no more
    // The data are already in place behind the header, so the frame cannot fail to build.
    int frameLength =
        frameBuild(App.TxFrame, sizeof App.TxFrame, order, argument, TxData(), length);
    std::memcpy(App.TxBuf, App.TxFrame, std::size_t(frameLength));
}

void ExpectReplyData(int length) {
    g_expectedData = length;
}

int DataExchange(int frameLength) {
    std::memset(App.RxBuf, 0, sizeof App.RxBuf);
    App.ComStatError = 0;
    if (frameLength < 0) frameLength = 0;
    if (frameLength > kBufferSize) frameLength = kBufferSize;
    ByteLine &line = LinkLine();
    g_closuresBefore = line.ClosureReports();
    line.Flush(); // the reply is the first thing the wait sees
    App.RxCount = 0;
    // A failed write is not examined: it shows up as a missing reply.
    line.Write(App.TxBuf, frameLength);
    int r = GetHeaderFrame();
    if (r == 1 && App.RxLength != 0) return GetDataFrame();
    return r;
}

int GetHeaderFrame() {
    const int expected = g_expectedData >= 0 ? kHeaderSize + g_expectedData : 0;
    g_expectedData = -1;
    ByteLine &line = LinkLine();
    if (WaitForReply(line, kHeaderSize, expected) != 1) return -1;
    line.Read(App.RxBuf, kHeaderSize);
    if (CheckHeaderCRC() != 1) return -1;
    if (App.RxOrder == OrderErrorReply) return ErrorReplyFailure();
    // A reply answers the order sent: a frame of another order (one left over from an earlier
    // request, or a sensor out of step) would show that order's data as the answer.
    if (App.RxOrder != App.TxBuf[1]) return LinkFailure(LinkError::HeaderCrc);
    return 1;
}

int ErrorReplyFailure() {
    if (App.RxArgument == ErrorInvalidOrder) return LinkFailure(LinkError::InvalidOrder);
    if (App.RxArgument == ErrorLine) return LinkFailure(LinkError::LineError);
    LinkFault fault;
    fault.code = LinkError::SensorError;
    fault.number = App.RxArgument;
    return LinkFailure(fault);
}

int GetDataFrame() {
    // RxData holds 1016 bytes; a longer announcement cannot be a reply of this sensor, and its
    // data are not read into the buffer.
    if (App.RxLength > kMaxData) return LinkFailure(LinkError::DataCrc);
    ByteLine &line = LinkLine();
    if (WaitForReply(line, App.RxLength, 0) != 1) return -1;
    line.Read(RxData(), App.RxLength);
    if (frameDataCrc(RxData(), App.RxLength) != App.RxDataCrc)
        return LinkFailure(LinkError::DataCrc);
    return 1;
}

int CheckHeaderCRC() {
    FrameHeader h;
    if (!frameCheckHeader(App.RxBuf, &h)) return LinkFailure(LinkError::HeaderCrc);
    App.RxOrder = h.order;
    App.RxArgument = h.argument;
    App.RxLength = h.length;
    App.RxDataCrc = h.dataCrc;
    return 1;
}

int WaitForFrameHeader(const i16 *keepWaiting) {
    ByteLine &line = LinkLine();
    g_closuresBefore = line.ClosureReports();
    switch (line.WaitFor(kHeaderSize, kNoDeadline, 0, keepWaiting)) {
    case LineWait::Complete:
        line.Read(App.RxBuf, kHeaderSize);
        return 1;
    case LineWait::Stopped:
        return 0;
    case LineWait::Closed:
        return LineClosedFailure(line);
    default: // a line error
        return LinkFailure(LinkError::Timeout);
    }
}
