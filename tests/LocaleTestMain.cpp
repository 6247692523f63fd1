// Test main that adopts the environment's locale at start-up, as the shell does, so that the
// same tests can run under the operators' own locale.

#include "tests/locale/AdoptLocale.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!adoptEnvironmentLocale()) return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
