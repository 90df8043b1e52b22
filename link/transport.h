// Opening the serial port or the TCP conversation, the TCP data callback and the identity
// check of the sensor at the other end.
#pragma once

void InitRS232();
void InitTCP_IP();
int ClientTCPCB(unsigned int handle, int event, int error, void *callbackData);
void CheckComLine();
