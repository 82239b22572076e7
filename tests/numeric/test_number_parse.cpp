#include <gtest/gtest.h>

#include <cmath>

#include "numeric/float_errors.h"
#include "numeric/number_parse.h"

using kalvanta::ConversionError;
using kalvanta::parseNumber;

namespace {

struct GoodCase {
    const char* text;
    double value;
};

class ParseAccepted : public ::testing::TestWithParam<GoodCase> {};

TEST_P(ParseAccepted, GivesTheNearestDouble)
{
    EXPECT_EQ(parseNumber(GetParam().text, ","), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseAccepted,
    ::testing::Values(GoodCase{" 524 ", 524.0}, GoodCase{"\t524", 524.0}, GoodCase{"1e3", 1000.0},
                      GoodCase{"1E3", 1000.0}, GoodCase{"10680,5", 10680.5}, GoodCase{"-100", -100.0},
                      GoodCase{"+7", 7.0}, GoodCase{"0,1", 0.1}, GoodCase{"1,", 1.0}, GoodCase{",5", 0.5},
                      GoodCase{"2,5e-3", 0.0025}, GoodCase{"1e+2", 100.0}, GoodCase{"5E-324", 4.9406564584124654e-324},
                      GoodCase{"1e-400", 0.0}, GoodCase{"0000012", 12.0},
                      GoodCase{"1,7976931348623157e308", 1.7976931348623157e308}));

class ParseRejected : public ::testing::TestWithParam<const char*> {};

TEST_P(ParseRejected, RaisesTheConversionErrorWithTheFieldText)
{
    const std::string text = GetParam();
    try {
        parseNumber(text, ",");
        FAIL() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid floating point value");
        EXPECT_EQ(e.fieldText(), text);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ParseRejected,
                         ::testing::Values("", " ", "-", "1.5", "1,,5", "1,5,5", "--1", "1-", "12a", "abc",
                                           "1 000", "1e", "1e+", "e5", ",", "+-1", "1e309", "-1e309",
                                           "0x10", "inf", "nan", "1,5.", "１"));

TEST(ParseNumber, PointSeparatorAcceptsThePointOnly)
{
    EXPECT_EQ(parseNumber("1.5", "."), 1.5);
    EXPECT_THROW(parseNumber("1,5", "."), ConversionError);
}

} // namespace
