// Conversion of stored value text to integers, floating-point numbers and booleans for the
// number gets. Independent of the process locale: a decimal point is always ".".
#include "inifile/ini_internal.h"

#include <charconv>
#include <limits>

namespace ini_detail {

namespace {

// Optional white space, at most one sign, at least one digit, optional white space. Returns 1
// with the sign and magnitude, 0 for a blank text, -1 for anything else (or a magnitude beyond
// 64 bits).
int parseMagnitude(std::string_view text, bool *negative, unsigned long long *magnitude) {
    text = trim(text);
    if (text.empty()) return 0;
    size_t i = 0;
    *negative = false;
    if (text[0] == '+' || text[0] == '-') {
        *negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) return -1;
    unsigned long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return -1;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (std::numeric_limits<unsigned long long>::max() - digit) / 10) return -1;
        value = value * 10 + digit;
    }
    *magnitude = value;
    return 1;
}

// Decimal floating-point syntax: sign, digits with an optional point (at least one digit),
// optional exponent. No hexadecimal form, no "nan", no "infinity".
bool isDecimalNumber(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9')
        ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        size_t exponentDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == n;
}

} // namespace

int parseInt64(std::string_view text, long long min, long long max, long long *value, int error) {
    bool negative = false;
    unsigned long long magnitude = 0;
    const int parsed = parseMagnitude(text, &negative, &magnitude);
    if (parsed <= 0) return parsed == 0 ? 0 : error;
    if (negative) {
        // -min as unsigned without overflowing for the most negative value.
        const unsigned long long limit = static_cast<unsigned long long>(-(min + 1)) + 1;
        if (magnitude > limit) return error;
        *value = magnitude == limit ? min : -static_cast<long long>(magnitude);
    } else {
        if (magnitude > static_cast<unsigned long long>(max)) return error;
        *value = static_cast<long long>(magnitude);
    }
    return 1;
}

int parseUInt64(std::string_view text, unsigned long long max, unsigned long long *value) {
    bool negative = false;
    unsigned long long magnitude = 0;
    const int parsed = parseMagnitude(text, &negative, &magnitude);
    if (parsed <= 0) return parsed == 0 ? 0 : INI_ERR_INVALID_UINT;
    if (negative || magnitude > max) return INI_ERR_INVALID_UINT;
    *value = magnitude;
    return 1;
}

int parseDouble(std::string_view text, double *value) {
    text = trim(text);
    if (text.empty()) return 0;
    if (namesEqual(text, "Inf") || namesEqual(text, "+Inf")) {
        *value = std::numeric_limits<double>::infinity();
        return 1;
    }
    if (namesEqual(text, "-Inf")) {
        *value = -std::numeric_limits<double>::infinity();
        return 1;
    }
    if (!isDecimalNumber(text)) return INI_ERR_INVALID_DOUBLE;
    if (text[0] == '+') text.remove_prefix(1); // from_chars takes no plus sign
    double result = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec != std::errc() || end != text.data() + text.size()) return INI_ERR_INVALID_DOUBLE;
    *value = result;
    return 1;
}

int parseBoolean(std::string_view text, int *value) {
    text = trim(text);
    if (text.empty()) return 0;
    if (namesEqual(text, "True")) {
        *value = 1;
        return 1;
    }
    if (namesEqual(text, "False")) {
        *value = 0;
        return 1;
    }
    return INI_ERR_INVALID_BOOLEAN;
}

} // namespace ini_detail
