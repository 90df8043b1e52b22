// The list of sensors for --sensors: an INI file of this program's format, one section per
// sensor, the section's name naming the sensor (and its file for `save -o FOLDER`):
//
//   [Press 4 left]
//   TCP = "192.168.1.20:5000"
//
//   [Press 5]
//   PORT = COM3          ; or DEVICE = /dev/ttyUSB0
//   BAUD = 115200        ; serial only; default: --baud, else 115200
//
// Everything wrong in it is found before any sensor is asked, with the file, line and section.
#pragma once

#include "cli/connection.h"

#include <string>
#include <vector>

struct SensorEntry {
    std::string name; // the section's name
    Connection connection;
};

// Reads the list at `path`. `defaultBaud` is the rate of a serial sensor without BAUD;
// `namesAreFileNames` (save -o FOLDER) also asks that every name can be a file name. Returns 0
// with the sensors in file order; 2 (kExitUsage) when the file is missing or malformed, 7
// (kExitFile) when it exists but cannot be read, each with a message in the language (one
// line, no line end).
int ReadSensorList(const std::string &path, long defaultBaud, bool namesAreFileNames, int language,
                   std::vector<SensorEntry> *sensors, std::string *message);

// 1 when a sensor name can be a file name in any folder: not empty, not "." or "..", no '/',
// '\\' or control character.
int UsableAsFileName(const std::string &name);
