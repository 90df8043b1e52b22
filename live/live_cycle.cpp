// GetData: the live data cycle. Polls the sensor back to back until Running is cleared (STOP,
// a page change, closing, or any link failure through SetTimeout), serving a SEND or GET that
// the operator asked for meanwhile before the next poll.
#include "live/live.h"
#include "live/live_data.h"

#include "base/state.h"
#include "link/exchange.h"
#include "params/para.h"
#include "protocol/frame.h"

void GetData() {
    App.Running = 1;
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
        }
    } while (App.Running == 1);
}
