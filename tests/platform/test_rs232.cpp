// Serial ports on a pseudo-terminal the test holds the other end of: the open failures and
// their codes, writes and reads with the port's time-out, the input queue, flushing, and the
// line status when the other end goes away.
#include "platform/rs232.h"
#include "platform/testing.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

constexpr int kPort = 41; // a number no other test maps

class Rs232Test : public ::testing::Test {
  protected:
    int master = -1;
    std::string slave;

    void SetUp() override {
        static char name[] = "test_platform";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(InitUserInterface(1, argv), 1);
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        slave = ptsname(master);
        TestMapComPort(kPort, slave.c_str());
    }
    void TearDown() override {
        CloseCom(kPort);
        CloseCom(kPort + 1);
        TestMapComPort(kPort, nullptr);
        TestMapComPort(kPort + 1, nullptr);
        if (master >= 0) close(master);
    }
    int Open(int port = kPort) { return OpenComConfig(port, "", 115200, 0, 8, 1, 1024, 1024); }

    // What the other end received within `ms`.
    std::string ReadMaster(size_t count, int ms = 1000) {
        std::string out;
        double until = Timer() + ms / 1000.0;
        while (out.size() < count && Timer() < until) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 10) > 0) {
                char buf[256];
                ssize_t n = read(master, buf, sizeof buf);
                if (n > 0) out.append(buf, size_t(n));
            }
        }
        return out;
    }
    int InQueueAtLeast(int n) {
        int len = 0;
        double until = Timer() + 1.0;
        while ((len = GetInQLen(kPort)) < n && Timer() < until)
            usleep(1000);
        return len;
    }
};

} // namespace

TEST_F(Rs232Test, OpenFailuresGiveTheirCodes) {
    EXPECT_EQ(OpenComConfig(0, "", 115200, 0, 8, 1, 1024, 1024), kRsErrInvalidPort);
    EXPECT_EQ(OpenComConfig(256, "", 115200, 0, 8, 1, 1024, 1024), kRsErrInvalidPort);
    TestMapComPort(kPort + 1, "/nonexistent/ttyX"); // no device behind the number
    EXPECT_EQ(Open(kPort + 1), kRsErrInvalidPort);
    EXPECT_EQ(OpenComConfig(kPort, "", 0, 0, 8, 1, 1024, 1024), kRsErrInvalidBaudrate);
    EXPECT_EQ(OpenComConfig(kPort, "", 115200, 7, 8, 1, 1024, 1024), kRsErrInvalidParity);
    EXPECT_EQ(OpenComConfig(kPort, "", 115200, 0, 9, 1, 1024, 1024), kRsErrInvalidDataBits);
    EXPECT_EQ(OpenComConfig(kPort, "", 115200, 0, 8, 3, 1024, 1024), kRsErrInvalidStopBits);

    // The same device through a second number while it is open: busy.
    ASSERT_EQ(Open(), 0);
    TestMapComPort(kPort + 1, slave.c_str());
    EXPECT_EQ(Open(kPort + 1), kRsErrCannotOpen);
    // Once closed, it opens.
    CloseCom(kPort);
    EXPECT_EQ(Open(kPort + 1), 0);
}

TEST_F(Rs232Test, OperationsOnAPortThatIsNotOpen) {
    char buf[4];
    EXPECT_EQ(ComWrt(kPort, "ab", 2), kRsErrPortNotOpen);
    EXPECT_EQ(ComRd(kPort, buf, 2), kRsErrPortNotOpen);
    EXPECT_EQ(GetInQLen(kPort), kRsErrPortNotOpen);
    EXPECT_EQ(GetComStat(kPort), kRsErrPortNotOpen);
    EXPECT_EQ(SetComTime(kPort, 1.0), kRsErrPortNotOpen);
    EXPECT_EQ(FlushInQ(kPort), kRsErrPortNotOpen);
    EXPECT_EQ(CloseCom(kPort), 0) << "harmless";
}

TEST_F(Rs232Test, WritesReadsAndTheInputQueue) {
    ASSERT_EQ(Open(), 0);
    SetComTime(kPort, 2.0);
    EXPECT_EQ(ComWrt(kPort, "\x55\x02request", 9), 9);
    EXPECT_EQ(ReadMaster(9), std::string("\x55\x02request", 9));

    ASSERT_EQ(write(master, "0123456789", 10), 10);
    EXPECT_EQ(InQueueAtLeast(10), 10);
    char buf[16] = {};
    EXPECT_EQ(ComRd(kPort, buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(GetInQLen(kPort), 6);
    EXPECT_EQ(ComRd(kPort, buf, 6), 6);
    EXPECT_EQ(std::string(buf, 6), "456789");
    EXPECT_EQ(GetComStat(kPort), 0);

    // Bytes that have not been read yet are gone after a flush.
    ASSERT_EQ(write(master, "stale", 5), 5);
    EXPECT_EQ(InQueueAtLeast(5), 5);
    FlushInQ(kPort);
    EXPECT_EQ(GetInQLen(kPort), 0);
}

TEST_F(Rs232Test, ReadWaitsAtMostThePortTimeOut) {
    ASSERT_EQ(Open(), 0);
    SetComTime(kPort, 0.3);
    ASSERT_EQ(write(master, "ab", 2), 2);
    char buf[8];
    double start = Timer();
    EXPECT_EQ(ComRd(kPort, buf, 8), 2) << "what came within the time-out";
    double took = Timer() - start;
    EXPECT_GT(took, 0.25);
    EXPECT_LT(took, 1.0);
    EXPECT_EQ(GetComStat(kPort), 0) << "a time-out is no line error";
}

TEST_F(Rs232Test, OtherEndGoneIsALineError) {
    ASSERT_EQ(Open(), 0);
    SetComTime(kPort, 0.2);
    close(master);
    master = -1;
    GetInQLen(kPort);
    char buf[2];
    ComRd(kPort, buf, 2);
    EXPECT_GT(GetComStat(kPort), 0);
    EXPECT_EQ(GetComStat(kPort), 0) << "reading the status clears it";
}
