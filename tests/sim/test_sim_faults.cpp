// Every fault as a raw client on TCP sees it, the fault count, order filter and skip, and the
// faults given at start.
#include "sim_fixture.h"

#include <chrono>

using namespace simtest;
using namespace tavsim;

namespace {

const std::string Firmware = "TAVIRON V1.0.3 2026-11-28";

FaultSetting fault(FaultKind kind, int count = 1, int order = -1) {
    FaultSetting s;
    s.kind = kind;
    s.count = count;
    s.order = order;
    return s;
}

} // namespace

TEST(SimFaults, EachFaultAsTheClientSeesIt) {
    struct Case {
        FaultKind kind;
        std::function<void(RawClient &)> check;
    };
    const Case cases[] = {
        {FaultKind::NoReply, [](RawClient &c) { EXPECT_TRUE(c.read(8, 400).empty()); }},
        {FaultKind::BadHeaderCrc,
         [](RawClient &c) {
             Reply r = c.readReply();
             EXPECT_EQ(r.raw.size(), 8u);
             EXPECT_FALSE(r.headerOk);
             EXPECT_EQ(r.raw[0], FrameStartByte);
             EXPECT_EQ(c.readQuiet(100).size(), Firmware.size()); // the data still follow
         }},
        {FaultKind::BadDataCrc,
         [](RawClient &c) {
             Reply r = c.readReply();
             EXPECT_TRUE(r.headerOk);
             EXPECT_EQ(r.data.size(), Firmware.size());
             EXPECT_FALSE(r.dataOk);
         }},
        {FaultKind::BadStartByte,
         [](RawClient &c) {
             std::vector<uint8_t> h = c.read(8, 2000);
             ASSERT_EQ(h.size(), 8u);
             EXPECT_EQ(h[0], 0x5A);
             EXPECT_EQ(crc8Update(h.data(), 0, 8, Crc8Table), 0);
             c.readQuiet(100);
         }},
        {FaultKind::ErrorOrder,
         [](RawClient &c) {
             Reply r = c.readReply();
             EXPECT_EQ(r.raw, (std::vector<uint8_t>{0x55, 0x00, 0x01, 0x00, 0x00, 0x00, 0xAA,
                                                    crc8Update(r.raw.data(), 0, 7, Crc8Table)}));
             EXPECT_EQ(r.header.argument, 1);
         }},
        {FaultKind::ErrorLine,
         [](RawClient &c) {
             Reply r = c.readReply();
             EXPECT_EQ(r.raw,
                       (std::vector<uint8_t>{0x55, 0x00, 0x02, 0x00, 0x00, 0x00, 0xAA, 0x54}));
         }},
        {FaultKind::ShortData,
         [](RawClient &c) {
             Reply r = c.readReply(400);
             EXPECT_TRUE(r.headerOk);
             EXPECT_EQ(r.header.length, Firmware.size());
             EXPECT_EQ(r.data.size(), Firmware.size() / 2);
             EXPECT_FALSE(r.dataOk);
         }},
        {FaultKind::LongLength,
         [](RawClient &c) {
             Reply r = c.readReply();
             EXPECT_TRUE(r.headerOk);
             EXPECT_EQ(r.header.length, LongLengthAnnounced);
             EXPECT_EQ(r.data.size(), size_t(LongLengthAnnounced)); // all of them do come
         }},
        {FaultKind::Garbage,
         [](RawClient &c) {
             std::vector<uint8_t> g = c.read(64, 300);
             EXPECT_EQ(g.size(), size_t(GarbageLength));
             EXPECT_FALSE(frameCheckHeader(g.data(), nullptr));
         }},
        {FaultKind::Trickle,
         [](RawClient &c) {
             auto start = std::chrono::steady_clock::now();
             std::vector<uint8_t> first = c.read(1, 2000);
             EXPECT_EQ(first.size(), 1u);
             std::vector<uint8_t> all = first;
             std::vector<uint8_t> more = c.read(8 + Firmware.size() - 1, 3000);
             all.insert(all.end(), more.begin(), more.end());
             auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
             ASSERT_EQ(all.size(), 8 + Firmware.size());
             EXPECT_TRUE(frameCheckHeader(all.data(), nullptr));
             EXPECT_GE(ms, long((all.size() - 1) * 20 * 0.9));
         }},
        {FaultKind::Close, [](RawClient &c) { EXPECT_TRUE(c.closedByPeer(1000)); }},
    };
    auto sim = startSim(tcpConfig());
    for (const Case &c : cases) {
        SCOPED_TRACE(faultName(c.kind));
        RawClient client = RawClient::tcp(sim->tcpPort());
        sim->setFault(fault(c.kind));
        client.send(request(OrderFirmware));
        c.check(client);
        if (c.kind == FaultKind::Close)
            client = RawClient::tcp(sim->tcpPort()); // the sensor takes the next client
        Reply after = client.exchange(request(OrderFirmware));
        EXPECT_TRUE(after.dataOk);
        EXPECT_EQ(text(after.data), Firmware);
    }
}

TEST(SimFaults, CountOrderFilterAndFaultGivenAtStart) {
    SimConfig config = tcpConfig();
    config.fault = fault(FaultKind::ErrorOrder, 2);
    auto sim = startSim(config);
    RawClient c = RawClient::tcp(sim->tcpPort());
    EXPECT_EQ(c.exchange(request(OrderFirmware)).header.order, OrderErrorReply);
    EXPECT_EQ(c.exchange(request(OrderGetPara)).header.order, OrderErrorReply);
    EXPECT_EQ(c.exchange(request(OrderGetPara)).header.order, OrderGetPara);

    sim->setFault(fault(FaultKind::NoReply, 3));
    for (int i = 0; i < 3; ++i) {
        c.send(request(OrderLiveData));
        EXPECT_TRUE(c.read(8, 250).empty()) << i;
    }
    EXPECT_TRUE(c.exchange(request(OrderLiveData)).dataOk);

    sim->setFault(fault(FaultKind::BadDataCrc, 0, OrderLiveData)); // every live-data reply
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(c.exchange(request(OrderFirmware)).dataOk);
        Reply r = c.exchange(request(OrderLiveData));
        EXPECT_TRUE(r.headerOk);
        EXPECT_FALSE(r.dataOk);
    }
    // A fault that lets two matching replies pass first; other orders do not count.
    FaultSetting later = fault(FaultKind::ErrorLine, 1, OrderLiveData);
    later.skip = 2;
    sim->setFault(later);
    EXPECT_TRUE(c.exchange(request(OrderLiveData)).dataOk);
    EXPECT_TRUE(c.exchange(request(OrderFirmware)).dataOk);
    EXPECT_TRUE(c.exchange(request(OrderLiveData)).dataOk);
    EXPECT_EQ(c.exchange(request(OrderLiveData)).header.order, OrderErrorReply);
    EXPECT_TRUE(c.exchange(request(OrderLiveData)).dataOk);
    // A wrong data CRC on a header-only reply: the receiver must not check it.
    sim->setFault(fault(FaultKind::BadDataCrc, 1, OrderStoreEeprom));
    Reply bare = c.exchange(request(OrderStoreEeprom));
    EXPECT_TRUE(bare.headerOk);
    EXPECT_EQ(bare.header.length, 0);
    EXPECT_NE(bare.header.dataCrc, Crc8Init);
    sim->clearFault();
    EXPECT_TRUE(c.exchange(request(OrderLiveData)).dataOk);
}
