// The report library on its own: wrong handles, attributes and image files are refused; a long
// report flows over several pages with every line kept and "Page n of m" on each; the text
// attributes reach the printed text.
#include "pdf_tools.h"

#include "platform/report.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class ReportTest : public ::testing::Test {
  protected:
    std::string dir;
    int report = 0;

    void SetUp() override {
        static char name[] = "test_scope";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(InitUserInterface(1, argv), 1);
        dir = MakeScratchDir();
        ASSERT_EQ(Report_New(&report), 0);
    }
    void TearDown() override {
        Report_Discard(report);
        RemoveTree(dir);
    }
};

TEST_F(ReportTest, RefusesWhatItCannotUse) {
    const int unknown = report + 1000;
    EXPECT_EQ(Report_AppendLine(unknown, "x"), REPORT_ERR_HANDLE);
    EXPECT_EQ(Report_Print(unknown, (dir + "/a.pdf").c_str(), 1), REPORT_ERR_HANDLE);
    EXPECT_EQ(Report_Discard(unknown), REPORT_ERR_HANDLE);
    EXPECT_EQ(Report_SetReportAttribute(report, 14, "x"), REPORT_ERR_ATTRIBUTE);
    EXPECT_EQ(Report_SetTextAttribute(report, REPORT_TEXT_FONT, 3), REPORT_ERR_ATTRIBUTE);
    EXPECT_EQ(Report_SetTextAttribute(report, REPORT_TEXT_POINT_SIZE, -4.0), REPORT_ERR_ATTRIBUTE);
    EXPECT_EQ(Report_SetTextAttribute(report, REPORT_TEXT_BOLD, "yes"), REPORT_ERR_ATTRIBUTE);
    EXPECT_EQ(Report_AppendImageFile(report, (dir + "/none.bmp").c_str(), "x"), REPORT_ERR_IMAGE);
    EXPECT_EQ(Report_Print(report, "", 1), REPORT_ERR_PRINTER);
    // No such queue; where the machine runs no print scheduler at all, none can be reached.
    const int noQueue = Report_Print(report, "no_such_printer", 1);
    EXPECT_TRUE(noQueue == REPORT_ERR_PRINTER || noQueue == REPORT_ERR_NO_SCHEDULER) << noQueue;
    EXPECT_EQ(Report_Print(report, (dir + "/no/such/dir/a.pdf").c_str(), 1),
              REPORT_ERR_PRINT_FAILED);

    // A discarded report is gone; a new one gets a handle of its own.
    int second = 0;
    ASSERT_EQ(Report_New(&second), 0);
    EXPECT_NE(second, report);
    EXPECT_EQ(Report_Discard(second), 0);
    EXPECT_EQ(Report_AppendLine(second, "x"), REPORT_ERR_HANDLE);
}

TEST_F(ReportTest, LongReportFlowsOverPagesWithEveryLineAndThePageNumbers) {
    Report_SetReportAttribute(report, REPORT_ATTR_FOOTER_RIGHT_TEXT, REPORT_FIELD_PAGE_N_OF_M);
    Report_SetReportAttribute(report, REPORT_ATTR_FOOTER_LEFT_TEXT, "left <time> end");
    const int kLines = 150;
    std::string block;
    for (int i = 1; i <= kLines; ++i) {
        // Half the lines come as one call with line breaks inside.
        std::string line = "line-" + std::to_string(i);
        if (i % 2)
            Report_AppendLine(report, line.c_str());
        else
            block += line + (i % 10 ? "\n" : "");
        if (i % 10 == 0) {
            Report_AppendLine(report, block.c_str());
            block.clear();
        }
    }
    std::string pdf = dir + "/long.pdf";
    ASSERT_EQ(Report_Print(report, pdf.c_str(), 1), 0);

    int pages = PdfPageCount(pdf);
    ASSERT_GE(pages, 2);
    std::string text = PdfText(pdf);
    for (int p = 1; p <= pages; ++p)
        EXPECT_NE(text.find("Page " + std::to_string(p) + " of " + std::to_string(pages)),
                  std::string::npos)
            << p;
    for (int i = 1; i <= kLines; ++i) {
        std::string word = "line-" + std::to_string(i) + "\n";
        size_t first = text.find(word);
        EXPECT_NE(first, std::string::npos) << word;
        EXPECT_EQ(text.find(word, first + 1), std::string::npos) << word << " twice";
    }
    // Only the known fields are filled in; other footer text stays as it is.
    EXPECT_NE(text.find("left "), std::string::npos);
    EXPECT_EQ(text.find("<time>"), std::string::npos);
    EXPECT_NE(text.find(" end"), std::string::npos);
}

TEST_F(ReportTest, TextAttributesApplyToTheLinesAfterThem) {
    Report_SetTextAttribute(report, REPORT_TEXT_POINT_SIZE, 20.0);
    Report_SetTextAttribute(report, REPORT_TEXT_BOLD, 1);
    Report_AppendLine(report, "Large");
    Report_SetTextAttribute(report, REPORT_TEXT_POINT_SIZE, 10);
    Report_SetTextAttribute(report, REPORT_TEXT_BOLD, 0);
    Report_AppendLine(report, "Small");
    std::string pdf = dir + "/attrs.pdf";
    ASSERT_EQ(Report_Print(report, pdf.c_str(), 1), 0);

    double large = 0, small = 0;
    for (const PdfWord &w : PdfWords(pdf)) {
        if (w.text == "Large") large = w.yMax - w.yMin;
        if (w.text == "Small") small = w.yMax - w.yMin;
    }
    ASSERT_GT(small, 0);
    EXPECT_NEAR(large / small, 2.0, 0.2);
    std::string fonts = RunCommand("pdffonts '" + pdf + "' 2>/dev/null");
    EXPECT_NE(fonts.find("Bold"), std::string::npos) << fonts;
}

} // namespace
