// The identity check after the line opened: the firmware text (order 7) must name the version
// this program is made for, the sensor's name and serial number (order 15) go to the status
// box, and the sensor's parameters are read once.
#include "connect/connection.h"

#include "base/state.h"
#include "base/texts.h"
#include "connect/link_internal.h"
#include "link/exchange.h"
#include "link/link_codes.h"
#include "params/para.h"
#include "platform/ui.h"
#include "protocol/frame.h"

#include "Tavironv10.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char *kAcceptedVersion = "TAVIRON V1.0";

const TextPair kTxtVersionMismatch = {
    "Sensor-Firmware und Scope-Version stimmen nicht ueberein! \nFirmware des verbundenen "
    "Sensors ist: ",
    "Sensor firmware and scope version do not match! \nFirmware of connected sensor is: "};
const TextPair kTxtSensor = {"Sensor: ", "Sensor: "};
const TextPair kTxtSerialNumber = {"Seriennummer: ", "Serial number: "};

// Copies the reply's data as text into `out` (room for `size` bytes, the last one always the
// terminating zero): a text that fills the room is cut.
void CopyReplyText(char *out, std::size_t size) {
    std::memset(out, 0, size);
    std::size_t n = std::min<std::size_t>(App.RxLength, size - 1);
    std::memcpy(out, RxData(), n);
}

} // namespace

void CheckComLine() {
    FillTxBuf(OrderFirmware, 0, 0);
    if (DataExchange(kHeaderSize) != 1) {
        AskCloseOrOffline(Txt(kTxtNoConnection));
        return;
    }
    CopyReplyText(App.FirmwareVersion, sizeof App.FirmwareVersion);
    SetCtrlAttribute(App.DataPanel, DATAP_STATUS, ATTR_TOOLTIP_TEXT, App.FirmwareVersion);

    FirmwareParts parts = SplitFirmwareText(App.FirmwareVersion);
    std::string version = FirmwareVersionOf(parts);
    if (version != kAcceptedVersion) {
        std::string message =
            std::string(Txt(kTxtVersionMismatch)) + version + "\n\n" + Txt(kTxtNoConnection);
        AskCloseOrOffline(message.c_str());
        return;
    }
    std::string display = FirmwareDisplayOf(parts);
    SetCtrlVal(App.DataPanel, DATAP_STATUS, display.c_str());
    AppendStatus(display.c_str());

    FillTxBuf(OrderSensorId, 0, 0);
    if (DataExchange(kHeaderSize) != 1) {
        AskCloseOrOffline(Txt(kTxtNoConnection));
        return;
    }
    CopyReplyText(App.SensorName, sizeof App.SensorName);
    char line[400];
    std::snprintf(line, sizeof line, "\n%s%s", Txt(kTxtSensor), App.SensorName);
    AppendStatus(line);
    std::snprintf(line, sizeof line, "\n%s%i", Txt(kTxtSerialNumber), int(App.RxArgument));
    AppendStatus(line);
    AppendStatus("\n\n");

    App.LinkOk = 1;
    GetPara();
    if (App.LinkOk == 1) {
        SetLinkButtonsDimmed(kEnabled);
        return;
    }
    // The sensor answered but its parameters could not be read. There is no popup for this;
    // leave the operator the way to a new attempt or to offline work.
    SetCtrlAttribute(App.ConnectTab, CONNECT_TRY_TO_CONNECT, ATTR_DIMMED, 0);
    SetCtrlAttribute(App.ConnectTab, CONNECT_DISCONNECT, ATTR_DIMMED, 0);
}
