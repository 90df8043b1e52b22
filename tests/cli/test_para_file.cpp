// Parameter files on the command line: written byte for byte as the program writes them, read
// back with the program's checks, and refused where the program would ask or fill in defaults.
#include "cli/exit_codes.h"
#include "cli/para_file.h"
#include "inifile/inifile.h"
#include "params/layout/parafile_layout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class CliParaFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/taviron-para-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Write(const std::string &name, const std::string &text) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string dir_;
    std::string message_;
};

TEST_F(CliParaFile, WrittenAsTheProgramWritesItAndReadBack) {
    const std::string path = dir_ + "/Parameter.ini";
    ASSERT_EQ(WriteParaFile(path, {50, 25, 0, 0}, 1, &message_), 0) << message_;
    EXPECT_EQ(ReadAll(path), ReadAll(TAVIRON_SOURCE_DIR "/tests/data/params_files/Parameter.ini"));
    ASSERT_EQ(WriteParaFile(path, {500, 9999, 1, 1}, 1, &message_), 0);
    ParaSet values{};
    ASSERT_EQ(ReadParaFile(path, 1, &values, &message_), 0) << message_;
    EXPECT_EQ(values, (ParaSet{500, 9999, 1, 1}));
    // A file written by hand, with other line ends and letter case in its keys, reads the same.
    const std::string hand = Write("hand.ini", "[general info]\nfile type: = \"Parameter File\"\n"
                                               "SCOPE VERSION: = \"TAVIRON Scope V1.0\"\n"
                                               "[Parameter]\nstroke tolerance=60\nBAD CNT TO "
                                               "FAIL = 3\nDIGITAL OUTMODE = 1\nCNT STROKE EDGE "
                                               "= 0");
    ASSERT_EQ(ReadParaFile(hand, 1, &values, &message_), 0) << message_;
    EXPECT_EQ(values, (ParaSet{60, 3, 1, 0}));
}

TEST_F(CliParaFile, WhereTheProgramWouldAskTheCommandLineRefuses) {
    const std::string head = "[GENERAL INFO]\nFILE TYPE: = \"Parameter File\"\nSCOPE VERSION: = "
                             "\"TAVIRON Scope V1.0\"\n[PARAMETER]\n";
    const std::string all4 = "BAD CNT TO FAIL = 25\nDIGITAL OUTMODE = 0\nCNT STROKE EDGE = 0\n";
    const struct {
        std::string text;
        std::string message; // after the path
    } cases[] = {
        {"", " is not a parameter file!"},
        {std::string(
             ReadAll(TAVIRON_SOURCE_DIR "/tests/data/params_files/HardwareInitialFile.ini")),
         " is not a parameter file!"},
        {"[GENERAL INFO]\nFILE TYPE: = \"parameter file\"\n", " is not a parameter file!"},
        {"[GENERAL INFO]\nFILE TYPE: = \"Parameter File\"\nSCOPE VERSION: = \"TAVIRON Scope "
         "V1.1\"\n",
         " and scope version do not match!"},
        {head + "STROKE TOLERANCE = 50\nBAD CNT TO FAIL = 25\nCNT STROKE EDGE = 0\n",
         ": these parameters are missing: DIGITAL OUTMODE"},
        {head + "STROKE TOLERANCE = x\n" + all4,
         ": these parameters are missing: STROKE TOLERANCE"},
        {head, ": these parameters are missing: STROKE TOLERANCE, BAD CNT TO FAIL, DIGITAL "
               "OUTMODE, CNT STROKE EDGE"},
        {head + "STROKE TOLERANCE = 70000\n" + all4,
         ": value out of range: STROKE TOLERANCE = 70000"},
        {head + "STROKE TOLERANCE = -1\nBAD CNT TO FAIL = 25\nDIGITAL OUTMODE = 2\nCNT STROKE "
                "EDGE = 0\n",
         ": value out of range: STROKE TOLERANCE = -1, DIGITAL OUTMODE = 2"},
    };
    for (const auto &c : cases) {
        const std::string path = Write("p.ini", c.text);
        ParaSet values{};
        EXPECT_EQ(ReadParaFile(path, 1, &values, &message_), kExitUsage) << c.text;
        // The program's own wording for the first two; the path is named in every message.
        const std::string expected =
            c.message[0] == ' '
                ? (c.message == " is not a parameter file!"
                       ? "Selected file is not a parameter file! (" + path + ")"
                       : "Selected file and scope version do not match! (" + path + ")")
                : path + c.message;
        EXPECT_EQ(message_, expected) << c.text;
    }
    ParaSet values{};
    EXPECT_EQ(ReadParaFile(dir_ + "/none.ini", 0, &values, &message_), kExitUsage);
    EXPECT_EQ(message_, "Datei nicht gefunden: " + dir_ + "/none.ini");
    EXPECT_EQ(ReadParaFile(dir_, 1, &values, &message_), kExitUsage);
    EXPECT_EQ(message_, "This is a folder, not a file: " + dir_);
}

TEST_F(CliParaFile, AFileThatCannotBeWrittenIsAFileErrorAndLeavesTheOldOne) {
    const std::string path = Write("keep.ini", "old");
    std::filesystem::create_directory(dir_ + "/sub");
    EXPECT_EQ(WriteParaFile(dir_ + "/none/x.ini", {1, 2, 0, 0}, 1, &message_), kExitFile);
    EXPECT_EQ(message_.rfind("Parameter file could not be saved: " + dir_ +
                                 "/none/x.ini: the folder does not exist (",
                             0),
              0u)
        << message_;
    EXPECT_EQ(WriteParaFile(dir_ + "/sub", {1, 2, 0, 0}, 1, &message_), kExitFile);
    EXPECT_EQ(ReadAll(path), "old");
}

} // namespace
