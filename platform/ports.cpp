// COM port numbers to devices (mapping file beside the program, test mappings, Linux default)
// and the port listing.
#include "platform/ports.h"
#include "platform/ui.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QString>

#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace {

constexpr const char *kMapFileName = "ComPorts.cfg";

// Mappings made by tests in-process; they come before the file.
std::mutex g_testMutex;
std::map<int, std::string> &TestMappings() {
    static std::map<int, std::string> m;
    return m;
}

void CopyOut(const std::string &s, char *buffer, int size) {
    if (!buffer || size <= 0) return;
    std::size_t n = std::min<std::size_t>(s.size(), std::size_t(size - 1));
    std::memcpy(buffer, s.data(), n);
    buffer[n] = 0;
}

std::string Trim(const std::string &s) {
    std::size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::string Upper(std::string s) {
    for (char &c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

// A value as written in the file: quoted with escapes, or plain.
std::string Unquote(const std::string &v) {
    if (v.size() < 2 || v.front() != '"') return v;
    std::string out;
    for (std::size_t i = 1; i < v.size(); ++i) {
        char c = v[i];
        if (c == '"') break; // the closing quote; anything after it is not part of the value
        if (c == '\\' && i + 1 < v.size()) c = v[++i];
        out += c;
    }
    return out;
}

std::string MappedDevice(int port, bool *mapped) {
    *mapped = false;
    {
        std::lock_guard<std::mutex> lock(g_testMutex);
        auto it = TestMappings().find(port);
        if (it != TestMappings().end()) {
            *mapped = true;
            return it->second;
        }
    }
    char dir[MAX_PATHNAME_LEN];
    GetProjectDir(dir);
    QFile f(QString::fromLocal8Bit(dir) + "/" + kMapFileName);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray text = f.read(1 << 20); // a mapping file is a few lines; more is not one
    char device[MAX_PATHNAME_LEN];
    ComDeviceFromMapText(text.constData(), port, device, sizeof device);
    *mapped = device[0] != 0;
    return device;
}

std::string DefaultDevice(int port) {
    return "/dev/ttyS" + std::to_string(port - 1);
}

} // namespace

int ComDeviceFromMapText(const char *text, int port, char *buffer, int size) {
    CopyOut({}, buffer, size);
    if (!text) return 0;
    const std::string key = "COM" + std::to_string(port);
    bool inSection = false;
    const char *p = text;
    while (*p) {
        const char *end = std::strchr(p, '\n');
        std::size_t len = end ? std::size_t(end - p) : std::strlen(p);
        std::string line = Trim(std::string(p, len));
        p += len + (end ? 1 : 0);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            inSection = Upper(line) == "[COM PORTS]";
            continue;
        }
        std::size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos) continue;
        if (Upper(Trim(line.substr(0, eq))) != key) continue;
        CopyOut(Unquote(Trim(line.substr(eq + 1))), buffer, size);
        return 0;
    }
    return 0;
}

int ComDeviceName(int port, char *buffer, int size) {
    if (port < 1 || port > kMaxComPort) {
        CopyOut({}, buffer, size);
        return -2;
    }
    bool mapped = false;
    std::string device = MappedDevice(port, &mapped);
    CopyOut(mapped ? device : DefaultDevice(port), buffer, size);
    return 0;
}

int LocateCom(const char *, int *ports, int count) {
    // The default devices that are real serial ports (the system lists every /dev/ttyS<n>
    // node, with or without hardware behind it; the port info knows which have some).
    std::set<std::string> known;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        known.insert(info.systemLocation().toStdString());
    int found = 0;
    for (int port = 1; port <= kMaxComPort; ++port) {
        bool mapped = false;
        std::string device = MappedDevice(port, &mapped);
        bool present = mapped
                           ? (!device.empty() && QFileInfo::exists(QString::fromStdString(device)))
                           : known.count(DefaultDevice(port)) > 0;
        if (!present) continue;
        if (!ports || found >= count) break;
        ports[found++] = port;
    }
    return found;
}

// Test hook (declared in platform/testing.h): maps COM<port> to `device` in this process only;
// a null or empty device removes the mapping.
void TestMapComPort(int port, const char *device) {
    std::lock_guard<std::mutex> lock(g_testMutex);
    if (!device || !*device)
        TestMappings().erase(port);
    else
        TestMappings()[port] = device;
}
