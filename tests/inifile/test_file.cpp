// Reading and writing files: the round trip, the temporary file's name and place, and the
// failure paths of the safe write (the target stays as it was and no temporary file is left).
#include "ini_test_util.h"
#include "tests/common/as_user.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void fillDocument(IniText doc, int items) {
    for (int i = 0; i < items; ++i)
        Ini_PutString(doc, "SECTION", ("TAG" + std::to_string(i)).c_str(),
                      ("value number " + std::to_string(i)).c_str());
}

TEST(IniFile, WriteReplacesTheTargetAndReadsBack) {
    TempDir dir;
    const std::string path = dir.file("Parameter.ini");
    writeFileBytes(path, "old content\r\n");
    chmod(path.c_str(), 0640);
    Doc doc;
    fillDocument(doc, 500);
    ASSERT_EQ(Ini_WriteToFile(doc, path.c_str()), 0);
    EXPECT_EQ(readFileBytes(path), writeText(doc));
    EXPECT_EQ(dir.fileCount(), 1); // no temporary file left
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u); // the replaced file keeps its permissions
    Doc back;
    ASSERT_EQ(Ini_ReadFromFile(back, path.c_str()), 0);
    EXPECT_EQ(getString(back, "section", "tag499"), "value number 499");
    EXPECT_EQ(writeText(back), writeText(doc));
}

TEST(IniFile, MissingFileCannotBeRead) {
    TempDir dir;
    Doc doc;
    EXPECT_EQ(Ini_ReadFromFile(doc, dir.file("none.ini").c_str()), INI_ERR_OPEN_FOR_READ);
    // A directory opens on Linux but fails on the first read.
    EXPECT_EQ(Ini_ReadFromFile(doc, dir.path.c_str()), INI_ERR_READ);
}

TEST(IniFile, TemporaryNameSkipsExistingNamesAndLeavesThemAlone) {
    TempDir dir;
    writeFileBytes(dir.file("ini$$0.TMP"), "zero");
    writeFileBytes(dir.file("ini$$1.TMP"), "one");
    Doc doc;
    fillDocument(doc, 3);
    ASSERT_EQ(Ini_WriteToFile(doc, dir.file("new.ini").c_str()), 0);
    EXPECT_EQ(readFileBytes(dir.file("ini$$0.TMP")), "zero");
    EXPECT_EQ(readFileBytes(dir.file("ini$$1.TMP")), "one");
    EXPECT_EQ(dir.fileCount(), 3);
    EXPECT_EQ(readFileBytes(dir.file("new.ini")), writeText(doc));
}

TEST(IniFile, NoFreeTemporaryNameLeavesTheTarget) {
    TempDir dir;
    for (int n = 0; n < 1000; ++n)
        writeFileBytes(dir.file("ini$$" + std::to_string(n) + ".TMP"), "");
    writeFileBytes(dir.file("t.ini"), "keep");
    Doc doc;
    fillDocument(doc, 3);
    EXPECT_EQ(Ini_WriteToFile(doc, dir.file("t.ini").c_str()), INI_ERR_NO_TEMP_NAME);
    EXPECT_EQ(readFileBytes(dir.file("t.ini")), "keep");
    EXPECT_EQ(dir.fileCount(), 1001);
    // A missing target is not left behind by the probe that checked it could be created.
    EXPECT_EQ(Ini_WriteToFile(doc, dir.file("new.ini").c_str()), INI_ERR_NO_TEMP_NAME);
    EXPECT_FALSE(fileExists(dir.file("new.ini")));
}

TEST(IniFile, ByteOrderMarkIsSkippedInAFile) {
    TempDir dir;
    writeFileBytes(dir.file("bom.ini"), "\xEF\xBB\xBF[GENERAL INFO]\r\nFILE TYPE = \"x\"\r\n");
    Doc doc;
    ASSERT_EQ(Ini_ReadFromFile(doc, dir.file("bom.ini").c_str()), 0);
    EXPECT_EQ(getString(doc, "GENERAL INFO", "FILE TYPE"), "x");
}

void setAge(const std::string &path, int minutes) {
    const time_t when = time(nullptr) - minutes * 60;
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Temporary files left by saves that never finished are removed once they are older than ten
// minutes, so they cannot use up the names; a younger one may belong to a save in progress.
// Other files, and names only resembling ours, are never touched.
TEST(IniFile, StaleTemporaryFilesAreRemovedFreshOnesKept) {
    TempDir dir;
    for (int n = 0; n < 1000; ++n) {
        const std::string name = dir.file("ini$$" + std::to_string(n) + ".TMP");
        writeFileBytes(name, "left by a crash");
        setAge(name, n == 7 ? 9 : 11); // number 7 is nine minutes old
    }
    for (const char *other : {"ini$$1.tmp", "ini$$x.TMP", "ini$$1000.TMP", "notes.TMP"}) {
        writeFileBytes(dir.file(other), "other");
        setAge(dir.file(other), 60);
    }
    Doc doc;
    fillDocument(doc, 3);
    ASSERT_EQ(Ini_WriteToFile(doc, dir.file("t.ini").c_str()), 0);
    EXPECT_EQ(readFileBytes(dir.file("t.ini")), writeText(doc));
    EXPECT_EQ(readFileBytes(dir.file("ini$$7.TMP")), "left by a crash");
    EXPECT_FALSE(fileExists(dir.file("ini$$0.TMP")));
    EXPECT_FALSE(fileExists(dir.file("ini$$999.TMP")));
    for (const char *other : {"ini$$1.tmp", "ini$$x.TMP", "ini$$1000.TMP", "notes.TMP"})
        EXPECT_EQ(readFileBytes(dir.file(other)), "other") << other;
    EXPECT_EQ(dir.fileCount(), 6); // target, the fresh one, the four others
}

TEST(IniFile, BackslashIsPartOfTheNameAndTheTemporaryFileGoesBesideTheTarget) {
    TempDir dir;
    mkdir(dir.file("sub").c_str(), 0755);
    const std::string path = dir.file("sub/old\\style.ini");
    Doc doc;
    fillDocument(doc, 2);
    ASSERT_EQ(Ini_WriteToFile(doc, path.c_str()), 0);
    EXPECT_EQ(readFileBytes(path), writeText(doc));
    EXPECT_EQ(dir.fileCount(), 1); // only sub/
}

TEST(IniFile, PlainNameIsWrittenInTheCurrentDirectory) {
    TempDir dir;
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    Doc doc;
    fillDocument(doc, 2);
    const int status = Ini_WriteToFile(doc, "plain.ini");
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFileBytes(dir.file("plain.ini")), writeText(doc));
    EXPECT_EQ(dir.fileCount(), 1);
}

TEST(IniFile, NoPathWritesToStandardOutput) {
    Doc doc;
    Ini_PutInt(doc, "S", "A", 1);
    testing::internal::CaptureStdout();
    const int status = Ini_WriteToFile(doc, nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, crlf("[S]\nA = 1\n\n"));
}

class IniSafeWrite : public testing::Test {
  protected:
    TempDir dir;
    Doc doc;
    void SetUp() override {
        chmod(dir.path.c_str(), 0755); // reachable for the unprivileged child
        fillDocument(doc, 2000);       // about 60 KB, several buffers
    }
    int writeAsUser(const std::string &path) {
        IniText d = doc;
        return AsUnprivilegedUser([&] { return Ini_WriteToFile(d, path.c_str()); });
    }
};

TEST_F(IniSafeWrite, UnwritableDirectoryWithWritableTarget) {
    const std::string sub = dir.file("locked");
    mkdir(sub.c_str(), 0755);
    const std::string target = sub + "/t.ini";
    writeFileBytes(target, "previous");
    chmod(target.c_str(), 0666);
    chmod(sub.c_str(), 0555);
    EXPECT_EQ(writeAsUser(target), INI_ERR_CREATE_TEMP);
    chmod(sub.c_str(), 0755);
    EXPECT_EQ(readFileBytes(target), "previous");
    EXPECT_FALSE(fileExists(sub + "/ini$$0.TMP"));
}

TEST_F(IniSafeWrite, ReadOnlyTarget) {
    const std::string sub = dir.file("open");
    mkdir(sub.c_str(), 0777);
    chmod(sub.c_str(), 0777);
    const std::string target = sub + "/t.ini";
    writeFileBytes(target, "previous");
    chmod(target.c_str(), 0444);
    EXPECT_EQ(writeAsUser(target), INI_ERR_ACCESS_DENIED);
    EXPECT_EQ(readFileBytes(target), "previous");
    EXPECT_FALSE(fileExists(sub + "/ini$$0.TMP"));
}

TEST_F(IniSafeWrite, MissingTargetInUnwritableDirectory) {
    const std::string sub = dir.file("locked");
    mkdir(sub.c_str(), 0555);
    chmod(sub.c_str(), 0555);
    EXPECT_EQ(writeAsUser(sub + "/t.ini"), INI_ERR_ACCESS_DENIED);
    chmod(sub.c_str(), 0755);
    EXPECT_FALSE(fileExists(sub + "/t.ini"));
}

TEST_F(IniSafeWrite, WriteErrorPartWayLeavesTargetAndNoTemporaryFile) {
    // A file size limit makes the writes of the temporary file fail after 8 KB.
    const std::string target = dir.file("t.ini");
    writeFileBytes(target, "previous");
    chmod(dir.path.c_str(), 0777); // writable for the unprivileged child
    chmod(target.c_str(), 0666);
    IniText d = doc;
    const int status = AsUnprivilegedUser([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
        return Ini_WriteToFile(d, target.c_str());
    });
    EXPECT_EQ(status, INI_ERR_WRITE);
    EXPECT_EQ(readFileBytes(target), "previous");
    EXPECT_EQ(dir.fileCount(), 1);
}

TEST_F(IniSafeWrite, CrashWhileWritingLeavesTheOldTarget) {
    // The process is killed (SIGXFSZ) in the middle of writing the temporary file: the target
    // is still the old file, and the next write succeeds beside the stale temporary file.
    const std::string target = dir.file("t.ini");
    writeFileBytes(target, "previous");
    IniText d = doc;
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
        Ini_WriteToFile(d, target.c_str());
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(readFileBytes(target), "previous");
    EXPECT_TRUE(fileExists(dir.file("ini$$0.TMP")));
    ASSERT_EQ(Ini_WriteToFile(doc, target.c_str()), 0);
    EXPECT_EQ(readFileBytes(target), writeText(doc));
    EXPECT_EQ(dir.fileCount(), 2); // the target and the stale ini$$0.TMP
}

TEST_F(IniSafeWrite, MissingDirectory) {
    EXPECT_EQ(Ini_WriteToFile(doc, dir.file("none/t.ini").c_str()), INI_ERR_ACCESS_DENIED);
    EXPECT_EQ(dir.fileCount(), 0);
}

} // namespace
