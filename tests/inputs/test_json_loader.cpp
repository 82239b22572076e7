#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "inputs/json_loader.h"

using namespace kalvanta;

namespace {

std::string exampleText()
{
    std::ifstream f(std::string(KALVANTA_SOURCE_DIR) + "/examples/worked-example.json");
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

TEST(JsonLoader, WorkedExampleLoadsExactly)
{
    const AnalysisInput loaded = loadAnalysisFile(std::string(KALVANTA_SOURCE_DIR) + "/examples/worked-example.json");
    EXPECT_EQ(loaded, workedExample());
}

TEST(JsonLoader, OmittedFieldsStayAtStartUpValues)
{
    const AnalysisInput in = loadAnalysisJson(R"({"YearCount": 1, "Y1Start": {"Cash": 5, "UncoveredLoss": -300},
        "ProfitLoss": [{"ProfitBeforeTax": 10, "NonOperatingIncome": 3}, {}]})", "a.json");
    EXPECT_EQ(in.AnalysisParameters.YearCount, 1.0);
    EXPECT_EQ(in.Y1Start.Cash, 5.0);
    EXPECT_EQ(in.Y1Start.UncoveredLoss, 300.0);
    EXPECT_EQ(in.Y1End.Cash, 0.0);
    EXPECT_EQ(in.ProfitLoss[1].FinancialEconomicProfit, 7.0);
    EXPECT_EQ(in.AnalysisParameters.EnterpriseName, "");
    EXPECT_EQ(in.AnalysisParameters.AnalysisPending, 0.0);
}

struct BadCase {
    const char* json;
    const char* mentions;
};

class JsonRejected : public ::testing::TestWithParam<BadCase> {};

TEST_P(JsonRejected, NamesTheFileAndTheKey)
{
    try {
        loadAnalysisJson(GetParam().json, "bad.json");
        FAIL() << GetParam().json;
    } catch (const InputError& e) {
        const std::string msg = e.what();
        EXPECT_EQ(msg.rfind("bad.json: ", 0), 0u) << msg;
        EXPECT_NE(msg.find(GetParam().mentions), std::string::npos) << msg;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, JsonRejected,
    ::testing::Values(BadCase{R"({"Foo": 1})", "\"Foo\""}, BadCase{R"({"Y1End": {"Money": 1}})", "Y1End.Money"},
                      BadCase{R"({"YearCount": "2"})", "\"YearCount\" must be a number"},
                      BadCase{R"({"EnterpriseName": 5})", "\"EnterpriseName\" must be a string"},
                      BadCase{R"({"Y1Start": {"Cash": 1e999}})", "1e999"},
                      BadCase{R"({"Y1Start": [1]})", "\"Y1Start\" must be an object"},
                      BadCase{R"({"ProfitLoss": [{}]})", "array of two"},
                      BadCase{R"({"ProfitLoss": [{}, {"FinancialEconomicProfit": 1}]})",
                              "ProfitLoss[1].FinancialEconomicProfit"},
                      BadCase{R"({"AdditionalData": [{"PriceC": 1}, {}]})", "AdditionalData[0].PriceC"},
                      BadCase{R"({"YearCount": 2,})", "malformed JSON"}, BadCase{"", "malformed JSON"},
                      BadCase{"[1, 2]", "top level"},
                      BadCase{R"({"ProfitLoss": [{"ProfitBeforeTax": 1e308, "NonOperatingExpenses": 1e308}, {}]})",
                              "\"ProfitLoss\": ProfitBeforeTax - NonOperatingIncome + NonOperatingExpenses: "
                              "Floating point overflow"}, BadCase{R"({"Y1Start": {"Cash": null}})", "Y1Start.Cash"}));

TEST(JsonLoader, FileErrorsNameTheFile)
{
    try {
        loadAnalysisFile("/nonexistent/dir/x.json");
        FAIL();
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/x.json"), std::string::npos);
    }
    EXPECT_THROW(loadAnalysisFile("/"), InputError);
    EXPECT_THROW(loadAnalysisJson(std::string(kMaxAnalysisJsonBytes + 1, ' '), "big.json"), InputError);
    EXPECT_FALSE(exampleText().empty());
}

} // namespace
