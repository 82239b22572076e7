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

TEST(WorkingCapitalNeeds, OneYearWorkedExample)
{
    SectionHarness h(1);
    h.run(writeWorkingCapitalNeeds);
    const std::vector<std::string> expected = {
        " ",
        "     Финансово-эксплуатационные потребности предприятия ",
        kRule97,
        threeDateHeader(),
        kRule97,
        "Финансово-эксплуатационные потребности предприятия (ФЭП) -1596",
        "Выручка/ФЭП -22,38",
        "Минимальный уровеннь денежных средств для осуществления текущей деятельности 1506,06",
        " ",
        " ",
    };
    EXPECT_EQ(h.sink.lines, expected);
    const WorkingCapitalNeedsResults& r = h.results.WorkingCapitalNeeds;
    EXPECT_EQ(r.WorkingCapitalNeeds[year::Y1], -1596);
    EXPECT_EQ(r.RevenueToWorkingCapitalNeeds[year::Y1], -22.38);
    EXPECT_EQ(r.MinimumCashLevel[year::Y1], 1506.06);
}

TEST(WorkingCapitalNeeds, TwoYearWorkedExample)
{
    SectionHarness h(2);
    h.run(writeWorkingCapitalNeeds);
    const std::string header = "  Показатель" + std::string(79, ' ') + "на 1й год/на 2й год ";
    const std::vector<std::string> expected = {
        " ",
        "     Финансово-эксплуатационные потребности предприятия ",
        kRule97,
        header,
        kRule97,
        "Финансово-эксплуатационные потребности предприятия (ФЭП) -1596/-2062,5",
        "Выручка/ФЭП -22,38/-14,24",
        "Минимальный уровеннь денежных средств для осуществления текущей деятельности 1506,06/2109,38",
        " ",
        " ",
    };
    EXPECT_EQ(h.sink.lines, expected);
    EXPECT_EQ(charCount(header), 111u);
}

TEST(WorkingCapitalNeeds, NeedsKeepAllTheirDecimals)
{
    SectionHarness h(1);
    h.input.Y1End.ShortTermReceivables = 5868.5;
    h.run(writeWorkingCapitalNeeds);
    EXPECT_EQ(h.sink.lines[5], "Финансово-эксплуатационные потребности предприятия (ФЭП) -1595,75");
    EXPECT_EQ(h.sink.lines[6], "Выручка/ФЭП -22,38");
}

TEST(WorkingCapitalNeeds, SwitchedOffKeepsEarlierValues)
{
    SectionHarness h(2);
    h.input.AnalysisParameters.WorkingCapitalNeedsOn = 0.0;
    h.results.WorkingCapitalNeeds.MinimumCashLevel = {3.5, 4.5};
    h.run(writeWorkingCapitalNeeds);
    EXPECT_TRUE(h.sink.lines.empty());
    EXPECT_EQ(h.results.WorkingCapitalNeeds.MinimumCashLevel, (ByYear{3.5, 4.5}));
}

class WorkingCapitalNeedsZeroDivisor : public testing::SectionZeroDivisor {};

TEST_P(WorkingCapitalNeedsZeroDivisor, EndsBeforeTheFirstLine)
{
    expectNothingWritten(writeWorkingCapitalNeeds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkingCapitalNeedsZeroDivisor,
    ::testing::Values(
        // Creditors average 12719,5 against 11123,5 of inventories and receivables.
        ZeroDivisorCase{"ZeroNeeds", 1, [](AnalysisInput& in) { in.Y1End.Inventories = 10480 + 3192; },
                        FloatError::Kind::DivisionByZero},
        // Revenue 0: its quotient by the average cash is 0 and divides the cost of sales.
        ZeroDivisorCase{"ZeroRevenue", 1, [](AnalysisInput& in) { in.ProfitLoss[1].Revenue = 0; },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"ZeroRevenueAndCostOfSales", 1,
                        [](AnalysisInput& in) {
                            in.ProfitLoss[1].Revenue = 0;
                            in.ProfitLoss[1].CostOfSales = 0;
                        },
                        FloatError::Kind::InvalidOperation},
        ZeroDivisorCase{"ZeroAverageCash", 1, [](AnalysisInput& in) { in.Y1Start.Cash = -3278; },
                        FloatError::Kind::DivisionByZero},
        ZeroDivisorCase{"SecondYearZeroAverageCash", 2,
                        [](AnalysisInput& in) {
                            in.Y2Start.Cash = 0;
                            in.Y2End.Cash = 0;
                        },
                        FloatError::Kind::DivisionByZero}),
    testing::caseName);

TEST(WorkingCapitalNeedsInReport, ZeroAverageCashEndsAfterTheFinancialLeverage)
{
    AnalysisInput input = workedExample();
    input.Y2Start.Cash = -1130;
    AnalysisResults results;
    const testing::ReportRun run = testing::runPendingReport(input, results);
    EXPECT_EQ(run.error, FloatError::Kind::DivisionByZero);
    ASSERT_GE(run.lines.size(), 3u);
    const std::size_t n = run.lines.size();
    EXPECT_EQ(run.lines[n - 3], "Коэффициент отдачи на общие активы (ROA) 0,3976/0,0627");
    EXPECT_EQ(run.lines[n - 1], " ");
}

} // namespace
} // namespace kalvanta
