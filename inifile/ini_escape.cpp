// Escaping of string values for the text format and the reverse. Every byte of 128 and above
// is copied as it is, so UTF-8 text passes through unchanged (its continuation bytes never
// look like a backslash or a quote).
#include "inifile/ini_internal.h"

#include <cstring>

namespace ini_detail {

void escapeInto(std::string &out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out.clear();
    out.reserve(text.size() + text.size() / 8);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (c < 32 || c == 127) {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += ch;
            }
        }
    }
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

void unescapeInto(std::string &out, std::string_view stored) {
    out.clear();
    out.reserve(stored.size());
    const char *text = stored.data();
    const size_t n = stored.size();
    size_t i = 0;
    while (i < n) {
        // Copy the run up to the next backslash in one go.
        const auto *slash = static_cast<const char *>(memchr(text + i, '\\', n - i));
        const size_t run = slash ? static_cast<size_t>(slash - (text + i)) : n - i;
        out.append(text + i, run);
        i += run;
        if (!slash) break;
        if (i + 1 == n) { // a lone backslash at the end stays as it is
            out += '\\';
            break;
        }
        const char next = text[i + 1];
        i += 2;
        switch (next) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            // Two hexadecimal digits give that byte; without them the "x" stands for itself.
            const int high = i < n ? hexValue(text[i]) : -1;
            const int low = i + 1 < n ? hexValue(text[i + 1]) : -1;
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
            } else {
                out += 'x';
            }
            break;
        }
        default:
            out += next; // backslash-quote, two backslashes and any other character
        }
    }
}

} // namespace ini_detail
