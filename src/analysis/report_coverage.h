#pragma once
// What the latest report wrote: which sections it wrote whole, which were
// switched off, and which one an arithmetic error ended. Readers of
// AnalysisResults use it to tell this report's values from those an
// earlier report left in the record.
#include <array>
#include <cstddef>
#include <string>

namespace kalvanta {

// Report sections by their number in the report, 1 to 12.
namespace section {
inline constexpr int StabilityType = 1;
inline constexpr int RelativeStability = 2;
inline constexpr int LiquidityGroups = 3;
inline constexpr int LiquidityRatios = 4;
inline constexpr int Profitability = 5;
inline constexpr int SolvencyForecast = 6;
inline constexpr int FinalRating = 7;
inline constexpr int BusinessActivity = 8;
inline constexpr int ComplexAssessment = 9;
inline constexpr int OperatingLeverage = 10;
inline constexpr int FinancialLeverage = 11;
inline constexpr int WorkingCapitalNeeds = 12;
inline constexpr int Count = 12;
} // namespace section

struct ReportCoverage {
    enum class State {
        NotReached, // the report ended before it (or no report yet)
        SwitchedOff,
        Failed,     // an arithmetic error ended the report inside it
        Written,
    };

    bool twoYear = false;
    std::array<State, section::Count + 1> sections{}; // index 0 unused
    std::string error;                                // the ending error's message, if any

    State state(int number) const { return sections[static_cast<std::size_t>(number)]; }
    bool written(int number) const { return state(number) == State::Written; }
    // Printed balance dates and reported years of the report.
    std::size_t dateCount() const { return twoYear ? 3 : 2; }
    std::size_t yearCount() const { return twoYear ? 2 : 1; }
};

} // namespace kalvanta
