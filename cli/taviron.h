// The taviron program: the command line read, the input files checked, then the command run on
// one sensor or on every sensor of a list, results on standard output (text or JSON), messages
// on standard error in the chosen language, and the exit code.
#pragma once

int TavironMain(int argc, char **argv);
