// The two ways the program writes CSV: the plain one (',' between fields, '.' in numbers) and
// the one a spreadsheet set up for German opens without an import dialog ("excel-de": ';'
// between fields, ',' in numbers). Pure text building; every file stays UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class CsvStyle { Plain, ExcelDe };

struct CsvFormat {
    char separator;   // between fields
    char decimalSign; // in numbers with decimals
};

CsvFormat CsvFormatOf(CsvStyle style);

// "plain" or "excel-de" (exactly): true with *style set, false for any other text.
bool ParseCsvStyle(std::string_view text, CsvStyle *style);
// The name ParseCsvStyle takes for the style.
const char *CsvStyleName(CsvStyle style);

// A field as written: between double quotes, quotes doubled, when it holds the separator, a
// quote or a line break; else as it is.
std::string CsvField(std::string_view text, const CsvFormat &format);
// A number with at most six decimals and no trailing zeros ("0.25", "13.75", "2000"), with the
// format's decimal sign; 0 for a value that is not finite.
std::string CsvDecimal(double value, const CsvFormat &format);
// The fields of one row, each already written (CsvField, CsvDecimal, integers), joined by the
// separator; no line end.
std::string CsvJoin(const std::vector<std::string> &fields, const CsvFormat &format);
