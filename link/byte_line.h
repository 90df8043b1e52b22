// The one byte line the link talks to the sensor through. The serial port, the TCP
// conversation and the tests' fake line are each one: the exchange, its checks and the
// recorder's wait do not know which. (It is the program's one table of functions.) How a line
// is opened differs by kind: serial_line.h, tcp_line.h, and the tests' own.
#pragma once

#include "base/state.h"
#include "link/link_fault.h"

#include <string>

// How a wait on the line ended.
enum class LineWait {
    Complete, // the bytes waited for are there
    TimedOut, // the link's clock passed the deadline first
    Stopped,  // the flag the wait watched was cleared (BREAK, or a failure meanwhile)
    Closed,   // the line is not open (closed by the other side or by the program)
    LineError // the line reported an error (serial: GetComStat), kept in ComStatError
};

// No deadline: the wait ends only as the other ways say.
constexpr double kNoDeadline = 1e300;

class ByteLine {
  public:
    virtual ~ByteLine() = default;

    // Hands `count` bytes to the line. Returns the number it took, negative when it took none.
    virtual int Write(const u8 *bytes, int count) = 0;
    // Bytes received and not read yet; negative once the line is not open (closed by the
    // program or by the other side, or never opened).
    virtual int Available() = 0;
    // Whether the line is open now.
    bool IsOpen() { return Available() >= 0; }
    // Takes up to `count` of the bytes received, never waiting for more. Returns how many.
    virtual int Read(u8 *buffer, int count) = 0;
    // Waits until `count` bytes are there, the link's clock passes `deadline`, the flag
    // `keepWaiting` (when not null) is cleared, the line is not open (any more), or it reports
    // an error, in that order of precedence (the flag first). `expected`, when not
    // 0, is the length of the whole reply awaited: a line that can wake once for all of it
    // does. The window keeps answering meanwhile: events are processed on every pass, and
    // other callbacks (BREAK, STOP, the TCP data callback) run inside the wait.
    virtual LineWait WaitFor(int count, double deadline, int expected, const i16 *keepWaiting) = 0;
    // Drops what was received and not read, and what was not sent yet.
    virtual void Flush() = 0;
    // Line error bits gathered since the last call; 0 when there are none.
    virtual int LineErrors() = 0;
    // Why the other side closed the line (DeviceGone, ServerClosed); None while it is open or
    // when the program closed it.
    virtual LinkError WhyClosed() = 0;
    // How reports name the line: the port and its device, or server:port.
    virtual std::string Where() = 0;
    // Closes the line; harmless when it is not open.
    virtual void Close() = 0;

    // Reports the line's closure once, whoever sees it first (a wait, or the line's own notice
    // of a hang-up or a server's close): WhyClosed, or a time-out when the program closed it.
    // Returns -1. Opening the line again allows the next report.
    int ReportClosure();
    // How many closures of the line have been reported so far.
    int ClosureReports() const { return closureReports_; }

  protected:
    bool closureReported_ = false; // the closure of this opening has been reported
    int closureReports_ = 0;
};

// The line the link talks through now: a test's line when one is set, else the serial port
// or the TCP conversation, as ComProtocol chooses (a switch of the protocol takes effect with
// the next exchange; the other line stays as it is).
ByteLine &LinkLine();
// Puts `line` in place of the serial and TCP lines (null: back to them).
void UseLinkLine(ByteLine *line);
