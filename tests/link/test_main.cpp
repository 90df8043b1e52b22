// Test entry: the link tests run the program in-process on Qt's offscreen platform.
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    CloseUserInterface(); // the runtime ends before the process does
    return result;
}
