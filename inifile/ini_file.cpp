// Reading a document from a file and writing it safely: the new text goes to a temporary file
// in the target's directory, is flushed to the disk and then renamed over the target in one
// step, so a crash at any moment leaves either the old file or the new one, never neither.
#include "inifile/ini_internal.h"
#include "inifile/linefile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr size_t kWriteBufferSize = 16 * 1024;
constexpr int kTempNames = 1000;     // "ini$$0.TMP" .. "ini$$999.TMP"
constexpr int kMaxDeniedNames = 100; // names skipped for lack of access before giving up
// A temporary file this old was left by a save that never finished (a crash or a kill): no
// save takes that long, so it is removed before it can use up the names.
constexpr std::chrono::minutes kStaleTempAge{10};

int sourceFromLineFile(void *context, char *lineBuffer, int bufferSize, int *lineNumber,
                       int *endOfFile) {
    return LineFile_Read(static_cast<LineFile>(context), lineBuffer, bufferSize - 1, lineNumber,
                         endOfFile);
}

int writeErrorCode(int error) {
    if (error == ENOSPC) return INI_ERR_DISK_FULL;
    if (error == EACCES || error == EPERM || error == EROFS) return INI_ERR_ACCESS_DENIED;
    return INI_ERR_WRITE;
}

struct FileSink {
    FILE *file;
    int error = 0; // errno of the first failure
};

int sinkToFile(void *context, const char *line) {
    auto *sink = static_cast<FileSink *>(context);
    const size_t length = strlen(line);
    if (fwrite(line, 1, length, sink->file) != length || fwrite("\r\n", 1, 2, sink->file) != 2) {
        sink->error = errno ? errno : EIO;
        return writeErrorCode(sink->error);
    }
    return 0;
}

// The directory part of a path, separator included ("" for a plain name). On Windows a drive
// and backslashes separate too; elsewhere a backslash is an ordinary character of a name.
std::string directoryOf(const char *path) {
    const std::string text(path);
#ifdef _WIN32
    const size_t last = text.find_last_of("/\\:");
#else
    const size_t last = text.find_last_of('/');
#endif
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

// An existing target must open for update, a missing one must be creatable.
bool targetWritable(const char *path) {
    if (FILE *probe = fopen(path, "r+b")) {
        fclose(probe);
        return true;
    }
    if (errno != ENOENT) return false;
    FILE *probe = fopen(path, "wb");
    if (!probe) return false;
    fclose(probe);
    remove(path);
    return true;
}

bool isTempName(const std::string &name) {
    constexpr std::string_view prefix = "ini$$", suffix = ".TMP";
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix))
        return false;
    const std::string_view digits =
        std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return digits.size() <= 3 && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// Removes the temporary files of earlier saves into this directory that are older than
// kStaleTempAge. A fresh one may belong to a save running right now and is left alone.
void removeStaleTempFiles(const std::string &directory) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = directory.empty() ? fs::path(".") : fs::path(directory);
    fs::directory_iterator it(folder, error);
    if (error) return;
    const auto now = fs::file_time_type::clock::now();
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) return;
        const fs::directory_entry &entry = *it;
        if (!isTempName(entry.path().filename().string())) continue;
        if (entry.is_symlink(error) || error) continue; // only plain files of our own naming
        if (!entry.is_regular_file(error) || error) continue;
        const auto written = entry.last_write_time(error);
        if (error || now - written < kStaleTempAge) continue;
        fs::remove(entry.path(), error);
    }
}

// Creates the first free "ini$$<n>.TMP" in the directory, exclusively (never reusing or
// following an existing name). Returns 0 or an error code.
int createTempFile(const std::string &directory, std::string *name, FILE **file) {
    int denied = 0;
    for (int n = 0; n < kTempNames; ++n) {
        *name = directory + "ini$$" + std::to_string(n) + ".TMP";
        errno = 0;
        *file = fopen(name->c_str(), "wbx");
        if (*file) return 0;
        if (errno == EEXIST) continue;
        if ((errno == EACCES || errno == EPERM) && ++denied <= kMaxDeniedNames) continue;
        return INI_ERR_CREATE_TEMP;
    }
    return INI_ERR_NO_TEMP_NAME;
}

// Pushes the file's bytes to the disk before it replaces the target.
int flushToDisk(FILE *file) {
    if (fflush(file) != 0) return writeErrorCode(errno);
#ifndef _WIN32
    if (fsync(fileno(file)) != 0) return writeErrorCode(errno);
#endif
    return 0;
}

// The replaced file keeps the permission bits of the one it replaces.
void keepMode(FILE *file, const char *target) {
#ifndef _WIN32
    struct stat old;
    if (stat(target, &old) == 0 && S_ISREG(old.st_mode))
        (void)fchmod(fileno(file), old.st_mode & 07777);
#else
    (void)file;
    (void)target;
#endif
}

// Makes the rename itself durable.
void syncDirectory(const std::string &directory) {
#ifndef _WIN32
    const int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY);
    if (fd >= 0) {
        (void)fsync(fd);
        close(fd);
    }
#else
    (void)directory;
#endif
}

int writeSafely(IniText doc, const char *path) {
    if (!targetWritable(path)) return INI_ERR_ACCESS_DENIED;
    const std::string directory = directoryOf(path);
    removeStaleTempFiles(directory);
    std::string tempName;
    FILE *temp = nullptr;
    if (const int status = createTempFile(directory, &tempName, &temp)) return status;
    setvbuf(temp, nullptr, _IOFBF, kWriteBufferSize);
    keepMode(temp, path);

    FileSink sink{temp};
    int status = Ini_WriteGeneric(doc, sinkToFile, &sink);
    if (status == 0) status = flushToDisk(temp);
    if (fclose(temp) != 0 && status == 0) status = writeErrorCode(errno);
    if (status == 0) {
        try {
            std::error_code error;
            std::filesystem::rename(tempName, path, error); // replaces the target in one step
            if (error) status = writeErrorCode(error.value());
        } catch (const std::bad_alloc &) {
            status = INI_ERR_OUT_OF_MEMORY;
        }
    }
    if (status != 0) {
        remove(tempName.c_str()); // the target stays as it was
        return status;
    }
    syncDirectory(directory);
    return 0;
}

int sinkToStdout(void *, const char *line) {
    if (fputs(line, stdout) < 0 || fputs("\r\n", stdout) < 0) return INI_ERR_WRITE;
    return 0;
}

} // namespace

int Ini_ReadFromFile(IniText document, const char *path) {
    if (!document || !path) return INI_ERR_NULL_ARGUMENT;
    FILE *file = fopen(path, "rb");
    if (!file) return INI_ERR_OPEN_FOR_READ;
    LineFile lines = LineFile_New(file);
    if (!lines) {
        fclose(file);
        return INI_ERR_OUT_OF_MEMORY;
    }
    const int status = Ini_ReadGeneric(document, sourceFromLineFile, lines);
    LineFile_Dispose(lines);
    fclose(file);
    return status;
}

int Ini_WriteToFile(IniText document, const char *path) {
    if (!document) return INI_ERR_NULL_ARGUMENT;
    if (!path) {
        const int status = Ini_WriteGeneric(document, sinkToStdout, nullptr);
        if (fflush(stdout) != 0 && status == 0) return INI_ERR_WRITE;
        return status;
    }
    return ini_detail::guarded([&] { return writeSafely(document, path); });
}
