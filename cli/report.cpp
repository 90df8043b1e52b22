// Reports of commands as text and JSON (see report.h).
#include "cli/report.h"

#include "cli/exit_codes.h"
#include "cli/json.h"
#include "cli/language.h"
#include "params/layout/para_names.h"

#include <cctype>

namespace {

const TextPair kFile = {"DATEI", "FILE"}; // as the memory toggle is labelled

std::vector<NamedSet> DiffSets(const CommandReport &r, int language) {
    std::vector<NamedSet> sets;
    if (r.hasRam) sets.push_back({"RAM", r.ram});
    if (r.hasEeprom) sets.push_back({"EEPROM", r.eeprom});
    if (r.hasFile) sets.push_back({Say(kFile, language), r.file});
    return sets;
}

const char *MemoryName(Memory memory) {
    return memory == Memory::Eeprom ? "eeprom" : "ram";
}

// The first line of a message, for the summary table.
std::string FirstLine(const std::string &text) {
    std::string line = text.substr(0, text.find('\n'));
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

std::string Detail(const CommandReport &r) {
    if (r.code >= kExitUsage) return FirstLine(r.error);
    if (!r.path.empty() && (r.command == Command::Save || r.command == Command::HwInfo))
        return r.path;
    std::string names;
    for (int i : ReportDifferences(r))
        names += (names.empty() ? "" : ", ") + std::string(kParaNames[i].fileKey);
    return names;
}

} // namespace

void ParaObject(JsonWriter &json, const ParaSet &values) {
    json.BeginObject();
    for (int i = 0; i < 4; ++i)
        json.Key(ParaJsonName(i)).Int(values[i]);
    json.EndObject();
}

std::string ParaJsonName(int index) {
    if (index < 0 || index > 3) return "";
    std::string name = kParaNames[index].fieldName;
    name[0] = char(std::tolower(static_cast<unsigned char>(name[0])));
    return name;
}

std::vector<int> ReportDifferences(const CommandReport &r) {
    if (r.command == Command::Set && r.hasWritten && r.hasReadBack)
        return DifferingParameters({{"", r.written}, {"", r.readBack}});
    if (r.command == Command::Diff) {
        const std::vector<NamedSet> sets = DiffSets(r, 1);
        if (sets.size() > 1) return DifferingParameters(sets);
    }
    return {};
}

std::string ReportText(const CommandReport &r, int language) {
    switch (r.command) {
    case Command::Info:
        return r.identified ? IdentityLines(r.firmware, r.name, r.serial, language) : "";
    case Command::Get:
        return r.hasValues ? ParaLines(r.values, language) : "";
    case Command::Set:
        return r.hasWritten ? SetTable(r.written, r.hasReadBack ? &r.readBack : nullptr, language)
                            : "";
    case Command::Diff: {
        const std::vector<NamedSet> sets = DiffSets(r, language);
        return sets.size() > 1 ? DiffTable(sets, language) : "";
    }
    case Command::Save:
    case Command::HwInfo:
        return r.code == kExitDone && !r.path.empty() ? r.path + "\n" : "";
    case Command::Live:
    case Command::Publish:
    case Command::None:
        break;
    }
    return "";
}

std::string ReportJson(const CommandReport &r, bool withCommand) {
    JsonWriter json;
    json.BeginObject();
    if (withCommand) json.Key("command").String(CommandName(r.command));
    if (!r.sensor.empty()) json.Key("sensor").String(r.sensor);
    json.Key("connection").String(r.connection);
    if (r.identified) {
        json.Key("firmware").String(r.firmware);
        json.Key("name").String(r.name);
        json.Key("serial").Int(r.serial);
    }
    if (r.command == Command::Get || r.command == Command::Save)
        json.Key("from").String(MemoryName(r.memory));
    if (r.command == Command::Set) json.Key("to").String(MemoryName(r.memory));
    if (r.hasValues) ParaObject(json.Key("parameters"), r.values);
    if (r.hasWritten) ParaObject(json.Key("written"), r.written);
    if (r.hasReadBack) ParaObject(json.Key("readBack"), r.readBack);
    if (r.hasRam) ParaObject(json.Key("ram"), r.ram);
    if (r.hasEeprom) ParaObject(json.Key("eeprom"), r.eeprom);
    if (r.hasFile) ParaObject(json.Key("file"), r.file);
    if (!r.path.empty()) json.Key("path").String(r.path);
    if (r.command == Command::Set || r.command == Command::Diff) {
        json.Key("differing").BeginArray();
        for (int i : ReportDifferences(r))
            json.String(ParaJsonName(i));
        json.EndArray();
    }
    if (r.code >= kExitUsage) json.Key("error").String(r.error);
    json.Key("exit").Int(r.code);
    json.EndObject();
    return json.Text();
}

std::string SensorListText(const std::vector<CommandReport> &reports, int language) {
    std::string out;
    std::vector<SensorResult> results;
    for (const CommandReport &r : reports) {
        const std::string text = ReportText(r, language);
        if (!text.empty()) out += "[" + r.sensor + "]\n" + text + "\n";
        results.push_back({r.sensor, r.connection, r.code, Detail(r)});
    }
    return out + SummaryTable(results, language);
}

std::string SensorListJson(const std::vector<CommandReport> &reports) {
    JsonWriter json;
    json.BeginObject();
    json.Key("command").String(reports.empty() ? "" : CommandName(reports.front().command));
    json.Key("sensors").BeginArray();
    for (const CommandReport &r : reports)
        json.Raw(ReportJson(r, false));
    json.EndArray();
    json.Key("exit").Int(WorstCodeOf(reports));
    json.EndObject();
    return json.Text();
}

int WorstCodeOf(const std::vector<CommandReport> &reports) {
    int worst = kExitDone;
    for (const CommandReport &r : reports)
        worst = WorstCode(worst, r.code);
    return worst;
}
