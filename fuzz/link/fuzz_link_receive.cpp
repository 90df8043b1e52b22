// libFuzzer target for the receive path of the sensor link: the fuzzer's bytes are the
// sensor's replies, on the serial line or the TCP conversation, arriving in chunks, with read
// errors, line errors and a server close mixed in as the first bytes choose. The program runs
// exchanges until the bytes are used up. No exchange may crash, touch memory outside the
// receive buffer, or end with anything but 1 or -1; a reply taken as valid must be one.
#include "fake_line.h"

#include "base/state.h"
#include "link/exchange.h"
#include "protocol/frame.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 4) return 0;
    App = AppState{};
    g_line = FakeLine{};
    const uint8_t mode = data[0];
    g_line.tcp = mode & 1;
    g_line.chunk = size_t(data[1] % 64) + 1;
    g_line.readErrorEvery = (mode >> 1) & 7;
    g_line.lineErrorEvery = (mode >> 4) & 7 ? 7 + ((mode >> 4) & 7) : 0;
    g_line.closeAt = (mode & 0x80) ? size_t(data[2]) + 1 : 0;
    const uint8_t order = data[3];
    g_line.bytes = data + 4;
    g_line.size = size - 4;
    App.ComProtocol = g_line.tcp ? 1 : 0;
    App.ComPort = 1;
    App.TcpHandle = 1;
    App.TcpConnected = 1;

    for (int exchange = 0; exchange < 16; ++exchange) {
        FillTxBuf(order, 0, 0);
        int r = DataExchange(kHeaderSize);
        if (r != 1 && r != -1) std::abort();
        if (App.RxCount < 0 || (g_line.tcp && App.RxCount > kBufferSize)) std::abort();
        if (std::memchr(App.ErrorText, 0, sizeof App.ErrorText) == nullptr) std::abort();
        if (r == 1) {
            // Accepted: a correct header, and data that fit and match their CRC.
            if (!frameCheckHeader(App.RxBuf, nullptr)) std::abort();
            if (App.RxLength > kMaxData) std::abort();
            if (App.RxLength &&
                crc8Update(App.RxBuf, kHeaderSize, App.RxLength, Crc8Table) != App.RxDataCrc)
                std::abort();
        }
        if (g_line.sent >= g_line.size && g_line.taken >= g_line.sent) break;
    }
    return 0;
}
