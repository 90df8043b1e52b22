// The number and boolean gets on stored value text: accepted forms, ranges, error codes, and
// that the out value is written only on success.
#include "ini_test_util.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

template <class T, class Get> int getFrom(const std::string &stored, Get get, T *value) {
    Doc doc;
    Ini_PutRawString(doc, "S", "V", stored.c_str());
    return get(doc, "S", "V", value);
}

TEST(IniNumbers, GetInt) {
    struct Case {
        std::string stored;
        int result;
        int value; // when result is 1
    };
    const std::vector<Case> cases = {
        {"7", 1, 7},
        {"+7", 1, 7},
        {"  -12  ", 1, -12},
        {"\t0\t", 1, 0},
        {"2147483647", 1, 2147483647},
        {"-2147483648", 1, -2147483647 - 1},
        {"00042", 1, 42},
        {"2147483648", INI_ERR_INVALID_INT, 0},
        {"-2147483649", INI_ERR_INVALID_INT, 0},
        {"99999999999999999999999", INI_ERR_INVALID_INT, 0},
        {"12abc", INI_ERR_INVALID_INT, 0},
        {"- 5", INI_ERR_INVALID_INT, 0},
        {"+-5", INI_ERR_INVALID_INT, 0},
        {"+", INI_ERR_INVALID_INT, 0},
        {"1 2", INI_ERR_INVALID_INT, 0},
        {"0x10", INI_ERR_INVALID_INT, 0},
        {"1.0", INI_ERR_INVALID_INT, 0},
        {"5 ; note", INI_ERR_INVALID_INT, 0},
        {"", 0, 0},
        {"   ", 0, 0},
    };
    for (const Case &c : cases) {
        int value = 12345;
        EXPECT_EQ(getFrom(c.stored, Ini_GetInt, &value), c.result) << c.stored;
        EXPECT_EQ(value, c.result == 1 ? c.value : 12345) << c.stored; // untouched otherwise
    }
}

TEST(IniNumbers, GetUIntInt64UInt64) {
    unsigned u = 7;
    EXPECT_EQ(getFrom("4294967295", Ini_GetUInt, &u), 1);
    EXPECT_EQ(u, 4294967295u);
    EXPECT_EQ(getFrom("+3", Ini_GetUInt, &u), 1);
    EXPECT_EQ(u, 3u);
    EXPECT_EQ(getFrom("4294967296", Ini_GetUInt, &u), INI_ERR_INVALID_UINT);
    EXPECT_EQ(getFrom("-1", Ini_GetUInt, &u), INI_ERR_INVALID_UINT);
    EXPECT_EQ(getFrom("-0", Ini_GetUInt, &u), INI_ERR_INVALID_UINT);
    EXPECT_EQ(u, 3u);
    long long i64 = 0;
    EXPECT_EQ(getFrom("-9223372036854775808", Ini_GetInt64, &i64), 1);
    EXPECT_EQ(i64, std::numeric_limits<long long>::min());
    EXPECT_EQ(getFrom("9223372036854775807", Ini_GetInt64, &i64), 1);
    EXPECT_EQ(i64, std::numeric_limits<long long>::max());
    EXPECT_EQ(getFrom("9223372036854775808", Ini_GetInt64, &i64), INI_ERR_INVALID_INT);
    EXPECT_EQ(getFrom("-9223372036854775809", Ini_GetInt64, &i64), INI_ERR_INVALID_INT);
    unsigned long long u64 = 0;
    EXPECT_EQ(getFrom("18446744073709551615", Ini_GetUInt64, &u64), 1);
    EXPECT_EQ(u64, std::numeric_limits<unsigned long long>::max());
    EXPECT_EQ(getFrom("18446744073709551616", Ini_GetUInt64, &u64), INI_ERR_INVALID_UINT);
}

TEST(IniNumbers, GetDouble) {
    struct Case {
        std::string stored;
        int result;
        double value;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {"1.5", 1, 1.5},
        {" -2.25e3 ", 1, -2250},
        {"+.5", 1, 0.5},
        {"5.", 1, 5},
        {"1E-3", 1, 0.001},
        {"Inf", 1, inf},
        {"+inf", 1, inf},
        {"-INF", 1, -inf},
        {"0.1000000000000000055511151231257827", 1, 0.1},
        {"1,5", INI_ERR_INVALID_DOUBLE, 0},
        {"nan", INI_ERR_INVALID_DOUBLE, 0},
        {"infinity", INI_ERR_INVALID_DOUBLE, 0},
        {"0x1p3", INI_ERR_INVALID_DOUBLE, 0},
        {"1e", INI_ERR_INVALID_DOUBLE, 0},
        {".", INI_ERR_INVALID_DOUBLE, 0},
        {"1.5x", INI_ERR_INVALID_DOUBLE, 0},
        {"1e999", INI_ERR_INVALID_DOUBLE, 0},
        {"", 0, 0},
    };
    for (const Case &c : cases) {
        double value = 42;
        EXPECT_EQ(getFrom(c.stored, Ini_GetDouble, &value), c.result) << c.stored;
        EXPECT_EQ(value, c.result == 1 ? c.value : 42) << c.stored;
    }
}

TEST(IniNumbers, DoublesRoundTripWhateverTheLocale) {
    // A program may run with a locale whose decimal point is a comma; the file always has ".".
    const char *previous = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool german = setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    Doc doc;
    const double values[] = {0.1, -1234.5678, 1e-300, 6.02214076e23, 3.0};
    for (const double v : values) {
        Ini_PutDouble(doc, "S", "D", v);
        const char *text = nullptr;
        Ini_GetPointerToRawString(doc, "S", "D", &text);
        EXPECT_EQ(std::string(text).find(','), std::string::npos) << text;
        double back = 0;
        EXPECT_EQ(Ini_GetDouble(doc, "S", "D", &back), 1);
        EXPECT_EQ(back, v); // 16 significant digits do not always round-trip: these do
    }
    setlocale(LC_NUMERIC, saved.c_str());
    if (!german) GTEST_LOG_(INFO) << "de_DE.UTF-8 not installed; ran in the C locale";
}

TEST(IniNumbers, GetBoolean) {
    struct Case {
        std::string stored;
        int result;
        int value;
    };
    const std::vector<Case> cases = {
        {"True", 1, 1},
        {"false", 1, 0},
        {"TRUE", 1, 1},
        {" False ", 1, 0},
        {"1", INI_ERR_INVALID_BOOLEAN, 0},
        {"yes", INI_ERR_INVALID_BOOLEAN, 0},
        {"Truex", INI_ERR_INVALID_BOOLEAN, 0},
        {"", 0, 0},
    };
    for (const Case &c : cases) {
        int value = 9;
        EXPECT_EQ(getFrom(c.stored, Ini_GetBoolean, &value), c.result) << c.stored;
        EXPECT_EQ(value, c.result == 1 ? c.value : 9) << c.stored;
    }
}

TEST(IniNumbers, NumberGetsReadTheStoredTextQuotedOrNot) {
    Doc doc;
    ASSERT_EQ(readText(doc, "[S]\nA = \" 42 \"\nB = \"\"\nC = 5 ; note\n"), 0);
    int value = 0;
    EXPECT_EQ(Ini_GetInt(doc, "S", "A", &value), 1);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(Ini_GetInt(doc, "S", "B", &value), 0); // empty counts as not found
    EXPECT_EQ(Ini_GetInt(doc, "S", "C", &value), INI_ERR_INVALID_INT);
    EXPECT_EQ(getString(doc, "S", "C"), "5 ; note");
}

} // namespace
