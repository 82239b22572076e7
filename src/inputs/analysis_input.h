#pragma once
// The analysis input record: every value of one analysis. One record lives
// for the whole run; the wizard dialogs write it field by field, the report
// builder only reads it (and clears AnalysisPending).
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace kalvanta {

// Values indexed by year 1 or 2, as the statements number them.
template <class T>
struct PerYear {
    std::array<T, 2> values{};
    T& operator[](int year) { return values.at(static_cast<std::size_t>(year - 1)); }
    const T& operator[](int year) const { return values.at(static_cast<std::size_t>(year - 1)); }
    bool operator==(const PerYear&) const = default;
};

// Switches and flags are numbers: 1.0 on, 0.0 off, compared with 1.0 exactly.
struct ParametersGroup {
    std::string EnterpriseName;
    std::string UnitName;
    double YearCount = 0.0;
    double ExpertAssessmentOn = 0.0;
    double BusinessActivityOn = 0.0;
    double FinancialLeverageOn = 0.0;
    double OperatingLeverageOn = 0.0;
    double WorkingCapitalNeedsOn = 0.0;
    double AnalysisPending = 0.0;
    bool operator==(const ParametersGroup&) const = default;
};

// Balance sheet (form No. 1) at one date. Totals are typed, never summed.
struct BalanceSheet {
    double IntangibleAssets = 0.0;          // A1  110
    double FixedAssets = 0.0;               // A2  120
    double ConstructionInProgress = 0.0;    // A3  130
    double LongTermInvestments = 0.0;       // A4  140
    double NonCurrentAssetsTotal = 0.0;     // A5  190
    double Inventories = 0.0;               // A6  210
    double GoodsShipped = 0.0;              // A7  215, part of 210
    double InputVat = 0.0;                  // A8  220
    double LongTermReceivables = 0.0;       // A9  230
    double ShortTermReceivables = 0.0;      // A10 240
    double ShortTermInvestments = 0.0;      // A11 250
    double Cash = 0.0;                      // A12 260
    double OtherCurrentAssets = 0.0;        // A13 270
    double CurrentAssetsTotal = 0.0;        // A14 290
    double AssetsTotal = 0.0;               // A15 300
    double CharterCapital = 0.0;            // L1  410
    double AdditionalCapital = 0.0;         // L2  420
    double ReserveCapital = 0.0;            // L3  430
    double SocialFund = 0.0;                // L4  440
    double TargetFinancing = 0.0;           // L5  450
    double RetainedEarnings = 0.0;          // L6  470
    double UncoveredLoss = 0.0;             // L7  held as a magnitude
    double EquityTotal = 0.0;               // L8  490
    double LongTermLoans = 0.0;             // L9  510
    double LongTermLiabilitiesTotal = 0.0;  // L10 590
    double ShortTermLoans = 0.0;            // L11 610
    double AccountsPayable = 0.0;           // L12 620
    double DueToFounders = 0.0;             // L13 630
    double DeferredIncome = 0.0;            // L14 640
    double FutureExpenseReserves = 0.0;     // L15 650
    double OtherShortTermLiabilities = 0.0; // L16 660
    double ShortTermLiabilitiesTotal = 0.0; // L17 690
    double LiabilitiesTotal = 0.0;          // L18 700
    bool operator==(const BalanceSheet&) const = default;
};

// Profit and loss statement (form No. 2) of one year.
struct ProfitLossYear {
    double Revenue = 0.0;                // P1  010
    double CostOfSales = 0.0;            // P2  020
    double SellingExpenses = 0.0;        // P3  030
    double AdministrativeExpenses = 0.0; // P4  040
    double SalesProfit = 0.0;            // P5  050
    double InterestReceivable = 0.0;     // P6  060
    double InterestPayable = 0.0;        // P7  070
    double ParticipationIncome = 0.0;    // P8  080
    double OtherOperatingIncome = 0.0;   // P9  090
    double OtherOperatingExpenses = 0.0; // P10 100
    double NonOperatingIncome = 0.0;     // P11 120
    double NonOperatingExpenses = 0.0;   // P12 130
    double ProfitBeforeTax = 0.0;        // P13 140
    double NetProfit = 0.0;              // P14 190
    double FinancialEconomicProfit = 0.0; // P15, derived
    bool operator==(const ProfitLossYear&) const = default;
};

struct AdditionalDataYear {
    double CreditsReceived = 0.0;
    double InterestPaid = 0.0;
    double TaxRatePercent = 0.0;
    double PriceA = 0.0;
    double PriceB = 0.0;
    double UnitVariableCostA = 0.0;
    double UnitVariableCostB = 0.0;
    double QuantityA = 0.0;
    double QuantityB = 0.0;
    double FixedCostsTotal = 0.0;
    bool operator==(const AdditionalDataYear&) const = default;
};

struct AnalysisInput {
    ParametersGroup AnalysisParameters;
    BalanceSheet Y1Start;
    BalanceSheet Y1End;
    BalanceSheet Y2Start;
    BalanceSheet Y2End;
    PerYear<ProfitLossYear> ProfitLoss;
    PerYear<AdditionalDataYear> AdditionalData;
    double ProductCount = 0.0;
    bool operator==(const AnalysisInput&) const = default;
};

// The record as the program starts: zeros, empty texts. (The parameters
// dialog switches ExpertAssessmentOn on when it is created.)
AnalysisInput startupInput();

// The worked example: the values the dialogs show as their initial texts,
// with YearCount 2, every switch on, two products and FinancialEconomicProfit
// derived (4169 and 1333).
AnalysisInput workedExample();

// ProfitBeforeTax − NonOperatingIncome + NonOperatingExpenses, in extended
// precision, for both years; done each time the profit and loss dialog is confirmed.
void deriveFinancialEconomicProfit(AnalysisInput& input);

// "Непокрытый убыток" is held as the magnitude of what was typed.
double uncoveredLossMagnitude(double typed);

} // namespace kalvanta
