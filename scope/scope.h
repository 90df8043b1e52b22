// The sensor's data recorder: cycle time, triggered recording, break, the scope panel's cursor
// deltas, the printout and the export.
#pragma once

#include <string>

void GetCycleTime();
void GetScopeData();
int BreakDataScan();
void calcScopDeltaXY();
void PrintScopeGraph();
void SelectPrinter(char *printerName); // buffer of 512 bytes

// EXPORT: asks for a CSV file name and saves the record on the graphs there, with a PNG of the
// scope panel beside it; says in a popup what was saved, or that nothing could be.
void ExportScope();
// The saving itself, with the date the file names: 0, -1 when the CSV file could not be
// written, -2 when the picture could not. Files are replaced whole or left as they were.
int ExportScopeRecord(const char *csvPath, const char *date);
// Where the picture goes: the CSV file's name with ".png" in place of ".csv".
std::string ScopePicturePath(const char *csvPath);
