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
    // Number in the general format with the regional separator.
    std::string num(long double v) const { return formatGeneral(v, regional.decimalSeparator); }
};

// Number of characters (UTF-8 code points) in text.
std::size_t charCount(std::string_view utf8);

// The label filled with trailing spaces to totalChars characters (counted
// in characters, not bytes); a longer label is returned unchanged.
std::string padTo(std::string_view label, std::size_t totalChars);

// n spaces.
std::string spaces(std::size_t n);

inline const std::string kLongRule(97, '_');
inline const std::string kShortRule = std::string(95, '_') + " ";

} // namespace kalvanta
