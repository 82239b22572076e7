// Sections 1 and 2: surpluses, stability type and verdict, relative ratios.
#include <gtest/gtest.h>

#include <string>

#include "report_test_support.h"

namespace {

using namespace kalvanta;
using namespace kalvanta::testing_support;

const std::string kS1 = "Излишек (недостаток) собственных оборотных средств";
const std::string kS2 = "Излишек (недостаток) собственных  и долгосрочных источников формирования запасов";
const std::string kS3 = "Излишек (недостаток) общей величины основных источников средств для формирования запасов";
const std::string kType = "Трехкомпонентный показатель";
const std::string kAutonomy = "Коэффициент автономии (на начало и конец года)(норма>=0,5)";
const std::string kDebt1 = "Коэффициент соотношения заемных и собственных средств (норма 1 - 0,25)";
const std::string kDebt2 = "Коэффициент соотношения заемных и собственных средств (норма 1-0,25)";
const std::string kManeuver = "Коэффициент маневренности  (норма 0,5)";
const std::string kMobility = "Коэффициент мобильности всех средств";
const std::string kInventory =
    "Коэффициент обеспеченности запасов собственными оборотными средствами (норма >+0.6-0.8)";
const std::string kNonCurrent = "Коэффициент обеспеченности внеоборотных активов собственными средствами";

struct LineCase {
    const std::string* label;
    std::size_t column;
    const char* values;
};

TEST(Stability, WorkedExampleOneYearLines)
{
    const ReportRun run = runReport(coreExample(1.0));
    ASSERT_EQ(run.error, "");
    // 524 − 179 − 35 − 5641 at the start; 3311 − 730 − 0 − 10480 at the end.
    const LineCase cases[] = {
        {&kS1, 124, "-5331  -7899"},          {&kS2, 98, "-5331  -7899"},
        {&kS3, 89, "-5331  -7899"},           {&kType, 153, "(0,0,0)  (0,0,0)"},
        {&kAutonomy, 121, "0,08   0,14"},     {&kDebt1, 107, "11,23     5,9"},
        {&kManeuver, 135, "0,59     0,77"},   {&kMobility, 135, "0,96     0,96"},
        {&kInventory, 91, "0,05     0,24"},   {&kNonCurrent, 105, "0,4    0,22"},
    };
    for (const LineCase& c : cases)
        EXPECT_TRUE(labelledLine(run.lines(), *c.label, c.column, c.values));
    EXPECT_TRUE(hasLine(run.lines(), "Вывод на начало года - кризисное финансовое состояние"));
    EXPECT_TRUE(hasLine(run.lines(), "Вывод на конец года -  кризисное финансовое состояние"));
    EXPECT_EQ(findLine(run.lines(), "Вывод на конец  2-го года"), -1);
}

TEST(Stability, WorkedExampleTwoYearLines)
{
    const ReportRun run = runReport(coreExample(2.0));
    ASSERT_EQ(run.error, "");
    // Y2End: 3643 + 1 − 1128 − 29706; ratios over own capital 3644 and assets 36345.
    const LineCase cases[] = {
        {&kS1, 119, "-5331 / -7899/-27190"},     {&kS2, 93, "-5331 / -7899/-27190"},
        {&kS3, 88, "-5331/-7899/-27190"},        {&kType, 147, "(0,0,0)/(0,0,0)/(0,0,0)"},
        {&kAutonomy, 121, "0,08/0,14/0,1"},      {&kDebt2, 107, "11,23/5,9/8,97"},
        {&kManeuver, 135, "0,59 /0,77/0,69"},    {&kMobility, 135, "0,96/0,96/0,96"},
        {&kInventory, 91, "0,05/0,24/0,08"},     {&kNonCurrent, 105, "0,4/0,22/0,3"},
    };
    for (const LineCase& c : cases)
        EXPECT_TRUE(labelledLine(run.lines(), *c.label, c.column, c.values));
    EXPECT_TRUE(hasLine(run.lines(), "Вывод на конец  2-го года -  кризисное финансовое состояние"));
    EXPECT_EQ(findLine(run.lines(), kDebt1), -1);
}

TEST(Stability, FramesOfBothSections)
{
    for (double years : {1.0, 2.0}) {
        const ReportRun run = runReport(coreExample(years));
        const auto& l = run.lines();
        const int t1 = findLine(l, kTitle1);
        ASSERT_EQ(t1, 8) << "after the eight header lines";
        const std::size_t i = static_cast<std::size_t>(t1);
        EXPECT_EQ(l[i + 1], kLong);
        EXPECT_EQ(l[i + 3], kLong);
        EXPECT_EQ(l[i + 4], " ");
        EXPECT_TRUE(l[i + 5].starts_with(kS1));
        const std::size_t verdicts = years == 2.0 ? 3 : 2;
        const std::size_t rule = i + 9 + verdicts;
        EXPECT_EQ(l[rule], std::string(95, '_') + " ");
        EXPECT_EQ(l[rule + 1], " ");
        EXPECT_EQ(l[rule + 2], " ");
        ASSERT_EQ(l[rule + 3], kTitle2);
        const std::size_t t2 = rule + 3;
        EXPECT_EQ(l[t2 + 1], kLong);
        EXPECT_EQ(l[t2 + 3], kLong);
        EXPECT_EQ(l[t2 + 4], " ");
        EXPECT_TRUE(l[t2 + 5].starts_with(kAutonomy));
        EXPECT_TRUE(l[t2 + 10].starts_with(kNonCurrent));
        EXPECT_EQ(l[t2 + 11], kLong);
        const std::size_t blanks = years == 2.0 ? 5 : 3;
        for (std::size_t b = 1; b <= blanks; ++b)
            EXPECT_EQ(l[t2 + 11 + b], " ") << years;
        EXPECT_EQ(l[t2 + 12 + blanks], " Оценка величины и динамики ликвидности имущества предприятия");
    }
}

// Stability type by the signs of the surpluses at the year end, with
// S1 = equity − 300 (non-current 100, inventories 200), S2 = S1 + 590,
// S3 = S2 + 610. At the start all three are −50.
struct SignCase {
    double equity, longTerm, shortLoans;
    const char* type;
    const char* verdict;
};

class StabilityType : public ::testing::TestWithParam<SignCase> {};

TEST_P(StabilityType, ByTheSignsOfTheSurpluses)
{
    const SignCase& c = GetParam();
    AnalysisInput in = roundInput(1.0);
    in.Y1End.EquityTotal = c.equity;
    in.Y1End.LongTermLiabilitiesTotal = c.longTerm;
    in.Y1End.ShortTermLoans = c.shortLoans;
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_EQ(results.StabilityType[date::Y1End], c.type);
    EXPECT_EQ(results.StabilityVerdict[date::Y1End], c.verdict);
    EXPECT_TRUE(labelledLine(run.lines(), kType, 153, std::string("(0,0,0)  ") + c.type));
    EXPECT_TRUE(hasLine(run.lines(), std::string("Вывод на конец года -  ") + c.verdict));
    EXPECT_TRUE(hasLine(run.lines(), "Вывод на начало года - кризисное финансовое состояние"));
}

INSTANTIATE_TEST_SUITE_P(
    Signs, StabilityType,
    ::testing::Values(SignCase{300, 0, 0, "(1,1,1)", "абсолютная финансовая устойчивость"}, // zeros count
                      SignCase{400, 0, 0, "(1,1,1)", "абсолютная финансовая устойчивость"},
                      SignCase{250, 50, 0, "(0,1,1)", "нормальная финансовая устойчивость"},
                      SignCase{250, 10, 40, "(0,0,1)", "неустойчивое финансовое состояние"},
                      SignCase{250, 10, 10, "(0,0,0)", "кризисное финансовое состояние"},
                      // outside the table: empty texts, never another analysis's verdict
                      SignCase{300, -1, 5, "", ""}, SignCase{250, 60, -20, "", ""},
                      SignCase{300, 0, -1, "", ""}, SignCase{400, -150, 100, "", ""}));

TEST(Stability, SignPatternOutsideTheTableDoesNotKeepAnEarlierVerdict)
{
    AnalysisResults results;
    AnalysisInput first = coreExample(2.0);
    ASSERT_EQ(runReport(first, results).error, "");
    ASSERT_EQ(results.StabilityType[date::Y1End], "(0,0,0)");

    AnalysisInput second = roundInput(1.0);
    second.Y1End.EquityTotal = 300;            // S1 = 0
    second.Y1End.LongTermLiabilitiesTotal = -1; // S2 = −1
    second.Y1End.ShortTermLoans = 5;           // S3 = 4
    const ReportRun run = runReport(second, results);
    ASSERT_EQ(run.error, "");
    EXPECT_EQ(results.StabilityType[date::Y1End], "");
    EXPECT_EQ(results.StabilityVerdict[date::Y1End], "");
    EXPECT_TRUE(hasLine(run.lines(), "Вывод на конец года -  "));
    EXPECT_TRUE(labelledLine(run.lines(), kType, 153, "(0,0,0)  "));
    // The one-year report leaves the Y2End texts of the earlier report alone.
    EXPECT_EQ(results.StabilityType[date::Y2End], "(0,0,0)");
}

TEST(Stability, SurplusesAreWrittenAsComputed)
{
    AnalysisInput in = roundInput(1.0);
    in.Y1End.EquityTotal = 250.75;
    in.Y1End.DeferredIncome = 0.5;
    in.Y1End.LongTermLiabilitiesTotal = 0.125;
    const ReportRun run = runReport(in);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(labelledLine(run.lines(), kS1, 124, "-50  -48,75"));
    EXPECT_TRUE(labelledLine(run.lines(), kS2, 98, "-50  -48,625"));
    EXPECT_TRUE(labelledLine(run.lines(), kS3, 89, "-50  -48,625"));
}

// Relative ratios at the year end of a sheet with the given own capital and
// total assets (non-current assets 100, inventories 200).
struct RatioCase {
    double equity, assets;
    const char* autonomy;
    const char* maneuverability;
};

class RelativeRatios : public ::testing::TestWithParam<RatioCase> {};

TEST_P(RelativeRatios, TruncatedTowardZeroOnTheStoredQuotient)
{
    const RatioCase& c = GetParam();
    AnalysisInput in = roundInput(1.0);
    in.Y1End.EquityTotal = c.equity;
    in.Y1End.AssetsTotal = c.assets;
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    // At the start 150 / 250 is the double just below 0.6: written 0,59.
    EXPECT_TRUE(labelledLine(run.lines(), kAutonomy, 121, std::string("0,5   ") + c.autonomy));
    EXPECT_TRUE(labelledLine(run.lines(), kManeuver, 135, std::string("0,59     ") + c.maneuverability));
}

INSTANTIATE_TEST_SUITE_P(Truncation, RelativeRatios,
                         ::testing::Values(RatioCase{999, 1000, "0,99", "0,89"},   // 0.999, 899/999
                                           RatioCase{-127, 1000, "-0,12", "1,78"}, // −0.127, −227/−127
                                           RatioCase{290, 1000, "0,28", "0,65"},   // 0.29 is stored below 0.29
                                           RatioCase{500, 1000, "0,5", "0,8"}));

TEST(Stability, ZeroOwnCapitalIsReplacedByOne)
{
    // At the start date: the rating divides by the year-end own capital unguarded.
    AnalysisInput in = roundInput(1.0);
    in.Y1Start.EquityTotal = 0;
    in.Y1Start.AssetsTotal = 1000;
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_EQ(results.OwnCapital[date::Y1Start], 1.0);
    EXPECT_EQ(results.OwnCapital[date::Y1End], 250.0);
    EXPECT_EQ(results.AutonomyRatio[date::Y1Start], 0.0);          // 0.001
    EXPECT_EQ(results.DebtToEquityRatio[date::Y1Start], 250.0);    // (0 + 250 − 0 − 0) / 1
    EXPECT_EQ(results.ManeuverabilityRatio[date::Y1Start], -99.0); // numerator uses 1 too
    EXPECT_EQ(results.InventoryCoverageRatio[date::Y1Start], -0.49); // −99 / 200
    EXPECT_EQ(results.NonCurrentCoverageRatio[date::Y1Start], 100.0);
    EXPECT_TRUE(labelledLine(run.lines(), kAutonomy, 121, "0   0,5"));
    EXPECT_TRUE(labelledLine(run.lines(), kManeuver, 135, "-99     0,59"));
    // The liquidity group P4 has no guard: it stays 0.
    EXPECT_EQ(results.P4[date::Y1Start], 0.0);

    // deferred income and reserves cancelling the equity count as zero too
    AnalysisInput cancel = roundInput(1.0);
    cancel.Y1Start.DeferredIncome = 100;
    cancel.Y1Start.FutureExpenseReserves = -350;
    ASSERT_EQ(runReport(cancel, results).error, "");
    EXPECT_EQ(results.OwnCapital[date::Y1Start], 1.0);
}

// A zero divisor in section 2 ends the report after section 1.
class StabilityDivisor : public ::testing::TestWithParam<DivisorCase> {};

TEST_P(StabilityDivisor, EndsTheReportAfterSectionOne)
{
    const DivisorCase& c = GetParam();
    const DivisorRun r = runDivisorCase(c);
    const ReportRun& run = r.run;
    EXPECT_EQ(run.error, c.message);
    EXPECT_EQ(r.input.AnalysisParameters.AnalysisPending, 0.0);
    ASSERT_GE(run.lines().size(), 3u);
    EXPECT_TRUE(hasLine(run.lines(), kTitle1));
    EXPECT_FALSE(hasLine(run.lines(), kTitle2));
    // Section 1 closes its table with a shorter rule.
    EXPECT_TRUE(endsWithRuleAndTwoBlanks(run.lines(), std::string(95, '_') + " "));
}

INSTANTIATE_TEST_SUITE_P(
    Divisors, StabilityDivisor,
    ::testing::Values(
        DivisorCase{"assets at the end", 1.0, [](AnalysisInput& in) { in.Y1End.AssetsTotal = 0; },
                    "Floating point division by zero"},
        DivisorCase{"assets and own capital at the start", 1.0,
                    [](AnalysisInput& in) {
                        in.Y1Start.AssetsTotal = 0;
                        in.Y1Start.EquityTotal = 0; // guarded to 1, so 1 / 0
                    },
                    "Floating point division by zero"},
        DivisorCase{"inventories equal goods shipped", 1.0,
                    [](AnalysisInput& in) { in.Y1End.GoodsShipped = 200; }, "Floating point division by zero"},
        DivisorCase{"inventories equal goods shipped, zero coverage", 1.0,
                    [](AnalysisInput& in) {
                        in.Y1End.GoodsShipped = 200;
                        in.Y1End.EquityTotal = 100; // 100 − 100 − 0 over 0
                    },
                    "Invalid floating point operation"},
        DivisorCase{"assets at the end of year 2", 2.0, [](AnalysisInput& in) { in.Y2End.AssetsTotal = 0; },
                    "Floating point division by zero"}));

TEST(Stability, DatesThatAreNotPrintedDoNotDivide)
{
    // A one-year report never looks at Y2End; Y2Start is not a printed date.
    AnalysisInput one = roundInput(1.0);
    one.Y2End.AssetsTotal = 0;
    one.Y2End.GoodsShipped = 200;
    EXPECT_EQ(runReport(one).error, "");
    AnalysisInput two = roundInput(2.0);
    two.Y2Start.GoodsShipped = 200;
    EXPECT_EQ(runReport(two).error, "");
}

// The complex assessment's stability lines from the ratios this section
// stores at the last balance date (non-current assets 100, inventories 200,
// assets 500).
struct StabilityConclusionCase {
    double equity;
    double autonomy, coverage; // as stored
    const char* autonomyLine;
    const char* coverageLine;
};

const char* const kIndependent = " Коэффициент автономии больше 0,5 - финансовая независимость предприятия ";
const char* const kDependent =
    " Коэффициент автоноии менее 0,5 - зависимость предприятия от внешних источников финансирования ";
const char* const kEnough = "Собственных оборотных средств хватает для пополнения запасов. ";
const char* const kNotEnough = "Собственных оборотных средств  не хватает для пополнения запасов. ";

class StabilityConclusion : public ::testing::TestWithParam<StabilityConclusionCase> {};

TEST_P(StabilityConclusion, LastDateRatiosDecide)
{
    const StabilityConclusionCase& c = GetParam();
    for (double years : {1.0, 2.0}) {
        AnalysisInput in = roundInput(years);
        in.AnalysisParameters.ExpertAssessmentOn = 1.0;
        (years == 2.0 ? in.Y2End : in.Y1End).EquityTotal = c.equity;
        AnalysisResults results;
        const ReportRun run = runReport(in, results);
        ASSERT_EQ(run.error, "");
        const std::size_t last = years == 2.0 ? date::Y2End : date::Y1End;
        EXPECT_EQ(results.AutonomyRatio[last], c.autonomy);
        EXPECT_EQ(results.InventoryCoverageRatio[last], c.coverage);
        EXPECT_TRUE(hasLine(run.lines(), c.autonomyLine)) << c.equity;
        EXPECT_TRUE(hasLine(run.lines(), c.coverageLine)) << c.equity;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, StabilityConclusion,
    ::testing::Values(StabilityConclusionCase{250, 0.5, 0.75, kIndependent, kEnough},
                      StabilityConclusionCase{247.5, 0.49, 0.73, kDependent, kEnough}, // 0.495
                      StabilityConclusionCase{221, 0.44, 0.6, kDependent, kNotEnough}, // 121 / 200
                      StabilityConclusionCase{223, 0.44, 0.61, kDependent, kEnough})); // 123 / 200

TEST(Stability, ComplexAssessmentShowsEmptyTextsForAnUnclassifiedDate)
{
    AnalysisResults results;
    AnalysisInput first = coreExample(1.0);
    first.AnalysisParameters.ExpertAssessmentOn = 1.0;
    ASSERT_EQ(runReport(first, results).error, "");

    AnalysisInput second = roundInput(1.0);
    second.AnalysisParameters.ExpertAssessmentOn = 1.0;
    second.Y1End.EquityTotal = 300;             // S1 = 0
    second.Y1End.LongTermLiabilitiesTotal = -1; // S2 < 0
    const ReportRun run = runReport(second, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(hasLine(run.lines(), " Трехкомпонентный показатель типа финансовой устойчивости равен  - "));
}

} // namespace
