// What a report records about the sections it wrote: whole, switched off,
// ended by an arithmetic error, or not reached after one.
#include <gtest/gtest.h>

#include <string>

#include "analysis/report_builder.h"
#include "analysis/report_coverage.h"
#include "report_test_support.h"

namespace {

using namespace kalvanta;
using State = ReportCoverage::State;

constexpr State W = State::Written, O = State::SwitchedOff, F = State::Failed, N = State::NotReached;

struct CoverageCase {
    const char* name;
    double years;
    void (*change)(AnalysisInput&);
    std::array<State, 12> sections;
    std::string error;
};

class Coverage : public ::testing::TestWithParam<CoverageCase> {};

TEST_P(Coverage, RecordsEverySectionOfTheReport)
{
    const CoverageCase& c = GetParam();
    AnalysisInput in = workedExample();
    in.AnalysisParameters.YearCount = c.years;
    in.AnalysisParameters.AnalysisPending = 1.0;
    c.change(in);
    AnalysisResults results;
    VectorSink sink;
    ReportCoverage coverage;
    coverage.error = "left from before";
    try {
        EXPECT_TRUE(writePendingReport(in, results, sink, RegionalSettings::russian(), {2026, 3, 14}, &coverage));
    } catch (const FloatError& e) {
        EXPECT_EQ(e.what(), c.error);
    }
    EXPECT_EQ(coverage.twoYear, c.years == 2.0);
    EXPECT_EQ(coverage.dateCount(), c.years == 2.0 ? 3u : 2u);
    for (int s = 1; s <= section::Count; ++s)
        EXPECT_EQ(coverage.state(s), c.sections[std::size_t(s - 1)]) << "section " << s;
    EXPECT_EQ(coverage.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, Coverage,
    ::testing::Values(
        CoverageCase{"every_switch_on", 2.0, [](AnalysisInput&) {}, {W, W, W, W, W, W, W, W, W, W, W, W}, ""},
        CoverageCase{"switches_off_one_year", 1.0,
                     [](AnalysisInput& in) {
                         ParametersGroup& p = in.AnalysisParameters;
                         p.BusinessActivityOn = p.OperatingLeverageOn = p.WorkingCapitalNeedsOn = 0.0;
                     },
                     {W, W, W, W, W, W, W, O, W, O, W, O}, ""},
        CoverageCase{"zero_assets_end_stability_type_passes_relative_fails", 1.0,
                     [](AnalysisInput& in) { in.Y1End.AssetsTotal = 0; },
                     {W, F, N, N, N, N, N, N, N, N, N, N}, kDivisionByZeroMessage},
        CoverageCase{"zero_short_term_debt_ends_liquidity_ratios", 2.0,
                     [](AnalysisInput& in) {
                         BalanceSheet& b = in.Y2End;
                         b.ShortTermLoans = b.AccountsPayable = b.DueToFounders = b.OtherShortTermLiabilities = 0;
                     },
                     {W, W, W, F, N, N, N, N, N, N, N, N}, kDivisionByZeroMessage},
        CoverageCase{"switched_off_after_an_error_is_not_reached", 1.0,
                     [](AnalysisInput& in) {
                         in.ProfitLoss[1].Revenue = 0;
                         in.AnalysisParameters.BusinessActivityOn = 0.0;
                     },
                     {W, W, W, W, F, N, N, N, N, N, N, N}, kDivisionByZeroMessage}),
    [](const ::testing::TestParamInfo<CoverageCase>& info) { return std::string(info.param.name); });

TEST(Coverage, NothingRecordedWithoutAReport)
{
    AnalysisInput in = workedExample(); // not pending
    AnalysisResults results;
    VectorSink sink;
    ReportCoverage coverage;
    EXPECT_FALSE(writePendingReport(in, results, sink, RegionalSettings::russian(), {2026, 3, 14}, &coverage));
    for (int s = 1; s <= section::Count; ++s)
        EXPECT_EQ(coverage.state(s), N);
}

} // namespace
