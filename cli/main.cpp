// Entry of taviron, the sensor from the command line.
#include "cli/taviron.h"

int main(int argc, char **argv) {
    return TavironMain(argc, argv);
}
