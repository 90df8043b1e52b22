// The serial port as the link's byte line (ComPort), on the platform's serial library.
#pragma once

#include "link/byte_line.h"

#include <string>

// The link's serial line: COM<ComPort> as it is open now.
ByteLine &SerialLine();

// Opens COM<port> (the device `device` when it is not empty) at `baud` as the link's serial
// line (ComPort becomes `port`), with the port's 2-second time-out, both queues flushed and no
// handshake; a device that goes away while it is open is reported once (DeviceGone) and let go.
// Reports name the line by `device` when it is given, else by the port and its device. Returns
// 0, or OpenComConfig's negative result after a SerialOpen failure saying where and the
// system's reason.
int OpenSerialLine(int port, const char *device, long baud);

// Closes COM<ComPort>, opens it again at the rate BaudrateIndex chooses and sets LinkResult.
void InitRS232();

// "COM3 /dev/ttyUSB0 (product)": the port as FIND COM PORTS lists it; "COM3" when no device
// stands behind it.
std::string SerialPortName(int port);
