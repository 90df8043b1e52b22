// The sensor's data recorder: the cycle-time query, a recording started with the page's
// settings and awaited for as long as the trigger takes (events keep running, so BREAK and
// the TCP data callback can act), and the break.
#include "scope/scope.h"
#include "scope/scope_graph.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "link/exchange.h"
#include "platform/ui.h"
#include "protocol/frame.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr u16 kRecorderStart = 1;
constexpr u16 kRecorderBreak = 0;

const TextPair kTxtCycleTimeOutOfRange = {
    "Zykluszeit des Sensors ausserhalb des Bereichs! \nN0 = %d, N1 = %d",
    "Cycle time of the sensor out of range! \nN0 = %d, N1 = %d"};
const TextPair kTxtNoCycleTime = {"Antwort des Sensors enthaelt keine Zykluszeit!",
                                  "Reply of the sensor holds no cycle time!"};

// The reply's data as one block at the start of TxFrame, never more than the data area holds.
void CopyReplyData() {
    std::memcpy(App.TxFrame, RxData(), App.RxLength < kMaxData ? App.RxLength : kMaxData);
}

// A cycle-time reply that came whole but gives no frequency the page can show: the displays
// show 0 as after a failed query, and the operator is told why (the link itself is fine).
void SayNoCycleTime() {
    char text[160];
    if (App.RxLength >= 8)
        std::snprintf(text, sizeof text, Txt(kTxtCycleTimeOutOfRange), int(getU32(App.TxFrame)),
                      int(getU32(App.TxFrame + 4)));
    else
        std::snprintf(text, sizeof text, "%s", Txt(kTxtNoCycleTime));
    MessagePopup(Txt(kTitleInfo), text);
}

// A header that repeats the recorder's acknowledgement (the start order, no data): the
// sensor said once more that it has started, and the record is still to come.
bool RepeatedAcknowledgement() {
    FrameHeader h;
    return frameCheckHeader(App.RxBuf, &h) && h.order == OrderScope && h.length == 0;
}

} // namespace

void GetCycleTime() {
    FillTxBuf(OrderCycleTime, 0, 0);
    double f = 0;
    if (DataExchange(kHeaderSize) == 1) {
        CopyReplyData();
        if (App.RxLength >= 8) f = ScanFrequencyFromReply(App.TxFrame);
        if (f == 0) SayNoCycleTime();
    }
    App.CycleTime = f;
    SetCtrlAttribute(App.ScopeTab, SCOPETAB_SCAN_FREQ, ATTR_PRECISION, ScanFreqPrecision(f));
    SetCtrlAttribute(App.ScopeTab, SCOPETAB_CYCLE_TIME, ATTR_PRECISION, CycleTimePrecision(f));
    SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_FREQ, f);
    if (f > 0) App.CycleTime = 1000 / f; // ms
    SetCtrlVal(App.ScopeTab, SCOPETAB_CYCLE_TIME, App.CycleTime);
}

void GetScopeData() {
    GetCtrlVal(App.ScopeTab, SCOPETAB_TRIG_LEVEL, &App.ScopeTriggerLevel);
    GetCtrlVal(App.ScopeTab, SCOPETAB_TRIG_MODE, &App.ScopeTriggerMode);
    GetCtrlVal(App.ScopeTab, SCOPETAB_PRE_TRIG, &App.ScopePreTrigger);
    GetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, &App.ScopeScanRate);

    u8 *data = TxData();
    putU16(data + 0, u16(App.ScopeTriggerLevel));
    putU16(data + 2, u16(App.ScopeTriggerMode));
    putU16(data + 4, u16(App.ScopePreTrigger));
    putU16(data + 6, u16(App.ScopeScanRate));
    FillTxBuf(OrderScope, kRecorderStart, 8);
    if (DataExchange(kHeaderSize + 8) != 1) return;

    // Acknowledged: the recording waits for its trigger; only BREAK may talk to the sensor.
    SetCtrlAttribute(App.ScopeTab, SCOPETAB_BREAK, ATTR_DIMMED, 0);
    App.ScanRunning = 1;
    SetCtrlAttribute(App.ScopePanel, SCOPEP_WAITING, ATTR_VISIBLE, 1); // "waiting for trigger"
    // Until the trigger fires and the record comes, BREAK ends the wait or the link fails.
    int r;
    do {
        r = WaitForFrameHeader(&App.ScanRunning);
    } while (r == 1 && RepeatedAcknowledgement());
    SetCtrlAttribute(App.ScopePanel, SCOPEP_WAITING, ATTR_VISIBLE, 0);
    if (r != 1) return;
    App.ScanRunning = 0; // the trigger has fired; the record is being received

    r = CheckHeaderCRC();
    if (r == 1 && App.RxLength != 0) r = GetDataFrame();
    if (r != 1) return;
    // A frame that passed its checks but is too short to hold a record would be decoded from
    // stale buffer bytes; the graphs keep the last good record instead.
    if (App.RxLength < kScopeRecordSize) {
        LinkFailure(LinkError::DataCrc);
        return;
    }

    CopyReplyData();
    u16 samples[kScopeSamples];
    OrderScopeSamples(App.TxFrame, App.ScopeTriggerMode, App.ScopePreTrigger, samples);
    const i16 settings[4] = {App.ScopeTriggerLevel, App.ScopeTriggerMode, App.ScopePreTrigger,
                             App.ScopeScanRate};
    ShowScopeRecord(samples, settings);
}

int BreakDataScan() {
    FillTxBuf(OrderScope, kRecorderBreak, 0);
    int r = DataExchange(kHeaderSize);
    App.ScanRunning = 0; // the waiting recording ends without a plot, whatever the reply
    return r;
}
