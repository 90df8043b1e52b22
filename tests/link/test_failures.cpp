// Communication failures: every fault the simulated sensor can commit ends in its own text in
// the status box in the current language, "TIMEOUT!" on the data panel, the connection page in
// front and the three link buttons dimmed; a missing reply takes a little more than 3 s.
#include "link_fixture.h"

#include "link/exchange.h"
#include "link/transport.h"
#include "platform/tcp.h"
#include "protocol/frame.h"

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
    // operation took.
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
        // Announces 1100 data bytes, more than the receive buffer holds: refused unread.
        {FaultKind::LongLength, true, 1, {&kData}},
        {FaultKind::LongLength, false, 0, {&kData}},
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(std::string(tavsim::faultName(c.fault)) + (c.tcp ? " tcp" : " serial"));
        double seconds = GetWithFault(c);
        ExpectFailureShown(c);
        EXPECT_LT(seconds, 1.0) << "a bad reply is refused as soon as it is seen";
    }
}

TEST_F(FailureTest, MissingReplyTimesOutAfterThreeSecondsOnTcp) {
    FaultCase c{FaultKind::NoReply, true, 1, {&kTimeout}};
    double seconds = GetWithFault(c);
    ExpectFailureShown(c);
    EXPECT_GT(seconds, 3.0);
    EXPECT_LT(seconds, 3.6);
}

TEST_F(FailureTest, MissingReplyOnTheSerialLineAddsAtMostThePortTimeOut) {
    FaultCase c{FaultKind::NoReply, false, 0, {&kTimeout}};
    double seconds = GetWithFault(c);
    ExpectFailureShown(c);
    EXPECT_GT(seconds, 3.0);
    EXPECT_LT(seconds, 5.6);
}

TEST_F(FailureTest, ShortDataTimeOutInTheirOwnWait) {
    FaultCase c{FaultKind::ShortData, true, 0, {&kTimeout}};
    double seconds = GetWithFault(c);
    ExpectFailureShown(c);
    EXPECT_GT(seconds, 3.0);
    EXPECT_LT(seconds, 3.6);
}

TEST_F(FailureTest, ServerClosingTheConversationIsReportedAndClearsTheConnection) {
    FaultCase c{FaultKind::Close, true, 1, {&kServerClosed, &kTimeout}};
    GetWithFault(c);
    ExpectFailureShown(c);
    EXPECT_EQ(App.TcpConnected, 0);
    EXPECT_EQ(App.TcpHandle, 0u);

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

// The TCP data callback adds what it read and nothing on a read error; it never reads past the
// receive buffer.
TEST_F(FailureTest, TcpCallbackCountsOnlyBytesRead) {
    App.TcpHandle = 0xFFFF; // no such conversation: the read fails
    App.RxCount = 5;
    ClientTCPCB(App.TcpHandle, TCP_DATAREADY, 0, nullptr);
    EXPECT_EQ(App.RxCount, 5);

    UseTcp();
    Connect();
    // A full receive buffer takes no more bytes.
    App.RxCount = kBufferSize;
    std::memset(App.RxBuf, 0, sizeof App.RxBuf);
    FillTxBuf(OrderFirmware, 0, 0);
    ClientTCPWrite(App.TcpHandle, App.TxBuf, 8, 2000);
    TestProcessEvents(50);
    EXPECT_EQ(App.RxCount, kBufferSize);
}
