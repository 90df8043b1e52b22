// The simulated sensor's log: every frame received (and sent), with a time stamp, in hex, plus
// notes on what the sensor did with odd input. Tests read it; the program prints it.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tavsim {

enum class LogKind { Received, Sent, Note };

struct LogEntry {
    std::chrono::system_clock::time_point time;
    LogKind kind = LogKind::Note;
    std::string link; // "tcp" or "serial"
    std::string hex;  // the bytes, "55 02 00 ..."
    std::string note; // what the sensor made of them
};

std::string hexBytes(const uint8_t *bytes, size_t count);
// One line: "HH:MM:SS.mmm tcp    RX 55 02 00 00 00 00 AA B9  order 2".
std::string formatLogEntry(const LogEntry &entry);

class RequestLog {
  public:
    void add(LogKind kind, const std::string &link, const uint8_t *bytes, size_t count,
             const std::string &note);
    std::vector<LogEntry> entries() const;
    void clear();
    // Called for every new entry (from the link threads); empty to switch off.
    void setSink(std::function<void(const LogEntry &)> sink);

  private:
    static constexpr size_t MaxEntries = 100000;
    mutable std::mutex mutex_;
    std::deque<LogEntry> entries_;
    std::function<void(const LogEntry &)> sink_;
};

} // namespace tavsim
