// Live values as CSV rows and JSON lines (see live_rows.h).
#include "cli/live_rows.h"

#include "cli/json.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

const char *const kColumns[] = {"time",          "cntPeriod",     "cntGap",      "cntStroke",
                                "lowerTolLimit", "upperTolLimit", "badCntLower", "badCntUpper",
                                "out0",          "out1",          "out2",        "out3"};

// The seven counters in column order.
std::vector<std::int64_t> Counters(const LiveDataRec &live) {
    return {live.CntPeriod,     live.CntGap,      live.CntStroke,  live.LowerTolLimit,
            live.UpperTolLimit, live.BadCntLower, live.BadCntUpper};
}

int Out(const LiveDataRec &live, int bit) {
    return (live.OutputBits >> bit) & 1;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t days, int *year, int *month, int *day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    *day = int(doy - (153 * mp + 2) / 5 + 1);
    *month = int(mp < 10 ? mp + 3 : mp - 9);
    *year = int(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

std::string IsoTimestamp(std::int64_t unixMillis, int utcOffsetSeconds, char decimalSign) {
    const std::int64_t localMillis = unixMillis + std::int64_t(utcOffsetSeconds) * 1000;
    const std::int64_t days = FloorDiv(localMillis, 86400000);
    const std::int64_t ofDay = localMillis - days * 86400000;
    int year = 0, month = 0, day = 0;
    CivilFromDays(days, &year, &month, &day);
    const int offset = utcOffsetSeconds < 0 ? -utcOffsetSeconds : utcOffsetSeconds;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d%c%03d%c%02d:%02d", year, month,
                  day, int(ofDay / 3600000), int(ofDay / 60000 % 60), int(ofDay / 1000 % 60),
                  decimalSign, int(ofDay % 1000), utcOffsetSeconds < 0 ? '-' : '+', offset / 3600,
                  offset / 60 % 60);
    return buf;
}

WallTime WallTimeNow() {
    const auto now = std::chrono::system_clock::now();
    const std::int64_t millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = std::time_t(FloorDiv(millis, 1000));
    std::tm local{};
    localtime_r(&seconds, &local);
    return {millis, int(local.tm_gmtoff)};
}

std::string IsoTimestampNow(char decimalSign) {
    const WallTime now = WallTimeNow();
    return IsoTimestamp(now.unixMillis, now.utcOffsetSeconds, decimalSign);
}

std::string LiveCsvHeader(const CsvFormat &format) {
    return CsvJoin(std::vector<std::string>(std::begin(kColumns), std::end(kColumns)), format);
}

std::string LiveCsvRow(const std::string &timestamp, const LiveDataRec &live,
                       const CsvFormat &format) {
    std::vector<std::string> fields = {CsvField(timestamp, format)};
    for (std::int64_t value : Counters(live))
        fields.push_back(std::to_string(value));
    for (int bit = 0; bit < 4; ++bit)
        fields.push_back(std::to_string(Out(live, bit)));
    return CsvJoin(fields, format);
}

std::string LiveJsonLine(const std::string &timestamp, const LiveDataRec &live) {
    JsonWriter json;
    json.BeginObject().Key(kColumns[0]).String(timestamp);
    const std::vector<std::int64_t> counters = Counters(live);
    for (std::size_t i = 0; i < counters.size(); ++i)
        json.Key(kColumns[i + 1]).Int(counters[i]);
    json.Key("out").BeginArray();
    for (int bit = 0; bit < 4; ++bit)
        json.Int(Out(live, bit));
    json.EndArray().EndObject();
    return json.Text();
}

bool LiveChangeFilter::Take(const LiveDataRec &live) {
    const bool changed = !have_ || Counters(live) != Counters(last_) ||
                         (live.OutputBits & 0xF) != (last_.OutputBits & 0xF);
    if (changed) {
        have_ = true;
        last_ = live;
    }
    return changed;
}
