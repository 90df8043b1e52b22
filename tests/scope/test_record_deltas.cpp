// The cursor deltas follow the record: after a second recording the delta displays, the
// printout and the exported CSV give the distance and the signal difference of the new trace
// at the cursors, not what was measured on the record before.
#include "pdf_tools.h"
#include "recorder_fixture.h"

#include "Tavironv10.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>

namespace {

struct Cursors {
    int x1, x2; // samples
};

// The rows of a CSV file's header as name -> value (the text after the first comma).
std::map<std::string, std::string> CsvHeader(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::map<std::string, std::string> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) break; // the samples table follows
        const size_t comma = line.find(',');
        if (comma != std::string::npos) rows[line.substr(0, comma)] = line.substr(comma + 1);
    }
    return rows;
}

std::string Fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

class RecordDeltasTest : public RecorderTest {
  protected:
    std::string dir;

    void SetUp() override {
        RecorderTest::SetUp();
        if (HasFatalFailure()) return;
        dir = MakeScratchDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        RemoveTree(dir);
        RecorderTest::TearDown();
    }

    // A single-shot recording at `scanRate`; returns the analog trace drawn.
    std::vector<double> Record(int scanRate) {
        Settings(0, 2048, 0, scanRate);
        Click(App.ScopeTab, SCOPETAB_SCAN);
        std::vector<TestPlot> plots = TestGraphPlots(App.ScopePanel, SCOPEP_GRAPH);
        return plots.size() == 1 ? plots[0].y : std::vector<double>{};
    }

    // PRINT into a PDF file and EXPORT into a CSV file, both chosen in their dialogs.
    void PrintAndExport(const std::string &pdf, const std::string &csv) {
        SetPopupResponder([&](const PopupRecord &r, std::string *path) {
            popups.push_back(r);
            if (r.kind == "print") *path = pdf;
            if (r.kind == "file") *path = csv;
            return r.kind == "file" ? VAL_NEW_FILE_SELECTED : 1;
        });
        Click(App.ScopePanel, SCOPEP_PRINT);
        Click(App.ScopePanel, SCOPEP_EXPORT);
    }
};

TEST_F(RecordDeltasTest, ASecondRecordingGivesTheDeltasOfItsOwnTraceOnScreenPaperAndFile) {
    Connect(1);
    Click(App.ScopeTab, SCOPETAB_GET_CYCLE_TIME);
    ASSERT_GT(App.CycleTime, 0);

    const std::vector<double> first = Record(1);
    ASSERT_EQ(first.size(), 128u);
    const Cursors c{25, 100};
    TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 1, c.x1, 0);
    TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 2, c.x2, 0);
    TestProcessEvents(5);
    ASSERT_EQ(CtrlInt(App.ScopePanel, SCOPEP_DELTA_Y), int(std::abs(first[25] - first[100])));

    const std::vector<double> second = Record(4);
    ASSERT_EQ(second.size(), 128u);
    const int deltaY = int(std::abs(second[c.x1] - second[c.x2]));
    ASSERT_NE(deltaY, int(std::abs(first[25] - first[100])))
        << "the two records must differ at the cursors for this test to see stale deltas";
    const double deltaX = (c.x2 - c.x1) * App.CycleTime * 4;

    // On screen: the cursors stay at their samples and sit on the new trace.
    double x1, y1, x2, y2;
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, &x1, &y1);
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, &x2, &y2);
    EXPECT_EQ(x1, c.x1);
    EXPECT_EQ(x2, c.x2);
    EXPECT_EQ(y1, second[c.x1]);
    EXPECT_EQ(y2, second[c.x2]);
    EXPECT_EQ(CtrlInt(App.ScopePanel, SCOPEP_DELTA_Y), deltaY);
    EXPECT_NEAR(CtrlDouble(App.ScopePanel, SCOPEP_DELTA_X), deltaX, 1e-9);

    const std::string pdf = dir + "/second.pdf", csv = dir + "/second.csv";
    PrintAndExport(pdf, csv);

    // On paper: the deltas as the displays show them, with the cursors they come from.
    const int decimals = Precision(App.ScopePanel, SCOPEP_DELTA_X);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Delta X: " + Fixed(deltaX, decimals) + " ms"), std::string::npos) << text;
    EXPECT_NE(text.find("Delta Y: " + std::to_string(deltaY) + " digit"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Cursor 1: sample 25, " + std::to_string(int(second[c.x1])) + " digit"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Cursor 2: sample 100, " + std::to_string(int(second[c.x2])) + " digit"),
              std::string::npos)
        << text;

    // In the file: the same, beside the samples they refer to.
    std::map<std::string, std::string> header = CsvHeader(csv);
    EXPECT_EQ(header["Cursor 1 [sample]"], "25");
    EXPECT_EQ(header["Cursor 2 [sample]"], "100");
    EXPECT_EQ(header["Delta Y [digit]"], std::to_string(deltaY));
    ASSERT_FALSE(header["Delta X [ms]"].empty());
    EXPECT_NEAR(std::stod(header["Delta X [ms]"]), deltaX, 1e-6);
}

} // namespace
