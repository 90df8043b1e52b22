// libFuzzer target for the receive path of the sensor link: the fuzzer's bytes are what the
// sensor sends, arriving on a fake byte line in chunks, with line errors and the line closing
// mixed in as the first bytes choose. The program runs exchanges (and, as chosen, waits for a
// recorder's record) until the bytes are used up. No exchange may crash, touch memory outside
// the receive buffer, or end with anything but 1 or -1; a reply taken as valid must be one, and
// answer the order sent; and every failure is reported exactly once, a success not at all.
#include "link/event_wait.h"
#include "link/exchange.h"
#include "link/link_fault.h"
#include "protocol/frame.h"
#include "tests/support/fake_line.h"

#include <cstdlib>

// The link's serial and TCP lines are not part of this target: the fake stands in for both.
namespace {
FakeLine *g_fake = nullptr;
} // namespace
ByteLine &SerialLine() {
    return *g_fake;
}
ByteLine &TcpLine() {
    return *g_fake;
}
// The fake line here keeps its own clock (no step set), so it never waits on the window's events;
// the event wait is linked only so that the fake line is complete, and stops the run if reached.
LineWait WaitOnEvents(ByteLine &, int, double, const i16 *) {
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 4) return 0;
    App = AppState{};
    FakeLine line;
    g_fake = &line;
    line.Install();
    const uint8_t mode = data[0];
    const size_t chunk = size_t(data[1] % 64) + 1;
    const bool recorder = mode & 1;
    const int lineErrorEvery = (mode >> 1) & 7; // chunks between two line errors (0: none)
    const size_t closeAt = (mode & 0x80) ? size_t(data[2]) + 1 : 0; // bytes before the close
    const uint8_t order = data[3];
    const uint8_t *stream = data + 4;
    const size_t length = size - 4;

    // One chunk of the stream every 50 ms: a 3-s wait spans about 60 of them.
    constexpr double kChunkSeconds = 0.05;
    const double start = FakeLine::Now();
    for (size_t at = 0, n = 0; at < length; at += chunk, ++n) {
        const double when = start + double(n) * kChunkSeconds;
        const size_t end = at + chunk < length ? at + chunk : length;
        line.Arrive(when, FakeLine::Bytes(stream + at, stream + end));
        if (lineErrorEvery && n % size_t(7 + lineErrorEvery) == size_t(lineErrorEvery))
            line.LineErrorAt(when);
        if (closeAt && at < closeAt && closeAt <= end) line.CloseAt(when, LinkError::ServerClosed);
    }
    const double end = start + double(length / chunk + 1) * kChunkSeconds;

    for (int exchange = 0; exchange < 16 && FakeLine::Now() <= end; ++exchange) {
        const int failuresBefore = LinkFailureCount();
        const bool record = recorder && exchange % 2 == 1;
        int r;
        if (record) {
            App.ScanRunning = 1;
            r = WaitForFrameHeader(&App.ScanRunning);
            if (r == 1) r = CheckHeaderCRC();
            if (r == 1 && App.RxLength != 0) r = GetDataFrame();
        } else {
            FillTxBuf(order, 0, 0);
            r = DataExchange(kHeaderSize);
        }
        if (r != 1 && r != -1) std::abort();
        if (LinkFailureCount() != failuresBefore + (r == 1 ? 0 : 1)) std::abort();
        if (r == 1) {
            // Accepted: a correct header (of a reply, one to the order sent), and data that fit
            // and match their CRC.
            if (!frameCheckHeader(App.RxBuf, nullptr)) std::abort();
            if (!record && App.RxOrder != order) std::abort();
            if (App.RxLength > kMaxData) std::abort();
            if (App.RxLength &&
                crc8Update(App.RxBuf, kHeaderSize, App.RxLength, Crc8Table) != App.RxDataCrc)
                std::abort();
        }
    }
    g_fake = nullptr;
    return 0;
}
