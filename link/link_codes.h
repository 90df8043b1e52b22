// Pure look-ups of the link: the baud rate of a rate index, the TCP port number typed on the
// connection page, the texts of the serial and TCP open errors, and the parts of the sensor's
// firmware text.
#pragma once

#include "base/texts.h"

#include <string>

// 0 = 9600, 1 = 19200, 2 = 38400, 3 = 57600, 4 = 115200, 5 = 230400, 6 = 460800,
// 7 = 921600; any other index gives 115200.
long BaudRateFromIndex(int index);

// The decimal value of the leading digits of `text` (blanks before them are skipped); 0 when
// there are none. Values beyond the int range are held at its maximum.
int PortNumberFromText(const char *text);

// The text of an OpenComConfig result and of a ConnectToTCPServerEx result.
const TextPair &SerialErrorText(int code);
const TextPair &TcpErrorText(int code);

// What an operator can do about a failed open or connect, by the reason the platform gives
// (platform/rs232.h ComOpenReason, platform/tcp.h TcpConnectReason). Empty for a reason that
// has no advice of its own: the system's text is shown instead.
const TextPair &ComReasonText(int reason);
const TextPair &TcpReasonText(int reason);

// The failure text of a link that could not be opened: the open error's own text first, then
// on a line of its own where (COM port and device, or server:port) and why, e.g.
// "Cannot open port\nCOM1 /dev/ttyS0: permission denied - add the user to group dialout, then
// log in again". `advice` empty: `systemText` stands for the reason; both empty: no reason.
std::string ExplainedFailureText(const char *errorText, const char *where, const char *advice,
                                 const char *systemText);

// The firmware text split the way the identity check reads it: A up to the first ".", B up to
// the next ".", C up to the next blank, D the whole rest. A part that the text does not reach
// is empty.
struct FirmwareParts {
    std::string a, b, c, d;
};
FirmwareParts SplitFirmwareText(const char *text);
// A "." B: what the version test compares with the accepted version.
std::string FirmwareVersionOf(const FirmwareParts &parts);
// A "." B, a blank and D (no blank when D is empty): what the data panel and the status box
// show (C, the sub-version, left out). FirmwareVersion itself keeps the sensor's text.
std::string FirmwareDisplayOf(const FirmwareParts &parts);
