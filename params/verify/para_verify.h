// What a transfer of the four parameters tells the operator: the values sent compared with the
// values the sensor holds afterwards, and the status-line and popup texts of SEND, GET, the
// parameter file and the comparison of RAM with EEPROM, in either language. Pure: values,
// language and time of day in, texts out; no panels, no link.
#pragma once

#include "base/texts.h"

#include <cstdint>
#include <string>

constexpr int kParaCount = 4;

// Where a transfer goes to or comes from, counted as MemorySelect counts.
enum ParaMemory { MemoryRam = 1, MemoryEeprom = 2, MemoryFile = 3 };

// How many of the four parameters differ between two sets.
int CountDifferences(const std::uint16_t a[kParaCount], const std::uint16_t b[kParaCount]);

// A SEND to RAM or EEPROM, read back: `sent` are the values sent, `held` what the sensor held
// when read back afterwards, `rejected` that the sensor answered the values with a failed
// plausibility check. `clock` is the time of day of the read-back.
struct ParaVerdict {
    int differing = 0;      // parameters read back otherwise than sent
    std::string statusLine; // what STATUS shows: what happened and when
    std::string popup;      // the differences, one line each; empty when there are none
};
ParaVerdict VerifySentSet(int memory, bool rejected, const std::uint16_t sent[kParaCount],
                          const std::uint16_t held[kParaCount], int language,
                          const std::string &clock);

// STATUS after a GET from RAM or EEPROM, or from the parameter file at `path`.
std::string GetStatusLine(int memory, int language, const std::string &clock,
                          const char *path = "");
// STATUS after the page was saved into the parameter file at `path`.
std::string FileSavedLine(const char *path, int language, const std::string &clock);
// STATUS after RAM and EEPROM were read and compared.
std::string CompareStatusLine(int differing, int language, const std::string &clock);

// A value as the parameter page shows it: the number, and for a choice also its name in the
// language ("1 (INVERSE)").
std::string ParaValueText(int index, std::uint16_t value, int language);

// The sets side by side in the comparison view: RAM, EEPROM and the parameter file, each
// known or not per parameter (a sensor not read, a file without the item).
constexpr int kCompareColumns = 3;
struct ParaColumn {
    bool known[kParaCount] = {};
    std::uint16_t value[kParaCount] = {};
};
struct ParaComparison {
    bool rowDiffers[kParaCount] = {};                   // the known values of the row disagree
    bool cellDiffers[kCompareColumns][kParaCount] = {}; // differs from the row's first known value
    int differingRows = 0;
};
// Compares the columns row by row; the first known value of a row (RAM before EEPROM before
// the file) is what the others are measured against.
ParaComparison CompareColumns(const ParaColumn columns[kCompareColumns]);
