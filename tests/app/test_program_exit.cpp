// The real program as an operator runs it: started in a real window on a virtual X server next
// to the simulated sensor, closed with its window's close box, it stores its settings and
// ends with exit code 0 (the user interface is torn down before the process ends); Ctrl-C and
// TERM end it the same way.
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

// A private copy of the program with its resource files, as an unpacked copy has them.
fs::path ProgramFolder() {
    char tmpl[] = "/tmp/taviron-exit-XXXXXX";
    if (!mkdtemp(tmpl)) return {};
    fs::path dir = tmpl;
    fs::copy_file(fs::path(TAVIRON_BIN_DIR) / "TavironScope", dir / "TavironScope");
    for (const char *f : {"Tavironv10.uir", "logoHV.bmp", "language_ger.lwl", "language_eng.lwl"})
        if (fs::exists(fs::path(TAVIRON_BIN_DIR) / f))
            fs::create_symlink(fs::path(TAVIRON_BIN_DIR) / f, dir / f);
    return dir;
}

// Starts the program in `dir` on `display`; returns its process id.
pid_t StartProgram(const fs::path &dir, const std::string &display) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        unsetenv("LANGUAGE");
        setenv("LANG", "C.UTF-8", 1); // an English system
        execl("./TavironScope", "TavironScope", static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

} // namespace

TEST(ProgramExit, ClosedByItsWindowTheProgramEndsWithZero) {
    X11Session x;
    std::string error;
    ASSERT_TRUE(x.start(&error)) << error;

    tavsim::SimSensor sim(SerialSimConfig());
    ASSERT_TRUE(sim.start(&error)) << error;

    fs::path dir = ProgramFolder();
    ASSERT_FALSE(dir.empty());
    ASSERT_FALSE(tavsim::writeComPortMapping(dir.string(), 1, sim.serialPath()).empty());

    pid_t program = StartProgram(dir, x.display());
    ASSERT_GT(program, 0);
    const bool closed = x.closeWindow("TAVIRON Scope V1.0", 30);
    const int status = WaitForProcessEnd(program, closed ? 30 : 0);
    sim.stop();
    const bool stored = fs::exists(dir / "PanelSettings.cfg");
    fs::remove_all(dir);

    ASSERT_TRUE(closed) << "the program's window did not appear";
    ASSERT_NE(status, -1) << "the program did not end after its window was closed";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(stored) << "closing by the window stores the panel settings";
}

namespace {

// The settings file as the program left it (empty when there is none).
std::string ReadText(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// Ctrl-C in the terminal and a TERM from a service manager end the program as its close box
// does: the settings are stored and the exit code is 0 — also while the start-up attempt's
// failure popup waits for an answer (it is answered as Escape answers it).
TEST(ProgramExit, SignalsStoreTheSettingsAndEndTheProgramNormally) {
    X11Session x;
    std::string error;
    ASSERT_TRUE(x.start(&error)) << error;
    tavsim::SimSensor sim(SerialSimConfig());
    ASSERT_TRUE(sim.start(&error)) << error;

    struct Case {
        const char *what;
        int signal;
        bool sensor;            // a sensor behind COM1, else the attempt fails with a popup
        const char *waitingFor; // the window that is up when the signal comes
    } const cases[] = {
        {"TERM while connected", SIGTERM, true, "TAVIRON Scope V1.0"},
        {"Ctrl-C while the failure popup asks", SIGINT, false, "Info!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fs::path dir = ProgramFolder();
        ASSERT_FALSE(dir.empty());
        // German, and an identification: a store writes them back together with what the
        // program adds (the connection settings, which this file does not hold).
        std::ofstream(dir / "PanelSettings.cfg", std::ios::binary)
            << "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\nPANEL ID: = \"Presse 4\"\r\n"
               "LANGUAGE = 0\r\n";
        ASSERT_FALSE(tavsim::writeComPortMapping(dir.string(), 1,
                                                 c.sensor ? sim.serialPath()
                                                          : (dir / "no-such-device").string())
                         .empty());
        pid_t program = StartProgram(dir, x.display());
        ASSERT_GT(program, 0);
        const bool up = x.waitForWindow(c.waitingFor, 30);
        if (up) std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(program, c.signal);
        const int status = WaitForProcessEnd(program, 30);
        const std::string stored = ReadText(dir / "PanelSettings.cfg");
        fs::remove_all(dir);

        ASSERT_TRUE(up) << "the window did not appear";
        ASSERT_NE(status, -1) << "the program did not end after the signal";
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_NE(stored.find("PANEL ID: = \"Presse 4\"\r\nLANGUAGE = 0\r\n"), std::string::npos)
            << stored;
        EXPECT_NE(stored.find("[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = 1\r\n"),
                  std::string::npos)
            << stored;
    }
    sim.stop();
}

// In a real window the missing panel file is also said in a popup; once the operator has read
// it the program ends with -1.
TEST(ProgramExit, WithoutItsPanelFileAPopupSaysWhyBeforeTheProgramEnds) {
    X11Session x;
    std::string error;
    ASSERT_TRUE(x.start(&error)) << error;
    char tmpl[] = "/tmp/taviron-nopanels-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path dir = tmpl;
    fs::copy_file(fs::path(TAVIRON_BIN_DIR) / "TavironScope", dir / "TavironScope");
    pid_t program = StartProgram(dir, x.display());
    ASSERT_GT(program, 0);
    const bool popup = x.closeWindow("Error!", 30);
    const int status = WaitForProcessEnd(program, 30);
    fs::remove_all(dir);
    ASSERT_TRUE(popup) << "no popup said why the program cannot start";
    ASSERT_NE(status, -1) << "the program did not end after the popup";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 255);
}
