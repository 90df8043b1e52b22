// Opening the serial port or the TCP conversation, and the TCP data callback.
#pragma once

#include <string>

void InitRS232();
void InitTCP_IP();
int ClientTCPCB(unsigned int handle, int event, int error, void *callbackData);
// Drops what the server sent before a request, as flushing the input queue does on the serial
// line, so that the reply is the first thing RxBuf receives.
void FlushTcpInput();

// How many serial devices have gone away while open since the program started; each was
// reported (SetTimeout) when it went. A wait that sees the count change stops: its failure
// has been reported already.
int SerialLinesLost();
// What a connection attempt waits for, for the status line: the port with its device and
// rate, or the server and port number.
std::string SerialPortWaitText();
std::string ServerWaitText();
