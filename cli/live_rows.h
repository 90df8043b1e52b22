// One live data reply as a row: CSV (with either CSV style) or a JSON line, each with an ISO
// 8601 time stamp, under the names the program gives the values (cntPeriod ... badCntUpper,
// out0..out3). The shift log of the plant link writes the same rows.
#pragma once

#include "base/csv_style.h"
#include "base/state.h"

#include <cstdint>
#include <string>

// A moment of the wall clock and this machine's offset from UTC then.
struct WallTime {
    std::int64_t unixMillis = 0; // milliseconds since 1970 (UTC)
    int utcOffsetSeconds = 0;    // local time minus UTC
};
WallTime WallTimeNow();

// A local time stamp with milliseconds and the offset from UTC, e.g.
// "2026-12-11T00:16:38.123+01:00"; `decimalSign` divides seconds from milliseconds (ISO 8601
// allows '.' and ','). Pure: the time as milliseconds since 1970 (UTC) and the local offset.
std::string IsoTimestamp(std::int64_t unixMillis, int utcOffsetSeconds, char decimalSign);
// The same for the time now, in this machine's time zone.
std::string IsoTimestampNow(char decimalSign);

// The header row and one row of values (no line end).
std::string LiveCsvHeader(const CsvFormat &format);
std::string LiveCsvRow(const std::string &timestamp, const LiveDataRec &live,
                       const CsvFormat &format);
// One JSON object: {"time": ..., "cntPeriod": ..., ..., "out": [0, 1, 0, 0]} (no line end).
std::string LiveJsonLine(const std::string &timestamp, const LiveDataRec &live);

// `live --changes`: a row is written for the first reply and then only when a value differs
// from the last row written.
class LiveChangeFilter {
  public:
    bool Take(const LiveDataRec &live);

  private:
    bool have_ = false;
    LiveDataRec last_{};
};
