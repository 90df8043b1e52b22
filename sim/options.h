// Command line of taviron-sim and the commands it reads on standard input.
#pragma once

#include "sim/sim.h"

#include <string>
#include <vector>

namespace tavsim {

struct ProgramOptions {
    SimConfig sim;
    int mapCom = 0;            // >0: write COM<mapCom> into the mapping file
    std::string mapFile = "."; // the mapping file or its directory
    std::string logFile;       // empty: standard error
    bool quiet = false;        // no log lines
    bool help = false;
    bool version = false;
};

// Parses argv; false with *error set on a bad option.
bool parseOptions(const std::vector<std::string> &args, ProgramOptions *options,
                  std::string *error);
// "KIND[:COUNT[:ORDER]]" or "KIND [COUNT [ORDER]]" split into words.
bool parseFault(const std::vector<std::string> &words, FaultSetting *setting, std::string *error);

const char *usageText();
// "taviron-sim <version>", the version of the program it simulates the sensor for.
std::string versionText();

// Runs one stdin command against the sensor. Returns the reply text for the operator;
// *quit is set by "quit".
std::string runCommand(SimSensor &sim, const std::string &line, bool *quit);

} // namespace tavsim
