// The shift log of taviron publish with its clocks in the test's hand: a row per change in the
// file of the row's local date (midnight crossed without waiting for it), rows on disk once they
// have waited half a second, a file of the same day continued (a row cut off by a power failure
// cut back, another file's header refused), and a folder that cannot be made said.
#include "cli/live_rows.h"
#include "cli/shift_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// 2026-12-11T23:59:59.600+01:00.
constexpr std::int64_t kBeforeMidnight = 1797029999600;
constexpr int kCet = 3600;

std::string ReadAll(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

LiveDataRec Values(std::uint32_t period) {
    return {period, 200, 300, 280, 320, 0, 1, 0b0101};
}

class CliShiftLog : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/taviron-log-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        folder_ = dir_ / "line1" / "press4";
    }
    void TearDown() override { fs::remove_all(dir_); }

    const std::string header_ = "time,cntPeriod,cntGap,cntStroke,lowerTolLimit,upperTolLimit,"
                                "badCntLower,badCntUpper,out0,out1,out2,out3\n";
    fs::path dir_, folder_;
    std::string error_;
};

// Rows around midnight land in the files of their local dates (not the UTC date: 00:30 in
// UTC+1 is the day before in UTC), each file with its header; repeated values are no row.
TEST_F(CliShiftLog, MidnightStartsANewFileOfTheLocalDate) {
    {
        ShiftLog log(folder_.string(), CsvFormatOf(CsvStyle::Plain));
        ASSERT_TRUE(log.Open({kBeforeMidnight, kCet}, 1, &error_)) << error_;
        EXPECT_TRUE(log.Add(Values(1000), {kBeforeMidnight, kCet}, 10.0));
        EXPECT_TRUE(log.Add(Values(1000), {kBeforeMidnight + 100, kCet}, 10.1));
        EXPECT_TRUE(log.Add(Values(1001), {kBeforeMidnight + 399, kCet}, 10.2));
        EXPECT_TRUE(log.Add(Values(1002), {kBeforeMidnight + 400, kCet}, 10.3));
        EXPECT_EQ(log.Path(), (folder_ / "2026-12-12.csv").string());
        EXPECT_TRUE(log.Add(Values(1003), {kBeforeMidnight + 400 + 1800 * 1000, kCet}, 12.0));
    }
    EXPECT_EQ(ReadAll(folder_ / "2026-12-11.csv"),
              header_ + "2026-12-11T23:59:59.600+01:00,1000,200,300,280,320,0,1,1,0,1,0\n"
                        "2026-12-11T23:59:59.999+01:00,1001,200,300,280,320,0,1,1,0,1,0\n");
    EXPECT_EQ(ReadAll(folder_ / "2026-12-12.csv"),
              header_ + "2026-12-12T00:00:00.000+01:00,1002,200,300,280,320,0,1,1,0,1,0\n"
                        "2026-12-12T00:30:00.000+01:00,1003,200,300,280,320,0,1,1,0,1,0\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

// A row waits in memory for at most half a second of the steady clock, whatever the wall clock
// says; the German spreadsheet style uses ';' and the decimal comma, header included.
TEST_F(CliShiftLog, RowsAreOnDiskOnceTheyHaveWaitedHalfASecond) {
    const fs::path file = folder_ / "2026-12-11.csv";
    ShiftLog log(folder_.string(), CsvFormatOf(CsvStyle::ExcelDe));
    ASSERT_TRUE(log.Open({kBeforeMidnight, kCet}, 1, &error_)) << error_;
    const std::string header = "time;cntPeriod;cntGap;cntStroke;lowerTolLimit;upperTolLimit;"
                               "badCntLower;badCntUpper;out0;out1;out2;out3\n";
    EXPECT_EQ(ReadAll(file), header);
    log.Add(Values(7), {kBeforeMidnight - 5000, kCet}, 100.0);
    log.Add(Values(8), {kBeforeMidnight - 4000, kCet}, 100.2);
    EXPECT_TRUE(log.Tick(100.0 + ShiftLog::kMostWaiting));
    EXPECT_EQ(ReadAll(file), header +
                                 "2026-12-11T23:59:54,600+01:00;7;200;300;280;320;0;1;1;0;1;0\n"
                                 "2026-12-11T23:59:55,600+01:00;8;200;300;280;320;0;1;1;0;1;0\n");
    log.Add(Values(9), {kBeforeMidnight - 3000, kCet}, 100.6);
    EXPECT_TRUE(log.Tick(100.6 + ShiftLog::kMostWaiting));
    const std::string rows = ReadAll(file);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 4);
}

// Started again on the same day, the log continues the day's file: no second header, and a
// row the power failure cut off is cut back. A file of that name with other contents (the other
// CSV style, someone else's file) is refused and left as it was.
TEST_F(CliShiftLog, AFileOfTheSameDayIsContinuedOrRefused) {
    const fs::path file = folder_ / "2026-12-11.csv";
    fs::create_directories(folder_);
    const std::string before =
        header_ + "2026-12-11T08:00:00.000+01:00,5,200,300,280,320,0,1,1,0,1,0\n";
    std::ofstream(file, std::ios::binary) << before << "2026-12-11T08:00:00.100+01:00,6,20";
    {
        ShiftLog log(folder_.string(), CsvFormatOf(CsvStyle::Plain));
        ASSERT_TRUE(log.Open({kBeforeMidnight, kCet}, 1, &error_)) << error_;
        log.Add(Values(1000), {kBeforeMidnight, kCet}, 1.0);
    }
    EXPECT_EQ(ReadAll(file),
              before + "2026-12-11T23:59:59.600+01:00,1000,200,300,280,320,0,1,1,0,1,0\n");

    // Only a beginning of the header was written: it is written whole.
    std::ofstream(file, std::ios::binary) << "time,cntPer";
    {
        ShiftLog log(folder_.string(), CsvFormatOf(CsvStyle::Plain));
        ASSERT_TRUE(log.Open({kBeforeMidnight, kCet}, 1, &error_)) << error_;
    }
    EXPECT_EQ(ReadAll(file), header_);

    for (const std::string &other : {std::string("time;cntPeriod;cntGap\n"), std::string("x\n"),
                                     std::string("time,cntPeriod,cntGap\nnot ours")}) {
        std::ofstream(file, std::ios::binary) << other;
        ShiftLog log(folder_.string(), CsvFormatOf(CsvStyle::Plain));
        EXPECT_FALSE(log.Open({kBeforeMidnight, kCet}, 1, &error_)) << other;
        EXPECT_EQ(error_, "The log file has other columns or another CSV style (not mixed): " +
                              file.string());
        EXPECT_EQ(ReadAll(file), other);
    }
}

TEST_F(CliShiftLog, AFolderThatCannotBeMadeIsSaid) {
    std::ofstream(dir_ / "line1") << "a file where the folder should be";
    ShiftLog log(folder_.string(), CsvFormatOf(CsvStyle::Plain));
    EXPECT_FALSE(log.Open({kBeforeMidnight, kCet}, 0, &error_));
    EXPECT_EQ(error_.rfind("Log-Ordner kann nicht angelegt werden: " + folder_.string() + ": ", 0),
              0u)
        << error_;
}

} // namespace
