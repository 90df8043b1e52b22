// Log entries, their hex text and their one-line form.
#include "sim/request_log.h"

#include <cstdio>
#include <ctime>

namespace tavsim {

std::string hexBytes(const uint8_t *bytes, size_t count) {
    static const char Digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(count * 3);
    for (size_t i = 0; i < count; ++i) {
        if (i) s += ' ';
        s += Digits[bytes[i] >> 4];
        s += Digits[bytes[i] & 15];
    }
    return s;
}

std::string formatLogEntry(const LogEntry &e) {
    using namespace std::chrono;
    std::time_t secs = system_clock::to_time_t(e.time);
    int ms = int(duration_cast<milliseconds>(e.time.time_since_epoch()).count() % 1000);
    std::tm tm{};
    localtime_r(&secs, &tm);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
    const char *dir = e.kind == LogKind::Received ? "RX" : e.kind == LogKind::Sent ? "TX" : "--";
    std::string line = std::string(stamp) + " " + e.link;
    line.resize(line.size() < 20 ? 20 : line.size(), ' ');
    line += dir;
    if (!e.hex.empty()) line += " " + e.hex;
    if (!e.note.empty()) line += "  " + e.note;
    return line;
}

void RequestLog::add(LogKind kind, const std::string &link, const uint8_t *bytes, size_t count,
                     const std::string &note) {
    LogEntry e{std::chrono::system_clock::now(), kind, link, hexBytes(bytes, count), note};
    std::function<void(const LogEntry &)> sink;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(e);
        if (entries_.size() > MaxEntries) entries_.pop_front();
        sink = sink_;
    }
    if (sink) sink(e);
}

std::vector<LogEntry> RequestLog::entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return {entries_.begin(), entries_.end()};
}

void RequestLog::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

void RequestLog::setSink(std::function<void(const LogEntry &)> sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = std::move(sink);
}

} // namespace tavsim
