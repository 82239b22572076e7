#include <gtest/gtest.h>

#include <cfloat>
#include <string>

#include "numeric/extended.h"
#include "numeric/number_format.h"

using namespace kalvanta;

namespace {

struct TruncCase {
    double value;
    int decimals;
    const char* printed;
};

class Truncation : public ::testing::TestWithParam<TruncCase> {};

TEST_P(Truncation, DropsTheFractionTowardZeroOnTheStoredDouble)
{
    const auto& c = GetParam();
    EXPECT_EQ(formatGeneral(truncTo(c.value, c.decimals), ","), c.printed);
}

INSTANTIATE_TEST_SUITE_P(Table, Truncation,
                         ::testing::Values(TruncCase{0.567, 2, "0,56"}, TruncCase{-0.127, 2, "-0,12"},
                                           TruncCase{0.999, 2, "0,99"}, TruncCase{0.3, 4, "0,2999"},
                                           TruncCase{0.29, 2, "0,28"}, TruncCase{29.0 / 100.0, 2, "0,28"},
                                           TruncCase{1.0599, 2, "1,05"}, TruncCase{0.0099, 3, "0,009"},
                                           TruncCase{156.9, 0, "156"}, TruncCase{-156.9, 0, "-156"},
                                           TruncCase{-0.001, 2, "0"}, TruncCase{4.0199, 2, "4,01"},
                                           TruncCase{1e308, 4, "1E308"}, TruncCase{5e-324, 2, "0"}));

TEST(Divide, RaisesThePlatformErrors)
{
    EXPECT_EQ(divide(1.0L, 4.0L), 0.25L);
    try {
        divide(1.0L, 0.0L);
        FAIL();
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    try {
        divide(0.0L, 0.0L);
        FAIL();
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
    try {
        divide(-0.0L, -0.0L);
        FAIL();
    } catch (const FloatError& e) {
        EXPECT_EQ(e.kind(), FloatError::Kind::InvalidOperation);
    }
}

TEST(Store, OverflowAndInvalid)
{
    EXPECT_EQ(store(1.5L), 1.5);
    try {
        store(static_cast<long double>(DBL_MAX) * 2.0L);
        FAIL();
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
    EXPECT_THROW(store(std::nanl("")), FloatError);
    // Underflow is quiet.
    EXPECT_EQ(store(1e-4000L), 0.0);
    // A quotient that overflows double, not extended, fails when stored.
    EXPECT_THROW(store(divide(1e308L, 1e-10L)), FloatError);
}

TEST(Logarithm, ZeroAndNegative)
{
    EXPECT_NEAR(static_cast<double>(kalvanta::ln(2.718281828459045235L)), 1.0, 1e-15);
    try {
        kalvanta::ln(0.0L);
        FAIL();
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    try {
        kalvanta::ln(-1.0L);
        FAIL();
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
    EXPECT_THROW(kalvanta::exp(20000.0L), FloatError);
}

TEST(ErrorDisplay, AppendsAFullStopOnlyWhenMissing)
{
    EXPECT_EQ(withFullStop("Floating point division by zero"), "Floating point division by zero.");
    EXPECT_EQ(withFullStop("Already."), "Already.");
    EXPECT_EQ(withFullStop(""), "");
    EXPECT_EQ(withFullStop(ConversionError("").what()), "'' is not a valid floating point value.");
}

} // namespace
