// The link's pure parts: the request frames FillTxBuf builds, the baud-rate table,
// the typed port number, the open error texts and the reading of the firmware text.
#include "base/state.h"
#include "base/texts.h"
#include "link/exchange.h"
#include "link/link_codes.h"
#include "linktext/linktext.h"
#include "protocol/frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Hex(const u8 *bytes, int count) {
    std::string out;
    char b[4];
    for (int i = 0; i < count; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
        out += b;
    }
    return out;
}

} // namespace

// The frames' bytes themselves are checked against the protocol's golden values in
// tests/protocol; here FillTxBuf must put exactly those frames into TxBuf, and no more.
TEST(FillTxBuf, PutsTheProtocolsFrameIntoTxBufAndNothingBeyond) {
    struct Case {
        u8 order;
        u16 argument;
        std::vector<u8> data;
    } cases[] = {
        {OrderGetPara, 0, {}},
        {OrderFirmware, 0, {}},
        {OrderLiveData, 0, {}},
        {OrderSensorId, 0, {}},
        {OrderChangeBaudrate, 4, {}},
        {OrderSendPara, 0, {0x32, 0x00, 0x19, 0x00, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const Case &c : cases) {
        u8 expected[FrameMaxSize];
        const int n = frameBuild(expected, sizeof expected, c.order, c.argument, c.data.data(),
                                 int(c.data.size()));
        ASSERT_GT(n, 0);
        std::memset(App.TxBuf, 0xEE, sizeof App.TxBuf);
        std::copy(c.data.begin(), c.data.end(), TxData());
        FillTxBuf(c.order, c.argument, u16(c.data.size()));
        EXPECT_EQ(Hex(App.TxBuf, n), Hex(expected, n)) << int(c.order);
        EXPECT_EQ(App.TxBuf[n], 0xEE) << "only the frame is copied";
    }
}

TEST(LinkCodes, BaudRateOfEveryIndexAndOfIndicesOutsideTheList) {
    const long rates[] = {9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(BaudRateFromIndex(i), rates[i]);
    for (int i : {8, 9, 255, 65535, -1})
        EXPECT_EQ(BaudRateFromIndex(i), 115200) << i;
}

TEST(LinkCodes, PortNumberIsTheValueOfTheLeadingDigits) {
    struct Case {
        const char *text;
        int value;
    } cases[] = {{"5000", 5000},
                 {"502x", 502},
                 {"  7", 7},
                 {"", 0},
                 {"abc", 0},
                 {"-5", 0},
                 {"99999999999", 2147483647}};
    for (const Case &c : cases)
        EXPECT_EQ(PortNumberFromText(c.text), c.value) << c.text;
    EXPECT_EQ(PortNumberFromText(nullptr), 0);
}

TEST(LinkCodes, OpenErrorTextsInBothLanguages) {
    struct Case {
        bool tcp;
        int code;
        const char *ger, *eng;
    } cases[] = {
        {false, -2, "Ungueltige Portnummer", "Invalid port number"},
        {false, -4, "Unbekannter I/O Fehler", "Unknown I/0 error"},
        {false, -7, "Port kann nicht geoeffnet werden", "Cannot open port"},
        {false, -14, "Ungueltige Baudrate", "Invalid Baudrate"},
        {false, -99, "Timeout", "Timeout"},
        {false, -5, "RS-232 Fehler!", "RS-232 error!"},
        {false, 3, "RS-232 Fehler!", "RS-232 error!"},
        {true, -1, "Dienst konnte nicht registriert werden", "Unable to register service"},
        {true, -4, "Verbindungsfehler", "Failed to connect"},
        {true, -11, "Timeout", "Time out error"},
        {true, -20, "Info nicht verfuegbar", "Info not available"},
        {true, -21, "Verbindung mit Server fehlgeschlagen", "Connection to server failed"},
        {true, 0, "Verbindung mit Server fehlgeschlagen", "Connection to server failed"},
    };
    for (const Case &c : cases) {
        const TextPair &t = c.tcp ? TcpErrorText(c.code) : SerialErrorText(c.code);
        EXPECT_STREQ(t.ger, c.ger) << c.code;
        EXPECT_STREQ(t.eng, c.eng) << c.code;
    }
}

TEST(LinkCodes, FirmwareTextVersionAndDisplay) {
    struct Case {
        const char *text;
        const char *version;
        const char *display;
    } cases[] = {
        {"TAVIRON V1.0", "TAVIRON V1.0", "TAVIRON V1.0"},
        // One blank between version and date; the sub-version is not shown.
        {"TAVIRON V1.0.7 31.12.2026", "TAVIRON V1.0", "TAVIRON V1.0 31.12.2026"},
        {"TAVIRON V1.0.3 2026-11-28", "TAVIRON V1.0", "TAVIRON V1.0 2026-11-28"},
        {"TAVIRON V1.0.3 build 7 2026", "TAVIRON V1.0", "TAVIRON V1.0 build 7 2026"},
        {"TAVIRON V1.1.0 2027-01-02", "TAVIRON V1.1", "TAVIRON V1.1 2027-01-02"},
        {"TAVIRON V1.0.3 ", "TAVIRON V1.0", "TAVIRON V1.0"}, // a blank, but no date
        {"TAVIRON V2.0", "TAVIRON V2.0", "TAVIRON V2.0"},
        {"TAVIRON", "TAVIRON.", "TAVIRON."},                // no "." at all
        {"TAVIRON V1.0.3", "TAVIRON V1.0", "TAVIRON V1.0"}, // no blank: no date
        {"", ".", "."},
    };
    for (const Case &c : cases) {
        FirmwareParts p = SplitFirmwareText(c.text);
        EXPECT_EQ(FirmwareVersionOf(p), c.version) << c.text;
        EXPECT_EQ(FirmwareDisplayOf(p), c.display) << c.text;
    }
}
