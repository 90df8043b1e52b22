// Ctrl-C and a TERM signal end the program the way its window's close box does: the signal only
// writes a byte into a pipe (all a signal handler may safely do); the event loop reads it, closes
// whatever popup or dialog is open as Escape would, and gives every window panel EVENT_CLOSE, so
// the program stores its settings and leaves its loop by its own path. A second signal is not
// caught any more and ends the process at once (a program that does not react is not a trap).
#include "platform/ui_internal.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
QPointer<QSocketNotifier> g_notifier;
constexpr int kSignals[] = {SIGINT, SIGTERM};

void OnSignal(int number) {
    std::signal(number, SIG_DFL); // the next one is not caught
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(g_pipe[1], &byte, 1);
}

void CloseAsTheCloseBoxDoes() {
    char drain[16];
    while (read(g_pipe[0], drain, sizeof drain) > 0) {
    }
    for (int number : kSignals)
        std::signal(number, SIG_DFL);
    // Open popups and dialogs first, as Escape answers them; then the windows.
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal) break; // it refused to close
    }
    bool windows = false;
    for (int panel : AllPanels()) {
        PanelRec *p = FindPanel(panel);
        if (!p || p->parent) continue;
        PostPanelEvent(panel, EVENT_CLOSE);
        windows = true;
    }
    if (!windows) QuitUserInterface(0);
}

} // namespace

// The notifier belongs to the application object; a runtime started again gets a new one.
void WatchTerminationSignals() {
    if (g_pipe[0] < 0 || !qApp || g_notifier) return;
    g_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(g_notifier, &QSocketNotifier::activated, qApp, CloseAsTheCloseBoxDoes);
}

int CloseOnTerminationSignals() {
    if (g_pipe[0] < 0) {
        if (pipe(g_pipe) != 0) return -1;
        for (int fd : g_pipe) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    for (int number : kSignals)
        std::signal(number, OnSignal);
    WatchTerminationSignals();
    return 0;
}

void StopWatchingTerminationSignals() {
    for (int number : kSignals)
        if (auto previous = std::signal(number, SIG_DFL); previous != OnSignal)
            std::signal(number, previous); // not ours: left as it was
    delete g_notifier.data();
}
