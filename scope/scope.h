// The sensor's data recorder: cycle time, triggered recording, break, the scope panel's cursor
// deltas, the printout and the export.
#pragma once

#include <string>

// Asks the sensor for its scan cycle counts and shows scan frequency and cycle time on the
// scope page (0 when the sensor gives none); a link failure leaves both at 0.
void GetCycleTime();
// SCAN: starts a recording with the scope page's settings, waits (events running) until the
// trigger fires, BREAK ends the wait or the link fails, then checks the record and plots it.
// A record that fails its checks is reported like a link failure and keeps the last traces.
void GetScopeData();
// BREAK: tells the sensor to drop the waiting recording and ends the wait; 1 or -1 as an
// exchange returns.
int BreakDataScan();
// The cursor deltas of the scope panel's graphs, shown in their displays.
void calcScopDeltaXY();
// The printout of the scope panel on the chosen printer.
void PrintScopeGraph();
void SelectPrinter(char *printerName); // buffer of 512 bytes

// EXPORT: asks for a CSV file name and saves the record on the graphs there, with a PNG of the
// scope panel beside it; says in a popup what was saved, or that nothing could be.
void ExportScope();
// The saving itself, with the date the file names and the deltas measured now: 0, -1 when the CSV
// file could not be written, -2 when the picture could not. Files are replaced whole or left as
// they were.
// `writeCode` gets the failed write's file code (see WriteFileSafely), 0 after a success.
int ExportScopeRecord(const char *csvPath, const char *date, int *writeCode = nullptr);
// Where the picture goes: the CSV file's name with ".png" in place of ".csv".
std::string ScopePicturePath(const char *csvPath);
