// One request and one reply with the sensor: building the request in TxFrame/TxBuf, sending it
// over the serial port or the TCP conversation, waiting (3 s each) for the reply header and
// data with events processed, checking both, and the common failure handler SetTimeout.
// Sensor operations return 1 on success and -1 on failure; a failure has already put its text
// into ErrorText and called SetTimeout when they return.
#pragma once

#include <string>

#include "base/state.h"
#include "base/texts.h"

// The texts a failed exchange leaves in ErrorText.
extern const TextPair kTxtTimeout;      // no reply, or a line error, within the wait
extern const TextPair kTxtHeaderFrame;  // a reply header that fails its check
extern const TextPair kTxtDataFrame;    // reply data that fail their check or cannot be a reply
extern const TextPair kTxtInvalidOrder; // the sensor's error reply 1
extern const TextPair kTxtLineError;    // the sensor's error reply 2

// The one failure routine of the link: `text` in the current language into ErrorText, then
// SetTimeout. Returns -1, the failure result of every sensor operation.
int LinkFailure(const TextPair &text);
// The same for a text already in the current language (one that names a port or a reason).
int LinkFailure(const std::string &text);

// Builds the request header in TxFrame for the `length` data bytes already placed in TxData()
// and copies header and data into TxBuf.
void FillTxBuf(u8 order, u16 argument, u16 length);

// Sends the first frameLength bytes of TxBuf and receives the reply into RxBuf: 1 when a
// reply passed its checks (its header fields then in RxOrder, RxArgument, RxLength, RxDataCrc),
// else -1 after LinkFailure. An error reply with argument 1 or 2 is a failure.
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

// The common failure handler: stops the live cycle and a waiting recording, marks the link
// failed, shows "TIMEOUT!" on the data panel, appends ErrorText to the status box, dims the
// three link buttons and brings the connection page to the front.
void SetTimeout();
