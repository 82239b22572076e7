// Sections 3 and 4: liquidity groups and the relative liquidity ratios.
#include <gtest/gtest.h>

#include <string>

#include "report_test_support.h"

namespace {

using namespace kalvanta;
using namespace kalvanta::testing_support;

// Group letters are Cyrillic; "Cрочные" starts with a Latin C.
const std::string kA1 = "Наиболее ликвидные активы (начало, конец года)(А1)";
const std::string kA2 = "Легко реализуемые активы  (А2)";
const std::string kA3 = "Медленно реализуемые активы (А3)";
const std::string kA4 = "Неликвидные активы     (А4)";
const std::string kP1 = "\x43рочные обязательства (П1)";
const std::string kP2 = "Краткосрочные пассивы  (П2)";
const std::string kP3 = "Долгосрорчные пассивы (П3)";
const std::string kP4 = "Постоянные пассивы    (П4)";
const std::string kCurrent = "Коэффициент текущей ликвидности (должен >=2) на начало и конец года";
const std::string kQuick = "Промежуточный коэффициент ликвидности (0,6-0,7)";
const std::string kAbsolute = "Коэффициент абсолютной ликвидности (0,2-0,25)";
const std::string kStatement1 =
    "Баланс  считается абсолютно ликвидным, если имеют место соотношения: А1>=П1; А2>=П2; А3>=П3; А4=<П4 ";
const std::string kStatement2 = "Выполнение последнего неравенства - минимальное условие финансовой устойчивости. ";

struct LineCase {
    const std::string* label;
    std::size_t column;
    const char* values;
};

TEST(Liquidity, WorkedExampleOneYearLines)
{
    AnalysisResults results;
    AnalysisInput in = coreExample(1.0);
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    const LineCase cases[] = {
        {&kA1, 123, "54            3278"},   {&kA2, 139, "503          8374"},
        {&kA3, 134, "5676        10480"},    {&kA4, 144, "179          730"},
        {&kP1, 143, "5888         19551"},   {&kP2, 142, "0        0"},
        {&kP3, 142, "0        0"},           {&kP4, 143, "524        3311"},
        {&kCurrent, 103, "1,05         1,13"}, // 6198 / 5888, 22132 / 19551
        {&kQuick, 119, "0,09         0,59"},   // 557 / 5888, 11652 / 19551
        {&kAbsolute, 121, "0,009         0,16"}, // three decimals at the start only
    };
    for (const LineCase& c : cases)
        EXPECT_TRUE(labelledLine(run.lines(), *c.label, c.column, c.values));
    EXPECT_EQ(results.ShortTermDebt[date::Y1Start], 5888.0);
    EXPECT_EQ(results.AbsoluteLiquidityRatio[date::Y1Start], 0.009);
    EXPECT_EQ(results.AbsoluteLiquidityRatio[date::Y1End], 0.16);
}

TEST(Liquidity, WorkedExampleTwoYearLines)
{
    const ReportRun run = runReport(coreExample(2.0));
    ASSERT_EQ(run.error, "");
    const LineCase cases[] = {
        {&kA1, 123, "54  /3278/1130"},       {&kA2, 139, "503/8374/4381"},
        {&kA3, 134, "5676 /10480/29706"},    {&kA4, 144, "179/730/1128"},
        {&kP1, 143, "5888/19551/32701"},     {&kP2, 142, "0/0/0"},
        {&kP3, 142, "0/0/0"},                {&kP4, 143, "524        3311/3644"},
        {&kCurrent, 103, "1,05/1,13/1,07"},  // 35217 / 32701
        {&kQuick, 119, "0,09/0,59/0,16"},    // 5511 / 32701
        {&kAbsolute, 121, "0,009/0,16/0,03"}, // 1130 / 32701, two decimals at Y2End
    };
    for (const LineCase& c : cases)
        EXPECT_TRUE(labelledLine(run.lines(), *c.label, c.column, c.values));
}

TEST(Liquidity, FramesOfBothSections)
{
    const std::string h1 = "  Показатель" + std::string(119, ' ') + "на начало года  на конец года ";
    const std::string h2 =
        "  Показатель" + std::string(79, ' ') + "на начало года/на конец года/на конец 2-го года ";
    const std::string h5 =
        "  Показатель" + std::string(60, ' ') + "на начало года /на конец года/на конец 2-го года ";
    for (double years : {1.0, 2.0}) {
        const ReportRun run = runReport(coreExample(years));
        const auto& l = run.lines();
        const int t = findLine(l, kTitle3);
        ASSERT_GT(t, 0);
        const std::size_t i = static_cast<std::size_t>(t);
        ASSERT_GT(l.size(), i + 30);
        EXPECT_EQ(l[i], kTitle3);
        EXPECT_EQ(l[i + 1], kLong);
        EXPECT_EQ(l[i + 2], years == 2.0 ? h5 : h1);
        EXPECT_EQ(l[i + 3], kLong);
        EXPECT_TRUE(l[i + 4].starts_with(kA1)) << "no blank line before the data";
        EXPECT_TRUE(l[i + 11].starts_with(kP4));
        EXPECT_EQ(l[i + 12], " ");
        EXPECT_EQ(l[i + 13], kStatement1);
        EXPECT_EQ(l[i + 14], kStatement2);
        EXPECT_EQ(l[i + 15], kLong);
        EXPECT_EQ(l[i + 16], " ");
        EXPECT_EQ(l[i + 17], " ");
        EXPECT_EQ(l[i + 18], kTitle4);
        EXPECT_EQ(l[i + 19], kLong);
        EXPECT_EQ(l[i + 20], years == 2.0 ? h2 : h1);
        EXPECT_EQ(l[i + 21], kLong);
        EXPECT_TRUE(l[i + 22].starts_with(kCurrent));
        EXPECT_TRUE(l[i + 24].starts_with(kAbsolute));
        EXPECT_EQ(l[i + 25], kLong);
        EXPECT_EQ(l[i + 26], " ");
        EXPECT_EQ(l[i + 27], " ");
        EXPECT_TRUE(l[i + 28].starts_with(kTitle5));
    }
    // The statement lines are 100 and 81 characters long.
    EXPECT_EQ(characters(kStatement1).size(), 100u);
    EXPECT_EQ(characters(kStatement2).size(), 81u);
}

TEST(Liquidity, QuotientOf029IsWrittenBelowIt)
{
    // 29 / 100 is stored just below 0.29: two decimals give 0,28, three 0,289.
    AnalysisInput in = roundInput(1.0);
    for (BalanceSheet* b : {&in.Y1Start, &in.Y1End}) {
        b->Cash = 29;
        b->AccountsPayable = 100;
    }
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(labelledLine(run.lines(), kAbsolute, 121, "0,289         0,28"));
    EXPECT_EQ(results.AbsoluteLiquidityRatio[date::Y1End], 0.28);
}

TEST(Liquidity, GoodsShippedMoveValueFromA3ToA2)
{
    AnalysisInput in = roundInput(1.0);
    in.Y1End.GoodsShipped = 50;
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(labelledLine(run.lines(), kA2, 139, "100          150"));
    EXPECT_TRUE(labelledLine(run.lines(), kA3, 134, "200        150"));
    EXPECT_TRUE(labelledLine(run.lines(), kCurrent, 103, "1,6         1,6")); // 400 / 250
    EXPECT_TRUE(labelledLine(run.lines(), kQuick, 119, "0,8         1"));    // 200 / 250, 250 / 250
}

TEST(Liquidity, GroupsOfNegativeAndFractionalLines)
{
    AnalysisInput in = roundInput(1.0);
    BalanceSheet& e = in.Y1End;
    e.ShortTermInvestments = 0.25;
    e.Cash = -100.5;             // A1 = −100.25
    e.LongTermInvestments = 30;  // A3 += 30, A4 = 100 − 30
    e.DueToFounders = 1.5;
    e.OtherShortTermLiabilities = -2; // P1 = 250 + 1.5 − 2
    e.ShortTermLoans = 7;
    e.LongTermLiabilitiesTotal = -3;
    e.DeferredIncome = 0.125;    // P4 = 250.125
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    ASSERT_EQ(run.error, "");
    EXPECT_TRUE(labelledLine(run.lines(), kA1, 123, "100            -100,25"));
    EXPECT_TRUE(labelledLine(run.lines(), kA3, 134, "200        230"));
    EXPECT_TRUE(labelledLine(run.lines(), kA4, 144, "100          70"));
    EXPECT_TRUE(labelledLine(run.lines(), kP1, 143, "250         249,5"));
    EXPECT_TRUE(labelledLine(run.lines(), kP2, 142, "0        7"));
    EXPECT_TRUE(labelledLine(run.lines(), kP3, 142, "0        -3"));
    EXPECT_TRUE(labelledLine(run.lines(), kP4, 143, "250        250,125"));
}

// A zero short-term debt at a printed date ends the report after section 3.
class LiquidityDivisor : public ::testing::TestWithParam<DivisorCase> {};

TEST_P(LiquidityDivisor, EndsTheReportAfterSectionThree)
{
    const DivisorCase& c = GetParam();
    const ReportRun run = runDivisorCase(c).run;
    EXPECT_EQ(run.error, c.message) << c.what;
    const auto& l = run.lines();
    ASSERT_GE(l.size(), 20u);
    EXPECT_TRUE(hasLine(l, kStatement2)) << "section 3 is written whole";
    EXPECT_FALSE(hasLine(l, kTitle4));
    EXPECT_TRUE(endsWithRuleAndTwoBlanks(l));
}

INSTANTIATE_TEST_SUITE_P(
    Debt, LiquidityDivisor,
    ::testing::Values(
        DivisorCase{"year end", 1.0, [](AnalysisInput& in) { in.Y1End.AccountsPayable = 0; },
                 "Floating point division by zero"},
        DivisorCase{"start, lines cancelling", 1.0,
                 [](AnalysisInput& in) {
                     in.Y1Start.ShortTermLoans = 100;
                     in.Y1Start.AccountsPayable = 50;
                     in.Y1Start.DueToFounders = -150;
                 },
                 "Floating point division by zero"},
        DivisorCase{"zero over zero", 1.0,
                 [](AnalysisInput& in) {
                     in.Y1End.AccountsPayable = 0;
                     in.Y1End.Cash = -200; // current assets' lines add up to 0
                     in.Y1End.ShortTermReceivables = 0;
                 },
                 "Invalid floating point operation"},
        DivisorCase{"end of year 2", 2.0, [](AnalysisInput& in) { in.Y2End.AccountsPayable = 0; },
                 "Floating point division by zero"}));

TEST(Liquidity, UnprintedDatesDoNotDivide)
{
    AnalysisInput one = roundInput(1.0);
    one.Y2End.AccountsPayable = 0;
    one.Y2Start.AccountsPayable = 0;
    EXPECT_EQ(runReport(one).error, "");
    AnalysisInput two = roundInput(2.0);
    two.Y2Start.AccountsPayable = 0;
    EXPECT_EQ(runReport(two).error, "");
}

TEST(Liquidity, OneYearReportLeavesYear2ValuesOfAnEarlierReport)
{
    AnalysisResults results;
    AnalysisInput two = coreExample(2.0);
    ASSERT_EQ(runReport(two, results).error, "");
    AnalysisInput one = roundInput(1.0);
    ASSERT_EQ(runReport(one, results).error, "");
    EXPECT_EQ(results.A1[date::Y1End], 100.0);
    EXPECT_EQ(results.A1[date::Y2End], 1130.0);
    EXPECT_EQ(results.CurrentRatio[date::Y2End], 1.07);
}

// The complex assessment's liquidity and solvency lines from the values this
// section stores at the last balance date.
struct ConclusionCase {
    const char* what;
    double cash, receivables, inventories, payable, equity;
    const char* balanceLine;
    const char* solvencyLine;
};

const char* const kAbsolutelyLiquid = " Баланс предприятия является абсолютно ликвидным ";
const char* const kMinimalMet =
    " Баланс не является абсолютно ликвидным, но выполнено  минимальное условие финансовой устойчивости ";
const char* const kMinimalNotMet = " Не выполнено даже минимальное условие финансовой устойчивости  ";
const char* const kCurrentOk = "Текущая платежеспособность предприятия в норме. ";
const char* const kQuickOk = "Платежеспособность на период одного оборота дебиторской задолженности в норме. ";
const char* const kInsolvent = "Коэффициенты ликвидности: Предприятие неплатежеспособно ";

class LiquidityConclusion : public ::testing::TestWithParam<ConclusionCase> {};

TEST_P(LiquidityConclusion, LastDateValuesDecide)
{
    const ConclusionCase& c = GetParam();
    for (double years : {1.0, 2.0}) {
        AnalysisInput in = roundInput(years);
        in.AnalysisParameters.ExpertAssessmentOn = 1.0;
        BalanceSheet& last = years == 2.0 ? in.Y2End : in.Y1End;
        last.Cash = c.cash;
        last.ShortTermReceivables = c.receivables;
        last.Inventories = c.inventories;
        last.AccountsPayable = c.payable;
        last.EquityTotal = c.equity;
        const ReportRun run = runReport(in);
        ASSERT_EQ(run.error, "") << c.what;
        const int head = findLine(run.lines(), " Ликвидность активов.  ");
        ASSERT_GT(head, 0) << c.what;
        const std::size_t i = static_cast<std::size_t>(head);
        EXPECT_EQ(run.lines()[i + 1], c.balanceLine) << c.what << ", " << years << " years";
        EXPECT_EQ(run.lines()[i + 2], c.solvencyLine) << c.what << ", " << years << " years";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, LiquidityConclusion,
    ::testing::Values(
        // current ratio 400 / 200 = 2 wins although quick and absolute are 0
        ConclusionCase{"current ratio 2", 0, 0, 400, 200, 250, kMinimalMet, kCurrentOk},
        // 1.5, 60.5 / 100 stored as 0.6 (not above 0.6), 20 / 100 stored as 0.2
        ConclusionCase{"repayment 20", 20, 40.5, 89.5, 100, 250, kMinimalMet,
                       "В ближайшее время предприятие может погасить 20% краткосрочных обязательств"},
        // 0.355 is stored as 0.35, just below it; times 100 in extended precision it prints 35
        ConclusionCase{"repayment 35", 35.5, 0, 114.5, 100, 250, kMinimalMet,
                       "В ближайшее время предприятие может погасить 35% краткосрочных обязательств"},
        ConclusionCase{"quick 0,61", 20, 41.5, 88.5, 100, 250, kMinimalMet, kQuickOk},
        ConclusionCase{"absolute 0,19", 19.5, 41, 89.5, 100, 250, kMinimalMet, kInsolvent},
        // A1 = P1 = 100, A2 ≥ 0, A3 ≥ 0, A4 = 100 ≤ P4 = 250
        ConclusionCase{"equal groups count", 100, 100, 200, 100, 250, kAbsolutelyLiquid, kCurrentOk},
        // A4 = P4 = 100 with A1 < P1
        ConclusionCase{"A4 = P4", 100, 100, 200, 250, 100, kMinimalMet, kQuickOk},
        ConclusionCase{"A4 > P4", 100, 100, 200, 250, 99.5, kMinimalNotMet, kQuickOk},
        ConclusionCase{"A4 > P4, the rest liquid", 100, 100, 200, 100, 99.5, kMinimalNotMet, kCurrentOk}));

} // namespace
