// The two CSV styles (see csv_style.h).
#include "base/csv_style.h"

#include <cmath>
#include <cstdio>

CsvFormat CsvFormatOf(CsvStyle style) {
    return style == CsvStyle::ExcelDe ? CsvFormat{';', ','} : CsvFormat{',', '.'};
}

bool ParseCsvStyle(std::string_view text, CsvStyle *style) {
    if (text == "plain") {
        *style = CsvStyle::Plain;
        return true;
    }
    if (text == "excel-de") {
        *style = CsvStyle::ExcelDe;
        return true;
    }
    return false;
}

const char *CsvStyleName(CsvStyle style) {
    return style == CsvStyle::ExcelDe ? "excel-de" : "plain";
}

std::string CsvField(std::string_view text, const CsvFormat &format) {
    bool quote = false;
    for (char c : text)
        if (c == format.separator || c == '"' || c == '\r' || c == '\n') quote = true;
    if (!quote) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string CsvDecimal(double value, const CsvFormat &format) {
    if (!std::isfinite(value)) return "0";
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.6f", value);
    std::string s = buf;
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    const std::size_t point = s.find('.');
    if (point != std::string::npos) s[point] = format.decimalSign;
    return s;
}

std::string CsvJoin(const std::vector<std::string> &fields, const CsvFormat &format) {
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) row += format.separator;
        row += fields[i];
    }
    return row;
}
