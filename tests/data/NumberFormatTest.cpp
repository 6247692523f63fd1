#include "services/data/NumberFormat.h"
#include "services/data/DataSetError.h"

#include <gtest/gtest.h>

TEST(NumberFormat, GivenTheDisplayPatterns_WhenFormatting_ThenDecimalCommaAndDotGroups) {
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(FormatFloat("#,##0.00", -1234.5), "-1.234,50");
    EXPECT_EQ(FormatFloat("#,##0.00", 0), "0,00");
    EXPECT_EQ(FormatFloat("#,##0.00", 999.999), "1.000,00");
    EXPECT_EQ(FormatFloat("#,##0.00", 100), "100,00");
    EXPECT_EQ(FormatFloat("#,##0.0", 12.34), "12,3");
    EXPECT_EQ(FormatFloat("#,#0.0", 1234.56), "1.234,6");
    EXPECT_EQ(FormatFloat("0.00", 1234.5), "1234,50");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("#,##0", 999999999), "999.999.999");
}

TEST(NumberFormat, GivenHalfwayDecimals_WhenFormatting_ThenRoundsHalfAwayFromZeroAsWritten) {
    // 2.675 and 1000.005 are just below the half in binary: the written decimal decides.
    EXPECT_EQ(FormatFloat("0.00", 2.675), "2,68");
    EXPECT_EQ(FormatFloat("0.00", 1000.005), "1000,01");
    EXPECT_EQ(FormatFloat("0.00", 1000.004), "1000,00");
    EXPECT_EQ(FormatFloat("0.00", -2.675), "-2,68");
    EXPECT_EQ(FormatFloat("0.00", 0.1 + 0.2), "0,30");
    // A negative value that rounds to zero loses its sign.
    EXPECT_EQ(FormatFloat("#,##0.00", -0.004), "0,00");
}

TEST(NumberFormat, GivenOptionalDecimalsOrNoPattern_WhenFormatting_ThenTrailingZerosGo) {
    EXPECT_EQ(FormatFloat("0.##", 1.5), "1,5");
    EXPECT_EQ(FormatFloat("0.##", 2), "2");
    EXPECT_EQ(FormatFloat("", 1234.5), "1234,5");
    EXPECT_EQ(FormatFloat("", 0.1 + 0.2), "0,3");
    EXPECT_EQ(FormatFloat("", -3), "-3");
}

TEST(NumberFormat, GivenOperatorTexts_WhenReadingNumbers_ThenCommaIsDecimalAndDotsGroupThousands) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"1.234,56", true, 1234.56},
        {"1234,56", true, 1234.56},
        {"1234", true, 1234},
        {"-1.234,5", true, -1234.5},
        {" 12,5 ", true, 12.5},
        {"1.234.567", true, 1234567},
        {",5", true, 0.5},
        {"+3", true, 3},
        {"1234.5", false, 0},
        {"1.23,4", false, 0},
        {"12.3456", false, 0},
        {"", false, 0},
        {"abc", false, 0},
        {"1,2,3", false, 0},
        {"1,", false, 0},
        {"-", false, 0},
        {".123", false, 0},
        {"12a", false, 0},
    };
    for (const Case& c : cases) {
        bool ok = !c.ok;
        const double v = TextToFloat(c.text, ok);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}

TEST(NumberFormat, GivenCalendarDates_WhenConverting_ThenDaysCountFrom30December1899) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2009, 3, 1), 39873);
    EXPECT_EQ(EncodeDate(2024, 2, 29) - EncodeDate(2024, 2, 28), 1);
    int y = 0, m = 0, d = 0;
    DecodeDate(39873.75, y, m, d);
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{2009, 3, 1}));
    DecodeDate(-1, y, m, d);
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{1899, 12, 29}));
    double days = 5;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, days));
    EXPECT_FALSE(TryEncodeDate(2023, 13, 1, days));
    EXPECT_EQ(days, 5);
    EXPECT_THROW(EncodeDate(2023, 4, 31), DataSetError);
}

TEST(NumberFormat, GivenDatePatterns_WhenFormattingAndParsing_ThenDayMonthYear) {
    EXPECT_EQ(FormatDate("dd/mm/yyyy", 0), "30/12/1899");
    EXPECT_EQ(FormatDate("mm/yyyy", EncodeDate(2009, 3, 15)), "03/2009");
    EXPECT_EQ(FormatDate("d/m/yy", EncodeDate(2009, 3, 5)), "5/3/09");
    EXPECT_EQ(FormatDate("dd/mm/yyyy hh:nn:ss", EncodeDate(2009, 3, 5) + 0.5),
              "05/03/2009 12:00:00");

    double days = -1;
    EXPECT_TRUE(TryParseDate("15/03/2009", days));
    EXPECT_EQ(days, EncodeDate(2009, 3, 15));
    EXPECT_TRUE(TryParseDate(" 1/2/2010 ", days));
    EXPECT_EQ(days, EncodeDate(2010, 2, 1));
    EXPECT_TRUE(TryParseDate("01/02/10", days));
    EXPECT_EQ(days, EncodeDate(2010, 2, 1));
    EXPECT_TRUE(TryParseDate("01/02/99", days));
    EXPECT_EQ(days, EncodeDate(1999, 2, 1));
    days = 7;
    for (const char* bad : {"31/02/2009", "03/2009", "2009-03-01", "", "1/1/1/1", "aa/bb/cccc",
                            "12/13/2009", "1/1/123"})
        EXPECT_FALSE(TryParseDate(bad, days)) << bad;
    EXPECT_EQ(days, 7);
}
