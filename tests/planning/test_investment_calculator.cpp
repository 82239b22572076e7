#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <string>

#include "numeric/float_errors.h"
#include "planning/investment_calculator.h"

using namespace kalvanta;
using ::testing::ElementsAre;

namespace {

InvestTexts defaultTexts()
{
    InvestTexts t;
    t.investment = "10000";
    t.ratePercent = "10";
    t.profits = {"1000", "2000", "3000", "4000", "5000", "", "", "", "", ""};
    return t;
}

InvestResult run(const InvestTexts& t)
{
    InvestCalc calc;
    return computeInvestment(calc, t, RegionalSettings::russian());
}

} // namespace

TEST(InvestmentCalculator, DefaultsGiveTheSevenLines)
{
    EXPECT_THAT(run(defaultTexts()).lines,
                ElementsAre("", "Коэффициент ROI =0,2999", "Чистый дисконтированный доход (NPV) =652,5883",
                            "Индекс рентабельности (PI) =1,0652", "Внутренняя норма доходности (IRR) =12,49%",
                            "", ""));
}

TEST(InvestmentCalculator, SearchStopsAtThirteenPercent)
{
    InvestCalc calc;
    const InvestResult r = computeInvestment(calc, defaultTexts(), RegionalSettings::russian());
    EXPECT_EQ(r.irr, IrrOutcome::Found);
    EXPECT_NEAR(calc.DiscountRate, 0.13, 1e-12);
    EXPECT_EQ(calc.InvestIrr, 0.1249);
    EXPECT_EQ(calc.ProfitSum, 3000.0);
    EXPECT_EQ(calc.ProfitCount, 5.0);
}

TEST(InvestmentCalculator, RateTwentyFindsTheIrrBelowTheEnteredRate)
{
    InvestTexts t = defaultTexts();
    t.ratePercent = "20";
    EXPECT_THAT(run(t).lines,
                ElementsAre("", "Коэффициент ROI =0,2999", "Чистый дисконтированный доход (NPV) =-2103,2664",
                            "Индекс рентабельности (PI) =0,7896", "Внутренняя норма доходности (IRR) =12,49%",
                            "", ""));
}

TEST(InvestmentCalculator, SparseYearsAreDiscountedWithTheirOwnYear)
{
    InvestTexts t = defaultTexts();
    t.profits = {"1000", "", "3000", "", "5000", "", "", "", "", "9000"};
    InvestCalc calc;
    const InvestResult r = computeInvestment(calc, t, RegionalSettings::russian());
    EXPECT_EQ(r.lines.at(1), "Коэффициент ROI =0,45");
    EXPECT_EQ(calc.ProfitCount, 4.0);
    // 1000/1,1 + 3000/1,1^3 + 5000/1,1^5 + 9000/1,1^10 = 9737,53…
    EXPECT_EQ(r.lines.at(2), "Чистый дисконтированный доход (NPV) =-262,4684");
    EXPECT_EQ(r.lines.at(3), "Индекс рентабельности (PI) =0,9737");
}

TEST(InvestmentCalculator, NegativeIrrIsFoundBelowZero)
{
    InvestTexts t = defaultTexts();
    t.profits = {"1000", "1000", "1000", "", "", "", "", "", "", ""};
    const InvestResult r = run(t);
    EXPECT_EQ(r.irr, IrrOutcome::Found);
    // Three times 1000 against 10000: the NPV turns positive between
    // -43 % and -42 %; the midpoint is truncated toward zero.
    EXPECT_EQ(r.lines.at(4), "Внутренняя норма доходности (IRR) =-42,49%");
}

TEST(InvestmentCalculator, ProfitsBelowTheInvestmentAtEveryRateHaveNoIrr)
{
    InvestTexts t = defaultTexts();
    t.profits = {"-1000", "", "", "", "", "", "", "", "", ""};
    const InvestResult r = run(t);
    EXPECT_EQ(r.irr, IrrOutcome::BelowFloor);
    EXPECT_EQ(r.lines.at(4),
              "Внутренняя норма доходности (IRR) =не найдена: NPV не положителен при всех ставках от -99% до 1%");
    EXPECT_LE(r.irrTrials, 101);
}

struct IrrCase {
    const char* name;
    const char* investment;
    const char* ratePercent;
    const char* npvLine;
    const char* irrLine;
};

class IrrOfTheCashFlows : public ::testing::TestWithParam<IrrCase> {};

// The entered rate moves the NPV line only: the search direction comes
// from the NPV at 1 %, so the IRR line is the same whatever rate is typed.
TEST_P(IrrOfTheCashFlows, EnteredRateChangesTheNpvLineOnly)
{
    const IrrCase& c = GetParam();
    InvestTexts t = defaultTexts();
    t.investment = c.investment;
    t.ratePercent = c.ratePercent;
    const InvestResult r = run(t);
    EXPECT_EQ(r.lines.at(2), c.npvLine);
    EXPECT_EQ(r.lines.at(4), c.irrLine);
    EXPECT_EQ(r.irr, IrrOutcome::Found);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, IrrOfTheCashFlows,
    ::testing::Values(
        // NPV 100 at 0 %, negative from 1 %: the IRR lies between 0 and 1 %.
        IrrCase{"PositiveAtZeroNegativeAtOne", "14900", "0", "Чистый дисконтированный доход (NPV) =100",
                "Внутренняя норма доходности (IRR) =0,5%"},
        IrrCase{"NegativeAtTheEnteredRate", "14900", "10", "Чистый дисконтированный доход (NPV) =-4247,4116",
                "Внутренняя норма доходности (IRR) =0,5%"},
        IrrCase{"NegativeEnteredRate", "14900", "-5", "Чистый дисконтированный доход (NPV) =3240,4782",
                "Внутренняя норма доходности (IRR) =0,5%"},
        // Positive at the entered rate and at 1 %: the search as it always was.
        IrrCase{"DefaultsAtZero", "10000", "0", "Чистый дисконтированный доход (NPV) =5000",
                "Внутренняя норма доходности (IRR) =12,49%"},
        IrrCase{"Defaults", "10000", "10", "Чистый дисконтированный доход (NPV) =652,5883",
                "Внутренняя норма доходности (IRR) =12,49%"},
        IrrCase{"DefaultsAboveTheIrr", "10000", "20", "Чистый дисконтированный доход (NPV) =-2103,2664",
                "Внутренняя норма доходности (IRR) =12,49%"}),
    [](const ::testing::TestParamInfo<IrrCase>& i) { return std::string(i.param.name); });

struct HostileCase {
    const char* name;
    const char* investment;
    std::array<std::string, 10> profits;
    IrrOutcome outcome;
    const char* irrLine;
};

class HostileIrr : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileIrr, SearchIsBoundedAndSaysSo)
{
    const HostileCase& c = GetParam();
    InvestTexts t = defaultTexts();
    t.investment = c.investment;
    t.profits = c.profits;
    const InvestResult r = run(t);
    EXPECT_EQ(r.irr, c.outcome);
    EXPECT_EQ(r.lines.at(4), c.irrLine);
    EXPECT_LE(r.irrTrials, 1001);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileIrr,
    ::testing::Values(
        HostileCase{"NegativeInvestment", "-10000", {"1000", "2000", "3000", "4000", "5000"},
                    IrrOutcome::AboveCeiling,
                    "Внутренняя норма доходности (IRR) =не найдена: NPV положителен при всех ставках до 1000%"},
        HostileCase{"HugeProfitsSmallInvestment", "1", {"1E300", "1E300", "1E300", "1E300", "1E300", "1E300",
                                                        "1E300", "1E300", "1E300", "1E300"},
                    IrrOutcome::AboveCeiling,
                    "Внутренняя норма доходности (IRR) =не найдена: NPV положителен при всех ставках до 1000%"},
        HostileCase{"IrrJustBelowTheCeiling", "100", {"1085"}, IrrOutcome::Found,
                    "Внутренняя норма доходности (IRR) =985,49%"},
        HostileCase{"HugeProfitsFoundFarBelowZero", "1E308", {"1E300", "", "", "", "", "", "", "", "", "1E300"},
                    IrrOutcome::Found, "Внутренняя норма доходности (IRR) =-84,49%"},
        // At -99 % the discounted losses pass the double range: the search
        // still ends with its line instead of an overflow.
        HostileCase{"HugeLossesDownToTheFloor", "1", {"-1E300", "", "", "", "", "", "", "", "", "-1E300"},
                    IrrOutcome::BelowFloor,
                    "Внутренняя норма доходности (IRR) =не найдена: NPV не положителен при всех ставках от -99% до 1%"}),
    [](const ::testing::TestParamInfo<HostileCase>& i) { return std::string(i.param.name); });

struct InvestErrorCase {
    const char* name;
    const char* investment;
    const char* rate;
    std::array<std::string, 10> profits;
    const char* message;
};

class InvestErrors : public ::testing::TestWithParam<InvestErrorCase> {};

TEST_P(InvestErrors, RaisesThePlatformMessage)
{
    const InvestErrorCase& c = GetParam();
    InvestTexts t;
    t.investment = c.investment;
    t.ratePercent = c.rate;
    t.profits = c.profits;
    try {
        run(t);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, InvestErrors,
    ::testing::Values(
        InvestErrorCase{"AllProfitsEmpty", "10000", "10", {}, "Invalid floating point operation"},
        // The profits come first: an empty profit row wins over a bad investment.
        InvestErrorCase{"AllEmptyBeforeBadInvestment", "x", "y", {}, "Invalid floating point operation"},
        InvestErrorCase{"BadProfit", "x", "10", {"1000", "1,2,3"}, "'1,2,3' is not a valid floating point value"},
        InvestErrorCase{"BlankProfitIsNotEmpty", "10000", "10", {"1000", " "}, "' ' is not a valid floating point value"},
        InvestErrorCase{"BadInvestmentBeforeRate", "10 000", "y", {"1000"}, "'10 000' is not a valid floating point value"},
        InvestErrorCase{"BadRate", "10000", "10%", {"1000"}, "'10%' is not a valid floating point value"},
        InvestErrorCase{"ZeroInvestment", "0", "10", {"1000"}, "Floating point division by zero"},
        InvestErrorCase{"ZeroInvestmentZeroProfit", "0", "10", {"0"}, "Invalid floating point operation"},
        InvestErrorCase{"RateMinus100", "10000", "-100", {"1000"}, "Floating point division by zero"},
        InvestErrorCase{"RateBelowMinus100", "10000", "-150", {"1000"}, "Invalid floating point operation"},
        InvestErrorCase{"ProfitSumOverflow", "10000", "10", {"1E308", "1E308"}, "Floating point overflow"},
        InvestErrorCase{"PresentValueOverflow", "10000", "-99,9", {"", "", "", "", "", "", "", "", "", "1E290"},
                        "Floating point overflow"}),
    [](const ::testing::TestParamInfo<InvestErrorCase>& i) { return std::string(i.param.name); });

TEST(InvestmentCalculator, ArrowsLowerTheRateTextByOne)
{
    const RegionalSettings rs = RegionalSettings::russian();
    EXPECT_EQ(lowerRateText("15", rs), "14");
    EXPECT_EQ(lowerRateText("0,5", rs), "-0,5");
    EXPECT_EQ(lowerRateText(" 1E3 ", rs), "999");
    EXPECT_THROW(lowerRateText("abc", rs), ConversionError);
}
