// The publisher's settings file (see publish_config.h), read with the program's INI library.
#include "cli/publish_config.h"

#include "cli/exit_codes.h"
#include "cli/input_file.h"
#include "cli/language.h"
#include "inifile/inifile.h"

#include <algorithm>
#include <cctype>

namespace {

const TextPair kUnknownSection = {"unbekannter Abschnitt (SENSOR, BROKER, PUBLISH)",
                                  "unknown section (SENSOR, BROKER, PUBLISH)"};
const TextPair kUnknownKey = {"unbekannter Schlüssel %s", "unknown key %s"};
const TextPair kKeyTwice = {"Schlüssel %s doppelt", "key %s given twice"};
const TextPair kNoPassword = {
    "PASSWORD gehört nicht hierher: das Passwort steht allein in der Datei, die PASSWORD-FILE "
    "nennt",
    "PASSWORD does not belong here: the password stands alone in the file PASSWORD-FILE names"};

const struct {
    const char *section;
    const char *keys[7];
} kSections[] = {
    {"SENSOR", {"PORT", "DEVICE", "TCP", "BAUD"}},
    {"BROKER", {"MQTT", "USER", "PASSWORD-FILE", "CAFILE", "CERT", "KEY"}},
    {"PUBLISH", {"ID", "PREFIX", "POLL", "RATE", "LOG", "CSV-STYLE", "LANG"}},
};

// A section's or key's name as compared: upper case, '_' read as '-'.
std::string Normal(const char *name) {
    std::string out = name;
    for (char &c : out)
        c = c == '_' ? '-' : char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The option of a key: "--" and the key in lower case.
std::string OptionOf(const std::string &key) {
    std::string option = "--";
    for (char c : key)
        option += char(std::tolower(static_cast<unsigned char>(c)));
    return option;
}

// The options typed among the words (their names, without a value written after '=').
std::vector<std::string> Typed(const std::vector<std::string> &words) {
    std::vector<std::string> typed;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "--") break;
        if (words[i].rfind("--", 0) == 0) typed.push_back(words[i].substr(0, words[i].find('=')));
    }
    return typed;
}

} // namespace

std::string ConfigPathOf(const std::vector<std::string> &words) {
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "--") break;
        if (words[i] == "--config" && i + 1 < words.size()) return words[i + 1];
        if (words[i].rfind("--config=", 0) == 0) return words[i].substr(9);
    }
    return "";
}

int ReadPublishConfig(const std::string &path, int language, std::vector<std::string> *words,
                      std::vector<ConfigPlace> *places, std::string *message) {
    IniText doc = nullptr;
    const int code = ReadInputFile(path, language, &doc, message);
    if (code != kExitDone) return code;
    const std::vector<std::string> typed = Typed(*words);
    const auto isTyped = [&](const std::string &o) {
        return std::find(typed.begin(), typed.end(), o) != typed.end();
    };
    // A connection typed on the command line replaces the whole of the file's sensor.
    const bool connectionTyped = isTyped("--port") || isTyped("--device") || isTyped("--tcp");

    std::vector<std::string> added;
    std::vector<ConfigPlace> found;
    int result = kExitDone;
    const int sections = Ini_NumberOfSections(doc);
    for (int s = 0; s < sections && result == kExitDone; ++s) {
        const char *name = nullptr;
        Ini_NthSectionName(doc, s, &name);
        const std::string section = Normal(name);
        const auto *known = std::find_if(std::begin(kSections), std::end(kSections),
                                         [&](const auto &k) { return section == k.section; });
        if (known == std::end(kSections)) {
            *message = path + ": [" + name + "] " + Say(kUnknownSection, language);
            result = kExitUsage;
            break;
        }
        std::vector<std::string> keysSeen;
        const int items = Ini_NumberOfItems(doc, name);
        for (int i = 0; i < items; ++i) {
            const char *tag = nullptr;
            Ini_NthItemName(doc, name, i, &tag);
            char value[4096] = "";
            Ini_GetStringIntoBuffer(doc, name, tag, value, sizeof value);
            const std::string at =
                path + ":" + std::to_string(Ini_LineOfLastAccess(doc)) + ": [" + name + "] ";
            const std::string key = Normal(tag);
            const bool isKey = std::any_of(std::begin(known->keys), std::end(known->keys),
                                           [&](const char *k) { return k && key == k; });
            const TextPair *why = nullptr;
            if (key == "PASSWORD")
                why = &kNoPassword;
            else if (!isKey)
                why = &kUnknownKey;
            else if (std::find(keysSeen.begin(), keysSeen.end(), key) != keysSeen.end())
                why = &kKeyTwice;
            if (why) {
                *message = at + SayWith(*why, language, tag);
                result = kExitUsage;
                break;
            }
            keysSeen.push_back(key);
            const std::string option = OptionOf(key);
            if (isTyped(option) || (known == std::begin(kSections) && connectionTyped)) continue;
            added.push_back(option);
            added.push_back(value);
            found.push_back({option, at + tag});
        }
    }
    Ini_Dispose(doc);
    if (result != kExitDone) return result;
    // Before a "--" that ends the options, if one was typed.
    words->insert(std::find(words->begin() + 1, words->end(), std::string("--")), added.begin(),
                  added.end());
    *places = found;
    return kExitDone;
}
