// Why a file could not be written, in the operator's words: the reason behind the INI library's
// error code of a write (Ini_WriteToFile), with a look at the file's folder where the code alone
// says little (a temporary file that cannot be created: the folder is missing, or not writable
// for this user).
#pragma once

#include "base/texts.h"

const TextPair &FileWriteReason(int code, const char *path);
