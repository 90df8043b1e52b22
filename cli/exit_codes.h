// The exit codes of taviron, as --help and the manual page list them.
#pragma once

#include "base/texts.h"

enum ExitCode {
    kExitDone = 0,            // everything done
    kExitDifferences = 1,     // diff: the sets differ
    kExitUsage = 2,           // bad command line, missing or malformed input file
    kExitNoConnection = 3,    // the sensor could not be reached, or is not one of ours
    kExitLinkFailure = 4,     // the link failed during the operation
    kExitRejected = 5,        // the sensor found the values implausible
    kExitReadBackDiffers = 6, // what was read back differs from what was written
    kExitFile = 7,            // a file could not be read or written
};

// The result of several sensors: the highest code, so that any failure outranks "done" and
// "differences".
inline int WorstCode(int a, int b) {
    return a > b ? a : b;
}

// What a code means, in a few words (summary table, --help).
const TextPair &ExitCodeText(int code);
