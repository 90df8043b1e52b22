// Serial ports by number (COM1 = 1, ..., see platform/core/ports.h for the devices behind them):
// opening with line settings, time-out, flushing, writing, reading with the port's time-out,
// the input queue length and the line status. Every operation may be called on a port that
// is not open; it then returns kRsErrPortNotOpen (CloseCom returns 0).
//
// A device that goes away while the port is open (adapter unplugged, the other end of a
// pseudo-terminal closed) is noticed as soon as the event loop runs or an operation touches
// the port: the device is let go at once, the port's line status carries kComStatDeviceLost,
// and the port's callback hears of it once. The port stays "open but gone" until CloseCom.
#pragma once

// Results of OpenComConfig and the other operations.
enum {
    kRsErrUnknownSystem = -1, // the system refused for a reason not listed here
    kRsErrInvalidPort = -2,   // number outside 1..255
    kRsErrPortNotOpen = -3,
    kRsErrIo = -4,          // the line broke down during an operation
    kRsErrDeviceGone = -5,  // the device went away while the port was open
    kRsErrNoPortFound = -6, // no device behind the number (an adapter not plugged in)
    kRsErrCannotOpen = -7,  // the device exists but is busy or not permitted
    kRsErrInvalidParity = -10,
    kRsErrInvalidDataBits = -11,
    kRsErrInvalidStopBits = -12,
    kRsErrInvalidBaudrate = -14,
    kRsErrTimeout = -99,
};

// Bits of GetComStat; 0 means the line is fine.
enum {
    kComStatReadError = 0x0100,  // reading from the device failed
    kComStatWriteError = 0x0200, // writing to the device failed
    kComStatDeviceLost = 0x0400, // the device went away (adapter unplugged, other end gone)
    kComStatOtherError = 0x0800,
};

// Why the system refused the last open of a port: what an operator can do about it.
enum ComOpenReason {
    kComReasonNone = 0,
    kComReasonNoDevice,   // no such device: the adapter is not plugged in
    kComReasonPermission, // the user may not open the device
    kComReasonBusy,       // another program holds the device
    kComReasonNotSerial,  // the device is not a serial port
    kComReasonOther,      // see the system's own text
};

// Opens COM<port> (closing it first when it is open). `deviceName` empty: the device the port
// number maps to. Parity 0 none, 1 odd, 2 even; data bits 5 to 8; stop bits 1 or 2. The
// input queue holds at most `inputQueueSize` bytes (more wait in the system's buffer).
// Returns 0 or a negative code from the list above.
int OpenComConfig(int port, const char *deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int outputQueueSize);
int CloseCom(int port);
// Closes every port still open (the end of the user-interface runtime, platform/ui.h).
void CloseAllComPorts();
// Reads and writes give up after `seconds` (default 5 s).
int SetComTime(int port, double seconds);
// Hardware handshake: 0 off, 1 on (RTS/CTS).
int SetCTSMode(int port, int mode);
int FlushInQ(int port);
int FlushOutQ(int port);
// Both at once, in one call to the system.
int FlushComQueues(int port);
// Writes `count` bytes and waits until the system has taken them (at most the time-out).
// Returns the number of bytes written.
int ComWrt(int port, const void *buffer, int count);
// Reads up to `count` bytes, waiting at most the time-out for them. Returns the number read.
int ComRd(int port, void *buffer, int count);
// Reads up to `count` of the bytes already in the input queue; never waits. Returns the number
// read (0 when none are there).
int ComRdQueued(int port, void *buffer, int count);
// Bytes waiting in the input queue; kRsErrDeviceGone once the device has gone away.
int GetInQLen(int port);
// Line status bits gathered since the last call (which clears them); kComStatDeviceLost stays
// set while the device is gone.
int GetComStat(int port);

// A wait for this port's input (the event loop's, ComRd's) wakes once `count` bytes can be in
// the input queue at the line's speed, or at once when the line hangs up, instead of at every
// byte that comes. Wait loops that know how long the answer is set it before they wait; the
// count holds until the program reads or discards the input. 1 is the default.
int SetComWakeCount(int port, int count);
// The reply the next wait is for is expected to have `count` bytes in all (0: not known). The
// wait then wakes once all of them can be there rather than when its own count can: one
// wake-up for a header and its data. A reply that comes shorter is seen at that time; one that
// has not come in that time is waited for as without it. Holds until the program reads or
// discards the input.
int SetComReplyLength(int port, int count);
// Seconds until a port's wait for the rest of a reply wakes the event loop by itself, or a
// negative value when no port's wait is timed (the event loop's own wake-up need not come
// before it).
double ComWakeDueIn();

// The port's callback: called from the event loop once when the device of the open port goes
// away (event kComEventDeviceLost). It may close the port.
enum { kComEventDeviceLost = 1 };
using ComCallbackPtr = void (*)(int port, int event, void *callbackData);
int InstallComCallback(int port, ComCallbackPtr callback, void *callbackData);

// The reason of the last failed OpenComConfig of `port`, and the system's own text for it
// into `systemText` (may be null). kComReasonNone when the last open did not fail there.
int GetComOpenReason(int port, char *systemText, int size);
