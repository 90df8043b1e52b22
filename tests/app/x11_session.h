// A private virtual X server for tests that run the real program in a real window, and the
// window manager's close request (the close box) sent to one of its windows, waiting for a
// window to appear; and what the tests that start the real program beside a sensor share.
#pragma once

#include "sim/sim.h"

#include <string>
#include <sys/types.h>

class X11Session {
  public:
    X11Session() = default;
    ~X11Session();
    X11Session(const X11Session &) = delete;
    X11Session &operator=(const X11Session &) = delete;

    // Starts the server on a free display; false with *error set when it cannot.
    bool start(std::string *error);
    // ":N", the value for DISPLAY.
    const std::string &display() const { return display_; }
    // Waits up to `seconds` for a top-level window titled `title` and asks it to close, as a
    // window's close box does (WM_DELETE_WINDOW). False when no such window came.
    bool closeWindow(const std::string &title, double seconds);
    // Waits up to `seconds` for a top-level window titled `title`; false when none came.
    bool waitForWindow(const std::string &title, double seconds);

  private:
    pid_t server_ = -1;
    std::string display_;
};

// For tests that run the real program as a process beside a simulated sensor: the sensor on a
// pseudo-terminal only (no TCP), and the program's wait status once it ended, or -1 after
// `seconds` (the process is then killed).
tavsim::SimConfig SerialSimConfig();
int WaitForProcessEnd(pid_t pid, double seconds);
