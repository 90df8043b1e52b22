// Helpers for the INI library's tests: documents read from and written to strings, files in a
// fresh temporary directory, golden files.
#pragma once

#include "inifile/inifile.h"

#include <string>

// Owns a document for the length of a test.
struct Doc {
    IniText doc;
    explicit Doc(int sorted = 0) : doc(Ini_New(sorted)) {}
    ~Doc() { Ini_Dispose(doc); }
    Doc(const Doc &) = delete;
    Doc &operator=(const Doc &) = delete;
    operator IniText() const { return doc; }
};

// Reads text through the line reader on memory; returns Ini_ReadGeneric's result.
int readText(IniText doc, const std::string &text);

// Writes the document as the file would hold it (every line followed by CR LF).
std::string writeText(IniText doc);

// The unescaped string of an item, or "<missing>" / "<error N>".
std::string getString(IniText doc, const char *section, const char *tag);

// Whole-file helpers.
std::string readFileBytes(const std::string &path);
void writeFileBytes(const std::string &path, const std::string &bytes);
bool fileExists(const std::string &path);
std::string goldenPath(const std::string &name);

// Text with LF turned into CR LF, for writing expected file contents readably.
std::string crlf(const std::string &text);

// A fresh directory under the system's temporary directory, removed with its content.
struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    std::string file(const std::string &name) const { return path + "/" + name; }
    int fileCount() const;
};
