// The list of sensors (see sensor_list.h), read with the program's INI library.
#include "cli/sensor_list.h"

#include "cli/exit_codes.h"
#include "cli/input_file.h"
#include "cli/language.h"
#include "inifile/inifile.h"

#include <cctype>

namespace {

const TextPair kMissing = {"Datei nicht gefunden: %s", "File not found: %s"};
const TextPair kFolder = {"Das ist ein Ordner, keine Datei: %s",
                          "This is a folder, not a file: %s"};
const TextPair kEmpty = {"keine Sensoren darin (ein Abschnitt [NAME] je Sensor, mit PORT, DEVICE "
                         "oder TCP)",
                         "no sensors in it (one section [NAME] per sensor, with PORT, DEVICE or "
                         "TCP)"};
const TextPair kNoConnection = {"keine Verbindung (PORT, DEVICE oder TCP)",
                                "no connection (PORT, DEVICE or TCP)"};
const TextPair kTwoConnections = {"mehr als eine Verbindung (nur eines von PORT, DEVICE, TCP)",
                                  "more than one connection (only one of PORT, DEVICE, TCP)"};
const TextPair kUnknownKey = {"unbekannter Schlüssel %s (PORT, DEVICE, TCP, BAUD)",
                              "unknown key %s (PORT, DEVICE, TCP, BAUD)"};
const TextPair kKeyTwice = {"Schlüssel %s doppelt", "key %s given twice"};
const TextPair kBadPort = {"ungültiger PORT %s (COM1 bis COM255)",
                           "invalid PORT %s (COM1 to COM255)"};
const TextPair kBadTcp = {"ungültiges TCP %s (HOST:PORT)", "invalid TCP %s (HOST:PORT)"};
const TextPair kBadDevice = {"DEVICE ohne Pfad", "DEVICE without a path"};
const TextPair kBadBaud = {
    "ungültige BAUD %s (9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600)",
    "invalid BAUD %s (9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600)"};
const TextPair kBaudNotSerial = {"BAUD gilt nur für PORT und DEVICE",
                                 "BAUD applies to PORT and DEVICE only"};
const TextPair kNameTwice = {"Sensor steht zweimal in der Liste", "sensor listed twice"};
const TextPair kBadName = {"Name taugt nicht als Dateiname (leer, \".\", \"..\", '/' oder '\\')",
                           "name cannot be a file name (empty, \".\", \"..\", '/' or '\\')"};

const char *const kKeys[] = {"PORT", "DEVICE", "TCP", "BAUD"};

bool SameName(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

struct Reader {
    IniText doc;
    const std::string &path;
    int language;

    // "FILE:LINE: [SECTION] TEXT", the line left out when not known.
    std::string Where(const std::string &section, int line, const std::string &text) const {
        std::string out = path;
        if (line > 0) out += ":" + std::to_string(line);
        return out + ": [" + section + "] " + text;
    }

    // The value of a key of the section; `line` gets its line.
    std::string Value(const std::string &section, const char *key, int *line) const {
        char buffer[1024];
        Ini_GetStringIntoBuffer(doc, section.c_str(), key, buffer, sizeof buffer);
        *line = Ini_LineOfLastAccess(doc);
        return buffer;
    }

    // One section into an entry; false with the message when it is wrong.
    bool Entry(const std::string &section, long defaultBaud, SensorEntry *entry,
               std::string *message) const {
        const int items = Ini_NumberOfItems(doc, section.c_str());
        int given[4] = {0, 0, 0, 0};
        for (int i = 0; i < items; ++i) {
            const char *tag = nullptr;
            Ini_NthItemName(doc, section.c_str(), i, &tag);
            int k = 0;
            while (k < 4 && !SameName(tag, kKeys[k]))
                ++k;
            int line = 0;
            if (k == 4) {
                Value(section, tag, &line);
                *message = Where(section, line, SayWith(kUnknownKey, language, tag));
                return false;
            }
            if (++given[k] > 1) {
                *message = Where(section, 0, SayWith(kKeyTwice, language, kKeys[k]));
                return false;
            }
        }
        if (given[0] + given[1] + given[2] == 0) {
            *message = Where(section, 0, SayWith(kNoConnection, language, ""));
            return false;
        }
        if (given[0] + given[1] + given[2] > 1) {
            *message = Where(section, 0, SayWith(kTwoConnections, language, ""));
            return false;
        }
        entry->name = section;
        Connection &c = entry->connection;
        int line = 0;
        if (given[0]) {
            const std::string value = Value(section, "PORT", &line);
            if (!ParsePortText(value.c_str(), &c.port)) {
                *message = Where(section, line, SayWith(kBadPort, language, value));
                return false;
            }
            c.kind = LinkKind::Port;
        } else if (given[1]) {
            c.device = Value(section, "DEVICE", &line);
            if (c.device.empty()) {
                *message = Where(section, line, SayWith(kBadDevice, language, ""));
                return false;
            }
            c.kind = LinkKind::Device;
        } else {
            const std::string value = Value(section, "TCP", &line);
            if (!ParseTcpText(value.c_str(), &c.host, &c.tcpPort)) {
                *message = Where(section, line, SayWith(kBadTcp, language, value));
                return false;
            }
            c.kind = LinkKind::Tcp;
        }
        c.baud = defaultBaud;
        if (given[3]) {
            const std::string value = Value(section, "BAUD", &line);
            if (c.kind == LinkKind::Tcp) {
                *message = Where(section, line, SayWith(kBaudNotSerial, language, ""));
                return false;
            }
            if (!ParseBaudText(value.c_str(), &c.baud)) {
                *message = Where(section, line, SayWith(kBadBaud, language, value));
                return false;
            }
        }
        return true;
    }
};

} // namespace

int UsableAsFileName(const std::string &name) {
    if (name.empty() || name == "." || name == "..") return 0;
    for (unsigned char c : name)
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return 0;
    return 1;
}

int ReadSensorList(const std::string &path, long defaultBaud, bool namesAreFileNames, int language,
                   std::vector<SensorEntry> *sensors, std::string *message) {
    sensors->clear();
    IniText doc = nullptr;
    const int read = ReadInputFile(path, language, &doc, message);
    if (read != kExitDone) return read;
    Reader reader{doc, path, language};
    int code = 0;
    const int count = Ini_NumberOfSections(doc);
    for (int s = 0; s < count && code == 0; ++s) {
        const char *name = nullptr;
        Ini_NthSectionName(doc, s, &name);
        const std::string section = name;
        for (const SensorEntry &earlier : *sensors)
            if (SameName(earlier.name, section)) {
                *message = reader.Where(section, 0, SayWith(kNameTwice, language, ""));
                code = kExitUsage;
            }
        if (code) break;
        if (namesAreFileNames && !UsableAsFileName(section)) {
            *message = reader.Where(section, 0, SayWith(kBadName, language, ""));
            code = kExitUsage;
            break;
        }
        SensorEntry entry;
        if (!reader.Entry(section, defaultBaud, &entry, message)) {
            code = kExitUsage;
            break;
        }
        sensors->push_back(entry);
    }
    if (code == 0 && sensors->empty()) {
        *message = path + ": " + SayWith(kEmpty, language, "");
        code = kExitUsage;
    }
    Ini_Dispose(doc);
    if (code) sensors->clear();
    return code;
}
