// The program's command-line options.
#pragma once

// Shows the scope page from start-up (it is hidden otherwise).
constexpr const char *kOptionScope = "--scope";

// 1 when `option` is one of the arguments after the program's name, else 0. Only whole
// arguments count ("--scopes" is not "--scope"); arguments after "--" are not options.
int HasOption(int argc, const char *const *argv, const char *option);

// Takes the start-up options of the command line into the application state (before WinMain).
void ApplyStartOptions(int argc, const char *const *argv);
