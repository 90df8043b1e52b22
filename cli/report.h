// The result of one command for one sensor, and how it is shown: as text for people on
// standard output (NAME = VALUE lines, the tables, a file's path), or as one JSON object. A
// sensor list gives one report per sensor, printed each under its name, then the summary
// table; or one JSON object holding them all.
#pragma once

#include "cli/command_line.h"
#include "cli/tables.h"

#include <string>
#include <vector>

struct CommandReport {
    Command command = Command::None;
    std::string sensor;     // the section of a sensor list; empty for one sensor
    std::string connection; // ConnectionText
    int code = 0;           // exit code
    std::string error;      // what went wrong (codes 2..7), in the chosen language

    bool identified = false; // firmware, name and serial were read
    std::string firmware, name;
    long serial = 0;

    Memory memory = Memory::Ram; // get/save --from, set --to
    bool hasValues = false;      // get, save, hwinfo: the parameters read
    ParaSet values{};
    bool hasWritten = false; // set: what was written
    ParaSet written{};
    bool hasReadBack = false; // set: what was read back (not with --no-verify)
    ParaSet readBack{};
    bool hasRam = false, hasEeprom = false, hasFile = false; // diff
    ParaSet ram{}, eeprom{}, file{};
    std::string path; // save, hwinfo: the file written; diff: the file compared
};

// The parameters that differ: set's written against read back, or diff's sets.
std::vector<int> ReportDifferences(const CommandReport &report);

// What standard output shows for the report (empty when the command failed before it had
// anything to show). In a language (0 German, 1 English).
std::string ReportText(const CommandReport &report, int language);
// The report as one JSON object (no line end). `withCommand`: the object names its command
// (false inside a sensor list, whose object names it once).
std::string ReportJson(const CommandReport &report, bool withCommand = true);

// A sensor list: each report's text under "[sensor]", then the summary table; and the JSON
// object {"command": ..., "sensors": [...], "exit": worst}.
std::string SensorListText(const std::vector<CommandReport> &reports, int language);
std::string SensorListJson(const std::vector<CommandReport> &reports);
// The worst exit code of the reports (0 for none).
int WorstCodeOf(const std::vector<CommandReport> &reports);

// The JSON name of a parameter: its field name with a small first letter ("strokeTolerance").
std::string ParaJsonName(int index);
// A set as the JSON object {"strokeTolerance": ..., ...} written into `json`.
class JsonWriter;
void ParaObject(JsonWriter &json, const ParaSet &values);
