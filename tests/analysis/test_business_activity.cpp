#include <functional>
#include <string>
#include <vector>

#include "later_sections_harness.h"

namespace kalvanta {
namespace {

using testing::SectionHarness;
using testing::ZeroDivisorCase;
using testing::kRule97;
using testing::threeDateHeader;

TEST(BusinessActivity, OneYearWorkedExampleLines)
{
    SectionHarness h(1);
    h.run(writeBusinessActivity);
    const std::vector<std::string> expected = {
        " Показатели деловой активности",
        kRule97,
        threeDateHeader(),
        kRule97,
        "Коэффициент оборачиваемости активов 2,44",
        "Коэффициент оборачиваемости оборотных средств 2,52",
        "Средний срок оборота оборотных средств по себестоимости от реализации 157",
        "Средний срок оборота запасов 89",
        " ",
        " ",
        " ",
    };
    EXPECT_EQ(h.sink.lines, expected);
    EXPECT_EQ(charCount(h.sink.lines[2]), 139u);
}

TEST(BusinessActivity, TwoYearWorkedExampleLinesAndStoredValues)
{
    SectionHarness h(2);
    h.run(writeBusinessActivity);
    ASSERT_EQ(h.sink.lines.size(), 11u);
    EXPECT_EQ(h.sink.lines[2], threeDateHeader()); // same header in both reports
    EXPECT_EQ(h.sink.lines[4], "Коэффициент оборачиваемости активов 2,44/0,99");
    EXPECT_EQ(h.sink.lines[5], "Коэффициент оборачиваемости оборотных средств 2,52/1,02");
    EXPECT_EQ(h.sink.lines[6], "Средний срок оборота оборотных средств по себестоимости от реализации 157/367");
    EXPECT_EQ(h.sink.lines[7], "Средний срок оборота запасов 89/257");
    EXPECT_EQ(h.results.AssetTurnover, (ByYear{2.44, 0.99}));
    EXPECT_EQ(h.results.CurrentAssetTurnover, (ByYear{2.52, 1.02}));
    EXPECT_EQ(h.results.CurrentAssetTurnoverDays, (ByYear{157, 367}));
    EXPECT_EQ(h.results.InventoryTurnoverDays, (ByYear{89, 257}));
}

TEST(BusinessActivity, LossOfRevenueTruncatesTowardZero)
{
    SectionHarness h(1);
    h.input.ProfitLoss[1].Revenue = -35719;
    h.input.ProfitLoss[1].CostOfSales = -32290;
    h.run(writeBusinessActivity);
    EXPECT_EQ(h.sink.lines[4], "Коэффициент оборачиваемости активов -2,44");
    EXPECT_EQ(h.sink.lines[6], "Средний срок оборота оборотных средств по себестоимости от реализации -157");
}

TEST(BusinessActivity, SwitchedOffWritesNothingAndKeepsEarlierValues)
{
    SectionHarness h(2);
    h.input.AnalysisParameters.BusinessActivityOn = 0.0;
    h.results.AssetTurnover = {7.5, 8.5};
    h.results.InventoryTurnoverDays = {11, 12};
    h.run(writeBusinessActivity);
    EXPECT_TRUE(h.sink.lines.empty());
    EXPECT_EQ(h.results.AssetTurnover, (ByYear{7.5, 8.5}));
    EXPECT_EQ(h.results.InventoryTurnoverDays, (ByYear{11, 12}));
}

class BusinessActivityZeroDivisor : public testing::SectionZeroDivisor {};

TEST_P(BusinessActivityZeroDivisor, EndsBeforeTheTitle)
{
    expectNothingWritten(writeBusinessActivity);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BusinessActivityZeroDivisor,
    ::testing::Values(
        ZeroDivisorCase{"AverageAssets", 1,
                        [](AnalysisInput& in) {
                            in.Y1Start.AssetsTotal = -22862;
                        },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"AverageAssetsAndRevenue", 1,
                        [](AnalysisInput& in) {
                            in.Y1Start.AssetsTotal = -22862;
                            in.ProfitLoss[1].Revenue = 0;
                        },
                        FloatError::Kind::InvalidOperation},
        ZeroDivisorCase{"AverageCurrentAssetsLessLongTermReceivables", 1,
                        [](AnalysisInput& in) {
                            in.Y1Start.CurrentAssetsTotal = 0;
                            in.Y1Start.LongTermReceivables = 0;
                            in.Y1End.CurrentAssetsTotal = 100;
                            in.Y1End.LongTermReceivables = 100;
                        },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"CostOfSales", 1, [](AnalysisInput& in) { in.ProfitLoss[1].CostOfSales = 0; },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"SecondYearCostOfSales", 2, [](AnalysisInput& in) { in.ProfitLoss[2].CostOfSales = 0; },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"SecondYearAverageAssets", 2,
                        [](AnalysisInput& in) {
                            in.Y2Start.AssetsTotal = 0;
                            in.Y2End.AssetsTotal = 0;
                        },
                        FloatError::Kind::DivisionByZero}),
    testing::caseName);

// Every divisor of the section is a divisor of the profitability section
// too, so in a whole report only an overflow can stop here: the report then
// ends with the three blank lines of the final rating.
TEST(BusinessActivityInReport, OverflowEndsAfterTheFinalRating)
{
    AnalysisInput input = workedExample();
    input.AnalysisParameters.YearCount = 1.0;
    input.ProfitLoss[1].CostOfSales = 1e-303; // 14165 × 360 / 1e-303 is beyond the double range
    input.ProfitLoss[1].SalesProfit = 0;      // keeps the profitability of products at 0
    AnalysisResults results;
    const testing::ReportRun run = testing::runPendingReport(input, results);
    ASSERT_EQ(run.error, FloatError::Kind::Overflow);
    ASSERT_GE(run.lines.size(), 5u);
    const std::size_t n = run.lines.size();
    EXPECT_EQ(run.lines[n - 5], "Группа D. K<20   Максимальный риск.");
    EXPECT_EQ(run.lines[n - 4], std::string(97, '_'));
    EXPECT_EQ(run.lines[n - 1], " ");
}

} // namespace
} // namespace kalvanta
