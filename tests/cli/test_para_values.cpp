// The parameters as typed for `set`: every name the page or the file gives them, values within
// what the page's controls hold, and the names and ranges kept equal to the panels and the
// language files they come from.
#include "cli/para_values.h"
#include "inifile/inifile.h"
#include "params/layout/para_names.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

TEST(CliParaValues, EveryNameAPersonTypesFindsItsParameter) {
    const struct {
        const char *name;
        int index;
    } cases[] = {
        {"STROKE TOLERANCE", 0},  {"stroke tolerance", 0}, {"stroke-tolerance", 0},
        {"STROKE_TOLERANCE", 0},  {"StrokeTolerance", 0},  {"STANZHUB TOLERANZ", 0},
        {" BAD CNT TO FAIL ", 1}, {"badcnttofail", 1},     {"FEHLER BIS SCHALTEN", 1},
        {"DIGITAL OUTMODE", 2},   {"DigitalOutmode", 2},   {"CNT STROKE EDGE", 3},
        {"stanzhub-kante", 3},    {"STROKE", -1},          {"", -1},
        {"TOLERANCE", -1},        {"OUTMODE", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParaIndexOfName(c.name), c.index) << c.name;
}

TEST(CliParaValues, ValuesWithinWhatThePageHolds) {
    const struct {
        int index;
        const char *text;
        bool ok;
        int value;
    } cases[] = {
        {0, "0", true, 0},       {0, "65535", true, 65535},
        {0, "65536", false, 0},  {0, "99999999999", false, 0},
        {0, " 50 ", true, 50},   {0, "5O", false, 0},
        {0, "+5", false, 0},     {0, "DIRECT", false, 0},
        {1, "", false, 0},       {2, "0", true, 0},
        {2, "1", true, 1},       {2, "2", false, 0},
        {2, "inverse", true, 1}, {2, "DIREKT", true, 0},
        {2, "Invers", true, 1},  {3, "RISING", true, 0},
        {3, "fallend", true, 1}, {3, "INVERSE", false, 0},
    };
    for (const auto &c : cases) {
        std::uint16_t value = 12345;
        EXPECT_EQ(ParseParaValue(c.index, c.text, &value), c.ok) << c.index << " " << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(CliParaValues, AssignmentsAreWrittenOverASetInOrder) {
    ParaAssignment a{};
    EXPECT_EQ(ParseAssignment("BAD CNT TO FAIL = 7", &a), AssignmentError::None);
    EXPECT_EQ(a.index, 1);
    EXPECT_EQ(a.value, 7);
    EXPECT_EQ(ParseAssignment("BadCntToFail", &a), AssignmentError::Malformed);
    EXPECT_EQ(ParseAssignment("=3", &a), AssignmentError::Malformed);
    EXPECT_EQ(ParseAssignment("BadCntToFail=", &a), AssignmentError::Malformed);
    EXPECT_EQ(ParseAssignment("Speed=3", &a), AssignmentError::UnknownName);
    EXPECT_EQ(ParseAssignment("BadCntToFail=3=4", &a), AssignmentError::OutOfRange);

    std::uint16_t values[4] = {50, 25, 0, 0};
    ApplyAssignments({{3, 1}, {0, 60}}, values);
    EXPECT_EQ(values[0], 60);
    EXPECT_EQ(values[1], 25);
    EXPECT_EQ(values[2], 0);
    EXPECT_EQ(values[3], 1);
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text of `property` within the widget named `control` of the panels' file.
std::string UirProperty(const std::string &uir, const std::string &control,
                        const std::string &property) {
    const std::size_t widget = uir.find("name=\"" + control + "\"");
    if (widget == std::string::npos) return "<no control>";
    const std::size_t end = uir.find("</widget>", widget);
    const std::size_t at = uir.find("<property name=\"" + property + "\"", widget);
    if (at == std::string::npos || at > end) return "<no property>";
    const std::size_t open = uir.find('>', uir.find('<', uir.find('>', at) + 1)) + 1;
    return uir.substr(open, uir.find('<', open) - open);
}

TEST(CliParaValues, NamesAndRangesAreThoseOfTheParameterPage) {
    const std::string uir = ReadFile(TAVIRON_SOURCE_DIR "/resources/Tavironv10.uir");
    ASSERT_FALSE(uir.empty());
    const char *controls[4] = {"PARA_STROKE_TOL", "PARA_BAD_CNT_TO_FAIL", "PARA_DIG_OUTMODE",
                               "PARA_CNT_STROKE_EDGE"};
    IniText ger = Ini_New(0);
    IniText eng = Ini_New(0);
    ASSERT_EQ(Ini_ReadFromFile(ger, TAVIRON_SOURCE_DIR "/resources/language_ger.lwl"), 0);
    ASSERT_EQ(Ini_ReadFromFile(eng, TAVIRON_SOURCE_DIR "/resources/language_eng.lwl"), 0);
    for (int i = 0; i < 4; ++i) {
        const ParaName &p = kParaNames[i];
        EXPECT_EQ(UirProperty(uir, controls[i], "label"), p.fileKey);
        char label[256];
        ASSERT_EQ(Ini_GetStringIntoBuffer(ger, controls[i], "Label", label, sizeof label), 1);
        EXPECT_STREQ(label, p.pageLabel);
        ASSERT_EQ(Ini_GetStringIntoBuffer(eng, controls[i], "Label", label, sizeof label), 1);
        EXPECT_STREQ(label, p.fileKey);
        if (ParaIsChoice(i)) {
            EXPECT_EQ(UirProperty(uir, controls[i], "itemValues"), "0,1") << controls[i];
            for (int v = 0; v < 2; ++v) {
                const std::string key = "ItemLabel_" + std::to_string(v);
                ASSERT_EQ(
                    Ini_GetStringIntoBuffer(ger, controls[i], key.c_str(), label, sizeof label), 1);
                EXPECT_STREQ(label, p.choices[v].ger);
                ASSERT_EQ(
                    Ini_GetStringIntoBuffer(eng, controls[i], key.c_str(), label, sizeof label), 1);
                EXPECT_STREQ(label, p.choices[v].eng);
            }
        } else {
            EXPECT_EQ(UirProperty(uir, controls[i], "minimum"), "0") << controls[i];
            EXPECT_EQ(UirProperty(uir, controls[i], "maximum"), std::to_string(p.maximum));
        }
    }
    Ini_Dispose(ger);
    Ini_Dispose(eng);
}

} // namespace
