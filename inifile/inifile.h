// TAVIRON Scope's own INI library: the in-memory INI document, its put and get operations and
// the exact text format of every file the program reads or writes (settings, parameters,
// hardware information, language files).
//
// A caller creates a document with Ini_New, fills it with puts or by reading a file, queries
// it with gets, writes it as a whole and disposes of it. All operations return an int: 0 (or
// 1 for "found") on success, a negative error code from the list below on failure. No
// operation shows a message or throws.
#pragma once

#include <cstddef>

// The document handle. Opaque; owned by the caller from Ini_New until Ini_Dispose.
typedef struct IniTextRec *IniText;

// Error codes.
constexpr int INI_ERR_OUT_OF_MEMORY = -12;
constexpr int INI_ERR_MAX_LINE_LENGTH = -14;   // maximum value line length above 1024
constexpr int INI_ERR_NULL_ARGUMENT = -65;     // document, output argument or callback missing
constexpr int INI_ERR_WRITE = -93;             // other write error
constexpr int INI_ERR_ACCESS_DENIED = -95;     // the target cannot be written
constexpr int INI_ERR_DISK_FULL = -97;         // no space left on the device
constexpr int INI_ERR_OPEN_FOR_READ = -5001;   // the file cannot be opened for reading
constexpr int INI_ERR_READ = -5002;            // read error
constexpr int INI_ERR_NO_TEMP_NAME = -5003;    // no free temporary file name among the 1000 tried
constexpr int INI_ERR_CREATE_TEMP = -5004;     // the temporary file cannot be created
constexpr int INI_ERR_INVALID_INT = -5021;     // not a valid signed integer or out of range
constexpr int INI_ERR_INVALID_UINT = -5022;    // not a valid unsigned integer or out of range
constexpr int INI_ERR_INVALID_DOUBLE = -5023;  // not a valid floating-point number
constexpr int INI_ERR_INVALID_BOOLEAN = -5024; // not "True" or "False"

// Limits of the text format.
constexpr int INI_MAX_NAME_LENGTH = 255;  // section names and tags in a file
constexpr int INI_MAX_LINE_LENGTH = 1024; // one line of a file, tag and separator included
constexpr int INI_MAX_TOKEN_LENGTH = 7;   // value separator and comment marker

// Line sink of Ini_WriteGeneric: called once per line with the line's text (no terminator).
// Returns 0 or a negative error code, which stops the writing.
typedef int (*Ini_LineSinkFunc)(void *context, const char *line);

// Line source of Ini_ReadGeneric: fills lineBuffer (bufferSize bytes, room for
// INI_MAX_LINE_LENGTH characters and the terminating zero) with the next line, sets
// *lineNumber to its number and *endOfFile to 1 (and delivers no line) when there are no more
// lines. Returns a value >= 0, or a negative error code, which stops the reading.
typedef int (*Ini_LineSourceFunc)(void *context, char *lineBuffer, int bufferSize, int *lineNumber,
                                  int *endOfFile);

// Section filter consulted while reading: returns nonzero to keep the section, 0 to skip it.
typedef int (*Ini_SectionFilterFunc)(IniText document, void *userValue, const char *sectionName);

// Document, tokens and flags.
IniText Ini_New(int sorted);
void Ini_Dispose(IniText document);
int Ini_SetTokens(IniText document, char sectionStart, char sectionEnd, const char *valueSeparator,
                  const char *commentMarker);
int Ini_SetDuplicateChecking(IniText document, int on);
int Ini_SetAddQuotesToStrings(IniText document, int on);
int Ini_SetMaxValueLineLength(IniText document, int maxLength);
int Ini_SetSectionFilter(IniText document, Ini_SectionFilterFunc filter, void *userValue);
int Ini_LineOfLastAccess(IniText document); // line of the item found by the last get, or -1

// Puts. A put replaces every item of the same tag in the section while duplicate checking is
// on; a missing section is created.
int Ini_PutString(IniText document, const char *section, const char *tag, const char *text);
int Ini_PutRawString(IniText document, const char *section, const char *tag, const char *text);
int Ini_PutInt(IniText document, const char *section, const char *tag, int value);
int Ini_PutUInt(IniText document, const char *section, const char *tag, unsigned int value);
int Ini_PutDouble(IniText document, const char *section, const char *tag, double value);
int Ini_PutBoolean(IniText document, const char *section, const char *tag, int value);
int Ini_PutData(IniText document, const char *section, const char *tag, const unsigned char *data,
                long byteCount);

// Gets: 1 found, 0 not found, or a negative error code. The string gets unescape the stored
// value, the raw gets return it as stored. Ini_GetPointerToString's text lives in the
// document's result buffer until the next string get on the document; the copies of
// Ini_GetStringCopy and the bytes of Ini_GetData are the caller's, released with free(). The
// number gets write their out value only when they return 1.
int Ini_GetStringIntoBuffer(IniText document, const char *section, const char *tag, char *buffer,
                            int bufferSize);
int Ini_GetPointerToString(IniText document, const char *section, const char *tag,
                           const char **text);
int Ini_GetStringCopy(IniText document, const char *section, const char *tag, char **copy);
int Ini_GetRawStringIntoBuffer(IniText document, const char *section, const char *tag, char *buffer,
                               int bufferSize);
int Ini_GetPointerToRawString(IniText document, const char *section, const char *tag,
                              const char **text);
int Ini_GetRawStringCopy(IniText document, const char *section, const char *tag, char **copy);
int Ini_GetInt(IniText document, const char *section, const char *tag, int *value);
int Ini_GetUInt(IniText document, const char *section, const char *tag, unsigned int *value);
int Ini_GetInt64(IniText document, const char *section, const char *tag, long long *value);
int Ini_GetUInt64(IniText document, const char *section, const char *tag,
                  unsigned long long *value);
int Ini_GetDouble(IniText document, const char *section, const char *tag, double *value);
int Ini_GetBoolean(IniText document, const char *section, const char *tag, int *value);
int Ini_GetData(IniText document, const char *section, const char *tag, unsigned char **data,
                long *byteCount);
int Ini_SectionExists(IniText document, const char *section);
int Ini_ItemExists(IniText document, const char *section, const char *tag);

// Enumeration, for files whose sections or tags the reader does not know in advance (a list of
// sensors, one section each). Sections count in document order from 0, duplicates included;
// items are those of the first section of that name, in their order. A name handed out stays
// valid until the document changes. Ini_NthSectionName and Ini_NthItemName return 1 found, 0
// when the index is outside the list (or the section is missing), or a negative error code.
int Ini_NumberOfSections(IniText document);
int Ini_NthSectionName(IniText document, int index, const char **name);
int Ini_NumberOfItems(IniText document, const char *section);
int Ini_NthItemName(IniText document, const char *section, int index, const char **tag);

// Text format.
// Ini_WriteGeneric hands the document's lines to `sink` in order; Ini_ReadGeneric adds the
// sections and items of the lines `source` delivers to the document. Both stop at the first
// negative result of the callback and return it.
int Ini_WriteGeneric(IniText document, Ini_LineSinkFunc sink, void *sinkContext);
int Ini_ReadGeneric(IniText document, Ini_LineSourceFunc source, void *sourceContext);
// Adds the sections and items of the file at `path` to the document; INI_ERR_OPEN_FOR_READ
// when the file cannot be opened (the document is then unchanged).
int Ini_ReadFromFile(IniText document, const char *path);
// Writes the whole document to `path` safely: the text goes to a temporary file in the same
// directory, is flushed to the disk and is then renamed over the target in one step. On
// success the file holds the new text; on any failure (a negative result) the target is left
// exactly as it was and the temporary file is removed. A null path writes to standard output.
int Ini_WriteToFile(IniText document, const char *path);
