#include "identities.h"

namespace kalvanta {

using ext = long double;

bool assetIdentityHolds(const BalanceSheet& s)
{
    return static_cast<ext>(s.NonCurrentAssetsTotal) + s.CurrentAssetsTotal == static_cast<ext>(s.AssetsTotal);
}

bool balanceTotalsAgree(const BalanceSheet& s) { return s.LiabilitiesTotal == s.AssetsTotal; }

bool liabilityIdentityHolds(const BalanceSheet& s)
{
    return static_cast<ext>(s.EquityTotal) + s.LongTermLiabilitiesTotal + s.ShortTermLiabilitiesTotal ==
           static_cast<ext>(s.LiabilitiesTotal);
}

bool assetDialogPasses(const BalanceSheet& start, const BalanceSheet& end)
{
    return assetIdentityHolds(start) && assetIdentityHolds(end);
}

bool liabilityDialogPasses(const BalanceSheet& start, const BalanceSheet& end)
{
    return balanceTotalsAgree(start) && balanceTotalsAgree(end) && liabilityIdentityHolds(start) &&
           liabilityIdentityHolds(end);
}

bool priceTestPasses(const AnalysisInput& in)
{
    for (int y = 1; y <= 2; ++y) {
        const auto& a = in.AdditionalData[y];
        if (a.PriceA == a.UnitVariableCostA)
            return false;
        if (in.ProductCount == 2.0 && a.PriceB == a.UnitVariableCostB)
            return false;
    }
    return true;
}

} // namespace kalvanta
