// A private virtual X server (Xvfb, display number chosen by the server) and the close
// request a window manager sends when the operator clicks a window's close box.
#include "x11_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The title of a window (WM_NAME, as Qt sets it), or an empty string.
std::string Title(Display *d, Window w) {
    XTextProperty prop;
    std::string title;
    if (XGetWMName(d, w, &prop) && prop.value) {
        title.assign(reinterpret_cast<const char *>(prop.value), prop.nitems);
        XFree(prop.value);
    }
    return title;
}

// The first window below `w` (itself included) with the title, or 0.
Window Find(Display *d, Window w, const std::string &title) {
    if (Title(d, w) == title) return w;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = Find(d, children[i], title);
        if (children) XFree(children);
    }
    return found;
}

} // namespace

X11Session::~X11Session() {
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
}

bool X11Session::start(std::string *error) {
    int ends[2];
    if (pipe(ends) != 0) {
        *error = "no pipe";
        return false;
    }
    server_ = fork();
    if (server_ == 0) {
        close(ends[0]);
        std::string fd = std::to_string(ends[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
               "1280x1024x24", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    // The server writes its display number once it accepts clients.
    std::string number;
    pollfd p{ends[0], POLLIN, 0};
    while (poll(&p, 1, 20000) > 0) {
        char c;
        if (read(ends[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(ends[0]);
    if (number.empty()) {
        *error = "Xvfb did not start (is it installed?)";
        return false;
    }
    display_ = ":" + number;
    return true;
}

namespace {

// The window titled `title` once it is there, or 0 after `seconds`.
Window WaitFor(Display *d, const std::string &title, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Window w = 0;
    while (!(w = Find(d, DefaultRootWindow(d), title)) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return w;
}

} // namespace

bool X11Session::waitForWindow(const std::string &title, double seconds) {
    Display *d = XOpenDisplay(display_.c_str());
    if (!d) return false;
    const Window w = WaitFor(d, title, seconds);
    XCloseDisplay(d);
    return w != 0;
}

bool X11Session::closeWindow(const std::string &title, double seconds) {
    Display *d = XOpenDisplay(display_.c_str());
    if (!d) return false;
    const Window w = WaitFor(d, title, seconds);
    if (w) {
        XEvent ev;
        std::memset(&ev, 0, sizeof ev);
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, w, False, NoEventMask, &ev);
        XSync(d, False);
    }
    XCloseDisplay(d);
    return w != 0;
}

tavsim::SimConfig SerialSimConfig() {
    tavsim::SimConfig config;
    config.tcp = false;
    config.serial = true;
    return config;
}

int WaitForProcessEnd(pid_t pid, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status;
}
