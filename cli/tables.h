// What taviron prints for people: parameters as NAME = VALUE lines, the diff and set tables,
// the identity and the summary of a sensor list. Columns are aligned by characters, not bytes,
// so German words and sensor names with umlauts line up. In a language (0 German, 1 English).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using ParaSet = std::array<std::uint16_t, 4>; // indexed as ParaValues

// Rows of cells as aligned text: columns two blanks apart, the first left-aligned, the others
// left- or right-aligned as `rightAligned` says (missing entries: left); no trailing blanks.
std::string FormatTable(const std::vector<std::vector<std::string>> &rows,
                        const std::vector<bool> &rightAligned);

// "STROKE TOLERANCE = 50" and so on, one line each, with the page's labels.
std::string ParaLines(const ParaSet &values, int language);

// A named set of the four parameters: "RAM", "EEPROM", a file.
struct NamedSet {
    std::string name;
    ParaSet values;
};
// Index of the parameters in which not all sets agree.
std::vector<int> DifferingParameters(const std::vector<NamedSet> &sets);
// The sets side by side, one row per parameter; a row whose values differ says so.
std::string DiffTable(const std::vector<NamedSet> &sets, int language);

// What `set` wrote and, when it was verified, what it read back, one row per parameter.
std::string SetTable(const ParaSet &written, const ParaSet *readBack, int language);

// The identity of a sensor: firmware text, name and serial number, one line each.
std::string IdentityLines(const std::string &firmware, const std::string &name, long serial,
                          int language);

// One sensor of a list, as the summary shows it.
struct SensorResult {
    std::string name;       // the section of the list
    std::string connection; // ConnectionText
    int code = 0;           // exit code of this sensor
    std::string detail;     // a file written, or the first line of what went wrong
};
std::string SummaryTable(const std::vector<SensorResult> &results, int language);
