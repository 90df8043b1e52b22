// Writing the COM port mapping file with the program's own INI library, keeping the other
// ports' items and sections.
#include "sim/com_map.h"

#include "inifile/inifile.h"
#include "inifile/linefile.h"

#include <sys/stat.h>

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

std::string writeComPortMapping(const std::string &pathIn, int number, const std::string &device) {
    std::string path = pathIn.empty() ? "." : pathIn;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) path += "/ComPorts.cfg";
    IniText doc = Ini_New(0);
    if (!doc) return {};
    Ini_ReadFromFile(doc, path.c_str()); // a missing file is an empty mapping
    putEntry(doc, number, device);
    int result = Ini_WriteToFile(doc, path.c_str()); // through a temporary file
    Ini_Dispose(doc);
    return result == 0 ? path : std::string();
}

} // namespace tavsim
