// The get operations: strings (unescaped or raw), numbers, booleans, data and the existence
// tests. Every get finds the first item of its tag in the first section of its name.
#include "inifile/ini_internal.h"

#include <climits>
#include <cstdlib>
#include <cstring>

using namespace ini_detail;

namespace {

// Makes room in the document's result buffer, whose size stays a multiple of 1024 bytes.
std::string &resultBuffer(IniText doc, size_t length) {
    std::string &buffer = doc->resultBuffer;
    if (buffer.capacity() < length + 1) buffer.reserve((length + 1 + 1023) / 1024 * 1024);
    return buffer;
}

// Finds the item and hands over its text, unescaped or as stored.
int getText(IniText doc, const char *section, const char *tag, bool unescape, const char **text,
            size_t *length) {
    if (!doc || !section || !tag) return INI_ERR_NULL_ARGUMENT;
    return guarded([&] {
        const Item *item = lookupItem(doc, section, tag);
        if (!item) return 0;
        std::string &buffer = resultBuffer(doc, item->value.size());
        if (unescape)
            unescapeInto(buffer, item->value); // never longer than the stored text
        else
            buffer.assign(item->value);
        *text = buffer.c_str();
        *length = buffer.size();
        return 1;
    });
}

int intoBuffer(IniText doc, const char *section, const char *tag, bool unescape, char *buffer,
               int bufferSize) {
    if (!buffer) return INI_ERR_NULL_ARGUMENT;
    if (bufferSize > 0) buffer[0] = '\0';
    const char *text = nullptr;
    size_t length = 0;
    const int found = getText(doc, section, tag, unescape, &text, &length);
    if (found == 1 && bufferSize > 0) {
        const size_t n = length < static_cast<size_t>(bufferSize - 1) ? length : bufferSize - 1;
        memcpy(buffer, text, n);
        buffer[n] = '\0';
    }
    return found;
}

int copyOf(IniText doc, const char *section, const char *tag, bool unescape, char **copy) {
    if (!copy) return INI_ERR_NULL_ARGUMENT;
    *copy = nullptr;
    const char *text = nullptr;
    size_t length = 0;
    const int found = getText(doc, section, tag, unescape, &text, &length);
    if (found != 1) return found;
    char *owned = static_cast<char *>(malloc(length + 1));
    if (!owned) return INI_ERR_OUT_OF_MEMORY;
    memcpy(owned, text, length + 1);
    *copy = owned;
    return 1;
}

// Finds the stored value text for the number gets.
int storedValue(IniText doc, const char *section, const char *tag, const void *out,
                std::string_view *value) {
    if (!doc || !section || !tag || !out) return INI_ERR_NULL_ARGUMENT;
    return guarded([&] {
        const Item *item = lookupItem(doc, section, tag);
        if (!item) return 0;
        *value = item->value;
        return 1;
    });
}

int getSigned(IniText doc, const char *section, const char *tag, long long min, long long max,
              int error, long long *value, const void *out) {
    std::string_view text;
    const int found = storedValue(doc, section, tag, out, &text);
    if (found != 1) return found;
    return parseInt64(text, min, max, value, error);
}

int getUnsigned(IniText doc, const char *section, const char *tag, unsigned long long max,
                unsigned long long *value, const void *out) {
    std::string_view text;
    const int found = storedValue(doc, section, tag, out, &text);
    if (found != 1) return found;
    return parseUInt64(text, max, value);
}

} // namespace

int Ini_GetStringIntoBuffer(IniText document, const char *section, const char *tag, char *buffer,
                            int bufferSize) {
    return intoBuffer(document, section, tag, true, buffer, bufferSize);
}

int Ini_GetPointerToString(IniText document, const char *section, const char *tag,
                           const char **text) {
    if (!text) return INI_ERR_NULL_ARGUMENT;
    size_t length = 0;
    return getText(document, section, tag, true, text, &length);
}

int Ini_GetStringCopy(IniText document, const char *section, const char *tag, char **copy) {
    return copyOf(document, section, tag, true, copy);
}

int Ini_GetRawStringIntoBuffer(IniText document, const char *section, const char *tag, char *buffer,
                               int bufferSize) {
    return intoBuffer(document, section, tag, false, buffer, bufferSize);
}

int Ini_GetPointerToRawString(IniText document, const char *section, const char *tag,
                              const char **text) {
    if (!text) return INI_ERR_NULL_ARGUMENT;
    size_t length = 0;
    return getText(document, section, tag, false, text, &length);
}

int Ini_GetRawStringCopy(IniText document, const char *section, const char *tag, char **copy) {
    return copyOf(document, section, tag, false, copy);
}

int Ini_GetInt(IniText document, const char *section, const char *tag, int *value) {
    long long result = 0;
    const int found =
        getSigned(document, section, tag, INT_MIN, INT_MAX, INI_ERR_INVALID_INT, &result, value);
    if (found == 1) *value = static_cast<int>(result);
    return found;
}

int Ini_GetInt64(IniText document, const char *section, const char *tag, long long *value) {
    long long result = 0;
    const int found = getSigned(document, section, tag, LLONG_MIN, LLONG_MAX, INI_ERR_INVALID_INT,
                                &result, value);
    if (found == 1) *value = result;
    return found;
}

int Ini_GetUInt(IniText document, const char *section, const char *tag, unsigned int *value) {
    unsigned long long result = 0;
    const int found = getUnsigned(document, section, tag, UINT_MAX, &result, value);
    if (found == 1) *value = static_cast<unsigned int>(result);
    return found;
}

int Ini_GetUInt64(IniText document, const char *section, const char *tag,
                  unsigned long long *value) {
    unsigned long long result = 0;
    const int found = getUnsigned(document, section, tag, ULLONG_MAX, &result, value);
    if (found == 1) *value = result;
    return found;
}

int Ini_GetDouble(IniText document, const char *section, const char *tag, double *value) {
    std::string_view text;
    const int found = storedValue(document, section, tag, value, &text);
    if (found != 1) return found;
    return parseDouble(text, value);
}

int Ini_GetBoolean(IniText document, const char *section, const char *tag, int *value) {
    std::string_view text;
    const int found = storedValue(document, section, tag, value, &text);
    if (found != 1) return found;
    return parseBoolean(text, value);
}

int Ini_GetData(IniText document, const char *section, const char *tag, unsigned char **data,
                long *byteCount) {
    if (!data || !byteCount) return INI_ERR_NULL_ARGUMENT;
    *data = nullptr;
    *byteCount = 0;
    std::string_view text;
    const int found = storedValue(document, section, tag, data, &text);
    if (found != 1) return found;
    const size_t size = decodedDataSize(text.size());
    auto *bytes = static_cast<unsigned char *>(malloc(size ? size : 1));
    if (!bytes) return INI_ERR_OUT_OF_MEMORY;
    decodeData(text, bytes);
    *data = bytes;
    *byteCount = static_cast<long>(size);
    return 1;
}

int Ini_SectionExists(IniText document, const char *section) {
    if (!document || !section) return 0;
    return guarded([&] { return findSection(document, section) ? 1 : 0; }) == 1;
}

int Ini_ItemExists(IniText document, const char *section, const char *tag) {
    if (!document || !section || !tag) return 0;
    return guarded([&] {
               Section *found = findSection(document, section);
               return found && findItemPosition(document, *found, tag) >= 0 ? 1 : 0;
           }) == 1;
}
