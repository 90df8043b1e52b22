// The event loop: start-up of the runtime, RunUserInterface / QuitUserInterface, and
// ProcessSystemEvents, which runs what is pending and, when a wait loop calls it again with
// nothing pending, blocks until the next event (bounded), so the sensor's wait loops neither
// burn a core nor add latency. Also the timer, the busy cursor, and the end of the runtime.
#include "platform/rs232.h"
#include "platform/tcp.h"
#include "platform/ui_internal.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

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

// The application object; QApplication keeps a reference to its argument count.
QApplication *g_app = nullptr;
int g_argc = 0;
EventCounter *g_counter = nullptr; // a child of g_app
QEventLoop *g_loop = nullptr;
bool g_quitPending = false;
int g_quitCode = 0;
int g_waitCursor = 0;

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
        if (g_counter->count != before) return first ? Spin::AtOnce : Spin::Later;
        if (Timer() >= until) return Spin::Nothing;
    }
}

} // namespace

double Timer() {
    using clock = std::chrono::steady_clock;
    static const clock::time_point start = clock::now();
    return std::chrono::duration<double>(clock::now() - start).count();
}

int InitUserInterface(int argc, char **argv) {
    if (qApp) return 1;
#if defined(Q_OS_LINUX)
    // Without a display Qt would abort; report it as a runtime that cannot start.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        return 0;
#endif
    // Qt's own event dispatcher instead of GLib's: GLib's wakes itself up (a write and a
    // further poll) whenever a socket's write notifier is switched on and off, which every
    // request to the sensor does; measured in bench/link. QT_NO_GLIB set empty keeps GLib.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    g_argc = argc;
    g_app = new QApplication(g_argc, argv);
    g_app->setQuitOnLastWindowClosed(false);
    g_counter = new EventCounter;
    g_counter->setParent(g_app);
    g_app->installEventFilter(g_counter);
    WatchTerminationSignals();
    Timer();
    return 1;
}

// Windows go first, while the platform that shows them is still there; then what talks to
// the outside; then the deletions that were deferred (a discarded panel is deleted from the
// event loop), which the application object's end would otherwise leave to the process's exit,
// after the platform is gone. The runtime's own helper objects are children of the
// application object and end with it.
int CloseUserInterface() {
    if (!g_app || g_loop) return 0;
    DiscardAllPanels();
    std::vector<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (!w->parentWidget()) windows.emplace_back(w);
    for (QPointer<QWidget> &w : windows)
        delete w.data(); // a window deleted with an earlier one is null here
    CloseAllComPorts();
    CloseAllTCPConversations();
    StopWatchingTerminationSignals();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (g_waitCursor > 0) QApplication::restoreOverrideCursor();
    g_waitCursor = 0;
    delete g_app;
    g_app = nullptr;
    g_counter = nullptr;
    g_quitPending = false;
    g_lastCall = g_lastSystemPoll = -1;
    g_foundNothing = false;
    return 0;
}

int RunUserInterface() {
    if (g_quitPending) { // a quit before the loop makes it return at once
        g_quitPending = false;
        return g_quitCode;
    }
    QEventLoop loop;
    g_loop = &loop;
    loop.exec();
    g_loop = nullptr;
    g_quitPending = false;
    return g_quitCode;
}

int QuitUserInterface(int returnCode) {
    g_quitCode = returnCode;
    if (g_loop)
        g_loop->exit(returnCode);
    else
        g_quitPending = true;
    return 0;
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
    const BusyScope busy; // an operation waits and lets the window live
    const unsigned long long before = g_counter->count;
    const double now = Timer();
    const bool inLoop = g_lastCall >= 0 && now - g_lastCall < kLoopGapSeconds;
    if (!inLoop || !g_foundNothing) {
        if (now - g_lastSystemPoll < kFreshSeconds) {
            QCoreApplication::sendPostedEvents();
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            g_lastSystemPoll = Timer();
        }
        g_foundNothing = g_counter->count == before;
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
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(blockMs);
    QAbstractEventDispatcher *d = QAbstractEventDispatcher::instance();
    if (d) d->processEvents(QEventLoop::WaitForMoreEvents);
    const bool wokenByTimer = !wake.isActive();
    wake.stop();
    // The wake-up timer's own event does not count as work.
    g_foundNothing = g_counter->count - before <= (wokenByTimer ? 1u : 0u);
    g_lastCall = g_lastSystemPoll = Timer();
    return 0;
}

int SetWaitCursor(int on) {
    if (!qApp) return 0;
    if (on) {
        if (g_waitCursor++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (g_waitCursor > 0) {
        if (--g_waitCursor == 0) QApplication::restoreOverrideCursor();
    }
    return 0;
}

// Test hook (platform/testing.h).
bool TestBusyCursorShown() {
    return g_waitCursor > 0;
}
