// One sensor's session (see sensor_session.h).
#include "cli/sensor_session.h"

#include "base/state.h"
#include "cli/exit_codes.h"
#include "link/byte_line.h"
#include "link/identity.h"
#include "link/link_codes.h"
#include "link/serial_line.h"
#include "link/tcp_line.h"
#include "linktext/linktext.h"

#include <algorithm>
#include <cstdio>

namespace {

// A device named by its path is opened on this port number; the number names nothing else
// then (reports name the device).
constexpr int kDevicePort = 255;

void SayFlood(unsigned long long droppedBytes) {
    std::fputs(LinkFloodText(droppedBytes).c_str(), stderr);
}

// Opens the line; 1, or -1 after the link reported the failure.
int OpenLine(const Connection &c) {
    switch (c.kind) {
    case LinkKind::Tcp:
        App.ComProtocol = 1;
        std::snprintf(App.IpAddress, sizeof App.IpAddress, "%s", c.host.c_str());
        App.PortNumber = c.tcpPort;
        InitTCP_IP();
        break;
    case LinkKind::Port:
        App.ComProtocol = 0;
        App.ComPort = u16(c.port);
        App.BaudrateIndex = u16(BaudIndexOf(c.baud));
        InitRS232();
        break;
    case LinkKind::Device:
        App.ComProtocol = 0;
        App.Running = 0;
        App.LinkResult = OpenSerialLine(kDevicePort, c.device.c_str(), c.baud);
        break;
    case LinkKind::None:
        return -1;
    }
    return App.LinkResult >= 0 ? 1 : -1;
}

} // namespace

std::string MessageLines(const std::string &text) {
    std::string out;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        line.erase(line.find_last_not_of(' ') + 1);
        out += (start ? "\n" : "") + line;
        start = end + 1;
    }
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

std::string LinkFailureMessage() {
    return MessageLines(LinkFailureText(LastLinkFault()));
}

void InstallCliLinkHandlers() {
    SetLinkFailureHandler(nullptr); // a command asks for the last failure when it fails
    SetLinkFloodHandler(SayFlood);
}

int ConnectSensor(const Connection &connection, CommandReport *report) {
    report->connection = ConnectionText(connection);
    if (OpenLine(connection) != 1 || ReadFirmwareText() != 1) {
        report->error = LinkFailureMessage();
        return report->code = kExitNoConnection;
    }
    report->firmware = App.FirmwareVersion;
    if (!FirmwareAccepted()) {
        report->error = MessageLines(std::string(Txt(kTxtVersionMismatch)) +
                                     FirmwareVersionOf(SplitFirmwareText(App.FirmwareVersion)));
        return report->code = kExitNoConnection;
    }
    int serial = 0;
    if (ReadSensorIdentity(&serial) != 1) {
        report->error = LinkFailureMessage();
        return report->code = kExitNoConnection;
    }
    report->identified = true;
    report->name = App.SensorName;
    report->serial = serial;
    App.LinkOk = 1;
    return kExitDone;
}

void DisconnectSensor() {
    SerialLine().Close();
    TcpLine().Close();
    App.LinkOk = 0;
}
