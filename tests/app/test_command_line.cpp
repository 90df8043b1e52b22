// --help and --version: found as whole arguments like every option, and the real program
// answering them on standard output with exit code 0 without opening a window.
#include "app/options.h"
#include "taviron_version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

TEST(CommandLine, HelpAndVersionAreFoundAsWholeArguments) {
    struct Case {
        std::vector<const char *> args;
        bool help, version, scope;
    } cases[] = {
        {{}, false, false, false},
        {{"--help"}, true, false, false},
        {{"--version"}, false, true, false},
        {{"-platform", "offscreen", "--version", "--scope"}, false, true, true},
        {{"--version", "--help"}, true, true, false},
        {{"-help", "-version", "--helpme", "help", "--VERSION"}, false, false, false},
        {{"--", "--help"}, false, false, false},
    };
    for (const Case &c : cases) {
        std::vector<const char *> argv = {"TavironScope"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        std::string shown;
        for (const char *a : c.args)
            shown += std::string(a) + " ";
        const CommandLine cl = ParseCommandLine(int(argv.size()), argv.data());
        EXPECT_EQ(cl.help, c.help) << shown;
        EXPECT_EQ(cl.version, c.version) << shown;
        EXPECT_EQ(cl.scope, c.scope) << shown;
    }
    // The help text names every option.
    for (const char *option : {"--help", "--version", "--scope"})
        EXPECT_NE(CommandLineHelp().find(option), std::string::npos) << option;
}

namespace {

// Runs the real program with `args` and no display at all (a window could not open: the
// runtime would end the program with -1), returning its standard output and exit code.
std::string RunProgram(const std::string &args, int *exitCode) {
    std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                      std::string(TAVIRON_BIN_DIR) + "/TavironScope' " + args + " 2>/dev/null";
    FILE *p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[256];
    while (p && std::fgets(buf, sizeof buf, p))
        out += buf;
    const int status = p ? pclose(p) : -1;
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

} // namespace

TEST(CommandLine, TheProgramAnswersHelpAndVersionWithoutAWindow) {
    int code = -1;
    std::string out = RunProgram("--version", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out, "TAVIRON Scope " TAVIRON_VERSION "\n");

    out = RunProgram("--help", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out, CommandLineHelp());
    EXPECT_EQ(out.rfind("Usage: TavironScope", 0), 0u) << out;

    // Without either, the program wants its window, and there is no display for one.
    out = RunProgram("--scope", &code);
    EXPECT_EQ(code, 255);
    EXPECT_EQ(out, "");
}
