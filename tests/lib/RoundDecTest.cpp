#include "services/lib/Consiste.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

TEST(LibRoundDec,
     GivenHalfwayAndNearHalfwayValues_WhenRounding_ThenDecimalDigitsDecideNotBinaryForm) {
    struct Row {
        double value;
        int decimals;
        double expected;
    };
    // Each expected value is compared exactly: the result must be the double nearest the
    // decimal answer, as a literal of it would be.
    const Row table[] = {
        {1000.004, 2, 1000.00},
        {2.675, 2, 2.68},
        {1000.005, 2, 1000.01},
        {-2.675, 2, -2.68},
        {1.005, 2, 1.01},
        {1.015, 2, 1.02},
        {0.125, 2, 0.13},
        {0.124999, 2, 0.12},
        {2.5, 0, 3.0},
        {-2.5, 0, -3.0},
        {0.5, 0, 1.0},
        {99.995, 2, 100.0},
        {-99.995, 2, -100.0},
        {0.005, 2, 0.01},
        {0.0049, 2, 0.0},
        {0.0009, 2, 0.0},
        {123456789.125, 2, 123456789.13},
        {1234.5678, 1, 1234.6},
        {0.12345678905, 10, 0.1234567891},
        {0.12345678904, 10, 0.123456789},
        {42.0, 2, 42.0},
        {1e20, 2, 1e20},
        {-0.0, 2, 0.0},
    };
    for (const Row& row : table)
        EXPECT_EQ(RoundDec(row.value, row.decimals), row.expected)
            << row.value << " to " << row.decimals;
}

TEST(LibRoundDec,
     GivenComputedValuesCarryingBinaryNoise_WhenRounding_ThenTheIntendedFigureComesOut) {
    EXPECT_EQ(RoundDec(0.1 + 0.2, 2), 0.3);
    EXPECT_EQ(RoundDec(1.1 * 3, 1), 3.3);
    // 100 × 0.02675 is 2.6749999999999998 in binary, meant as 2.675.
    EXPECT_EQ(RoundDec(100 * 0.02675, 2), 2.68);
    // A sum of amounts that should land on a half cent.
    double total = 0;
    for (int i = 0; i < 10; ++i)
        total += 0.1005;
    EXPECT_EQ(RoundDec(total, 2), 1.01);
}

TEST(LibRoundDec, GivenTinyNegatives_WhenRoundedToZero_ThenTheResultIsPlainZero) {
    // A negative zero would show as "-0,00".
    EXPECT_FALSE(std::signbit(RoundDec(-0.001, 2)));
    EXPECT_FALSE(std::signbit(RoundDec(-0.0, 2)));
}

TEST(LibRoundDec, GivenDecimalsOutsideZeroToTen_WhenRounding_ThenItIsRefusedClearly) {
    EXPECT_THROW(RoundDec(1.0, -1), std::invalid_argument);
    EXPECT_THROW(RoundDec(1.0, 11), std::invalid_argument);
    EXPECT_TRUE(std::isnan(RoundDec(std::nan(""), 2)));
}
