// Program entry: --help and --version answer before any window (no display needed); otherwise
// the start-up options, Ctrl-C and TERM taken as the window's close, then WinMain; the
// user-interface runtime ends before the process does, so nothing of it is left for the exit's
// clean-up.
#include "app/app.h"
#include "app/options.h"
#include "platform/ui.h"

#include <cstdio>

int main(int argc, char **argv) {
    const CommandLine options = ParseCommandLine(argc, argv);
    if (options.help || options.version) {
        std::fputs((options.help ? CommandLineHelp() : VersionText()).c_str(), stdout);
        return 0;
    }
    ApplyStartOptions(argc, argv);
    CloseOnTerminationSignals(); // Ctrl-C and TERM end it as its close box does
    int code = WinMain(argc, argv);
    CloseUserInterface();
    return code;
}
