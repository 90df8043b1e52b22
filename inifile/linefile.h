// The line reader under the INI library: splits a byte stream (a file opened for binary
// reading, or a block of memory) into numbered lines, accepting CR, LF, CR LF and LF CR
// endings and cutting over-long lines.
#pragma once

#include <cstddef>
#include <cstdio>

typedef struct LineFileRec *LineFile;

// A reader on a file opened "rb". The file stays the caller's: LineFile_Dispose does not
// close it. Returns none when memory runs out or file is none.
LineFile LineFile_New(FILE *file);

// A reader on a block of memory, which must outlive the reader. Used by tests, fuzzing and
// benchmarks to feed the same line splitting from a buffer.
LineFile LineFile_NewFromMemory(const void *data, size_t size);

void LineFile_Dispose(LineFile lineFile);

// Reads the next line into buffer (room for maxChars characters and a terminating zero). A
// longer line keeps its first maxChars characters; the rest up to its terminator is dropped.
// Sets *lineNumber (counted from 1) and *endOfFile (1 when no line was left; the buffer then
// holds ""). Returns the line's length, or INI_ERR_READ / INI_ERR_NULL_ARGUMENT.
int LineFile_Read(LineFile lineFile, char *buffer, int maxChars, int *lineNumber, int *endOfFile);
