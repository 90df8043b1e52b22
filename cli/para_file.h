// A parameter file named on taviron's command line (set --file, diff --file): read with the
// program's checks, but where the program would ask ("not a parameter file", "another
// version") or fill in defaults, the command line refuses, since nobody is there to answer
// and a default written to a sensor would pass for the file's value.
#pragma once

#include "base/texts.h"
#include "cli/tables.h"

#include <string>

// Reads the four values of the file at `path`. Returns 0 with the values set; 2 (kExitUsage)
// when the file is missing, is not a parameter file of this program, lacks a parameter or
// holds a value its page control cannot hold; 7 (kExitFile) when it exists but cannot be read.
// The message (one line) says which, in the language.
int ReadParaFile(const std::string &path, int language, ParaSet *values, std::string *message);

// Writes the parameter file at `path` as the program writes it, replacing the file whole
// (through a temporary file beside it). 0, or 7 (kExitFile) with the message.
int WriteParaFile(const std::string &path, const ParaSet &values, int language,
                  std::string *message);

// "`what` with the path: the reason (code)" for a file that could not be written, the reason
// in the operator's words (base/file_reason.h).
std::string FileNotSavedText(const TextPair &what, const std::string &path, int code, int language);
