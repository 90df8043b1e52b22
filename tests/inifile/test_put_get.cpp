// Puts and gets on the document: duplicate checking, name matching, the buffer and copy
// forms, sorted documents, many keys, missing arguments.
#include "ini_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(IniPutGet, PutReplacesEveryItemOfTheTagAtTheFirstPosition) {
    Doc doc;
    ASSERT_EQ(readText(doc, "[S]\nA=1\nB=2\na=3\nC=4\n A =5\n"), 0);
    ASSERT_EQ(Ini_PutInt(doc, "s", "A", 9), 0);
    EXPECT_EQ(writeText(doc), crlf("[S]\nA = 9\nB = 2\nC = 4\n\n"));
    ASSERT_EQ(Ini_PutString(doc, "S", "D", "new"), 0); // a new tag is appended
    ASSERT_EQ(Ini_PutString(doc, "T", "E", "x"), 0);   // a new section too
    EXPECT_EQ(writeText(doc), crlf("[S]\nA = 9\nB = 2\nC = 4\nD = \"new\"\n\n[T]\nE = \"x\"\n\n"));
}

TEST(IniPutGet, WithoutDuplicateCheckingEarlierItemsStayAndGetsFindTheFirst) {
    Doc doc;
    ASSERT_EQ(Ini_SetDuplicateChecking(doc, 0), 0);
    Ini_PutInt(doc, "S", "A", 1);
    Ini_PutInt(doc, "S", "A", 2);
    int value = 0;
    EXPECT_EQ(Ini_GetInt(doc, "S", "A", &value), 1);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(writeText(doc), crlf("[S]\nA = 1\nA = 2\n\n"));
}

TEST(IniPutGet, NamesMatchWithoutCaseAndSurroundingBlanks) {
    Doc doc;
    Ini_PutString(doc, "  GENERAL INFO ", " File Type: ", "Panel Settings");
    EXPECT_EQ(getString(doc, "general info", "FILE TYPE:"), "Panel Settings");
    EXPECT_EQ(getString(doc, "\tGeneral Info\t", "file type:  "), "Panel Settings");
    EXPECT_EQ(getString(doc, "GENERAL  INFO", "FILE TYPE:"), "<missing>"); // inner blanks count
    EXPECT_TRUE(Ini_SectionExists(doc, "general info"));
    EXPECT_FALSE(Ini_SectionExists(doc, "general"));
    EXPECT_EQ(Ini_ItemExists(doc, "GENERAL INFO", "file type:"), 1);
    EXPECT_EQ(Ini_ItemExists(doc, "GENERAL INFO", "file"), 0);
    EXPECT_EQ(Ini_ItemExists(doc, "nowhere", "file type:"), 0);
    // Names are stored trimmed.
    EXPECT_EQ(writeText(doc), crlf("[GENERAL INFO]\nFile Type: = \"Panel Settings\"\n\n"));
}

TEST(IniPutGet, StringIntoBufferCutsAndClears) {
    Doc doc;
    Ini_PutString(doc, "S", "T", "abcdef");
    char buffer[4] = "zzz";
    EXPECT_EQ(Ini_GetStringIntoBuffer(doc, "S", "T", buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(Ini_GetStringIntoBuffer(doc, "S", "missing", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    char one[1] = {'x'};
    EXPECT_EQ(Ini_GetStringIntoBuffer(doc, "S", "T", one, 1), 1);
    EXPECT_EQ(one[0], '\0');
}

TEST(IniPutGet, PointerToStringLivesInTheResultBufferCopyIsOwned) {
    Doc doc;
    const std::string big(5000, 'q');
    Ini_PutString(doc, "S", "BIG", big.c_str());
    Ini_PutString(doc, "S", "SMALL", "tab\there");
    const char *text = nullptr;
    ASSERT_EQ(Ini_GetPointerToString(doc, "S", "BIG", &text), 1);
    EXPECT_EQ(std::string(text), big);
    ASSERT_EQ(Ini_GetPointerToString(doc, "S", "SMALL", &text), 1);
    EXPECT_STREQ(text, "tab\there");
    char *copy = nullptr;
    ASSERT_EQ(Ini_GetStringCopy(doc, "S", "SMALL", &copy), 1);
    Ini_PutString(doc, "S", "SMALL", "changed");
    EXPECT_STREQ(copy, "tab\there");
    free(copy);
    ASSERT_EQ(Ini_GetRawStringCopy(doc, "S", "SMALL", &copy), 1);
    EXPECT_STREQ(copy, "changed");
    free(copy);
    EXPECT_EQ(Ini_GetStringCopy(doc, "S", "none", &copy), 0);
    EXPECT_EQ(copy, nullptr);
    char raw[16];
    Ini_PutString(doc, "S", "Q", "a\"b");
    EXPECT_EQ(Ini_GetRawStringIntoBuffer(doc, "S", "Q", raw, sizeof raw), 1);
    EXPECT_STREQ(raw, "a\\\"b");
}

TEST(IniPutGet, NullStringPutsEmptyAndEmptyQuotedRoundTrips) {
    Doc doc;
    ASSERT_EQ(Ini_PutString(doc, "S", "E", nullptr), 0);
    EXPECT_EQ(writeText(doc), crlf("[S]\nE = \"\"\n\n"));
    Doc back;
    readText(back, writeText(doc));
    EXPECT_EQ(getString(back, "S", "E"), "");
}

TEST(IniPutGet, ValueTextOfEachPut) {
    Doc doc;
    Ini_PutInt(doc, "S", "I", -2147483647 - 1);
    Ini_PutUInt(doc, "S", "U", 4294967295u);
    Ini_PutDouble(doc, "S", "D", 0.1);
    Ini_PutDouble(doc, "S", "E", 1e300);
    Ini_PutDouble(doc, "S", "F", -2.5);
    Ini_PutBoolean(doc, "S", "B", 7);
    Ini_PutBoolean(doc, "S", "C", 0);
    Ini_PutRawString(doc, "S", "R", "a\\b");
    EXPECT_EQ(writeText(doc), crlf("[S]\nI = -2147483648\nU = 4294967295\nD = 0.1\nE = 1e+300\n"
                                   "F = -2.5\nB = True\nC = False\nR = \"a\\b\"\n\n"));
    Ini_SetAddQuotesToStrings(doc, 0);
    Ini_PutString(doc, "S", "R", "x y");
    EXPECT_NE(writeText(doc).find("R = x y\r\n"), std::string::npos);
}

TEST(IniPutGet, ManyKeysFirstMatchWinsAndPutsKeepOrder) {
    // Enough sections and items for the lookups to use their indexes.
    Doc doc;
    Ini_SetDuplicateChecking(doc, 0);
    for (int s = 0; s < 50; ++s)
        for (int k = 0; k < 50; ++k)
            Ini_PutInt(doc, ("Sec" + std::to_string(s)).c_str(),
                       ("Key" + std::to_string(k)).c_str(), s * 100 + k);
    Ini_PutInt(doc, "sec7", "key3", -1); // a second KEY3 in SEC7: the first still wins
    int value = 0;
    for (int s = 0; s < 50; s += 7)
        for (int k = 0; k < 50; k += 3) {
            ASSERT_EQ(Ini_GetInt(doc, ("SEC" + std::to_string(s)).c_str(),
                                 ("key" + std::to_string(k)).c_str(), &value),
                      1);
            EXPECT_EQ(value, s * 100 + k);
        }
    // A duplicate section read from text: the first one answers.
    ASSERT_EQ(readText(doc, "[SEC7]\nKEY3=77\nONLY=1\n"), 0);
    EXPECT_EQ(Ini_GetInt(doc, "sec7", "key3", &value), 1);
    EXPECT_EQ(value, 703);
    EXPECT_EQ(Ini_GetInt(doc, "sec7", "only", &value), 0);
    // Duplicate checking on again: the put replaces both KEY3 of the first SEC7.
    Ini_SetDuplicateChecking(doc, 1);
    Ini_PutInt(doc, "SEC7", "KEY3", 5);
    Ini_PutInt(doc, "SEC7", "KEY60", 60);
    EXPECT_EQ(Ini_GetInt(doc, "SEC7", "KEY3", &value), 1);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(Ini_GetInt(doc, "SEC7", "KEY4", &value), 1);
    EXPECT_EQ(value, 704);
    EXPECT_EQ(Ini_GetInt(doc, "SEC7", "KEY60", &value), 1);
    EXPECT_EQ(value, 60);
    const std::string text = writeText(doc);
    EXPECT_EQ(text.find("KEY3 = -1"), std::string::npos);
    EXPECT_NE(text.find("Key2 = 702\r\nKEY3 = 5\r\nKey4 = 704"), std::string::npos);
}

TEST(IniPutGet, SortedDocumentKeepsNameOrder) {
    Doc doc(1);
    Ini_PutInt(doc, "b", "z", 1);
    Ini_PutInt(doc, "B", "a", 2);
    Ini_PutInt(doc, "A", "m", 3);
    Ini_PutInt(doc, "c", "Z", 4);
    Ini_PutInt(doc, "b", "Z", 5); // replaces z
    EXPECT_EQ(writeText(doc), crlf("[A]\nm = 3\n\n[b]\na = 2\nZ = 5\n\n[c]\nZ = 4\n\n"));
    Doc read(1);
    ASSERT_EQ(readText(read, "[Y]\nb=1\na=2\nB=3\n[X]\nk=1\n"), 0);
    EXPECT_EQ(writeText(read), crlf("[X]\nk = 1\n\n[Y]\na = 2\nb = 1\nB = 3\n\n"));
    int value = 0;
    EXPECT_EQ(Ini_GetInt(read, "y", "B", &value), 1);
    EXPECT_EQ(value, 1);
}

TEST(IniPutGet, LineOfLastAccess) {
    Doc doc;
    readText(doc, "; c\n[S]\n\nA=1\nB=2\n");
    EXPECT_EQ(Ini_LineOfLastAccess(doc), -1);
    int value = 0;
    Ini_GetInt(doc, "S", "B", &value);
    EXPECT_EQ(Ini_LineOfLastAccess(doc), 5);
    Ini_GetInt(doc, "S", "none", &value);
    EXPECT_EQ(Ini_LineOfLastAccess(doc), -1);
    Ini_PutInt(doc, "S", "C", 3);
    Ini_GetInt(doc, "S", "C", &value);
    EXPECT_EQ(Ini_LineOfLastAccess(doc), 0);
}

TEST(IniPutGet, MissingArgumentsAndSettings) {
    Doc doc;
    const char *text = nullptr;
    int value = 0;
    EXPECT_EQ(Ini_PutString(nullptr, "S", "T", "x"), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_PutInt(doc, nullptr, "T", 1), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_PutInt(doc, "S", nullptr, 1), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_PutData(doc, "S", "T", nullptr, 3), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_GetPointerToString(doc, "S", "T", nullptr), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_GetPointerToString(nullptr, "S", "T", &text), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_GetInt(doc, "S", "T", nullptr), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_GetInt(nullptr, "S", "T", &value), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_WriteGeneric(doc, nullptr, nullptr), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_ReadGeneric(doc, nullptr, nullptr), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_ReadFromFile(nullptr, "x"), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_WriteToFile(nullptr, "x"), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_SetMaxValueLineLength(doc, 1025), INI_ERR_MAX_LINE_LENGTH);
    EXPECT_EQ(Ini_SetMaxValueLineLength(doc, -1), INI_ERR_MAX_LINE_LENGTH);
    EXPECT_EQ(Ini_SetMaxValueLineLength(doc, 1024), 0);
    EXPECT_FALSE(Ini_SectionExists(nullptr, "S"));
    Ini_Dispose(nullptr); // allowed
}

TEST(IniPutGet, EnumerationListsSectionsWithDuplicatesAndTheItemsOfTheFirstSection) {
    Doc doc;
    ASSERT_EQ(readText(doc, "[Press 1]\nTCP = h:1\nBAUD=9600\n[Press 2]\n[ press 1 ]\nX=1\n"), 0);
    ASSERT_EQ(Ini_NumberOfSections(doc), 3);
    std::string names;
    for (int i = 0; i < 3; ++i) {
        const char *name = nullptr;
        ASSERT_EQ(Ini_NthSectionName(doc, i, &name), 1);
        names += std::string(name) + "|";
    }
    EXPECT_EQ(names, "Press 1|Press 2|press 1|");
    const char *name = nullptr;
    EXPECT_EQ(Ini_NthSectionName(doc, 3, &name), 0);
    EXPECT_EQ(Ini_NthSectionName(doc, -1, &name), 0);

    // Items of the first section of the name only; a missing or empty section has none.
    ASSERT_EQ(Ini_NumberOfItems(doc, "PRESS 1"), 2);
    const char *tag = nullptr;
    ASSERT_EQ(Ini_NthItemName(doc, "press 1", 1, &tag), 1);
    EXPECT_STREQ(tag, "BAUD");
    EXPECT_EQ(Ini_NthItemName(doc, "press 1", 2, &tag), 0);
    EXPECT_EQ(Ini_NumberOfItems(doc, "Press 2"), 0);
    EXPECT_EQ(Ini_NumberOfItems(doc, "Press 3"), 0);
    EXPECT_EQ(Ini_NthItemName(doc, "Press 3", 0, &tag), 0);

    EXPECT_EQ(Ini_NumberOfSections(nullptr), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_NthSectionName(doc, 0, nullptr), INI_ERR_NULL_ARGUMENT);
    EXPECT_EQ(Ini_NthItemName(doc, nullptr, 0, &tag), INI_ERR_NULL_ARGUMENT);
}

} // namespace
