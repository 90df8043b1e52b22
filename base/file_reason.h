// Why a file could not be written, said in the operator's words and language: the disk is full,
// no permission to write in its folder, the folder does not exist, no permission to create it,
// the disk is write-protected, a folder is in the file's place. Error codes stay out of these
// texts; they go to standard error.
#pragma once

#include "base/texts.h"

// The reason behind the file code of a failed write: the INI library's codes, which the
// toolbox's whole-file writes share (INI_ERR_DISK_FULL, INI_ERR_ACCESS_DENIED,
// INI_ERR_CREATE_TEMP, ...; 0 when unknown). A code that only says the file could not be made
// is explained by looking at the file's folder as this user finds it. `programMakesFolder`:
// the folder is one the program makes itself when it is missing (the settings folder), so a
// missing one that could not be made is said as such.
const TextPair &FileWriteReason(int code, const char *path, bool programMakesFolder = false);

// One line on standard error for whoever reads the program's log: "<what>: <path>: <reason>
// (<code>)", the reason in the current language.
void LogFileWriteFailure(const char *what, const char *path, int code,
                         bool programMakesFolder = false);
