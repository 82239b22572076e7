#include "analysis_input.h"

#include <cmath>

#include "field_tables.h"
#include "numeric/extended.h"

namespace kalvanta {

AnalysisInput startupInput() { return AnalysisInput{}; }

namespace {

// Columns Y1Start, Y1End, Y2Start, Y2End of the worked example, rows A1…A15 then L1…L18.
constexpr double kBalance[33][4] = {
    {1, 17, 17, 30},         {158, 439, 439, 574},    {20, 274, 274, 524},
    {0, 0, 0, 0},            {179, 730, 730, 1128},   {5641, 10480, 10480, 29706},
    {0, 0, 0, 0},            {280, 2506, 2506, 2308}, {35, 0, 0, 0},
    {223, 5868, 5868, 2073}, {0, 0, 0, 0},            {54, 3278, 3278, 1130},
    {0, 0, 0, 0},            {6233, 22132, 22132, 35217}, {6412, 22862, 22862, 36345},
    {8, 8, 8, 8},            {0, 0, 0, 0},            {0, 0, 0, 0},
    {0, 0, 0, 0},            {0, 0, 0, 0},            {516, 3303, 3303, 3635},
    {0, 0, 0, 0},            {524, 3311, 3311, 3643}, {0, 0, 0, 0},
    {0, 0, 0, 0},            {0, 0, 0, 0},            {5888, 19551, 19551, 32701},
    {0, 0, 0, 0},            {0, 0, 0, 1},            {0, 0, 0, 0},
    {0, 0, 0, 0},            {5888, 19551, 19551, 32702}, {6412, 22862, 22862, 36345},
};

// Years 1 and 2, rows P1…P14.
constexpr double kProfitLoss[14][2] = {
    {35719, 29375}, {32290, 28114}, {0, 0},     {0, 0},       {3429, 1261},
    {0, 0},         {0, 0},         {0, 0},     {1984, 2415}, {1244, 2343},
    {430, 52},      {657, 799},     {3942, 586}, {2820, 357},
};

// Years 1 and 2, in the order of kAdditionalFields.
constexpr double kAdditional[10][2] = {
    {10000, 5000}, {3000, 1500}, {30, 35}, {1.5, 1.5}, {1, 1},
    {1, 1},        {0.5, 0.5},   {15000, 13000}, {13219, 9875}, {10680.5, 10176.5},
};

} // namespace

AnalysisInput workedExample()
{
    AnalysisInput in;
    auto& p = in.AnalysisParameters;
    p.EnterpriseName = "Фирма N       2004-2006 гг.";
    p.UnitName = "тыс. рублей";
    p.YearCount = 2.0;
    p.ExpertAssessmentOn = 1.0;
    p.BusinessActivityOn = 1.0;
    p.FinancialLeverageOn = 1.0;
    p.OperatingLeverageOn = 1.0;
    p.WorkingCapitalNeedsOn = 1.0;
    p.AnalysisPending = 0.0;

    BalanceSheet* sheets[4] = {&in.Y1Start, &in.Y1End, &in.Y2Start, &in.Y2End};
    for (std::size_t row = 0; row < 33; ++row) {
        const auto member = row < 15 ? kAssetFields[row].member : kLiabilityFields[row - 15].member;
        for (std::size_t col = 0; col < 4; ++col)
            sheets[col]->*member = kBalance[row][col];
    }
    for (std::size_t row = 0; row < kProfitLossFields.size(); ++row)
        for (int y = 1; y <= 2; ++y)
            in.ProfitLoss[y].*kProfitLossFields[row].member = kProfitLoss[row][y - 1];
    for (std::size_t row = 0; row < kAdditionalFields.size(); ++row)
        for (int y = 1; y <= 2; ++y)
            in.AdditionalData[y].*kAdditionalFields[row].member = kAdditional[row][y - 1];
    in.ProductCount = 2.0;
    deriveFinancialEconomicProfit(in);
    return in;
}

void deriveFinancialEconomicProfit(AnalysisInput& input)
{
    for (int y = 1; y <= 2; ++y) {
        auto& pl = input.ProfitLoss[y];
        pl.FinancialEconomicProfit =
            store(static_cast<ext>(pl.ProfitBeforeTax) - pl.NonOperatingIncome + pl.NonOperatingExpenses);
    }
}

double uncoveredLossMagnitude(double typed) { return std::fabs(typed); }

} // namespace kalvanta
