// The comparison of a parameter set sent with the set read back, and the texts that say what a
// transfer did, without a window or a sensor: the cases the program's own tests do not reach.
#include "base/texts.h"
#include "linktext/linktext.h"
#include "params/verify/para_verify.h"

#include <gtest/gtest.h>

#include <ctime>

TEST(ParaVerdict, CountsAndNamesEveryDifferenceInParameterOrder) {
    const std::uint16_t sent[4] = {50, 25, 0, 0};
    const std::uint16_t held[4] = {49, 26, 1, 1};
    const ParaVerdict v = VerifySentSet(MemoryRam, false, sent, held, 1, "14:02:11");
    EXPECT_EQ(v.differing, 4);
    EXPECT_EQ(v.statusLine, "Sent to RAM and read back: 4 of 4 differ (14:02:11)");
    EXPECT_EQ(v.popup,
              "Sent to RAM and read back: 4 of 4 differ (14:02:11)\n\n"
              "STROKE TOLERANCE: sent 50, read 49\nBAD CNT TO FAIL: sent 25, read 26\n"
              "DIGITAL OUTMODE: sent 0 (DIRECT), read 1 (INVERSE)\nCNT STROKE EDGE: sent 0 "
              "(RISING), read 1 (FALLING)");
}

// A set rejected although the sensor's defaults are what was sent: STATUS names the rejection,
// and there is no difference to show.
TEST(ParaVerdict, ARejectionWithoutDifferenceNeedsNoPopup) {
    const std::uint16_t set[4] = {50, 25, 0, 0};
    for (int language : {0, 1}) {
        const ParaVerdict v = VerifySentSet(MemoryEeprom, true, set, set, language, "14:02:11");
        EXPECT_EQ(v.differing, 0);
        EXPECT_EQ(v.statusLine, RejectedLine(language));
        EXPECT_TRUE(v.popup.empty());
    }
    EXPECT_EQ(RejectedLine(1),
              "Parameter in RAM did not pass plausibility check and were set to default value!");
}

TEST(ParaTexts, GetFileAndCompareLinesInBothLanguages) {
    const struct {
        std::string text, expected;
    } cases[] = {
        {GetStatusLine(MemoryFile, 0, "08:00:00", "/home/op/Parameter.ini"),
         "Aus Datei gelesen (08:00:00): /home/op/Parameter.ini"},
        {FileSavedLine("/home/op/Parameter.ini", 0, "08:00:00"),
         "In Datei gespeichert (08:00:00): /home/op/Parameter.ini"},
        {CompareStatusLine(0, 1, "08:00:00"), "RAM and EEPROM compared: all 4 equal (08:00:00)"},
        {CompareStatusLine(2, 0, "08:00:00"),
         "RAM und EEPROM verglichen: 2 von 4 verschieden (08:00:00)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.text, c.expected);
}

TEST(ParaTexts, ClockTextIsTheLocalTimeOfDay) {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 10;
    t.tm_mday = 28;
    t.tm_hour = 14;
    t.tm_min = 2;
    t.tm_sec = 11;
    t.tm_isdst = -1;
    EXPECT_EQ(ClockText(std::mktime(&t)), "14:02:11");
}

// Each row is measured against its first known value (RAM, else EEPROM, else the file); a value
// not known (offline, an item the file lacks) neither differs nor makes its row differ.
TEST(ParaComparison, MarksRowsAndCellsAgainstTheFirstKnownValue) {
    ParaColumn ram, eeprom, file;
    const std::uint16_t r[4] = {60, 25, 0, 0}, e[4] = {50, 25, 0, 1}, f[4] = {60, 30, 7, 0};
    for (int i = 0; i < 4; ++i) {
        ram.value[i] = r[i];
        eeprom.value[i] = e[i];
        file.value[i] = f[i];
        eeprom.known[i] = file.known[i] = true;
    }
    ram.known[0] = ram.known[1] = ram.known[2] = true; // row 3: RAM not known
    file.known[2] = false;                             // row 2: the file lacks it
    const ParaColumn columns[3] = {ram, eeprom, file};
    const ParaComparison c = CompareColumns(columns);
    EXPECT_EQ(c.differingRows, 3);
    const bool rows[4] = {true, true, false, true};
    const bool cells[3][4] = {{false, false, false, false}, // RAM: the reference where known
                              {true, false, false, false},  // EEPROM 50 against RAM's 60
                              {false, true, false, true}};  // file 30 against 25; 0 against 1
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(c.rowDiffers[i], rows[i]) << "row " << i;
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(c.cellDiffers[col][i], cells[col][i]) << "column " << col << ", row " << i;
    }
    EXPECT_EQ(ParaValueText(2, 7, 1), "7") << "a value the ring does not offer: the number";
}
