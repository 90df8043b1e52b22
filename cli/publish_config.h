// The settings file of one publisher (taviron publish --config FILE), as the service of a press
// reads it from /etc/taviron/publish/<press>.conf: an INI file of this program's format whose
// keys are publish's options without their dashes, in three sections:
//
//   [SENSOR]
//   TCP = "192.168.1.20:5000"     ; or PORT = COM3, or DEVICE = /dev/ttyUSB0; BAUD = 115200
//   [BROKER]
//   MQTT = "broker.plant:8883"
//   USER = press4
//   PASSWORD-FILE = /etc/taviron/publish/press4.password
//   CAFILE = /etc/taviron/plant-ca.crt  ; CERT, KEY: a client certificate
//   [PUBLISH]
//   ID = line2-press4             ; PREFIX, POLL, RATE, LOG, CSV-STYLE, LANG
//
// The file's settings become command line words after the ones typed, so one option reads the
// same wherever it is written; an option typed on the command line wins over the file's (a
// connection typed there over the file's connection). The password itself never stands in it.
#pragma once

#include <string>
#include <vector>

// The value of --config among the words typed (the program's name first), or "".
std::string ConfigPathOf(const std::vector<std::string> &words);

// Where a setting of the file stands, for the message about its value.
struct ConfigPlace {
    std::string option; // "--mqtt"
    std::string where;  // "FILE:LINE: [SECTION] KEY"
};

// Reads the file at `path` and appends its settings to `words` as options (those typed in
// `words` already left out). 0; else 2 (missing or malformed: an unknown section or key, a key
// twice, a PASSWORD) or 7 (unreadable) with the message in the language, `words` unchanged.
int ReadPublishConfig(const std::string &path, int language, std::vector<std::string> *words,
                      std::vector<ConfigPlace> *places, std::string *message);
