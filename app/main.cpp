// Program entry.
#include "app/app.h"

int main(int argc, char **argv) {
    return WinMain(argc, argv);
}
