// Reading the text format: item lines, headers, comments, the section filter, multi-line
// joining, over-long names and lines, tokens.
#include "ini_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Lookup {
    const char *section;
    const char *tag;
    std::string expected; // unescaped string, or "<missing>"
};

struct ReadCase {
    const char *what;
    std::string text;
    std::vector<Lookup> lookups;
};

TEST(IniRead, ItemLinesAndHeaders) {
    const std::vector<ReadCase> cases = {
        {"blank value is ignored",
         "[S]\nA =\nB =   \nC = x\n",
         {{"S", "A", "<missing>"}, {"S", "B", "<missing>"}, {"S", "C", "x"}}},
        {"empty tag is ignored", "[S]\n = 5\n", {{"S", "", "<missing>"}}},
        {"first separator splits",
         "[S]\nA=B = C\n",
         {{"S", "A", "B = C"}, {"S", "A=B", "<missing>"}}},
        {"comment marker only at line start", "[S]\nTAG = 5 ; note\n", {{"S", "TAG", "5 ; note"}}},
        {"unquoted loses blanks, quoted keeps",
         "[S]\nU =   a b  \nQ = \"  a b  \"\n",
         {{"S", "U", "a b"}, {"S", "Q", "  a b  "}}},
        {"one quote is not a quoted value",
         "[S]\nA = \"\nB = \"x\nC = \"\"\n",
         {{"S", "A", "\""}, {"S", "B", "\"x"}, {"S", "C", ""}}},
        {"blanks inside brackets", "[ GENERAL INFO ]\nA=1\n", {{"GENERAL INFO", "A", "1"}}},
        {"empty name header is ignored", "[S]\n[  ]\nA=1\n", {{"S", "A", "1"}}},
        {"text after the bracket breaks the header",
         "[S]\n[T] x\nA=1\n",
         {{"S", "A", "1"}, {"T", "A", "<missing>"}}},
        {"broken header is never an item",
         "[S]\n[T=1\nB=2\n",
         {{"S", "[T", "<missing>"}, {"S", "B", "2"}}},
        {"last closing bracket ends the name", "[a]b] \t\nA=1\n", {{"a]b", "A", "1"}}},
        {"items before the first header are dropped",
         "A=1\n[S]\nB=2\n",
         {{"S", "A", "<missing>"}, {"S", "B", "2"}}},
        {"indented lines", "  [S]  \n\tA\t=\t1\n", {{"S", "A", "1"}}},
        {"escapes unescaped on get",
         "[S]\nP = \"C:\\\\Data\\\\x.ini\"\n",
         {{"S", "P", "C:\\Data\\x.ini"}}},
        {"line without separator is ignored", "[S]\njust text\nA=1\n", {{"S", "A", "1"}}},
    };
    for (const ReadCase &c : cases) {
        Doc doc;
        ASSERT_EQ(readText(doc, c.text), 0) << c.what;
        for (const Lookup &l : c.lookups)
            EXPECT_EQ(getString(doc, l.section, l.tag), l.expected) << c.what << ": " << l.tag;
    }
}

TEST(IniRead, DuplicatesStayAndAreWrittenBack) {
    Doc doc;
    const std::string text = crlf("[S]\nA = 1\nA = 2\n\n[S]\nA = 3\n\n");
    ASSERT_EQ(readText(doc, text), 0);
    EXPECT_EQ(getString(doc, "S", "A"), "1");
    EXPECT_EQ(writeText(doc), text);
}

TEST(IniRead, EndingsDoNotMatter) {
    const std::string lf = "; head\n\n[S]\nA = \"x\"\nB = 2\n";
    Doc a, b, c;
    ASSERT_EQ(readText(a, lf), 0);
    ASSERT_EQ(readText(b, crlf(lf)), 0);
    ASSERT_EQ(readText(c, crlf(lf).substr(0, crlf(lf).size() - 2)), 0); // no last terminator
    EXPECT_EQ(writeText(a), writeText(b));
    EXPECT_EQ(writeText(a), writeText(c));
    EXPECT_EQ(getString(c, "S", "B"), "2");
}

// A byte-order mark at the very start is not text: the first line reads as it would without
// it, whether that line is a header, a comment or blank. Anywhere else the bytes stay text.
TEST(IniRead, ByteOrderMarkAtTheStartIsNothing) {
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string text :
         {"[S]\r\nA = 1\r\n", "; note\r\n[S]\r\nA = 1\r\n", "\r\n[S]\r\nA = 1\r\n"}) {
        SCOPED_TRACE(text);
        Doc plain, marked;
        ASSERT_EQ(readText(plain, text), 0);
        ASSERT_EQ(readText(marked, bom + text), 0);
        EXPECT_EQ(getString(marked, "S", "A"), "1");
        EXPECT_EQ(writeText(marked), writeText(plain));
    }
    Doc later;
    ASSERT_EQ(readText(later, "[S]\r\n" + bom + "A = 1\r\n"), 0);
    EXPECT_EQ(getString(later, "S", "A"), "<missing>");
    EXPECT_EQ(getString(later, "S", (bom + "A").c_str()), "1");
}

TEST(IniRead, CommentsBelongWhereTheyStand) {
    struct Case {
        const char *what;
        std::string text;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"block before the header belongs to the section", "; one\n  ; two\n[S]\nA=1\n",
         "; one\n  ; two\n[S]\nA = 1\n\n"},
        {"separated by a blank line it is the header comment", "; head\n\n[S]\nA=1\n",
         "; head\n\n[S]\nA = 1\n\n"},
        {"item comment and trailing comment", "[S]\n; about A\nA=1\n; the end\n",
         "[S]\n; about A\nA = 1\n\n; the end\n"},
        {"comment before a dropped item is dropped", "; lost\nA=1\n[S]\nB=2\n", "[S]\nB = 2\n\n"},
        {"only one header comment", "; h1\n\n; h2\n\n[S]\n", "; h1\n\n; h2\n[S]\n\n"},
        {"comment pending over blank lines in a section", "[S]\n; c\n\nA=1\n",
         "[S]\n; c\nA = 1\n\n"},
        {"trailing comment only when none yet", "; t\n", "; t\n"},
    };
    for (const Case &c : cases) {
        Doc doc;
        ASSERT_EQ(readText(doc, c.text), 0) << c.what;
        EXPECT_EQ(writeText(doc), crlf(c.written)) << c.what;
    }
}

int rejectSecret(IniText, void *userValue, const char *name) {
    ++*static_cast<int *>(userValue);
    return std::string(name) != "SECRET";
}

TEST(IniRead, SectionFilterSkipsSectionsWithTheirItemsAndComments) {
    Doc doc;
    int calls = 0;
    ASSERT_EQ(Ini_SetSectionFilter(doc, rejectSecret, &calls), 0);
    ASSERT_EQ(readText(doc, "[A]\nX=1\n; hidden\n[SECRET]\nK=2\n; more\n[B]\nY=3\n"), 0);
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(Ini_SectionExists(doc, "SECRET"));
    EXPECT_EQ(getString(doc, "A", "K"), "<missing>");
    EXPECT_EQ(writeText(doc), crlf("[A]\nX = 1\n\n; more\n[B]\nY = 3\n\n"));
}

TEST(IniRead, MultiLineItemsAreJoined) {
    struct Case {
        const char *what;
        std::string text;
        std::vector<Lookup> lookups;
    };
    const std::vector<Case> cases = {
        {"run joined under the plain tag",
         "[S]\nP Line0001 = \"ab\"\nP Line0002 = \"cd\"\nP Line0003 = \"e\"\n",
         {{"S", "P", "abcde"}, {"S", "P Line0002", "<missing>"}}},
        {"numbers after the first are not checked",
         "[S]\nP Line1 = a\nQ Line7 = b\nR Line0 = c\nX = 1\n",
         {{"S", "P", "abc"}, {"S", "X", "1"}}},
        {"a second piece 1 starts a new run",
         "[S]\nA Line0001 = a\nA Line0002 = b\nA Line0001 = c\n",
         {{"S", "A", "ab"}}},
        {"a piece without its first stays", "[S]\nA Line0002 = b\n", {{"S", "A Line0002", "b"}}},
        {"not a piece",
         "[S]\nA Line = a\nB Line1x = b\nC Line-1 = c\nD LINE0001 = d\n",
         {{"S", "A Line", "a"},
          {"S", "B Line1x", "b"},
          {"S", "C Line-1", "c"},
          {"S", "D LINE0001", "d"}}},
        {"number beyond 32 bits is not a piece",
         "[S]\nA Line1 = a\nA Line2147483648 = b\n",
         {{"S", "A", "a"}, {"S", "A Line2147483648", "b"}}},
        {"first occurrence of Line counts",
         "[S]\nA Line2 Line0001 = a\n",
         {{"S", "A Line2 Line0001", "a"}}},
        {"runs end at a section",
         "[S]\nA Line0001 = a\n[T]\nA Line0002 = b\n",
         {{"S", "A", "a"}, {"T", "A Line0002", "b"}}},
    };
    for (const Case &c : cases) {
        Doc doc;
        ASSERT_EQ(readText(doc, c.text), 0) << c.what;
        for (const Lookup &l : c.lookups)
            EXPECT_EQ(getString(doc, l.section, l.tag), l.expected) << c.what << ": " << l.tag;
    }
}

TEST(IniRead, OverLongNamesAndLinesAreCutWithoutHarm) {
    const std::string longName(300, 'N');
    const std::string longValue(2000, 'v');
    Doc doc;
    ASSERT_EQ(readText(doc, "[" + longName + "]\n" + longName + " = 1\nV = " + longValue + "\n[" +
                                std::string(2000, 'X') + "]\nW = 2\n"),
              0);
    const std::string cut(255, 'N');
    EXPECT_TRUE(Ini_SectionExists(doc, cut.c_str()));
    EXPECT_EQ(getString(doc, cut.c_str(), cut.c_str()), "1");
    // A 2004-character line keeps its first 1024 characters: "V = " and 1020 of the value.
    EXPECT_EQ(getString(doc, cut.c_str(), "V"), std::string(1020, 'v'));
    // A header cut before its closing bracket is no header: W stays in the section before.
    EXPECT_EQ(getString(doc, cut.c_str(), "W"), "2");
    Doc back; // and what is written reads back the same
    ASSERT_EQ(readText(back, writeText(doc)), 0);
    EXPECT_EQ(writeText(back), writeText(doc));
}

TEST(IniRead, AppendsToADocumentThatHoldsSections) {
    Doc doc;
    Ini_PutInt(doc, "S", "A", 1);
    ASSERT_EQ(readText(doc, "[S]\nA=2\nB=3\n"), 0);
    EXPECT_EQ(writeText(doc), crlf("[S]\nA = 1\n\n[S]\nA = 2\nB = 3\n\n"));
}

TEST(IniRead, ChangedTokens) {
    Doc doc;
    ASSERT_EQ(Ini_SetTokens(doc, '<', '>', ":=", "#"), 0);
    ASSERT_EQ(readText(doc, "# c\n<S>\nA := \"1\"\nB = 2\n[T]\n"), 0);
    EXPECT_EQ(getString(doc, "S", "A"), "1");
    EXPECT_EQ(getString(doc, "S", "B"), "<missing>");
    EXPECT_EQ(writeText(doc), crlf("# c\n<S>\nA := \"1\"\n\n"));
    ASSERT_EQ(Ini_SetTokens(doc, 0, 0, "", nullptr), 0); // zero and empty leave tokens as they are
    EXPECT_EQ(writeText(doc), crlf("# c\n<S>\nA := \"1\"\n\n"));
}

int failingSource(void *context, char *line, int, int *lineNumber, int *endOfFile) {
    int &calls = *static_cast<int *>(context);
    if (++calls > 2) return INI_ERR_READ;
    std::strcpy(line, calls == 1 ? "[S]" : "A=1");
    *lineNumber = calls;
    *endOfFile = 0;
    return 0;
}

TEST(IniRead, FailurePartWayKeepsWhatWasRead) {
    Doc doc;
    int calls = 0;
    EXPECT_EQ(Ini_ReadGeneric(doc, failingSource, &calls), INI_ERR_READ);
    EXPECT_EQ(getString(doc, "S", "A"), "1");
}

} // namespace
