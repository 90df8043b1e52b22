// The reason of a failed write (see file_reason.h).
#include "base/file_reason.h"

#include "inifile/inifile.h"

#include <string>
#include <unistd.h>

namespace {

const TextPair kTxtNoFolder = {"der Ordner existiert nicht", "the folder does not exist"};
const TextPair kTxtNoAccess = {"keine Schreibberechtigung", "no permission to write there"};
const TextPair kTxtDiskFull = {"der Datentraeger ist voll", "the disk is full"};
const TextPair kTxtNoMemory = {"zu wenig Speicher", "out of memory"};
const TextPair kTxtWriteError = {"Schreibfehler", "write error"};

} // namespace

const TextPair &FileWriteReason(int code, const char *path) {
    const std::string file = path ? path : "";
    const std::size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : file.substr(0, slash);
    switch (code) {
    case INI_ERR_DISK_FULL:
        return kTxtDiskFull;
    case INI_ERR_OUT_OF_MEMORY:
        return kTxtNoMemory;
    case INI_ERR_ACCESS_DENIED:
    case INI_ERR_CREATE_TEMP:
    case INI_ERR_NO_TEMP_NAME:
        if (access(folder.c_str(), F_OK) != 0) return kTxtNoFolder;
        if (code == INI_ERR_ACCESS_DENIED || access(folder.c_str(), W_OK) != 0) return kTxtNoAccess;
        return kTxtWriteError;
    default:
        return kTxtWriteError;
    }
}
