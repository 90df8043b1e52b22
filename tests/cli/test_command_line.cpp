// taviron's command line: what each good line sets, and a clear message for every bad one
// (the program then ends with exit code 2).
#include "cli/command_line.h"
#include "cli/usage.h"
#include "taviron_version.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Splits at blanks; a part in single quotes keeps its blanks.
std::vector<std::string> Words(const std::string &line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '\'') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

struct Parsed {
    Invocation inv;
    UsageError error;
    std::string message; // English
};

Parsed Parse(const std::string &line) {
    std::vector<std::string> words = Words(line);
    std::vector<const char *> argv{"taviron"};
    for (const std::string &w : words)
        argv.push_back(w.c_str());
    Parsed p;
    ParseArguments(int(argv.size()), argv.data(), &p.inv, &p.error);
    p.message = UsageErrorText(p.error, 1);
    return p;
}

TEST(CliCommandLine, GoodLinesSetTheirFields) {
    {
        Parsed p = Parse("--port COM3 --baud 9600 get --from eeprom");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.command, Command::Get);
        EXPECT_EQ(p.inv.connection.kind, LinkKind::Port);
        EXPECT_EQ(p.inv.connection.port, 3);
        EXPECT_EQ(p.inv.connection.baud, 9600);
        EXPECT_EQ(p.inv.memory, Memory::Eeprom);
        EXPECT_FALSE(p.inv.json);
        EXPECT_EQ(p.inv.language, -1);
    }
    {
        // Options after the command, the --name=value form, globals anywhere.
        Parsed p = Parse("info --tcp=press4 --json --lang de");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.command, Command::Info);
        EXPECT_EQ(p.inv.connection.kind, LinkKind::Tcp);
        EXPECT_EQ(p.inv.connection.host, "press4");
        EXPECT_EQ(p.inv.connection.tcpPort, 5000);
        EXPECT_TRUE(p.inv.json);
        EXPECT_EQ(p.inv.language, 0);
    }
    {
        Parsed p = Parse("--device /dev/ttyUSB0 set --to eeprom 'STROKE TOLERANCE=60' "
                         "digital-outmode=INVERSE --no-verify");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.command, Command::Set);
        EXPECT_EQ(p.inv.connection.device, "/dev/ttyUSB0");
        EXPECT_EQ(p.inv.connection.baud, 115200);
        EXPECT_EQ(p.inv.memory, Memory::Eeprom);
        EXPECT_FALSE(p.inv.verify);
        ASSERT_EQ(p.inv.assignments.size(), 2u);
        EXPECT_EQ(p.inv.assignments[0].index, 0);
        EXPECT_EQ(p.inv.assignments[0].value, 60);
        EXPECT_EQ(p.inv.assignments[1].index, 2);
        EXPECT_EQ(p.inv.assignments[1].value, 1);
    }
    {
        Parsed p = Parse("--tcp [::1]:5001 live --seconds 2.5 --changes --csv out.csv "
                         "--csv-style excel-de");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.connection.host, "::1");
        EXPECT_EQ(p.inv.connection.tcpPort, 5001);
        EXPECT_DOUBLE_EQ(p.inv.seconds, 2.5);
        EXPECT_EQ(p.inv.count, 0);
        EXPECT_TRUE(p.inv.changes);
        EXPECT_EQ(p.inv.csvFile, "out.csv");
        EXPECT_EQ(p.inv.csvStyle, CsvStyle::ExcelDe);
    }
    {
        Parsed p = Parse("--sensors line2.ini --baud 57600 save -o backup");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.sensorsFile, "line2.ini");
        EXPECT_EQ(p.inv.connection.baud, 57600); // the rate of listed sensors without BAUD
        EXPECT_EQ(p.inv.output, "backup");
    }
    {
        Parsed p = Parse("--port 1 live --count 100");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.count, 100);
    }
    {
        Parsed p = Parse("--tcp press4 publish --mqtt broker");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.command, Command::Publish);
        EXPECT_EQ(p.inv.mqttHost, "broker");
        EXPECT_EQ(p.inv.mqttPort, 1883);
        EXPECT_EQ(p.inv.publishId, "");
        EXPECT_EQ(p.inv.topicPrefix, "taviron");
        EXPECT_EQ(p.inv.pollHz, 100);
        EXPECT_EQ(p.inv.rateHz, 10);
        p = Parse("--port 2 publish --mqtt [::1]:8883 --id line1/press4 --prefix plant/taviron "
                  "--poll 20 --rate=2.5");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.mqttHost, "::1");
        EXPECT_EQ(p.inv.mqttPort, 8883);
        EXPECT_EQ(p.inv.publishId, "line1/press4");
        EXPECT_EQ(p.inv.topicPrefix, "plant/taviron");
        EXPECT_EQ(p.inv.pollHz, 20);
        EXPECT_EQ(p.inv.rateHz, 2.5);
        p = Parse("--port 2 publish --mqtt b --log /var/log/taviron --csv-style excel-de");
        ASSERT_EQ(p.message, "");
        EXPECT_EQ(p.inv.logFolder, "/var/log/taviron");
        EXPECT_EQ(p.inv.csvStyle, CsvStyle::ExcelDe);
    }
    {
        // After "--" a word that looks like an option is an assignment.
        Parsed p = Parse("--port 1 set -- CntStrokeEdge=FALLEND");
        ASSERT_EQ(p.message, "");
        ASSERT_EQ(p.inv.assignments.size(), 1u);
        EXPECT_EQ(p.inv.assignments[0].index, 3);
        EXPECT_EQ(p.inv.assignments[0].value, 1);
    }
}

TEST(CliCommandLine, HelpAndVersionWinOverEverythingElse) {
    for (const char *line :
         {"--help", "-h", "--port 99999 --help", "nonsense --help --bogus", "info --version"}) {
        Parsed p = Parse(line);
        EXPECT_EQ(p.error.text, nullptr) << line;
        EXPECT_TRUE(p.inv.help || p.inv.version) << line;
    }
}

TEST(CliCommandLine, EveryBadLineSaysWhatIsWrong) {
    const struct {
        const char *line;
        const char *message;
    } cases[] = {
        {"", "No command given (info, get, set, diff, save, hwinfo, live, publish; --help "
             "explains them)"},
        {"--port 1", "No command given (info, get, set, diff, save, hwinfo, live, publish; "
                     "--help explains them)"},
        {"--port 1 status", "Unknown command: status (info, get, set, diff, save, hwinfo, live, "
                            "publish)"},
        {"--port 1 info --verbose", "Unknown option: --verbose"},
        {"--port 1 info -x", "Unknown option: -x"},
        {"info", "No connection given: --port, --device, --tcp or --sensors"},
        {"--port 1 --tcp h:1 info", "More than one connection given: --port and --tcp"},
        {"--sensors a.ini --device /dev/x info", "More than one connection given: --sensors and "
                                                 "--device"},
        {"--port COM0 info", "Invalid port for --port: COM0 (COM1 to COM255)"},
        {"--port COM256 info", "Invalid port for --port: COM256 (COM1 to COM255)"},
        {"--port ttyS0 info", "Invalid port for --port: ttyS0 (COM1 to COM255)"},
        {"--port info", "Invalid port for --port: info (COM1 to COM255)"},
        {"--tcp h:0 info", "Invalid server for --tcp: h:0 (HOST:PORT)"},
        {"--tcp h:65536 info", "Invalid server for --tcp: h:65536 (HOST:PORT)"},
        {"--tcp :5000 info", "Invalid server for --tcp: :5000 (HOST:PORT)"},
        {"--tcp ::1 info", "Invalid server for --tcp: ::1 (HOST:PORT)"},
        {"--tcp h: info", "Invalid server for --tcp: h: (HOST:PORT)"},
        {"--port 1 --baud 12345 info", "Invalid baud rate for --baud: 12345 (9600, 19200, 38400, "
                                       "57600, 115200, 230400, 460800, 921600)"},
        {"--tcp h --baud 9600 info", "--baud applies to a serial line only"},
        {"--port 1 --lang fr info", "Invalid language for --lang: fr (de or en)"},
        {"--port 1 get --from flash", "Invalid memory for --from: flash (ram or eeprom)"},
        {"--port 1 info --from ram", "Option --from does not go with info"},
        {"--port 1 get --no-verify", "Option --no-verify does not go with get"},
        {"--port 1 save --csv x", "Option --csv does not go with save"},
        {"--port 1 info --json=yes", "Option --json takes no value"},
        {"--port 1 get --from", "Option --from needs a value"},
        {"--port 1 save -o ''", "Option -o needs a value"},
        {"--port 1 info extra", "Unexpected argument: extra"},
        {"--port 1 set", "set needs --file FILE or NAME=VALUE"},
        {"--port 1 set --file p.ini BAD_CNT_TO_FAIL=3", "set takes --file or NAME=VALUE, not both"},
        {"--port 1 set STROKE TOLERANCE=5",
         "Expected NAME=VALUE, not STROKE (put a name with blanks in quotes)"},
        {"--port 1 set SPEED=5", "Unknown parameter: SPEED (STROKE TOLERANCE, BAD CNT TO FAIL, "
                                 "DIGITAL OUTMODE, CNT STROKE EDGE)"},
        {"--port 1 set 'STROKE TOLERANCE=65536'",
         "Value for STROKE TOLERANCE out of range: 65536 (allowed: 0 .. 65535)"},
        {"--port 1 set 'BAD CNT TO FAIL=-1'",
         "Value for BAD CNT TO FAIL out of range: -1 (allowed: 0 .. 65535)"},
        {"--port 1 set 'DIGITAL OUTMODE=2'",
         "Value for DIGITAL OUTMODE out of range: 2 (allowed: 0 = DIRECT, 1 = INVERSE)"},
        {"--port 1 set 'CNT STROKE EDGE=up'",
         "Value for CNT STROKE EDGE out of range: up (allowed: 0 = RISING, 1 = FALLING)"},
        {"--port 1 set StrokeTolerance=5 'stroke tolerance=6'",
         "Parameter given twice: STROKE TOLERANCE"},
        {"--port 1 save", "save needs -o FILE"},
        {"--port 1 hwinfo", "hwinfo needs -o FILE"},
        {"--sensors l.ini save", "save with --sensors needs -o FOLDER"},
        {"--sensors l.ini set BadCntToFail=3", "set cannot run with --sensors (only info, get, "
                                               "diff, save)"},
        {"--sensors l.ini live", "live cannot run with --sensors (only info, get, diff, save)"},
        {"--sensors l.ini hwinfo -o x", "hwinfo cannot run with --sensors (only info, get, diff, "
                                        "save)"},
        {"--port 1 live --seconds 1 --count 2", "live takes --seconds or --count, not both"},
        {"--port 1 live --seconds 0", "Invalid duration for --seconds: 0 (seconds above 0)"},
        {"--port 1 live --seconds 1x", "Invalid duration for --seconds: 1x (seconds above 0)"},
        {"--port 1 live --seconds nan", "Invalid duration for --seconds: nan (seconds above 0)"},
        {"--port 1 live --count 0", "Invalid count for --count: 0 (a whole number from 1)"},
        {"--port 1 live --count -3", "Invalid count for --count: -3 (a whole number from 1)"},
        {"--port 1 live --csv-style excel", "Invalid CSV style for --csv-style: excel (plain or "
                                            "excel-de)"},
        {"--port 1 publish", "publish needs --mqtt HOST[:PORT]"},
        {"--port 1 publish --mqtt b:0", "Invalid MQTT broker for --mqtt: b:0 (HOST[:PORT])"},
        {"--port 1 publish --mqtt ''", "Invalid MQTT broker for --mqtt:  (HOST[:PORT])"},
        {"--port 1 publish --mqtt b --poll 0",
         "Invalid rate for --poll: 0 (per second, above 0, up to 1000)"},
        {"--port 1 publish --mqtt b --rate 1001",
         "Invalid rate for --rate: 1001 (per second, above 0, up to 1000)"},
        {"--port 1 publish --mqtt b --rate inf",
         "Invalid rate for --rate: inf (per second, above 0, up to 1000)"},
        {"--port 1 publish --mqtt b --id press/",
         "Invalid topic part for --id: press/ (not empty, no '+' or '#', no '/' at either end)"},
        {"--port 1 publish --mqtt b --id 'p#'",
         "Invalid topic part for --id: p# (not empty, no '+' or '#', no '/' at either end)"},
        {"--port 1 publish --mqtt b --prefix a//b",
         "Invalid topic part for --prefix: a//b (not empty, no '+' or '#', no '/' at either end)"},
        {"--port 1 live --mqtt b", "Option --mqtt does not go with live"},
        {"--port 1 publish --mqtt b --changes", "Option --changes does not go with publish"},
        {"--port 1 publish --mqtt b --json", "Option --json does not go with publish"},
        {"--port 1 publish --mqtt b --csv-style excel-de", "--csv-style goes only with --log"},
        {"--port 1 publish --mqtt b --log ''", "Option --log needs a value"},
        {"--port 1 info --config p.conf", "Option --config does not go with info"},
        {"--sensors l.ini publish --mqtt b", "publish cannot run with --sensors (only info, get, "
                                             "diff, save)"},
    };
    for (const auto &c : cases) {
        Parsed p = Parse(c.line);
        EXPECT_NE(p.error.text, nullptr) << c.line;
        EXPECT_EQ(p.message, c.message) << c.line;
    }
}

TEST(CliCommandLine, MessagesInGerman) {
    Parsed p = Parse("--port 1 set 'DIGITAL OUTMODE=7'");
    EXPECT_EQ(
        UsageErrorText(p.error, 0),
        "Wert für DIGITAL OUTMODE außerhalb des Bereichs: 7 (erlaubt: 0 = DIREKT, 1 = INVERS)");
    p = Parse("--port 1 info --from ram");
    EXPECT_EQ(UsageErrorText(p.error, 0), "Option --from passt nicht zu info");
}

TEST(CliCommandLine, HelpListsEveryCommandOptionAndExitCode) {
    for (int language : {0, 1}) {
        const std::string help = HelpText(language);
        for (const char *word :
             {"info",           "get",       "set",         "diff",        "save",
              "hwinfo",         "live",      "--port",      "--device",    "--tcp",
              "--baud",         "--sensors", "--lang",      "--json",      "--from",
              "--to",           "--file",    "--no-verify", "-o ",         "--seconds",
              "--count",        "--changes", "--csv ",      "--csv-style", "publish",
              "--mqtt",         "--id",      "--prefix",    "--poll",      "--rate",
              "--log",          "excel-de",  "--help",      "--version",   "STROKE TOLERANCE",
              "CNT STROKE EDGE"})
            EXPECT_NE(help.find(word), std::string::npos) << language << " " << word;
        for (int code = 0; code <= 7; ++code)
            EXPECT_NE(help.find("  " + std::to_string(code) + "  "), std::string::npos) << code;
    }
    EXPECT_NE(HelpText(1).find("7  file could not be read or written"), std::string::npos);
    EXPECT_NE(HelpText(0).find("Rückgabewerte"), std::string::npos);
    EXPECT_EQ(VersionText(), "taviron (TAVIRON Scope) " TAVIRON_VERSION "\n");
}

} // namespace
