// One request and one reply with the sensor: FillTxBuf builds the request, DataExchange sends
// it and receives the reply in two stages (header, then data), each allowed 3 s, with events
// processed on every pass of the wait. Every failure ends in SetTimeout.
#include "link/exchange.h"

#include "base/panels.h"
#include "base/state.h"
#include "base/texts.h"
#include "link/transport.h"
#include "platform/rs232.h"
#include "platform/tcp.h"
#include "platform/ui.h"
#include "protocol/frame.h"

#include "Tavironv10.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr double kReplyWaitSeconds = 3.0;
constexpr unsigned int kTcpWriteTimeoutMs = 2000;

bool OnTcp() {
    return App.ComProtocol == 1;
}

// A wait longer than this shows the busy cursor.
constexpr double kNoticeableWaitSeconds = 0.25;

int g_linesLostBefore = 0; // SerialLinesLost() when the exchange began
int g_expectedData = -1;   // data bytes the next reply is expected to carry; -1: not known

// The serial device went away during this exchange; that has been reported when it went.
bool LineLostMeanwhile() {
    return SerialLinesLost() != g_linesLostBefore;
}

// Waits until `needed` bytes are there (serial: in the input queue; TCP: in RxBuf, put there
// by the data callback) or more than 3 s have passed. True when the bytes came in time. The
// serial port wakes the wait once the bytes can be complete, not for each byte.
// `expected` is the length of the whole reply when it is known (0 when not).
bool WaitForBytes(int needed, int expected = 0) {
    App.WaitStartTime = Timer();
    if (!OnTcp()) {
        SetComReplyLength(App.ComPort, expected);
        SetComWakeCount(App.ComPort, needed);
    }
    bool busy = false;
    bool complete = false;
    for (;;) {
        ProcessSystemEvents();
        if (!OnTcp()) App.RxCount = GetInQLen(App.ComPort);
        double waited = Timer() - App.WaitStartTime;
        if (waited > kReplyWaitSeconds || LineLostMeanwhile()) {
            complete = App.RxCount >= needed;
            break;
        }
        if (App.RxCount >= needed) {
            complete = true;
            break;
        }
        if (!busy && waited > kNoticeableWaitSeconds) {
            SetWaitCursor(1);
            busy = true;
        }
    }
    if (busy) SetWaitCursor(0);
    return complete;
}

} // namespace

const TextPair kTxtTimeout = {
    "TIMEOUT! \nKeine Daten erhalten! \nVerbindungsfehler! \nSpannungsversorgung und COM "
    "Einstellungen ueberpruefen. \nVerbindungsaufbau wiederholen!",
    "TIMEOUT! \nNo data received! \nCommunication error! \nCheck power supply and COM settings. "
    "\nTry to connect again!"};
const TextPair kTxtHeaderFrame = {"ACHTUNG! \nEmpfangener header frame ist ungueltig!",
                                  "ATTENTION! \nReceived header frame is incorrect!"};
const TextPair kTxtInvalidOrder = {"Ungueltiger Befehl! \nPC und Sensor-Software ueberpruefen!",
                                   "Invalid order number! \nVerify PC and sensor software!"};
const TextPair kTxtLineError = {"Verbindungsfehler! \nEventuell Baudrate reduzieren!",
                                "Communication error! \nYou may have to reduce baudrate!"};
const TextPair kTxtDataFrame = {"ACHTUNG! \nEmpfangener Daten frame ist ungueltig!",
                                "ATTENTION! \nReceived data frame is incorrect!"};

int LinkFailure(const TextPair &text) {
    return LinkFailure(std::string(Txt(text)));
}

int LinkFailure(const std::string &text) {
    std::snprintf(App.ErrorText, sizeof App.ErrorText, "%s", text.c_str());
    SetTimeout();
    return -1;
}

void FillTxBuf(u8 order, u16 argument, u16 length) {
    if (length > kMaxData) length = kMaxData; // TxData holds no more
    // The data are already in place behind the header, so the frame cannot fail to build.
    int frameLength =
        frameBuild(App.TxFrame, sizeof App.TxFrame, order, argument, TxData(), length);
    std::memcpy(App.TxBuf, App.TxFrame, std::size_t(frameLength));
}

void ExpectReplyData(int length) {
    g_expectedData = length;
}

int DataExchange(int frameLength) {
    g_linesLostBefore = SerialLinesLost();
    std::memset(App.RxBuf, 0, sizeof App.RxBuf);
    App.ComStatError = 0;
    if (frameLength < 0) frameLength = 0;
    if (frameLength > kBufferSize) frameLength = kBufferSize;
    // A failed write is not examined: it shows up as a missing reply.
    if (OnTcp()) {
        FlushTcpInput();
        App.RxCount = 0;
        ClientTCPWrite(App.TcpHandle, App.TxBuf, unsigned(frameLength), kTcpWriteTimeoutMs);
    } else {
        FlushInQ(App.ComPort);
        FlushOutQ(App.ComPort);
        ComWrt(App.ComPort, App.TxBuf, frameLength);
    }
    int r = GetHeaderFrame();
    if (r == 1 && App.RxLength != 0) return GetDataFrame();
    return r;
}

int GetHeaderFrame() {
    const int expected = g_expectedData >= 0 ? kHeaderSize + g_expectedData : 0;
    g_expectedData = -1;
    bool complete = WaitForBytes(kHeaderSize, expected);
    if (!OnTcp()) {
        // Read also after a time-out: whatever came, within the port's own time-out.
        App.ComStatError = GetComStat(App.ComPort);
        ComRd(App.ComPort, App.RxBuf, kHeaderSize);
    }
    if (LineLostMeanwhile()) return -1;
    if (!complete || App.ComStatError > 0) return LinkFailure(kTxtTimeout);
    if (CheckHeaderCRC() != 1) return -1;
    if (App.RxOrder != OrderErrorReply) return 1;
    if (App.RxArgument == ErrorInvalidOrder) return LinkFailure(kTxtInvalidOrder);
    if (App.RxArgument == ErrorLine) return LinkFailure(kTxtLineError);
    return 1; // an error reply with another argument counts as a normal reply
}

int GetDataFrame() {
    // RxData holds 1016 bytes; a longer announcement cannot be a reply of this sensor, and its
    // data are not read into the buffer.
    if (App.RxLength > kMaxData) return LinkFailure(kTxtDataFrame);
    bool complete = WaitForBytes(OnTcp() ? App.RxLength + kHeaderSize : App.RxLength);
    if (!OnTcp()) {
        App.ComStatError = GetComStat(App.ComPort);
        ComRd(App.ComPort, RxData(), App.RxLength);
    }
    if (LineLostMeanwhile()) return -1;
    if (!complete || App.ComStatError > 0) return LinkFailure(kTxtTimeout);
    if (frameDataCrc(RxData(), App.RxLength) != App.RxDataCrc) return LinkFailure(kTxtDataFrame);
    return 1;
}

int CheckHeaderCRC() {
    FrameHeader h;
    if (!frameCheckHeader(App.RxBuf, &h)) return LinkFailure(kTxtHeaderFrame);
    App.RxOrder = h.order;
    App.RxArgument = h.argument;
    App.RxLength = h.length;
    App.RxDataCrc = h.dataCrc;
    return 1;
}

void SetTimeout() {
    App.Running = 0;
    App.LinkOk = 0;
    App.ScanRunning = 0;
    App.ErrorText[sizeof App.ErrorText - 1] = 0;
    SetCtrlVal(App.DataPanel, DATAP_STATUS, "TIMEOUT!");
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, App.ErrorText);
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, "\n\n");
    SetLinkButtonsDimmed(kDimmed);
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
}
