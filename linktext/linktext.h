// What the operator reads about the link, as {German, English} pairs: the text of every
// failure code (the one the connection page's status box shows; an open failure and a device
// that went away also say where and why), the texts of the serial and TCP open errors and of
// the reasons the system gives, the sensor's plausibility message and the notice of a server
// that floods the conversation. Pure look-ups and text building, no panels: a program without
// a window says what the window program says.
#pragma once

#include "base/texts.h"
#include "link/link_fault.h"

#include <string>

// The failure's text in the current language.
std::string LinkFailureText(const LinkFault &fault);
// What the data panel's status line says of the failure: "TIMEOUT!" (the same in both
// languages), but for a set the sensor rejected the line that says so (RejectedLine).
std::string FailureStatusLine(const LinkFault &fault);
// The sensor's RAM plausibility message without the sensor's number, in `language` (0 German,
// 1 English): "Parameter in RAM did not pass plausibility check and were set to default value!"
std::string RejectedLine(int language);

// "Server sends more data than asked for; they are dropped (N bytes so far).\n"
std::string LinkFloodText(unsigned long long droppedBytes);

// The sensor's plausibility message: the title of the help popup, a line feed, the sensor's
// number and `message` (the RAM or the EEPROM text), in the current language.
std::string PlausibilityText(int number, const TextPair &message);
extern const TextPair kTxtRamImplausible;
extern const TextPair kTxtEepromImplausible;

// The firmware of the sensor is not the version this program is made for; the sensor's version
// follows the text.
extern const TextPair kTxtVersionMismatch;

// The text of an OpenComConfig result and of a ConnectToTCPServerEx result.
const TextPair &SerialErrorText(int code);
const TextPair &TcpErrorText(int code);

// What an operator can do about a failed open or connect, by the reason the platform gives
// (platform/core/rs232.h ComOpenReason, platform/core/tcp.h TcpConnectReason). Empty for a reason
// that has no advice of its own: the system's text is shown instead.
const TextPair &ComReasonText(int reason);
const TextPair &TcpReasonText(int reason);

// The failure text of a link that could not be opened: the open error's own text first, then
// on a line of its own where (COM port and device, or server:port) and why, e.g.
// "Cannot open port\nCOM1 /dev/ttyS0: permission denied - add the user to group dialout, then
// log in again". `advice` empty: `systemText` stands for the reason; both empty: no reason.
std::string ExplainedFailureText(const char *errorText, const char *where, const char *advice,
                                 const char *systemText);
