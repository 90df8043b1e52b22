// TCP conversations against a small echo server on 127.0.0.1: connect failures and their
// codes, data delivered to the callback from the event loop (so a request made inside the
// callback sees its own answer), the server closing, and reads and writes by handle.
#include "platform/core/tcp.h"
#include "platform/ui.h"
#include "tests/support/loopback.h"

#include <gtest/gtest.h>

#include <atomic>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Accepts one client and echoes what it sends, until told to close the connection.
class EchoServer {
  public:
    EchoServer() {
        listen_ = ListenOnLoopback(&port_);
        thread_ = std::thread([this] { Run(); });
    }
    ~EchoServer() {
        stop_ = true;
        thread_.join();
        close(listen_);
    }
    int port() const { return port_; }
    void CloseClient() { closeClient_ = true; }

  private:
    void Run() {
        int client = -1;
        while (!stop_) {
            if (client < 0) {
                pollfd p{listen_, POLLIN, 0};
                if (poll(&p, 1, 10) > 0) client = accept(listen_, nullptr, nullptr);
                continue;
            }
            if (closeClient_) {
                close(client);
                client = -1;
                closeClient_ = false;
                continue;
            }
            pollfd p{client, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0) continue;
            char buf[1024];
            ssize_t n = read(client, buf, sizeof buf);
            if (n <= 0) {
                close(client);
                client = -1;
                continue;
            }
            (void)!write(client, buf, size_t(n));
        }
        if (client >= 0) close(client);
    }
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false}, closeClient_{false};
    std::thread thread_;
};

struct Events {
    std::string data;
    int closes = 0;
    int nestedRequests = 0;
};

int Record(unsigned int handle, int event, int, void *callbackData) {
    auto *e = static_cast<Events *>(callbackData);
    if (event == TCP_DATAREADY) {
        char buf[256];
        int n = ClientTCPRead(handle, buf, sizeof buf, 1000);
        if (n > 0) e->data.append(buf, size_t(n));
    } else if (event == TCP_DISCONNECT) {
        ++e->closes;
    }
    return 0;
}

// On the first data, sends a second request from inside the callback and waits there for its
// answer, as the program's wait loops do.
int RequestInside(unsigned int handle, int event, int error, void *callbackData) {
    auto *e = static_cast<Events *>(callbackData);
    bool first = e->data.empty();
    Record(handle, event, error, callbackData);
    if (event != TCP_DATAREADY || !first) return 0;
    ++e->nestedRequests;
    ClientTCPWrite(handle, "second", 6, 1000);
    double until = Timer() + 2.0;
    while (e->data.find("second") == std::string::npos && Timer() < until)
        ProcessSystemEvents();
    return 0;
}

void PumpFor(double seconds) {
    double until = Timer() + seconds;
    while (Timer() < until)
        ProcessSystemEvents();
}

template <typename F> bool PumpUntil(F done, double seconds = 2.0) {
    double until = Timer() + seconds;
    while (!done() && Timer() < until)
        ProcessSystemEvents();
    return done();
}

class TcpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static char name[] = "test_platform";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(InitUserInterface(1, argv), 1);
    }
};

} // namespace

TEST_F(TcpTest, ConnectFailuresGiveTheirCodes) {
    unsigned int h = 77;
    int freePort;
    {
        EchoServer s;
        freePort = s.port();
    } // nobody listens there any more
    EXPECT_EQ(ConnectToTCPServerEx(&h, unsigned(freePort), "127.0.0.1", Record, nullptr, 2000, 0),
              kTcpErrFailedToConnect);
    EXPECT_EQ(ConnectToTCPServerEx(&h, 5000, "", Record, nullptr, 2000, 0),
              kTcpErrInvalidParameter);
    EXPECT_EQ(ConnectToTCPServerEx(&h, 0, "127.0.0.1", Record, nullptr, 2000, 0),
              kTcpErrInvalidParameter);
    EXPECT_EQ(ConnectToTCPServerEx(&h, 70000, "127.0.0.1", Record, nullptr, 2000, 0),
              kTcpErrInvalidParameter);
    EXPECT_EQ(h, 77u) << "the handle is set only on success";
}

TEST_F(TcpTest, DataReachTheCallbackFromTheEventLoop) {
    EchoServer server;
    Events e;
    unsigned int h = 0;
    ASSERT_EQ(
        ConnectToTCPServerEx(&h, unsigned(server.port()), "127.0.0.1", RequestInside, &e, 2000, 0),
        0);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(ClientTCPWrite(h, "first", 5, 1000), 5);
    ASSERT_TRUE(PumpUntil([&] { return e.data.find("second") != std::string::npos; }))
        << "the request made inside the callback never saw its answer: " << e.data;
    EXPECT_EQ(e.data, "firstsecond");
    EXPECT_EQ(e.nestedRequests, 1);
    EXPECT_EQ(DisconnectFromTCPServer(h), 0);
}

TEST_F(TcpTest, ServerClosingIsReportedOnceAfterTheData) {
    EchoServer server;
    Events e;
    unsigned int h = 0;
    ASSERT_EQ(ConnectToTCPServerEx(&h, unsigned(server.port()), "127.0.0.1", Record, &e, 2000, 0),
              0);
    ClientTCPWrite(h, "bye", 3, 1000);
    ASSERT_TRUE(PumpUntil([&] { return e.data == "bye"; }));
    server.CloseClient();
    ASSERT_TRUE(PumpUntil([&] { return e.closes > 0; }));
    PumpFor(0.1);
    EXPECT_EQ(e.closes, 1);
    // The conversation is gone with the server's side.
    char buf[4];
    EXPECT_EQ(ClientTCPRead(h, buf, sizeof buf, 100), kTcpErrNotConnected);
    EXPECT_EQ(ClientTCPWrite(h, "x", 1, 100), kTcpErrNotConnected);
    EXPECT_EQ(DisconnectFromTCPServer(h), kTcpErrNotConnected);
}

TEST_F(TcpTest, DisconnectedConversationCallsNoMore) {
    EchoServer server;
    Events e;
    unsigned int h = 0;
    ASSERT_EQ(ConnectToTCPServerEx(&h, unsigned(server.port()), "127.0.0.1", Record, &e, 2000, 0),
              0);
    ClientTCPWrite(h, "late", 4, 1000);
    EXPECT_EQ(DisconnectFromTCPServer(h), 0);
    PumpFor(0.2);
    EXPECT_EQ(e.data, "");
    EXPECT_EQ(e.closes, 0);
}

TEST_F(TcpTest, ReadsByHandle) {
    EchoServer server;
    unsigned int h = 0;
    ASSERT_EQ(
        ConnectToTCPServerEx(&h, unsigned(server.port()), "127.0.0.1", nullptr, nullptr, 2000, 0),
        0);
    char buf[8];
    EXPECT_EQ(ClientTCPRead(h, buf, 0, 100), 0);
    double start = Timer();
    EXPECT_EQ(ClientTCPRead(h, buf, sizeof buf, 200), kTcpErrTimeout) << "nothing came";
    EXPECT_GT(Timer() - start, 0.15);
    ClientTCPWrite(h, "abcdef", 6, 1000);
    EXPECT_EQ(ClientTCPRead(h, buf, 4, 1000), 4) << "waits for the first bytes, takes no more";
    EXPECT_EQ(std::string(buf, 4), "abcd");
    EXPECT_EQ(ClientTCPRead(h, buf, sizeof buf, 1000), 2);
    EXPECT_EQ(ClientTCPRead(12345, buf, sizeof buf, 10), kTcpErrNotConnected);
    DisconnectFromTCPServer(h);
}

// A callback may end the conversation while it handles arriving data: nothing is called or
// touched afterwards (run under the address sanitizer this also catches use after free).
int CloseInside(unsigned int handle, int event, int error, void *callbackData) {
    Record(handle, event, error, callbackData);
    if (event == TCP_DATAREADY) DisconnectFromTCPServer(handle);
    return 0;
}

TEST_F(TcpTest, CallbackMayCloseTheConversationWhileHandlingData) {
    EchoServer server;
    Events e;
    unsigned int h = 0;
    ASSERT_EQ(
        ConnectToTCPServerEx(&h, unsigned(server.port()), "127.0.0.1", CloseInside, &e, 2000, 0),
        0);
    ClientTCPWrite(h, "one", 3, 1000);
    ASSERT_TRUE(PumpUntil([&] { return !e.data.empty(); }));
    PumpFor(0.2);
    EXPECT_EQ(e.data, "one");
    EXPECT_EQ(e.closes, 0) << "a conversation closed by the program reports no close";
    EXPECT_EQ(ClientTCPWrite(h, "two", 3, 100), kTcpErrNotConnected);
}
