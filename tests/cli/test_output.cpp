// What taviron writes: CSV in both styles, ISO 8601 time stamps, live rows as CSV and JSON,
// JSON strings from sensor text, the tables people read, the language chosen and the worst
// exit code of a sensor list.
#include "base/csv_style.h"
#include "cli/exit_codes.h"
#include "cli/json.h"
#include "cli/language.h"
#include "cli/live_rows.h"
#include "cli/tables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CliCsv, BothStylesSeparateQuoteAndWriteDecimals) {
    const CsvFormat plain = CsvFormatOf(CsvStyle::Plain);
    const CsvFormat de = CsvFormatOf(CsvStyle::ExcelDe);
    EXPECT_EQ(CsvJoin({"a", "1", CsvDecimal(0.25, plain)}, plain), "a,1,0.25");
    EXPECT_EQ(CsvJoin({"a", "1", CsvDecimal(0.25, de)}, de), "a;1;0,25");
    const struct {
        double value;
        const char *plain, *de;
    } numbers[] = {{2000, "2000", "2000"}, {13.75, "13.75", "13,75"},
                   {-0.5, "-0.5", "-0,5"}, {1e-7, "0", "0"},
                   {-1e-9, "0", "0"},      {1.0 / 3, "0.333333", "0,333333"},
                   {0.0 / 0.0, "0", "0"}};
    for (const auto &n : numbers) {
        EXPECT_EQ(CsvDecimal(n.value, plain), n.plain);
        EXPECT_EQ(CsvDecimal(n.value, de), n.de);
    }
    // A field is quoted when it holds its style's separator, a quote or a line break.
    EXPECT_EQ(CsvField("a;b", plain), "a;b");
    EXPECT_EQ(CsvField("a;b", de), "\"a;b\"");
    EXPECT_EQ(CsvField("a,b", plain), "\"a,b\"");
    EXPECT_EQ(CsvField("a,b", de), "a,b");
    EXPECT_EQ(CsvField("say \"hi\"", plain), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines", de), "\"two\r\nlines\"");
    CsvStyle style = CsvStyle::Plain;
    EXPECT_TRUE(ParseCsvStyle("excel-de", &style));
    EXPECT_EQ(style, CsvStyle::ExcelDe);
    EXPECT_STREQ(CsvStyleName(style), "excel-de");
    EXPECT_FALSE(ParseCsvStyle("Excel-DE", &style));
}

TEST(CliLiveRows, TimeStampsAreIso8601WithTheLocalOffset) {
    // 2026-12-11 00:16:38.123 UTC
    const std::int64_t t = 1796948198123;
    EXPECT_EQ(IsoTimestamp(t, 0, '.'), "2026-12-11T00:16:38.123+00:00");
    EXPECT_EQ(IsoTimestamp(t, 3600, '.'), "2026-12-11T01:16:38.123+01:00");
    EXPECT_EQ(IsoTimestamp(t, -5 * 3600 - 30 * 60, ','), "2026-12-10T18:46:38,123-05:30");
    EXPECT_EQ(IsoTimestamp(0, 0, '.'), "1970-01-01T00:00:00.000+00:00");
    EXPECT_EQ(IsoTimestamp(-1, 0, '.'), "1969-12-31T23:59:59.999+00:00");
    EXPECT_EQ(IsoTimestamp(951782400000, 0, '.'), "2000-02-29T00:00:00.000+00:00");
    EXPECT_EQ(IsoTimestamp(4107542399999, 0, '.'), "2100-02-28T23:59:59.999+00:00");
    // The clock's own time stamp has the same shape.
    const std::string now = IsoTimestampNow('.');
    ASSERT_EQ(now.size(), 29u) << now;
    EXPECT_EQ(now[10], 'T');
    EXPECT_EQ(now[19], '.');
}

LiveDataRec Sample() {
    LiveDataRec live{};
    live.CntPeriod = 20000;
    live.CntGap = 5000;
    live.CntStroke = 12345;
    live.LowerTolLimit = 11000;
    live.UpperTolLimit = 14000;
    live.BadCntLower = 2;
    live.BadCntUpper = 3;
    live.OutputBits = 0xFA; // OUT1 and OUT3; higher bits are not outputs
    return live;
}

TEST(CliLiveRows, RowsCarryEveryValueUnderTheProgramsNames) {
    const std::string time = "2026-12-11T01:16:38.123+01:00";
    EXPECT_EQ(LiveCsvHeader(CsvFormatOf(CsvStyle::Plain)),
              "time,cntPeriod,cntGap,cntStroke,lowerTolLimit,upperTolLimit,badCntLower,"
              "badCntUpper,out0,out1,out2,out3");
    EXPECT_EQ(LiveCsvRow(time, Sample(), CsvFormatOf(CsvStyle::Plain)),
              "2026-12-11T01:16:38.123+01:00,20000,5000,12345,11000,14000,2,3,0,1,0,1");
    EXPECT_EQ(LiveCsvRow("2026-12-11T01:16:38,123+01:00", Sample(), CsvFormatOf(CsvStyle::ExcelDe)),
              "2026-12-11T01:16:38,123+01:00;20000;5000;12345;11000;14000;2;3;0;1;0;1");
    EXPECT_EQ(LiveJsonLine(time, Sample()),
              "{\"time\":\"2026-12-11T01:16:38.123+01:00\",\"cntPeriod\":20000,\"cntGap\":5000,"
              "\"cntStroke\":12345,\"lowerTolLimit\":11000,\"upperTolLimit\":14000,"
              "\"badCntLower\":2,\"badCntUpper\":3,\"out\":[0,1,0,1]}");
    LiveDataRec big{};
    big.CntPeriod = 4294967295u;
    EXPECT_NE(LiveJsonLine(time, big).find("\"cntPeriod\":4294967295,"), std::string::npos);
}

TEST(CliLiveRows, ChangesPassTheFirstRowAndEveryChangeOfAShownValue) {
    LiveChangeFilter filter;
    LiveDataRec live = Sample();
    EXPECT_TRUE(filter.Take(live));
    EXPECT_FALSE(filter.Take(live));
    live.OutputBits |= 0x100; // not an output: not shown, no change
    EXPECT_FALSE(filter.Take(live));
    live.OutputBits ^= 0x1;
    EXPECT_TRUE(filter.Take(live));
    EXPECT_FALSE(filter.Take(live));
    live.BadCntUpper = 4;
    EXPECT_TRUE(filter.Take(live));
    live.BadCntUpper = 3; // back to an earlier value is a change too
    EXPECT_TRUE(filter.Take(live));
}

TEST(CliJson, StringsAreValidUtf8WhateverTheSensorSends) {
    const struct {
        std::string text;
        const char *json;
    } cases[] = {
        {"TAVIRON PS-1", "\"TAVIRON PS-1\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"tab\tline\nret\r", "\"tab\\tline\\nret\\r\""},
        {std::string("nul\0x\x1f\x7f", 7), "\"nul\\u0000x\\u001f\\u007f\""},
        {"Süd €", "\"Süd €\""}, // valid UTF-8 as it is
        {"S\xfc"
         "d",
         "\"Süd\""},                                           // Latin-1 ü
        {"\xc3", "\"Ã\""},                                     // a sequence cut short
        {"\xc0\xaf", "\"À¯\""},                                // an overlong form
        {"\xed\xa0\x80", "\"í\xc2\xa0\xc2\x80\""},             // a surrogate
        {"\xf4\x90\x80\x80", "\"ô\xc2\x90\xc2\x80\xc2\x80\""}, // beyond U+10FFFF
    };
    for (const auto &c : cases)
        EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

TEST(CliJson, WriterSeparatesMembersAndElementsAtEveryLevel) {
    JsonWriter json;
    json.BeginObject()
        .Key("command")
        .String("diff")
        .Key("sets")
        .BeginArray()
        .BeginObject()
        .Key("name")
        .String("RAM")
        .Key("values")
        .BeginArray()
        .Int(50)
        .Int(-1)
        .EndArray()
        .EndObject()
        .BeginObject()
        .EndObject()
        .EndArray()
        .Key("differ")
        .Bool(true)
        .Key("file")
        .Null()
        .Key("raw")
        .Raw("[1]")
        .EndObject();
    EXPECT_EQ(json.Text(), "{\"command\":\"diff\",\"sets\":[{\"name\":\"RAM\",\"values\":[50,-1]},"
                           "{}],\"differ\":true,\"file\":null,\"raw\":[1]}");
}

TEST(CliTables, ParametersAsNameValueLinesWithThePagesNames) {
    EXPECT_EQ(ParaLines({50, 25, 0, 1}, 1),
              "STROKE TOLERANCE = 50\nBAD CNT TO FAIL = 25\nDIGITAL OUTMODE = 0\n"
              "CNT STROKE EDGE = 1\n");
    EXPECT_EQ(ParaLines({50, 25, 0, 1}, 0),
              "STANZHUB TOLERANZ = 50\nFEHLER BIS SCHALTEN = 25\nDIGITAL OUTMODE = 0\n"
              "STANZHUB KANTE = 1\n");
}

TEST(CliTables, DiffMarksEveryRowWhoseSetsDisagree) {
    const std::vector<NamedSet> sets = {
        {"RAM", {60, 25, 0, 1}}, {"EEPROM", {50, 25, 0, 1}}, {"FILE", {50, 25, 1, 1}}};
    EXPECT_EQ(DifferingParameters(sets), (std::vector<int>{0, 2}));
    EXPECT_EQ(DiffTable(sets, 1), "                  RAM  EEPROM  FILE\n"
                                  "STROKE TOLERANCE   60      50    50  differs\n"
                                  "BAD CNT TO FAIL    25      25    25\n"
                                  "DIGITAL OUTMODE     0       0     1  differs\n"
                                  "CNT STROKE EDGE     1       1     1\n");
    EXPECT_EQ(DiffTable({{"RAM", {50, 25, 0, 0}}, {"EEPROM", {50, 25, 0, 0}}}, 0),
              "                     RAM  EEPROM\n"
              "STANZHUB TOLERANZ     50      50\n"
              "FEHLER BIS SCHALTEN   25      25\n"
              "DIGITAL OUTMODE        0       0\n"
              "STANZHUB KANTE         0       0\n");
    EXPECT_TRUE(DifferingParameters({{"RAM", {1, 2, 3, 4}}, {"EEPROM", {1, 2, 3, 4}}}).empty());
}

TEST(CliTables, SetShowsWhatWasWrittenAndReadBack) {
    const ParaSet written = {50, 25, 0, 0};
    const ParaSet readBack = {49, 25, 0, 0};
    EXPECT_EQ(SetTable(written, &readBack, 1), "                  written  read back\n"
                                               "STROKE TOLERANCE       50         49  differs\n"
                                               "BAD CNT TO FAIL        25         25\n"
                                               "DIGITAL OUTMODE         0          0\n"
                                               "CNT STROKE EDGE         0          0\n");
    EXPECT_EQ(SetTable(written, nullptr, 0), "                     geschrieben\n"
                                             "STANZHUB TOLERANZ             50\n"
                                             "FEHLER BIS SCHALTEN           25\n"
                                             "DIGITAL OUTMODE                0\n"
                                             "STANZHUB KANTE                 0\n");
}

TEST(CliTables, IdentityAndSummaryLineUpByCharacters) {
    EXPECT_EQ(IdentityLines("TAVIRON V1.0.3 2026-11-28", "TAVIRON PS-1", 4711, 1),
              "Firmware: TAVIRON V1.0.3 2026-11-28\nSensor: TAVIRON PS-1\nSerial number: 4711\n");
    EXPECT_EQ(IdentityLines("F", "N", 65535, 0), "Firmware: F\nSensor: N\nSeriennummer: 65535\n");
    const std::vector<SensorResult> results = {
        {"Presse Süd", "COM3", 0, "backup/Presse Süd.ini"},
        {"Press 12", "press12:5000", 3, "Unable to establish connection"},
    };
    EXPECT_EQ(SummaryTable(results, 1),
              "Sensor      Connection    Result\n"
              "Presse Süd  COM3          0 done                             backup/Presse Süd.ini\n"
              "Press 12    press12:5000  3 no connection or wrong identity  Unable to establish "
              "connection\n");
    EXPECT_EQ(SummaryTable({{"A", "COM1", 1, ""}}, 0), "Sensor  Verbindung  Ergebnis\n"
                                                       "A       COM1        1 Unterschiede "
                                                       "gefunden\n");
}

TEST(CliLanguage, TheLangOptionNamesGermanOrEnglish) {
    EXPECT_EQ(LanguageFromOption("de"), 0);
    EXPECT_EQ(LanguageFromOption("en"), 1);
    EXPECT_EQ(LanguageFromOption("DE"), -1);
}

TEST(CliExitCodes, TheWorstCodeOfAListOutranksDoneAndDifferences) {
    int worst = kExitDone;
    for (int code : {kExitDone, kExitDifferences, kExitDone})
        worst = WorstCode(worst, code);
    EXPECT_EQ(worst, kExitDifferences);
    for (int code : {kExitNoConnection, kExitDifferences, kExitDone})
        worst = WorstCode(worst, code);
    EXPECT_EQ(worst, kExitNoConnection);
    EXPECT_EQ(WorstCode(kExitFile, kExitLinkFailure), kExitFile);
}

} // namespace
