// Test entry of every test program that runs the program's panels in-process: Qt's offscreen
// platform unless the environment names another (a program that defines TAVIRON_SCREENS_JSON
// gets the screens that file describes), then GoogleTest; the runtime ends before the process
// does.
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
#ifdef TAVIRON_SCREENS_JSON
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" TAVIRON_SCREENS_JSON, 0);
#else
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    CloseUserInterface(); // the runtime ends before the process does
    return result;
}
