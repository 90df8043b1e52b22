// Helpers for the INI library's tests (see ini_test_util.h).
#include "ini_test_util.h"

#include "inifile/linefile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

int memorySource(void *context, char *lineBuffer, int bufferSize, int *lineNumber, int *endOfFile) {
    return LineFile_Read(static_cast<LineFile>(context), lineBuffer, bufferSize - 1, lineNumber,
                         endOfFile);
}

int stringSink(void *context, const char *line) {
    auto *out = static_cast<std::string *>(context);
    *out += line;
    *out += "\r\n";
    return 0;
}

} // namespace

int readText(IniText doc, const std::string &text) {
    LineFile lines = LineFile_NewFromMemory(text.data(), text.size());
    const int status = Ini_ReadGeneric(doc, memorySource, lines);
    LineFile_Dispose(lines);
    return status;
}

std::string writeText(IniText doc) {
    std::string out;
    const int status = Ini_WriteGeneric(doc, stringSink, &out);
    if (status != 0) return "<write error " + std::to_string(status) + ">";
    return out;
}

std::string getString(IniText doc, const char *section, const char *tag) {
    const char *text = nullptr;
    const int found = Ini_GetPointerToString(doc, section, tag, &text);
    if (found == 0) return "<missing>";
    if (found < 0) return "<error " + std::to_string(found) + ">";
    return text;
}

std::string readFileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool fileExists(const std::string &path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::string goldenPath(const std::string &name) {
    return std::string(INI_TEST_DATA_DIR) + "/" + name;
}

std::string crlf(const std::string &text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ini_test_XXXXXX").string();
    path = mkdtemp(pattern.data()) ? pattern : std::string();
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path, error);
}

int TempDir::fileCount() const {
    int count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(path)) {
        (void)entry;
        ++count;
    }
    return count;
}
