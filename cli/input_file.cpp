// Input files of the command line (see input_file.h).
#include "cli/input_file.h"

#include "cli/exit_codes.h"
#include "cli/language.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const TextPair kMissing = {"Datei nicht gefunden: %s", "File not found: %s"};
const TextPair kFolder = {"Das ist ein Ordner, keine Datei: %s",
                          "This is a folder, not a file: %s"};
const TextPair kUnreadable = {"Datei nicht lesbar: %s", "Cannot read file: %s"};

} // namespace

int CheckInputFile(const std::string &path, int language, std::string *message) {
    message->clear();
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        *message = SayWith(kMissing, language, path);
        return kExitUsage;
    }
    if (S_ISDIR(info.st_mode)) {
        *message = SayWith(kFolder, language, path);
        return kExitUsage;
    }
    if (access(path.c_str(), R_OK) != 0) {
        *message = SayWith(kUnreadable, language, path) + " (" + std::strerror(errno) + ")";
        return kExitFile;
    }
    return kExitDone;
}

int ReadInputFile(const std::string &path, int language, IniText *document, std::string *message) {
    *document = nullptr;
    const int code = CheckInputFile(path, language, message);
    if (code != kExitDone) return code;
    IniText doc = Ini_New(0);
    if (!doc || Ini_ReadFromFile(doc, path.c_str()) < 0) {
        Ini_Dispose(doc);
        *message = SayWith(kUnreadable, language, path);
        return kExitFile;
    }
    *document = doc;
    return kExitDone;
}
