// taviron live (see live_command.h).
#include "cli/live_command.h"

#include "base/state.h"
#include "cli/exit_codes.h"
#include "cli/live_rows.h"
#include "cli/sensor_session.h"
#include "link/exchange.h"
#include "link/link_clock.h"
#include "live/calc/live_data.h"
#include "protocol/frame.h"

#include <csignal>
#include <string>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void WriteRow(std::FILE *rows, const std::string &row) {
    std::fputs(row.c_str(), rows);
    std::fputc('\n', rows);
    std::fflush(rows);
}

} // namespace

void StopLive() {
    g_stop = 1;
}

int RunLive(const Invocation &inv, std::FILE *rows, bool json, CommandReport *report) {
    report->command = Command::Live;
    const CsvFormat format = CsvFormatOf(inv.csvStyle);
    LiveChangeFilter changes;
    if (!json) WriteRow(rows, LiveCsvHeader(format));

    const double end = LinkClock() + inv.seconds;
    long replies = 0;
    App.Running = 1;
    while (App.Running == 1 && !g_stop) {
        FillTxBuf(OrderLiveData, 0, 0);
        ExpectReplyData(kLiveDataSize);
        if (DataExchange(kHeaderSize) != 1) {
            report->error = LinkFailureMessage();
            return report->code = kExitLinkFailure;
        }
        // RxBuf is cleared before each exchange: a short reply reads 0 where data are missing.
        App.LiveData = DecodeLiveData(RxData());
        ++replies;
        if (!inv.changes || changes.Take(App.LiveData)) {
            if (json)
                WriteRow(rows, LiveJsonLine(IsoTimestampNow('.'), App.LiveData));
            else
                WriteRow(rows,
                         LiveCsvRow(IsoTimestampNow(format.decimalSign), App.LiveData, format));
        }
        if (inv.count > 0 && replies >= inv.count) break;
        if (inv.seconds > 0 && LinkClock() >= end) break;
    }
    App.Running = 0;
    return report->code = kExitDone;
}
