// Serial port numbers and the devices behind them, and the listing of the ports present.
//
// COM<n> is the device named for it in "ComPorts.cfg" beside the program (section [COM PORTS],
// lines COM<n> = "<device path>"; a USB adapter or a pseudo-terminal can so carry any number),
// and otherwise the Linux default /dev/ttyS<n-1> (COM1 = /dev/ttyS0). Port numbers run from 1
// to 255. The file is read afresh on every call, so a mapping written while the program runs
// is seen by the next connection attempt.
#pragma once

constexpr int kMaxComPort = 255;

// The device path of COM<port> into `buffer` (always terminated). Returns 0, or -2 when the
// number is outside 1 to 255 (the buffer is then empty).
int ComDeviceName(int port, char *buffer, int size);

// Lists the serial ports present: writes the numbers of at most `count` ports, lowest first,
// into `ports` and returns how many it wrote. A mapped number counts when its device exists;
// an unmapped one when its default device is a serial port the system knows. `filter` is
// accepted for the callers' sake and not used.
int LocateCom(const char *filter, int *ports, int count);

// The mapping text of one "ComPorts.cfg": the device of COM<port>, or an empty string when the
// text does not map it. Section and key names are matched without regard to case; values may
// be quoted ("..." with \" and \\ escapes) or plain.
int ComDeviceFromMapText(const char *text, int port, char *buffer, int size);
