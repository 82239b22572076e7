#include <functional>
#include <string>
#include <vector>

#include "later_sections_harness.h"

namespace kalvanta {
namespace {

using testing::SectionHarness;

// Values the earlier sections store for the worked example at the end of
// each year (stability, liquidity, Z score).
void fillWorkedExample(AnalysisResults& r)
{
    for (std::size_t d : {date::Y1End, date::Y2End}) {
        r.StabilityType[d] = "(0,0,0)";
        r.StabilityVerdict[d] = "кризисное финансовое состояние";
    }
    r.AutonomyRatio[date::Y1End] = 0.14;
    r.ManeuverabilityRatio[date::Y1End] = 0.77;
    r.InventoryCoverageRatio[date::Y1End] = 0.24;
    r.A1[date::Y1End] = 3278;
    r.A2[date::Y1End] = 8374;
    r.A3[date::Y1End] = 10480;
    r.A4[date::Y1End] = 730;
    r.P1[date::Y1End] = 19551;
    r.P2[date::Y1End] = 0;
    r.P3[date::Y1End] = 0;
    r.P4[date::Y1End] = 3311;
    r.CurrentRatio[date::Y1End] = 1.13;
    r.QuickRatio[date::Y1End] = 0.59;
    r.AbsoluteLiquidityRatio[date::Y1End] = 0.16;
    r.ZScore[year::Y1] = 4.01;

    r.AutonomyRatio[date::Y2End] = 0.1;
    r.ManeuverabilityRatio[date::Y2End] = 0.69;
    r.InventoryCoverageRatio[date::Y2End] = 0.08;
    r.A1[date::Y2End] = 1130;
    r.A2[date::Y2End] = 4381;
    r.A3[date::Y2End] = 29706;
    r.A4[date::Y2End] = 1128;
    r.P1[date::Y2End] = 32701;
    r.P2[date::Y2End] = 0;
    r.P3[date::Y2End] = 0;
    r.P4[date::Y2End] = 3644;
    r.CurrentRatio[date::Y2End] = 1.07;
    r.QuickRatio[date::Y2End] = 0.16;
    r.AbsoluteLiquidityRatio[date::Y2End] = 0.03;
    r.ZScore[year::Y2] = 1.82;
}

const std::string kTitle = " Комплексная оценка финансово-хозяйственной деятельности ";
const std::string kAutonomyHigh = " Коэффициент автономии больше 0,5 - финансовая независимость предприятия ";
const std::string kAutonomyLow =
    " Коэффициент автоноии менее 0,5 - зависимость предприятия от внешних источников финансирования ";
const std::string kManeuverHigh =
    " Коэффициент маневренности показывает, что боьшая часть средств предприятия вложено в ликвидные активы";
const std::string kManeuverLow =
    " Коэффициент маневренности показывает, что большинство средств вложено в неликвидные основные средства";
const std::string kCoverageEnough = "Собственных оборотных средств хватает для пополнения запасов. ";
const std::string kCoverageShort = "Собственных оборотных средств  не хватает для пополнения запасов. ";
const std::string kAbsolutelyLiquid = " Баланс предприятия является абсолютно ликвидным ";
const std::string kMinimalMet =
    " Баланс не является абсолютно ликвидным, но выполнено  минимальное условие финансовой устойчивости ";
const std::string kMinimalNotMet = " Не выполнено даже минимальное условие финансовой устойчивости  ";
const std::string kCurrentOk = "Текущая платежеспособность предприятия в норме. ";
const std::string kQuickOk = "Платежеспособность на период одного оборота дебиторской задолженности в норме. ";
const std::string kInsolvent = "Коэффициенты ликвидности: Предприятие неплатежеспособно ";
const std::string kStable = "Предприятие работает стабильно и банкротство маловероятно.";
const std::string kUncertain = "Предприятие находится в зоне неопределенности.";
const std::string kBankrupt = "Предприятие является банкротом ";
const std::string kPostScript = "P.S. Z-счет не всегда правильно отражает состояние российских предприятий.";

std::string repayLine(const std::string& percent)
{
    return "В ближайшее время предприятие может погасить " + percent + "% краткосрочных обязательств";
}

TEST(ComplexAssessment, OneYearWorkedExampleLines)
{
    SectionHarness h(1);
    fillWorkedExample(h.results);
    h.run(writeComplexAssessment);
    const std::vector<std::string> expected = {
        kTitle,
        " Финансовая устойчивость.  ",
        " Трехкомпонентный показатель типа финансовой устойчивости равен (0,0,0) - кризисное финансовое состояние",
        kAutonomyLow,
        kManeuverHigh,
        kCoverageShort,
        " Ликвидность активов.  ",
        kMinimalMet,
        kInsolvent,
        "Прогноз банкротства (Z-счет Альтмана): ",
        kStable,
        kPostScript,
    };
    EXPECT_EQ(h.sink.lines, expected);
}

TEST(ComplexAssessment, TwoYearReadsOnlyTheSecondYear)
{
    SectionHarness h(2);
    fillWorkedExample(h.results);
    // First-year values that would change every verdict if they were read.
    h.results.StabilityType[date::Y1End] = "(1,1,1)";
    h.results.AutonomyRatio[date::Y1End] = 0.9;
    h.results.InventoryCoverageRatio[date::Y1End] = 0.9;
    h.results.CurrentRatio[date::Y1End] = 3;
    h.results.ZScore[year::Y1] = 4.01;
    h.results.StabilityVerdict[date::Y2End] = "неустойчивое финансовое состояние";
    h.results.StabilityType[date::Y2End] = "(0,0,1)";
    h.run(writeComplexAssessment);
    ASSERT_EQ(h.sink.lines.size(), 12u);
    EXPECT_EQ(h.sink.lines[2], " Трехкомпонентный показатель типа финансовой устойчивости равен (0,0,1) - неустойчивое "
                               "финансовое состояние");
    EXPECT_EQ(h.sink.lines[3], kAutonomyLow);
    EXPECT_EQ(h.sink.lines[4], kManeuverHigh);
    EXPECT_EQ(h.sink.lines[5], kCoverageShort);
    EXPECT_EQ(h.sink.lines[7], kMinimalMet);
    EXPECT_EQ(h.sink.lines[8], kInsolvent);
    EXPECT_EQ(h.sink.lines[10], kUncertain); // Z 1,82 of the second year
}

TEST(ComplexAssessment, EmptyStabilityTextsStayEmpty)
{
    SectionHarness h(1);
    fillWorkedExample(h.results);
    h.results.StabilityType[date::Y1End].clear();
    h.results.StabilityVerdict[date::Y1End].clear();
    h.run(writeComplexAssessment);
    EXPECT_EQ(h.sink.lines[2], " Трехкомпонентный показатель типа финансовой устойчивости равен  - ");
}

TEST(ComplexAssessment, SwitchedOffWritesNothing)
{
    SectionHarness h(2);
    fillWorkedExample(h.results);
    h.input.AnalysisParameters.ExpertAssessmentOn = 0.0;
    h.run(writeComplexAssessment);
    EXPECT_TRUE(h.sink.lines.empty());
}

struct ThresholdCase {
    const char* name;
    std::function<void(AnalysisResults&, std::size_t last)> change;
    std::size_t lineIndex;
    std::string expected;
};

class ComplexAssessmentThreshold : public ::testing::TestWithParam<ThresholdCase> {};

// Each case runs in both reports, on the last balance date of each.
TEST_P(ComplexAssessmentThreshold, ChoosesTheLine)
{
    const ThresholdCase& c = GetParam();
    for (int years : {1, 2}) {
        SectionHarness h(years);
        fillWorkedExample(h.results);
        const std::size_t last = years == 2 ? date::Y2End : date::Y1End;
        c.change(h.results, last);
        h.run(writeComplexAssessment);
        ASSERT_EQ(h.sink.lines.size(), 12u);
        EXPECT_EQ(h.sink.lines[c.lineIndex], c.expected) << years << " year(s)";
    }
}

// Z score of the last year: Y1 in a one-year report, Y2 in a two-year one.
std::size_t lastYearOf(std::size_t lastDate) { return lastDate == date::Y2End ? year::Y2 : year::Y1; }

void setGroups(AnalysisResults& r, std::size_t d, double a1, double a2, double a3, double a4, double p1, double p2,
               double p3, double p4)
{
    r.A1[d] = a1;
    r.A2[d] = a2;
    r.A3[d] = a3;
    r.A4[d] = a4;
    r.P1[d] = p1;
    r.P2[d] = p2;
    r.P3[d] = p3;
    r.P4[d] = p4;
}

void setRatios(AnalysisResults& r, std::size_t d, double current, double quick, double absolute)
{
    r.CurrentRatio[d] = current;
    r.QuickRatio[d] = quick;
    r.AbsoluteLiquidityRatio[d] = absolute;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComplexAssessmentThreshold,
    ::testing::Values(
        ThresholdCase{"AutonomyExactlyHalf", [](AnalysisResults& r, std::size_t d) { r.AutonomyRatio[d] = 0.5; }, 3,
                      kAutonomyHigh},
        ThresholdCase{"AutonomyJustBelowHalf", [](AnalysisResults& r, std::size_t d) { r.AutonomyRatio[d] = 0.49; },
                      3, kAutonomyLow},
        ThresholdCase{"AutonomyFromTruncation",
                      [](AnalysisResults& r, std::size_t d) { r.AutonomyRatio[d] = trunc2(0.5099); }, 3,
                      kAutonomyHigh},
        ThresholdCase{"ManeuverabilityExactlyHalf",
                      [](AnalysisResults& r, std::size_t d) { r.ManeuverabilityRatio[d] = 0.5; }, 4, kManeuverHigh},
        ThresholdCase{"ManeuverabilityBelowHalf",
                      [](AnalysisResults& r, std::size_t d) { r.ManeuverabilityRatio[d] = 0.49; }, 4, kManeuverLow},
        ThresholdCase{"ManeuverabilityNegative",
                      [](AnalysisResults& r, std::size_t d) { r.ManeuverabilityRatio[d] = -1.25; }, 4, kManeuverLow},
        ThresholdCase{"CoverageExactlyPointSixIsShort",
                      [](AnalysisResults& r, std::size_t d) { r.InventoryCoverageRatio[d] = 0.6; }, 5, kCoverageShort},
        ThresholdCase{"CoveragePointSixOneIsEnough",
                      [](AnalysisResults& r, std::size_t d) { r.InventoryCoverageRatio[d] = 0.61; }, 5,
                      kCoverageEnough},
        ThresholdCase{"CoverageTruncatedToPointSix",
                      [](AnalysisResults& r, std::size_t d) { r.InventoryCoverageRatio[d] = trunc2(0.6099); }, 5,
                      kCoverageShort},
        ThresholdCase{"AllGroupsEqualIsAbsolutelyLiquid",
                      [](AnalysisResults& r, std::size_t d) { setGroups(r, d, 5, 6, 7, 8, 5, 6, 7, 8); }, 7,
                      kAbsolutelyLiquid},
        ThresholdCase{"A1BelowP1ButA4EqualP4",
                      [](AnalysisResults& r, std::size_t d) { setGroups(r, d, 4, 6, 7, 8, 5, 6, 7, 8); }, 7,
                      kMinimalMet},
        ThresholdCase{"A2BelowP2", [](AnalysisResults& r, std::size_t d) { setGroups(r, d, 5, 5, 7, 8, 5, 6, 7, 8); },
                      7, kMinimalMet},
        ThresholdCase{"A3BelowP3", [](AnalysisResults& r, std::size_t d) { setGroups(r, d, 5, 6, 6, 8, 5, 6, 7, 8); },
                      7, kMinimalMet},
        ThresholdCase{"A4AboveP4WithEverythingElseLiquid",
                      [](AnalysisResults& r, std::size_t d) { setGroups(r, d, 9, 9, 9, 8.5, 5, 6, 7, 8); }, 7,
                      kMinimalNotMet},
        ThresholdCase{"A4AboveP4AndNothingLiquid",
                      [](AnalysisResults& r, std::size_t d) { setGroups(r, d, 1, 1, 1, 9, 5, 6, 7, 8); }, 7,
                      kMinimalNotMet},
        ThresholdCase{"CurrentRatioTwoWinsOverTinyRatios",
                      [](AnalysisResults& r, std::size_t d) { setRatios(r, d, 2, 0.01, 0); }, 8, kCurrentOk},
        ThresholdCase{"CurrentBelowTwoQuickAbovePointSix",
                      [](AnalysisResults& r, std::size_t d) { setRatios(r, d, 1.99, 0.61, 0.5); }, 8, kQuickOk},
        ThresholdCase{"QuickExactlyPointSixFallsToRepayment",
                      [](AnalysisResults& r, std::size_t d) { setRatios(r, d, 1.5, 0.6, 0.2); }, 8, repayLine("20")},
        ThresholdCase{"RepaymentPercentIsExactProduct",
                      [](AnalysisResults& r, std::size_t d) { setRatios(r, d, 1.5, 0.3, 0.35); }, 8, repayLine("35")},
        ThresholdCase{"RepaymentFromTruncatedRatio",
                      [](AnalysisResults& r, std::size_t d) { setRatios(r, d, 0.5, 0.5, trunc2(0.2999)); }, 8,
                      repayLine("29")},
        ThresholdCase{"AbsoluteRatioBelowPointTwoIsInsolvent",
                      [](AnalysisResults& r, std::size_t d) { setRatios(r, d, 1.5, 0.6, 0.19); }, 8, kInsolvent},
        ThresholdCase{"ZExactlyTwoPointNineIsUncertain",
                      [](AnalysisResults& r, std::size_t d) { r.ZScore[lastYearOf(d)] = 2.9; }, 10, kUncertain},
        ThresholdCase{"ZTwoPointNineOneIsStable",
                      [](AnalysisResults& r, std::size_t d) { r.ZScore[lastYearOf(d)] = 2.91; }, 10, kStable},
        ThresholdCase{"ZOnePointTwoFourIsUncertain",
                      [](AnalysisResults& r, std::size_t d) { r.ZScore[lastYearOf(d)] = 1.24; }, 10, kUncertain},
        ThresholdCase{"ZExactlyOnePointTwoThreeIsBankrupt",
                      [](AnalysisResults& r, std::size_t d) { r.ZScore[lastYearOf(d)] = 1.23; }, 10, kBankrupt},
        ThresholdCase{"NegativeZIsBankrupt",
                      [](AnalysisResults& r, std::size_t d) { r.ZScore[lastYearOf(d)] = -3.5; }, 10, kBankrupt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComplexAssessment, FixedTextsHaveTheirLengths)
{
    struct Text {
        const std::string& text;
        std::size_t length;
    };
    const Text texts[] = {{kTitle, 57},          {kAutonomyHigh, 73},     {kAutonomyLow, 95},
                          {kManeuverHigh, 102},  {kManeuverLow, 102},     {kCoverageEnough, 62},
                          {kCoverageShort, 66},  {kAbsolutelyLiquid, 49}, {kMinimalMet, 99},
                          {kMinimalNotMet, 64},  {kCurrentOk, 48},        {kQuickOk, 79},
                          {kInsolvent, 56},      {kStable, 58},           {kUncertain, 46},
                          {kBankrupt, 31},       {kPostScript, 74}};
    for (const Text& t : texts)
        EXPECT_EQ(charCount(t.text), t.length) << t.text;
}

} // namespace
} // namespace kalvanta
