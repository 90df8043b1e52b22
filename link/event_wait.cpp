// The event-processing wait of the serial and TCP lines.
#include "link/event_wait.h"

#include "link/link_clock.h"
#include "platform/core/runtime.h"

namespace {

// A wait longer than this shows the busy cursor.
constexpr double kNoticeableWaitSeconds = 0.25;

// How the wait stands after a look at the line; Complete while it goes on (`more` true).
LineWait Look(ByteLine &line, int count, double deadline, const i16 *keepWaiting, bool *more) {
    *more = false;
    if (keepWaiting && !*keepWaiting) return LineWait::Stopped;
    App.RxCount = line.Available();
    if (App.RxCount >= count) return LineWait::Complete;
    if (App.RxCount < 0) return LineWait::Closed;
    App.ComStatError = line.LineErrors();
    if (App.ComStatError > 0) return LineWait::LineError;
    if (LinkClock() > deadline) return LineWait::TimedOut;
    *more = true;
    return LineWait::Complete;
}

} // namespace

LineWait WaitOnEvents(ByteLine &line, int count, double deadline, const i16 *keepWaiting) {
    const double start = LinkClock();
    bool busy = false;
    bool more = true;
    LineWait result = LineWait::Complete;
    while (more) {
        ProcessSystemEvents();
        result = Look(line, count, deadline, keepWaiting, &more);
        if (more && !busy && LinkClock() - start > kNoticeableWaitSeconds) {
            SetWaitCursor(1);
            busy = true;
        }
    }
    if (busy) SetWaitCursor(0);
    return result;
}
