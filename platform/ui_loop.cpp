// The event loop of the window program: start-up of the runtime with widgets,
// RunUserInterface / QuitUserInterface, the busy cursor on the screen, and the end of the
// runtime. Waiting for events itself (ProcessSystemEvents) and the timer are the core part's
// (platform/core/events.cpp), shared with programs without a window.
#include "platform/core/rs232.h"
#include "platform/core/runtime_internal.h"
#include "platform/core/tcp.h"
#include "platform/ui_internal.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

#include <cstdlib>
#include <vector>

namespace {

// The application object; QApplication keeps a reference to its argument count.
QApplication *g_app = nullptr;
int g_argc = 0;
QEventLoop *g_loop = nullptr;
bool g_quitPending = false;
int g_quitCode = 0;
bool g_cursorShown = false;

void ShowWaitCursor(int on) {
    if (on && !g_cursorShown) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!on && g_cursorShown) QApplication::restoreOverrideCursor();
    g_cursorShown = on;
}

} // namespace

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
    SetWaitCursorShower(ShowWaitCursor);
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
    ShowWaitCursor(0);
    SetWaitCursorShower(nullptr);
    delete g_app;
    g_app = nullptr;
    g_quitPending = false;
    ResetEventWait();
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

// Test hook (platform/testing.h).
bool TestBusyCursorShown() {
    return WaitCursorShown();
}
