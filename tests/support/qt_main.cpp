// Test entry for tests that need the Qt run-time: an offscreen application
// object on the test thread, then GoogleTest.
#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    platform::InitRuntime(argc, argv);
    return RUN_ALL_TESTS();
}
