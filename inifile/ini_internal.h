// Inside the INI library: the document record, its sections and items, and the helpers that
// the operation families (model, put, get, read, write, file) share. Not for callers.
#pragma once

#include "inifile/inifile.h"

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ini_detail {

struct Item {
    std::string tag;     // surrounding white space removed
    std::string value;   // as stored: escaped for strings, never the enclosing quotes
    std::string comment; // comment block before the item; empty: none
    int line = 0;        // line number in the file read, 0 when put
    bool quoted = false; // written between double quotes
};

// Upper-cased name -> position of its first occurrence. Built on demand for long lists so that
// getting every key of a large file stays linear; first match still wins.
using NameIndex = std::unordered_map<std::string, uint32_t>;

struct Section {
    std::string name; // surrounding white space removed
    std::vector<Item> items;
    std::string comment; // comment block before the header; empty: none
    int line = 0;        // line number of the header, 0 when put
    NameIndex index;     // tags of items, valid only while indexValid
    bool indexValid = false;
};

// Lists shorter than this are searched from the front; longer ones get an index.
constexpr size_t kIndexThreshold = 32;

inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

inline char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string_view trim(std::string_view text);
bool namesEqual(std::string_view a, std::string_view b);  // case-insensitive
int compareNames(std::string_view a, std::string_view b); // case-insensitive, <0, 0, >0
void upperInto(std::string &out, std::string_view name);

// Escaping of string values and the six-bit data encoding (pure functions).
void escapeInto(std::string &out, std::string_view text);
void unescapeInto(std::string &out, std::string_view stored);
void encodeDataInto(std::string &out, const unsigned char *data, size_t byteCount);
size_t decodedDataSize(size_t textLength);
void decodeData(std::string_view text, unsigned char *out); // out holds decodedDataSize bytes

// Number parsing of stored values (pure functions); each returns 1 converted, 0 blank, or the
// type's error code.
int parseInt64(std::string_view text, long long min, long long max, long long *value, int error);
int parseUInt64(std::string_view text, unsigned long long max, unsigned long long *value);
int parseDouble(std::string_view text, double *value);
int parseBoolean(std::string_view text, int *value);

// Runs an operation, turning an allocation failure into INI_ERR_OUT_OF_MEMORY.
template <class F> int guarded(F &&body) {
    try {
        return body();
    } catch (const std::bad_alloc &) {
        return INI_ERR_OUT_OF_MEMORY;
    } catch (const std::length_error &) {
        return INI_ERR_OUT_OF_MEMORY;
    }
}

} // namespace ini_detail

struct IniTextRec {
    std::vector<ini_detail::Section> sections; // in the order of creation (or name order)
    bool sorted = false;
    char sectionStart = '[';
    char sectionEnd = ']';
    std::string valueSeparator = "=";
    std::string writtenSeparator = " = ";
    std::string commentMarker = ";";
    bool duplicateChecking = true;
    bool addQuotes = true;
    int maxValueLineLength = 80;
    std::string headerComment;   // empty: none
    std::string trailingComment; // empty: none
    int lineOfLastAccess = -1;
    Ini_SectionFilterFunc filter = nullptr;
    void *filterUserValue = nullptr;
    long lastSection = -1;    // position of the section found last, tried first
    std::string resultBuffer; // text handed out by Ini_GetPointerToString
    ini_detail::NameIndex sectionIndex;
    bool sectionIndexValid = false;
    std::string scratch; // upper-cased name being looked up
};

namespace ini_detail {

// Finds the first section or item of that name (nullptr when none). Both remember what they
// need to stay fast; neither changes the document's content.
Section *findSection(IniTextRec *doc, std::string_view name);
long findItemPosition(IniTextRec *doc, Section &section, std::string_view tag);

// The item a get reads (nullptr when missing); records the line of last access.
const Item *lookupItem(IniTextRec *doc, const char *section, const char *tag);

// Appends a section read from a file or created by a put; keeps the name index in step.
Section &appendSection(IniTextRec *doc, std::string name);

// Forgets the indexes and the remembered section after the document's order changed.
void invalidateLookups(IniTextRec *doc);

// Stable name order of sections and of the items in each (sorted documents).
void sortDocument(IniTextRec *doc);

// Joins numbered multi-line items ("TAG Line0001", "TAG Line0002", ...) in the sections from
// firstSection on.
void joinMultiLineItems(IniTextRec *doc, size_t firstSection);

} // namespace ini_detail
