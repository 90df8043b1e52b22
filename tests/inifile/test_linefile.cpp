// The line reader: the four kinds of line ending, blank lines, zero bytes, over-long lines,
// chunk boundaries and a real file.
#include "ini_test_util.h"

#include "inifile/linefile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Lines {
    std::vector<std::string> text;
    std::vector<int> numbers;
};

Lines readAll(LineFile lf, int maxChars = INI_MAX_LINE_LENGTH) {
    Lines lines;
    std::vector<char> buffer(maxChars + 1);
    for (;;) {
        int number = 0;
        int eof = 0;
        const int length = LineFile_Read(lf, buffer.data(), maxChars, &number, &eof);
        EXPECT_GE(length, 0);
        if (length < 0 || eof) break;
        EXPECT_EQ(static_cast<size_t>(length), std::string(buffer.data()).size());
        lines.text.emplace_back(buffer.data(), length);
        lines.numbers.push_back(number);
    }
    return lines;
}

std::vector<std::string> splitMemory(const std::string &bytes, int maxChars = INI_MAX_LINE_LENGTH) {
    LineFile lf = LineFile_NewFromMemory(bytes.data(), bytes.size());
    Lines lines = readAll(lf, maxChars);
    LineFile_Dispose(lf);
    return lines.text;
}

using V = std::vector<std::string>;

TEST(LineFile, LineEndings) {
    struct Case {
        std::string bytes;
        V lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\n\rb\n\r", {"a", "b"}},
        {"a\nb", {"a", "b"}},           // last line without terminator
        {"a\n\nb", {"a", "", "b"}},     // blank line, LF
        {"a\r\n\r\nb", {"a", "", "b"}}, // blank line, CR LF
        {"a\r\rb", {"a", "", "b"}},     // CR CR is two endings
        {"a\r\r\nb", {"a", "", "b"}},   // CR, then CR LF
        {"\n", {""}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {std::string("a\0b", 3), {"a", "b"}},   // a zero byte ends a line
        {std::string("a\0\nb", 4), {"a", "b"}}, // zero byte then LF: one ending
        {std::string("a\r\0b", 4), {"a", "b"}},
        {"\r\na", {"", "a"}}, // a leading terminator ends an empty line
    };
    for (const Case &c : cases) {
        std::string shown;
        for (const char ch : c.bytes)
            shown += ch == '\r'   ? "\\r"
                     : ch == '\n' ? "\\n"
                     : ch == '\0' ? "\\0"
                                  : std::string(1, ch);
        EXPECT_EQ(splitMemory(c.bytes), c.lines) << shown;
    }
}

TEST(LineFile, NumbersLinesFromOne) {
    const std::string bytes = "x\r\n\r\ny\rz";
    LineFile lf = LineFile_NewFromMemory(bytes.data(), bytes.size());
    const Lines lines = readAll(lf);
    LineFile_Dispose(lf);
    EXPECT_EQ(lines.text, (V{"x", "", "y", "z"}));
    EXPECT_EQ(lines.numbers, (std::vector<int>{1, 2, 3, 4}));
}

TEST(LineFile, LongLineKeepsItsStartAndDropsTheRest) {
    const std::string longLine(3000, 'a');
    const std::string bytes = "1\r\n" + longLine + "Z\r\n2";
    const V lines = splitMemory(bytes, 1024);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], std::string(1024, 'a'));
    EXPECT_EQ(lines[2], "2");
    EXPECT_EQ(splitMemory("abcdef\nxy", 3), (V{"abc", "xy"}));
    EXPECT_EQ(splitMemory("abc\nxy", 0), (V{"", ""}));
}

TEST(LineFile, TerminatorPairsSplitAcrossChunks) {
    // Chunks are 2048 bytes; put the CR as the last byte of one chunk and the LF first in the
    // next, and a CR alone at the edge, for each position near the boundary.
    for (size_t at = 2040; at < 2056; ++at) {
        std::string bytes(at, 'x');
        bytes += "\r\n\r\nnext\r\rlast";
        const V lines = splitMemory(bytes, 4096);
        EXPECT_TRUE(lines == (V{std::string(at, 'x'), "", "next", "", "last"})) << at;
    }
}

TEST(LineFile, ReadsAFileOpenedForBinaryReading) {
    TempDir dir;
    const std::string path = dir.file("lines.txt");
    std::string bytes;
    V expected;
    for (int i = 0; i < 2000; ++i) { // several chunks, mixed endings
        const std::string line = "line " + std::to_string(i);
        bytes += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        expected.push_back(line);
    }
    writeFileBytes(path, bytes);
    FILE *file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    LineFile lf = LineFile_New(file);
    const Lines lines = readAll(lf);
    LineFile_Dispose(lf);
    fclose(file);
    EXPECT_EQ(lines.text, expected);
    EXPECT_EQ(lines.numbers.back(), 2000);
}

TEST(LineFile, MissingArguments) {
    char buffer[8];
    int number = 0;
    int eof = 0;
    EXPECT_EQ(LineFile_New(nullptr), nullptr);
    EXPECT_EQ(LineFile_Read(nullptr, buffer, 7, &number, &eof), INI_ERR_NULL_ARGUMENT);
    LineFile lf = LineFile_NewFromMemory("a", 1);
    EXPECT_EQ(LineFile_Read(lf, nullptr, 7, &number, &eof), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(LineFile_Read(lf, buffer, 7, &number, &eof), 1);
    EXPECT_EQ(LineFile_Read(lf, buffer, 7, &number, &eof), 0);
    EXPECT_EQ(eof, 1);
    LineFile_Dispose(lf);
}

} // namespace
