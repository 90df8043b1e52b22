// Serial port numbers and the devices behind them, and the listing of the ports present.
//
// COM<n> is the device named for it in "ComPorts.cfg" beside the program (an INI file: section
// [COM PORTS], items COM<n> = "<device path>"; a USB adapter or a pseudo-terminal can so carry
// any number), and otherwise the Linux default /dev/ttyS<n-1> (COM1 = /dev/ttyS0). Port numbers
// run from 1 to 255. The file is read afresh on every call, so a mapping written while the
// program runs is seen by the next connection attempt.
//
// USB and ACM serial adapters get numbers of their own: every adapter in /dev/serial/by-id
// that the file does not map yet is given the lowest free number from COM3 up (a number that
// the file does not use and whose built-in port is not present), recorded in the file under
// its stable by-id name. Replugging the adapter, even into another socket, keeps its number.
#pragma once

constexpr int kMaxComPort = 255;
constexpr int kFirstAdapterPort = 3; // COM1 and COM2 stay with the built-in ports

// The device path of COM<port> into `buffer` (always terminated). Returns 0, or -2 when the
// number is outside 1 to 255 (the buffer is then empty). Adapters plugged in since the last
// look are given their numbers first.
int ComDeviceName(int port, char *buffer, int size);

// Lists the serial ports present: writes the numbers of at most `count` ports, lowest first,
// into `ports` and returns how many it wrote. A mapped number counts when its device exists;
// an unmapped one when its built-in port is present. Adapters plugged in get their numbers
// first. `filter` is accepted for the callers' sake and not used.
int LocateCom(const char *filter, int *ports, int count);

// What an operator recognises COM<port> by: the device it reaches (a by-id name resolved to
// the device node) and, where the system knows it, the adapter's product name in brackets,
// e.g. "/dev/ttyUSB0 (USB Serial Adapter)". Always terminated; returns 0 or -2 as above.
int GetComPortDescription(int port, char *buffer, int size);
