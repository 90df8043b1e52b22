// The JSON writer (see json.h).
#include "cli/json.h"

#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when the byte does not begin one.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    std::size_t n = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2, min = 0x80, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3, min = 0x800, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4, min = 0x10000, cp = b & 0x07;
    } else {
        return 0;
    }
    if (i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += char(c);
                }
            }
            ++i;
            continue;
        }
        const std::size_t n = Utf8Length(text, i);
        if (n) {
            out.append(text.substr(i, n));
            i += n;
            continue;
        }
        // Latin-1: the byte's code point, in UTF-8.
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
        ++i;
    }
    return out + "\"";
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_) text_ += ',';
    first_ = false;
}

JsonWriter &JsonWriter::BeginObject() {
    BeforeValue();
    text_ += '{';
    first_ = true;
    return *this;
}

JsonWriter &JsonWriter::EndObject() {
    text_ += '}';
    first_ = false;
    return *this;
}

JsonWriter &JsonWriter::BeginArray() {
    BeforeValue();
    text_ += '[';
    first_ = true;
    return *this;
}

JsonWriter &JsonWriter::EndArray() {
    text_ += ']';
    first_ = false;
    return *this;
}

JsonWriter &JsonWriter::Key(std::string_view name) {
    if (!first_) text_ += ',';
    first_ = false;
    text_ += JsonString(name);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter &JsonWriter::String(std::string_view text) {
    BeforeValue();
    text_ += JsonString(text);
    return *this;
}

JsonWriter &JsonWriter::Int(std::int64_t value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter &JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter &JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

JsonWriter &JsonWriter::Raw(std::string_view json) {
    BeforeValue();
    text_ += json;
    return *this;
}
