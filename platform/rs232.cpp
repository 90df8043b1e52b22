// Serial ports on QSerialPort. Qt moves bytes only while events run, so every operation pumps
// the port itself: writes wait until the bytes are out, the queue length takes in what has
// arrived, reads wait up to the port's time-out.
#include "platform/rs232.h"
#include "platform/ports.h"
#include "platform/ui.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>

#include <map>
#include <memory>

namespace {

struct Port {
    QSerialPort serial;
    int timeoutMs = 5000;
    int status = 0; // GetComStat bits gathered since the last call
};

std::map<int, std::unique_ptr<Port>> &Ports() {
    static std::map<int, std::unique_ptr<Port>> ports;
    return ports;
}

Port *Find(int port) {
    auto it = Ports().find(port);
    return it == Ports().end() ? nullptr : it->second.get();
}

// Moves the port's error into its status bits and clears it. A wait that found nothing is not
// a line error.
void Gather(Port &p) {
    switch (p.serial.error()) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        break;
    case QSerialPort::ReadError:
        p.status |= kComStatReadError;
        break;
    case QSerialPort::WriteError:
        p.status |= kComStatWriteError;
        break;
    case QSerialPort::ResourceError:
        p.status |= kComStatDeviceLost;
        break;
    default:
        p.status |= kComStatOtherError;
        break;
    }
    p.serial.clearError();
}

// The open code for a port that could not be opened.
int OpenErrorCode(QSerialPort::SerialPortError error, const QString &device) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return kRsErrInvalidPort;
    case QSerialPort::PermissionError: // busy (locked or exclusive) or not permitted
    case QSerialPort::OpenError:
        return kRsErrCannotOpen;
    default:
        // Some systems report a missing device node as a general failure.
        return QFileInfo::exists(device) ? kRsErrUnknownSystem : kRsErrInvalidPort;
    }
}

} // namespace

int OpenComConfig(int port, const char *deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int /*outputQueueSize*/) {
    if (port < 1 || port > kMaxComPort) return kRsErrInvalidPort;
    CloseCom(port);
    if (baudRate <= 0 || baudRate > 4000000) return kRsErrInvalidBaudrate;
    QSerialPort::Parity par;
    switch (parity) {
    case 0:
        par = QSerialPort::NoParity;
        break;
    case 1:
        par = QSerialPort::OddParity;
        break;
    case 2:
        par = QSerialPort::EvenParity;
        break;
    default:
        return kRsErrInvalidParity;
    }
    if (dataBits < 5 || dataBits > 8) return kRsErrInvalidDataBits;
    if (stopBits != 1 && stopBits != 2) return kRsErrInvalidStopBits;

    char device[MAX_PATHNAME_LEN];
    if (deviceName && *deviceName)
        snprintf(device, sizeof device, "%s", deviceName);
    else
        ComDeviceName(port, device, sizeof device);
    QString path = QString::fromLocal8Bit(device);
    if (path.isEmpty() || !QFileInfo::exists(path)) return kRsErrInvalidPort;

    auto p = std::make_unique<Port>();
    p->serial.setPortName(path);
    if (!p->serial.open(QIODevice::ReadWrite)) return OpenErrorCode(p->serial.error(), path);
    if (!p->serial.setBaudRate(qint32(baudRate))) return kRsErrInvalidBaudrate;
    p->serial.setParity(par);
    p->serial.setDataBits(QSerialPort::DataBits(dataBits));
    p->serial.setStopBits(stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    p->serial.setFlowControl(QSerialPort::NoFlowControl);
    if (inputQueueSize > 0) p->serial.setReadBufferSize(inputQueueSize);
    p->serial.clearError();
    Ports()[port] = std::move(p);
    return 0;
}

int CloseCom(int port) {
    Ports().erase(port); // closes the device; nothing happens for a port that is not open
    return 0;
}

int SetComTime(int port, double seconds) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->timeoutMs = seconds <= 0 ? 0 : int(seconds * 1000 + 0.5);
    return 0;
}

int SetCTSMode(int port, int mode) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->serial.setFlowControl(mode ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl);
    return 0;
}

int FlushInQ(int port) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->serial.clear(QSerialPort::Input);
    p->serial.readAll(); // what Qt had taken in already
    Gather(*p);
    return 0;
}

int FlushOutQ(int port) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->serial.clear(QSerialPort::Output);
    Gather(*p);
    return 0;
}

int ComWrt(int port, const void *buffer, int count) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    if (!buffer || count <= 0) return 0;
    qint64 n = p->serial.write(static_cast<const char *>(buffer), count);
    if (n < 0) {
        Gather(*p);
        return kRsErrIo;
    }
    QElapsedTimer t;
    t.start();
    while (p->serial.bytesToWrite() > 0) {
        qint64 left = p->timeoutMs - t.elapsed();
        if (left <= 0 || !p->serial.waitForBytesWritten(int(left))) break;
    }
    Gather(*p);
    return int(n - p->serial.bytesToWrite());
}

int ComRd(int port, void *buffer, int count) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    if (!buffer || count <= 0) return 0;
    char *out = static_cast<char *>(buffer);
    int got = 0;
    QElapsedTimer t;
    t.start();
    for (;;) {
        qint64 n = p->serial.read(out + got, count - got);
        if (n > 0) got += int(n);
        if (got >= count) break;
        qint64 left = p->timeoutMs - t.elapsed();
        if (left <= 0) break;
        if (!p->serial.waitForReadyRead(int(left)) && p->serial.error() != QSerialPort::NoError &&
            p->serial.error() != QSerialPort::TimeoutError)
            break; // the line broke down
    }
    Gather(*p);
    return got;
}

int GetInQLen(int port) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    p->serial.waitForReadyRead(0);
    Gather(*p);
    return int(p->serial.bytesAvailable());
}

int GetComStat(int port) {
    Port *p = Find(port);
    if (!p) return kRsErrPortNotOpen;
    Gather(*p);
    int s = p->status;
    p->status = 0;
    return s;
}
