#include "settings/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace morvik {
namespace {

struct FormatCase {
    double value;
    int precision;
    const char* text;
};

TEST(NumberText, FormatGBehavesAsPercentStarG) {
    const FormatCase cases[] = {
        {0.1, 9, "0.1"},
        {2.5, 9, "2.5"},
        {0.0, 9, "0"},
        {-0.0, 9, "-0"},
        {2.5, 0, "2"}, // "%.*g" with 0: one digit, ties to even
        {3.7, 0, "4"},
        {3.7, -5, "4"}, // below 1 behaves as 0
        {123456.0, 3, "1.23e+05"},
        {0.0001, 9, "0.0001"},
        {0.00001, 9, "1e-05"},
        {1e21, 9, "1e+21"},
        {100.0, 3, "100"},
        {1000.0, 3, "1e+03"},
        {-12.25, 9, "-12.25"},
        {1.0 / 3.0, 17, "0.33333333333333331"},
        {1.0 / 3.0, 40, "0.33333333333333331"}, // more digits than a double holds
        {std::numeric_limits<double>::infinity(), 9, "inf"},
        {-std::numeric_limits<double>::infinity(), 9, "-inf"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(FormatG(c.value, c.precision), c.text) << c.value << " at " << c.precision;
    }
}

TEST(NumberText, FormatGStaysWithinTheDoubleReadLimit) {
    // The longest texts at the largest precision still fit the 29 characters a floating
    // setting reads back, so the exponent is never cut off.
    const double extremes[] = {-std::numeric_limits<double>::max(),
                               -std::numeric_limits<double>::denorm_min(), -1.2345678901234567e-300,
                               -0.00012345678901234567};
    for (double value : extremes) {
        const std::string text = FormatG(value, 1000);
        EXPECT_LE(text.size(), 29u) << text;
        EXPECT_EQ(ParseLeadingDouble(text), value) << text;
    }
}

TEST(NumberText, FormatIntIsPercentD) {
    EXPECT_EQ(FormatInt(0), "0");
    EXPECT_EQ(FormatInt(-7), "-7");
    EXPECT_EQ(FormatInt(2147483647), "2147483647");
    EXPECT_EQ(FormatInt(-2147483648LL), "-2147483648");
}

struct DoubleCase {
    const char* text;
    double value;
};

TEST(NumberText, ParseLeadingDoubleReadsAsPercentLf) {
    const double inf = std::numeric_limits<double>::infinity();
    const DoubleCase cases[] = {
        {"25.4 mm", 25.4},
        {"  \t-2.5in", -2.5},
        {"+3", 3.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e3", 1000.0},
        {"1E-2 x", 0.01},
        {"1e", 1.0},  // an exponent without digits is not part of the number
        {"2,5", 2.0}, // a comma never is a decimal point here
        {"abc", 0.0},
        {"", 0.0},
        {"-", 0.0},
        {"+-1", 0.0},
        {"--1", 0.0},
        {"- 1", 0.0},
        {"0x10", 16.0},
        {"0x1p-2", 0.25},
        {"inf", inf},
        {"-Infinity", -inf},
        {"1e999", inf},
        {"-1e999", -inf},
        {"1e-999", 0.0},
        {"0.000001e-400", 0.0},
        {"123456789e-1000", 0.0},
    };
    for (const DoubleCase& c : cases) {
        EXPECT_EQ(ParseLeadingDouble(c.text), c.value) << '"' << c.text << '"';
    }
    EXPECT_TRUE(std::isnan(ParseLeadingDouble("nan")));
}

struct IntCase {
    const char* text;
    int value;
};

TEST(NumberText, ParseLeadingIntReadsAsPercentD) {
    const IntCase cases[] = {
        {"12abc", 12},
        {"abc", 0},
        {"-7", -7},
        {"  +42 ", 42},
        {"\t\n9", 9},
        {"3.9", 3},
        {"", 0},
        {"-", 0},
        {"+-3", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1},
        {"00000000000000000000000000012", 12},
    };
    for (const IntCase& c : cases) {
        EXPECT_EQ(ParseLeadingInt(c.text), c.value) << '"' << c.text << '"';
    }
}

} // namespace
} // namespace morvik
