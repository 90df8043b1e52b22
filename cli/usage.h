// What taviron --help and --version print.
#pragma once

#include <string>

// The whole help: synopsis, connection, commands and their options, output, exit codes. In a
// language (0 German, 1 English); ends with a newline.
std::string HelpText(int language);
// "taviron (TAVIRON Scope) 1.0.0" and a newline.
std::string VersionText();
