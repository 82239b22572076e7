#pragma once
// Results of the complex assessment, the operating and financial leverage
// and the working-capital needs sections, indexed by year (year::Y1, Y2).
// A switched-off section, or a year a section does not compute, keeps what
// an earlier report stored.
#include <array>

namespace kalvanta {

// The complex assessment only reads earlier sections' values; it keeps
// which conclusion it wrote, for the table of indicators. 0 before the
// first report that wrote the section.
struct ComplexAssessmentResults {
    int Autonomy = 0;         // 1 above 0,5: independent; 2 dependent
    int Maneuverability = 0;  // 1 mostly liquid assets; 2 mostly fixed assets
    int InventoryCoverage = 0; // 1 own working capital suffices; 2 it does not
    int BalanceLiquidity = 0; // 1 absolutely liquid; 2 minimal condition met; 3 not met
    int Solvency = 0;         // 1 current ratio; 2 quick ratio; 3 repayable share; 4 insolvent
    int Bankruptcy = 0;       // 1 stable; 2 zone of uncertainty; 3 bankrupt
};

struct OperatingLeverageResults {
    std::array<double, 2> GrossMargin{};         // two decimals
    std::array<double, 2> LeverageEffect{};      // two decimals
    std::array<double, 2> MarginRatio{};         // two decimals
    std::array<double, 2> CriticalMarginRatio{}; // two decimals
    std::array<double, 2> BreakEvenRevenue{};    // two decimals
    std::array<double, 2> BreakEvenQuantity{};   // whole, one product
    std::array<double, 2> BreakEvenQuantityA{};  // whole, two products
    std::array<double, 2> BreakEvenQuantityB{};  // whole, two products
    std::array<double, 2> SafetyMargin{};        // percent, two decimals
};

struct FinancialLeverageResults {
    std::array<double, 2> AverageInterestRate{};     // fraction, two decimals
    std::array<double, 2> LeverageShoulder{};        // two decimals
    std::array<double, 2> LeverageDifferential{};    // two decimals
    std::array<double, 2> FinancialLeverageEffect{}; // fraction, four decimals
    std::array<double, 2> LiquidCashFlow{};          // as computed
    std::array<double, 2> ReturnOnAssets{};          // fraction, four decimals
};

struct WorkingCapitalNeedsResults {
    std::array<double, 2> WorkingCapitalNeeds{};          // as computed
    std::array<double, 2> RevenueToWorkingCapitalNeeds{}; // two decimals
    std::array<double, 2> MinimumCashLevel{};             // two decimals
};

} // namespace kalvanta
