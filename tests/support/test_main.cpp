// The test programs' main: in-process tests never reach a real display, so
// a message box that is not scripted takes the no-display path and prints.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
