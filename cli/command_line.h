// The command line of taviron:
//   taviron [CONNECTION] [--lang de|en] [--json] COMMAND [OPTIONS] [NAME=VALUE...]
// read into one Invocation. Options may stand before or after the command; each command takes
// only its own. Pure: no output, no files, no sensor.
#pragma once

#include "base/csv_style.h"
#include "base/texts.h"
#include "cli/connection.h"
#include "cli/para_values.h"

#include <string>
#include <vector>

enum class Command { None, Info, Get, Set, Diff, Save, HwInfo, Live, Publish };
enum class Memory { Ram, Eeprom };

// The command's name as typed ("info", "hwinfo", ...); "" for None.
const char *CommandName(Command command);

struct Invocation {
    // Connection: one of --port, --device, --tcp (Connection) or --sensors (a file).
    Connection connection;
    std::string sensorsFile;
    bool baudGiven = false;
    int language = -1; // --lang: 0 German, 1 English; -1: the environment's
    bool json = false;
    bool help = false;
    bool version = false;

    Command command = Command::None;
    Memory memory = Memory::Ram;             // get/save --from, set --to
    std::string file;                        // set/diff --file
    std::vector<ParaAssignment> assignments; // set NAME=VALUE...
    bool verify = true;                      // set: false with --no-verify
    std::string output;                      // save/hwinfo -o
    double seconds = 0;                      // live --seconds; 0: not given
    long count = 0;                          // live --count; 0: not given
    bool changes = false;                    // live --changes
    std::string csvFile;                     // live --csv
    CsvStyle csvStyle = CsvStyle::Plain;     // live --csv-style, and publish's shift log

    // publish: the MQTT broker, the topics' id (empty: the sensor's serial number) and prefix,
    // the live polls and the live messages a second.
    std::string mqttHost;
    int mqttPort = 0;
    std::string publishId;
    std::string topicPrefix = "taviron";
    double pollHz = 100;
    double rateHz = 10;
    std::string logFolder;  // publish --log: the shift log's folder (a folder per id in it)
    std::string configFile; // publish --config: a settings file (cli/publish_config.h)
    // publish: the broker's user and the file holding the password (never the password
    // itself), and TLS: the CA that signed the broker's certificate, a client certificate.
    std::string mqttUser, passwordFile;
    std::string caFile, certFile, keyFile;
};

// What is wrong with a command line: a text with up to two "%s" for the words concerned.
struct UsageError {
    const TextPair *text = nullptr; // null: no error
    std::string first, second;
    int paraIndex = -1; // a parameter value out of range: its allowed values are added
};

// Reads the arguments after the program's name. On a usage error `error.text` is set and the
// invocation holds what was read up to it; --help and --version are read even then, so that
// they can win. The language is known early (--lang anywhere on the line) for the message.
void ParseArguments(int argc, const char *const *argv, Invocation *invocation, UsageError *error);

// The message of a usage error in a language (one line, no line end).
std::string UsageErrorText(const UsageError &error, int language);
