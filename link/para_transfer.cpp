// The parameter and hardware orders (see para_transfer.h).
#include "link/para_transfer.h"

#include "link/exchange.h"
#include "protocol/frame.h"

#include <algorithm>
#include <cstring>

namespace {

// A header-only request and its reply: 1 or -1.
int Exchange(u8 order, u16 argument) {
    FillTxBuf(order, argument, 0);
    return DataExchange(kHeaderSize);
}

// The reply's argument as the result of a plausibility check: 1 when it is 0, else 0 with the
// number.
int Plausible(int *refusal) {
    *refusal = App.RxArgument;
    return App.RxArgument == 0 ? 1 : 0;
}

} // namespace

int WriteWorkingSet(const u16 values[4], int *refusal) {
    for (int i = 0; i < 4; ++i)
        putU16(TxData() + 2 * i, values[i]);
    FillTxBuf(OrderSendPara, 0, kParaBlockSize);
    if (DataExchange(kHeaderSize + kParaBlockSize) != 1) return -1;
    return Plausible(refusal);
}

int StoreWorkingSet() {
    return Exchange(OrderStoreEeprom, 0);
}

int LoadEepromSet(int *refusal) {
    if (Exchange(OrderLoadEeprom, 0) != 1) return -1;
    return Plausible(refusal);
}

int ReadWorkingSet(u16 values[4]) {
    if (Exchange(OrderGetPara, 0) != 1) return -1;
    for (int i = 0; i < 4; ++i)
        values[i] = getU16(RxData() + 2 * i);
    return 1;
}

int ReadHardwareBlock(int *received) {
    if (Exchange(OrderHardwareInfo, HardwareInfoKey) != 1) return -1;
    *received = std::min<int>(App.RxLength, kMaxData);
    std::memcpy(App.TxFrame, RxData(), std::size_t(*received));
    return 1;
}
