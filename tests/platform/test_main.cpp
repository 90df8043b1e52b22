// Test entry: the panel tests run in-process on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
