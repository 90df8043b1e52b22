// The identity check after the line opened: the firmware text (order 7) must name the version
// this program is made for, the sensor's name and serial number (order 15) go to the status
// box, and the sensor's parameters are read once.
#include "connect/connection.h"

#include "base/state.h"
#include "base/texts.h"
#include "connect/link_internal.h"
#include "link/identity.h"
#include "link/link_codes.h"
#include "linktext/linktext.h"
#include "params/para.h"
#include "platform/ui.h"

#include "Tavironv10.h"

#include <cstdio>
#include <string>

namespace {

const TextPair kTxtSensor = {"Sensor: ", "Sensor: "};
const TextPair kTxtSerialNumber = {"Seriennummer: ", "Serial number: "};

} // namespace

void CheckComLine() {
    if (ReadFirmwareText() != 1) {
        AskCloseOrOffline(Txt(kTxtNoConnection));
        return;
    }
    SetCtrlAttribute(App.DataPanel, DATAP_STATUS, ATTR_TOOLTIP_TEXT, App.FirmwareVersion);

    FirmwareParts parts = SplitFirmwareText(App.FirmwareVersion);
    if (!FirmwareAccepted()) {
        std::string message = std::string(Txt(kTxtVersionMismatch)) + FirmwareVersionOf(parts) +
                              "\n\n" + Txt(kTxtNoConnection);
        AskCloseOrOffline(message.c_str());
        return;
    }
    std::string display = FirmwareDisplayOf(parts);
    SetCtrlVal(App.DataPanel, DATAP_STATUS, display.c_str());
    AppendStatus(display.c_str());

    int serial = 0;
    if (ReadSensorIdentity(&serial) != 1) {
        AskCloseOrOffline(Txt(kTxtNoConnection));
        return;
    }
    char line[400];
    std::snprintf(line, sizeof line, "\n%s%s", Txt(kTxtSensor), App.SensorName);
    AppendStatus(line);
    std::snprintf(line, sizeof line, "\n%s%i", Txt(kTxtSerialNumber), serial);
    AppendStatus(line);
    AppendStatus("\n\n");

    App.LinkOk = 1;
    // A connection starts as the program does: RAM selected, nothing known of the sensor's
    // sets. After offline work FILE would otherwise stay on, and the next SEND would write a
    // file while the operator believes the sensor was set.
    SelectMemory(1);
    ForgetSensorSets();
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
