#pragma once
// The checks the wizard makes before it moves on. Every comparison is exact:
// the sum is formed in extended precision from the stored doubles and
// compared with the stored double, without tolerance.
#include "analysis_input.h"

namespace kalvanta {

// NonCurrentAssetsTotal + CurrentAssetsTotal = AssetsTotal.
bool assetIdentityHolds(const BalanceSheet& s);
// LiabilitiesTotal = AssetsTotal (of the same snapshot as stored by the asset dialog).
bool balanceTotalsAgree(const BalanceSheet& s);
// EquityTotal + LongTermLiabilitiesTotal + ShortTermLiabilitiesTotal = LiabilitiesTotal.
bool liabilityIdentityHolds(const BalanceSheet& s);

// Asset dialog of one year: left column (start) then right column (end).
bool assetDialogPasses(const BalanceSheet& start, const BalanceSheet& end);
// Liability dialog of one year, in its order: totals left, totals right,
// sum left, sum right.
bool liabilityDialogPasses(const BalanceSheet& start, const BalanceSheet& end);

// Fails when, in year 1 or 2, PriceA equals UnitVariableCostA or, with two
// products, PriceB equals UnitVariableCostB (exact equality).
bool priceTestPasses(const AnalysisInput& input);

} // namespace kalvanta
