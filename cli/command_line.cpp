// The command line of taviron (see command_line.h): one table of options, each with the
// commands it belongs to and what it sets, then the checks that need the whole line.
#include "cli/command_line.h"

#include "cli/language.h"
#include "params/layout/para_names.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const TextPair kErrUnknownOption = {"Unbekannte Option: %s", "Unknown option: %s"};
const TextPair kErrNoValue = {"Option %s braucht einen Wert", "Option %s needs a value"};
const TextPair kErrValueNotTaken = {"Option %s nimmt keinen Wert", "Option %s takes no value"};
const TextPair kErrBadPort = {"Ungültiger Port für %s: %s (COM1 bis COM255)",
                              "Invalid port for %s: %s (COM1 to COM255)"};
const TextPair kErrBadTcp = {"Ungültiger Server für %s: %s (HOST:PORT)",
                             "Invalid server for %s: %s (HOST:PORT)"};
const TextPair kErrBadBaud = {
    "Ungültige Baudrate für %s: %s (9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600)",
    "Invalid baud rate for %s: %s (9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600)"};
const TextPair kErrBadLang = {"Ungültige Sprache für %s: %s (de oder en)",
                              "Invalid language for %s: %s (de or en)"};
const TextPair kErrBadMemory = {"Ungültiger Speicher für %s: %s (ram oder eeprom)",
                                "Invalid memory for %s: %s (ram or eeprom)"};
const TextPair kErrBadSeconds = {"Ungültige Dauer für %s: %s (Sekunden größer als 0)",
                                 "Invalid duration for %s: %s (seconds above 0)"};
const TextPair kErrBadCount = {"Ungültige Anzahl für %s: %s (ganze Zahl ab 1)",
                               "Invalid count for %s: %s (a whole number from 1)"};
const TextPair kErrBadCsvStyle = {"Ungültiger CSV-Stil für %s: %s (plain oder excel-de)",
                                  "Invalid CSV style for %s: %s (plain or excel-de)"};
const TextPair kErrBadBroker = {"Ungültiger MQTT-Broker für %s: %s (HOST[:PORT])",
                                "Invalid MQTT broker for %s: %s (HOST[:PORT])"};
const TextPair kErrBadHz = {"Ungültige Rate für %s: %s (pro Sekunde, größer als 0, bis 1000)",
                            "Invalid rate for %s: %s (per second, above 0, up to 1000)"};
const TextPair kErrBadTopicPart = {
    "Ungültiger Thementeil für %s: %s (nicht leer, ohne '+', '#' und '/' am Rand)",
    "Invalid topic part for %s: %s (not empty, no '+' or '#', no '/' at either end)"};
const TextPair kErrTogether = {"%s geht nur zusammen mit %s", "%s goes only with %s"};
const TextPair kErrPublishNeedsBroker = {"publish braucht --mqtt HOST[:PORT]",
                                         "publish needs --mqtt HOST[:PORT]"};
const TextPair kErrUnknownCommand = {
    "Unbekannter Befehl: %s (info, get, set, diff, save, hwinfo, live, publish)",
    "Unknown command: %s (info, get, set, diff, save, hwinfo, live, publish)"};
const TextPair kErrNoCommand = {
    "Kein Befehl angegeben (info, get, set, diff, save, hwinfo, live, publish; --help erklärt "
    "sie)",
    "No command given (info, get, set, diff, save, hwinfo, live, publish; --help explains them)"};
const TextPair kErrNoConnection = {"Keine Verbindung angegeben: --port, --device, --tcp oder "
                                   "--sensors",
                                   "No connection given: --port, --device, --tcp or --sensors"};
const TextPair kErrTwoConnections = {"Mehr als eine Verbindung angegeben: %s und %s",
                                     "More than one connection given: %s and %s"};
const TextPair kErrNotForCommand = {"Option %s passt nicht zu %s", "Option %s does not go with %s"};
const TextPair kErrNotWithSensors = {"%s geht nicht mit --sensors (nur info, get, diff, save)",
                                     "%s cannot run with --sensors (only info, get, diff, save)"};
const TextPair kErrBaudNotSerial = {"%s gilt nur für eine serielle Leitung",
                                    "%s applies to a serial line only"};
const TextPair kErrSetNeedsValues = {"set braucht --file DATEI oder NAME=WERT",
                                     "set needs --file FILE or NAME=VALUE"};
const TextPair kErrSetBoth = {"set nimmt --file oder NAME=WERT, nicht beides",
                              "set takes --file or NAME=VALUE, not both"};
const TextPair kErrNeedsOutputFile = {"%s braucht -o DATEI", "%s needs -o FILE"};
const TextPair kErrNeedsOutputDir = {"save mit --sensors braucht -o ORDNER",
                                     "save with --sensors needs -o FOLDER"};
const TextPair kErrSecondsAndCount = {"live nimmt --seconds oder --count, nicht beides",
                                      "live takes --seconds or --count, not both"};
const TextPair kErrUnexpected = {"Unerwartetes Argument: %s", "Unexpected argument: %s"};
const TextPair kErrNotAssignment = {
    "Erwartet NAME=WERT, nicht %s (einen Namen mit Leerzeichen in Anführungszeichen setzen)",
    "Expected NAME=VALUE, not %s (put a name with blanks in quotes)"};
const TextPair kErrUnknownPara = {
    "Unbekannter Parameter: %s (STROKE TOLERANCE, BAD CNT TO FAIL, DIGITAL OUTMODE, CNT STROKE "
    "EDGE)",
    "Unknown parameter: %s (STROKE TOLERANCE, BAD CNT TO FAIL, DIGITAL OUTMODE, CNT STROKE "
    "EDGE)"};
const TextPair kErrParaRange = {"Wert für %s außerhalb des Bereichs: %s",
                                "Value for %s out of range: %s"};
const TextPair kErrParaTwice = {"Parameter doppelt angegeben: %s", "Parameter given twice: %s"};
const TextPair kAllowed = {"erlaubt: ", "allowed: "};

// Commands an option belongs to.
enum : unsigned {
    kInfo = 1u << 0,
    kGet = 1u << 1,
    kSet = 1u << 2,
    kDiff = 1u << 3,
    kSave = 1u << 4,
    kHwInfo = 1u << 5,
    kLive = 1u << 6,
    kPublish = 1u << 7,
    kAny = 0xFFu,
};

unsigned Bit(Command command) {
    switch (command) {
    case Command::Info:
        return kInfo;
    case Command::Get:
        return kGet;
    case Command::Set:
        return kSet;
    case Command::Diff:
        return kDiff;
    case Command::Save:
        return kSave;
    case Command::HwInfo:
        return kHwInfo;
    case Command::Live:
        return kLive;
    case Command::Publish:
        return kPublish;
    case Command::None:
        break;
    }
    return 0;
}

struct Parser;
using Apply = bool (*)(Parser &, const char *value);

struct Option {
    const char *name;
    const char *alias; // another spelling, or null
    bool takesValue;
    unsigned commands;
    Apply apply; // false: the value is bad (the parser has recorded why)
};

struct Parser {
    Invocation *inv = nullptr;
    UsageError *error = nullptr;
    const char *written = "";     // the option as typed, for messages
    std::string connectionOption; // the option that gave the connection, for messages
    std::vector<std::pair<std::string, unsigned>> seen; // options typed, with their commands

    bool Fail(const TextPair &text, std::string first = "", std::string second = "") {
        if (!error->text) *error = {&text, std::move(first), std::move(second)};
        return false;
    }
    bool BadValue(const TextPair &text, const char *value) { return Fail(text, written, value); }
    bool SetConnection() {
        if (!connectionOption.empty()) return Fail(kErrTwoConnections, connectionOption, written);
        connectionOption = written;
        return true;
    }
};

bool ApplyPort(Parser &p, const char *value) {
    if (!ParsePortText(value, &p.inv->connection.port)) return p.BadValue(kErrBadPort, value);
    if (!p.SetConnection()) return false;
    p.inv->connection.kind = LinkKind::Port;
    return true;
}

bool ApplyDevice(Parser &p, const char *value) {
    if (!*value) return p.Fail(kErrNoValue, p.written);
    if (!p.SetConnection()) return false;
    p.inv->connection.kind = LinkKind::Device;
    p.inv->connection.device = value;
    return true;
}

bool ApplyTcp(Parser &p, const char *value) {
    Connection &c = p.inv->connection;
    if (!ParseTcpText(value, &c.host, &c.tcpPort)) return p.BadValue(kErrBadTcp, value);
    if (!p.SetConnection()) return false;
    c.kind = LinkKind::Tcp;
    return true;
}

bool ApplySensors(Parser &p, const char *value) {
    if (!*value) return p.Fail(kErrNoValue, p.written);
    if (!p.SetConnection()) return false;
    p.inv->sensorsFile = value;
    return true;
}

bool ApplyBaud(Parser &p, const char *value) {
    if (!ParseBaudText(value, &p.inv->connection.baud)) return p.BadValue(kErrBadBaud, value);
    p.inv->baudGiven = true;
    return true;
}

bool ApplyLang(Parser &p, const char *value) {
    const int language = LanguageFromOption(value);
    if (language < 0) return p.BadValue(kErrBadLang, value);
    p.inv->language = language;
    return true;
}

bool ApplyMemory(Parser &p, const char *value) {
    if (std::strcmp(value, "ram") == 0)
        p.inv->memory = Memory::Ram;
    else if (std::strcmp(value, "eeprom") == 0)
        p.inv->memory = Memory::Eeprom;
    else
        return p.BadValue(kErrBadMemory, value);
    return true;
}

bool ApplyText(std::string *field, Parser &p, const char *value) {
    if (!*value) return p.Fail(kErrNoValue, p.written);
    *field = value;
    return true;
}

bool ApplySeconds(Parser &p, const char *value) {
    char *end = nullptr;
    const double seconds = std::strtod(value, &end);
    // Up to a year: enough for any log, and far from the clock's limits.
    if (!*value || *end || !std::isfinite(seconds) || seconds <= 0 || seconds > 366.0 * 86400)
        return p.BadValue(kErrBadSeconds, value);
    p.inv->seconds = seconds;
    return true;
}

bool ApplyCount(Parser &p, const char *value) {
    long count = 0;
    for (const char *c = value; *c; ++c) {
        if (*c < '0' || *c > '9' || count > 100000000000L) return p.BadValue(kErrBadCount, value);
        count = count * 10 + (*c - '0');
    }
    if (count < 1) return p.BadValue(kErrBadCount, value);
    p.inv->count = count;
    return true;
}

bool ApplyCsvStyle(Parser &p, const char *value) {
    if (!ParseCsvStyle(value, &p.inv->csvStyle)) return p.BadValue(kErrBadCsvStyle, value);
    return true;
}

bool ApplyBroker(Parser &p, const char *value) {
    if (!ParseTcpText(value, &p.inv->mqttHost, &p.inv->mqttPort, 1883))
        return p.BadValue(kErrBadBroker, value);
    return true;
}

bool ApplyHz(double *field, Parser &p, const char *value) {
    char *end = nullptr;
    const double hz = std::strtod(value, &end);
    if (!*value || *end || !std::isfinite(hz) || hz <= 0 || hz > 1000)
        return p.BadValue(kErrBadHz, value);
    *field = hz;
    return true;
}

// A level of a topic name: no wildcard, no '/' at either end (it would make an empty level).
bool ApplyTopicPart(std::string *field, Parser &p, const char *value) {
    const std::string text = value;
    if (text.empty() || text.find_first_of("+#") != std::string::npos || text.front() == '/' ||
        text.back() == '/' || text.find("//") != std::string::npos)
        return p.BadValue(kErrBadTopicPart, value);
    *field = text;
    return true;
}

const Option kOptions[] = {
    {"--port", nullptr, true, kAny, ApplyPort},
    {"--device", nullptr, true, kAny, ApplyDevice},
    {"--tcp", nullptr, true, kAny, ApplyTcp},
    {"--baud", nullptr, true, kAny, ApplyBaud},
    {"--sensors", nullptr, true, kAny, ApplySensors},
    {"--lang", nullptr, true, kAny, ApplyLang},
    // publish writes no report: its messages go to standard error as text.
    {"--json", nullptr, false, kAny & ~kPublish,
     [](Parser &p, const char *) { return p.inv->json = true; }},
    {"--help", "-h", false, kAny, [](Parser &p, const char *) { return p.inv->help = true; }},
    {"--version", nullptr, false, kAny,
     [](Parser &p, const char *) { return p.inv->version = true; }},
    {"--from", nullptr, true, kGet | kSave, ApplyMemory},
    {"--to", nullptr, true, kSet, ApplyMemory},
    {"--file", nullptr, true, kSet | kDiff,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->file, p, v); }},
    {"--no-verify", nullptr, false, kSet,
     [](Parser &p, const char *) { return !(p.inv->verify = false); }},
    {"-o", "--output", true, kSave | kHwInfo,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->output, p, v); }},
    {"--seconds", nullptr, true, kLive, ApplySeconds},
    {"--count", nullptr, true, kLive, ApplyCount},
    {"--changes", nullptr, false, kLive,
     [](Parser &p, const char *) { return p.inv->changes = true; }},
    {"--csv", nullptr, true, kLive,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->csvFile, p, v); }},
    {"--csv-style", nullptr, true, kLive | kPublish, ApplyCsvStyle},
    {"--mqtt", nullptr, true, kPublish, ApplyBroker},
    {"--id", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyTopicPart(&p.inv->publishId, p, v); }},
    {"--prefix", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyTopicPart(&p.inv->topicPrefix, p, v); }},
    {"--poll", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyHz(&p.inv->pollHz, p, v); }},
    {"--rate", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyHz(&p.inv->rateHz, p, v); }},
    {"--config", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->configFile, p, v); }},
    {"--log", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->logFolder, p, v); }},
    {"--user", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->mqttUser, p, v); }},
    {"--password-file", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->passwordFile, p, v); }},
    {"--cafile", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->caFile, p, v); }},
    {"--cert", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->certFile, p, v); }},
    {"--key", nullptr, true, kPublish,
     [](Parser &p, const char *v) { return ApplyText(&p.inv->keyFile, p, v); }},
};

const struct {
    const char *name;
    Command command;
} kCommands[] = {
    {"info", Command::Info}, {"get", Command::Get},         {"set", Command::Set},
    {"diff", Command::Diff}, {"save", Command::Save},       {"hwinfo", Command::HwInfo},
    {"live", Command::Live}, {"publish", Command::Publish},
};

const Option *FindOption(const std::string &name) {
    for (const Option &o : kOptions)
        if (name == o.name || (o.alias && name == o.alias)) return &o;
    return nullptr;
}

void TakeAssignment(Parser &p, const char *text) {
    ParaAssignment a{};
    switch (ParseAssignment(text, &a)) {
    case AssignmentError::Malformed:
        p.Fail(kErrNotAssignment, text);
        return;
    case AssignmentError::UnknownName:
        p.Fail(kErrUnknownPara, std::string(text).substr(0, std::string(text).find('=')));
        return;
    case AssignmentError::OutOfRange: {
        const std::string s = text;
        const std::size_t eq = s.find('=');
        const int index = ParaIndexOfName(s.substr(0, eq));
        p.Fail(kErrParaRange, kParaNames[index].fileKey, s.substr(eq + 1));
        p.error->paraIndex = index;
        return;
    }
    case AssignmentError::None:
        break;
    }
    for (const ParaAssignment &earlier : p.inv->assignments)
        if (earlier.index == a.index) {
            p.Fail(kErrParaTwice, kParaNames[a.index].fileKey);
            return;
        }
    p.inv->assignments.push_back(a);
}

void TakePositional(Parser &p, const char *arg) {
    Invocation &inv = *p.inv;
    if (inv.command == Command::None) {
        for (const auto &c : kCommands)
            if (std::strcmp(arg, c.name) == 0) {
                inv.command = c.command;
                return;
            }
        p.Fail(kErrUnknownCommand, arg);
        return;
    }
    if (inv.command == Command::Set) {
        TakeAssignment(p, arg);
        return;
    }
    p.Fail(kErrUnexpected, arg);
}

// The checks that need the whole line.
void CheckWhole(Parser &p) {
    Invocation &inv = *p.inv;
    if (inv.command == Command::None) {
        p.Fail(kErrNoCommand);
        return;
    }
    const char *command = CommandName(inv.command);
    for (const auto &[name, commands] : p.seen)
        if (!(commands & Bit(inv.command))) {
            p.Fail(kErrNotForCommand, name, command);
            return;
        }
    if (p.connectionOption.empty()) {
        p.Fail(kErrNoConnection);
        return;
    }
    const bool list = !inv.sensorsFile.empty();
    if (list && !(Bit(inv.command) & (kInfo | kGet | kDiff | kSave))) {
        p.Fail(kErrNotWithSensors, command);
        return;
    }
    if (inv.baudGiven && inv.connection.kind == LinkKind::Tcp) {
        p.Fail(kErrBaudNotSerial, "--baud");
        return;
    }
    switch (inv.command) {
    case Command::Set:
        if (inv.file.empty() && inv.assignments.empty()) p.Fail(kErrSetNeedsValues);
        if (!inv.file.empty() && !inv.assignments.empty()) p.Fail(kErrSetBoth);
        break;
    case Command::Save:
        if (inv.output.empty()) {
            if (list)
                p.Fail(kErrNeedsOutputDir);
            else
                p.Fail(kErrNeedsOutputFile, command);
        }
        break;
    case Command::HwInfo:
        if (inv.output.empty()) p.Fail(kErrNeedsOutputFile, command);
        break;
    case Command::Live:
        if (inv.seconds > 0 && inv.count > 0) p.Fail(kErrSecondsAndCount);
        break;
    case Command::Publish:
        if (inv.mqttHost.empty()) p.Fail(kErrPublishNeedsBroker);
        // A password goes with a user name; a client certificate with its key, and both with
        // the CA that the broker's certificate is checked against.
        if (!inv.passwordFile.empty() && inv.mqttUser.empty())
            p.Fail(kErrTogether, "--password-file", "--user");
        if (inv.certFile.empty() != inv.keyFile.empty())
            p.Fail(kErrTogether, inv.certFile.empty() ? "--key" : "--cert",
                   inv.certFile.empty() ? "--cert" : "--key");
        if (!inv.certFile.empty() && inv.caFile.empty()) p.Fail(kErrTogether, "--cert", "--cafile");
        // The CSV style is the shift log's.
        if (inv.logFolder.empty())
            for (const auto &seen : p.seen)
                if (seen.first == "--csv-style") p.Fail(kErrTogether, "--csv-style", "--log");
        break;
    default:
        break;
    }
}

} // namespace

const char *CommandName(Command command) {
    for (const auto &c : kCommands)
        if (c.command == command) return c.name;
    return "";
}

void ParseArguments(int argc, const char *const *argv, Invocation *invocation, UsageError *error) {
    *invocation = Invocation{};
    *error = UsageError{};
    Parser p;
    p.inv = invocation;
    p.error = error;
    bool optionsEnded = false;
    for (int i = 1; i < argc && argv[i]; ++i) {
        const char *arg = argv[i];
        if (optionsEnded || arg[0] != '-' || arg[1] == 0) {
            TakePositional(p, arg);
            continue;
        }
        if (std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        const char *inlineValue = nullptr;
        const std::size_t equals = name.find('=');
        if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            inlineValue = arg + equals + 1;
            name.resize(equals);
        }
        const Option *option = FindOption(name);
        if (!option) {
            p.Fail(kErrUnknownOption, name);
            continue;
        }
        p.written = option->name;
        const char *value = "";
        if (option->takesValue) {
            if (inlineValue) {
                value = inlineValue;
            } else if (i + 1 < argc && argv[i + 1]) {
                value = argv[++i];
            } else {
                p.Fail(kErrNoValue, option->name);
                continue;
            }
        } else if (inlineValue) {
            p.Fail(kErrValueNotTaken, option->name);
            continue;
        }
        p.seen.emplace_back(option->name, option->commands);
        option->apply(p, value);
    }
    if (invocation->help || invocation->version) {
        *error = UsageError{};
        return;
    }
    if (!error->text) CheckWhole(p);
}

std::string UsageErrorText(const UsageError &error, int language) {
    if (!error.text) return "";
    std::string out;
    const char *format = Say(*error.text, language);
    const std::string *args[2] = {&error.first, &error.second};
    int next = 0;
    for (const char *c = format; *c; ++c) {
        if (c[0] == '%' && c[1] == 's') {
            if (next < 2) out += *args[next++];
            ++c;
            continue;
        }
        out += *c;
    }
    if (error.paraIndex >= 0)
        out += " (" + std::string(Say(kAllowed, language)) +
               ParaRangeText(error.paraIndex, language) + ")";
    return out;
}
