#include <gtest/gtest.h>

#include <string>

#include "statements/statement_import.h"

using namespace kalvanta;

namespace {

std::string sample(const char* name) { return std::string(KALVANTA_SOURCE_DIR) + "/examples/statements/" + name; }

// One company's report for 2024 as the tax service's XML (windows-1251,
// expenses positive), the state resource's list of its reports (2024
// corrected once, expenses negative) and a line-code table (UTF-8,
// semicolons, expenses in brackets): one record.
TEST(SampleStatements, ThreeFormatsGiveOneRecord)
{
    const ImportedAnalysis xml = importStatementFile(sample("NO_BUHOTCH_severny-veter-2024.xml"));
    const ImportedAnalysis json = importStatementFile(sample("severny-veter-bfo.json"));
    const ImportedAnalysis csv = importStatementFile(sample("severny-veter-2024.csv"));
    EXPECT_EQ(json.input, xml.input);
    EXPECT_EQ(csv.input, xml.input);
    EXPECT_EQ(json.notes, xml.notes);
    EXPECT_EQ(csv.notes, xml.notes);

    const AnalysisInput& in = xml.input;
    EXPECT_EQ(in.AnalysisParameters.EnterpriseName, "ООО \"Северный ветер\", ИНН 7705123456, 2022-2024 гг.");
    EXPECT_EQ(in.AnalysisParameters.UnitName, "тыс. рублей");
    EXPECT_EQ(in.AnalysisParameters.YearCount, 2.0);
    EXPECT_EQ(in.AnalysisParameters.FinancialLeverageOn, 1.0); // credits and interest found
    EXPECT_EQ(in.Y1Start.AssetsTotal, 10490.0);
    EXPECT_EQ(in.Y2Start.AssetsTotal, 11505.0);
    EXPECT_EQ(in.Y2End.AssetsTotal, 12510.0);
    EXPECT_EQ(in.Y2End.AdditionalCapital, 700.0); // 1340 + 1350
    EXPECT_EQ(in.ProfitLoss[2].Revenue, 18500.0); // the valid correction's, not the first filing's typo
    EXPECT_EQ(in.ProfitLoss[1].CostOfSales, 11800.0);
    EXPECT_EQ(in.AdditionalData[2].InterestPaid, 270.0);
    EXPECT_EQ(in.AdditionalData[1].CreditsReceived, 600.0);
    // receivables, line 1180 and 1420 without an old line, other income and expenses
    EXPECT_EQ(xml.notes.size(), 4u);
}

} // namespace
