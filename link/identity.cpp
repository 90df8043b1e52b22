// The identity orders of the sensor (see identity.h).
#include "link/identity.h"

#include "base/state.h"
#include "link/exchange.h"
#include "link/link_codes.h"
#include "protocol/frame.h"

#include <algorithm>
#include <cstring>

namespace {

// Copies the reply's data as text into `out` (room for `size` bytes, the last one always the
// terminating zero): a text that fills the room is cut.
void CopyReplyText(char *out, std::size_t size) {
    std::memset(out, 0, size);
    std::size_t n = std::min<std::size_t>(App.RxLength, size - 1);
    std::memcpy(out, RxData(), n);
}

} // namespace

int ReadFirmwareText() {
    FillTxBuf(OrderFirmware, 0, 0);
    if (DataExchange(kHeaderSize) != 1) return -1;
    CopyReplyText(App.FirmwareVersion, sizeof App.FirmwareVersion);
    return 1;
}

int FirmwareAccepted() {
    return FirmwareVersionOf(SplitFirmwareText(App.FirmwareVersion)) == kAcceptedVersion ? 1 : 0;
}

int ReadSensorIdentity(int *serial) {
    FillTxBuf(OrderSensorId, 0, 0);
    if (DataExchange(kHeaderSize) != 1) return -1;
    CopyReplyText(App.SensorName, sizeof App.SensorName);
    *serial = App.RxArgument;
    return 1;
}
