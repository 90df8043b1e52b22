// The request frames as the sensor receives them, over TCP on 127.0.0.1 and over the serial
// line on a pseudo-terminal: every order the link and the parameter transfer send.
#include "link_fixture.h"

#include "link/exchange.h"
#include "protocol/frame.h"

namespace {

const char *kOrder1 = "55 01 00 00 08 00 21 69 32 00 19 00 00 00 00 00";
const char *kOrder2 = "55 02 00 00 00 00 AA B9";
const char *kOrder7 = "55 07 00 00 00 00 AA 52";
const char *kOrder8 = "55 08 00 00 00 00 AA 76";
const char *kOrder15 = "55 0F 00 00 00 00 AA F3";
const char *kOrder190 = "55 BE 04 00 00 00 AA DC";

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

    std::vector<std::string> expected = {kOrder1,  kOrder2, kOrder8,  kOrder7,
                                         kOrder15, kOrder2, kOrder190};
    if (!Tcp()) // the baud-rate change ends in a new connection attempt
        expected.insert(expected.end(), {kOrder7, kOrder15, kOrder2});
    EXPECT_EQ(Requests(), expected);
    EXPECT_EQ(App.LinkOk, 1) << Status();
    for (const tavsim::LogEntry &e : sim->requests())
        EXPECT_EQ(e.link, Tcp() ? "tcp" : "serial");
}

INSTANTIATE_TEST_SUITE_P(Link, WireTest, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "Tcp" : "Serial"; });
