// The printout through the PRINT button: the report printed into a PDF file chosen in the
// print dialog (answered by the test), read back with poppler's tools: rows in order, labels
// and recorder settings in both languages, the footer fields, the panel picture stored without
// loss; cancelling, and failing printers; the temporary picture file.
#include "pdf_tools.h"
#include "scope_fixture.h"
#include "tests/common/scratch_disk.h"

#include "Tavironv10.h"
#include "localui/localui.h"
#include "platform/report.h"
#include "platform/toolbox.h"
#include "scope/scope.h"
#include "scope/scope_graph.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <regex>

namespace {

class ScopePrintTest : public ScopeProgramTest {
  protected:
    std::string dir, tmp, pdf;
    std::string printAnswer;                  // what the print dialog returns; "" = cancel
    std::vector<std::string> tmpDuringDialog; // TMPDIR's files while the dialog is open
    mode_t screenshotMode = 0;
    std::string oldTmp;

    void SetUp() override {
        ScopeProgramTest::SetUp();
        dir = MakeScratchDir();
        ASSERT_FALSE(dir.empty());
        tmp = dir + "/tmp";
        ASSERT_EQ(mkdir(tmp.c_str(), 0700), 0);
        if (const char *t = std::getenv("TMPDIR")) oldTmp = t;
        setenv("TMPDIR", tmp.c_str(), 1);
        pdf = dir + "/scope report.pdf";
        printAnswer = pdf;
        SetPopupResponder([this](const PopupRecord &r, std::string *path) {
            popups.push_back(r);
            if (r.kind != "print") return 1;
            tmpDuringDialog = FilesIn(tmp);
            struct stat st {};
            if (tmpDuringDialog.size() == 1 &&
                stat((tmp + "/" + tmpDuringDialog[0]).c_str(), &st) == 0)
                screenshotMode = st.st_mode & 0777;
            if (printAnswer.empty()) return 0;
            *path = printAnswer;
            return 1;
        });
        const std::int16_t settings[4] = {2000, 1, 20, 2};
        ShowScopeRecord(SampleWords().data(), settings);
        // The page as after GET CYCLE TIME and the operator's settings.
        TestSelectRingItem(App.ScopeTab, SCOPETAB_TRIG_MODE, 1);
        SetCtrlVal(App.ScopeTab, SCOPETAB_TRIG_LEVEL, 2000);
        SetCtrlVal(App.ScopeTab, SCOPETAB_PRE_TRIG, 20);
        SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, 2);
        SetCtrlAttribute(App.ScopeTab, SCOPETAB_SCAN_FREQ, ATTR_PRECISION, 1);
        SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_FREQ, 2000.0);
        SetCtrlAttribute(App.ScopeTab, SCOPETAB_CYCLE_TIME, ATTR_PRECISION, 3);
        SetCtrlVal(App.ScopeTab, SCOPETAB_CYCLE_TIME, 0.5);
        App.CycleTime = 0.5;
        TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 1, 30.4, 3200);
        TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 64.2, 900);
        TestProcessEvents(10);
    }

    void TearDown() override {
        if (oldTmp.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", oldTmp.c_str(), 1);
        RemoveTree(dir);
        ScopeProgramTest::TearDown();
    }

    void Print() {
        popups.clear();
        TestClickCtrl(App.ScopePanel, SCOPEP_PRINT);
        TestProcessEvents(10);
    }

    // The record's analog value at a sample, and the difference of two, as printed.
    static std::string Analog(int sample) { return std::to_string(SampleTraces().analog[sample]); }
    static std::string AnalogDelta(int a, int b) {
        const ScopeTraces t = SampleTraces();
        return std::to_string(std::abs(int(t.analog[a]) - int(t.analog[b])));
    }

    // The message popups shown after the print dialog.
    std::vector<PopupRecord> Messages() const {
        std::vector<PopupRecord> out;
        for (const PopupRecord &p : popups)
            if (p.kind == "message") out.push_back(p);
        return out;
    }

    // Lines of the page's text with content, trimmed of the layout's blanks.
    static std::vector<std::string> Lines(const std::string &text) {
        std::vector<std::string> out;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string l = text.substr(start, end - start);
            size_t a = l.find_first_not_of(" \f"), b = l.find_last_not_of(" \f");
            if (a != std::string::npos) out.push_back(l.substr(a, b - a + 1));
            start = end + 1;
        }
        return out;
    }

    // Distance in points from the bottom of the word `last` to the first ink below it: the
    // top of the panel picture.
    static double GapAboveImage(const std::string &pdf, const std::string &last) {
        std::vector<PdfWord> words = PdfWords(pdf);
        double bottom = -1;
        for (const PdfWord &w : words)
            if (w.text == last) bottom = std::max(bottom, w.yMax);
        GreyPage g = RenderFirstPage(pdf);
        if (bottom < 0 || g.height == 0) return -1;
        for (int y = int(bottom) + 1; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (g.at(x, y) < 250) return y - bottom;
        return -1;
    }
};

TEST_F(ScopePrintTest, EnglishReportHoldsEveryRowTheFooterAndThePanelPicture) {
    std::strcpy(App.PanelId, "PRESS-4 LINE 2");
    SetCtrlVal(App.ScopeTab, SCOPETAB_COMMENT, "die change at 10:40\nnew coil");
    Print();

    ASSERT_FALSE(popups.empty());
    EXPECT_EQ(popups[0].kind, "print");
    std::vector<PopupRecord> msgs = Messages();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].title, "Message!");
    EXPECT_EQ(msgs[0].text, "Print successful!\n" + pdf);

    ASSERT_TRUE(FileExists(pdf));
    EXPECT_EQ(PdfPageCount(pdf), 1);
    std::vector<std::string> lines = Lines(PdfText(pdf));
    const std::vector<std::string> rows = {"Scope Screen Shot",
                                           "TAVIRON Scope V1.0",
                                           "Panel ID: PRESS-4 LINE 2",
                                           "Comment:",
                                           "die change at 10:40",
                                           "new coil",
                                           "Recorder settings:",
                                           "Trigger mode: RISING EDGE",
                                           "Trigger level: 2000 digit",
                                           "Pre-trigger: 20 samples",
                                           "Scan rate: 2",
                                           "Scan frequency: 2000.0 Hz",
                                           "Cycle time: 0.500 ms",
                                           "Cursor 1: sample 30, " + Analog(30) + " digit",
                                           "Cursor 2: sample 64, " + Analog(64) + " digit",
                                           "Delta X: 34.000 ms",
                                           "Delta Y: " + AnalogDelta(30, 64) + " digit"};
    ASSERT_GE(lines.size(), rows.size() + 1);
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(lines[i], rows[i]);

    // Footer: short date left, time centre, page n of m right, on the last line.
    const std::string &footer = lines.back();
    std::smatch m;
    ASSERT_TRUE(std::regex_match(footer, m,
                                 std::regex(R"((.+?)\s+(\d{1,2}:\d{2}(:\d{2})?(\s?[AP]M)?)\s+)"
                                            R"(Page 1 of 1)")))
        << footer;
    std::time_t now = std::time(nullptr);
    std::tm local = *std::localtime(&now);
    std::string date = m[1];
    EXPECT_NE(date.find(std::to_string(local.tm_mday)), std::string::npos) << date;
    EXPECT_NE(date.find(std::to_string(local.tm_year % 100)), std::string::npos) << date;

    // The picture: the panel at its size, stored lossless, pixel for pixel what it showed.
    std::vector<PdfImage> images = PdfImages(pdf);
    ASSERT_EQ(images.size(), 1u);
    int pw = 0, ph = 0;
    GetPanelAttribute(App.ScopePanel, ATTR_WIDTH, &pw);
    GetPanelAttribute(App.ScopePanel, ATTR_HEIGHT, &ph);
    EXPECT_EQ(images[0].width, pw);
    EXPECT_EQ(images[0].height, ph);
    EXPECT_EQ(images[0].encoding, "image") << "Flate, not JPEG";

    std::string shot = dir + "/panel.bmp";
    ASSERT_EQ(SavePanelDisplayToFile(App.ScopePanel, shot.c_str()), 0);
    int bw = 0, bh = 0, ew = 0, eh = 0;
    std::vector<unsigned char> expected, printed;
    ASSERT_TRUE(ReadBmpRgb(shot, &bw, &bh, &expected));
    ASSERT_TRUE(FirstImagePixels(pdf, dir, &ew, &eh, &printed));
    ASSERT_EQ(bw, ew);
    ASSERT_EQ(bh, eh);
    EXPECT_TRUE(expected == printed) << "the printed picture differs from the panel";

    // An empty line between the deltas and the picture.
    double gap = GapAboveImage(pdf, "digit");
    EXPECT_GT(gap, 8);
    EXPECT_LT(gap, 17);
}

TEST_F(ScopePrintTest, GermanLabelsFollowTheIdWithoutABlankAndTheSettingsAreGerman) {
    ASSERT_EQ(LocalizePanel(App.MainPanel, TAVIRON_BIN_DIR "/language_ger.lwl"), 0);
    App.LanguageIndex = 0;
    std::strcpy(App.PanelId, "P4");
    SetCtrlVal(App.ScopeTab, SCOPETAB_COMMENT, "Werkzeugwechsel");
    Print();
    std::vector<PopupRecord> msgs = Messages();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].title, "Info!");
    EXPECT_EQ(msgs[0].text, "Ausdruck erfolgreich!\n" + pdf);
    std::vector<std::string> lines = Lines(PdfText(pdf));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Screenshot des Scope-Bildschirms.");
    EXPECT_EQ(lines[1], "TAVIRON Scope V1.0");
    EXPECT_EQ(lines[2], "Fenster ID:P4");
    EXPECT_EQ(lines[3], "Kommentar:");
    EXPECT_EQ(lines[4], "Werkzeugwechsel");
    const std::vector<std::string> settings = {"Rekorder-Einstellungen:",
                                               "Trigger Modus: STEIGENDE FLANKE",
                                               "Trigger Level: 2000 Digit",
                                               "Vortrigger: 20 Werte",
                                               "Scan Rate: 2",
                                               "Scanfrequenz: 2000.0 Hz",
                                               "Zykluszeit: 0.500 ms",
                                               "Cursor 1: Wert 30, " + Analog(30) + " Digit",
                                               "Cursor 2: Wert 64, " + Analog(64) + " Digit",
                                               "Delta X: 34.000 ms",
                                               "Delta Y: " + AnalogDelta(30, 64) + " Digit"};
    ASSERT_GE(lines.size(), 5 + settings.size());
    for (size_t i = 0; i < settings.size(); ++i)
        EXPECT_EQ(lines[5 + i], settings[i]);
}

TEST_F(ScopePrintTest, EmptyIdAndCommentGiveTitleVersionSettingsAndThePicture) {
    // A page never used: single shot, nothing fetched.
    TestSelectRingItem(App.ScopeTab, SCOPETAB_TRIG_MODE, 0);
    SetCtrlAttribute(App.ScopeTab, SCOPETAB_SCAN_FREQ, ATTR_PRECISION, 2);
    SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_FREQ, 0.0);
    SetCtrlAttribute(App.ScopeTab, SCOPETAB_CYCLE_TIME, ATTR_PRECISION, 0);
    SetCtrlVal(App.ScopeTab, SCOPETAB_CYCLE_TIME, 0.0);
    TestProcessEvents(5);
    Print();
    ASSERT_EQ(Messages().size(), 1u);
    std::vector<std::string> lines = Lines(PdfText(pdf));
    ASSERT_EQ(lines.size(), 14u) << "title, version, the settings, the cursors and the footer";
    EXPECT_EQ(lines[0], "Scope Screen Shot");
    EXPECT_EQ(lines[1], "TAVIRON Scope V1.0");
    EXPECT_EQ(lines[2], "Recorder settings:");
    EXPECT_EQ(lines[3], "Trigger mode: SINGLE SHOT");
    EXPECT_EQ(lines[7], "Scan frequency: 0.00 Hz");
    EXPECT_EQ(lines[8], "Cycle time: 0 ms");
    EXPECT_EQ(lines[12], "Delta Y: " + AnalogDelta(30, 64) + " digit");
    EXPECT_NE(lines[13].find("Page 1 of 1"), std::string::npos);
    EXPECT_EQ(PdfImages(pdf).size(), 1u);
    double gap = GapAboveImage(pdf, "V1.0");
    EXPECT_GT(gap, 8) << "one empty line after the version";
    EXPECT_LT(gap, 17) << "only one";
    gap = GapAboveImage(pdf, "digit");
    EXPECT_GT(gap, 8) << "one empty line before the picture";
    EXPECT_LT(gap, 17) << "only one";
}

TEST_F(ScopePrintTest, CancellingTheDialogPrintsAndShowsNothing) {
    std::strcpy(App.PanelId, "P4");
    printAnswer.clear();
    Print();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].kind, "print");
    EXPECT_FALSE(FileExists(pdf));
    EXPECT_NE(Report_Discard(App.ReportHandle), 0) << "the report was already discarded";
    EXPECT_TRUE(FilesIn(tmp).empty()) << "the picture file is removed";
}

TEST_F(ScopePrintTest, ThePictureFileIsPrivateAndRemovedAfterPrinting) {
    Print();
    ASSERT_EQ(tmpDuringDialog.size(), 1u) << "the picture file exists while the report is open";
    EXPECT_EQ(tmpDuringDialog[0].rfind("taviron-scope-", 0), 0u) << tmpDuringDialog[0];
    EXPECT_EQ(screenshotMode, 0600u);
    EXPECT_TRUE(FilesIn(tmp).empty());

    // Two printouts never share a picture file name.
    std::string first = tmpDuringDialog[0];
    Print();
    ASSERT_EQ(tmpDuringDialog.size(), 1u);
    EXPECT_NE(tmpDuringDialog[0], first);
}

// The print error says why in the program's words: no such printer (or, where the machine runs
// no print service, that none can be reached), or the PDF file's folder that is not there.
TEST_F(ScopePrintTest, AFailedPrintShowsThePrintErrorAndWhy) {
    const std::string pdfInNoFolder = dir + "/missing/dir/report.pdf";
    const struct {
        std::string target;
        std::vector<std::string> why; // one of these follows the print error
    } cases[] = {
        {"no_such_printer_here",
         {"The printer no_such_printer_here was not found.",
          "No printer can be reached: the system's print service does not answer."}},
        {pdfInNoFolder, {pdfInNoFolder + "\nthe folder does not exist"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target);
        printAnswer = c.target;
        Print();
        std::vector<PopupRecord> msgs = Messages();
        ASSERT_EQ(msgs.size(), 1u);
        bool told = false;
        for (const std::string &why : c.why)
            told = told || msgs[0].text == "Print error!\n" + why;
        EXPECT_TRUE(told) << msgs[0].text;
        EXPECT_TRUE(FilesIn(tmp).empty());
    }
}

// A printout into a PDF file on a full disk: the error says the disk is full, and an older file
// of that name stays as it was (the new one is put in place only whole).
TEST_F(ScopePrintTest, APdfOnAFullDiskSaysSoAndKeepsTheOlderFile) {
    ScratchDisk disk;
    std::string why;
    if (!disk.Mount(64, false, &why)) GTEST_SKIP() << "no full disk to print on: " << why;
    printAnswer = disk.file("report.pdf");
    { std::ofstream(printAnswer, std::ios::binary) << "older printout"; }
    disk.Fill();
    Print();
    std::vector<PopupRecord> msgs = Messages();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].text, "Print error!\n" + printAnswer + "\nthe disk is full");
    std::ifstream in(printAnswer, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "older printout");
}

} // namespace
