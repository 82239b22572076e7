#pragma once
// Helpers shared by the section tests: run a report on a record and find
// lines by their label, with columns counted in characters.
#include <gtest/gtest.h>

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/report_builder.h"
#include "analysis/report_sink.h"
#include "inputs/analysis_input.h"
#include "numeric/float_errors.h"
#include "numeric/regional_settings.h"

namespace kalvanta::testing_support {

inline constexpr std::string_view kLong =
    "_________________________________________________________________________________________________";

// The titles of sections 1 to 7, as the report writes them; section 5 has
// another title in a two-year report.
inline const std::string kTitle1 = " Трехкомпонентный показатель типа финансовой устойчивости";
inline const std::string kTitle2 = " Относительные показатели финансовой устойчивости";
inline const std::string kTitle3 = " Оценка величины и динамики ликвидности имущества предприятия";
inline const std::string kTitle4 = " Относительные коэффициенты ликвидности";
inline const std::string kTitle5 = " Анализ рентабельности";
inline const std::string kTitle5Two = " Анализ рентабельности  (за 1й год/ за 2й год)";
inline const std::string kTitle6 = " Прогноз платежеспособности ";
inline const std::string kTitle7 = " Итоговый рейтинг финансового состояния ";

// The worked example with only sections 1 to 7 (switches of 8 to 12 off).
inline AnalysisInput coreExample(double years)
{
    AnalysisInput in = workedExample();
    ParametersGroup& p = in.AnalysisParameters;
    p.YearCount = years;
    p.BusinessActivityOn = p.ExpertAssessmentOn = p.OperatingLeverageOn = 0.0;
    p.FinancialLeverageOn = p.WorkingCapitalNeedsOn = 0.0;
    p.AnalysisPending = 1.0;
    return in;
}

// A small balanced sheet with round figures: non-current assets 100,
// inventories 200, receivables 100, cash 100 (current assets 400, total 500);
// equity 250 (charter capital 10), accounts payable 250.
inline BalanceSheet roundSheet()
{
    BalanceSheet b;
    b.FixedAssets = 100;
    b.NonCurrentAssetsTotal = 100;
    b.Inventories = 200;
    b.ShortTermReceivables = 100;
    b.Cash = 100;
    b.CurrentAssetsTotal = 400;
    b.AssetsTotal = 500;
    b.CharterCapital = 10;
    b.RetainedEarnings = 240;
    b.EquityTotal = 250;
    b.AccountsPayable = 250;
    b.ShortTermLiabilitiesTotal = 250;
    b.LiabilitiesTotal = 500;
    return b;
}

// One year's profit and loss in round figures to go with roundSheet: a
// different record, so set field by field as the sheet is.
inline ProfitLossYear roundYear()
{
    ProfitLossYear p;
    p.Revenue = 1000;
    p.CostOfSales = 800;
    p.SalesProfit = 200;
    p.OtherOperatingIncome = 50;
    p.OtherOperatingExpenses = 30;
    p.NonOperatingIncome = 50;
    p.NonOperatingExpenses = 20;
    p.ProfitBeforeTax = 250;
    p.NetProfit = 200;
    return p;
}

// Every sheet and both years set to the round figures; sections 8 to 12 off.
inline AnalysisInput roundInput(double years)
{
    AnalysisInput in = coreExample(years);
    in.Y1Start = in.Y1End = in.Y2Start = in.Y2End = roundSheet();
    in.ProfitLoss[1] = in.ProfitLoss[2] = roundYear();
    return in;
}

struct ReportRun {
    VectorSink sink;
    bool started = false;
    std::string error; // message of the arithmetic error that ended the report
    const std::vector<std::string>& lines() const { return sink.lines; }
};

inline ReportRun runReport(AnalysisInput& input, AnalysisResults& results)
{
    ReportRun run;
    try {
        run.started = writePendingReport(input, results, run.sink, RegionalSettings::russian(),
                                         CivilDate{2026, 12, 8});
    } catch (const FloatError& e) {
        run.error = e.what();
    }
    return run;
}

inline ReportRun runReport(AnalysisInput& input)
{
    AnalysisResults results;
    return runReport(input, results);
}

inline ReportRun runReport(AnalysisInput&& input) { return runReport(input); }

// A change to the round input that ends the report with an arithmetic error.
struct DivisorCase {
    const char* what;
    double years;
    void (*change)(AnalysisInput&);
    const char* message;
};

struct DivisorRun {
    AnalysisInput input;
    ReportRun run;
};

inline DivisorRun runDivisorCase(const DivisorCase& c)
{
    DivisorRun r{roundInput(c.years), {}};
    c.change(r.input);
    r.run = runReport(r.input);
    return r;
}

// Where a failing section stops the report: the table before it closed by
// its rule and two blank lines.
inline ::testing::AssertionResult endsWithRuleAndTwoBlanks(const std::vector<std::string>& l,
                                                           const std::string& rule = std::string(kLong))
{
    if (l.size() < 3)
        return ::testing::AssertionFailure() << "only " << l.size() << " lines";
    const std::size_t n = l.size();
    if (l[n - 3] != rule || l[n - 2] != " " || l[n - 1] != " ")
        return ::testing::AssertionFailure() << "the last lines are [" << l[n - 3] << "] [" << l[n - 2] << "] ["
                                             << l[n - 1] << "]";
    return ::testing::AssertionSuccess();
}

// Code points of a UTF-8 text, each as its own string.
inline std::vector<std::string> characters(std::string_view s)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = 1;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0xF0)
            n = 4;
        else if (c >= 0xE0)
            n = 3;
        else if (c >= 0xC0)
            n = 2;
        out.emplace_back(s.substr(i, n));
        i += n;
    }
    return out;
}

// Index of the first line that starts with prefix, or -1.
inline int findLine(const std::vector<std::string>& lines, std::string_view prefix, std::size_t from = 0)
{
    for (std::size_t i = from; i < lines.size(); ++i)
        if (std::string_view(lines[i]).substr(0, prefix.size()) == prefix)
            return static_cast<int>(i);
    return -1;
}

// The line that starts with label must continue with spaces up to character
// column `column` and then hold exactly `values`.
inline ::testing::AssertionResult labelledLine(const std::vector<std::string>& lines, std::string_view label,
                                               std::size_t column, std::string_view values)
{
    const int i = findLine(lines, label);
    if (i < 0)
        return ::testing::AssertionFailure() << "no line starts with [" << label << "]";
    const std::vector<std::string> chars = characters(lines[static_cast<std::size_t>(i)]);
    const std::size_t labelChars = characters(label).size();
    if (chars.size() < column)
        return ::testing::AssertionFailure() << "line too short: [" << lines[static_cast<std::size_t>(i)] << "]";
    for (std::size_t c = labelChars; c < column; ++c)
        if (chars[c] != " ")
            return ::testing::AssertionFailure() << "character " << c << " is not a space in ["
                                                 << lines[static_cast<std::size_t>(i)] << "]";
    std::string rest;
    for (std::size_t c = column; c < chars.size(); ++c)
        rest += chars[c];
    if (rest != values)
        return ::testing::AssertionFailure() << "values [" << rest << "], expected [" << values << "] in ["
                                             << lines[static_cast<std::size_t>(i)] << "]";
    return ::testing::AssertionSuccess();
}

// Where the last line written stands: the title of the section that failed
// must be missing and the previous section's title present.
inline bool hasLine(const std::vector<std::string>& lines, std::string_view text)
{
    for (const std::string& l : lines)
        if (l == text)
            return true;
    return false;
}

} // namespace kalvanta::testing_support
