#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "numeric/number_format.h"

using kalvanta::formatGeneral;

namespace {

struct FormatCase {
    long double value;
    const char* comma;
};

class GeneralFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(GeneralFormat, WritesTheShortestFifteenDigitForm)
{
    EXPECT_EQ(formatGeneral(GetParam().value, ","), GetParam().comma);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GeneralFormat,
    ::testing::Values(
        FormatCase{0.0L, "0"}, FormatCase{-0.0L, "0"}, FormatCase{1.0L, "1"}, FormatCase{-5.0L, "-5"},
        FormatCase{36345.0L, "36345"}, FormatCase{-1596.0L, "-1596"},
        FormatCase{static_cast<double>(0.56), "0,56"}, FormatCase{static_cast<double>(-0.12), "-0,12"},
        FormatCase{static_cast<double>(27385.89), "27385,89"},
        FormatCase{static_cast<double>(0.0001), "0,0001"}, FormatCase{0.0001L, "0,0001"},
        FormatCase{static_cast<double>(0.00005), "5E-5"}, FormatCase{1e20L, "1E20"},
        FormatCase{static_cast<double>(1.5e-7), "1,5E-7"}, FormatCase{-1.5e-7L, "-1,5E-7"},
        // 15 integer digits stay fixed, 16 go to exponent form.
        FormatCase{123456789012345.0L, "123456789012345"},
        FormatCase{1234567890123456.0L, "1,23456789012346E15"},
        FormatCase{1e15L, "1E15"},
        // Rounding at the 15th digit: halves go away from zero.
        FormatCase{100000000000000.5L, "100000000000001"},
        FormatCase{-100000000000000.5L, "-100000000000001"},
        FormatCase{0.1234567890123455L, "0,123456789012346"},
        // The choice of form is made after rounding.
        FormatCase{999999999999999.9L, "1E15"},
        FormatCase{std::nextafter(0.0001, 0.0), "0,0001"},
        // Extended products print like their decimal value.
        FormatCase{static_cast<long double>(0.56) * 100.0L, "56"},
        FormatCase{static_cast<long double>(0.29) * 100.0L, "29"},
        FormatCase{DBL_MAX, "1,79769313486232E308"},
        FormatCase{4.9406564584124654e-324L, "4,94065645841247E-324"}));

TEST(GeneralFormat, UsesTheSeparatorItIsGiven)
{
    EXPECT_EQ(formatGeneral(static_cast<double>(1.5), "."), "1.5");
    EXPECT_EQ(formatGeneral(static_cast<double>(1.5e-7), "."), "1.5E-7");
    EXPECT_EQ(formatGeneral(static_cast<double>(10680.5), ","), "10680,5");
}

} // namespace
