// The content of the parameter file: its identification section and the four parameters, in
// file order, and the checks and values of a file read back. Pure: no panels, no dialogs.
#pragma once

#include "inifile/inifile.h"
#include "taviron_version.h"

#include <cstdint>

// What the identification section of a parameter file holds.
inline constexpr const char *kParaFileType = "Parameter File";      // "FILE TYPE:"
inline constexpr const char *kParaFileScopeVersion = kProgramTitle; // "SCOPE VERSION:"

// Puts the items of a parameter file into a fresh unsorted document, in file order.
void PutParaFileItems(IniText document, const std::uint16_t *paraValues);

// 1 when the document's "FILE TYPE:" (or "SCOPE VERSION:") is exactly what this program
// writes; a missing item counts as empty.
int ParaFileTypeMatches(IniText document);
int ParaFileVersionMatches(IniText document);

// The four values of the "PARAMETER" section: a key that cannot be read as an integer takes its
// default and sets bit (1 << index) of the result; a value read keeps its low 16 bits. `raw`
// (may be null) gets the integers as read, so that a caller can refuse one beyond 16 bits.
unsigned GetParaFileValues(IniText document, std::uint16_t *paraValues, int *raw = nullptr);
