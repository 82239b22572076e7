#pragma once
// Every value the report builder computes, kept from one report to the
// next: a report overwrites what it computes and leaves the rest.
#include <array>
#include <cstddef>
#include <string>

#include "later_results.h"

namespace kalvanta {

// Balance-date index: Y1Start, Y1End and (two-year reports) Y2End.
namespace date {
inline constexpr std::size_t Y1Start = 0;
inline constexpr std::size_t Y1End = 1;
inline constexpr std::size_t Y2End = 2;
} // namespace date

// Period index: year 1 and (two-year reports) year 2.
namespace year {
inline constexpr std::size_t Y1 = 0;
inline constexpr std::size_t Y2 = 1;
} // namespace year

using ByDate = std::array<double, 3>;
using ByYear = std::array<double, 2>;
using TextByDate = std::array<std::string, 3>;

struct AnalysisResults {
    // three-component stability
    ByDate OwnWorkingCapitalSurplus{};
    ByDate LongTermSourcesSurplus{};
    ByDate TotalSourcesSurplus{};
    TextByDate StabilityType{};
    TextByDate StabilityVerdict{};
    // relative stability
    ByDate OwnCapital{};
    ByDate AutonomyRatio{};
    ByDate DebtToEquityRatio{};
    ByDate ManeuverabilityRatio{};
    ByDate MobilityRatio{};
    ByDate InventoryCoverageRatio{};
    ByDate NonCurrentCoverageRatio{};
    // liquidity groups
    ByDate A1{}, A2{}, A3{}, A4{};
    ByDate P1{}, P2{}, P3{}, P4{};
    // liquidity ratios
    ByDate ShortTermDebt{};
    ByDate CurrentRatio{};
    ByDate QuickRatio{};
    ByDate AbsoluteLiquidityRatio{};
    // profitability
    ByYear TotalProfitability{};
    ByYear NonCurrentAssetsProfitability{};
    ByYear EquityProfitability{};
    ByYear CurrentAssetsProfitability{};
    ByYear ReturnOnSales{};
    ByYear AllOperationsProfitability{};
    ByYear OtherOperationsProfitability{};
    ByYear ProductProfitability{};
    // solvency and rating
    ByYear AverageAssets{};
    ByYear ZScore{};
    ByYear NetProfitToEquity{};
    ByYear Rating{};
    // business activity
    ByYear AssetTurnover{};
    ByYear CurrentAssetTurnover{};
    ByYear CurrentAssetTurnoverDays{};
    ByYear InventoryTurnoverDays{};
    // later sections (complex assessment, leverages, working-capital needs)
    ComplexAssessmentResults ComplexAssessment;
    OperatingLeverageResults OperatingLeverage;
    FinancialLeverageResults FinancialLeverage;
    WorkingCapitalNeedsResults WorkingCapitalNeeds;
    // The section (1 … 12) the last report was writing when it ended; an
    // arithmetic error leaves the number of the section it stopped in.
    int LastSectionStarted = 0;
};

} // namespace kalvanta
