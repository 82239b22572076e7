// The activation algorithm, the report header, the column headers and the
// section order with its switches.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/report_context.h"
#include "report_test_support.h"

namespace {

using namespace kalvanta;
using namespace kalvanta::testing_support;

// Records every call in order, so property changes can be placed among lines.
class EventSink : public ReportSink {
public:
    void appendLine(std::string_view line) override { events.emplace_back("line:" + std::string(line)); }
    void setVerticalScrollBars() override { events.emplace_back("scrollbars"); }
    void setBaseFontHeight(int pixels) override { events.emplace_back("font:" + std::to_string(pixels)); }
    std::vector<std::string> events;
};

struct ActivationCase {
    double pending, years;
    bool written;
    std::size_t lines;   // with sections 8 to 12 off
    double pendingAfter;
};

class Activation : public ::testing::TestWithParam<ActivationCase> {};

TEST_P(Activation, PendingFlagAndYearCountComparedExactly)
{
    const ActivationCase& c = GetParam();
    AnalysisInput in = coreExample(c.years);
    in.AnalysisParameters.AnalysisPending = c.pending;
    AnalysisResults results;
    const ReportRun run = runReport(in, results);
    EXPECT_EQ(run.error, "");
    EXPECT_EQ(run.started, c.written);
    EXPECT_EQ(run.lines().size(), c.lines);
    EXPECT_EQ(in.AnalysisParameters.AnalysisPending, c.pendingAfter);
    EXPECT_EQ(run.sink.scrollBarCalls, c.written ? 1 : 0);
    if (!c.written) {
        EXPECT_TRUE(run.sink.fontHeights.empty());
        EXPECT_EQ(results.ZScore[year::Y1], 0.0) << "nothing computed";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Flags, Activation,
    ::testing::Values(ActivationCase{1.0, 1.0, true, 105, 0.0}, ActivationCase{1.0, 2.0, true, 108, 0.0},
                      ActivationCase{0.0, 1.0, false, 0, 0.0}, ActivationCase{0.0, 2.0, false, 0, 0.0},
                      ActivationCase{1.0, 0.0, false, 0, 1.0}, ActivationCase{1.0, 3.0, false, 0, 1.0},
                      ActivationCase{1.0, -1.0, false, 0, 1.0},
                      ActivationCase{1.0, 1.0000000000000002, false, 0, 1.0},
                      ActivationCase{1.0, 1.9999999999999998, false, 0, 1.0},
                      ActivationCase{0.9999999999999999, 1.0, false, 0, 0.9999999999999999},
                      ActivationCase{2.0, 2.0, false, 0, 2.0}));

TEST(ReportBuilder, OneYearHeaderAndFontHeight)
{
    AnalysisInput in = coreExample(1.0);
    AnalysisResults results;
    EventSink sink;
    writePendingReport(in, results, sink, RegionalSettings::russian(), CivilDate{2026, 12, 8});
    ASSERT_GT(sink.events.size(), 12u);
    const std::vector<std::string> head(sink.events.begin(), sink.events.begin() + 11);
    const std::vector<std::string> expected = {
        "scrollbars",
        "line: Kalvanta  version 4.5  ",
        "line:Дата 08.12.2026",
        "line: ",
        "line: ",
        "font:14",
        "line:       Результаты расчета ",
        "line: Название предприятия - Фирма N       2004-2006 гг.",
        "line: Единица измерений формы №1 и №2 - тыс. рублей",
        "line: ",
        "line: Трехкомпонентный показатель типа финансовой устойчивости",
    };
    EXPECT_EQ(head, expected);
    std::size_t fonts = 0;
    for (const std::string& e : sink.events)
        fonts += e.starts_with("font:");
    EXPECT_EQ(fonts, 1u);
    EXPECT_EQ(characters(" Kalvanta  version 4.5  ").size(), 24u);
}

TEST(ReportBuilder, TwoYearHeaderLeavesTheFont)
{
    AnalysisInput in = coreExample(2.0);
    in.AnalysisParameters.EnterpriseName = "ООО \"Ромашка\"";
    in.AnalysisParameters.UnitName = "";
    AnalysisResults results;
    EventSink sink;
    writePendingReport(in, results, sink, RegionalSettings::russian(), CivilDate{2027, 1, 31});
    ASSERT_GT(sink.events.size(), 10u);
    const std::vector<std::string> head(sink.events.begin(), sink.events.begin() + 10);
    const std::vector<std::string> expected = {
        "scrollbars",
        "line: Kalvanta  version 4.5   ",
        "line:Дата 31.01.2027",
        "line: ",
        "line: ",
        "line:          Результаты расчета  за 2 года",
        "line: Название предприятия - ООО \"Ромашка\"",
        "line: Единица измерений формы №1 и №2 - ",
        "line: ",
        "line: Трехкомпонентный показатель типа финансовой устойчивости",
    };
    EXPECT_EQ(head, expected);
    for (const std::string& e : sink.events)
        EXPECT_FALSE(e.starts_with("font:"));
}

TEST(ReportBuilder, DateFollowsTheShortDatePattern)
{
    struct Case {
        const char* pattern;
        CivilDate date;
        const char* line;
    } cases[] = {
        {"yyyy-MM-dd", {2026, 12, 8}, "Дата 2026-12-08"},
        {"d.M.yy", {2026, 3, 5}, "Дата 5.3.26"},
        {"dd/MM/yyyy", {2031, 10, 1}, "Дата 01/10/2031"},
    };
    for (const Case& c : cases) {
        RegionalSettings regional = RegionalSettings::russian();
        regional.shortDateFormat = c.pattern;
        AnalysisInput in = coreExample(1.0);
        AnalysisResults results;
        VectorSink sink;
        writePendingReport(in, results, sink, regional, c.date);
        ASSERT_GT(sink.lines.size(), 2u);
        EXPECT_EQ(sink.lines[1], c.line);
    }
}

TEST(ReportBuilder, DecimalSeparatorComesFromTheRegionalSettings)
{
    RegionalSettings regional = RegionalSettings::russian();
    regional.decimalSeparator = ".";
    AnalysisInput in = coreExample(1.0);
    AnalysisResults results;
    VectorSink sink;
    writePendingReport(in, results, sink, regional, CivilDate{2026, 12, 8});
    EXPECT_TRUE(hasLine(sink.lines, "Z-счет Альтмана за период равен 4.01"));
}

// Column headers: "  Показатель", a run of spaces, the column names.
struct HeaderCase {
    const char* sectionTitle;
    double years;
    std::string header;
    std::size_t chars;
};

const std::string kIndicator = "  Показатель";
const std::string kDates = "на начало года/на конец года/на конец 2-го года ";

class ColumnHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ColumnHeader, ExactSpaceRuns)
{
    const HeaderCase& c = GetParam();
    const ReportRun run = runReport(coreExample(c.years));
    const int t = findLine(run.lines(), c.sectionTitle);
    ASSERT_GE(t, 0);
    const std::string& header = run.lines()[static_cast<std::size_t>(t) + 2];
    EXPECT_EQ(header, c.header);
    EXPECT_EQ(characters(header).size(), c.chars);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ColumnHeader,
    ::testing::Values(
        HeaderCase{" Трехкомпонентный показатель типа финансовой устойчивости", 1.0,
                   kIndicator + std::string(119, ' ') + "на начало года  на конец года ", 161},      // H1
        HeaderCase{" Трехкомпонентный показатель типа финансовой устойчивости", 2.0,
                   kIndicator + std::string(89, ' ') + kDates, 149},                                 // H3
        HeaderCase{" Относительные показатели финансовой устойчивости", 1.0,
                   kIndicator + std::string(119, ' ') + "на начало года  на конец года ", 161},
        HeaderCase{" Относительные показатели финансовой устойчивости", 2.0,
                   kIndicator + std::string(72, ' ') + kDates, 132},                                 // H4
        HeaderCase{" Оценка величины и динамики ликвидности имущества предприятия", 2.0,
                   kIndicator + std::string(60, ' ') + "на начало года /на конец года/на конец 2-го года ",
                   121},                                                                            // H5
        HeaderCase{" Относительные коэффициенты ликвидности", 2.0, kIndicator + std::string(79, ' ') + kDates,
                   139},                                                                            // H2
        HeaderCase{" Прогноз платежеспособности ", 1.0, kIndicator + std::string(119, ' ') + "на период ",
                   141},                                                                            // H6
        HeaderCase{" Прогноз платежеспособности ", 2.0, kIndicator + std::string(119, ' ') + "на период ",
                   141},
        HeaderCase{" Итоговый рейтинг финансового состояния ", 1.0,
                   "  Показатель на конец периода" + std::string(118, ' ') + "на период ", 157},    // H7
        HeaderCase{" Итоговый рейтинг финансового состояния ", 2.0,
                   "  Показатели на конец периодов (*/*)" + std::string(118, ' '), 154}));          // H8

TEST(ReportBuilder, RulesAreNinetySevenAndNinetySixCharacters)
{
    EXPECT_EQ(kLongRule, std::string(97, '_'));
    EXPECT_EQ(kShortRule.size(), 96u);
    EXPECT_EQ(kShortRule.substr(0, 95), std::string(95, '_'));
    EXPECT_EQ(kShortRule.back(), ' ');
}

// Each switch of sections 8 to 12 alone; a switch counts only at exactly 1.0.
struct SwitchCase {
    double ParametersGroup::*flag;
    const char* title;
};

const SwitchCase kSwitches[] = {
    {&ParametersGroup::BusinessActivityOn, " Показатели деловой активности"},
    {&ParametersGroup::ExpertAssessmentOn, " Комплексная оценка финансово-хозяйственной деятельности "},
    {&ParametersGroup::OperatingLeverageOn, "            Операционный рычаг "},
    {&ParametersGroup::FinancialLeverageOn, "                Финансовый рычаг "},
    {&ParametersGroup::WorkingCapitalNeedsOn, "     Финансово-эксплуатационные потребности предприятия "},
};

TEST(ReportBuilder, EachSwitchWritesOnlyItsSection)
{
    for (double years : {1.0, 2.0}) {
        for (const SwitchCase& on : kSwitches) {
            for (double value : {1.0, 0.5, 2.0}) {
                AnalysisInput in = coreExample(years);
                in.AnalysisParameters.*on.flag = value;
                const ReportRun run = runReport(in);
                ASSERT_EQ(run.error, "") << on.title;
                for (const SwitchCase& other : kSwitches) {
                    const bool expected = other.flag == on.flag && value == 1.0;
                    // the one-year financial leverage title has other spaces
                    if (other.flag == &ParametersGroup::FinancialLeverageOn && years == 1.0)
                        EXPECT_EQ(findLine(run.lines(), "                Финансовый рычач ") >= 0 ||
                                      findLine(run.lines(), "      Финансовый рычаг ") >= 0,
                                  expected);
                    else
                        EXPECT_EQ(hasLine(run.lines(), other.title), expected)
                            << other.title << " with " << on.title << " = " << value << ", " << years;
                }
            }
        }
    }
}

TEST(ReportBuilder, WorkedExampleHasEverySectionInOrder)
{
    for (double years : {1.0, 2.0}) {
        AnalysisInput in = workedExample();
        in.AnalysisParameters.YearCount = years;
        in.AnalysisParameters.AnalysisPending = 1.0;
        const ReportRun run = runReport(in);
        ASSERT_EQ(run.error, "");
        const char* titles[] = {
            " Трехкомпонентный показатель типа финансовой устойчивости",
            " Относительные показатели финансовой устойчивости",
            " Оценка величины и динамики ликвидности имущества предприятия",
            " Относительные коэффициенты ликвидности",
            " Анализ рентабельности",
            " Прогноз платежеспособности ",
            " Итоговый рейтинг финансового состояния ",
            " Показатели деловой активности",
            " Комплексная оценка финансово-хозяйственной деятельности ",
            "            Операционный рычаг ",
            "                Финансовый рыча",
            "     Финансово-эксплуатационные потребности предприятия ",
        };
        int previous = -1;
        for (const char* title : titles) {
            const int at = findLine(run.lines(), title, static_cast<std::size_t>(previous + 1));
            EXPECT_GT(at, previous) << title << ", " << years;
            previous = at;
        }
    }
}

TEST(ReportBuilder, TwoReportsInARowAppendTheSameText)
{
    AnalysisResults results;
    VectorSink sink;
    sink.appendLine("text the user left in the view");
    for (int i = 0; i < 2; ++i) {
        AnalysisInput in = workedExample();
        in.AnalysisParameters.AnalysisPending = 1.0;
        ASSERT_TRUE(writePendingReport(in, results, sink, RegionalSettings::russian(), CivilDate{2026, 12, 8}));
    }
    ASSERT_EQ(sink.lines.size() % 2, 1u);
    const std::size_t n = (sink.lines.size() - 1) / 2;
    EXPECT_EQ(sink.lines[0], "text the user left in the view");
    for (std::size_t i = 1; i <= n; ++i)
        ASSERT_EQ(sink.lines[i], sink.lines[i + n]) << i;
    EXPECT_EQ(sink.scrollBarCalls, 2);
}

TEST(ReportBuilder, ErrorLeavesItsLinesAndTheFlagCleared)
{
    AnalysisInput in = roundInput(1.0);
    in.Y1End.AssetsTotal = 0; // section 2 divides by it
    AnalysisResults results;
    VectorSink sink;
    EXPECT_THROW(writePendingReport(in, results, sink, RegionalSettings::russian(), CivilDate{2026, 12, 8}),
                 FloatError);
    EXPECT_EQ(in.AnalysisParameters.AnalysisPending, 0.0);
    const std::size_t written = sink.lines.size();
    EXPECT_EQ(written, 8u + 14u); // header and section 1
    // the next activation writes nothing
    EXPECT_FALSE(writePendingReport(in, results, sink, RegionalSettings::russian(), CivilDate{2026, 12, 8}));
    EXPECT_EQ(sink.lines.size(), written);
}

TEST(ReportBuilder, SwitchedOffSectionsKeepEarlierValues)
{
    AnalysisResults results;
    AnalysisInput first = workedExample();
    first.AnalysisParameters.YearCount = 1.0;
    first.AnalysisParameters.AnalysisPending = 1.0;
    ASSERT_EQ(runReport(first, results).error, "");
    ASSERT_EQ(results.AssetTurnover[year::Y1], 2.44); // 35719 / 14637

    AnalysisInput second = roundInput(1.0); // business activity off
    ASSERT_EQ(runReport(second, results).error, "");
    EXPECT_EQ(results.AssetTurnover[year::Y1], 2.44);
    EXPECT_EQ(results.TotalProfitability[year::Y1], 0.5); // sections 1 to 7 always current
}

TEST(ReportBuilder, OverflowingSumIsAnError)
{
    AnalysisInput in = roundInput(1.0);
    in.Y1End.EquityTotal = 1e308;
    in.Y1End.DeferredIncome = 1e308; // the first surplus leaves the double range
    const ReportRun run = runReport(in);
    EXPECT_EQ(run.error, "Floating point overflow");
    EXPECT_EQ(run.lines().size(), 8u);
}

} // namespace
