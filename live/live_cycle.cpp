// GetData: the live data cycle. Polls the sensor back to back until Running is cleared (STOP,
// a page change, closing, or any link failure through SetTimeout), serving a SEND or GET that
// the operator asked for meanwhile before the next poll.
#include "live/calc/live_data.h"
#include "live/live.h"

#include "base/state.h"
#include "link/exchange.h"
#include "link/link_clock.h"
#include "params/para.h"
#include "protocol/frame.h"

#include <ctime>

void GetData() {
    App.Running = 1;
    const int failuresBefore = LinkFailureCount();
    bool shown = false; // a poll of this cycle showed its values
    do {
        if (App.SendParaPending) {
            SendPara();
            if (App.Running == 0) break; // STOP or a failure during the transfer
        }
        if (App.GetParaPending) {
            GetParaAsked();
            if (App.Running == 0) break;
        }
        FillTxBuf(OrderLiveData, 0, 0);
        ExpectReplyData(kLiveDataSize);
        // A failed poll shows nothing; SetTimeout has already cleared Running.
        if (DataExchange(kHeaderSize) == 1) {
            // RxBuf is cleared before each exchange, so a short reply reads 0 where data are
            // missing; bytes beyond the 28 are ignored.
            App.LiveData = DecodeLiveData(RxData());
            SetPanelData();
            shown = true;
        }
    } while (App.Running == 1);

    // The values shown came with the last good poll, just before the exchange that ended the
    // cycle began to wait; or, when no poll of this cycle got through, in an earlier cycle.
    const bool failed = LinkFailureCount() != failuresBefore;
    if (shown) {
        const double since = failed ? LinkClock() - App.WaitStartTime : 0.0;
        App.LiveShownAt = std::time(nullptr) - static_cast<long long>(since);
    }
    // A failure, not STOP, a page change or closing: what the displays show is not live.
    if (failed) ShowValuesLive(0);
}
