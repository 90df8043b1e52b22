// Pure look-ups of the link: the baud rate of a rate index, the TCP port number typed on the
// connection page, and the parts of the sensor's firmware text.
#pragma once

#include <string>

// 0 = 9600, 1 = 19200, 2 = 38400, 3 = 57600, 4 = 115200, 5 = 230400, 6 = 460800,
// 7 = 921600; any other index gives 115200.
long BaudRateFromIndex(int index);

// The decimal value of the leading digits of `text` (blanks before them are skipped); 0 when
// there are none. Values beyond the int range are held at its maximum.
int PortNumberFromText(const char *text);

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
