// One sensor's session for taviron: the line opened as the command line or the sensor list
// says, the identity check, and the line closed again. The link code, frames and texts are the
// window program's; a failure is said in its words.
#pragma once

#include "cli/connection.h"
#include "cli/report.h"

#include <string>

// Opens the line to the sensor (a COM number through the program's mapping, a device path, or
// the TCP server) and reads its identity: the firmware text (order 7), which must name the
// version this program is made for, then its name and serial number (order 15). 0 with the
// identity in the report; 3 (kExitNoConnection) with report->error set when the line does not
// open, the sensor does not answer, or its firmware is another version.
int ConnectSensor(const Connection &connection, CommandReport *report);

// Closes the line opened last; harmless when none is open.
void DisconnectSensor();

// A text of the window program as lines for a terminal: the blanks before its line breaks (the
// program's texts put one before every break) and the empty lines at its end left out.
std::string MessageLines(const std::string &text);

// The text of the link's last failure as the window program says it, as MessageLines.
std::string LinkFailureMessage();

// Takes the link's failures and notices in for taviron: the failure's text is what
// LinkFailureMessage gives, a server that floods the conversation is said on standard error.
void InstallCliLinkHandlers();
