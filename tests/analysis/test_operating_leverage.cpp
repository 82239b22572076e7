#include <functional>
#include <string>
#include <vector>

#include "later_sections_harness.h"

namespace kalvanta {
namespace {

using testing::SectionHarness;
using testing::ZeroDivisorCase;

TEST(OperatingLeverage, OneYearTwoProductsWorkedExample)
{
    SectionHarness h(1);
    h.run(writeOperatingLeverage);
    const std::vector<std::string> expected = {
        " ",
        " ",
        "            Операционный рычаг ",
        " ",
        "Валовая маржа   14109,5",
        "Cила воздействия операционного рычага(СВОР)  4,11",
        "Норма маржинального дохода  0,39",
        "Минимальная норма маржинального дохода  0,29",
        "Порог рентабельности 27385,89",
        "Пороговое количество товара А (шт)13455",
        "Пороговое количество товара В (шт)7905",
        "Запас финансовой прочности 23,32",
    };
    EXPECT_EQ(h.sink.lines, expected);
    const OperatingLeverageResults& r = h.results.OperatingLeverage;
    EXPECT_EQ(r.GrossMargin[year::Y1], 14109.5);
    EXPECT_EQ(r.LeverageEffect[year::Y1], 4.11);
    EXPECT_EQ(r.MarginRatio[year::Y1], 0.39);
    EXPECT_EQ(r.CriticalMarginRatio[year::Y1], 0.29);
    EXPECT_EQ(r.BreakEvenRevenue[year::Y1], 27385.89);
    EXPECT_EQ(r.SafetyMargin[year::Y1], 23.32);
    EXPECT_EQ(r.BreakEvenQuantityA[year::Y1], 13455);
    EXPECT_EQ(r.BreakEvenQuantityB[year::Y1], 7905);
}

TEST(OperatingLeverage, TwoYearTwoProductsWorkedExample)
{
    SectionHarness h(2);
    h.run(writeOperatingLeverage);
    const std::vector<std::string> expected = {
        " ",
        "            Операционный рычаг ",
        " ",
        "Валовая маржа 1йгод/2й год       14109,5/11437,5",
        "Cила воздействия операционного рычага(СВОР)  4,11/9,07",
        "Норма маржинального дохода   0,39/0,38",
        "Минимальная норма маржинального дохода  0,29/0,34",
        "Порог рентабельности   27385,89/26780,26",
        "Пороговое количество товара А (шт) 13455/13510",
        "Пороговое количество товара В (шт) 7905/6842",
        "Запас финансовой прочности 23,32/8,83",
    };
    EXPECT_EQ(h.sink.lines, expected);
}

TEST(OperatingLeverage, OneProductOneYear)
{
    SectionHarness h(1);
    h.input.ProductCount = 1.0;
    h.results.OperatingLeverage.BreakEvenQuantityB = {5, 6};
    h.run(writeOperatingLeverage);
    ASSERT_EQ(h.sink.lines.size(), 11u);
    EXPECT_EQ(h.sink.lines[4], "Валовая маржа   20719");
    EXPECT_EQ(h.sink.lines[5], "Cила воздействия операционного рычага(СВОР)  6,04");
    EXPECT_EQ(h.sink.lines[6], "Норма маржинального дохода  0,58");
    EXPECT_EQ(h.sink.lines[8], "Порог рентабельности 18414,65");
    EXPECT_EQ(h.sink.lines[9], "Порговое количество товара  (шт)12276");
    EXPECT_EQ(h.sink.lines[10], "Запас финансовой прочности 48,44");
    // The product B quantity is neither used nor overwritten.
    EXPECT_EQ(h.results.OperatingLeverage.BreakEvenQuantityB, (ByYear{5, 6}));
}

TEST(OperatingLeverage, OneProductTwoYears)
{
    SectionHarness h(2);
    h.input.ProductCount = 1.0;
    h.run(writeOperatingLeverage);
    ASSERT_EQ(h.sink.lines.size(), 10u);
    EXPECT_EQ(h.sink.lines[3], "Валовая маржа 1йгод/2й год       20719/16375");
    EXPECT_EQ(h.sink.lines[8], "Порговое количество товара (шт)12276/12335");
    EXPECT_EQ(h.sink.lines[9], "Запас финансовой прочности 48,44/37,01");
}

TEST(OperatingLeverage, AnyOtherProductCountMeansTwoProducts)
{
    for (double count : {0.0, 3.0, 1.5}) {
        SectionHarness h(1);
        h.input.ProductCount = count;
        h.run(writeOperatingLeverage);
        ASSERT_EQ(h.sink.lines.size(), 12u) << count;
        EXPECT_EQ(h.sink.lines[9], "Пороговое количество товара А (шт)13455") << count;
    }
}

TEST(OperatingLeverage, BreakEvenAboveRevenueGivesNegativeSafetyMargin)
{
    SectionHarness h(1);
    h.input.AdditionalData[1].FixedCostsTotal = 20000;
    h.run(writeOperatingLeverage);
    EXPECT_EQ(h.sink.lines[8], "Порог рентабельности 51282,05");
    EXPECT_EQ(h.sink.lines[11], "Запас финансовой прочности -43,57");
}

TEST(OperatingLeverage, NegativeQuantityTruncatesTowardZero)
{
    SectionHarness h(1);
    h.input.ProductCount = 1.0;
    h.input.AdditionalData[1].PriceA = -1.5;
    h.run(writeOperatingLeverage);
    EXPECT_EQ(h.sink.lines[9], "Порговое количество товара  (шт)-12276");
}

TEST(OperatingLeverage, SwitchedOffKeepsEarlierValues)
{
    SectionHarness h(2);
    h.input.AnalysisParameters.OperatingLeverageOn = 0.0;
    h.results.OperatingLeverage.GrossMargin = {1.5, 2.5};
    h.run(writeOperatingLeverage);
    EXPECT_TRUE(h.sink.lines.empty());
    EXPECT_EQ(h.results.OperatingLeverage.GrossMargin, (ByYear{1.5, 2.5}));
}

class OperatingLeverageZeroDivisor : public testing::SectionZeroDivisor {};

TEST_P(OperatingLeverageZeroDivisor, EndsBeforeTheFirstLine)
{
    expectNothingWritten(writeOperatingLeverage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OperatingLeverageZeroDivisor,
    ::testing::Values(
        ZeroDivisorCase{"SalesProfit", 1, [](AnalysisInput& in) { in.ProfitLoss[1].SalesProfit = 0; },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"Revenue", 1, [](AnalysisInput& in) { in.ProfitLoss[1].Revenue = 0; },
                        FloatError::Kind::DivisionByZero},
        // Gross margin 0 over revenue 0.
        ZeroDivisorCase{"RevenueAndGrossMargin", 1,
                        [](AnalysisInput& in) {
                            in.ProfitLoss[1].Revenue = 0;
                            in.AdditionalData[1].QuantityA = 0;
                            in.AdditionalData[1].QuantityB = 0;
                        },
                        FloatError::Kind::InvalidOperation},
        // Gross margin 100, under a hundredth of revenue: the truncated ratio is 0.
        ZeroDivisorCase{"MarginRatioTruncatedToZero", 1,
                        [](AnalysisInput& in) { in.AdditionalData[1].QuantityB = 41238; },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"OneProductZeroPrice", 1,
                        [](AnalysisInput& in) {
                            in.ProductCount = 1.0;
                            in.AdditionalData[1].PriceA = 0;
                        },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"SecondYearSalesProfit", 2, [](AnalysisInput& in) { in.ProfitLoss[2].SalesProfit = 0; },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"SecondYearRevenue", 2, [](AnalysisInput& in) { in.ProfitLoss[2].Revenue = 0; },
                        FloatError::Kind::DivisionByZero}),
    testing::caseName);

// Through the whole report: the section's error leaves the report ending
// with the complex assessment, the section before it.
TEST(OperatingLeverageInReport, ZeroSalesProfitEndsAfterTheComplexAssessment)
{
    for (double years : {1.0, 2.0}) {
        AnalysisInput input = workedExample();
        input.AnalysisParameters.YearCount = years;
        input.ProfitLoss[static_cast<int>(years)].SalesProfit = 0;
        AnalysisResults results;
        const testing::ReportRun run = testing::runPendingReport(input, results);
        EXPECT_EQ(run.error, FloatError::Kind::DivisionByZero) << years;
        ASSERT_FALSE(run.lines.empty());
        EXPECT_EQ(run.lines.back(), "P.S. Z-счет не всегда правильно отражает состояние российских предприятий.")
            << years;
    }
}

// A second report with the section switched off keeps the first report's
// values, though its inputs changed.
TEST(OperatingLeverageInReport, SecondReportWithSectionOffKeepsFirstValues)
{
    AnalysisInput input = workedExample();
    AnalysisResults results;
    ASSERT_FALSE(testing::runPendingReport(input, results).error);
    const OperatingLeverageResults first = results.OperatingLeverage;
    EXPECT_EQ(first.BreakEvenRevenue, (ByYear{27385.89, 26780.26}));

    input.AnalysisParameters.OperatingLeverageOn = 0.0;
    input.AdditionalData[1].FixedCostsTotal = 1;
    input.AdditionalData[2].FixedCostsTotal = 1;
    const testing::ReportRun second = testing::runPendingReport(input, results);
    ASSERT_FALSE(second.error);
    for (const std::string& line : second.lines)
        EXPECT_EQ(line.find("Операционный рычаг"), std::string::npos);
    EXPECT_EQ(results.OperatingLeverage.BreakEvenRevenue, first.BreakEvenRevenue);
    EXPECT_EQ(results.OperatingLeverage.GrossMargin, first.GrossMargin);
}

} // namespace
} // namespace kalvanta
