// Test entry: the panel tests run in-process on Qt's offscreen platform, with two screens.
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" TAVIRON_SCREENS_JSON, 0);
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    CloseUserInterface(); // the runtime ends before the process does
    return result;
}
