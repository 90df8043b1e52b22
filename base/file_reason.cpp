// The reasons of a failed file write in the operator's words (see file_reason.h). A write
// that could not even make its file says little by itself, so the folder is looked at: gone,
// not to be made, closed to this user, on a write-protected disk, or a folder in the file's
// place.
#include "base/file_reason.h"

#include "inifile/inifile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const TextPair kTxtDiskFull = {"der Datentraeger ist voll", "the disk is full"};
const TextPair kTxtNoAccess = {"keine Schreibberechtigung", "no permission to write there"};
const TextPair kTxtNoFolder = {"der Ordner existiert nicht", "the folder does not exist"};
const TextPair kTxtCannotMakeFolder = {"keine Berechtigung, den Ordner anzulegen",
                                       "no permission to create the folder"};
const TextPair kTxtReadOnlyDisk = {"der Datentraeger ist schreibgeschuetzt",
                                   "the disk is write-protected"};
const TextPair kTxtFolderInTheWay = {"dort liegt ein Ordner gleichen Namens",
                                     "a folder of that name is in the way"};
const TextPair kTxtNoMemory = {"zu wenig Speicher", "out of memory"};
const TextPair kTxtWriteError = {"Schreibfehler", "write error"};

bool IsFolder(const std::string &path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Why nothing can be written in `folder`, or null when the folder looks writable.
const TextPair *FolderReason(const std::string &folder, bool programMakesFolder) {
    struct stat st {};
    errno = 0;
    if (stat(folder.c_str(), &st) != 0) {
        if (errno == EACCES) return &kTxtNoAccess; // a folder on the way is closed to this user
        if (!programMakesFolder) return &kTxtNoFolder;
        // The program would have made it: what stood in the way is the nearest folder there.
        std::filesystem::path up = std::filesystem::path(folder).parent_path();
        while (!up.empty() && !IsFolder(up.string()) && up != up.parent_path())
            up = up.parent_path();
        const std::string existing = up.empty() ? "." : up.string();
        errno = 0;
        if (access(existing.c_str(), W_OK) != 0)
            return errno == EROFS ? &kTxtReadOnlyDisk : &kTxtCannotMakeFolder;
        return &kTxtNoFolder;
    }
    if (!S_ISDIR(st.st_mode)) return &kTxtNoFolder;
    errno = 0;
    if (access(folder.c_str(), W_OK) != 0)
        return errno == EROFS ? &kTxtReadOnlyDisk : &kTxtNoAccess;
    return nullptr;
}

} // namespace

const TextPair &FileWriteReason(int code, const char *path, bool programMakesFolder) {
    if (code == INI_ERR_DISK_FULL) return kTxtDiskFull;
    if (code == INI_ERR_OUT_OF_MEMORY) return kTxtNoMemory;
    const std::string file = path ? path : "";
    const std::string parent = std::filesystem::path(file).parent_path().string();
    if (const TextPair *why = FolderReason(parent.empty() ? "." : parent, programMakesFolder))
        return *why;
    if (IsFolder(file)) return kTxtFolderInTheWay;
    if (code == INI_ERR_ACCESS_DENIED) return kTxtNoAccess;
    return kTxtWriteError;
}

void LogFileWriteFailure(const char *what, const char *path, int code, bool programMakesFolder) {
    std::fprintf(stderr, "%s: %s: %s (%d)\n", what ? what : "", path ? path : "",
                 Txt(FileWriteReason(code, path, programMakesFolder)), code);
}
