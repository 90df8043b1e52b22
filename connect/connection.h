// Connection management: the page's protocol-dependent controls, connecting, the identity check
// of the sensor at the other end, going offline and changing the baud rate.
#pragma once

#include "base/panels.h"

// Shows the connection page's controls for the protocol chosen (serial or TCP).
void InitConnectPanel();
// TRY TO CONNECT: takes the page's settings, opens the port or the TCP conversation and runs
// the identity check; on any failure asks the operator to close the program or work offline.
// LinkOk is 1 afterwards only when the sensor was identified.
void TryToConnect();
// Goes offline: closes port and conversation, selects FILE and leaves TRY TO CONNECT, SEND,
// GET and the baud rate usable.
void Disconnect();
// CHANGE BAUDRATE: tells the sensor the page's rate, reopens the port at it and connects anew.
void ChangeBaudrate();
// The identity check: firmware text (only the accepted version passes), sensor name and serial
// number into the status box, then the sensor's parameters read once. LinkOk is 1 only when
// all of it worked; the link buttons are enabled then.
void CheckComLine();
