// Escaping of string values for the text format and the reverse. Every byte of 128 and above
// is copied as it is, so UTF-8 text passes through unchanged (its continuation bytes never
// look like a backslash or a quote).
#include "inifile/ini_internal.h"

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
    const size_t n = stored.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = stored[i];
        if (c != '\\' || i + 1 == n) { // a lone backslash at the end stays as it is
            out += c;
            continue;
        }
        const char next = stored[++i];
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
            const int high = i + 1 < n ? hexValue(stored[i + 1]) : -1;
            const int low = i + 2 < n ? hexValue(stored[i + 2]) : -1;
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
