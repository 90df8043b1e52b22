// Serial ports on a pseudo-terminal the test holds the other end of: the open failures with
// their codes and reasons, writes and reads with the port's time-out, the input queue,
// flushing, waking once a count of bytes can be there, and a device that goes away (line status,
// one report to the port's callback, the port usable again once reopened).
#include "platform/core/rs232.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "tests/common/as_user.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <thread>
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
        OpenPseudoTerminal();
    }
    // A new pseudo-terminal: the test holds its master side, kPort is mapped to the other.
    void OpenPseudoTerminal() {
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

int Reason(int port) {
    return GetComOpenReason(port, nullptr, 0);
}

} // namespace

TEST_F(Rs232Test, OpenFailuresGiveTheirCodesAndReasons) {
    EXPECT_EQ(OpenComConfig(0, "", 115200, 0, 8, 1, 1024, 1024), kRsErrInvalidPort);
    EXPECT_EQ(OpenComConfig(256, "", 115200, 0, 8, 1, 1024, 1024), kRsErrInvalidPort);
    TestMapComPort(kPort + 1, "/nonexistent/ttyX"); // a valid number, no device behind it
    EXPECT_EQ(Open(kPort + 1), kRsErrNoPortFound);
    EXPECT_EQ(Reason(kPort + 1), kComReasonNoDevice);
    char text[128];
    GetComOpenReason(kPort + 1, text, sizeof text);
    EXPECT_STRNE(text, "") << "the system's own words come along";
    TestMapComPort(kPort + 1, "/dev/null"); // a device that is no serial port
    EXPECT_EQ(Open(kPort + 1), kRsErrCannotOpen);
    EXPECT_EQ(Reason(kPort + 1), kComReasonNotSerial);
    EXPECT_EQ(OpenComConfig(kPort, "", 0, 0, 8, 1, 1024, 1024), kRsErrInvalidBaudrate);
    EXPECT_EQ(OpenComConfig(kPort, "", 115200, 7, 8, 1, 1024, 1024), kRsErrInvalidParity);
    EXPECT_EQ(OpenComConfig(kPort, "", 115200, 0, 9, 1, 1024, 1024), kRsErrInvalidDataBits);
    EXPECT_EQ(OpenComConfig(kPort, "", 115200, 0, 8, 3, 1024, 1024), kRsErrInvalidStopBits);

    // The same device through a second number while it is open: busy.
    ASSERT_EQ(Open(), 0);
    TestMapComPort(kPort + 1, slave.c_str());
    EXPECT_EQ(Open(kPort + 1), kRsErrCannotOpen);
    EXPECT_EQ(Reason(kPort + 1), kComReasonBusy);
    // Once closed, it opens, and the reason is gone with the failure.
    CloseCom(kPort);
    EXPECT_EQ(Open(kPort + 1), 0);
    EXPECT_EQ(Reason(kPort + 1), kComReasonNone);
}

TEST_F(Rs232Test, ADeviceTheUserMayNotOpen) {
    ASSERT_EQ(chmod(slave.c_str(), 0600), 0); // the owner (root) alone, as outside dialout
    const int result = AsUnprivilegedUser([] {
        int code = OpenComConfig(kPort, "", 115200, 0, 8, 1, 1024, 1024);
        if (code != kRsErrCannotOpen) return 1;
        return GetComOpenReason(kPort, nullptr, 0) == kComReasonPermission ? 0 : 2;
    });
    EXPECT_EQ(result, 0) << "1: wrong code, 2: wrong reason";
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

// The end of the runtime closes every port for real: the device is free for the next program
// (or the next start of the runtime) to open.
TEST_F(Rs232Test, ClosingAllPortsLetsTheDevicesGo) {
    ASSERT_EQ(Open(), 0);
    CloseAllComPorts();
    EXPECT_EQ(GetInQLen(kPort), kRsErrPortNotOpen);
    EXPECT_EQ(Open(), 0) << "the device is still held";
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

TEST_F(Rs232Test, AReadWaitingForACountStillDeliversWhatCame) {
    ASSERT_EQ(Open(), 0);
    SetComTime(kPort, 0.3);
    ASSERT_EQ(SetComWakeCount(kPort, 36), 0);
    ASSERT_EQ(write(master, "abc", 3), 3);
    EXPECT_EQ(InQueueAtLeast(3), 3) << "the queue length does not wait for the count";
    char buf[40];
    EXPECT_EQ(ComRd(kPort, buf, 36), 3) << "what came within the time-out";
    ASSERT_EQ(write(master, "0123456789", 10), 10);
    EXPECT_EQ(ComRd(kPort, buf, 10), 10);
    EXPECT_EQ(std::string(buf, 10), "0123456789");
}

// Times this thread gave up the core to wait (each ends in a wake-up).
long ThreadWaits() {
    FILE *f = std::fopen("/proc/thread-self/status", "r");
    if (!f) return -1;
    char line[256];
    long n = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "voluntary_ctxt_switches: %ld", &n) == 1) break;
    std::fclose(f);
    return n;
}

// The event loop's wait for a reply of known length, as the sensor link waits: a pass of
// events, then the input queue, until `count` bytes are there or `seconds` have passed.
int WaitInLoop(int count, double seconds) {
    SetComWakeCount(kPort, count);
    const double until = Timer() + seconds;
    int queued = 0;
    do {
        ProcessSystemEvents();
        queued = GetInQLen(kPort);
    } while (queued >= 0 && queued < count && Timer() < until);
    return queued;
}

// A reply coming a byte at a time at the line's speed (9600 baud: one character in 1.04 ms)
// wakes the waiting loop when its rest can be there, not for each byte: with the device in
// the loop's poll the system wakes the thread for every byte it receives.
TEST_F(Rs232Test, AWaitForACountIsNotWokenForEachByte) {
    ASSERT_EQ(OpenComConfig(kPort, "", 9600, 0, 8, 1, 1024, 1024), 0);
    constexpr int kBytes = 24;
    std::thread line([this] {
        for (int i = 0; i < kBytes; ++i) {
            ASSERT_EQ(write(master, "x", 1), 1);
            usleep(1100); // a little slower than the line, as a sensor's bytes come
        }
    });
    const long waits0 = ThreadWaits();
    const int got = WaitInLoop(kBytes, 3.0);
    const long waits = ThreadWaits() - waits0;
    line.join();
    EXPECT_EQ(got, kBytes);
    EXPECT_LT(waits, kBytes / 2) << "the wait was woken " << waits << " times for " << kBytes
                                 << " bytes";
    char buf[kBytes];
    EXPECT_EQ(ComRd(kPort, buf, kBytes), kBytes);
}

// A wait for a header whose whole reply's length is known ends once all of it can be there,
// with the data queued as well; a reply that brings only the header still ends the wait then.
TEST_F(Rs232Test, AWaitForAHeaderOfAKnownReplyEndsWithTheWholeReply) {
    // 2400 baud: a character in 4.2 ms, the header in 33 ms, the whole reply in 150 ms.
    ASSERT_EQ(OpenComConfig(kPort, "", 2400, 0, 8, 1, 1024, 1024), 0);
    constexpr int kHeader = 8, kReply = 36;
    for (const bool withData : {true, false}) {
        SCOPED_TRACE(withData ? "header and data" : "the header only");
        std::thread line([this, withData] {
            // The data come 80 ms after the header's first byte: a wait timed for the header
            // alone ends before them, one timed for the whole reply after them, with room for
            // this thread to be late on a loaded machine.
            ASSERT_EQ(write(master, "h", 1), 1);
            usleep(40000);
            ASSERT_EQ(write(master, "eader..", 7), 7);
            if (!withData) return;
            usleep(40000);
            ASSERT_EQ(write(master, "0123456789012345678901234567", 28), 28);
        });
        ASSERT_EQ(SetComReplyLength(kPort, kReply), 0);
        const double start = Timer();
        const int got = WaitInLoop(kHeader, 3.0);
        const double took = Timer() - start;
        line.join();
        EXPECT_EQ(got, withData ? kReply : kHeader);
        EXPECT_LT(took, 1.0) << "a short reply is not waited for until the time-out";
        char buf[kReply];
        ASSERT_EQ(ComRd(kPort, buf, kHeader), kHeader);
        EXPECT_EQ(std::string(buf, kHeader), "header..");
        if (withData) {
            EXPECT_EQ(WaitInLoop(kReply - kHeader, 3.0), kReply - kHeader);
            EXPECT_EQ(ComRd(kPort, buf, kReply - kHeader), kReply - kHeader);
        }
        EXPECT_EQ(GetInQLen(kPort), 0);
    }
}

// A read of what is queued takes what is there and never waits for more; bytes that come after
// the program took all it knew of still end a wait; both queues are discarded at once; the other
// end gone is seen by the read itself.
TEST_F(Rs232Test, AReadOfWhatIsQueuedTakesWhatIsThereAndNeverWaits) {
    ASSERT_EQ(Open(), 0);
    SetComTime(kPort, 2.0);
    char buf[16] = {};
    double start = Timer();
    EXPECT_EQ(ComRdQueued(kPort, buf, 8), 0);
    ASSERT_EQ(write(master, "abcdef", 6), 6);
    EXPECT_EQ(InQueueAtLeast(6), 6);
    EXPECT_EQ(ComRdQueued(kPort, buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "abcd");
    EXPECT_EQ(ComRdQueued(kPort, buf, 8), 2) << "only what was there";
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_LT(Timer() - start, 0.5) << "a read waited for bytes that were not there";

    // Long replies are taken whole, eight in a row: 4800 bytes through the terminal's ring of
    // received bytes, which holds 4096.
    const std::string longReply(600, 'L');
    for (int reply = 0; reply < 8; ++reply) {
        ASSERT_EQ(write(master, longReply.data(), longReply.size()), ssize_t(longReply.size()));
        EXPECT_EQ(InQueueAtLeast(600), 600);
        char big[600];
        EXPECT_EQ(ComRdQueued(kPort, big, 600), 600) << "reply " << reply;
    }

    ASSERT_EQ(write(master, "xyz", 3), 3);
    EXPECT_EQ(WaitInLoop(3, 1.0), 3) << "bytes after the last read are seen by a wait";
    EXPECT_EQ(ComRdQueued(kPort, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "xyz");

    ASSERT_EQ(write(master, "stale", 5), 5);
    EXPECT_EQ(InQueueAtLeast(5), 5);
    EXPECT_EQ(FlushComQueues(kPort), 0);
    EXPECT_EQ(GetInQLen(kPort), 0);
    ASSERT_EQ(write(master, "new", 3), 3);
    EXPECT_EQ(WaitInLoop(3, 1.0), 3) << "the line is watched again after the flush";
    EXPECT_EQ(ComRdQueued(kPort, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "new");
    EXPECT_EQ(GetComStat(kPort), 0);

    close(master);
    master = -1;
    EXPECT_EQ(ComRdQueued(kPort, buf, 8), 0);
    EXPECT_GT(GetComStat(kPort) & kComStatDeviceLost, 0);
    EXPECT_EQ(FlushComQueues(kPort + 1), kRsErrPortNotOpen);
}

// A reply that stops half way because the other end went away: the wait sees the line go
// when it looks for the rest, not only once its own time-out has passed.
TEST_F(Rs232Test, AWaitWhoseReplyStopsHalfWaySeesTheLineGo) {
    ASSERT_EQ(Open(), 0);
    ASSERT_EQ(write(master, "abc", 3), 3);
    EXPECT_EQ(InQueueAtLeast(3), 3);
    close(master);
    master = -1;
    const double start = Timer();
    EXPECT_EQ(WaitInLoop(10, 3.0), kRsErrDeviceGone);
    EXPECT_LT(Timer() - start, 1.5) << "seen only at the wait's time-out";
    EXPECT_GT(GetComStat(kPort) & kComStatDeviceLost, 0);
}

// The other end going away while a read waits, and while nobody reads: the same status on
// every Qt release, the port's callback told once, and nothing left that watches the line.
TEST_F(Rs232Test, OtherEndGoneIsALineError) {
    static int calls;
    calls = 0;
    for (bool reading : {true, false}) {
        SCOPED_TRACE(reading ? "while reading" : "while idle");
        calls = 0;
        if (master < 0) {
            ASSERT_NO_FATAL_FAILURE(OpenPseudoTerminal());
        }
        ASSERT_EQ(Open(), 0);
        SetComTime(kPort, 0.2);
        InstallComCallback(
            kPort,
            [](int port, int event, void *) {
                calls += port == kPort && event == kComEventDeviceLost;
            },
            nullptr);
        close(master);
        master = -1;
        if (reading) {
            char buf[2];
            EXPECT_EQ(ComRd(kPort, buf, 2), 0);
            EXPECT_EQ(GetInQLen(kPort), kRsErrDeviceGone);
        }
        TestProcessEvents(50);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(GetInQLen(kPort), kRsErrDeviceGone);
        EXPECT_GT(GetComStat(kPort) & kComStatDeviceLost, 0);
        EXPECT_GT(GetComStat(kPort) & kComStatDeviceLost, 0) << "it stays gone";
        EXPECT_LT(ComWrt(kPort, "x", 1), 0);
        TestProcessEvents(50);
        EXPECT_EQ(calls, 1) << "told once";
        CloseCom(kPort);
    }
}
