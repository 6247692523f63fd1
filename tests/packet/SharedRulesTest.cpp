#include "services/data/BlankTrim.h"
#include "services/data/DataPacket.h"
#include "services/data/DecimalRounding.h"
#include "services/data/Int32Range.h"
#include "services/data/Variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

// "digits@exponent" (with "~" when nothing was dropped), so that a case reads as one string.
std::string digitsOf(double value, int decimals) {
    const DecimalDigits d = roundedDecimalDigits(value, decimals);
    return (d.digits.empty() ? std::string("-") : d.digits) + "@" + std::to_string(d.exponent) +
           (d.rounded ? "" : "~");
}

} // namespace

TEST(SharedRules, GivenPaddedTexts_WhenTrimmed_ThenEachRuleKeepsWhatItShould) {
    EXPECT_EQ(textTrimmedRight(Variant("  AB  ")), "  AB");
    EXPECT_EQ(textTrimmed(Variant("  AB  ")), "AB");
    EXPECT_EQ(textTrimmedRight(Variant("    ")), "");
    EXPECT_EQ(textTrimmed(Variant("    ")), "");
    EXPECT_EQ(textTrimmedRight(Variant()), "");
    EXPECT_EQ(textTrimmed(Variant()), "");
    EXPECT_EQ(textTrimmedRight(Variant("A B ")), "A B");
    EXPECT_EQ(textTrimmedRight(Variant(12)), "12");
    EXPECT_EQ(trimBlanks(" 0001 , "), "0001 ,");
    EXPECT_EQ(trimBlanks(""), "");
    EXPECT_EQ(trimBlanks("\t1\t"), "\t1\t"); // only blanks pad codes
}

TEST(SharedRules, GivenTheInt32Bounds_WhenChecked_ThenBothEndsFitAndOneBeyondDoesNot) {
    EXPECT_TRUE(inInt32Range(-2147483648.0));
    EXPECT_TRUE(inInt32Range(2147483647.0));
    EXPECT_FALSE(inInt32Range(2147483648.0));
    EXPECT_FALSE(inInt32Range(-2147483649.0));
    EXPECT_FALSE(inInt32Range(std::nan("")));
    EXPECT_FALSE(inInt32Range(std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(inInt32Range(2147483646.5));

    EXPECT_TRUE(isWholeInt32(-2147483648.0));
    EXPECT_TRUE(isWholeInt32(-0.0));
    EXPECT_FALSE(isWholeInt32(2147483646.5));
    EXPECT_FALSE(isWholeInt32(std::nan("")));
    EXPECT_FALSE(isWholeInt32(-std::numeric_limits<double>::infinity()));

    EXPECT_TRUE(inInt32Range(std::int64_t{INT32_MIN}));
    EXPECT_FALSE(inInt32Range(std::int64_t{INT32_MIN} - 1));
    EXPECT_FALSE(inInt32Range(static_cast<long long>(INT32_MAX) + 1));
}

TEST(SharedRules, GivenIntegerTextsAtTheBounds_WhenReadIntoAPacket_ThenTheLowestIsAccepted) {
    const std::string head = R"({"fields":[{"name":"N","type":"integer"}],"rows":[[)";
    EXPECT_EQ(DataPacket::fromJson(head + "-2147483648]]}").rows.at(0).at(0).toInt(), INT32_MIN);
    EXPECT_THROW(DataPacket::fromJson(head + "2147483648]]}"), std::exception);
    EXPECT_EQ(Variant(-2147483648.0).toInt(), INT32_MIN);
    EXPECT_THROW(Variant(2147483648.0).toInt(), VariantError);
}

TEST(SharedRules, GivenHalfCents_WhenRoundedAsMoney_ThenHalvesGoAwayFromZeroAsWritten) {
    const std::vector<std::pair<double, double>> cases = {
        {12.345, 12.35}, {-12.345, -12.35},         {2.675, 2.68}, {1.005, 1.01}, {0.004999, 0.0},
        {-0.005, -0.01}, {1234567.125, 1234567.13}, {7.0, 7.0},    {0.0, 0.0}};
    for (const auto& [value, expected] : cases)
        EXPECT_DOUBLE_EQ(roundMoney(value), expected) << value;
}

TEST(SharedRules, GivenValues_WhenSplitIntoRoundedDecimalDigits_ThenTheFifteenDigitFigureRounds) {
    EXPECT_EQ(digitsOf(2.675, 2), "268@0");
    EXPECT_EQ(digitsOf(-2.675, 2), "268@0");
    EXPECT_EQ(digitsOf(9.995, 2), "1000@1");
    EXPECT_EQ(digitsOf(0.004, 2), "-@-3");
    EXPECT_EQ(digitsOf(0.005, 2), "1@-2");
    EXPECT_EQ(digitsOf(0.0005, 2), "-@-4");
    EXPECT_EQ(digitsOf(0.25, 0), "-@-1");
    EXPECT_EQ(digitsOf(0.5, 0), "1@0");
    EXPECT_EQ(digitsOf(1.5, 20), "150000000000000@0~");
    EXPECT_EQ(digitsOf(0.0, 2), "-@0~");
    EXPECT_EQ(digitsOf(std::nan(""), 2), "-@0~");
}
