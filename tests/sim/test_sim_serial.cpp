// The simulated sensor over its pseudo-terminal: the line's termios seen from the master, the
// orders, a client at the wrong rate, the baud-rate change, pacing at the line rate, a
// recording, and faults that a serial line cannot show as on TCP.
#include "sim_fixture.h"

#include "sim/pty_line.h"
#include "sim/recorder.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace simtest;
using namespace tavsim;

namespace {

long long msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 t)
        .count();
}

bool loggedNote(const SimSensor &sim, const std::string &part) {
    for (const LogEntry &e : sim.log())
        if (e.kind == LogKind::Note && e.note.find(part) != std::string::npos) return true;
    return false;
}

} // namespace

// The sensor learns the rate the front end has set by reading the termios of its master end;
// on Linux those are the slave's settings.
TEST(SimSerial, MasterReportsTheSlaveLineSettings) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    RawClient slave = RawClient::serial(ptsname(master), 19200);
    ASSERT_TRUE(slave.isOpen());
    EXPECT_EQ(PtyLine::lineRate(master), 19200);
    for (int rate : {9600, 115200, 921600}) {
        slave.setRate(rate);
        EXPECT_EQ(PtyLine::lineRate(master), rate);
    }
    ::close(master);
}

TEST(SimSerial, OrdersAnsweredAndThePortReopens) {
    auto sim = startSim(serialConfig());
    ASSERT_FALSE(sim->serialPath().empty());
    {
        RawClient c = RawClient::serial(sim->serialPath(), 115200);
        ASSERT_TRUE(c.isOpen());
        Reply fw = c.exchange(request(OrderFirmware));
        ASSERT_TRUE(fw.dataOk);
        EXPECT_EQ(text(fw.data), "TAVIRON V1.0.3 2026-11-28");
        Reply id = c.exchange(request(OrderSensorId));
        EXPECT_EQ(id.header.argument, 4711);
        EXPECT_EQ(c.exchange(request(OrderSendPara, 0, u16s({0, 25, 0, 0}))).header.argument, 1);
        Reply hw = c.exchange(request(OrderHardwareInfo, HardwareInfoKey));
        EXPECT_TRUE(hw.dataOk);
        EXPECT_EQ(hw.data.size(), 512u);
    }
    // The front end closes and opens the port again, as it does on every connection attempt.
    RawClient again = RawClient::serial(sim->serialPath(), 115200);
    EXPECT_TRUE(again.exchange(request(OrderLiveData)).dataOk);
    std::vector<LogEntry> log = sim->requests();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().link, "serial");
    EXPECT_EQ(log.back().hex, "55 08 00 00 00 00 AA 76");
}

TEST(SimSerial, ClientAtAnotherRateGetsNoValidReply) {
    auto sim = startSim(serialConfig(4));
    RawClient c = RawClient::serial(sim->serialPath(), 9600);
    c.send(request(OrderFirmware));
    Reply r = c.readReply(400);
    EXPECT_FALSE(r.headerOk);
    EXPECT_TRUE(loggedNote(*sim, "bytes are garbage"));
    EXPECT_TRUE(sim->requests().empty());
    c.setRate(115200);
    EXPECT_TRUE(c.exchange(request(OrderFirmware)).dataOk);
}

TEST(SimSerial, BaudRateChangeRepliesAtTheOldRateThenSwitches) {
    auto sim = startSim(serialConfig(4));
    RawClient c = RawClient::serial(sim->serialPath(), 115200);
    Reply r = c.exchange(request(OrderChangeBaudrate, 0));
    ASSERT_TRUE(r.headerOk); // legible at 115200
    EXPECT_EQ(r.header.order, OrderChangeBaudrate);
    EXPECT_EQ(r.header.argument, 0);
    EXPECT_TRUE(eventually([&] { return sim->baudIndex() == 0; }));

    c.send(request(OrderFirmware)); // still at 115200: garbage to the sensor now
    EXPECT_FALSE(c.readReply(300).headerOk);

    c.setRate(9600);
    Reply fw = c.exchange(request(OrderFirmware));
    EXPECT_TRUE(fw.dataOk);
    EXPECT_EQ(sim->eeprom().baudIndex, DefaultBaudIndex); // not stored until order 3
    EXPECT_TRUE(c.exchange(request(OrderStoreEeprom)).headerOk);
    EXPECT_EQ(sim->eeprom().baudIndex, 0);
}

TEST(SimSerial, RepliesArePacedAtTheLineRate) {
    // 8-byte request and 520-byte reply at 9600 baud, 10 bits a byte: about 550 ms.
    auto paced = startSim(serialConfig(0, true));
    RawClient c = RawClient::serial(paced->serialPath(), 9600);
    auto start = std::chrono::steady_clock::now();
    Reply r = c.exchange(request(OrderHardwareInfo, HardwareInfoKey), 3000);
    const long long pacedMs = msSince(start);
    ASSERT_TRUE(r.dataOk);
    EXPECT_GE(pacedMs, 528 * 10 * 1000 / 9600 - 5);
    EXPECT_LT(pacedMs, 3000);

    auto fast = startSim(serialConfig(0, false));
    RawClient f = RawClient::serial(fast->serialPath(), 9600);
    start = std::chrono::steady_clock::now();
    EXPECT_TRUE(f.exchange(request(OrderHardwareInfo, HardwareInfoKey)).dataOk);
    EXPECT_LT(msSince(start), pacedMs / 2);
}

TEST(SimSerial, RecordingAndFaultsOnTheLine) {
    auto sim = startSim(serialConfig(7));
    RawClient c = RawClient::serial(sim->serialPath(), 921600);
    c.send(request(OrderScope, 1, u16s({2000, ScopeRisingEdge, 16, 2})));
    Reply ack = c.readReply();
    EXPECT_TRUE(ack.headerOk);
    EXPECT_EQ(ack.header.length, 0);
    Reply rec = c.readReply();
    ASSERT_TRUE(rec.dataOk);
    EXPECT_EQ(rec.data.size(), size_t(ScopeRecordSize));

    // A serial line cannot be closed from the sensor's end: "close" is silence there.
    FaultSetting close;
    close.kind = FaultKind::Close;
    sim->setFault(close);
    c.send(request(OrderFirmware));
    EXPECT_TRUE(c.read(1, 300).empty());
    FaultSetting trickle;
    trickle.kind = FaultKind::Trickle;
    trickle.trickleMs = 5;
    sim->setFault(trickle);
    auto start = std::chrono::steady_clock::now();
    Reply slow = c.exchange(request(OrderFirmware));
    EXPECT_TRUE(slow.dataOk);
    EXPECT_GE(msSince(start), long(slow.raw.size() - 1) * 5 - 5);
    EXPECT_TRUE(c.exchange(request(OrderFirmware)).dataOk);
}
