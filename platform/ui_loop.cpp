// The event loop: start-up of the runtime, RunUserInterface / QuitUserInterface, and
// ProcessSystemEvents, which runs what is pending and, when nothing is, waits briefly for the
// next event instead of spinning (a short spin, then a bounded block), so the sensor's wait
// loops neither burn a core nor add latency. Also the timer and the busy cursor.
#include "platform/ui_internal.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdlib>

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

EventCounter *g_counter = nullptr;
QEventLoop *g_loop = nullptr;
bool g_quitPending = false;
int g_quitCode = 0;
int g_waitCursor = 0;

double g_idleSince = -1; // Timer() value when passes started finding nothing
double g_lastCall = -1;  // Timer() value of the previous ProcessSystemEvents
// Keep spinning this long before blocking: about one loopback round trip. Longer spins never
// block while a serial reply comes in a byte every 87 us (115200 baud) and take a core from
// the process that answers; measured in bench/live.
constexpr double kSpinSeconds = 30e-6;
constexpr int kBlockMs = 2; // and then block at most this long

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
    static int s_argc = argc;
    static QApplication *app = new QApplication(s_argc, argv);
    app->setQuitOnLastWindowClosed(false);
    g_counter = new EventCounter;
    app->installEventFilter(g_counter);
    Timer();
    return 1;
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

int ProcessSystemEvents() {
    if (!qApp) return 0;
    unsigned long long before = g_counter->count;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    double now = Timer();
    bool inLoop = g_lastCall >= 0 && now - g_lastCall < 0.05; // called again by a wait loop
    g_lastCall = now;
    if (g_counter->count != before) {
        g_idleSince = -1;
        return 0;
    }
    if (g_idleSince < 0 || !inLoop) { // a new idle stretch begins
        g_idleSince = now;
        return 0;
    }
    if (now - g_idleSince < kSpinSeconds) return 0;
    // Nothing pending for a while: block on the dispatcher until an event arrives or the
    // wake-up timer fires, whichever comes first.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(kBlockMs);
    QAbstractEventDispatcher *d = QAbstractEventDispatcher::instance();
    if (d) d->processEvents(QEventLoop::WaitForMoreEvents);
    bool wokenByTimer = !wake.isActive();
    wake.stop();
    // The wake-up timer's own event does not count as work.
    if (g_counter->count - before > (wokenByTimer ? 1u : 0u)) g_idleSince = -1;
    g_lastCall = Timer();
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
