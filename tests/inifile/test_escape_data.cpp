// Escaping of string values and the six-bit data encoding, both ways.
#include "ini_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string rawOf(IniText doc, const char *section, const char *tag) {
    const char *text = nullptr;
    return Ini_GetPointerToRawString(doc, section, tag, &text) == 1 ? text : "<missing>";
}

TEST(IniEscape, PutStringStoresEscapedAndGetReturnsOriginal) {
    struct Case {
        std::string text, stored;
    };
    const std::vector<Case> cases = {
        {"plain", "plain"},
        {"", ""},
        {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"say \"hi\"", "say \\\"hi\\\""},
        {"C:\\Data\\x.ini", "C:\\\\Data\\\\x.ini"},
        {"\x01\x1f\x7f", "\\x01\\x1f\\x7f"},
        {"\x1b[0m", "\\x1b[0m"},
        {"Grüße \xff\x80", "Grüße \xff\x80"}, // bytes of 128 and above are copied
        {"; = [x]", "; = [x]"},
    };
    for (const Case &c : cases) {
        Doc doc;
        ASSERT_EQ(Ini_PutString(doc, "S", "T", c.text.c_str()), 0);
        EXPECT_EQ(rawOf(doc, "S", "T"), c.stored) << c.text;
        EXPECT_EQ(getString(doc, "S", "T"), c.text) << c.stored;
    }
}

TEST(IniEscape, UnescapeOfStoredText) {
    struct Case {
        std::string stored, text;
    };
    const std::vector<Case> cases = {
        {"\\x41\\x6a\\x4A", "AjJ"}, // either case of hex digit
        {"\\q\\\\\\\"", "q\\\""},   // backslash + other char gives that char
        {"end\\", "end\\"},         // lone backslash at the end stays
        {"\\xg1", "xg1"},           // no hex digits: the x stands for itself
        {"\\x4", "x4"},             // one digit only
        {"a\\n\\r\\tb", "a\n\r\tb"},
        {"\"inner\"", "\"inner\""}, // plain quotes are copied
    };
    for (const Case &c : cases) {
        Doc doc;
        ASSERT_EQ(Ini_PutRawString(doc, "S", "T", c.stored.c_str()), 0);
        EXPECT_EQ(getString(doc, "S", "T"), c.text) << c.stored;
        EXPECT_EQ(rawOf(doc, "S", "T"), c.stored);
    }
}

TEST(IniEscape, EveryByteSurvivesFileRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    Doc doc;
    ASSERT_EQ(Ini_PutString(doc, "S", "ALL", all.c_str()), 0);
    Doc back;
    ASSERT_EQ(readText(back, writeText(doc)), 0);
    EXPECT_EQ(getString(back, "S", "ALL"), all);
}

std::string encoded(const std::vector<unsigned char> &bytes) {
    Doc doc;
    Ini_PutData(doc, "S", "D", bytes.data(), static_cast<long>(bytes.size()));
    return rawOf(doc, "S", "D");
}

TEST(IniData, EncodingVectors) {
    // Worked by hand: the first character of a group holds the top two bits of b1, b2, b3 in
    // its bits 5-4, 3-2, 1-0; the others hold the low six bits; all offset by "0".
    EXPECT_EQ(encoded({}), "");
    EXPECT_EQ(encoded({0x00}), "00");
    // 0xFF: top 3 -> (3 << 4) = 48 -> '0' + 48 = '`'; low 63 -> '0' + 63 = 'o'.
    EXPECT_EQ(encoded({0xFF}), "`o");
    // 0x41 0x42 0x43: tops 1,1,1 -> 16 + 4 + 1 = 21 -> 'E'; lows 1,2,3 -> "123".
    EXPECT_EQ(encoded({0x41, 0x42, 0x43}), "E123");
    // Two bytes 0xC0 0x3F: tops 3,0 -> 48 -> '`'; lows 0, 63 -> "0o".
    EXPECT_EQ(encoded({0xC0, 0x3F}), "`0o");
    // Four bytes: a full group and a single byte 0x80 (top 2 -> 32 -> 'P', low 0 -> '0').
    EXPECT_EQ(encoded({0xFF, 0xFF, 0xFF, 0x80}), "ooooP0");
}

TEST(IniData, LengthsAndRoundTripOfEveryByteAndSize) {
    for (size_t n = 0; n <= 64; ++n) {
        std::vector<unsigned char> bytes(n);
        for (size_t i = 0; i < n; ++i)
            bytes[i] = static_cast<unsigned char>(i * 97 + n * 31 + 0xA5);
        const std::string text = encoded(bytes);
        EXPECT_EQ(text.size(), 4 * (n / 3) + (n % 3 ? n % 3 + 1 : 0)) << n;
        for (const char c : text) {
            EXPECT_GE(c, '0');
            EXPECT_LE(c, 'o');
        }
        Doc doc;
        Ini_PutData(doc, "S", "D", bytes.data(), static_cast<long>(n));
        Doc back; // through the text format, so quotes and line splitting take part
        ASSERT_EQ(readText(back, writeText(doc)), 0);
        unsigned char *data = nullptr;
        long count = -1;
        ASSERT_EQ(Ini_GetData(back, "S", "D", &data, &count), 1) << n;
        EXPECT_EQ(std::vector<unsigned char>(data, data + count), bytes) << n;
        free(data);
    }
    std::vector<unsigned char> all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<unsigned char>(i);
    Doc doc;
    ASSERT_EQ(Ini_PutData(doc, "S", "D", all.data(), 256), 0);
    unsigned char *data = nullptr;
    long count = 0;
    ASSERT_EQ(Ini_GetData(doc, "S", "D", &data, &count), 1);
    EXPECT_EQ(std::vector<unsigned char>(data, data + count), all);
    free(data);
}

TEST(IniData, DecodingTextLengths) {
    // L characters give 3 * (L / 4) bytes plus (L mod 4) - 1 when L mod 4 is not 0.
    struct Case {
        std::string text;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> cases = {
        {"E123", {0x41, 0x42, 0x43}},
        {"`0o", {0xC0, 0x3F}},
        {"`o", {0xFF}},
        {"E123`", {0x41, 0x42, 0x43}}, // a lone last character carries no byte
        {"", {}},
    };
    for (const Case &c : cases) {
        Doc doc;
        Ini_PutRawString(doc, "S", "D", c.text.c_str());
        unsigned char *data = nullptr;
        long count = -1;
        ASSERT_EQ(Ini_GetData(doc, "S", "D", &data, &count), 1) << c.text;
        EXPECT_EQ(std::vector<unsigned char>(data, data + count), c.bytes) << c.text;
        free(data);
    }
    Doc doc;
    unsigned char *data = reinterpret_cast<unsigned char *>(1);
    long count = 7;
    EXPECT_EQ(Ini_GetData(doc, "S", "missing", &data, &count), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(count, 0);
}

} // namespace
