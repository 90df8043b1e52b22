// The shift log of taviron publish (see shift_log.h).
#include "cli/shift_log.h"

#include "cli/language.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const TextPair kNoLogFolder = {"Log-Ordner kann nicht angelegt werden: %s",
                               "Cannot make the log folder: %s"};
const TextPair kNoLogFile = {"Log-Datei kann nicht geschrieben werden: %s",
                             "Cannot write the log file: %s"};
const TextPair kOtherHeader = {
    "Log-Datei mit anderen Spalten oder anderem CSV-Stil (wird nicht vermischt): %s",
    "The log file has other columns or another CSV style (not mixed): %s"};
const TextPair kRowsDropped = {"Log-Zeilen verworfen, die nicht geschrieben werden konnten: %s",
                               "Log rows dropped that could not be written: %s"};

// Rows kept while writing fails, at most (about 150 000 rows); beyond, they are dropped.
constexpr std::size_t kMostKept = 16u << 20;

// The local date of a time: "YYYY-MM-DD".
std::string DayOf(const WallTime &time) {
    return IsoTimestamp(time.unixMillis, time.utcOffsetSeconds, '.').substr(0, 10);
}

// Writes all of `text` at the end of the file; on failure the file is cut back to where it was,
// so no row is left half written. 0, or the errno.
int WriteWhole(int fd, const std::string &text) {
    struct stat before {};
    if (fstat(fd, &before) != 0) return errno;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            if (ftruncate(fd, before.st_size) != 0) {
                // The file stays longer than its last whole row; the next open cuts it.
            }
            return error;
        }
        done += std::size_t(n);
    }
    return 0;
}

} // namespace

ShiftLog::~ShiftLog() {
    Flush();
    Close();
}

void ShiftLog::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool ShiftLog::Open(const WallTime &time, int language, std::string *error) {
    language_ = language;
    std::error_code made;
    std::filesystem::create_directories(folder_, made);
    if (made) {
        *error = SayWith(kNoLogFolder, language, folder_) + ": " + made.message();
        return false;
    }
    return OpenDay(DayOf(time), error);
}

bool ShiftLog::OpenDay(const std::string &day, std::string *error) {
    Close();
    day_ = day;
    path_ = (std::filesystem::path(folder_) / (day + ".csv")).string();
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = SayWith(kNoLogFile, language_, path_) + ": " + std::strerror(errno);
        return false;
    }
    const std::string header = LiveCsvHeader(format_) + "\n";
    struct stat st {};
    int failed = fstat(fd, &st) == 0 ? 0 : errno;
    // A file of another kind is left as it is. Ours is continued from its last line end: a row
    // (or header) cut off when the power failed is cut back, so every row stays whole.
    const std::size_t compared = std::min(std::size_t(st.st_size), header.size());
    std::string start(compared, '\0');
    if (!failed && pread(fd, start.data(), compared, 0) != ssize_t(compared)) failed = EIO;
    if (!failed && start != header.substr(0, compared)) {
        close(fd);
        *error = SayWith(kOtherHeader, language_, path_);
        return false;
    }
    off_t whole = st.st_size;
    if (whole < off_t(header.size())) {
        whole = 0;
    } else {
        char last = '\n';
        while (!failed && pread(fd, &last, 1, whole - 1) == 1 && last != '\n')
            --whole;
    }
    if (!failed && whole < st.st_size && ftruncate(fd, whole) != 0) failed = errno;
    if (!failed && whole == 0) failed = WriteWhole(fd, header);
    if (failed) {
        close(fd);
        *error = SayWith(kNoLogFile, language_, path_) + ": " + std::strerror(failed);
        return false;
    }
    fd_ = fd;
    return true;
}

bool ShiftLog::Add(const LiveDataRec &live, const WallTime &time, double now) {
    if (!changes_.Take(live)) return Tick(now);
    const std::string day = DayOf(time);
    if (day != day_) {
        // Midnight: what waits belongs to the day before and goes there first.
        Flush();
        waiting_.clear();
        std::string error;
        if (!OpenDay(day, &error)) error_ = error;
    }
    if (waiting_.empty()) waitingSince_ = now;
    waiting_ +=
        LiveCsvRow(IsoTimestamp(time.unixMillis, time.utcOffsetSeconds, format_.decimalSign), live,
                   format_) +
        "\n";
    return Tick(now);
}

bool ShiftLog::Tick(double now) {
    if (waiting_.empty() || now - waitingSince_ < kMostWaiting) return error_.empty();
    return Flush();
}

bool ShiftLog::Flush() {
    if (waiting_.empty()) return error_.empty();
    if (fd_ < 0) {
        std::string error;
        if (!OpenDay(day_, &error)) error_ = error;
    }
    const int failed = fd_ < 0 ? -1 : WriteWhole(fd_, waiting_);
    if (!failed) {
        waiting_.clear();
        error_.clear();
        return true;
    }
    if (failed > 0) error_ = SayWith(kNoLogFile, language_, path_) + ": " + std::strerror(failed);
    if (waiting_.size() > kMostKept) {
        waiting_.clear();
        error_ = SayWith(kRowsDropped, language_, path_) + " (" + error_ + ")";
    }
    return false;
}
