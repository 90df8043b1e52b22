// Path utilities: the program's directory, splitting a path, whether a file exists.
#include "platform/ui.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cctype>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void CopyCapped(char *out, const std::string &s, int size) {
    if (!out) return;
    std::size_t n = std::min<std::size_t>(s.size(), std::size_t(size - 1));
    std::memcpy(out, s.data(), n);
    out[n] = 0;
}

std::string g_projectDirForTests; // empty: the program's own directory

} // namespace

// Tests give each run a private program directory (platform/testing.h).
void SetProjectDirForTests(const std::string &directory) {
    g_projectDirForTests = directory;
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
