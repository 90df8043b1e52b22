// Tables and lines for people (see tables.h).
#include "cli/tables.h"

#include "cli/exit_codes.h"
#include "cli/language.h"
#include "params/layout/para_names.h"

namespace {

const TextPair kDiffers = {"verschieden", "differs"};
const TextPair kWritten = {"geschrieben", "written"};
const TextPair kReadBack = {"zurückgelesen", "read back"};
const TextPair kFirmware = {"Firmware: ", "Firmware: "};
// As the connection page says them after the identity check.
const TextPair kSensor = {"Sensor: ", "Sensor: "};
const TextPair kSerialNumber = {"Seriennummer: ", "Serial number: "};
const TextPair kHeadSensor = {"Sensor", "Sensor"};
const TextPair kHeadConnection = {"Verbindung", "Connection"};
const TextPair kHeadResult = {"Ergebnis", "Result"};

// Characters of UTF-8 text: every byte that does not continue a sequence.
std::size_t Width(const std::string &text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

} // namespace

std::string FormatTable(const std::vector<std::vector<std::string>> &rows,
                        const std::vector<bool> &rightAligned) {
    std::vector<std::size_t> widths;
    for (const auto &row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            if (Width(row[c]) > widths[c]) widths[c] = Width(row[c]);
        }
    std::string out;
    for (const auto &row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) line += "  ";
            const std::string pad(widths[c] - Width(row[c]), ' ');
            const bool right = c > 0 && c < rightAligned.size() && rightAligned[c];
            line += right ? pad + row[c] : row[c] + pad;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    }
    return out;
}

std::string ParaLines(const ParaSet &values, int language) {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += std::string(ParaLabel(i, language)) + " = " + std::to_string(values[i]) + "\n";
    return out;
}

std::vector<int> DifferingParameters(const std::vector<NamedSet> &sets) {
    std::vector<int> differing;
    for (int i = 0; i < 4; ++i)
        for (const NamedSet &s : sets)
            if (s.values[i] != sets.front().values[i]) {
                differing.push_back(i);
                break;
            }
    return differing;
}

std::string DiffTable(const std::vector<NamedSet> &sets, int language) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>{""});
    std::vector<bool> right{false};
    for (const NamedSet &s : sets) {
        rows[0].push_back(s.name);
        right.push_back(true);
    }
    const std::vector<int> differing = DifferingParameters(sets);
    for (int i = 0; i < 4; ++i) {
        std::vector<std::string> row{ParaLabel(i, language)};
        for (const NamedSet &s : sets)
            row.push_back(std::to_string(s.values[i]));
        for (int d : differing)
            if (d == i) row.push_back(Say(kDiffers, language));
        rows.push_back(row);
    }
    return FormatTable(rows, right);
}

std::string SetTable(const ParaSet &written, const ParaSet *readBack, int language) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> head{"", Say(kWritten, language)};
    if (readBack) head.push_back(Say(kReadBack, language));
    rows.push_back(head);
    for (int i = 0; i < 4; ++i) {
        std::vector<std::string> row{ParaLabel(i, language), std::to_string(written[i])};
        if (readBack) {
            row.push_back(std::to_string((*readBack)[i]));
            if ((*readBack)[i] != written[i]) row.push_back(Say(kDiffers, language));
        }
        rows.push_back(row);
    }
    return FormatTable(rows, {false, true, true});
}

std::string IdentityLines(const std::string &firmware, const std::string &name, long serial,
                          int language) {
    return std::string(Say(kFirmware, language)) + firmware + "\n" + Say(kSensor, language) + name +
           "\n" + Say(kSerialNumber, language) + std::to_string(serial) + "\n";
}

std::string SummaryTable(const std::vector<SensorResult> &results, int language) {
    std::vector<std::vector<std::string>> rows{
        {Say(kHeadSensor, language), Say(kHeadConnection, language), Say(kHeadResult, language)}};
    for (const SensorResult &r : results) {
        std::vector<std::string> row{r.name, r.connection,
                                     std::to_string(r.code) + " " +
                                         Say(ExitCodeText(r.code), language)};
        if (!r.detail.empty()) row.push_back(r.detail);
        rows.push_back(row);
    }
    return FormatTable(rows, {});
}
