// The program run in-process for the live benchmarks, started as WinMain starts it in a private
// folder, with popups answered, plus the process measures the benchmarks report.
#pragma once

#include <string>

// Loads the panels and runs the start-up sequence with COM1 mapped to `comDevice` (a device
// that does not exist leaves the program offline). Returns false when the program cannot start.
bool StartProgram(const std::string &comDevice);
// Connects over TCP to 127.0.0.1:port as the operator does on the connection page.
bool ConnectProgramTcp(int port);
// Presses GO and returns when the cycle has ended (something else must end it).
void RunGoUntilStopped();
// The program's own order 8 exchanges back to back for `seconds`, without the display update
// (to tell the exchange's cost from the display's). Returns the number of polls.
long RunExchangesOnly(double seconds);
// The display update alone: SetPanelData with changing values, each followed by one pass of
// event processing (so painting runs at the refresh rate), for `seconds`. Returns the passes
// made and the seconds spent inside SetPanelData.
long RunDisplayOnly(double seconds, double *insideSeconds);
// One refresh of the data panel after each SetPanelData, every value changed as a stroke
// changes them, `count` times. Returns the calling thread's CPU seconds a refresh.
double RefreshCpuSeconds(long count);
bool ProgramLinkOk();
void StopProgram();

// Seconds of CPU used by the whole process, and by the calling thread.
double ProcessCpuSeconds();
double ThreadCpuSeconds();
// Times the calling thread gave up the core to wait (voluntary context switches): each is one
// wake-up when the wait ends.
long ThreadWaits();
// Resident memory of the process in KiB.
long ResidentKiB();
