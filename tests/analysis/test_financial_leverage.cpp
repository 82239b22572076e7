#include <functional>
#include <string>
#include <vector>

#include "later_sections_harness.h"

namespace kalvanta {
namespace {

using testing::SectionHarness;

// Overall profitability of the worked example, stored by the profitability section.
SectionHarness workedExample(int years)
{
    SectionHarness h(years);
    h.results.TotalProfitability = {0.26, 0.01};
    return h;
}

void noCredits(AnalysisInput& in, int y)
{
    BalanceSheet& start = y == 1 ? in.Y1Start : in.Y2Start;
    start.LongTermLoans = 0;
    start.ShortTermLoans = 0;
    in.AdditionalData[y].CreditsReceived = 0;
}

const std::string kTitle2 = "                Финансовый рычаг ";

const std::vector<std::string> kBothYearsTable = {
    " ",
    kTitle2,
    "Общая (экономическая) рентабельность 1й год/2й год 0,26/0,01",
    "Средняя ставка процентов по кредитам 0,29/0,29",
    "Плечо фин. рычага 6,63 /7,51",
    "Дифференциал -0,03 /-0,28",
    "Эффект финансового рычага в 1й год -0,1392 ( -13,92%)",
    "Эффект финансового рычага в 2й год -1,3668 ( -136,68%)",
    "Ликвидный денежный поток -3224/2148",
    "Коэффициент отдачи на общие активы (ROA) 0,3976/0,0627",
    " ",
    " ",
};

TEST(FinancialLeverage, OneYearWorkedExample)
{
    SectionHarness h = workedExample(1);
    h.run(writeFinancialLeverage);
    const std::vector<std::string> expected = {
        " ",
        "                Финансовый рычач ",
        "Общая (экономическая) рентабельность  0,26",
        "Средняя ставка процентов по кредитам 0,29",
        "Плечо фин. рычага 6,63",
        "Дифференциал -0,03",
        "Эффект финансового рычага -0,1392 ( -13,92%)",
        "Ликвидный денежный поток -3224",
        "Коэффициент отдачи на общие активы (ROA) 0,3976",
        " ",
        " ",
    };
    EXPECT_EQ(h.sink.lines, expected);
    const FinancialLeverageResults& r = h.results.FinancialLeverage;
    EXPECT_EQ(r.AverageInterestRate[year::Y1], 0.29);
    EXPECT_EQ(r.LeverageShoulder[year::Y1], 6.63);
    EXPECT_EQ(r.LeverageDifferential[year::Y1], -0.03);
    EXPECT_EQ(r.FinancialLeverageEffect[year::Y1], -0.1392);
    EXPECT_EQ(r.LiquidCashFlow[year::Y1], -3224);
    EXPECT_EQ(r.ReturnOnAssets[year::Y1], 0.3976);
}

TEST(FinancialLeverage, DifferentialUsesTheRateBeforeTruncation)
{
    // Rate 0,359 is written 0,35; 0,5 − 0,359 gives 0,14, where 0,5 − 0,35 would give 0,15.
    SectionHarness h = workedExample(1);
    h.results.TotalProfitability[year::Y1] = 0.5;
    h.input.AdditionalData[1].InterestPaid = 3590;
    h.run(writeFinancialLeverage);
    EXPECT_EQ(h.sink.lines[3], "Средняя ставка процентов по кредитам 0,35");
    EXPECT_EQ(h.sink.lines[5], "Дифференциал 0,14");
}

TEST(FinancialLeverage, ZeroTaxRateLeavesDifferentialTimesShoulder)
{
    SectionHarness h = workedExample(1);
    h.input.AdditionalData[1].TaxRatePercent = 0;
    h.run(writeFinancialLeverage);
    // −0,03 × 6,63 of the stored doubles lies just above −0,1989.
    EXPECT_EQ(h.sink.lines[6], "Эффект финансового рычага -0,1988 ( -19,88%)");
}

TEST(FinancialLeverage, OneYearWithoutCredits)
{
    SectionHarness h = workedExample(1);
    noCredits(h.input, 1);
    h.results.FinancialLeverage.LeverageShoulder = {9, 9};
    h.run(writeFinancialLeverage);
    const std::vector<std::string> expected = {" ", " ", "      Финансовый рычаг ", "Кредитов нет "};
    EXPECT_EQ(h.sink.lines, expected);
    EXPECT_EQ(h.results.FinancialLeverage.LeverageShoulder, (ByYear{9, 9}));
}

TEST(FinancialLeverage, LoansOnlyAtTheEndOfTheYearAreNoCredits)
{
    SectionHarness h = workedExample(1);
    noCredits(h.input, 1);
    h.input.Y1End.LongTermLoans = 500;
    h.input.Y1End.ShortTermLoans = 700;
    h.run(writeFinancialLeverage);
    ASSERT_EQ(h.sink.lines.size(), 4u);
    EXPECT_EQ(h.sink.lines[3], "Кредитов нет ");
}

TEST(FinancialLeverage, LoansAtTheStartAloneAreCredits)
{
    for (const bool longTerm : {true, false}) {
        SectionHarness h = workedExample(1);
        noCredits(h.input, 1);
        (longTerm ? h.input.Y1Start.LongTermLoans : h.input.Y1Start.ShortTermLoans) = 6000;
        h.run(writeFinancialLeverage);
        ASSERT_EQ(h.sink.lines.size(), 11u) << longTerm;
        EXPECT_EQ(h.sink.lines[3], "Средняя ставка процентов по кредитам 0,5") << longTerm; // 3000 / 6000
    }
}

TEST(FinancialLeverage, TwoYearsBothWithCredits)
{
    SectionHarness h = workedExample(2);
    h.run(writeFinancialLeverage);
    EXPECT_EQ(h.sink.lines, kBothYearsTable);
}

TEST(FinancialLeverage, TwoYearsWithoutAnyCredits)
{
    SectionHarness h = workedExample(2);
    noCredits(h.input, 1);
    noCredits(h.input, 2);
    h.run(writeFinancialLeverage);
    const std::vector<std::string> expected = {" ", kTitle2, "Кредитов  в 1-м году нет ", "Кредитов во 2м году нет "};
    EXPECT_EQ(h.sink.lines, expected);
}

// A year without credits shows dashes (U+2014), never what an earlier report left;
// the overall profitability and the first year's cash flow are current.
TEST(FinancialLeverage, TwoYearsFirstWithoutCredits)
{
    SectionHarness h = workedExample(2);
    noCredits(h.input, 1);
    h.results.FinancialLeverage.AverageInterestRate = {0.77, 0.77};
    h.results.FinancialLeverage.FinancialLeverageEffect = {0.77, 0.77};
    h.results.FinancialLeverage.LiquidCashFlow = {777, 777};
    h.run(writeFinancialLeverage);
    const std::vector<std::string> expected = {
        " ",
        kTitle2,
        "Кредитов  в 1-м году нет ",
        " ",
        kTitle2,
        "Общая (экономическая) рентабельность 1й год/2й год 0,26/0,01",
        "Средняя ставка процентов по кредитам —/0,29",
        "Плечо фин. рычага — /7,51",
        "Дифференциал — /-0,28",
        "Эффект финансового рычага в 1й год —",
        "Эффект финансового рычага в 2й год -1,3668 ( -136,68%)",
        "Ликвидный денежный поток -3224/2148",
        "Коэффициент отдачи на общие активы (ROA) —/0,0627",
        " ",
        " ",
    };
    EXPECT_EQ(h.sink.lines, expected);
    // The record keeps the year's earlier values, except the recomputed cash flow.
    EXPECT_EQ(h.results.FinancialLeverage.AverageInterestRate[year::Y1], 0.77);
    EXPECT_EQ(h.results.FinancialLeverage.FinancialLeverageEffect[year::Y1], 0.77);
    EXPECT_EQ(h.results.FinancialLeverage.LiquidCashFlow, (ByYear{-3224, 2148}));
}

TEST(FinancialLeverage, TwoYearsSecondWithoutCredits)
{
    SectionHarness h = workedExample(2);
    noCredits(h.input, 2);
    h.results.FinancialLeverage.LiquidCashFlow = {777, 777};
    h.run(writeFinancialLeverage);
    const std::vector<std::string> expected = {
        "Кредитов во 2м году нет ",
        " ",
        kTitle2,
        "Общая (экономическая) рентабельность 1й год/2й год 0,26/0,01",
        "Средняя ставка процентов по кредитам 0,29/—",
        "Плечо фин. рычага 6,63 /—",
        "Дифференциал -0,03 /—",
        "Эффект финансового рычага в 1й год -0,1392 ( -13,92%)",
        "Эффект финансового рычага в 2й год —",
        "Ликвидный денежный поток -3224/—",
        "Коэффициент отдачи на общие активы (ROA) 0,3976/—",
        " ",
        " ",
    };
    EXPECT_EQ(h.sink.lines, expected);
    EXPECT_EQ(h.results.FinancialLeverage.LiquidCashFlow, (ByYear{-3224, 777}));
}

TEST(FinancialLeverage, SwitchedOffKeepsEarlierValues)
{
    SectionHarness h = workedExample(2);
    h.input.AnalysisParameters.FinancialLeverageOn = 0.0;
    h.results.FinancialLeverage.ReturnOnAssets = {0.5, 0.6};
    h.run(writeFinancialLeverage);
    EXPECT_TRUE(h.sink.lines.empty());
    EXPECT_EQ(h.results.FinancialLeverage.ReturnOnAssets, (ByYear{0.5, 0.6}));
}

// Not the shared testing::ZeroDivisorCase: this section writes lines before
// most of its divisions, so each case also names the lines that stand.
struct ZeroDivisorCase {
    const char* name;
    int years;
    std::function<void(AnalysisInput&)> change;
    FloatError::Kind kind;
    std::vector<std::string> linesBefore; // what stands when the report ends
};

class FinancialLeverageZeroDivisor : public ::testing::TestWithParam<ZeroDivisorCase> {};

TEST_P(FinancialLeverageZeroDivisor, EndsTheReport)
{
    const ZeroDivisorCase& c = GetParam();
    SectionHarness h = workedExample(c.years);
    c.change(h.input);
    EXPECT_EQ(h.runExpectingError(writeFinancialLeverage), c.kind);
    EXPECT_EQ(h.sink.lines, c.linesBefore);
}

void zeroAverageOwnFunds(AnalysisInput& in)
{
    in.Y1Start.EquityTotal = -3311;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FinancialLeverageZeroDivisor,
    ::testing::Values(
        ZeroDivisorCase{"CreditSumZeroThoughTermsAreNot", 1,
                        [](AnalysisInput& in) {
                            in.Y1Start.LongTermLoans = 4000;
                            in.Y1Start.ShortTermLoans = 6000;
                            in.AdditionalData[1].CreditsReceived = -10000;
                        },
                        FloatError::Kind::DivisionByZero,
                        {}},
        ZeroDivisorCase{"CreditSumAndInterestZero", 1,
                        [](AnalysisInput& in) {
                            in.Y1Start.LongTermLoans = 10000;
                            in.AdditionalData[1].CreditsReceived = -10000;
                            in.AdditionalData[1].InterestPaid = 0;
                        },
                        FloatError::Kind::InvalidOperation,
                        {}},
        ZeroDivisorCase{"AverageOwnFunds", 1, zeroAverageOwnFunds, FloatError::Kind::DivisionByZero, {}},
        ZeroDivisorCase{"AverageAssets", 1, [](AnalysisInput& in) { in.Y1Start.AssetsTotal = -22862; },
                        FloatError::Kind::DivisionByZero,
                        {}},
        ZeroDivisorCase{"SecondYearAfterFirstWithCredits", 2,
                        [](AnalysisInput& in) {
                            in.Y2Start.AssetsTotal = 0;
                            in.Y2End.AssetsTotal = 0;
                        },
                        FloatError::Kind::DivisionByZero,
                        {}},
        // The lines of a first year without credits are already written.
        ZeroDivisorCase{"SecondYearAfterFirstWithoutCredits", 2,
                        [](AnalysisInput& in) {
                            noCredits(in, 1);
                            in.Y2Start.EquityTotal = -3644; // end of year: 3643 + 1
                        },
                        FloatError::Kind::DivisionByZero,
                        {" ", "                Финансовый рычаг ", "Кредитов  в 1-м году нет "}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FinancialLeverageInReport, SecondYearErrorAfterFirstYearWithoutCredits)
{
    AnalysisInput input = kalvanta::workedExample();
    noCredits(input, 1);
    input.Y2Start.LongTermLoans = 5000; // credit sum of year 2 is zero
    input.AdditionalData[2].CreditsReceived = -5000;
    AnalysisResults results;
    const testing::ReportRun run = testing::runPendingReport(input, results);
    EXPECT_EQ(run.error, FloatError::Kind::DivisionByZero);
    ASSERT_GE(run.lines.size(), 4u);
    const std::size_t n = run.lines.size();
    EXPECT_EQ(run.lines[n - 4], "Запас финансовой прочности 23,32/8,83");
    EXPECT_EQ(run.lines[n - 3], " ");
    EXPECT_EQ(run.lines[n - 2], kTitle2);
    EXPECT_EQ(run.lines[n - 1], "Кредитов  в 1-м году нет ");
}

// The first report stores both years; the second has no credits in year 1
// and must not show the first report's year-1 figures.
TEST(FinancialLeverageInReport, SecondReportDoesNotShowTheFirstReportsFigures)
{
    AnalysisInput input = kalvanta::workedExample();
    AnalysisResults results;
    ASSERT_FALSE(testing::runPendingReport(input, results).error);
    EXPECT_EQ(results.FinancialLeverage.FinancialLeverageEffect, (ByYear{-0.1392, -1.3668}));

    noCredits(input, 1);
    const testing::ReportRun second = testing::runPendingReport(input, results);
    ASSERT_FALSE(second.error);
    const std::string effect1 = "Эффект финансового рычага в 1й год ";
    int found = 0;
    for (const std::string& line : second.lines) {
        if (line.rfind(effect1, 0) == 0) {
            EXPECT_EQ(line, effect1 + "—");
            ++found;
        }
    }
    EXPECT_EQ(found, 1);
    EXPECT_EQ(results.FinancialLeverage.FinancialLeverageEffect[year::Y1], -0.1392); // kept, not printed
}

} // namespace
} // namespace kalvanta
