// Program entry: the command-line options, then WinMain; the user-interface runtime ends
// before the process does, so nothing of it is left for the exit's clean-up.
#include "app/app.h"
#include "app/options.h"
#include "platform/ui.h"

int main(int argc, char **argv) {
    ApplyStartOptions(argc, argv);
    int code = WinMain(argc, argv);
    CloseUserInterface();
    return code;
}
