// Sections 6 and 7: the Altman Z score and the final rating, and the zones
// the complex assessment draws from the stored score.
#include <gtest/gtest.h>

#include <string>

#include "report_test_support.h"

namespace {

using namespace kalvanta;
using namespace kalvanta::testing_support;

const std::string kZ = "Z-счет Альтмана за период равен ";
const std::string kRating = "Итоговый рейтинг   ";
const std::string kZLegend =
    "При Z>2,9 финансовая устойчивость в норме, при Z<1,23 предприятие фактически является банкротом.";
// Group letters А, В, С Cyrillic; D and K Latin.
const std::string kGroups[] = {"Группа А. K>90 Абсолютная финансовая стабильность.", "Группа В. 40>K>90 ",
                               "Группа С. 20>K>40", "Группа D. K<20   Максимальный риск."};

TEST(Solvency, WorkedExampleFigures)
{
    AnalysisResults results;
    AnalysisInput one = coreExample(1.0);
    ReportRun run = runReport(one, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(hasLine(run.lines(), kZ + "4,01"));    // 4.0125…
    EXPECT_TRUE(hasLine(run.lines(), kRating + "49")); // 49.985…
    EXPECT_EQ(results.AverageAssets[year::Y1], 14637.0);
    EXPECT_EQ(results.ZScore[year::Y1], 4.01);
    EXPECT_DOUBLE_EQ(results.NetProfitToEquity[year::Y1], 2820.0 / 3311.0); // not truncated
    EXPECT_EQ(results.Rating[year::Y1], 49.0);

    // Year 2: Z = 1.824…, K = 50 × 357 / 3644 + 20 × 0.03 + 30 × 0.1 = 8.49…
    AnalysisInput two = coreExample(2.0);
    run = runReport(two, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(hasLine(run.lines(), kZ + "4,01/1,82"));
    EXPECT_TRUE(hasLine(run.lines(), kRating + "49/8"));
    EXPECT_EQ(results.AverageAssets[year::Y2], 29603.5);
}

TEST(Solvency, FramesOfBothSections)
{
    const std::string h6 = "  Показатель" + std::string(119, ' ') + "на период ";
    const std::string h7 = "  Показатель на конец периода" + std::string(118, ' ') + "на период ";
    const std::string h8 = "  Показатели на конец периодов (*/*)" + std::string(118, ' ');
    for (double years : {1.0, 2.0}) {
        const ReportRun run = runReport(coreExample(years));
        const auto& l = run.lines();
        const int t = findLine(l, kTitle6);
        ASSERT_GT(t, 0);
        const std::size_t i = static_cast<std::size_t>(t);
        // with sections 8 to 12 off the report ends with section 7
        ASSERT_EQ(l.size(), i + 22);
        EXPECT_EQ(l[i + 1], kLong);
        EXPECT_EQ(l[i + 2], h6);
        EXPECT_EQ(l[i + 3], kLong);
        EXPECT_TRUE(l[i + 4].starts_with(kZ));
        EXPECT_EQ(l[i + 5], kZLegend);
        EXPECT_EQ(l[i + 6], kLong);
        EXPECT_EQ(l[i + 7], " ");
        EXPECT_EQ(l[i + 8], " ");
        EXPECT_EQ(l[i + 9], kTitle7);
        EXPECT_EQ(l[i + 10], kLong);
        EXPECT_EQ(l[i + 11], years == 2.0 ? h8 : h7);
        EXPECT_EQ(l[i + 12], kLong);
        EXPECT_TRUE(l[i + 13].starts_with(kRating));
        for (std::size_t g = 0; g < 4; ++g)
            EXPECT_EQ(l[i + 14 + g], kGroups[g]);
        EXPECT_EQ(l[i + 18], kLong);
        EXPECT_EQ(l[i + 19], " ");
        EXPECT_EQ(l[i + 20], " ");
        EXPECT_EQ(l[i + 21], " ");
    }
    EXPECT_EQ(characters(kZLegend).size(), 96u);
}

TEST(Solvency, NegativeRatingIsTruncatedTowardZero)
{
    // K = 50 × (−178.5 / 250) + 20 × 0.4 + 30 × 0.5 = −12.7
    AnalysisInput in = roundInput(1.0);
    in.ProfitLoss[1].NetProfit = -178.5;
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(hasLine(run.lines(), kRating + "-12"));
    EXPECT_EQ(results.NetProfitToEquity[year::Y1], -0.714);
}

TEST(Solvency, RatingUsesTheTruncatedYearEndRatios)
{
    // Year end: absolute liquidity 29 / 100 stored as 0.28, autonomy 0.5;
    // K = 50 × 196.5 / 250 + 20 × 0.28 + 30 × 0.5 = 59.9 (0.29 would give 60.1).
    AnalysisInput in = roundInput(1.0);
    in.Y1End.Cash = 29;
    in.Y1End.AccountsPayable = 100;
    in.ProfitLoss[1].NetProfit = 196.5;
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_EQ(results.AbsoluteLiquidityRatio[date::Y1End], 0.28);
    EXPECT_EQ(results.AutonomyRatio[date::Y1End], 0.5);
    EXPECT_EQ(results.Rating[year::Y1], 59.0);
    EXPECT_TRUE(hasLine(run.lines(), kRating + "59"));
}

// Z = 0.717 × 400 / 500 + 0.847 × 0 + 3.1 × 0 + 0.42 × 10 / 250
//   + 0.995 × revenue / 500 = 0.5904 + 0.00199 × revenue.
struct ZoneCase {
    double revenue;
    const char* written;
    const char* verdict;
};

class ZScoreZone : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(ZScoreZone, StoredScoreDecidesTheZone)
{
    const ZoneCase& c = GetParam();
    AnalysisInput in = roundInput(1.0);
    in.AnalysisParameters.ExpertAssessmentOn = 1.0;
    ProfitLossYear& p = in.ProfitLoss[1];
    p.Revenue = c.revenue;
    p.NetProfit = 0;
    p.SalesProfit = 0;
    const ReportRun run = runReport(in);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(hasLine(run.lines(), kZ + c.written));
    const int forecast = findLine(run.lines(), "Прогноз банкротства (Z-счет Альтмана): ");
    ASSERT_GT(forecast, 0);
    EXPECT_EQ(run.lines()[static_cast<std::size_t>(forecast) + 1], c.verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, ZScoreZone,
    ::testing::Values(ZoneCase{1163, "2,9", "Предприятие находится в зоне неопределенности."},  // 2.9047…
                      ZoneCase{1168, "2,91", "Предприятие работает стабильно и банкротство маловероятно."},
                      ZoneCase{324, "1,23", "Предприятие является банкротом "},                  // 1.2351…
                      ZoneCase{329, "1,24", "Предприятие находится в зоне неопределенности."}, // 1.2451…
                      ZoneCase{-500, "-0,4", "Предприятие является банкротом "}));              // −0.4045

TEST(Solvency, TwoYearZoneIsThatOfTheSecondYear)
{
    AnalysisInput in = roundInput(2.0);
    in.AnalysisParameters.ExpertAssessmentOn = 1.0;
    in.ProfitLoss[1].NetProfit = in.ProfitLoss[2].NetProfit = 0;
    in.ProfitLoss[1].SalesProfit = in.ProfitLoss[2].SalesProfit = 0;
    in.ProfitLoss[1].Revenue = 1168; // 2,91 stable
    in.ProfitLoss[2].Revenue = 324;  // 1,23 bankrupt
    const ReportRun run = runReport(in);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(hasLine(run.lines(), kZ + "2,91/1,23"));
    EXPECT_TRUE(hasLine(run.lines(), "Предприятие является банкротом "));
}

// Zero divisors of sections 6 and 7. Not the shared DivisorCase: the round
// input is always one year here, and each case names where the report ends.
struct SectionDivisorCase {
    const char* what;
    void (*change)(AnalysisInput&);
    const char* message;
    const std::string* lastTitle;    // the section the report ends after
    const std::string* missingTitle; // the section that fails
};

class SolvencyDivisor : public ::testing::TestWithParam<SectionDivisorCase> {};

TEST_P(SolvencyDivisor, EndsTheReportBeforeTheFailingSection)
{
    const SectionDivisorCase& c = GetParam();
    AnalysisInput in = roundInput(1.0);
    c.change(in);
    const ReportRun run = runReport(in);
    EXPECT_EQ(run.error, c.message) << c.what;
    const auto& l = run.lines();
    ASSERT_GE(l.size(), 3u);
    EXPECT_NE(findLine(l, *c.lastTitle), -1) << c.what;
    EXPECT_EQ(findLine(l, *c.missingTitle), -1) << c.what;
    EXPECT_TRUE(endsWithRuleAndTwoBlanks(l));
}

INSTANTIATE_TEST_SUITE_P(
    Divisors, SolvencyDivisor,
    ::testing::Values(
        // borrowed capital 590 + 690 − 640 − 650 averaging to zero
        SectionDivisorCase{"borrowed capital", [](AnalysisInput& in) { in.Y1Start.LongTermLiabilitiesTotal = in.Y1End.LongTermLiabilitiesTotal = -250; },
                    "Floating point division by zero", &kTitle5, &kTitle6},
        SectionDivisorCase{"borrowed capital and no charter capital",
                    [](AnalysisInput& in) {
                        in.Y1Start.LongTermLiabilitiesTotal = in.Y1End.LongTermLiabilitiesTotal = -250;
                        in.Y1Start.CharterCapital = in.Y1End.CharterCapital = 0;
                    },
                    "Invalid floating point operation", &kTitle5, &kTitle6},
        SectionDivisorCase{"year-end own capital in the rating",
                    [](AnalysisInput& in) {
                        in.Y1End.EquityTotal = 100;
                        in.Y1End.FutureExpenseReserves = -100;
                    },
                    "Floating point division by zero", &kTitle6, &kTitle7},
        SectionDivisorCase{"year-end own capital and no net profit",
                    [](AnalysisInput& in) {
                        in.Y1End.EquityTotal = 0;
                        in.ProfitLoss[1].NetProfit = 0;
                    },
                    "Invalid floating point operation", &kTitle6, &kTitle7}));

TEST(Solvency, StartOwnCapitalDoesNotEnterTheRating)
{
    AnalysisInput in = roundInput(1.0);
    in.Y1Start.EquityTotal = 0;
    EXPECT_EQ(runReport(in).error, "");
}

} // namespace
