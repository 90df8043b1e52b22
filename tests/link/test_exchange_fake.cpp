// The exchange on a fake byte line, without a window, an event loop or a device: the request
// on the line, how long each wait is (the header 3 s, the data their own 3 s, the recorder's
// record as long as the trigger takes), every failure code with one report each, and the
// state a failure leaves. The fake line's clock makes every wait end at once.
#include "link/exchange.h"
#include "link/link_fault.h"
#include "protocol/frame.h"
#include "tests/support/fake_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<u8>;

Bytes Frame(u8 order, u16 argument, const Bytes &data = {}) {
    Bytes out(FrameMaxSize);
    out.resize(size_t(
        frameBuild(out.data(), int(out.size()), order, argument, data.data(), int(data.size()))));
    return out;
}

std::vector<LinkFault> g_reports;

class FakeExchange : public ::testing::Test {
  protected:
    FakeLine line;

    void SetUp() override {
        App = AppState{};
        App.LinkOk = 1;
        App.Running = 1;
        g_reports.clear();
        SetLinkFailureHandler([](const LinkFault &f) { g_reports.push_back(f); });
        line.Install();
    }
    void TearDown() override { SetLinkFailureHandler(nullptr); }

    // Order 2 exchanged; the fake clock's seconds it took in *seconds.
    int GetPara(double *seconds = nullptr) {
        const double start = FakeLine::Now();
        FillTxBuf(OrderGetPara, 0, 0);
        const int r = DataExchange(kHeaderSize);
        if (seconds) *seconds = FakeLine::Now() - start;
        return r;
    }
    // Exactly one failure was reported, with this code, and the link is marked failed.
    void ExpectOneReport(LinkError code) {
        ASSERT_EQ(g_reports.size(), 1u);
        EXPECT_EQ(int(g_reports[0].code), int(code));
        EXPECT_EQ(int(LastLinkFault().code), int(code));
        EXPECT_EQ(App.LinkOk, 0);
        EXPECT_EQ(App.Running, 0);
    }
};

const Bytes kParams = {50, 0, 25, 0, 1, 0, 0, 0};

} // namespace

TEST_F(FakeExchange, RequestGoesOutAndAValidReplyIsTaken) {
    line.Reply(Frame(OrderGetPara, 7, kParams), 0.01, 0.001);
    ASSERT_EQ(GetPara(), 1);
    ASSERT_EQ(line.written.size(), 1u);
    EXPECT_EQ(line.written[0], (Bytes{0x55, 0x02, 0x00, 0x00, 0x00, 0x00, 0xAA, 0xB9}));
    EXPECT_EQ(App.RxOrder, OrderGetPara);
    EXPECT_EQ(App.RxArgument, 7);
    EXPECT_EQ(App.RxLength, 8);
    EXPECT_EQ(Bytes(RxData(), RxData() + 8), kParams);
    EXPECT_TRUE(g_reports.empty());
    EXPECT_EQ(App.LinkOk, 1);

    // A reply without data is complete after its header; its data CRC byte is not looked at.
    Bytes bare = Frame(OrderStoreEeprom, 0);
    bare[6] = 0x00;
    bare[7] = crc8Update(bare.data(), 0, 7, Crc8Table);
    line.Reply(bare);
    FillTxBuf(OrderStoreEeprom, 0, 0);
    EXPECT_EQ(DataExchange(kHeaderSize), 1);
    EXPECT_EQ(App.RxLength, 0);
    EXPECT_TRUE(g_reports.empty());
}

// The header is waited for 3 s: a reply whose last header byte comes just within them is
// taken, one just beyond them is not; the wait ends just after the 3 s, not later.
TEST_F(FakeExchange, TheHeaderWaitEndsWhenMoreThanThreeSecondsHavePassed) {
    line.Reply(Frame(OrderGetPara, 0, kParams), 2.999);
    double seconds = 0;
    EXPECT_EQ(GetPara(&seconds), 1);
    EXPECT_NEAR(seconds, 2.999, 1e-9);

    line.Reply(Frame(OrderGetPara, 0, kParams), 3.001);
    EXPECT_EQ(GetPara(&seconds), -1);
    ExpectOneReport(LinkError::Timeout);
    EXPECT_GT(seconds, 3.0);
    EXPECT_LT(seconds, 3.0001);
}

// The data get 3 s of their own from the end of the header: 2.9 s for the header and 2.9 s
// more for the data is a good reply; data 3.1 s behind their header time out at 3 s after it.
TEST_F(FakeExchange, TheDataGetTheirOwnThreeSeconds) {
    Bytes reply = Frame(OrderGetPara, 0, kParams);
    line.Arrive(FakeLine::Now() + 2.9, Bytes(reply.begin(), reply.begin() + 8));
    line.Arrive(FakeLine::Now() + 5.8, Bytes(reply.begin() + 8, reply.end()));
    double seconds = 0;
    EXPECT_EQ(GetPara(&seconds), 1);
    EXPECT_NEAR(seconds, 5.8, 1e-9);

    reply = Frame(OrderGetPara, 0, kParams);
    line.Arrive(FakeLine::Now() + 1, Bytes(reply.begin(), reply.begin() + 8));
    line.Arrive(FakeLine::Now() + 4.1, Bytes(reply.begin() + 8, reply.end()));
    EXPECT_EQ(GetPara(&seconds), -1);
    ExpectOneReport(LinkError::Timeout);
    EXPECT_NEAR(seconds, 4.0, 1e-4);
}

TEST_F(FakeExchange, EachBadReplyFailsWithItsCodeReportedOnce) {
    Bytes badHeaderCrc = Frame(OrderGetPara, 0, kParams);
    badHeaderCrc[7] ^= 0xFF;
    Bytes badStart = Frame(OrderGetPara, 0, kParams);
    badStart[0] = 0x5A;
    badStart[7] = crc8Update(badStart.data(), 0, 7, Crc8Table);
    Bytes badDataCrc = Frame(OrderGetPara, 0, kParams);
    badDataCrc[6] ^= 0xFF;
    badDataCrc[7] = crc8Update(badDataCrc.data(), 0, 7, Crc8Table);
    // A header announcing 1100 data bytes, and the 1100 bytes.
    Bytes tooLong = Frame(OrderGetPara, 0);
    putU16(tooLong.data() + 4, 1100);
    tooLong[7] = crc8Update(tooLong.data(), 0, 7, Crc8Table);
    tooLong.resize(8 + 1100, 0x11);
    Bytes shortData = Frame(OrderGetPara, 0, kParams);
    shortData.resize(shortData.size() - 3);
    struct Case {
        const char *what;
        Bytes reply;
        LinkError code;
    } const cases[] = {
        {"header CRC", badHeaderCrc, LinkError::HeaderCrc},
        {"start byte", badStart, LinkError::HeaderCrc},
        {"data CRC", badDataCrc, LinkError::DataCrc},
        {"more data than a reply holds", tooLong, LinkError::DataCrc},
        {"error reply 1", Frame(OrderErrorReply, ErrorInvalidOrder), LinkError::InvalidOrder},
        {"error reply 2", Frame(OrderErrorReply, ErrorLine), LinkError::LineError},
        {"a reply to another order", Frame(OrderLiveData, 0, Bytes(28, 0x32)),
         LinkError::HeaderCrc},
        {"data short", shortData, LinkError::Timeout},
        {"no reply", {}, LinkError::Timeout},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        line.Reply(c.reply);
        EXPECT_EQ(GetPara(), -1);
        ExpectOneReport(c.code);
    }
    // An error reply with another number is the sensor's error, and says its number.
    for (u16 number : {u16(0), u16(3), u16(0xFFFF)}) {
        SCOPED_TRACE(number);
        SetUp();
        line.Reply(Frame(OrderErrorReply, number));
        EXPECT_EQ(GetPara(), -1);
        ExpectOneReport(LinkError::SensorError);
        EXPECT_EQ(LastLinkFault().number, number);
    }
}

// A line error while the reply is awaited ends the wait as a time-out does.
TEST_F(FakeExchange, ALineErrorEndsTheWaitAsATimeOut) {
    line.LineErrorAt(FakeLine::Now() + 0.5);
    line.Reply(Frame(OrderGetPara, 0, kParams), 1.0);
    double seconds = 0;
    EXPECT_EQ(GetPara(&seconds), -1);
    ExpectOneReport(LinkError::Timeout);
    EXPECT_NEAR(seconds, 0.5, 1e-9);
}

// One failure, one report: a line that closes during the wait says so once, at once; the next
// exchange on the closed line is a time-out, said at once as well.
TEST_F(FakeExchange, ALineClosingDuringTheWaitIsReportedOnceAsWhatItIs) {
    line.CloseAt(FakeLine::Now() + 0.2, LinkError::DeviceGone);
    double seconds = 0;
    EXPECT_EQ(GetPara(&seconds), -1);
    ExpectOneReport(LinkError::DeviceGone);
    EXPECT_EQ(g_reports[0].where, "fake line");
    EXPECT_NEAR(seconds, 0.2, 1e-9);

    EXPECT_EQ(GetPara(&seconds), -1);
    ASSERT_EQ(g_reports.size(), 2u);
    EXPECT_EQ(int(g_reports[1].code), int(LinkError::Timeout));
    EXPECT_EQ(seconds, 0);
}

// The recorder's record: no time limit (it comes when the trigger fires), BREAK ends the wait
// without a report, a closing line with one.
TEST_F(FakeExchange, TheRecordIsAwaitedAsLongAsTheTriggerTakes) {
    App.ScanRunning = 1;
    const Bytes record = Frame(OrderScope, 0, Bytes(258, 0x22));
    line.Arrive(FakeLine::Now() + 3600, record);
    ASSERT_EQ(WaitForFrameHeader(&App.ScanRunning), 1);
    EXPECT_EQ(Bytes(App.RxBuf, App.RxBuf + 8), Bytes(record.begin(), record.begin() + 8));
    ASSERT_EQ(CheckHeaderCRC(), 1);
    ASSERT_EQ(GetDataFrame(), 1);
    EXPECT_EQ(RxData()[257], 0x22);
    EXPECT_TRUE(g_reports.empty());

    // BREAK, from inside the wait: no report.
    line.At(FakeLine::Now() + 10, [] { App.ScanRunning = 0; });
    line.Arrive(FakeLine::Now() + 20, record);
    EXPECT_EQ(WaitForFrameHeader(&App.ScanRunning), 0);
    EXPECT_TRUE(g_reports.empty());

    // A hang-up while the recording waits: reported once, as a hang-up.
    App.ScanRunning = 1;
    line.CloseAt(FakeLine::Now() + 5, LinkError::DeviceGone);
    EXPECT_EQ(WaitForFrameHeader(&App.ScanRunning), -1);
    ExpectOneReport(LinkError::DeviceGone);
    EXPECT_EQ(App.ScanRunning, 0);
}

// Without a handler the link still marks itself failed and keeps the fault: a program with no
// window learns what went wrong from the code.
TEST_F(FakeExchange, WithoutAHandlerTheFailureIsKeptForTheCaller) {
    SetLinkFailureHandler(nullptr);
    const int before = LinkFailureCount();
    line.Reply(Frame(OrderErrorReply, ErrorLine));
    EXPECT_EQ(GetPara(), -1);
    EXPECT_EQ(int(LastLinkFault().code), int(LinkError::LineError));
    EXPECT_EQ(LinkFailureCount(), before + 1);
    EXPECT_EQ(App.LinkOk, 0);
}

// The wait of the serial and TCP lines (the event loop's passes with the line looked at in
// between), on the fake line with the clock moving on 1 ms a reading: it ends as soon as the
// bytes are there, just after its deadline and no later, and a cleared flag, a closed line or a
// line error end it in that order of precedence after the flag.
TEST_F(FakeExchange, TheRealLinesWaitEndsAsSoonAsItsCauseIsThere) {
    const i16 running = 1, stopped = 0;
    struct Case {
        const char *what;
        double bytesAt, closeAt, errorAt;
        const i16 *flag;
        LineWait result;
        double endsAt; // seconds after the start, within a step
    } const cases[] = {
        {"bytes in time", 1.5, 0, 0, nullptr, LineWait::Complete, 1.5},
        {"bytes too late", 3.5, 0, 0, nullptr, LineWait::TimedOut, 3.0},
        {"the flag cleared", 0.5, 0, 0, &stopped, LineWait::Stopped, 0},
        {"the flag set", 0.5, 0, 0, &running, LineWait::Complete, 0.5},
        {"the line closes", 2.0, 1.0, 0, nullptr, LineWait::Closed, 1.0},
        {"a line error", 2.0, 0, 0.7, nullptr, LineWait::LineError, 0.7},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FakeLine each;
        each.WaitAsTheRealLinesDo(0.001);
        const double at = FakeLine::Now();
        each.Arrive(at + c.bytesAt, Bytes(8, 0x55));
        if (c.closeAt > 0) each.CloseAt(at + c.closeAt, LinkError::ServerClosed);
        if (c.errorAt > 0) each.LineErrorAt(at + c.errorAt);
        EXPECT_EQ(int(each.WaitFor(8, at + 3.0, 0, c.flag)), int(c.result));
        EXPECT_NEAR(FakeLine::Now() - at, c.endsAt, 0.0025);
    }
}
