// Why a write failed, told from the file's folder as it really is: real folders and modes
// looked at by an unprivileged user (uid 65534), a write-protected disk mounted for the test,
// and the codes of a full disk and of too little memory; in both languages.
#include "base/file_reason.h"

#include "base/state.h"
#include "inifile/inifile.h"
#include "tests/common/as_user.h"
#include "tests/common/scratch_disk.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// A folder of the test's own, owned by root when the test runs as root, so that the modes
// given below close it to the unprivileged user.
class Folders {
  public:
    Folders() {
        char tmpl[] = "/tmp/taviron-reason-XXXXXX";
        root_ = mkdtemp(tmpl) ? tmpl : "";
        chmod(root_.c_str(), 0755); // others may look but not write
    }
    ~Folders() {
        for (const fs::path &p : made_)
            chmod(p.c_str(), 0755);
        fs::remove_all(root_);
    }
    std::string sub(const std::string &name, mode_t mode) {
        const fs::path p = root_ / name;
        fs::create_directories(p);
        made_.push_back(p);
        chmod(p.c_str(), mode);
        return p.string();
    }
    std::string path(const std::string &name) const { return (root_ / name).string(); }

  private:
    fs::path root_;
    std::vector<fs::path> made_;
};

struct Reason {
    const char *eng, *ger;
};
const Reason kNoFolder = {"the folder does not exist", "der Ordner existiert nicht"};
const Reason kNoAccess = {"no permission to write there", "keine Schreibberechtigung"};
const Reason kCannotMake = {"no permission to create the folder",
                            "keine Berechtigung, den Ordner anzulegen"};
const Reason kFolderInTheWay = {"a folder of that name is in the way",
                                "dort liegt ein Ordner gleichen Namens"};
const Reason kDiskFull = {"the disk is full", "der Datentraeger ist voll"};
const Reason kWriteError = {"write error", "Schreibfehler"};

std::string ReasonAsUser(const std::string &path, int code, bool programMakesFolder, int language) {
    return AsUnprivilegedUser([&] {
        App.LanguageIndex = language;
        return std::string(Txt(FileWriteReason(code, path.c_str(), programMakesFolder)));
    });
}

} // namespace

TEST(FileWriteReason, TheFolderAsTheUserFindsItTellsWhy) {
    Folders f;
    ASSERT_FALSE(f.path("").empty());
    const std::string open = f.sub("open", 0777);
    const std::string closed = f.sub("closed", 0755);
    f.sub("private/inner", 0777);
    f.sub("private", 0700);
    f.sub("open/taken.ini", 0777);
    const struct {
        const char *what;
        std::string path;
        int code;
        bool programMakesFolder;
        Reason reason;
    } cases[] = {
        {"folder missing", open + "/gone/p.ini", INI_ERR_CREATE_TEMP, false, kNoFolder},
        {"folder missing, the program would make it there", open + "/gone/p.ini",
         INI_ERR_CREATE_TEMP, true, kNoFolder},
        {"folder missing, and no permission to make it", f.path("gone/deeper/p.ini"),
         INI_ERR_ACCESS_DENIED, true, kCannotMake},
        {"folder missing where the program does not make it", f.path("gone/p.ini"),
         INI_ERR_ACCESS_DENIED, false, kNoFolder},
        {"folder closed to the user", closed + "/p.ini", INI_ERR_CREATE_TEMP, false, kNoAccess},
        {"folder there, behind a folder closed to the user", f.path("private/inner/p.ini"),
         INI_ERR_CREATE_TEMP, false, kNoAccess},
        {"a folder in the file's place", open + "/taken.ini", INI_ERR_WRITE, false,
         kFolderInTheWay},
        {"disk full", open + "/p.ini", INI_ERR_DISK_FULL, false, kDiskFull},
        {"another write error in a usable folder", open + "/p.ini", INI_ERR_WRITE, false,
         kWriteError},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReasonAsUser(c.path, c.code, c.programMakesFolder, 1), c.reason.eng);
        EXPECT_EQ(ReasonAsUser(c.path, c.code, c.programMakesFolder, 0), c.reason.ger);
    }
}

TEST(FileWriteReason, AWriteProtectedDiskIsSaidAsSuch) {
    ScratchDisk disk;
    std::string why;
    if (!disk.Mount(64, true, &why)) GTEST_SKIP() << "no write-protected disk: " << why;
    App.LanguageIndex = 1;
    EXPECT_STREQ(Txt(FileWriteReason(INI_ERR_CREATE_TEMP, disk.file("p.ini").c_str())),
                 "the disk is write-protected");
    EXPECT_STREQ(Txt(FileWriteReason(INI_ERR_CREATE_TEMP, disk.file("new/p.ini").c_str(), true)),
                 "the disk is write-protected");
    App.LanguageIndex = 0;
    EXPECT_STREQ(Txt(FileWriteReason(INI_ERR_CREATE_TEMP, disk.file("p.ini").c_str())),
                 "der Datentraeger ist schreibgeschuetzt");
}
