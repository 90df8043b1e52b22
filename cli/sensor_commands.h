// The commands of taviron that work on one identified sensor: info, get, set, diff, save and
// hwinfo, each with the window program's frames (and the read-backs that make a result sure),
// each filling a report: what was found, the exit code and, on failure, the message.
#pragma once

#include "cli/command_line.h"
#include "cli/report.h"

#include <string>

// What a command needs besides the command line, read before the sensor is asked.
struct CommandInput {
    bool hasFile = false; // set --file, diff --file: the file's values
    ParaSet fileValues{};
    std::string output;   // save, hwinfo: the file to write
    std::string password; // publish: the broker's password, read from its file
};

// Runs the command on the sensor the session has identified. Returns the exit code (also in
// report->code): 0 done, 1 diff found differences, 4 the link failed, 5 the sensor found values
// implausible, 6 set read back something else, 7 a file could not be written.
int RunSensorCommand(const Invocation &invocation, const CommandInput &input,
                     CommandReport *report);

// The sensor's working set and its EEPROM set, RAM kept as it was: the EEPROM set is read by
// loading it into RAM, and RAM is written back when it was different. `eepromRefusal` gets the
// plausibility number of order 4 (0: the stored set passed). 0, or the exit code after a
// failure (report->error says it).
int ReadBothSets(ParaSet *ram, ParaSet *eeprom, int *eepromRefusal, CommandReport *report);
