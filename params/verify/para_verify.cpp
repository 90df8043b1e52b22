// The comparison of a sent parameter set with the set read back, and the texts that say what a
// transfer did.
#include "params/verify/para_verify.h"

#include "linktext/linktext.h"
#include "params/layout/para_names.h"

#include <cstdio>

namespace {

const TextPair kTxtRamAllEqual = {"In RAM gesendet und zurueckgelesen: alle 4 gleich (%s)",
                                  "Sent to RAM and read back: all 4 equal (%s)"};
const TextPair kTxtRamDiffer = {"In RAM gesendet und zurueckgelesen: %d von 4 verschieden (%s)",
                                "Sent to RAM and read back: %d of 4 differ (%s)"};
const TextPair kTxtEepromAllEqual = {"Im EEPROM gespeichert, zurueckgelesen: alle 4 gleich (%s)",
                                     "Stored in EEPROM and read back: all 4 equal (%s)"};
const TextPair kTxtEepromDiffer = {
    "Im EEPROM gespeichert, zurueckgelesen: %d von 4 verschieden (%s)",
    "Stored in EEPROM and read back: %d of 4 differ (%s)"};
const TextPair kTxtDifference = {"%s: gesendet %s, gelesen %s", "%s: sent %s, read %s"};
// An EEPROM set is read back by loading it into RAM: RAM holds whatever the EEPROM held.
const TextPair kTxtRamHoldsStored = {"Das RAM haelt jetzt ebenfalls den gespeicherten Satz.",
                                     "RAM now holds the stored set too."};
const TextPair kTxtReadBack = {"Zurueckgelesen (%s):", "Read back (%s):"};
// A rejected set sent with EEPROM selected is stored all the same (the store follows).
const TextPair kTxtEepromHoldsToo = {"Das EEPROM haelt jetzt ebenfalls diesen Satz.",
                                     "The EEPROM now holds this set too."};

const TextPair kTxtReadRam = {"Aus RAM gelesen (%s)", "Read from RAM (%s)"};
const TextPair kTxtReadEeprom = {"Aus EEPROM gelesen, jetzt auch im RAM (%s)",
                                 "Read from EEPROM, now in RAM too (%s)"};
const TextPair kTxtReadFile = {"Aus Datei gelesen (%s): %s", "Read from file (%s): %s"};
const TextPair kTxtSavedFile = {"In Datei gespeichert (%s): %s", "Saved to file (%s): %s"};
const TextPair kTxtCompareEqual = {"RAM und EEPROM verglichen: alle 4 gleich (%s)",
                                   "RAM and EEPROM compared: all 4 equal (%s)"};
const TextPair kTxtCompareDiffer = {"RAM und EEPROM verglichen: %d von 4 verschieden (%s)",
                                    "RAM and EEPROM compared: %d of 4 differ (%s)"};

// printf into a string: the texts here are short, the paths at most a few hundred bytes.
template <typename... Args> std::string Format(const char *format, Args... args) {
    int n = std::snprintf(nullptr, 0, format, args...);
    std::string out(n > 0 ? std::size_t(n) : 0, '\0');
    std::snprintf(out.data(), out.size() + 1, format, args...);
    return out;
}

// One line per parameter that differs, each on a line of its own, named as the page names it.
std::string DifferenceLines(const std::uint16_t sent[kParaCount],
                            const std::uint16_t held[kParaCount], int language) {
    std::string lines;
    for (int i = 0; i < kParaCount; ++i)
        if (sent[i] != held[i])
            lines += "\n" + Format(TxtIn(kTxtDifference, language), ParaLabel(i, language),
                                   ParaValueText(i, sent[i], language).c_str(),
                                   ParaValueText(i, held[i], language).c_str());
    return lines;
}

} // namespace

int CountDifferences(const std::uint16_t a[kParaCount], const std::uint16_t b[kParaCount]) {
    int n = 0;
    for (int i = 0; i < kParaCount; ++i)
        n += a[i] != b[i];
    return n;
}

ParaVerdict VerifySentSet(int memory, bool rejected, const std::uint16_t sent[kParaCount],
                          const std::uint16_t held[kParaCount], int language,
                          const std::string &clock) {
    ParaVerdict v;
    v.differing = CountDifferences(sent, held);
    const bool eeprom = memory == MemoryEeprom;
    if (rejected) {
        v.statusLine = RejectedLine(language);
        if (v.differing > 0) {
            v.popup = v.statusLine + "\n\n" + Format(TxtIn(kTxtReadBack, language), clock.c_str()) +
                      DifferenceLines(sent, held, language);
            if (eeprom) v.popup += std::string("\n\n") + TxtIn(kTxtEepromHoldsToo, language);
        }
        return v;
    }
    if (v.differing == 0) {
        v.statusLine =
            Format(TxtIn(eeprom ? kTxtEepromAllEqual : kTxtRamAllEqual, language), clock.c_str());
        return v;
    }
    v.statusLine = Format(TxtIn(eeprom ? kTxtEepromDiffer : kTxtRamDiffer, language), v.differing,
                          clock.c_str());
    v.popup = v.statusLine + "\n" + DifferenceLines(sent, held, language);
    if (eeprom) v.popup += std::string("\n\n") + TxtIn(kTxtRamHoldsStored, language);
    return v;
}

std::string GetStatusLine(int memory, int language, const std::string &clock, const char *path) {
    if (memory == MemoryFile) return Format(TxtIn(kTxtReadFile, language), clock.c_str(), path);
    return Format(TxtIn(memory == MemoryEeprom ? kTxtReadEeprom : kTxtReadRam, language),
                  clock.c_str());
}

std::string FileSavedLine(const char *path, int language, const std::string &clock) {
    return Format(TxtIn(kTxtSavedFile, language), clock.c_str(), path);
}

std::string CompareStatusLine(int differing, int language, const std::string &clock) {
    if (differing == 0) return Format(TxtIn(kTxtCompareEqual, language), clock.c_str());
    return Format(TxtIn(kTxtCompareDiffer, language), differing, clock.c_str());
}

std::string ParaValueText(int index, std::uint16_t value, int language) {
    const TextPair *choices = kParaNames[index].choices;
    if (!ParaIsChoice(index) || value > 1) return std::to_string(value);
    return Format("%u (%s)", unsigned(value), TxtIn(choices[value], language));
}

ParaComparison CompareColumns(const ParaColumn columns[kCompareColumns]) {
    ParaComparison c;
    for (int row = 0; row < kParaCount; ++row) {
        int reference = -1;
        for (int col = 0; col < kCompareColumns; ++col) {
            if (!columns[col].known[row]) continue;
            if (reference < 0) {
                reference = columns[col].value[row];
                continue;
            }
            c.cellDiffers[col][row] = columns[col].value[row] != reference;
            c.rowDiffers[row] = c.rowDiffers[row] || c.cellDiffers[col][row];
        }
        c.differingRows += c.rowDiffers[row];
    }
    return c;
}
