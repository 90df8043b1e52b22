// Recordings over TCP: the acknowledgement at once, the 258-byte record when the trigger fires
// (each mode), the break, and a disconnect while a recording waits.
#include "sim_fixture.h"

#include "sim/recorder.h"

using namespace simtest;
using namespace tavsim;

namespace {

std::vector<uint8_t> startRequest(int16_t level, int16_t mode, int16_t pre, int16_t rate) {
    return request(OrderScope, 1,
                   u16s({uint16_t(level), uint16_t(mode), uint16_t(pre), uint16_t(rate)}));
}

// The sample word at display index i, decoded the way the front end does it.
uint16_t displayed(const std::vector<uint8_t> &record, int mode, int pre, int i) {
    const int triggerIndex = getU16(record.data() + 256);
    const int s = mode == 0 ? 0 : triggerIndex + 128 - pre;
    return getU16(record.data() + 2 * ((s + i) & 0x7F));
}

} // namespace

TEST(SimRecorderLink, EachTriggerModeAcknowledgesThenSendsTheRecord) {
    struct Case {
        const char *name;
        bool wallClock;
        int16_t level, mode, pre, rate;
        std::function<void(SimSensor &)> fire; // what makes the trigger fire, after the ack
        std::function<bool(uint16_t before, uint16_t at)> fired;
    };
    const Case cases[] = {
        {"single shot", false, 0, ScopeSingleShot, 40, 1, {}, {}},
        {"rising edge",
         false,
         2000,
         ScopeRisingEdge,
         30,
         1,
         {},
         [](uint16_t b, uint16_t a) { return (b & 0xFFF) <= 2000 && (a & 0xFFF) > 2000; }},
        {"rising edge, wall clock",
         true,
         2000,
         ScopeRisingEdge,
         30,
         1,
         {},
         [](uint16_t b, uint16_t a) { return (b & 0xFFF) <= 2000 && (a & 0xFFF) > 2000; }},
        {"falling edge",
         false,
         1500,
         ScopeFallingEdge,
         127,
         3,
         {},
         [](uint16_t b, uint16_t a) { return (b & 0xFFF) >= 1500 && (a & 0xFFF) < 1500; }},
        {"OUT0 leaves tolerance", false, 0, ScopeOut0Fault, 5, 1,
         [](SimSensor &s) { s.setStrokeOffset(3000); },
         [](uint16_t b, uint16_t a) { return (b & LineOut0) && !(a & LineOut0); }},
        {"IN0 goes high", false, 0, ScopeIn0High, 90, 2, [](SimSensor &s) { s.setIn0(true); },
         [](uint16_t b, uint16_t a) { return !(b & LineIn0) && (a & LineIn0); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SimConfig config = tcpConfig();
        config.sensor.steppedClock = !c.wallClock;
        config.sensor.outlierProbability = 0;
        auto sim = startSim(config);
        RawClient client = RawClient::tcp(sim->tcpPort());
        // BAD CNT TO FAIL 1: one stroke outside the window takes OUT0 out of tolerance.
        ASSERT_EQ(client.exchange(request(OrderSendPara, 0, u16s({50, 1, 0, 0}))).header.argument,
                  0);

        client.send(startRequest(c.level, c.mode, c.pre, c.rate));
        Reply ack = client.readReply(1000);
        ASSERT_TRUE(ack.headerOk);
        EXPECT_EQ(ack.header.order, OrderScope);
        EXPECT_EQ(ack.header.length, 0);
        EXPECT_EQ(ack.raw.size(), 8u);
        if (c.fire) {
            EXPECT_TRUE(client.read(1, 100).empty()); // nothing until the trigger fires
            EXPECT_TRUE(sim->recordingWaiting());
            c.fire(*sim);
        }
        Reply rec = client.readReply(3000);
        ASSERT_TRUE(rec.dataOk);
        EXPECT_EQ(rec.header.order, OrderScope);
        ASSERT_EQ(rec.data.size(), size_t(ScopeRecordSize));
        EXPECT_LT(getU16(rec.data.data() + 256), 128);
        EXPECT_FALSE(sim->recordingWaiting());
        if (c.fired) {
            uint16_t before = displayed(rec.data, c.mode, c.pre, c.pre - 1);
            uint16_t at = displayed(rec.data, c.mode, c.pre, c.pre);
            EXPECT_TRUE(c.fired(before, at)) << std::hex << before << " " << at;
        } else {
            EXPECT_EQ(getU16(rec.data.data() + 256), 0);
        }
        EXPECT_TRUE(client.readQuiet(50).empty()); // 8 + 8 + 258 bytes in all
    }
}

TEST(SimRecorderLink, BreakEndsAWaitingRecording) {
    auto sim = startSim(tcpConfig());
    RawClient client = RawClient::tcp(sim->tcpPort());
    EXPECT_TRUE(client.exchange(startRequest(0, ScopeIn0High, 10, 1)).headerOk);
    EXPECT_TRUE(sim->recordingWaiting());
    // Live data are still served while the recording waits.
    EXPECT_TRUE(client.exchange(request(OrderLiveData)).dataOk);

    Reply brk = client.exchange(request(OrderScope, 0));
    EXPECT_EQ(brk.raw, (std::vector<uint8_t>{0x55, 0x6E, 0x00, 0x00, 0x00, 0x00, 0xAA,
                                             crc8Update(brk.raw.data(), 0, 7, Crc8Table)}));
    EXPECT_FALSE(sim->recordingWaiting());
    sim->setIn0(true);
    EXPECT_TRUE(client.read(1, 300).empty());

    // A break without a recording is answered the same way; a new recording works.
    EXPECT_EQ(client.exchange(request(OrderScope, 0)).header.order, OrderScope);
    EXPECT_TRUE(client.exchange(startRequest(0, ScopeSingleShot, 0, 1)).headerOk);
    EXPECT_TRUE(client.readReply(2000).dataOk);
}

TEST(SimRecorderLink, DisconnectDropsTheWaitingRecording) {
    auto sim = startSim(tcpConfig());
    {
        RawClient client = RawClient::tcp(sim->tcpPort());
        EXPECT_TRUE(client.exchange(startRequest(0, ScopeIn0High, 10, 1)).headerOk);
        EXPECT_TRUE(sim->recordingWaiting());
    }
    EXPECT_TRUE(eventually([&] { return !sim->recordingWaiting(); }));
    RawClient next = RawClient::tcp(sim->tcpPort());
    sim->setIn0(true);
    EXPECT_TRUE(next.read(1, 200).empty()); // no record for the new client
    EXPECT_TRUE(next.exchange(request(OrderFirmware)).dataOk);
}
