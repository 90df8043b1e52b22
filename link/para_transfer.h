// The sensor orders of the parameter set and the hardware information, as plain exchanges with
// no panels: what SEND, GET and the hardware information file send, for every program that
// talks to the sensor. Each returns 1 on success and -1 after a link failure (reported through
// LinkFailure, link/link_fault.h); what the sensor's plausibility check says is a result, not a
// failure, and the caller decides how to report it.
#pragma once

#include "base/state.h"

constexpr int kParaBlockSize = 8; // the four values as u16, little-endian, index 0 first

// Order 1: the four values into the sensor's working (RAM) set. 1 when the sensor took them;
// 0 when its plausibility check refused them (it then holds its default set), *refusal the
// number it answered; -1 after a link failure.
int WriteWorkingSet(const u16 values[4], int *refusal);
// Order 3: the working set stored in the EEPROM. 1 or -1 (the reply carries nothing more).
int StoreWorkingSet();
// Order 4: the EEPROM set loaded into the working set. 1; 0 when the EEPROM set failed the
// plausibility check (the sensor then took its default set), *refusal its number; -1.
int LoadEepromSet(int *refusal);
// Order 2: the working set into `values` (a shorter reply reads 0 where data are missing). 1,
// or -1 with `values` as they were.
int ReadWorkingSet(u16 values[4]);
// Order 194: the hardware block, copied over TxFrame from its first byte (as the program keeps
// the block) with its length in *received (at most 1016 bytes). 1 or -1.
int ReadHardwareBlock(int *received);
