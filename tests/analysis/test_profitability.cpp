// Section 5: profit and efficiency indicators per year.
#include <gtest/gtest.h>

#include <string>

#include "report_test_support.h"

namespace {

using namespace kalvanta;
using namespace kalvanta::testing_support;

const std::string kTotal = "Общая рентабельность предприятия";
const std::string kNonCurrent = "Рентабельность внеоборотных активов";
const std::string kEquity = "Рентабельность собственного капитала";
const std::string kCurrentAssets = "Рентабельность nтекущих активов"; // Latin n
const std::string kSales = "Рентабельность продаж";
const std::string kAllOps = "Рентабельность всех операций";
const std::string kOtherOps = "Рентабельность прочих операций";
const std::string kProduct = "Рентабельность реализованной продукции по затратам на ее производство";

struct LineCase {
    const std::string* label;
    std::size_t column;
    const char* oneYear;
    const char* twoYear;
};

// Year 1: profit 3942 over average assets 14637, 472, 1917.5, 14165, revenue
// 35719, 38133; (1984 − 1244 + 430 − 657) / 2414; 3429 / 32290.
// Year 2: 586 over 29603.5, 929, 3477.5, 28674.5, 29375, 31842;
// −675 / 2467; 1261 / 28114.
const LineCase kWorked[] = {
    {&kTotal, 40, "0,26", "0,26/0,01"},         {&kNonCurrent, 40, "8,35", "8,35/0,63"},
    {&kEquity, 38, "2,05", "2,05/0,16"},        {&kCurrentAssets, 40, "0,27", "0,27/0,02"},
    {&kSales, 107, "0,11", "0,11/0,01"},        {&kAllOps, 107, "0,1", "0,1/0,01"},
    {&kOtherOps, 107, "0,21", "0,21/-0,27"},    {&kProduct, 71, "0,1", "0,1/0,04"},
};

TEST(Profitability, WorkedExampleLines)
{
    for (double years : {1.0, 2.0}) {
        const ReportRun run = runReport(coreExample(years));
        ASSERT_EQ(run.error, "");
        for (const LineCase& c : kWorked)
            EXPECT_TRUE(labelledLine(run.lines(), *c.label, c.column, years == 2.0 ? c.twoYear : c.oneYear));
    }
}

TEST(Profitability, Frame)
{
    for (double years : {1.0, 2.0}) {
        const ReportRun run = runReport(coreExample(years));
        const auto& l = run.lines();
        const int t = findLine(l, years == 2.0 ? kTitle5Two : kTitle5);
        ASSERT_GT(t, 0);
        const std::size_t i = static_cast<std::size_t>(t);
        ASSERT_GT(l.size(), i + 18);
        EXPECT_EQ(l[i], years == 2.0 ? kTitle5Two : kTitle5);
        EXPECT_EQ(l[i + 1], kLong);
        EXPECT_EQ(l[i + 2], "  Показатели прибыльности      ");
        EXPECT_EQ(l[i + 3], kLong);
        EXPECT_TRUE(l[i + 4].starts_with(kTotal));
        EXPECT_TRUE(l[i + 7].starts_with(kCurrentAssets));
        EXPECT_EQ(l[i + 8], kLong);
        EXPECT_EQ(l[i + 9], years == 2.0 ? "  Показатели эфффективностиуправления    "
                                         : "  Показатели эфффективностиуправления");
        EXPECT_EQ(l[i + 10], kLong);
        EXPECT_TRUE(l[i + 11].starts_with(kSales));
        EXPECT_TRUE(l[i + 14].starts_with(kProduct));
        EXPECT_EQ(l[i + 15], kLong);
        EXPECT_EQ(l[i + 16], " ");
        EXPECT_EQ(l[i + 17], " ");
        EXPECT_EQ(l[i + 18], kTitle6);
    }
}

TEST(Profitability, LossesAreTruncatedTowardZero)
{
    AnalysisInput in = roundInput(1.0);
    in.ProfitLoss[1].ProfitBeforeTax = -19; // −19 / 1000
    in.ProfitLoss[1].SalesProfit = -9;      // −9 / 800
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(labelledLine(run.lines(), kSales, 107, "-0,01"));
    EXPECT_TRUE(labelledLine(run.lines(), kTotal, 40, "-0,03")); // −19 / 500 = −0.038
    EXPECT_TRUE(labelledLine(run.lines(), kProduct, 71, "-0,01"));
    EXPECT_EQ(results.ReturnOnSales[year::Y1], -0.01);
}

TEST(Profitability, AveragesOfTheSecondYearUseItsOwnStart)
{
    AnalysisInput in = roundInput(2.0);
    in.Y2Start.AssetsTotal = 300;     // Y1End stays 500
    in.Y2Start.NonCurrentAssetsTotal = 20;
    in.Y2End.LongTermReceivables = 30; // (20 + 100) / 2 + (0 + 30) / 2 = 75
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(labelledLine(run.lines(), kTotal, 40, "0,5/0,62"));       // 250 / 400
    EXPECT_TRUE(labelledLine(run.lines(), kNonCurrent, 40, "2,5/3,33"));  // 250 / 75
    // current assets less long-term receivables: (400 + 370) / 2
    EXPECT_TRUE(labelledLine(run.lines(), kCurrentAssets, 40, "0,62/0,64"));
}

TEST(Profitability, OtherShortTermLiabilitiesJoinTheEquitySum)
{
    AnalysisInput in = roundInput(1.0);
    in.Y1Start.OtherShortTermLiabilities = 250; // (500 + 250) / 2 = 375
    in.Y1Start.DeferredIncome = 0.5;
    in.Y1End.FutureExpenseReserves = -0.5;
    const ReportRun run = runReport(in);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(labelledLine(run.lines(), kEquity, 38, "0,66")); // 250 / 375
}

// A zero divisor ends the report after section 4.
class ProfitabilityDivisor : public ::testing::TestWithParam<DivisorCase> {};

TEST_P(ProfitabilityDivisor, EndsTheReportAfterSectionFour)
{
    const DivisorCase& c = GetParam();
    const ReportRun run = runDivisorCase(c).run;
    EXPECT_EQ(run.error, c.message) << c.what;
    const auto& l = run.lines();
    ASSERT_GE(l.size(), 3u);
    EXPECT_TRUE(hasLine(l, kTitle4)) << c.what;
    EXPECT_EQ(findLine(l, kTitle5), -1) << c.what;
    EXPECT_TRUE(endsWithRuleAndTwoBlanks(l));
}

INSTANTIATE_TEST_SUITE_P(
    Divisors, ProfitabilityDivisor,
    ::testing::Values(
        DivisorCase{"average assets", 1.0, [](AnalysisInput& in) { in.Y1End.AssetsTotal = -500; },
                    "Floating point division by zero"},
        DivisorCase{"average non-current assets and receivables", 1.0,
                    [](AnalysisInput& in) { in.Y1End.NonCurrentAssetsTotal = -100; },
                    "Floating point division by zero"},
        DivisorCase{"average own funds with 660", 1.0,
                    [](AnalysisInput& in) { in.Y1End.OtherShortTermLiabilities = -500; },
                    "Floating point division by zero"},
        DivisorCase{"average current assets less 230", 1.0,
                    [](AnalysisInput& in) { in.Y1End.LongTermReceivables = 800; },
                    "Floating point division by zero"},
        DivisorCase{"revenue", 1.0, [](AnalysisInput& in) { in.ProfitLoss[1].Revenue = 0; },
                    "Floating point division by zero"},
        DivisorCase{"revenue and profit", 1.0,
                    [](AnalysisInput& in) {
                        in.ProfitLoss[1].Revenue = 0;
                        in.ProfitLoss[1].ProfitBeforeTax = 0;
                    },
                    "Invalid floating point operation"},
        DivisorCase{"all operations", 1.0, [](AnalysisInput& in) { in.ProfitLoss[1].Revenue = -100; },
                    "Floating point division by zero"},
        DivisorCase{"other income cancelling", 1.0,
                    [](AnalysisInput& in) { in.ProfitLoss[1].NonOperatingIncome = -50; },
                    "Floating point division by zero"},
        DivisorCase{"no other operations at all", 1.0,
                    [](AnalysisInput& in) {
                        ProfitLossYear& p = in.ProfitLoss[1];
                        p.OtherOperatingIncome = p.OtherOperatingExpenses = 0;
                        p.NonOperatingIncome = p.NonOperatingExpenses = 0;
                    },
                    "Invalid floating point operation"},
        DivisorCase{"cost of sales", 1.0, [](AnalysisInput& in) { in.ProfitLoss[1].CostOfSales = 0; },
                    "Floating point division by zero"},
        DivisorCase{"revenue of year 2", 2.0, [](AnalysisInput& in) { in.ProfitLoss[2].Revenue = 0; },
                    "Floating point division by zero"},
        DivisorCase{"average assets of year 2", 2.0, [](AnalysisInput& in) { in.Y2Start.AssetsTotal = -500; },
                    "Floating point division by zero"}));

TEST(Profitability, ErrorInYear2LeavesYear1ValuesStored)
{
    AnalysisResults results;
    AnalysisInput in = roundInput(2.0);
    in.ProfitLoss[2].CostOfSales = 0;
    ASSERT_EQ(runReport(in, results).error, "Floating point division by zero");
    EXPECT_EQ(results.ProductProfitability[year::Y1], 0.25); // 200 / 800
    EXPECT_EQ(results.ReturnOnSales[year::Y2], 0.25);        // computed before the failing step
}

TEST(Profitability, OneYearReportDoesNotLookAtYear2)
{
    AnalysisInput in = roundInput(1.0);
    in.ProfitLoss[2] = ProfitLossYear{};
    in.Y2Start.AssetsTotal = in.Y2End.AssetsTotal = 0;
    EXPECT_EQ(runReport(in).error, "");
}

} // namespace
