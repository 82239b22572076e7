#include <gtest/gtest.h>

#include "inputs/analysis_input.h"
#include "inputs/field_tables.h"
#include "inputs/identities.h"

using namespace kalvanta;

TEST(AnalysisInput, StartsEmpty)
{
    const AnalysisInput in = startupInput();
    EXPECT_EQ(in.AnalysisParameters.YearCount, 0.0);
    EXPECT_EQ(in.AnalysisParameters.ExpertAssessmentOn, 0.0);
    EXPECT_TRUE(in.AnalysisParameters.EnterpriseName.empty());
    EXPECT_EQ(in.Y2End.AssetsTotal, 0.0);
    EXPECT_EQ(in.ProfitLoss[2].Revenue, 0.0);
    EXPECT_THROW((void)in.ProfitLoss[3], std::out_of_range);
}

TEST(WorkedExample, HoldsTheStatementsAndDerivedProfit)
{
    const AnalysisInput in = workedExample();
    EXPECT_EQ(in.AnalysisParameters.EnterpriseName, "Фирма N       2004-2006 гг.");
    EXPECT_EQ(in.AnalysisParameters.UnitName, "тыс. рублей");
    EXPECT_EQ(in.Y1Start.Inventories, 5641.0);
    EXPECT_EQ(in.Y2End.DeferredIncome, 1.0);
    EXPECT_EQ(in.Y2End.ShortTermLiabilitiesTotal, 32702.0);
    EXPECT_EQ(in.Y1Start.LongTermReceivables, 35.0);
    EXPECT_EQ(in.ProfitLoss[1].NetProfit, 2820.0);
    EXPECT_EQ(in.ProfitLoss[2].NonOperatingExpenses, 799.0);
    EXPECT_EQ(in.ProfitLoss[1].FinancialEconomicProfit, 4169.0);
    EXPECT_EQ(in.ProfitLoss[2].FinancialEconomicProfit, 1333.0);
    EXPECT_EQ(in.AdditionalData[1].FixedCostsTotal, 10680.5);
    EXPECT_EQ(in.AdditionalData[2].QuantityB, 9875.0);
    EXPECT_EQ(in.ProductCount, 2.0);
    // Every snapshot of the example passes the wizard's checks.
    EXPECT_TRUE(assetDialogPasses(in.Y1Start, in.Y1End));
    EXPECT_TRUE(assetDialogPasses(in.Y2Start, in.Y2End));
    EXPECT_TRUE(liabilityDialogPasses(in.Y1Start, in.Y1End));
    EXPECT_TRUE(liabilityDialogPasses(in.Y2Start, in.Y2End));
    EXPECT_TRUE(priceTestPasses(in));
}

TEST(Identities, BalanceErrorsOfOneUnit)
{
    AnalysisInput in = workedExample();
    in.Y1Start.AssetsTotal = 6413; // assets no longer add up
    EXPECT_FALSE(assetDialogPasses(in.Y1Start, in.Y1End));
    in = workedExample();
    in.Y1End.LiabilitiesTotal = 22863; // liability side differs from asset side
    EXPECT_FALSE(liabilityDialogPasses(in.Y1Start, in.Y1End));
    EXPECT_TRUE(assetDialogPasses(in.Y1Start, in.Y1End));
}

TEST(Identities, ExactInExtendedPrecision)
{
    BalanceSheet s;
    s.NonCurrentAssetsTotal = 0.1;
    s.CurrentAssetsTotal = 0.2;
    s.AssetsTotal = 0.3;
    EXPECT_FALSE(assetIdentityHolds(s));
    s.AssetsTotal = 0.1 + 0.2; // the double sum is not the extended sum either
    EXPECT_FALSE(assetIdentityHolds(s));
    s.NonCurrentAssetsTotal = 0.5;
    s.CurrentAssetsTotal = 0.25;
    s.AssetsTotal = 0.75;
    EXPECT_TRUE(assetIdentityHolds(s));
    // Negative totals pass when they add up.
    s.NonCurrentAssetsTotal = -10;
    s.CurrentAssetsTotal = 4;
    s.AssetsTotal = -6;
    EXPECT_TRUE(assetIdentityHolds(s));
}

TEST(Identities, SubtotalsAreNotComparedWithTheirLines)
{
    AnalysisInput in = workedExample();
    in.Y1Start.IntangibleAssets = 999; // 110..140 no longer add up to 190
    in.Y1Start.Cash = -5;
    EXPECT_TRUE(assetDialogPasses(in.Y1Start, in.Y1End));
}

TEST(PriceTest, EqualPriceAndUnitCostFail)
{
    struct Case {
        double productCount;
        int year;
        bool productB;
        bool passes;
    } cases[] = {{2, 1, false, false}, {2, 2, false, false}, {2, 1, true, false},
                 {2, 2, true, false},  {1, 1, true, true},   {1, 2, false, false}};
    for (const auto& c : cases) {
        AnalysisInput in = workedExample();
        in.ProductCount = c.productCount;
        auto& a = in.AdditionalData[c.year];
        if (c.productB)
            a.PriceB = a.UnitVariableCostB;
        else
            a.PriceA = a.UnitVariableCostA;
        EXPECT_EQ(priceTestPasses(in), c.passes) << c.productCount << " " << c.year << " " << c.productB;
    }
    AnalysisInput in = workedExample();
    in.AdditionalData[1].PriceA = 0.5; // below the unit cost of 1 is allowed
    EXPECT_TRUE(priceTestPasses(in));
}

TEST(UncoveredLoss, HeldAsMagnitude)
{
    EXPECT_EQ(uncoveredLossMagnitude(-100), 100);
    EXPECT_EQ(uncoveredLossMagnitude(300), 300);
}

TEST(FieldTables, RowsInDialogOrder)
{
    EXPECT_EQ(kAssetFields.front().name, "IntangibleAssets");
    EXPECT_EQ(kAssetFields[6].code, "215");
    EXPECT_EQ(kLiabilityFields[6].name, "UncoveredLoss");
    EXPECT_EQ(kLiabilityFields[14].label, "Резервы предстоящих расхлдов");
    EXPECT_EQ(kProfitLossFields.back().code, "190");
}
