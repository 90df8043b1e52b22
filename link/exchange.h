// One request and one reply with the sensor: building the request in TxFrame/TxBuf, sending it
// over the serial port or the TCP conversation, waiting (3 s each) for the reply header and
// data with events processed, checking both, and the common failure handler SetTimeout.
// Sensor operations return 1 on success and -1 on failure; a failure has already put its text
// into ErrorText and called SetTimeout when they return.
#pragma once

#include "app/state.h"

// Builds the request header in TxFrame for the `length` data bytes already placed in TxData()
// and copies header and data into TxBuf.
void FillTxBuf(u8 order, u16 argument, u16 length);

// Sends the first frameLength bytes of TxBuf and receives the reply into RxBuf.
int DataExchange(int frameLength);
int GetHeaderFrame();
int GetDataFrame();
int CheckHeaderCRC();

// The common failure handler: stops the live cycle and a waiting recording, marks the link
// failed, shows "TIMEOUT!" on the data panel, appends ErrorText to the status box, dims the
// three link buttons and brings the connection page to the front.
void SetTimeout();
