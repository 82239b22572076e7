#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "inputs/input_set_writer.h"
#include "inputs/json_loader.h"

using namespace kalvanta;

namespace {

std::string readText(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

TEST(InputSetWriter, WorkedExampleIsWrittenAsTheExampleFileHoldsIt)
{
    EXPECT_EQ(inputSetJson(workedExample()), readText(std::string(KALVANTA_SOURCE_DIR) + "/examples/worked-example.json"));
}

// Values a record can hold that a careless writer would round, truncate or lose.
TEST(InputSetWriter, EveryValueReadsBackExactly)
{
    AnalysisInput in = workedExample();
    in.AnalysisParameters.EnterpriseName = "ООО \"Ромашка\"\t\\ 2024–2025 гг.\n";
    in.AnalysisParameters.UnitName = "млн. рублей";
    in.AnalysisParameters.OperatingLeverageOn = 0.0;
    in.Y1Start.Cash = 0.1;
    in.Y1End.Cash = 1.0 / 3.0;
    in.Y2Start.Cash = -0.0;
    in.Y2End.Cash = std::numeric_limits<double>::max();
    in.Y2End.AssetsTotal = std::numeric_limits<double>::denorm_min();
    in.Y2End.LiabilitiesTotal = 9007199254740993.0; // beyond 2^53: stays a double
    in.Y1Start.UncoveredLoss = 123.25;
    in.ProfitLoss[2].Revenue = -1e-300;
    in.ProfitLoss[1].NonOperatingIncome = 1e15 + 0.5;
    in.AdditionalData[2].FixedCostsTotal = 2.5e-7;
    deriveFinancialEconomicProfit(in);

    const AnalysisInput back = loadAnalysisJson(inputSetJson(in), "set.json");
    EXPECT_EQ(back, in);
    EXPECT_TRUE(std::signbit(back.Y2Start.Cash));
}

TEST(InputSetWriter, PendingFlagIsNotWritten)
{
    AnalysisInput in = workedExample();
    in.AnalysisParameters.AnalysisPending = 1.0;
    const std::string text = inputSetJson(in);
    EXPECT_EQ(text.find("AnalysisPending"), std::string::npos);
    EXPECT_EQ(text.find("FinancialEconomicProfit"), std::string::npos);
    EXPECT_EQ(loadAnalysisJson(text, "set.json").AnalysisParameters.AnalysisPending, 0.0);
}

TEST(InputSetWriter, NonFiniteValueIsRefusedNamingTheField)
{
    AnalysisInput in = workedExample();
    in.ProfitLoss[2].NetProfit = std::numeric_limits<double>::quiet_NaN();
    try {
        (void)inputSetJson(in);
        FAIL() << "no error";
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "cannot write the input set: \"ProfitLoss[1].NetProfit\" is not a finite number");
    }
}

} // namespace
