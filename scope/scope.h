// The sensor's data recorder: cycle time, triggered recording, break, the scope panel's cursor
// deltas and the printout.
#pragma once

void GetCycleTime();
void GetScopeData();
int BreakDataScan();
void calcScopDeltaXY();
void PrintScopeGraph();
void SelectPrinter(char *printerName); // buffer of 512 bytes
