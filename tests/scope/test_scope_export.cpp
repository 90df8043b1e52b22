// EXPORT on the scope panel: the CSV of a known record byte for byte against its golden file,
// the picture beside it, the file dialog and the popups through the button, and the failures
// that must say so and leave no half-written file.
#include "pdf_tools.h"
#include "scope_fixture.h"
#include "tests/common/scratch_disk.h"

#include "Tavironv10.h"
#include "scope/scope.h"
#include "scope/scope_graph.h"

#include <array>
#include <cstring>
#include <ctime>
#include <deque>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace {

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// PNG signature and the size in its header chunk.
bool PngSize(const std::string &bytes, int *width, int *height) {
    static const char kMagic[] = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 24 || bytes.compare(0, 8, kMagic, 8) != 0) return false;
    auto be32 = [&](size_t at) {
        return int((unsigned char)bytes[at] << 24 | (unsigned char)bytes[at + 1] << 16 |
                   (unsigned char)bytes[at + 2] << 8 | (unsigned char)bytes[at + 3]);
    };
    *width = be32(16);
    *height = be32(20);
    return true;
}

class ScopeExportTest : public ScopeProgramTest {
  protected:
    std::string dir;
    std::string answerPath;              // what the file dialog returns; "" = cancel
    std::deque<std::string> fileAnswers; // answers of the next file dialogs, before answerPath
    std::deque<int> confirmAnswers;      // answers of the next questions; Yes when empty
    const std::string golden = TAVIRON_TEST_DATA "/scope_record.csv";

    void SetUp() override {
        ScopeProgramTest::SetUp();
        dir = MakeScratchDir();
        ASSERT_FALSE(dir.empty());
        SetPopupResponder([this](const PopupRecord &r, std::string *path) -> int {
            popups.push_back(r);
            if (r.kind == "confirm" && !confirmAnswers.empty()) {
                const int a = confirmAnswers.front();
                confirmAnswers.pop_front();
                return a;
            }
            if (r.kind != "file") return 1;
            std::string answer = answerPath;
            if (!fileAnswers.empty()) {
                answer = fileAnswers.front();
                fileAnswers.pop_front();
            }
            if (answer.empty()) return VAL_NO_FILE_SELECTED;
            *path = answer;
            return VAL_NEW_FILE_SELECTED;
        });
    }
    void TearDown() override {
        RemoveTree(dir);
        ScopeProgramTest::TearDown();
    }

    // A record as the sensor sends it: ring word k has the analog value 37 k mod 4096 and
    // lines A..D from the bits of k; the trigger at ring position 77. Shown as recorded with
    // rising edge, level 2000, pre-trigger 20 and scan rate 2, so display index 0 is ring
    // position 57.
    static void ShowKnownRecord() {
        std::array<std::uint8_t, kScopeRecordSize> record{};
        for (int k = 0; k < kScopeSamples; ++k) {
            std::uint16_t w = std::uint16_t((37 * k) % 4096 | (k & 0xF) << 12);
            record[2 * k] = w & 0xFF;
            record[2 * k + 1] = w >> 8;
        }
        record[2 * kScopeSamples] = 77;
        std::uint16_t samples[kScopeSamples];
        OrderScopeSamples(record.data(), 1, 20, samples);
        const std::int16_t settings[4] = {2000, 1, 20, 2};
        ShowScopeRecord(samples, settings);
        std::strcpy(App.PanelId, "PRESS 4, DIE \"17\"");
        std::strcpy(App.SensorName, "TAVIRON");
        std::strcpy(App.FirmwareVersion, "TAVIRON V1.0 2024-03-18");
        App.CycleTime = 0.1;
        SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, 2);
        SetCtrlAttribute(App.ScopeTab, SCOPETAB_SCAN_FREQ, ATTR_PRECISION, 0);
        SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_FREQ, 10000.0);
    }

    void Export() {
        popups.clear();
        TestClickCtrl(App.ScopePanel, SCOPEP_EXPORT);
        TestProcessEvents(10);
    }
};

TEST_F(ScopeExportTest, TheCsvOfAKnownRecordIsTheGoldenFileAndThePictureIsThePanel) {
    ShowKnownRecord();
    std::string csv = dir + "/record.csv";
    ASSERT_EQ(ExportScopeRecord(csv.c_str(), "2026-12-10 14:05:33"), 0);
    std::string expected = ReadFile(golden);
    ASSERT_FALSE(expected.empty()) << golden;
    EXPECT_TRUE(ReadFile(csv) == expected) << ReadFile(csv);

    int w = 0, h = 0, pw = 0, ph = 0;
    ASSERT_TRUE(PngSize(ReadFile(dir + "/record.png"), &w, &h));
    GetPanelAttribute(App.ScopePanel, ATTR_WIDTH, &pw);
    GetPanelAttribute(App.ScopePanel, ATTR_HEIGHT, &ph);
    EXPECT_EQ(w, pw);
    EXPECT_EQ(h, ph);
    EXPECT_EQ(FilesIn(dir).size(), 2u) << "no temporary file left behind";
}

TEST_F(ScopeExportTest, TheButtonAsksForTheFileSavesBothAndSaysWhere) {
    ShowKnownRecord();
    answerPath = dir + "/press 4.CSV";
    Export();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[0].kind, "file");
    EXPECT_EQ(popups[1].kind, "message");
    EXPECT_EQ(popups[1].title, "Message!");
    EXPECT_EQ(popups[1].text, "Recording saved:\n" + answerPath + "\n" + dir + "/press 4.png");

    // The golden file but for today's date.
    std::string got = ReadFile(answerPath), expected = ReadFile(golden);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(got, m,
                                  std::regex("\r\nDate,(\\d{4})-(\\d\\d)-(\\d\\d) "
                                             "\\d\\d:\\d\\d:\\d\\d\r\n")))
        << got.substr(0, 200);
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(std::stoi(m[1]), local.tm_year + 1900);
    EXPECT_EQ(std::stoi(m[3]), local.tm_mday);
    std::string dated = std::regex_replace(expected, std::regex("\r\nDate,[^\r]*\r\n"),
                                           "\r\nDate," + m.str(0).substr(7));
    EXPECT_TRUE(got == dated);
    int w = 0, h = 0;
    EXPECT_TRUE(PngSize(ReadFile(dir + "/press 4.png"), &w, &h));

    // In German the popup is German; the file stays the same (both files are replaced after
    // their questions).
    App.LanguageIndex = 0;
    Export();
    ASSERT_EQ(popups.size(), 4u);
    EXPECT_EQ(popups[3].title, "Info!");
    EXPECT_EQ(popups[3].text.rfind("Aufnahme gespeichert:\n", 0), 0u) << popups[3].text;
}

TEST_F(ScopeExportTest, NothingToExportOrCancelledWritesNothing) {
    answerPath = dir + "/record.csv";
    Export(); // no record on the graphs yet
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].kind, "message");
    EXPECT_EQ(popups[0].text, "No recording to export!");

    ShowKnownRecord();
    answerPath.clear();
    Export();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].kind, "file");
    EXPECT_TRUE(FilesIn(dir).empty());
}

TEST_F(ScopeExportTest, FailuresSaySoAndLeaveNoPartialFile) {
    ShowKnownRecord();
    // A folder that does not exist.
    answerPath = dir + "/missing/record.csv";
    Export();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[1].text,
              "Recording could not be saved:\n" + answerPath + "\nthe folder does not exist");

    // The picture's place is taken by a folder: the CSV is saved, the picture's failure said.
    ASSERT_EQ(mkdir((dir + "/record.png").c_str(), 0700), 0);
    answerPath = dir + "/record.csv";
    Export();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[1].text, "Picture of the scope panel could not be saved:\n" + dir +
                                  "/record.png\na folder of that name is in the way");
    EXPECT_EQ(ReadFile(answerPath).substr(0, 30), ReadFile(golden).substr(0, 30));

    // A full disk is said as such; the older record there stays as it was.
    ScratchDisk disk;
    std::string why;
    if (disk.Mount(64, false, &why)) {
        answerPath = disk.file("record.csv");
        std::ofstream(answerPath, std::ios::binary) << "older record";
        disk.Fill();
        Export();
        ASSERT_EQ(popups.size(), 3u) << "the file, the question to replace it, the message";
        EXPECT_EQ(popups[2].text,
                  "Recording could not be saved:\n" + answerPath + "\nthe disk is full");
        EXPECT_EQ(ReadFile(answerPath), "older record");
        answerPath = dir + "/record.csv";
    } else {
        std::printf("no full disk to export to: %s\n", why.c_str());
    }

    // An older export under the same name is replaced whole.
    ASSERT_EQ(rmdir((dir + "/record.png").c_str()), 0);
    { std::ofstream(answerPath, std::ios::binary) << std::string(20000, 'x'); }
    Export();
    std::string got = ReadFile(answerPath);
    EXPECT_EQ(got.find('x'), std::string::npos);
    EXPECT_EQ(got.size(), ReadFile(golden).size());
    std::vector<std::string> files = FilesIn(dir);
    EXPECT_EQ(files.size(), 2u) << "record.csv and record.png, no temporary file";
}

// An export over files that exist asks for each, naming it: the record file in the dialog (No
// goes back to it), the picture beside it on its own. No keeps them byte for byte and saves
// nothing; Yes to both replaces both.
TEST_F(ScopeExportTest, OlderFilesAreReplacedOnlyAfterAYesForEach) {
    ShowKnownRecord();
    const std::string csv = dir + "/record.csv", png = dir + "/record.png";
    auto question = [](const std::string &path) {
        return "This file already exists:\n" + path + "\n\nDo you want to replace it?";
    };
    auto kinds = [this] {
        std::vector<std::string> k;
        for (const PopupRecord &p : popups)
            k.push_back(p.kind);
        return k;
    };

    std::ofstream(csv, std::ios::binary) << "older record";
    fileAnswers = {csv, ""};
    confirmAnswers = {0};
    Export();
    EXPECT_EQ(ReadFile(csv), "older record");
    ASSERT_EQ(kinds(), (std::vector<std::string>{"file", "confirm", "file"}));
    EXPECT_EQ(popups[1].title, "Scope record");
    EXPECT_EQ(popups[1].text, question(csv));
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"record.csv"}));

    ASSERT_EQ(std::remove(csv.c_str()), 0);
    std::ofstream(png, std::ios::binary) << "older picture";
    fileAnswers = {csv};
    confirmAnswers = {0};
    Export();
    EXPECT_EQ(ReadFile(png), "older picture");
    ASSERT_EQ(kinds(), (std::vector<std::string>{"file", "confirm"}));
    EXPECT_EQ(popups[1].text, question(png));
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"record.png"})) << "nothing saved";

    std::ofstream(csv, std::ios::binary) << "older record";
    fileAnswers = {csv};
    confirmAnswers = {1, 1};
    Export();
    ASSERT_EQ(kinds(), (std::vector<std::string>{"file", "confirm", "confirm", "message"}));
    EXPECT_EQ(popups[2].text, question(png));
    EXPECT_EQ(popups[3].text, "Recording saved:\n" + csv + "\n" + png);
    EXPECT_EQ(ReadFile(csv).size(), ReadFile(golden).size());
    int w = 0, h = 0;
    EXPECT_TRUE(PngSize(ReadFile(png), &w, &h));
}

} // namespace
