// An input file named on taviron's command line (a sensor list, a parameter file): there, a
// file, and readable. A missing file or a folder is a usage error (exit code 2), one that
// cannot be read a file error (7).
#pragma once

#include "inifile/inifile.h"

#include <string>

// Checks that the file at `path` is there, a file, and readable: 0, else 2 or 7 with the
// message (one line) in the language.
int CheckInputFile(const std::string &path, int language, std::string *message);

// Reads the INI file at `path` into a new document (*document, the caller's to dispose of).
// 0 when it was read; else 2 or 7 with the message (one line) in the language, and no document.
int ReadInputFile(const std::string &path, int language, IniText *document, std::string *message);
