// Path utilities: the program's directory, where the program keeps the files it writes and
// finds the files it reads, splitting a path, whether a file exists.
#include "platform/core/runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void CopyCapped(char *out, const std::string &s, int size) {
    if (!out) return;
    std::size_t n = std::min<std::size_t>(s.size(), std::size_t(size - 1));
    std::memcpy(out, s.data(), n);
    out[n] = 0;
}

std::string g_projectDirForTests; // empty: the program's own directory
std::string g_dataDirForTests;    // empty: the installed data folder

// Where an installed program's read-only files lie, seen from the program's own folder
// (`cmake --install` puts the program in bin/ and them in share/taviron-scope/ of one prefix),
// so a copy installed under any prefix, or staged with DESTDIR and moved, finds them.
#ifndef TAVIRON_DATA_DIR_FROM_BIN
#define TAVIRON_DATA_DIR_FROM_BIN "../share/taviron-scope"
#endif

// The name of the program's folder inside the user's configuration folder.
constexpr const char *kUserFolderName = "taviron-scope";

std::string ProjectDir() {
    char dir[MAX_PATHNAME_LEN];
    GetProjectDir(dir);
    return dir;
}

std::string DataDir() {
    if (!g_dataDirForTests.empty()) return g_dataDirForTests;
    const std::string program = ProjectDir();
    return program.empty() ? std::string() : program + "/" + TAVIRON_DATA_DIR_FROM_BIN;
}

bool IsFolder(const std::string &path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// $XDG_CONFIG_HOME/taviron-scope, else ~/.config/taviron-scope (a relative XDG_CONFIG_HOME is
// not valid and is passed over).
std::string UserConfigFolder() {
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char *home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd *pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.config";
    }
    return base + "/" + kUserFolderName;
}

// Creates `path` and the folders above it that are missing (mode 0700 for new ones: settings
// are the user's own).
void MakeFolders(const std::string &path) {
    for (std::size_t cut = path.find('/', 1);; cut = path.find('/', cut + 1)) {
        mkdir(path.substr(0, cut).c_str(), 0700);
        if (cut == std::string::npos) break;
    }
}

} // namespace

// Tests give each run a private program directory (platform/testing.h).
void SetProjectDirForTests(const std::string &directory) {
    g_projectDirForTests = directory;
}

void SetDataDirForTests(const std::string &directory) {
    g_dataDirForTests = directory;
}

// An unpacked copy keeps its files beside itself, as the program always did. An installed
// program (one with its data folder), or one in a folder the user may not write, keeps them in
// the user's configuration folder (also when root could write into the installed program's
// folder).
int GetSettingsDir(char *directory) {
    std::string dir = ProjectDir();
    if (dir.empty() || access(dir.c_str(), W_OK) != 0 || IsFolder(DataDir())) {
        dir = UserConfigFolder();
        MakeFolders(dir);
    }
    CopyCapped(directory, dir, MAX_PATHNAME_LEN);
    return 0;
}

namespace {

// The folders a plain file name is looked for in, in order ("" is the current directory).
std::vector<std::string> ProgramFileFolders(int currentDirectoryFirst) {
    std::vector<std::string> folders;
    if (currentDirectoryFirst) folders.push_back("");
    folders.push_back(ProjectDir());
    if (!DataDir().empty()) folders.push_back(DataDir());
    return folders;
}

// A folder as a person reads it: without "..", and the current one by its name.
std::string Readable(const std::string &folder) {
    QString path = QString::fromLocal8Bit(folder.empty() ? "." : folder.c_str());
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath()).toLocal8Bit().toStdString();
}

} // namespace

int FindProgramFile(const char *fileName, int currentDirectoryFirst, char *path) {
    std::string name = fileName ? fileName : "";
    std::vector<std::string> candidates;
    if (!name.empty() && name[0] == '/') {
        candidates.push_back(name);
    } else if (!name.empty()) {
        for (const std::string &folder : ProgramFileFolders(currentDirectoryFirst))
            candidates.push_back(folder.empty() ? name : folder + "/" + name);
    }
    for (const std::string &c : candidates) {
        struct stat st;
        if (stat(c.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            CopyCapped(path, c, MAX_PATHNAME_LEN);
            return 1;
        }
    }
    CopyCapped(path, name, MAX_PATHNAME_LEN);
    return 0;
}

int GetProgramFileFolders(int currentDirectoryFirst, char *list, int size) {
    std::string text;
    for (const std::string &folder : ProgramFileFolders(currentDirectoryFirst))
        text += (text.empty() ? "" : "\n") + Readable(folder);
    if (list && size > 0) CopyCapped(list, text, size);
    return 0;
}

void JoinPath(char *out, int size, const char *dir, const char *file) {
    CopyCapped(out, std::string(dir) + kDirSep + file, size);
}

int GetProjectDir(char *directory) {
    std::string dir;
    if (!g_projectDirForTests.empty()) {
        dir = g_projectDirForTests;
    } else if (QCoreApplication::instance()) {
        dir = QCoreApplication::applicationDirPath().toStdString();
    } else {
        char exe[4096];
        ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n > 0) {
            exe[n] = 0;
            dir = exe;
            dir = dir.substr(0, dir.find_last_of('/'));
        }
    }
    CopyCapped(directory, dir, MAX_PATHNAME_LEN);
    return 0;
}

// Drive is empty on this system; the directory keeps its trailing separator, so drive and
// directory joined give the folder back. Both '/' and '\' count as separators, so paths written
// by the Windows build of the program still split sensibly.
int SplitPath(const char *path, char *drive, char *directory, char *fileName) {
    std::string p = path ? path : "";
    std::string drv;
    if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
        drv = p.substr(0, 2);
        p = p.substr(2);
    }
    std::size_t cut = p.find_last_of("/\\");
    std::string dir = cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
    std::string file = cut == std::string::npos ? p : p.substr(cut + 1);
    CopyCapped(drive, drv, MAX_DRIVENAME_LEN);
    CopyCapped(directory, dir, MAX_DIRNAME_LEN);
    CopyCapped(fileName, file, MAX_FILENAME_LEN);
    return 0;
}

int GetFileInfo(const char *path, long *size) {
    QFileInfo info(QString::fromLocal8Bit(path ? path : ""));
    bool exists = info.exists() && info.isFile();
    if (size) *size = exists ? static_cast<long>(info.size()) : 0;
    return exists ? 1 : 0;
}
