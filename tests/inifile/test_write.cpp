// Writing the text format: golden files compared byte for byte, splitting of long values,
// cutting at the line limit, write -> read -> write identity, sink errors.
#include "ini_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(IniWrite, PanelSettingsMatchesGoldenFile) {
    Doc doc;
    Ini_PutString(doc, "GENERAL INFO", "FILE TYPE:", "Panel Settings");
    Ini_PutInt(doc, "GENERAL INFO", "LANGUAGE", 1);
    Ini_PutInt(doc, "COMMUNICATION SETTINGS", "COMPROTOCOL", 0);
    Ini_PutString(doc, "COMMUNICATION SETTINGS", "PORT NUMBER", "5000");
    EXPECT_EQ(writeText(doc), readFileBytes(goldenPath("panel_settings.ini")));
}

TEST(IniWrite, LongValuesSplitAsGoldenFile) {
    const std::string v170 = [] {
        std::string s;
        for (int i = 0; i < 17; ++i)
            s += "0123456789";
        return s;
    }();
    Doc doc;
    Ini_PutString(doc, "PATHS", "PATH", v170.c_str());
    Ini_PutString(doc, "PATHS", "EXACT", std::string(80, 'a').c_str());
    Ini_PutString(doc, "PATHS", "OVER", std::string(81, 'b').c_str());
    Ini_PutString(doc, "PATHS", "DIR", "C:\\Data\\x.ini");
    const std::string golden = readFileBytes(goldenPath("multiline.ini"));
    EXPECT_EQ(writeText(doc), golden);
    Doc back;
    ASSERT_EQ(readText(back, golden), 0);
    EXPECT_EQ(getString(back, "PATHS", "PATH"), v170);
    EXPECT_EQ(getString(back, "PATHS", "OVER"), std::string(81, 'b'));
    EXPECT_EQ(getString(back, "PATHS", "DIR"), "C:\\Data\\x.ini");
    EXPECT_EQ(writeText(back), golden);
}

TEST(IniWrite, CommentedFileReadsAndWritesBackIdentically) {
    const std::string golden = readFileBytes(goldenPath("comments.ini"));
    ASSERT_FALSE(golden.empty());
    Doc doc;
    ASSERT_EQ(readText(doc, golden), 0);
    EXPECT_EQ(writeText(doc), golden);
}

TEST(IniWrite, MessyFileIsWrittenInTheCleanForm) {
    Doc doc;
    ASSERT_EQ(Ini_ReadFromFile(doc, goldenPath("messy_in.ini").c_str()), 0);
    EXPECT_EQ(writeText(doc), readFileBytes(goldenPath("messy_out.ini")));
}

TEST(IniWrite, WriteReadWriteGivesIdenticalBytes) {
    Doc doc;
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const unsigned char data[] = {0, 1, 2, 250, 251, 252, 253, 254, 255, 128, 64};
    Ini_PutString(doc, "Strings", "ALL BYTES", all.c_str());
    Ini_PutString(doc, "Strings", "EMPTY", "");
    Ini_PutString(doc, "Strings", "BLANKS", "  both ends  ");
    Ini_PutString(doc, "Strings", "LONG", std::string(3000, 'L').c_str());
    Ini_PutInt(doc, "Numbers", "INT", -42);
    Ini_PutUInt(doc, "Numbers", "UINT", 42);
    Ini_PutDouble(doc, "Numbers", "DOUBLE", 3.141592653589793);
    Ini_PutBoolean(doc, "Numbers", "BOOL", 1);
    Ini_PutData(doc, "Data", "BYTES", data, sizeof data);
    const std::string first = writeText(doc);
    Doc second;
    ASSERT_EQ(readText(second, first), 0);
    EXPECT_EQ(writeText(second), first);
    EXPECT_EQ(getString(second, "Strings", "ALL BYTES"), all);
    EXPECT_EQ(getString(second, "Strings", "BLANKS"), "  both ends  ");
}

TEST(IniWrite, LineLimits) {
    // Maximum 0: never split, but a line stays within 1024 characters.
    Doc doc;
    ASSERT_EQ(Ini_SetMaxValueLineLength(doc, 0), 0);
    Ini_PutString(doc, "S", "T", std::string(2000, 'x').c_str());
    const std::string text = writeText(doc);
    EXPECT_NE(text.find("T = \"" + std::string(1024 - 6, 'x') + "\"\r\n"), std::string::npos);
    // A tag over 255 characters is cut; pieces carry at most 246 characters of it.
    Doc tags;
    const std::string longTag(300, 't');
    Ini_PutString(tags, "S", longTag.c_str(), "v");
    Ini_PutString(tags, "S", ("P" + longTag).c_str(), std::string(100, 'p').c_str());
    const std::string written = writeText(tags);
    EXPECT_NE(written.find("\r\n" + std::string(255, 't') + " = \"v\"\r\n"), std::string::npos);
    EXPECT_NE(
        written.find("\r\nP" + std::string(245, 't') + " Line0001 = \"" + std::string(80, 'p')),
        std::string::npos);
    // Unquoted pieces.
    Doc raw;
    Ini_SetAddQuotesToStrings(raw, 0);
    Ini_SetMaxValueLineLength(raw, 4);
    Ini_PutString(raw, "S", "R", "abcdefghij");
    EXPECT_EQ(writeText(raw),
              crlf("[S]\nR Line0001 = abcd\nR Line0002 = efgh\nR Line0003 = ij\n\n"));
}

TEST(IniWrite, PieceNumbersGrowPastFourDigits) {
    Doc doc;
    Ini_SetMaxValueLineLength(doc, 1);
    const std::string value(10001, 'z');
    Ini_PutString(doc, "S", "T", value.c_str());
    const std::string text = writeText(doc);
    EXPECT_NE(text.find("T Line9999 = \"z\"\r\nT Line10000 = \"z\"\r\nT Line10001 = \"z\"\r\n"),
              std::string::npos);
    Doc back;
    ASSERT_EQ(readText(back, text), 0);
    EXPECT_EQ(getString(back, "S", "T"), value);
}

TEST(IniWrite, SectionNameIsCutLikeATagSoItReadsBack) {
    Doc doc;
    const std::string name(2000, 'n');
    Ini_PutInt(doc, "FIRST", "A", 1);
    Ini_PutInt(doc, name.c_str(), "B", 2);
    Doc back;
    ASSERT_EQ(readText(back, writeText(doc)), 0);
    int value = 0;
    EXPECT_EQ(Ini_GetInt(back, std::string(255, 'n').c_str(), "B", &value), 1);
    EXPECT_EQ(Ini_GetInt(back, "FIRST", "B", &value), 0); // not merged into the section before
}

struct StopAfter {
    int lines;
    int seen = 0;
};

int stoppingSink(void *context, const char *) {
    auto *stop = static_cast<StopAfter *>(context);
    return ++stop->seen >= stop->lines ? INI_ERR_DISK_FULL : 0;
}

TEST(IniWrite, SinkErrorStopsTheWriting) {
    Doc doc;
    Ini_PutInt(doc, "S", "A", 1);
    Ini_PutInt(doc, "S", "B", 2);
    StopAfter stop{2};
    EXPECT_EQ(Ini_WriteGeneric(doc, stoppingSink, &stop), INI_ERR_DISK_FULL);
    EXPECT_EQ(stop.seen, 2);
}

TEST(IniWrite, EmptyDocumentWritesNothing) {
    Doc doc;
    EXPECT_EQ(writeText(doc), "");
}

} // namespace
