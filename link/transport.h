// Opening the serial port or the TCP conversation, the TCP data callback and the identity
// check of the sensor at the other end.
#pragma once

void InitRS232();
void InitTCP_IP();
int ClientTCPCB(unsigned int handle, int event, int error, void *callbackData);
// Drops what the server sent before a request, as flushing the input queue does on the serial
// line, so that the reply is the first thing RxBuf receives.
void FlushTcpInput();
void CheckComLine();
