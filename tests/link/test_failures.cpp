// Communication failures: every fault the simulated sensor can commit ends in its own text in
// the status box in the current language, "TIMEOUT!" on the data panel, the connection page in
// front and the three link buttons dimmed. A reply the sensor keeps back times out as soon as
// the link's clock has passed the wait (how long the waits are: test_exchange_fake.cpp).
#include "link_fixture.h"

#include "link/exchange.h"
#include "link/tcp_line.h"
#include "platform/core/tcp.h"
#include "protocol/frame.h"
#include "tests/support/test_clock.h"

#include <cstring>

using tavsim::FaultKind;

namespace {

struct Texts {
    const char *ger, *eng;
};
const Texts kTimeout = {
    "TIMEOUT! \nKeine Daten erhalten! \nVerbindungsfehler! \nSpannungsversorgung "
    "und COM Einstellungen ueberpruefen. \nVerbindungsaufbau wiederholen!",
    "TIMEOUT! \nNo data received! \nCommunication error! \nCheck power supply "
    "and COM settings. \nTry to connect again!"};
const Texts kHeader = {"ACHTUNG! \nEmpfangener header frame ist ungueltig!",
                       "ATTENTION! \nReceived header frame is incorrect!"};
const Texts kData = {"ACHTUNG! \nEmpfangener Daten frame ist ungueltig!",
                     "ATTENTION! \nReceived data frame is incorrect!"};
const Texts kInvalidOrder = {"Ungueltiger Befehl! \nPC und Sensor-Software ueberpruefen!",
                             "Invalid order number! \nVerify PC and sensor software!"};
const Texts kLineError = {"Verbindungsfehler! \nEventuell Baudrate reduzieren!",
                          "Communication error! \nYou may have to reduce baudrate!"};
const Texts kServerClosed = {"Server hat Verbindung beendet!", "Server has closed connection!"};

const char *In(const Texts &t, int language) {
    return language == 0 ? t.ger : t.eng;
}

struct FaultCase {
    FaultKind fault;
    bool tcp;
    int language;
    std::vector<const Texts *> texts; // appended to the status box, in this order
};

class FailureTest : public LinkTest {
  protected:
    // GET from RAM with the fault committed on the reply to order 2; returns the seconds the
    // operation took. A reply the sensor keeps back times out as soon as the request is there.
    double GetWithFault(const FaultCase &c) {
        if (c.tcp)
            UseTcp();
        else
            UseSerial();
        Connect();
        App.LanguageIndex = c.language;
        SetCtrlVal(App.ParaTab, PARA_STROKE_TOL, 123u); // not what the sensor holds
        tavsim::FaultSetting f;
        f.kind = c.fault;
        f.order = OrderGetPara;
        sim->setFault(f);
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
        if (c.fault == FaultKind::NoReply || c.fault == FaultKind::ShortData)
            TimeOutAfterRequest(OrderGetPara);
        double start = Timer();
        Click(App.MainPanel, MAINP_GET);
        return Timer() - start;
    }

    void ExpectFailureShown(const FaultCase &c) {
        std::string expected;
        for (const Texts *t : c.texts)
            expected += std::string(In(*t, c.language)) + "\n\n";
        EXPECT_EQ(Status(), expected);
        EXPECT_EQ(DataStatus(), "TIMEOUT!");
        EXPECT_EQ(ActivePage(), 0);
        EXPECT_EQ(App.LinkOk, 0);
        for (int control : {CONNECT_ACCEPT, CONNECT_CHANGE_BAUDRATE, CONNECT_GEN_HW_INFO_FILE})
            EXPECT_EQ(Dimmed(App.ConnectTab, control), 1) << control;
        // GET gives the other controls back; the page keeps what it showed.
        EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_TRY_TO_CONNECT), 0);
        EXPECT_EQ(Dimmed(App.MainPanel, MAINP_SEND), 0);
        unsigned short tol = 0;
        GetCtrlVal(App.ParaTab, PARA_STROKE_TOL, &tol);
        EXPECT_EQ(tol, 123);
        EXPECT_TRUE(popups.empty());
    }
};

} // namespace

TEST_F(FailureTest, EachFaultEndsInItsOwnText) {
    const FaultCase cases[] = {
        {FaultKind::BadHeaderCrc, true, 1, {&kHeader}},
        {FaultKind::BadHeaderCrc, false, 0, {&kHeader}},
        {FaultKind::BadStartByte, true, 0, {&kHeader}},
        {FaultKind::BadStartByte, false, 1, {&kHeader}},
        {FaultKind::Garbage, true, 1, {&kHeader}},
        {FaultKind::BadDataCrc, true, 0, {&kData}},
        {FaultKind::BadDataCrc, false, 1, {&kData}},
        {FaultKind::ErrorOrder, true, 1, {&kInvalidOrder}},
        {FaultKind::ErrorOrder, false, 0, {&kInvalidOrder}},
        {FaultKind::ErrorLine, true, 0, {&kLineError}},
        {FaultKind::ErrorLine, false, 1, {&kLineError}},
        // Kept back: no reply at all, or the data short of what the header announced. Over the
        // serial line nothing waits on the port after the wait's time (its own 2-s time-out
        // once froze the window there).
        {FaultKind::NoReply, true, 1, {&kTimeout}},
        {FaultKind::NoReply, false, 0, {&kTimeout}},
        {FaultKind::ShortData, true, 0, {&kTimeout}},
        {FaultKind::ShortData, false, 1, {&kTimeout}},
        // Announces 1100 data bytes, more than the receive buffer holds: refused unread. Last,
        // as the serial line still carries its bytes when the failure is reported.
        {FaultKind::LongLength, true, 1, {&kData}},
        {FaultKind::LongLength, false, 0, {&kData}},
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(std::string(tavsim::faultName(c.fault)) + (c.tcp ? " tcp" : " serial"));
        double seconds = GetWithFault(c);
        ExpectFailureShown(c);
        EXPECT_LT(seconds, 1.0) << "a failure is reported as soon as it is seen";
    }
}

// One failure, one report: the server's close ends the wait under way at once, with its own
// text and no time-out after it.
TEST_F(FailureTest, ServerClosingTheConversationIsReportedOnceAndClearsTheConnection) {
    FaultCase c{FaultKind::Close, true, 1, {&kServerClosed}};
    const double seconds = GetWithFault(c);
    ExpectFailureShown(c);
    EXPECT_LT(seconds, 1.0) << "the wait ends with the close";
    EXPECT_EQ(App.TcpConnected, 0);
    EXPECT_EQ(App.TcpHandle, 0u);

    // The next request cannot be answered: a time-out, said at once.
    ClearStatus();
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(Status(), std::string(kTimeout.eng) + "\n\n");

    // A new attempt opens a new conversation.
    Connect();
    EXPECT_EQ(App.TcpConnected, 1);
}

TEST_F(FailureTest, SlowReplyWithinTheWaitIsAccepted) {
    UseTcp();
    Connect();
    tavsim::FaultSetting f;
    f.kind = FaultKind::Trickle;
    f.trickleMs = 30; // 16 bytes: about half a second
    sim->setFault(f);
    SetCtrlVal(App.ParaTab, PARA_STROKE_TOL, 123u);
    Click(App.MainPanel, MAINP_GET);
    EXPECT_EQ(App.LinkOk, 1);
    EXPECT_EQ(Status(), "");
    unsigned short tol = 0;
    GetCtrlVal(App.ParaTab, PARA_STROKE_TOL, &tol);
    EXPECT_EQ(tol, 50);
}

// The TCP data callback adds what it read to the line's receive queue and nothing on a read
// error; the queue never takes more than the receive buffer holds.
TEST_F(FailureTest, TcpCallbackCountsOnlyBytesRead) {
    UseTcp();
    Connect();
    const unsigned int handle = App.TcpHandle;
    App.TcpHandle = 0xFFFF; // no such conversation: the read fails
    ClientTCPCB(App.TcpHandle, TCP_DATAREADY, 0, nullptr);
    EXPECT_EQ(TcpLine().Available(), 0);
    App.TcpHandle = handle;

    // More than the queue holds: it keeps a buffer's worth and drops the rest.
    sim->setFault({FaultKind::LongLength, 1, OrderFirmware});
    FillTxBuf(OrderFirmware, 0, 0);
    TcpLine().Write(App.TxBuf, 8);
    TestProcessEvents(50);
    EXPECT_EQ(TcpLine().Available(), kBufferSize);
    EXPECT_EQ(App.TcpDropped, u64(8 + tavsim::LongLengthAnnounced - kBufferSize));
}
