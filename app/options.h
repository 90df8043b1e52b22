// The program's command-line options: a table of the options the program reads itself (every
// other argument is left to the user-interface runtime, e.g. its -platform).
#pragma once

#include <string>

// Shows the scope page from start-up (it is hidden otherwise).
constexpr const char *kOptionScope = "--scope";

// What the command line asks for. Pure data: one field per option of the table in options.cpp.
struct CommandLine {
    bool help = false;    // --help: print the usage text and end, without a window
    bool version = false; // --version: print the version and end, without a window
    bool scope = false;   // --scope
};

// Reads the arguments after the program's name. Only whole arguments count ("--scopes" is not
// "--scope"); arguments after "--" are not options. Pure: no output, no state.
CommandLine ParseCommandLine(int argc, const char *const *argv);

// What --help and --version print (each ends with a newline).
std::string CommandLineHelp();
std::string VersionText();

// 1 when `option` is one of the arguments after the program's name, else 0 (same rules).
int HasOption(int argc, const char *const *argv, const char *option);

// Takes the start-up options of the command line into the application state (before WinMain).
void ApplyStartOptions(int argc, const char *const *argv);
