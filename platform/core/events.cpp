// Waiting for events on the Qt application object, whichever kind it is: ProcessSystemEvents
// runs what is pending and, when a wait loop calls it again with nothing pending, blocks until
// the next event (bounded), so the sensor's wait loops neither burn a core nor add latency.
// Also the timer, the busy cursor's count, and a runtime for programs without a window.
#include "platform/core/rs232.h"
#include "platform/core/runtime.h"
#include "platform/core/runtime_internal.h"
#include "platform/core/tcp.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// Counts every event Qt delivers, so ProcessSystemEvents can tell whether a pass did anything.
class EventCounter : public QObject {
  public:
    unsigned long long count = 0;
    bool eventFilter(QObject *, QEvent *) override {
        ++count;
        return false;
    }
};

// The counter on the application object there is now (a child of it: it ends with it).
QPointer<EventCounter> g_counter;
EventCounter *Counter() {
    if (!g_counter) {
        g_counter = new EventCounter;
        g_counter->setParent(qApp);
        qApp->installEventFilter(g_counter);
    }
    return g_counter;
}

QCoreApplication *g_coreApp = nullptr; // made by InitRuntime
int g_coreArgc = 0;
int g_waitCursor = 0;
int g_waitDepth = 0; // ProcessSystemEvents calls under way (nested through callbacks)
WaitCursorShower g_cursorShower = nullptr;

double g_lastCall = -1;       // Timer() value at the end of the previous ProcessSystemEvents
bool g_foundNothing = false;  // the previous ProcessSystemEvents ran no event
double g_lastSystemPoll = -1; // Timer() value when the system was last asked for events
// Within this long of asking the system, a further call runs only what the program queued.
constexpr double kFreshSeconds = 20e-6;
// Calls closer together than this are one wait loop calling again.
constexpr double kLoopGapSeconds = 0.05;
// A blocked wait returns at the latest after this long, so wait loops can check their clocks.
constexpr int kBlockMs = 2;

// Spinning a little before blocking pays off only when the awaited event comes within the
// spin: on an idle machine a loopback reply does, and a blocked wait would add the wake-up of
// an idle core; under load, or on a serial line whose bytes come 87 us apart, it does not, and
// the spin takes the core from the process that is to answer. So a wait spins while recent
// spins caught their event, and tries one now and then to notice when they would again.
constexpr double kSpinSeconds = 30e-6; // about one loopback round trip
constexpr int kSpinCreditMax = 8;
constexpr int kProbeEvery = 16; // waits without spinning between two tries
int g_spinCredit = 0;
int g_waitsSinceSpin = 0;

enum class Spin { Nothing, AtOnce, Later };

// Runs what is pending, again and again for up to kSpinSeconds: whether something came, and
// whether it was already there at the first look (then blocking would have found it as fast).
Spin SpinForEvents(unsigned long long before) {
    const double until = Timer() + kSpinSeconds;
    for (bool first = true;; first = false) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (Counter()->count != before) return first ? Spin::AtOnce : Spin::Later;
        if (Timer() >= until) return Spin::Nothing;
    }
}

// The wake-up timer of the innermost block under way, and its interval.
QTimer *g_blockTimer = nullptr;
int g_blockMs = 0;

// Makes a block's timer the one to keep armed while it lasts; the one of an outer block again
// when it ends.
class BlockScope {
  public:
    BlockScope(QTimer *timer, int ms) : outer_(g_blockTimer), outerMs_(g_blockMs) {
        g_blockTimer = timer;
        g_blockMs = ms;
    }
    ~BlockScope() {
        g_blockTimer = outer_;
        g_blockMs = outerMs_;
    }
    BlockScope(const BlockScope &) = delete;
    BlockScope &operator=(const BlockScope &) = delete;

  private:
    QTimer *outer_;
    int outerMs_;
};

// Just before the dispatcher sleeps: the block's wake-up timer, fired by work the dispatcher
// ran first, is armed again.
void ArmBlockBeforeSleep() {
    if (g_blockTimer && !g_blockTimer->isActive()) g_blockTimer->start(g_blockMs);
}

// Connects ArmBlockBeforeSleep to the dispatcher once. A runtime started again has a new
// dispatcher, possibly at the address of the old one: the guarded pointer tells them apart.
void WatchBlocks(QAbstractEventDispatcher *d) {
    static QPointer<QAbstractEventDispatcher> watched;
    if (watched == d) return;
    watched = d;
    QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, d, ArmBlockBeforeSleep);
}

} // namespace

double Timer() {
    using clock = std::chrono::steady_clock;
    static const clock::time_point start = clock::now();
    return std::chrono::duration<double>(clock::now() - start).count();
}

int InitRuntime(int argc, char **argv) {
    if (qApp) return 1;
    // Qt's own event dispatcher instead of GLib's (see InitUserInterface).
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    g_coreArgc = argc;
    g_coreApp = new QCoreApplication(g_coreArgc, argv);
    Timer();
    return 1;
}

int CloseRuntime() {
    if (!g_coreApp) return 0;
    CloseAllComPorts();
    CloseAllTCPConversations();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete g_coreApp;
    g_coreApp = nullptr;
    ResetEventWait();
    return 0;
}

void ResetEventWait() {
    g_lastCall = g_lastSystemPoll = -1;
    g_foundNothing = false;
    g_waitCursor = 0;
}

// A wait loop calls this and then checks whether what it waits for has come, so a first call
// only runs what is pending. When the loop calls again and the previous call found nothing,
// it spins briefly if spinning has been paying off (see kSpinSeconds) and otherwise blocks on
// the dispatcher at once: the socket, the serial port, a window event or the wake-up timer
// ends the block, and the event that ended it is run in the same call. Measured in bench/link
// and bench/live. A call that comes within microseconds of the last look at the system (a wait
// that ends and the next one that begins) runs only what the program queued; the system's
// events wait for the next call, a few microseconds later.
int ProcessSystemEvents() {
    if (!qApp) return 0;
    // An operation waits and lets the window live (InsideEventWait).
    struct Depth {
        Depth() { ++g_waitDepth; }
        ~Depth() { --g_waitDepth; }
    } depth;
    const unsigned long long before = Counter()->count;
    const double now = Timer();
    const bool inLoop = g_lastCall >= 0 && now - g_lastCall < kLoopGapSeconds;
    if (!inLoop || !g_foundNothing) {
        if (now - g_lastSystemPoll < kFreshSeconds) {
            QCoreApplication::sendPostedEvents();
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            g_lastSystemPoll = Timer();
        }
        g_foundNothing = Counter()->count == before;
        g_lastCall = Timer();
        return 0;
    }
    if (g_spinCredit > 0 || ++g_waitsSinceSpin >= kProbeEvery) {
        g_waitsSinceSpin = 0;
        const Spin spin = SpinForEvents(before);
        if (spin == Spin::Later) g_spinCredit = std::min(g_spinCredit + 1, kSpinCreditMax);
        if (spin == Spin::Nothing) g_spinCredit /= 2;
        if (spin != Spin::Nothing) {
            g_foundNothing = false;
            g_lastCall = g_lastSystemPoll = Timer();
            return 0;
        }
    }
    // A serial port waiting for the rest of a reply wakes the loop itself when it can be
    // there: the loop's own wake-up comes after that, not in the middle of the reply.
    int blockMs = kBlockMs;
    if (const double portDue = ComWakeDueIn(); portDue >= 0)
        blockMs = std::max(kBlockMs, int(std::ceil(portDue * 1000)) + 1);
    // What the dispatcher runs before it blocks (a queued call, a callback that waits for the
    // sensor itself) may process timers and so fire this block's wake-up timer; the dispatcher
    // re-arms it just before it blocks (ArmBlockBeforeSleep), or the block would last until
    // the next window or line event, however long that takes.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    unsigned wakeUps = 0;
    QObject::connect(&wake, &QTimer::timeout, [&wakeUps] { ++wakeUps; });
    wake.start(blockMs);
    QAbstractEventDispatcher *d = QAbstractEventDispatcher::instance();
    if (d) {
        WatchBlocks(d);
        const BlockScope scope(&wake, blockMs);
        d->processEvents(QEventLoop::WaitForMoreEvents);
    }
    wake.stop();
    // The wake-up timer's own events do not count as work.
    g_foundNothing = Counter()->count - before <= wakeUps;
    g_lastCall = g_lastSystemPoll = Timer();
    return 0;
}

int SetWaitCursor(int on) {
    if (!qApp) return 0;
    if (on) {
        if (g_waitCursor++ == 0 && g_cursorShower) g_cursorShower(1);
    } else if (g_waitCursor > 0) {
        if (--g_waitCursor == 0 && g_cursorShower) g_cursorShower(0);
    }
    return 0;
}

bool WaitCursorShown() {
    return g_waitCursor > 0;
}

void SetWaitCursorShower(WaitCursorShower shower) {
    g_cursorShower = shower;
}

bool InsideEventWait() {
    return g_waitDepth > 0;
}
