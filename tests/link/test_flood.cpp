// A peer that floods the TCP conversation with bytes nobody asked for: the program keeps only a
// few frames' worth at any moment, drops and counts the rest, says so once in the status box,
// and finds the sensor's next reply again once the flood is over.
#include "flood_proxy.h"
#include "link_fixture.h"

#include "link/exchange.h"
#include "params/para.h"

#include <algorithm>

namespace {

class FloodTest : public LinkTest {
  protected:
    std::unique_ptr<FloodProxy> proxy;

    void SetUp() override {
        LinkTest::SetUp();
        if (HasFatalFailure()) return;
        proxy = std::make_unique<FloodProxy>(sim->tcpPort());
        UseTcp("127.0.0.1", proxy->port());
        Connect();
    }
    void TearDown() override {
        LinkTest::TearDown();
        proxy.reset();
    }

    // Lets the event loop run until the proxy has sent the whole flood and the program has
    // read it (sent is not yet read: all but what RxBuf can take is dropped, however long a
    // loaded machine makes that); returns the most the conversation held unread meanwhile.
    long long RunThroughFlood(long long bytes) {
        const u64 droppedBefore = App.TcpDropped;
        const auto drained = [&] {
            return proxy->done() && App.TcpDropped - droppedBefore >= u64(bytes - kBufferSize);
        };
        proxy->flood(bytes);
        long long most = 0;
        const double start = Timer();
        while (!drained() && Timer() - start < 120) {
            ProcessSystemEvents();
            most = std::max(most, TestTcpBuffered(App.TcpHandle));
        }
        EXPECT_TRUE(proxy->done()) << "the flood did not get through";
        TestProcessEvents(50);
        return most;
    }

    size_t Reports(const std::string &status) const {
        size_t count = 0;
        for (size_t at = 0;
             (at = status.find("Server sends more data than asked for", at)) != std::string::npos;
             ++at)
            ++count;
        return count;
    }
};

} // namespace

TEST_F(FloodTest, FloodIsDroppedReportedOnceAndTheLinkRecovers) {
    constexpr long long kFlood = 64LL << 20;
    const long long most = RunThroughFlood(kFlood);
    EXPECT_LE(most, 64 * 1024) << "unread bytes held by the conversation";
    EXPECT_GE(App.TcpDropped, u64(kFlood - kBufferSize)) << "all but what RxBuf took";
    EXPECT_EQ(Reports(Status()), 1u) << Status();
    EXPECT_EQ(App.TcpConnected, 1);

    // The next exchange finds its reply: the parameters arrive unharmed.
    sim->setRamParams({123, 9, 1, 0});
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(App.LinkOk, 1) << Status();
    EXPECT_EQ(App.ParaValues[StrokeTolerance], 123);
    EXPECT_EQ(App.ParaValues[CntStrokeEdge], 0);

    // A second flood in the same conversation is not reported again.
    RunThroughFlood(4LL << 20);
    EXPECT_EQ(Reports(Status()), 1u) << Status();
}

// Noise that arrived while the program was busy elsewhere (no events processed) is still in
// the system's buffers when the next request goes out; it is dropped first, so the reply is
// the first thing the exchange reads.
TEST_F(FloodTest, NoiseWaitingBeforeARequestIsFlushed) {
    proxy->flood(256 * 1024);
    const double start = Timer();
    while (!proxy->done() && Timer() - start < 2)
        usleep(1000); // no events processed
    usleep(100 * 1000);
    sim->setRamParams({77, 8, 0, 1});
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(App.LinkOk, 1) << Status();
    EXPECT_EQ(App.ParaValues[StrokeTolerance], 77);
}
