#pragma once
// What every report section needs while it writes, and the helpers that
// compose its lines.
#include <cstddef>
#include <string>
#include <string_view>

#include "analysis_results.h"
#include "inputs/analysis_input.h"
#include "numeric/extended.h"
#include "numeric/number_format.h"
#include "numeric/regional_settings.h"
#include "report_sink.h"

namespace kalvanta {

struct ReportContext {
    AnalysisInput& input;
    AnalysisResults& results;
    ReportSink& sink;
    const RegionalSettings& regional;
    bool twoYear; // YearCount was 2.0

    void line(std::string_view text) { sink.appendLine(text); }
    void blank() { sink.appendLine(" "); } // every blank line holds one space
    void blanks(int n)
    {
        for (int i = 0; i < n; ++i)
            blank();
    }
    // Number in the general format with the regional separator.
    std::string num(long double v) const { return formatGeneral(v, regional.decimalSeparator); }

    // Printed balance dates: Y1Start, Y1End and, in a two-year report, Y2End.
    std::size_t dateCount() const { return twoYear ? 3 : 2; }
    // Reported years: Y1 and, in a two-year report, Y2.
    std::size_t yearCount() const { return twoYear ? 2 : 1; }

    // Balance sheet at a printed balance date (date::Y1Start, Y1End, Y2End).
    const BalanceSheet& sheetAt(std::size_t d) const;
    // Balance sheets at the start and at the end of a year (year::Y1, Y2).
    const BalanceSheet& startOf(std::size_t y) const { return y == year::Y1 ? input.Y1Start : input.Y2Start; }
    const BalanceSheet& endOf(std::size_t y) const { return y == year::Y1 ? input.Y1End : input.Y2End; }
    // Balance date index of the end of a year.
    static std::size_t endDateOf(std::size_t y) { return y == year::Y1 ? date::Y1End : date::Y2End; }
    // Profit and loss lines of a year.
    const ProfitLossYear& pl(std::size_t y) const { return input.ProfitLoss[static_cast<int>(y) + 1]; }
    const AdditionalDataYear& additional(std::size_t y) const
    {
        return input.AdditionalData[static_cast<int>(y) + 1];
    }

    // Values of a balance-date line: one-year "b<sep1>e", two-year
    // "b<sep2>e/e2".
    std::string dateValues(const ByDate& v, std::string_view sep1, std::string_view sep2) const;
    // Values of a period line: "y1", two-year "y1/y2".
    std::string yearValues(const ByYear& v) const;
};

// AverageOf(line, year): the mean of the line at the start and the end of
// the year, kept in extended precision inside the expression that uses it.
inline ext averageOf(ext atStart, ext atEnd) { return (atStart + atEnd) / 2.0L; }

// Number of characters (UTF-8 code points) in text.
std::size_t charCount(std::string_view utf8);

// The label filled with trailing spaces to totalChars characters (counted
// in characters, not bytes); a longer label is returned unchanged.
std::string padTo(std::string_view label, std::size_t totalChars);

// n spaces.
std::string spaces(std::size_t n);

inline const std::string kLongRule(97, '_');
inline const std::string kShortRule = std::string(95, '_') + " ";

// Column headers of the section frames.
std::string columnHeaderH1();
std::string columnHeaderH2();
std::string columnHeaderH3();
std::string columnHeaderH4();
std::string columnHeaderH5();
std::string columnHeaderH6();
std::string columnHeaderH7();
std::string columnHeaderH8();

} // namespace kalvanta
