// Test main of the decoder's suites: EDAMIRU_HELPER_EAGER=1 runs every test with the helper
// thread taking all work as early as it may, whatever the picture's size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "jpeg_helper_thread.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const char* eager = std::getenv("EDAMIRU_HELPER_EAGER");
    if (eager != nullptr && std::strcmp(eager, "1") == 0) HelperThread::SetEager(true);
    return RUN_ALL_TESTS();
}
