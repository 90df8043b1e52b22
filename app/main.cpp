// Program entry: the command-line options, then WinMain.
#include "app/app.h"
#include "app/options.h"

int main(int argc, char **argv) {
    ApplyStartOptions(argc, argv);
    return WinMain(argc, argv);
}
