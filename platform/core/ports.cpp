// COM port numbers to devices: the mapping file beside the program (read and written with the
// program's INI library), test mappings, the numbers given to USB and ACM adapters, the Linux
// default; the port listing and the description of a port.
#include "platform/core/ports.h"
#include "platform/core/runtime.h"

#include "inifile/inifile.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr const char *kMapFileName = "ComPorts.cfg";
constexpr const char *kSection = "COM PORTS";

// Where the system lists its adapters by stable name, and its device information; tests point
// them at a fake tree.
std::string g_byIdRoot = "/dev/serial/by-id";
std::string g_sysRoot = "/sys";

// Mappings made by tests in-process; they come before the file.
std::mutex g_testMutex;
std::map<int, std::string> &TestMappings() {
    static std::map<int, std::string> m;
    return m;
}

using ComMap = std::map<int, std::string>;

void CopyOut(const std::string &s, char *buffer, int size) {
    if (!buffer || size <= 0) return;
    std::size_t n = std::min<std::size_t>(s.size(), std::size_t(size - 1));
    std::memcpy(buffer, s.data(), n);
    buffer[n] = 0;
}

bool Exists(const std::string &path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

// The path with every link resolved, or the path itself when it cannot be resolved.
std::string Resolved(const std::string &path) {
    char real[PATH_MAX];
    return ::realpath(path.c_str(), real) ? std::string(real) : path;
}

std::string FirstLine(const std::string &path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::string MapFilePath() {
    char dir[MAX_PATHNAME_LEN];
    GetSettingsDir(dir); // beside the panel settings file
    return std::string(dir) + "/" + kMapFileName;
}

std::string Key(int port) {
    return "COM" + std::to_string(port);
}

ComMap ReadMapFile() {
    ComMap map;
    IniText doc = Ini_New(0);
    if (!doc) return map;
    if (Ini_ReadFromFile(doc, MapFilePath().c_str()) == 0) {
        char device[MAX_PATHNAME_LEN];
        for (int port = 1; port <= kMaxComPort; ++port)
            if (Ini_GetStringIntoBuffer(doc, kSection, Key(port).c_str(), device, sizeof device) ==
                    1 &&
                device[0])
                map[port] = device;
    }
    Ini_Dispose(doc);
    return map;
}

// Writes the whole mapping through a temporary file. 0 or the INI library's error code.
int WriteMapFile(const ComMap &map) {
    IniText doc = Ini_New(0);
    if (!doc) return INI_ERR_OUT_OF_MEMORY;
    Ini_SetMaxValueLineLength(doc, INI_MAX_LINE_LENGTH); // a device path stays on one line
    for (const auto &[port, device] : map)
        Ini_PutString(doc, kSection, Key(port).c_str(), device.c_str());
    int result = Ini_WriteToFile(doc, MapFilePath().c_str());
    Ini_Dispose(doc);
    return result;
}

bool TestMapped(int port, std::string *device) {
    std::lock_guard<std::mutex> lock(g_testMutex);
    auto it = TestMappings().find(port);
    if (it == TestMappings().end()) return false;
    *device = it->second;
    return true;
}

std::string DefaultDevice(int port) {
    return "/dev/ttyS" + std::to_string(port - 1);
}

// A built-in port is present when the system found a UART behind it (type 0: none).
bool BuiltInPresent(int port) {
    std::string type =
        FirstLine(g_sysRoot + "/class/tty/ttyS" + std::to_string(port - 1) + "/type");
    return !type.empty() && type != "0";
}

// The adapters the system lists by stable name, sorted so that numbers are given in a fixed
// order.
std::vector<std::string> AdapterPaths() {
    std::vector<std::string> out;
    DIR *d = ::opendir(g_byIdRoot.c_str());
    if (!d) return out;
    while (dirent *e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        out.push_back(g_byIdRoot + "/" + name);
    }
    ::closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

// The file's mapping, with a number given to every adapter present that has none yet (and the
// file rewritten when one was given).
ComMap CurrentMap() {
    ComMap map = ReadMapFile();
    std::vector<std::string> adapters = AdapterPaths();
    if (adapters.empty()) return map;
    std::set<std::string> known; // what the mapped devices are, links resolved
    for (const auto &entry : map) {
        known.insert(entry.second);
        known.insert(Resolved(entry.second));
    }
    bool added = false;
    for (const std::string &adapter : adapters) {
        if (known.count(adapter) || known.count(Resolved(adapter))) continue;
        std::string ignored;
        int port = kFirstAdapterPort;
        while (port <= kMaxComPort &&
               (map.count(port) || TestMapped(port, &ignored) || BuiltInPresent(port)))
            ++port;
        if (port > kMaxComPort) break;
        map[port] = adapter;
        known.insert(adapter);
        added = true;
    }
    // Not written (a folder without write permission): the same numbers are given again next
    // time, since they follow from the file and the adapters alone.
    if (added) WriteMapFile(map);
    return map;
}

// The device of COM<port>, and whether a mapping named it (otherwise it is the default).
std::string DeviceOf(int port, const ComMap &map, bool *mapped) {
    std::string device;
    *mapped = true;
    if (TestMapped(port, &device)) return device;
    auto it = map.find(port);
    if (it != map.end()) return it->second;
    *mapped = false;
    return DefaultDevice(port);
}

// The adapter's product name as the system's device information gives it: the USB device
// is a few levels above the tty's own device.
std::string ProductName(const std::string &deviceNode) {
    std::string name = deviceNode.substr(deviceNode.find_last_of('/') + 1);
    std::string dir = Resolved(g_sysRoot + "/class/tty/" + name + "/device");
    for (int level = 0; level < 4 && dir.size() > 1; ++level) {
        std::string product = FirstLine(dir + "/product");
        if (!product.empty()) return product;
        dir = dir.substr(0, dir.find_last_of('/'));
    }
    return {};
}

} // namespace

int ComDeviceName(int port, char *buffer, int size) {
    if (port < 1 || port > kMaxComPort) {
        CopyOut({}, buffer, size);
        return -2;
    }
    bool mapped = false;
    CopyOut(DeviceOf(port, CurrentMap(), &mapped), buffer, size);
    return 0;
}

int LocateCom(const char *, int *ports, int count) {
    const ComMap map = CurrentMap();
    int found = 0;
    for (int port = 1; port <= kMaxComPort; ++port) {
        bool mapped = false;
        std::string device = DeviceOf(port, map, &mapped);
        bool present = mapped ? Exists(device) : BuiltInPresent(port);
        if (!present) continue;
        if (!ports || found >= count) break;
        ports[found++] = port;
    }
    return found;
}

int GetComPortDescription(int port, char *buffer, int size) {
    if (port < 1 || port > kMaxComPort) {
        CopyOut({}, buffer, size);
        return -2;
    }
    bool mapped = false;
    std::string device = DeviceOf(port, CurrentMap(), &mapped);
    std::string node = Exists(device) ? Resolved(device) : device;
    std::string product = ProductName(node);
    CopyOut(product.empty() ? node : node + " (" + product + ")", buffer, size);
    return 0;
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

// Test hook (platform/testing.h): a fake device tree in place of the system's.
void TestSetDeviceRoots(const char *byIdRoot, const char *sysRoot) {
    g_byIdRoot = byIdRoot && *byIdRoot ? byIdRoot : "/dev/serial/by-id";
    g_sysRoot = sysRoot && *sysRoot ? sysRoot : "/sys";
}
