// The fake byte line of fake_line.h.
#include "fake_line.h"

#include "link/event_wait.h"
#include "link/link_clock.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double g_now = 100;
double g_step = 0; // the clock's step at every reading while the fake waits as real lines do

double SteppingNow() {
    g_now += g_step;
    return g_now;
}
constexpr double kNever = std::numeric_limits<double>::infinity();
// How far past its deadline a wait's clock is moved: the wait ends when more than its time
// has passed.
constexpr double kPastDeadline = 1e-6;

template <class Map> double FirstOf(const Map &m) {
    return m.empty() ? kNever : m.begin()->first;
}

} // namespace

FakeLine::FakeLine() {
    g_now = 100;
    g_step = 0;
}

FakeLine::~FakeLine() {
    UseLinkLine(nullptr);
    SetLinkClock(nullptr);
}

void FakeLine::Install() {
    UseLinkLine(this);
    SetLinkClock(Now);
}

double FakeLine::Now() {
    return g_now;
}

void FakeLine::WaitAsTheRealLinesDo(double step) {
    g_step = step;
    SetLinkClock(SteppingNow);
}

void FakeLine::Reply(Bytes bytes, double after, double gap) {
    replies_.push_back({std::move(bytes), after, gap});
}

void FakeLine::Arrive(double at, const Bytes &bytes, double gap) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        coming_.emplace(at + double(i) * gap, bytes[i]);
}

void FakeLine::At(double at, std::function<void()> action) {
    actions_.emplace(at, std::move(action));
}

void FakeLine::CloseAt(double at, LinkError why) {
    closes_.emplace(at, why);
}

void FakeLine::LineErrorAt(double at) {
    errorsDue_.emplace(at, 0x0100);
}

void FakeLine::Happen() {
    while (!coming_.empty() && coming_.begin()->first <= g_now) {
        if (open_) received_.push_back(coming_.begin()->second);
        coming_.erase(coming_.begin());
    }
    while (!errorsDue_.empty() && errorsDue_.begin()->first <= g_now) {
        errors_ |= errorsDue_.begin()->second;
        errorsDue_.erase(errorsDue_.begin());
    }
    while (!closes_.empty() && closes_.begin()->first <= g_now) {
        if (open_) {
            open_ = false;
            why_ = closes_.begin()->second;
            received_.clear();
        }
        closes_.erase(closes_.begin());
    }
    // An action may add arrivals or actions of its own, or wait itself: one at a time.
    while (!actions_.empty() && actions_.begin()->first <= g_now) {
        std::function<void()> action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        action();
    }
}

double FakeLine::Next() const {
    return std::min({FirstOf(coming_), FirstOf(actions_), FirstOf(closes_), FirstOf(errorsDue_)});
}

int FakeLine::Write(const u8 *bytes, int count) {
    if (!open_) return -1;
    written.emplace_back(bytes, bytes + count);
    if (!replies_.empty()) {
        Arrive(g_now + replies_.front().after, replies_.front().bytes, replies_.front().gap);
        replies_.pop_front();
    }
    return count;
}

int FakeLine::Available() {
    Happen();
    return open_ ? int(received_.size()) : -1;
}

int FakeLine::Read(u8 *buffer, int count) {
    const int n = std::clamp(count, 0, int(received_.size()));
    std::copy_n(received_.begin(), n, buffer);
    received_.erase(received_.begin(), received_.begin() + n);
    return n;
}

LineWait FakeLine::WaitFor(int count, double deadline, int, const i16 *keepWaiting) {
    ++waits;
    if (g_step > 0) return WaitOnEvents(*this, count, deadline, keepWaiting);
    for (;;) {
        Happen();
        if (keepWaiting && !*keepWaiting) return LineWait::Stopped;
        if (open_ && int(received_.size()) >= count) return LineWait::Complete;
        if (!open_) return LineWait::Closed;
        if (errors_) return LineWait::LineError;
        if (g_now > deadline) return LineWait::TimedOut;
        const double next = Next();
        // Nothing due before the deadline: time passes beyond it (also for a deadline so far
        // away that adding the margin would not change it).
        g_now = next <= deadline
                    ? std::max(g_now, next)
                    : std::max(deadline + kPastDeadline,
                               std::nextafter(deadline, std::numeric_limits<double>::infinity()));
    }
}

void FakeLine::Flush() {
    Happen();
    received_.clear();
}

int FakeLine::LineErrors() {
    Happen();
    const int e = errors_;
    errors_ = 0;
    return e;
}

void FakeLine::Close() {
    open_ = false;
    received_.clear();
}
