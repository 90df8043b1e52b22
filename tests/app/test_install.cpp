// The installed program as the README installs it: `cmake --install` to a fresh prefix, and
// to a DESTDIR staging folder, then started from / in a real window. It finds its panels, logo
// and language files in the data folder beside its own (../share/taviron-scope), keeps its
// settings and COM mapping in the user's configuration folder, connects to the sensor behind
// COM1 and, closed by its window, ends with 0. The installed taviron beside it reaches the same
// sensor through the same COM mapping.
#include "x11_session.h"

#include "sim/com_map.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Starts `program` from the root folder, as a desktop menu or another folder would.
pid_t StartFromRoot(const fs::path &program, const std::string &display, const fs::path &home) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir("/") != 0) _exit(126);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        execl(program.c_str(), "TavironScope", static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

std::string ReadAll(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(Install, AFreshPrefixAndADestdirStagingRunFromTheRoot) {
    X11Session x;
    std::string error;
    ASSERT_TRUE(x.start(&error)) << error;
    tavsim::SimSensor sim(SerialSimConfig());
    ASSERT_TRUE(sim.start(&error)) << error;

    char tmpl[] = "/tmp/taviron-install-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path root = tmpl;
    const std::string cmake = std::string("'") + TAVIRON_CMAKE_COMMAND + "' --install '" +
                              TAVIRON_BUILD_DIR + "' >/dev/null";
    struct Case {
        const char *what;
        std::string command; // the install
        fs::path program;    // where the installed program is then
    } const cases[] = {
        {"a fresh prefix", cmake + " --prefix '" + (root / "opt/taviron-scope").string() + "'",
         root / "opt/taviron-scope/bin/TavironScope"},
        {"DESTDIR staging", "DESTDIR='" + (root / "stage").string() + "' " + cmake,
         root / ("stage" TAVIRON_INSTALL_PREFIX) / "bin/TavironScope"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(std::system(c.command.c_str()), 0) << c.command;
        ASSERT_TRUE(fs::exists(c.program));
        const fs::path home = root / (std::string("home-") + (c.what[0] == 'a' ? "p" : "d"));
        const fs::path userFolder = home / "config/taviron-scope";
        fs::create_directories(userFolder);
        ASSERT_FALSE(tavsim::writeComPortMapping(userFolder.string(), 1, sim.serialPath()).empty());

        pid_t program = StartFromRoot(c.program, x.display(), home);
        ASSERT_GT(program, 0);
        const bool closed = x.closeWindow("TAVIRON Scope V1.0", 30);
        const int status = WaitForProcessEnd(program, closed ? 30 : 5);
        ASSERT_TRUE(closed) << "the installed program showed no window";
        ASSERT_NE(status, -1) << "the program did not end after its window was closed";
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(fs::exists(userFolder / "PanelSettings.cfg"))
            << "an installed program keeps its settings in the user's folder";
        EXPECT_FALSE(fs::exists(c.program.parent_path() / "PanelSettings.cfg"));

        const fs::path out = root / "taviron.out";
        const std::string taviron = "cd / && HOME='" + home.string() + "' XDG_CONFIG_HOME='" +
                                    (home / "config").string() +
                                    "' LC_ALL= LC_MESSAGES= LANGUAGE= LANG=C.UTF-8 '" +
                                    (c.program.parent_path() / "taviron").string() +
                                    "' --port COM1 info >'" + out.string() + "' 2>&1";
        const int code = std::system(taviron.c_str());
        const std::string said = ReadAll(out);
        EXPECT_TRUE(WIFEXITED(code) && WEXITSTATUS(code) == 0) << said;
        EXPECT_NE(said.find("Serial number: 4711"), std::string::npos) << said;
    }
    sim.stop();
    fs::remove_all(root);
}
