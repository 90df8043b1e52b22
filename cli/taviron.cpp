// The taviron program (see taviron.h). Everything that can be wrong on the command line or in
// a file named there is found before any sensor is asked; a sensor list then runs the command
// on each sensor in turn, one that cannot be reached not stopping the others.
#include "cli/taviron.h"

#include "base/state.h"
#include "cli/exit_codes.h"
#include "cli/json.h"
#include "cli/language.h"
#include "cli/live_command.h"
#include "cli/para_file.h"
#include "cli/publish_command.h"
#include "cli/publish_config.h"
#include "cli/sensor_commands.h"
#include "cli/sensor_list.h"
#include "cli/sensor_session.h"
#include "cli/usage.h"
#include "platform/core/runtime.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const TextPair kSeeHelp = {"(taviron --help erklärt den Aufruf)", "(taviron --help explains it)"};
const TextPair kNoFolder = {"Ordner kann nicht angelegt werden: %s", "Cannot make the folder: %s"};
const TextPair kNoCsv = {"CSV-Datei kann nicht geschrieben werden: %s",
                         "Cannot write the CSV file: %s"};
const TextPair kNoRuntime = {"Die Laufzeitumgebung startet nicht", "The runtime does not start"};

// A message on standard error: "taviron: " (or "[sensor] ") before its first line.
void Tell(const std::string &prefix, const std::string &message) {
    if (message.empty()) return;
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), message.c_str());
}

// A failure before any sensor was asked: the message, and with --json the object saying it.
int FailEarly(const Invocation &inv, int code, const std::string &message) {
    Tell("taviron: ", message);
    if (inv.json) {
        JsonWriter json;
        json.BeginObject().Key("error").String(message).Key("exit").Int(code).EndObject();
        std::printf("%s\n", json.Text().c_str());
    }
    return code;
}

void ParseWords(const std::vector<std::string> &words, Invocation *inv, UsageError *error) {
    std::vector<const char *> argv;
    for (const std::string &w : words)
        argv.push_back(w.c_str());
    ParseArguments(int(argv.size()), argv.data(), inv, error);
}

// Ctrl-C or TERM ends a live cycle after its pass, with every row written; a second one ends
// the program at once.
void OnStopSignal(int number) {
    std::signal(number, SIG_DFL);
    StopLive();
    StopPublish();
}

// The runtime the link waits in: events are processed while a reply is awaited (the serial
// port's and the TCP conversation's notices come through them). A core application object: no
// display, no widgets.
bool StartRuntime(int argc, char **argv) {
    return InitRuntime(argc, argv) == 1;
}

// The command on one sensor: connect, run, disconnect. `rows`: where live writes.
int RunOnSensor(const Invocation &inv, const Connection &connection, const CommandInput &input,
                std::FILE *rows, CommandReport *report) {
    report->command = inv.command;
    report->memory = inv.memory;
    if (inv.command == Command::Publish) {
        RunPublish(inv, input.password, report);
    } else if (ConnectSensor(connection, report) == kExitDone) {
        if (inv.command == Command::Live)
            RunLive(inv, rows, inv.json, report);
        else
            RunSensorCommand(inv, input, report);
    }
    DisconnectSensor();
    return report->code;
}

int RunOne(const Invocation &inv, const CommandInput &input, std::FILE *rows) {
    CommandReport report;
    RunOnSensor(inv, inv.connection, input, rows, &report);
    Tell("taviron: ", report.error);
    if (inv.command != Command::Live && inv.command != Command::Publish) {
        const std::string out =
            inv.json ? ReportJson(report) + "\n" : ReportText(report, App.LanguageIndex);
        std::fputs(out.c_str(), stdout);
    }
    return report.code;
}

int RunList(const Invocation &inv, const std::vector<SensorEntry> &sensors,
            const CommandInput &common) {
    std::vector<CommandReport> reports;
    for (const SensorEntry &sensor : sensors) {
        CommandInput input = common;
        if (inv.command == Command::Save)
            input.output = (std::filesystem::path(inv.output) / (sensor.name + ".ini")).string();
        CommandReport report;
        report.sensor = sensor.name;
        RunOnSensor(inv, sensor.connection, input, stdout, &report);
        Tell("[" + sensor.name + "] ", report.error);
        reports.push_back(report);
    }
    const std::string out =
        inv.json ? SensorListJson(reports) + "\n" : SensorListText(reports, App.LanguageIndex);
    std::fputs(out.c_str(), stdout);
    return WorstCodeOf(reports);
}

} // namespace

int TavironMain(int argc, char **argv) {
    std::vector<std::string> words(argv, argv + argc);
    Invocation inv;
    UsageError error;
    ParseWords(words, &inv, &error);
    int language = inv.language >= 0 ? inv.language : SystemLanguage();
    // publish --config: the file's settings after the words typed, and read again.
    const std::string config = ConfigPathOf(words);
    std::vector<ConfigPlace> places;
    if (!config.empty() && inv.command == Command::Publish && !inv.help && !inv.version) {
        std::string message;
        const int code = ReadPublishConfig(config, language, &words, &places, &message);
        if (code != kExitDone) return FailEarly(inv, code, message);
        ParseWords(words, &inv, &error);
        if (inv.language >= 0) language = inv.language;
    }
    App.LanguageIndex = language;
    if (inv.help) {
        std::fputs(HelpText(language).c_str(), stdout);
        return kExitDone;
    }
    if (inv.version) {
        std::fputs(VersionText().c_str(), stdout);
        return kExitDone;
    }
    if (error.text) {
        // A value from the settings file is said with its place there.
        std::string place;
        for (const ConfigPlace &p : places)
            if (p.option == error.first) place = p.where + ": ";
        return FailEarly(inv, kExitUsage,
                         place + UsageErrorText(error, language) + " " + Say(kSeeHelp, language));
    }

    // The files named on the command line, before any sensor is asked.
    CommandInput input;
    input.output = inv.output;
    std::string message;
    if (!inv.file.empty()) {
        const int code = ReadParaFile(inv.file, language, &input.fileValues, &message);
        if (code != kExitDone) return FailEarly(inv, code, message);
        input.hasFile = true;
    }
    if (inv.command == Command::Publish) {
        const int code = ReadPublishFiles(inv, language, &input.password, &message);
        if (code != kExitDone) return FailEarly(inv, code, message);
    }
    std::vector<SensorEntry> sensors;
    const bool list = !inv.sensorsFile.empty();
    if (list) {
        const long baud = inv.baudGiven ? inv.connection.baud : kDefaultBaud;
        const int code = ReadSensorList(inv.sensorsFile, baud, inv.command == Command::Save,
                                        language, &sensors, &message);
        if (code != kExitDone) return FailEarly(inv, code, message);
        std::error_code made;
        if (inv.command == Command::Save && !std::filesystem::is_directory(inv.output) &&
            !std::filesystem::create_directories(inv.output, made))
            return FailEarly(inv, kExitFile,
                             SayWith(kNoFolder, language, inv.output) + ": " + made.message());
    }
    std::FILE *rows = stdout;
    if (inv.command == Command::Live && !inv.csvFile.empty()) {
        rows = std::fopen(inv.csvFile.c_str(), "w");
        if (!rows)
            return FailEarly(inv, kExitFile,
                             SayWith(kNoCsv, language, inv.csvFile) + ": " + std::strerror(errno));
    }

    if (!StartRuntime(argc, argv))
        return FailEarly(inv, kExitNoConnection, Say(kNoRuntime, language));
    InstallCliLinkHandlers();
    if (inv.command == Command::Live || inv.command == Command::Publish) {
        std::signal(SIGINT, OnStopSignal);
        std::signal(SIGTERM, OnStopSignal);
    }
    const int code = list ? RunList(inv, sensors, input) : RunOne(inv, input, rows);
    CloseRuntime();
    if (rows != stdout && std::fclose(rows) != 0 && code == kExitDone)
        return FailEarly(inv, kExitFile,
                         SayWith(kNoCsv, language, inv.csvFile) + ": " + std::strerror(errno));
    return code;
}
