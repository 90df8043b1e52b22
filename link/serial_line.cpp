// The serial port as a byte line. Reads take only what the input queue holds, so no read
// waits on the device; the wait processes events and tells the port how many bytes it needs
// (and how long the whole reply is), so the port wakes the event loop once they can be there
// rather than for every byte.
#include "link/serial_line.h"

#include "link/event_wait.h"
#include "link/link_codes.h"
#include "platform/core/ports.h"
#include "platform/core/rs232.h"
#include "platform/core/runtime.h"

#include <algorithm>

namespace {

constexpr double kPortTimeoutSeconds = 2.0;
constexpr int kQueueSize = 1024;

class SerialPortLine final : public ByteLine {
  public:
    // After a successful open of COM<ComPort>.
    void Opened(std::string where) {
        where_ = std::move(where);
        gone_ = false;
        closureReported_ = false;
    }
    // The device went away (the port's notice, or an operation that found it gone).
    void Gone() { gone_ = true; }

    int Write(const u8 *bytes, int count) override { return ComWrt(App.ComPort, bytes, count); }
    int Available() override {
        const int n = GetInQLen(App.ComPort);
        if (n == kRsErrDeviceGone) gone_ = true;
        return n;
    }
    int Read(u8 *buffer, int count) override { return ComRdQueued(App.ComPort, buffer, count); }
    LineWait WaitFor(int count, double deadline, int expected, const i16 *keepWaiting) override {
        SetComReplyLength(App.ComPort, expected);
        SetComWakeCount(App.ComPort, count);
        return WaitOnEvents(*this, count, deadline, keepWaiting);
    }
    void Flush() override { FlushComQueues(App.ComPort); }
    int LineErrors() override {
        const int status = GetComStat(App.ComPort);
        return status > 0 ? status & ~kComStatDeviceLost : 0;
    }
    LinkError WhyClosed() override { return gone_ ? LinkError::DeviceGone : LinkError::None; }
    std::string Where() override { return where_; }
    void Close() override { CloseCom(App.ComPort); }

  private:
    std::string where_; // the port and its device as they were when it opened
    bool gone_ = false;
};

SerialPortLine g_serial;

// The device of the open port went away: reported once, as the wait would, and the port let go
// so that nothing watches a dead line.
void ComLostCB(int port, int, void *) {
    if (port == App.ComPort) {
        g_serial.Gone();
        if (App.ComProtocol == 0) g_serial.ReportClosure();
    }
    CloseCom(port);
}

} // namespace

ByteLine &SerialLine() {
    return g_serial;
}

std::string SerialPortName(int port) {
    char device[MAX_PATHNAME_LEN];
    if (GetComPortDescription(port, device, sizeof device) != 0 || !device[0])
        return "COM" + std::to_string(port);
    return "COM" + std::to_string(port) + " " + device;
}

int OpenSerialLine(int port, const char *device, long baud) {
    App.ComPort = u16(port);
    const bool named = device && *device;
    const int result = OpenComConfig(port, device, baud, 0, 8, 1, kQueueSize, kQueueSize);
    if (result >= 0) {
        SetComTime(port, kPortTimeoutSeconds);
        FlushInQ(port);
        FlushOutQ(port);
        SetCTSMode(port, 0);
        // The device named, or the one the number maps to, while it is there.
        g_serial.Opened(named ? std::string(device) : SerialPortName(port));
        InstallComCallback(port, ComLostCB, nullptr);
        return result;
    }
    LinkFault fault;
    fault.code = LinkError::SerialOpen;
    fault.number = result;
    char systemText[128];
    fault.reason = GetComOpenReason(port, systemText, sizeof systemText);
    if (fault.reason != kComReasonNone) fault.systemText = systemText;
    fault.where = named                         ? std::string(device)
                  : result == kRsErrInvalidPort ? "COM" + std::to_string(port)
                                                : SerialPortName(port);
    LinkFailure(fault);
    return result;
}

void InitRS232() {
    App.Running = 0;
    CloseCom(App.ComPort);
    App.LinkResult = OpenSerialLine(App.ComPort, "", BaudRateFromIndex(App.BaudrateIndex));
}
