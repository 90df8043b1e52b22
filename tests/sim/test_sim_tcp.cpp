// The simulated sensor over real TCP on 127.0.0.1: each order's reply layout, the error replies,
// resynchronisation, parameters and EEPROM, the request log, one client at a time.
#include "sim_fixture.h"

#include "sim/link_session.h"
#include "sim/press_model.h"

#include <filesystem>

using namespace simtest;
using namespace tavsim;
namespace fs = std::filesystem;

namespace {

class SimTcp : public ::testing::Test {
  protected:
    void SetUp() override {
        sim = startSim(tcpConfig());
        client = std::make_unique<RawClient>(RawClient::tcp(sim->tcpPort()));
        ASSERT_TRUE(client->isOpen());
    }
    Reply ask(uint8_t order, uint16_t argument = 0, const std::vector<uint8_t> &data = {}) {
        return client->exchange(request(order, argument, data));
    }
    std::unique_ptr<SimSensor> sim;
    std::unique_ptr<RawClient> client;
};

} // namespace

TEST_F(SimTcp, IdentityReplies) {
    Reply fw = ask(OrderFirmware);
    ASSERT_TRUE(fw.dataOk);
    EXPECT_EQ(fw.header.order, OrderFirmware);
    EXPECT_EQ(fw.header.argument, 0);
    EXPECT_EQ(text(fw.data), "TAVIRON V1.0.3 2026-11-28");

    Reply id = ask(OrderSensorId);
    ASSERT_TRUE(id.dataOk);
    EXPECT_EQ(id.header.argument, 4711); // the serial number
    EXPECT_EQ(text(id.data), "TAVIRON PS-1");

    sim->setFirmware("TAVIRON V1.1.0 2027-01-01");
    EXPECT_EQ(text(ask(OrderFirmware).data), "TAVIRON V1.1.0 2027-01-01");
}

TEST_F(SimTcp, ParameterReplyIsByteExact) {
    Reply r = ask(OrderGetPara);
    const std::vector<uint8_t> expected = {0x55, 0x02, 0x00, 0x00, 0x08, 0x00, 0x21, 0x30,
                                           0x32, 0x00, 0x19, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(r.raw, expected);
}

TEST_F(SimTcp, LiveDataCycleTimeAndHardwareBlockLayouts) {
    Reply live = ask(OrderLiveData);
    ASSERT_TRUE(live.dataOk);
    ASSERT_EQ(live.data.size(), 28u);
    const uint8_t *d = live.data.data();
    const uint32_t period = getU32(d), gap = getU32(d + 4), stroke = getU32(d + 8);
    const uint32_t lower = getU32(d + 12), upper = getU32(d + 16);
    EXPECT_NEAR(period, 20000, 200);
    EXPECT_NEAR(gap, period / 4, 300);
    EXPECT_GT(stroke, gap);
    EXPECT_LT(stroke, period);
    EXPECT_NEAR(upper - lower, 2 * period * 50 / 1000, 2); // STROKE TOLERANCE 50 per mille
    EXPECT_EQ(getU32(d + 24) & ~0xFu, 0u);
    const LiveValues v = sim->liveValues();
    EXPECT_EQ(v.period, period);
    EXPECT_EQ(v.badLower, getU16(d + 20));
    EXPECT_EQ(v.badUpper, getU16(d + 22));

    Reply cycle = ask(OrderCycleTime);
    ASSERT_TRUE(cycle.dataOk);
    ASSERT_EQ(cycle.data.size(), 8u);
    const int32_t n0 = int32_t(getU32(cycle.data.data())), n1 = int32_t(getU32(&cycle.data[4]));
    EXPECT_EQ(n1, 80000); // 8 s in tenths of a millisecond
    const double hz = n0 / (n1 * 0.0001);
    EXPECT_NEAR(hz, 10000.0, 0.6); // the recorder's scan clock, within 50 ppm

    Reply hw = ask(OrderHardwareInfo, HardwareInfoKey);
    ASSERT_TRUE(hw.dataOk);
    ASSERT_EQ(hw.data.size(), 512u);
    EXPECT_EQ(getU16(hw.data.data()), 0x1234);
    EXPECT_EQ(getU16(hw.data.data() + 2), 4711);
    for (int k = 2; k < 256; ++k)
        ASSERT_EQ(getU16(hw.data.data() + 2 * k), 0xA500 + k) << k;
}

TEST_F(SimTcp, ErrorRepliesAndTheLinkRecoversAfterEach) {
    std::vector<uint8_t> badHeader = request(OrderGetPara);
    badHeader[7] ^= 0x01;
    std::vector<uint8_t> badData = request(OrderSendPara, 0, u16s({50, 25, 0, 0}));
    badData[15] ^= 0x01;
    std::vector<uint8_t> tooLong = {0x55, OrderLiveData, 0, 0, 0xF9, 0x03, 0xAA, 0};
    tooLong[7] = crc8Update(tooLong.data(), 0, 7, Crc8Table); // 1017 announced
    struct Case {
        const char *name;
        std::vector<uint8_t> frame;
        uint16_t code;
    };
    const Case cases[] = {
        {"unknown order", request(99), ErrorInvalidOrder},
        {"order 0", request(0), ErrorInvalidOrder},
        {"header CRC wrong", badHeader, ErrorLine},
        {"data CRC wrong", badData, ErrorLine},
        {"length above 1016", tooLong, ErrorLine},
        {"order 1 with 4 bytes", request(OrderSendPara, 0, u16s({50, 25})), ErrorInvalidOrder},
        {"order 194 with another key", request(OrderHardwareInfo, 0x3C5B), ErrorInvalidOrder},
        {"baud index 8", request(OrderChangeBaudrate, 8), ErrorInvalidOrder},
        {"recorder mode 5", request(OrderScope, 1, u16s({0, 5, 0, 1})), ErrorInvalidOrder},
        {"recorder argument 2", request(OrderScope, 2), ErrorInvalidOrder},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Reply r = client->exchange(c.frame);
        ASSERT_TRUE(r.headerOk);
        EXPECT_EQ(r.header.order, OrderErrorReply);
        EXPECT_EQ(r.header.argument, c.code);
        EXPECT_EQ(r.header.length, 0);
        EXPECT_EQ(r.raw.size(), 8u);
        EXPECT_TRUE(client->readQuiet(50).empty()); // one reply, nothing after it
        EXPECT_EQ(ask(OrderFirmware).header.order, OrderFirmware);
    }
    EXPECT_EQ(sim->baudIndex(), DefaultBaudIndex);
}

TEST_F(SimTcp, NoiseBeforeAFrameAndAStaleHalfFrameAreDropped) {
    std::vector<uint8_t> noisy = {0x00, 0x13, 0x37};
    std::vector<uint8_t> fw = request(OrderFirmware);
    noisy.insert(noisy.end(), fw.begin(), fw.end());
    Reply r = client->exchange(noisy);
    EXPECT_TRUE(r.dataOk);
    EXPECT_EQ(r.header.order, OrderFirmware);

    std::vector<uint8_t> half = request(OrderGetPara);
    half.resize(5);
    client->send(half);
    EXPECT_TRUE(client->readQuiet(int(LinkSession::PartialFrameTimeout.count()) + 100).empty());
    r = ask(OrderSensorId);
    EXPECT_TRUE(r.dataOk);
    EXPECT_EQ(r.header.order, OrderSensorId);
}

TEST_F(SimTcp, ParameterSetsPlausibilityAndEeprom) {
    struct Case {
        std::vector<uint16_t> sent;
        uint16_t status;
        ParamSet ram;
    };
    const Case cases[] = {
        {{100, 5, 1, 1}, 0, {100, 5, 1, 1}},
        {{300, 25, 0, 0}, 0, {300, 25, 0, 0}},
        {{0, 25, 0, 0}, 1, {}},   // tolerance 0: defaults 50, 25, 0, 0
        {{600, 0, 2, 3}, 15, {}}, // every parameter implausible
        {{50, 25, 0, 2}, 8, {}},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> block = u16s({c.sent[0], c.sent[1], c.sent[2], c.sent[3]});
        Reply r = ask(OrderSendPara, 0, block);
        ASSERT_TRUE(r.headerOk);
        EXPECT_EQ(r.header.order, OrderSendPara);
        EXPECT_EQ(r.header.argument, c.status) << c.sent[0];
        EXPECT_EQ(r.header.length, 0);
        Reply back = ask(OrderGetPara);
        ASSERT_EQ(back.data.size(), 8u);
        EXPECT_EQ(decodeParams(back.data.data()), c.ram) << c.sent[0];
    }

    ask(OrderSendPara, 0, u16s({120, 7, 1, 0}));
    Reply stored = ask(OrderStoreEeprom);
    EXPECT_EQ(stored.header.order, OrderStoreEeprom);
    EXPECT_EQ(stored.raw.size(), 8u);
    EXPECT_EQ(sim->eeprom().params, (ParamSet{120, 7, 1, 0}));

    ask(OrderSendPara, 0, u16s({50, 25, 0, 0}));
    Reply loaded = ask(OrderLoadEeprom);
    EXPECT_EQ(loaded.header.argument, 0);
    EXPECT_EQ(sim->ramParams(), (ParamSet{120, 7, 1, 0}));

    // An implausible EEPROM set is answered with its faults and replaced by the defaults.
    sim->setEepromParams(ParamSet{900, 7, 1, 0});
    loaded = ask(OrderLoadEeprom);
    EXPECT_EQ(loaded.header.argument, PlausibleStrokeTolerance);
    EXPECT_EQ(sim->ramParams(), ParamSet{});
    EXPECT_EQ(sim->eeprom().params, ParamSet{});
}

// A flawed sensor answers as a sound one does; only reading back shows what it kept.
TEST_F(SimTcp, FlawsKeepAnotherSetThanTheOneSentOrStored) {
    sim->setFlaws({-1, false});
    EXPECT_EQ(ask(OrderSendPara, 0, u16s({50, 25, 1, 0})).header.argument, 0);
    Reply back = ask(OrderGetPara);
    ASSERT_EQ(back.data.size(), 8u);
    EXPECT_EQ(decodeParams(back.data.data()), (ParamSet{49, 25, 1, 0}));
    // A rejected set still falls back to the defaults, unskewed.
    EXPECT_EQ(ask(OrderSendPara, 0, u16s({0, 25, 0, 0})).header.argument, 1);
    EXPECT_EQ(sim->ramParams(), ParamSet{});

    sim->setFlaws({0, true});
    sim->setEepromParams({120, 7, 0, 0});
    ask(OrderSendPara, 0, u16s({80, 3, 1, 1}));
    Reply stored = ask(OrderStoreEeprom);
    EXPECT_EQ(stored.header.argument, 0);
    EXPECT_EQ(stored.raw.size(), 8u);
    EXPECT_EQ(sim->eeprom().params, (ParamSet{120, 7, 0, 0})) << "the store did not hold";

    sim->setFlaws({});
    ask(OrderStoreEeprom);
    EXPECT_EQ(sim->eeprom().params, (ParamSet{80, 3, 1, 1}));
}

TEST(SimTcpEeprom, EepromSetAndBaudRateSurviveARestart) {
    fs::path dir = fs::temp_directory_path() / ("tav-sim-eeprom-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    SimConfig config = tcpConfig();
    config.sensor.eepromFile = (dir / "eeprom.txt").string();
    {
        auto sim = startSim(config);
        RawClient c = RawClient::tcp(sim->tcpPort());
        c.exchange(request(OrderSendPara, 0, u16s({80, 3, 1, 1})));
        EXPECT_EQ(c.exchange(request(OrderChangeBaudrate, 2)).header.order, OrderChangeBaudrate);
        c.exchange(request(OrderStoreEeprom));
        c.exchange(request(OrderSendPara, 0, u16s({50, 25, 0, 0}))); // RAM only
    }
    auto sim = startSim(config);
    RawClient c = RawClient::tcp(sim->tcpPort());
    Reply r = c.exchange(request(OrderGetPara));
    ASSERT_EQ(r.data.size(), 8u);
    EXPECT_EQ(decodeParams(r.data.data()), (ParamSet{80, 3, 1, 1})); // power-on from EEPROM
    EXPECT_EQ(sim->baudIndex(), 2);
    fs::remove_all(dir);
}

TEST_F(SimTcp, BaudRateOrderAnswersThenSwitches) {
    Reply r = ask(OrderChangeBaudrate, 4);
    const std::vector<uint8_t> expected = {0x55, 0xBE, 0x04, 0x00, 0x00, 0x00, 0xAA, 0xDC};
    EXPECT_EQ(r.raw, expected);
    r = ask(OrderChangeBaudrate, 7);
    EXPECT_EQ(r.header.argument, 7);
    EXPECT_TRUE(eventually([&] { return sim->baudIndex() == 7; }));
}

TEST_F(SimTcp, RequestLogHoldsEveryFrameReceivedInHex) {
    sim->clearLog();
    std::vector<uint8_t> bad = request(OrderGetPara);
    bad[7] ^= 0xFF;
    ask(OrderGetPara);
    client->exchange(bad);
    ask(OrderSendPara, 0, u16s({50, 25, 0, 0}));
    std::vector<LogEntry> log = sim->requests();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].hex, "55 02 00 00 00 00 AA B9");
    EXPECT_EQ(log[1].hex, hexBytes(bad.data(), bad.size()));
    EXPECT_NE(log[1].note.find("header CRC"), std::string::npos);
    EXPECT_EQ(log[2].hex, "55 01 00 00 08 00 21 69 32 00 19 00 00 00 00 00");
    EXPECT_EQ(log[2].link, "tcp");
    EXPECT_LE(log[0].time, log[1].time);
    EXPECT_LE(log[1].time, log[2].time);
    EXPECT_NE(formatLogEntry(log[0]).find("RX 55 02 00 00 00 00 AA B9"), std::string::npos);
    // The replies are in the full log.
    bool sentSeen = false;
    for (const LogEntry &e : sim->log())
        sentSeen |= e.kind == LogKind::Sent && e.hex == "55 00 02 00 00 00 AA 54";
    EXPECT_TRUE(sentSeen);
}

TEST(SimTcpClients, OneClientAtATimeTheNextAfterADisconnect) {
    auto sim = startSim(tcpConfig());
    RawClient first = RawClient::tcp(sim->tcpPort());
    EXPECT_TRUE(first.exchange(request(OrderFirmware)).dataOk);
    RawClient second = RawClient::tcp(sim->tcpPort()); // waits in the listen queue
    ASSERT_TRUE(second.isOpen());
    second.send(request(OrderSensorId));
    EXPECT_TRUE(second.read(8, 300).empty());
    EXPECT_TRUE(first.exchange(request(OrderFirmware)).dataOk);
    first.close();
    Reply r = second.readReply(2000); // served once the first has gone
    EXPECT_TRUE(r.dataOk);
    EXPECT_EQ(r.header.order, OrderSensorId);
}

TEST(SimTcpSeed, SeededLiveDataIsReproducible) {
    auto a = startSim(tcpConfig(99)), b = startSim(tcpConfig(99)), c = startSim(tcpConfig(100));
    RawClient ca = RawClient::tcp(a->tcpPort()), cb = RawClient::tcp(b->tcpPort()),
              cc = RawClient::tcp(c->tcpPort());
    int differ = 0;
    for (int i = 0; i < 30; ++i) {
        Reply ra = ca.exchange(request(OrderLiveData)), rb = cb.exchange(request(OrderLiveData));
        ASSERT_TRUE(ra.dataOk);
        EXPECT_EQ(ra.raw, rb.raw) << i;
        differ += cc.exchange(request(OrderLiveData)).raw != ra.raw;
    }
    EXPECT_GT(differ, 25);
}
