// One request and one reply with the sensor: building the request in TxFrame/TxBuf, sending it
// over the link's byte line (serial port or TCP conversation alike), waiting (3 s each, on the
// link's clock) for the reply header and data with events processed, and checking both.
// Sensor operations return 1 on success and -1 on failure; a failure has been reported
// (LinkFailure, link/link_fault.h) when they return.
#pragma once

#include "base/state.h"
#include "link/link_fault.h"

// Builds the request header in TxFrame for the `length` data bytes already placed in TxData()
// and copies header and data into TxBuf.
void FillTxBuf(u8 order, u16 argument, u16 length);

// Sends the first frameLength bytes of TxBuf and receives the reply into RxBuf: 1 when a
// reply to the order sent passed its checks (its header fields then in RxOrder, RxArgument,
// RxLength, RxDataCrc), else -1 after LinkFailure. A reply to another order is a bad header
// (HeaderCrc); an error reply (order 0) is a failure: InvalidOrder for its number 1,
// LineError for 2, SensorError naming any other number.
int DataExchange(int frameLength);
// The next DataExchange's reply is expected to carry `length` data bytes (an order whose reply
// length is fixed): over a serial line its header and data are then waited for with one
// wake-up. Any reply is still taken as it comes; the expectation holds for one exchange.
void ExpectReplyData(int length);
// The two stages of DataExchange: the header (waited for, read and checked) and the RxLength
// data bytes behind it (waited for, read and checked against RxDataCrc). 1 or -1 as above.
int GetHeaderFrame();
int GetDataFrame();
// Checks the header in RxBuf and takes its fields into the state: 1, or -1 after LinkFailure.
int CheckHeaderCRC();
// The failure of the error reply whose header is in the state (RxOrder 0), as DataExchange
// reports it. Returns -1.
int ErrorReplyFailure();

// Waits, with no time limit, for the header of a frame the sensor sends by itself (the
// recorder's record) while *keepWaiting is not 0, and reads it into RxBuf unchecked. 1 once it
// is there; 0 when *keepWaiting was cleared first (BREAK, or a failure reported meanwhile);
// -1 after LinkFailure (the line closed, a line error, or a line that is not open).
int WaitForFrameHeader(const i16 *keepWaiting);
