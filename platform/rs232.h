// Serial ports by number (COM1 = 1, ..., see platform/ports.h for the devices behind them):
// opening with line settings, time-out, flushing, writing, reading with the port's time-out,
// the input queue length and the line status. Every operation may be called on a port that
// is not open; it then returns kRsErrPortNotOpen (CloseCom returns 0).
#pragma once

// Results of OpenComConfig and the other operations.
enum {
    kRsErrUnknownSystem = -1, // the system refused for a reason not listed here
    kRsErrInvalidPort = -2,   // number outside 1..255, or no device behind the number
    kRsErrPortNotOpen = -3,
    kRsErrIo = -4, // the line broke down during an operation
    kRsErrNoPortFound = -6,
    kRsErrCannotOpen = -7, // the device exists but is busy or not permitted
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

// Opens COM<port> (closing it first when it is open). `deviceName` empty: the device the port
// number maps to. Parity 0 none, 1 odd, 2 even; data bits 5 to 8; stop bits 1 or 2. The
// input queue holds at most `inputQueueSize` bytes (more wait in the system's buffer).
// Returns 0 or a negative code from the list above.
int OpenComConfig(int port, const char *deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int outputQueueSize);
int CloseCom(int port);
// Reads and writes give up after `seconds` (default 5 s).
int SetComTime(int port, double seconds);
// Hardware handshake: 0 off, 1 on (RTS/CTS).
int SetCTSMode(int port, int mode);
int FlushInQ(int port);
int FlushOutQ(int port);
// Writes `count` bytes and waits until they are out (at most the time-out). Returns the
// number of bytes written.
int ComWrt(int port, const void *buffer, int count);
// Reads up to `count` bytes, waiting at most the time-out for them. Returns the number read.
int ComRd(int port, void *buffer, int count);
// Bytes waiting in the input queue (what has arrived is taken in first).
int GetInQLen(int port);
// Line status bits gathered since the last call (which clears them).
int GetComStat(int port);
