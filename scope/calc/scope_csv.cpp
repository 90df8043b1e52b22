// The exported recording as CSV text (see scope_csv.h).
#include "scope/calc/scope_csv.h"

#include "scope/calc/scope_calc.h"
#include "taviron_version.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr const char *kEol = "\r\n";

// The names of the trigger modes as the file writes them, whatever the program's language.
const char *const kTriggerModeNames[] = {"SINGLE SHOT", "RISING EDGE", "FALLING EDGE",
                                         "INTERNAL OUT0", "EXTERNAL IN0"};

std::string Field(const char *text) {
    std::string s = text ? text : "";
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void Row(std::string *out, const char *name, const std::string &value) {
    *out += name;
    *out += ',';
    *out += value;
    *out += kEol;
}

} // namespace

std::string CsvNumber(double v) {
    if (!std::isfinite(v)) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    std::string s = buf;
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

std::string ScopeCsvText(const ScopeCsvHeader &h, const std::uint16_t *samples) {
    std::string out;
    out.reserve(8192);
    Row(&out, kProgramTitle, "scope record");
    Row(&out, "Date", Field(h.date));
    Row(&out, "Sensor ID", Field(h.panelId));
    Row(&out, "Sensor", Field(h.sensorName));
    Row(&out, "Firmware", Field(h.firmware));
    bool known = h.triggerMode >= 0 && h.triggerMode <= 4;
    Row(&out, "Trigger mode",
        std::to_string(h.triggerMode) + "," + (known ? kTriggerModeNames[h.triggerMode] : "?"));
    Row(&out, "Trigger level [digit]", std::to_string(h.triggerLevel));
    Row(&out, "Pre-trigger [samples]", std::to_string(h.preTrigger));
    Row(&out, "Scan rate [cycles per sample]", std::to_string(h.scanRate));
    Row(&out, "Scan frequency [Hz]", CsvNumber(h.scanFrequency));
    Row(&out, "Cycle time [ms]", CsvNumber(h.cycleTime));
    Row(&out, "Cursor 1 [sample]", std::to_string(h.cursor1));
    Row(&out, "Cursor 2 [sample]", std::to_string(h.cursor2));
    Row(&out, "Delta X [ms]", CsvNumber(h.deltaX));
    Row(&out, "Delta Y [digit]", std::to_string(h.deltaY));
    out += kEol;
    out += "Sample,Time [ms],Analog [digit],A,B,C,D";
    out += kEol;
    const double perSample = h.cycleTime * h.scanRate; // ms from one sample to the next
    for (int i = 0; i < kScopeSamples; ++i) {
        std::uint16_t w = samples[i];
        char row[96];
        std::snprintf(row, sizeof row, "%d,%s,%d,%d,%d,%d,%d", i, CsvNumber(i * perSample).c_str(),
                      w & 0x0FFF, (w >> 12) & 1, (w >> 13) & 1, (w >> 14) & 1, (w >> 15) & 1);
        out += row;
        out += kEol;
    }
    return out;
}
