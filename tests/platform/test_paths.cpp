// Where the program keeps the files it writes (beside itself while it may write there, else
// the user's configuration folder) and where it finds the files it reads (current directory,
// beside the program, installed data folder, in this order).
#include "platform/testing.h"
#include "platform/ui.h"
#include "tests/common/as_user.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct TempFolder {
    fs::path path;
    TempFolder() {
        char tmpl[] = "/tmp/taviron-paths-XXXXXX";
        path = mkdtemp(tmpl) ? tmpl : "";
        chmod(path.c_str(), 0777); // reachable and writable for the unprivileged child
    }
    ~TempFolder() {
        chmod(path.c_str(), 0777);
        fs::remove_all(path);
    }
    fs::path sub(const std::string &name, mode_t mode) const {
        fs::path p = path / name;
        fs::create_directories(p);
        chmod(p.c_str(), mode);
        return p;
    }
};

// GetSettingsDir as an unprivileged user would see it (root writes into read-only folders, so
// a test running as root asks from a child that has given up its privileges), with the
// program in `programDir` and the given environment (null: unset).
std::string SettingsDirAsUser(const fs::path &programDir, const char *xdgConfigHome,
                              const char *home) {
    return AsUnprivilegedUser([&] {
        xdgConfigHome ? setenv("XDG_CONFIG_HOME", xdgConfigHome, 1) : unsetenv("XDG_CONFIG_HOME");
        home ? setenv("HOME", home, 1) : unsetenv("HOME");
        TestSetProjectDir(programDir.c_str());
        char dir[MAX_PATHNAME_LEN] = "";
        GetSettingsDir(dir);
        std::string out = dir;
        struct stat st;
        if (stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) out += " <not made>";
        return out;
    });
}

} // namespace

TEST(SettingsFolder, BesideTheProgramWhileWritableElseTheUsersConfigurationFolder) {
    TempFolder t;
    const fs::path writable = t.sub("unpacked", 0777);
    const fs::path readOnly = t.sub("installed", 0555);
    const fs::path home = t.sub("home", 0777);
    const fs::path xdg = t.sub("xdg", 0777);
    const std::string homeConfig = (home / ".config/taviron-scope").string();
    struct Case {
        const char *what;
        fs::path programDir;
        std::string xdgConfigHome; // "-": unset
        std::string expected;
    } cases[] = {
        {"writable program folder", writable, xdg.string(), writable.string()},
        {"read-only, XDG_CONFIG_HOME set", readOnly, xdg.string(),
         (xdg / "taviron-scope").string()},
        {"read-only, XDG_CONFIG_HOME unset", readOnly, "-", homeConfig},
        {"read-only, XDG_CONFIG_HOME empty", readOnly, "", homeConfig},
        {"read-only, XDG_CONFIG_HOME relative (not valid)", readOnly, "rel/config", homeConfig},
    };
    for (const Case &c : cases) {
        const char *x = c.xdgConfigHome == "-" ? nullptr : c.xdgConfigHome.c_str();
        EXPECT_EQ(SettingsDirAsUser(c.programDir, x, home.c_str()), c.expected) << c.what;
    }
    // The folder made for the user is the user's own.
    struct stat st;
    ASSERT_EQ(stat(homeConfig.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(ProgramFiles, CurrentDirectoryThenBesideTheProgramThenTheDataFolder) {
    TempFolder t;
    const fs::path cwd = t.sub("cwd", 0755), program = t.sub("bin", 0755),
                   data = t.sub("share", 0755);
    const fs::path oldCwd = fs::current_path();
    fs::current_path(cwd);
    TestSetProjectDir(program.c_str());
    TestSetDataDir(data.c_str());
    const std::string name = "language_ger.lwl";
    struct Case {
        bool inCwd, inProgram, inData;
        int currentDirectoryFirst;
        std::string expected; // empty: not found
    } cases[] = {
        {true, true, true, 1, name},
        {false, true, true, 1, (program / name).string()},
        {false, false, true, 1, (data / name).string()},
        {true, false, false, 1, name},
        {true, true, true, 0, (program / name).string()}, // resources: not the current dir
        {true, false, true, 0, (data / name).string()},
        {false, false, false, 1, ""},
    };
    for (const Case &c : cases) {
        for (auto [there, folder] : {std::pair{c.inCwd, cwd}, std::pair{c.inProgram, program},
                                     std::pair{c.inData, data}}) {
            if (there)
                std::ofstream(folder / name) << "x";
            else
                fs::remove(folder / name);
        }
        char path[MAX_PATHNAME_LEN] = "?";
        const int found = FindProgramFile(name.c_str(), c.currentDirectoryFirst, path);
        const std::string where = std::string(c.inCwd ? "cwd " : "") +
                                  (c.inProgram ? "program " : "") + (c.inData ? "data " : "") +
                                  "first=" + std::to_string(c.currentDirectoryFirst);
        EXPECT_EQ(found, c.expected.empty() ? 0 : 1) << where;
        EXPECT_EQ(std::string(path), c.expected.empty() ? name : c.expected) << where;
    }
    // A folder of that name is not the file.
    fs::remove(cwd / name);
    fs::remove(program / name);
    fs::remove(data / name);
    fs::create_directory(program / name);
    char path[MAX_PATHNAME_LEN];
    EXPECT_EQ(FindProgramFile(name.c_str(), 1, path), 0);

    TestSetDataDir("");
    TestSetProjectDir("");
    fs::current_path(oldCwd);
}
