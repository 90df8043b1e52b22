// The request frames as the sensor receives them, over TCP on 127.0.0.1 and over the serial
// line on a pseudo-terminal: every order the link and the parameter transfer send.
#include "link_fixture.h"

#include "link/exchange.h"
#include "protocol/frame.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A request frame in the sensor log's hex notation, built by the protocol's frame code (whose
// bytes tests/protocol checks against the golden values).
std::string Request(u8 order, u16 argument, const std::vector<u8> &data = {}) {
    u8 frame[FrameMaxSize];
    const int n = frameBuild(frame, sizeof frame, order, argument, data.data(), int(data.size()));
    std::string out;
    char b[4];
    for (int i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", frame[i]);
        out += b;
    }
    return out;
}

const std::string kOrder1 = Request(OrderSendPara, 0, {50, 0, 25, 0, 0, 0, 0, 0});
const std::string kOrder2 = Request(OrderGetPara, 0);
const std::string kOrder7 = Request(OrderFirmware, 0);
const std::string kOrder8 = Request(OrderLiveData, 0);
const std::string kOrder15 = Request(OrderSensorId, 0);
const std::string kOrder190 = Request(OrderChangeBaudrate, 4);

class WireTest : public LinkTest, public ::testing::WithParamInterface<bool> {
  protected:
    bool Tcp() const { return GetParam(); }
};

void SetPage(u16 a, u16 b, u16 c, u16 d) {
    SetCtrlVal(App.ParaTab, PARA_STROKE_TOL, unsigned(a));
    SetCtrlVal(App.ParaTab, PARA_BAD_CNT_TO_FAIL, unsigned(b));
    SetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, unsigned(c));
    SetCtrlVal(App.ParaTab, PARA_CNT_STROKE_EDGE, unsigned(d));
}

} // namespace

TEST_P(WireTest, RequestFramesOnTheLine) {
    if (Tcp())
        UseTcp();
    else
        UseSerial(1, 4);
    Connect();

    SetPage(50, 25, 0, 0);
    Click(App.MainPanel, MAINP_SEND); // RAM is selected
    Click(App.MainPanel, MAINP_GET);
    FillTxBuf(OrderLiveData, 0, 0); // the live cycle's request
    EXPECT_EQ(DataExchange(8), 1);
    Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
    if (Tcp()) {
        FillTxBuf(OrderChangeBaudrate, 4, 0);
        EXPECT_EQ(DataExchange(8), 1);
    } else {
        Click(App.ConnectTab, CONNECT_CHANGE_BAUDRATE); // to the rate it runs at already
    }

    // SEND reads the values back (order 2) after sending them.
    std::vector<std::string> expected = {kOrder1, kOrder2,  kOrder2, kOrder8,
                                         kOrder7, kOrder15, kOrder2, kOrder190};
    if (!Tcp()) // the baud-rate change ends in a new connection attempt
        expected.insert(expected.end(), {kOrder7, kOrder15, kOrder2});
    EXPECT_EQ(Requests(), expected);
    EXPECT_EQ(App.LinkOk, 1) << Status();
    for (const tavsim::LogEntry &e : sim->requests())
        EXPECT_EQ(e.link, Tcp() ? "tcp" : "serial");
}

INSTANTIATE_TEST_SUITE_P(Link, WireTest, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "Tcp" : "Serial"; });
