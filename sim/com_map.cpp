// Writing the COM port mapping file with the program's own INI library, keeping the other
// ports' items and sections.
#include "sim/com_map.h"

#include "inifile/inifile.h"
#include "inifile/linefile.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace tavsim {

namespace {

constexpr const char *kSection = "COM PORTS";

int readLine(void *context, char *buffer, int size, int *lineNumber, int *endOfFile) {
    return LineFile_Read(static_cast<LineFile>(context), buffer, size - 1, lineNumber, endOfFile);
}

int appendLine(void *context, const char *line) {
    *static_cast<std::string *>(context) += std::string(line) + "\r\n";
    return 0;
}

void putEntry(IniText doc, int number, const std::string &device) {
    Ini_SetMaxValueLineLength(doc, INI_MAX_LINE_LENGTH); // a device path stays on one line
    Ini_PutString(doc, kSection, ("COM" + std::to_string(number)).c_str(), device.c_str());
}

std::string trim(const std::string &s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

std::string upper(std::string s) {
    for (char &c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> splitLines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string joinCrLf(const std::vector<std::string> &lines) {
    std::string out;
    for (const std::string &l : lines)
        out += l + "\r\n";
    return out;
}

// The device a line of the [COM PORTS] section maps COM<number> to, read by the INI library
// (so quoting and escapes are understood as the program understands them); empty for any
// other line.
std::string deviceOfLine(const std::string &line, int number) {
    const std::string text = std::string("[") + kSection + "]\r\n" + line + "\r\n";
    IniText doc = Ini_New(0);
    if (!doc) return {};
    LineFile lines = LineFile_NewFromMemory(text.data(), text.size());
    if (lines) Ini_ReadGeneric(doc, readLine, lines);
    LineFile_Dispose(lines);
    char device[1024] = "";
    const std::string key = "COM" + std::to_string(number);
    if (Ini_GetStringIntoBuffer(doc, kSection, key.c_str(), device, sizeof device) <= 0)
        device[0] = 0;
    Ini_Dispose(doc);
    return device;
}

std::string resolvePath(const std::string &pathIn) {
    std::string path = pathIn.empty() ? "." : pathIn;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) path += "/ComPorts.cfg";
    return path;
}

} // namespace

std::string mapComPort(const std::string &existing, int number, const std::string &device) {
    IniText doc = Ini_New(0);
    if (!doc) return {};
    LineFile lines = LineFile_NewFromMemory(existing.data(), existing.size());
    if (lines) Ini_ReadGeneric(doc, readLine, lines);
    LineFile_Dispose(lines);
    putEntry(doc, number, device);
    std::string out;
    Ini_WriteGeneric(doc, appendLine, &out);
    Ini_Dispose(doc);
    return out;
}

std::string unmapComPort(const std::string &existing, int number, const std::string &device) {
    std::vector<std::string> lines = splitLines(existing);
    if (device.empty()) return joinCrLf(lines);
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string t = trim(lines[i]);
        if (!t.empty() && t.front() == '[') {
            inSection = upper(t) == std::string("[") + kSection + "]";
            continue;
        }
        if (inSection && deviceOfLine(t, number) == device) {
            lines.erase(lines.begin() + long(i));
            break;
        }
    }
    return joinCrLf(lines);
}

std::string writeComPortMapping(const std::string &pathIn, int number, const std::string &device) {
    const std::string path = resolvePath(pathIn);
    IniText doc = Ini_New(0);
    if (!doc) return {};
    Ini_ReadFromFile(doc, path.c_str()); // a missing file is an empty mapping
    putEntry(doc, number, device);
    int result = Ini_WriteToFile(doc, path.c_str()); // through a temporary file
    Ini_Dispose(doc);
    return result == 0 ? path : std::string();
}

bool removeComPortMapping(const std::string &pathIn, int number, const std::string &device) {
    const std::string path = resolvePath(pathIn);
    std::string existing;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) return true; // no file: nothing mapped
        std::ostringstream s;
        s << in.rdbuf();
        existing = s.str();
    }
    const std::string kept = unmapComPort(existing, number, device);
    if (kept == joinCrLf(splitLines(existing))) return true; // nothing of ours in it
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << kept;
        if (!out) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

} // namespace tavsim
