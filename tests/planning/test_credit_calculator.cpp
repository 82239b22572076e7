#include <gtest/gtest.h>

#include <string>

#include "numeric/float_errors.h"
#include "planning/credit_calculator.h"

using namespace kalvanta;

namespace {

CreditEditTexts defaultTexts()
{
    CreditEditTexts t;
    t.Edit1 = "10";
    t.Edit2 = "365";
    t.Edit3 = "100";
    t.Edit4 = "200";
    t.Edit5 = "2";
    return t;
}

struct CreditCase {
    const char* name;
    bool finalSum;
    int kind;
    const char* term;
    const char* accruals;
    const char* line;
};

class CreditTable : public ::testing::TestWithParam<CreditCase> {};

} // namespace

TEST_P(CreditTable, AppendsTheTruncatedSum)
{
    const CreditCase& c = GetParam();
    CreditEditTexts t = defaultTexts();
    t.Edit2 = c.term;
    t.Edit5 = c.accruals;
    CreditCalc calc;
    EXPECT_EQ(computeCredit(calc, c.finalSum, c.kind, t, RegionalSettings::russian()), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedFigures, CreditTable,
    ::testing::Values(
        CreditCase{"FinalSimple", true, 0, "365", "2", "Итоговая сумма  110"},
        CreditCase{"FinalCompound", true, 1, "365", "2", "Итоговая сумма  110,25"},
        CreditCase{"InitialSimple", false, 0, "365", "2", "Первоначальная сумма  181,81"},
        CreditCase{"InitialCompound", false, 1, "365", "2", "Первоначальная сумма  181,4"},
        CreditCase{"TermShorterThanOnePeriod", true, 1, "180", "2", "Итоговая сумма  100"},
        CreditCase{"OneWholePeriod", true, 1, "183", "2", "Итоговая сумма  105"},
        CreditCase{"MonthlyTwoPeriods", true, 1, "90", "12", "Итоговая сумма  101,67"},
        // Any index but 0 is compound interest.
        CreditCase{"OtherIndexIsCompound", true, 5, "365", "2", "Итоговая сумма  110,25"},
        // A negative term truncates toward zero: -1,5 periods are -1.
        CreditCase{"NegativeTerm", true, 1, "-274", "2", "Итоговая сумма  95,23"}),
    [](const ::testing::TestParamInfo<CreditCase>& i) { return std::string(i.param.name); });

TEST(CreditCalculator, SimpleInterestDoesNotReadTheAccruals)
{
    CreditEditTexts t = defaultTexts();
    t.Edit5 = "";
    CreditCalc calc;
    EXPECT_EQ(computeCredit(calc, true, 0, t, RegionalSettings::russian()), "Итоговая сумма  110");
    EXPECT_EQ(calc.FinalSum, 110.0);
    EXPECT_EQ(calc.AccrualsPerYear, 0.0);
}

struct CreditErrorCase {
    const char* name;
    bool finalSum;
    int kind;
    CreditEditTexts texts;
    const char* message;
};

class CreditErrors : public ::testing::TestWithParam<CreditErrorCase> {};

TEST_P(CreditErrors, RaisesThePlatformMessage)
{
    const CreditErrorCase& c = GetParam();
    CreditCalc calc;
    try {
        computeCredit(calc, c.finalSum, c.kind, c.texts, RegionalSettings::russian());
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), c.message);
    }
}

namespace {
CreditEditTexts with(void (*change)(CreditEditTexts&))
{
    CreditEditTexts t = defaultTexts();
    change(t);
    return t;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Errors, CreditErrors,
    ::testing::Values(
        CreditErrorCase{"EmptyInitialSum", true, 0, with([](CreditEditTexts& t) { t.Edit3 = ""; }),
                        "'' is not a valid floating point value"},
        CreditErrorCase{"FullStopSeparator", true, 0, with([](CreditEditTexts& t) { t.Edit1 = "10.5"; }),
                        "'10.5' is not a valid floating point value"},
        CreditErrorCase{"BadAccruals", false, 1, with([](CreditEditTexts& t) { t.Edit5 = "два"; }),
                        "'два' is not a valid floating point value"},
        CreditErrorCase{"ZeroAccruals", true, 1, with([](CreditEditTexts& t) { t.Edit5 = "0"; }),
                        "Floating point division by zero"},
        CreditErrorCase{"ZeroAccrualsAndRate", true, 1,
                        with([](CreditEditTexts& t) { t.Edit5 = "0"; t.Edit1 = "0"; }),
                        "Invalid floating point operation"},
        CreditErrorCase{"PeriodGrowthZero", true, 1, with([](CreditEditTexts& t) { t.Edit1 = "-200"; }),
                        "Floating point division by zero"},
        CreditErrorCase{"PeriodGrowthNegative", true, 1, with([](CreditEditTexts& t) { t.Edit1 = "-300"; }),
                        "Invalid floating point operation"},
        CreditErrorCase{"SimpleDivisorZero", false, 0, with([](CreditEditTexts& t) { t.Edit1 = "-100"; }),
                        "Floating point division by zero"},
        CreditErrorCase{"SimpleOverflow", true, 0,
                        with([](CreditEditTexts& t) { t.Edit3 = "1E300"; t.Edit1 = "1E100"; }),
                        "Floating point overflow"},
        CreditErrorCase{"CompoundOverflow", true, 1,
                        with([](CreditEditTexts& t) { t.Edit1 = "1000"; t.Edit2 = "3650000"; t.Edit5 = "12"; }),
                        "Floating point overflow"}),
    [](const ::testing::TestParamInfo<CreditErrorCase>& i) { return std::string(i.param.name); });

TEST(CreditCalculator, FieldsReadBeforeAnErrorHoldTheirNewValues)
{
    CreditEditTexts t = defaultTexts();
    t.Edit4 = "300";
    t.Edit2 = "x";
    CreditCalc calc;
    EXPECT_THROW(computeCredit(calc, false, 1, t, RegionalSettings::russian()), ConversionError);
    EXPECT_EQ(calc.FinalSum, 300.0);
    EXPECT_EQ(calc.AnnualRate, 10.0);
    EXPECT_EQ(calc.TermDays, 0.0);
    EXPECT_EQ(calc.InitialSum, 0.0);
}

TEST(CreditCalculator, DecimalPointRegionUsesItsSeparator)
{
    RegionalSettings rs;
    rs.decimalSeparator = ".";
    CreditCalc calc;
    EXPECT_EQ(computeCredit(calc, true, 1, defaultTexts(), rs), "Итоговая сумма  110.25");
}
