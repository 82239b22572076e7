#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "numeric/float_errors.h"
#include "planning/production_plan.h"
#include "support/profit_plan_lines.h"

using namespace kalvanta;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

PlanEditTexts defaultTexts()
{
    PlanEditTexts t;
    t[1] = "10"; t[2] = "20"; t[3] = "5";
    t[4] = "1000"; t[5] = "500"; t[6] = "2000";
    t[7] = "5"; t[8] = "10"; t[9] = "2";
    t[10] = "10000"; t[11] = "10000";
    t[12] = "25"; t[13] = "25"; t[14] = "50";
    return t;
}

struct PlanRun {
    PlanRequest request;
    PlanResults results;
    std::vector<std::string> lines;

    void request_(bool profitGoal, bool withC, const PlanEditTexts& texts)
    {
        requestPlan(request, profitGoal, withC, texts, RegionalSettings::russian());
    }
    // What the results window does on activation.
    bool activate()
    {
        if (!takePendingPlan(request))
            return false;
        writePlan(request, results, RegionalSettings::russian(),
                  [this](const std::string& l) { lines.push_back(l); });
        return true;
    }
};

std::vector<std::string> planLines(bool profitGoal, bool withC, const PlanEditTexts& texts)
{
    PlanRun run;
    run.request_(profitGoal, withC, texts);
    run.activate();
    return run.lines;
}

} // namespace

TEST(ProductionPlan, ProfitGoalWithProductCDefaults)
{
    EXPECT_THAT(planLines(true, true, defaultTexts()), ElementsAreArray(test::kProfitPlanWithProductC));
}

TEST(ProductionPlan, ProfitGoalWithoutProductCDefaults)
{
    EXPECT_THAT(planLines(true, false, defaultTexts()),
                ElementsAre("Kalvanta ", "", "Pacчет прибыли ", " ",
                            "Выручка от реализации (всего) 20000",
                            "Суммарные переменные издержки 10000",
                            "Постоянные издержки 10000",
                            "Прибыль от продаж   0",
                            "Рентабельность продаж  0%",
                            " ",
                            "Валовая маржа 10000",
                            "Норма маржинального дохода 0,5",
                            "Критическая норма маржинального дохода 0,5",
                            "Сила воздействия операционного рычага не определена (прибыль от продаж равна 0)",
                            "Порог рентабельности (минимальный объем продаж)20000",
                            "Пороговое количество товара А 1000",
                            "Пороговое количество товара В 500",
                            "Запас финансовой прочности 0%"));
}

TEST(ProductionPlan, ZeroProfitNeverShowsAnEarlierPlansLeverage)
{
    PlanRun run;
    run.request_(true, true, defaultTexts());
    run.activate();
    ASSERT_EQ(run.results.LeverageEffect, 2.66);
    run.lines.clear();
    run.request_(true, false, defaultTexts());
    run.activate();
    EXPECT_EQ(run.lines.at(13),
              "Сила воздействия операционного рычага не определена (прибыль от продаж равна 0)");
}

TEST(ProductionPlan, CodeTwelveTruncatesTheMarginRatioAfterTheBreakEven)
{
    // 7000 / 9000 = 0,777…: code 12 divides the fixed costs by the full
    // ratio (12857,14), code 11 by 0,7777 (12858,4).
    PlanEditTexts t = defaultTexts();
    t[1] = "10"; t[2] = "10"; t[4] = "300"; t[5] = "600"; t[7] = "2"; t[8] = "2";
    t[3] = "1"; t[6] = "0"; t[9] = "0"; t[10] = "10000";
    const std::vector<std::string> ab = planLines(true, false, t);
    EXPECT_EQ(ab.at(11), "Норма маржинального дохода 0,8");
    EXPECT_EQ(ab.at(14), "Порог рентабельности (минимальный объем продаж)12500");

    t[8] = "3";
    const std::vector<std::string> ab2 = planLines(true, false, t);
    EXPECT_EQ(ab2.at(11), "Норма маржинального дохода 0,7333");
    EXPECT_EQ(ab2.at(14), "Порог рентабельности (минимальный объем продаж)13636,36");
    const std::vector<std::string> abc = planLines(true, true, t);
    EXPECT_EQ(abc.at(10), "Норма маржинального дохода 0,7333");
    EXPECT_EQ(abc.at(13), "Порог рентабельности (минимальный объем продаж)13636,98");
}

struct VolumeCase {
    const char* name;
    bool withC;
    const char* shareA;
    const char* shareB;
    const char* shareC;
    std::vector<std::string> lines;
    std::vector<std::pair<int, const char*>> otherEdits = {}; // edit number, text
};

class VolumeGoal : public ::testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeGoal, WritesTheQuantitiesThatKeepTheShares)
{
    const VolumeCase& c = GetParam();
    PlanEditTexts t = defaultTexts();
    t[12] = c.shareA; t[13] = c.shareB; t[14] = c.shareC;
    for (const auto& [edit, text] : c.otherEdits)
        t[static_cast<std::size_t>(edit)] = text;
    EXPECT_THAT(planLines(false, c.withC, t), ElementsAreArray(c.lines));
}

INSTANTIATE_TEST_SUITE_P(
    Shares, VolumeGoal,
    ::testing::Values(
        VolumeCase{"DefaultsTieGoesToA", true, "25", "25", "50",
                   {"Kalvanta ", " ", "Требуемая прибыль 10000", "Количество товара А 952",
                    "Количество товара В 952", "Количество товара С 1904"}},
        VolumeCase{"BIsTheBase", true, "40", "20", "40",
                   {" vr50", " perem24", "Kalvanta ", " ", "Требуемая прибыль 10000",
                    "Количество товара А 1538", "Количество товара В 769", "Количество товара С 1538"}},
        VolumeCase{"CIsTheBase", true, "50", "30", "20",
                   {" vr60", " perem29,5", "Kalvanta ", " ", "Требуемая прибыль 10000",
                    "Количество товара А 1637", "Количество товара В 982", "Количество товара С 655"}},
        VolumeCase{"WithoutC", false, "25", "25", "50",
                   {" vr30", " perem15", "Kalvanta ", " ", "Требуемая прибыль 10000",
                    "Количество товара А 1333", "Количество товара В 1333"}},
        VolumeCase{"SharesNeedNotAddUpTo100", true, "1", "1", "2",
                   {"Kalvanta ", " ", "Требуемая прибыль 10000", "Количество товара А 952",
                    "Количество товара В 952", "Количество товара С 1904"}},
        VolumeCase{"TieOfBAndCGoesToB", true, "60", "20", "20",
                   {" vr55", " perem27", "Kalvanta ", " ", "Требуемая прибыль 10000",
                    "Количество товара А 2142", "Количество товара В 714", "Количество товара С 714"}},
        // 49/22 × 88 is 196 exactly: the ratio must not be rounded to a
        // double below 49/22 before it scales the base quantity.
        VolumeCase{"RatioKeptExactInsideTheFormula", true, "58", "22", "49",
                   {" vr237,363636363636", " perem11,0909090909091", "Kalvanta ", " ", "Требуемая прибыль 10000",
                    "Количество товара А 232", "Количество товара В 88", "Количество товара С 196"},
                   {{1, "50"}, {2, "12"}, {3, "42"}, {7, "1"}, {8, "4"}, {9, "2"}, {10, "10000"}, {11, "10000"}}}),
    [](const ::testing::TestParamInfo<VolumeCase>& i) { return std::string(i.param.name); });

TEST(ProductionPlan, VolumeGoalSetSumsAndBase)
{
    PlanRun run;
    PlanEditTexts t = defaultTexts();
    run.request_(false, true, t);
    run.activate();
    EXPECT_EQ(run.results.RevenueTotal, 40.0);
    EXPECT_EQ(run.results.VarCostTotal, 19.0);
    EXPECT_EQ(run.results.BaseChosen, 1.0);
}

struct FailureCase {
    const char* name;
    bool profitGoal;
    bool withC;
    std::vector<std::pair<int, const char*>> changes;
    const char* message;
    std::vector<std::string> linesBeforeError;
};

class PlanFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PlanFailure, RaisesThePlatformMessageAndKeepsWhatWasWritten)
{
    const FailureCase& c = GetParam();
    PlanEditTexts t = defaultTexts();
    for (const auto& [edit, text] : c.changes)
        t[static_cast<std::size_t>(edit)] = text;
    PlanRun run;
    run.request_(c.profitGoal, c.withC, t);
    try {
        run.activate();
        FAIL() << "no error";
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_THAT(run.lines, ElementsAreArray(c.linesBeforeError));
    // The request was cleared before computing, so nothing is retried.
    EXPECT_FALSE(run.activate());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, PlanFailure,
    ::testing::Values(
        FailureCase{"ZeroShareOfA", false, true, {{12, "0"}}, "Floating point division by zero", {}},
        FailureCase{"ZeroShareOfCWithoutWorkingLines", false, true, {{14, "0"}},
                    "Floating point division by zero", {}},
        FailureCase{"AllSharesZero", false, true, {{12, "0"}, {13, "0"}, {14, "0"}},
                    "Invalid floating point operation", {}},
        FailureCase{"SetMarginZeroAfterWorkingLines", false, false, {{7, "10"}, {8, "20"}},
                    "Floating point division by zero", {" vr30", " perem30"}},
        FailureCase{"ZeroRevenue", true, true, {{4, "0"}, {5, "0"}, {6, "0"}},
                    "Invalid floating point operation", {}},
        FailureCase{"ZeroMarginRatio", true, false, {{7, "10"}, {8, "20"}},
                    "Floating point division by zero", {}},
        FailureCase{"PriceEqualsUnitCost", true, true, {{9, "5"}},
                    "Floating point division by zero", {}},
        FailureCase{"Overflow", true, true, {{1, "1E200"}, {4, "1E200"}}, "Floating point overflow", {}}),
    [](const ::testing::TestParamInfo<FailureCase>& i) { return std::string(i.param.name); });

TEST(ProductionPlan, ConversionStopsAtTheFailingFieldInGoalOrder)
{
    // Code 11 reads 1, 2, 3, 10, 7, 8, 9, 4, 5, 6: a bad Edit7 leaves
    // prices and fixed costs stored, unit costs and quantities untouched.
    PlanRequest request;
    PlanEditTexts t = defaultTexts();
    t[7] = "5.5";
    try {
        requestPlan(request, true, true, t, RegionalSettings::russian());
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'5.5' is not a valid floating point value");
    }
    EXPECT_EQ(request.PlanRequested, 0.0);
    EXPECT_EQ(request.Price[ProductC], 5.0);
    EXPECT_EQ(request.FixedCosts, 10000.0);
    EXPECT_EQ(request.UnitVarCost[ProductA], 0.0);
    EXPECT_EQ(request.Quantity[ProductA], 0.0);
}

TEST(ProductionPlan, FieldsAGoalDoesNotReadKeepTheirValues)
{
    PlanRequest request;
    PlanEditTexts t = defaultTexts();
    t[11] = "";
    t[6] = "";
    t[14] = "";
    t[3] = "";
    t[9] = "";
    requestPlan(request, true, false, t, RegionalSettings::russian());
    EXPECT_EQ(request.PlanGoal, 12.0);
    EXPECT_EQ(request.PlanRequested, 1.0);
    EXPECT_EQ(request.RequiredProfit, 0.0);
    EXPECT_EQ(request.Quantity[ProductB], 500.0);

    t = defaultTexts();
    t[4] = "x";
    requestPlan(request, false, false, t, RegionalSettings::russian());
    EXPECT_EQ(request.PlanGoal, 22.0);
    EXPECT_EQ(request.Quantity[ProductA], 1000.0);
    EXPECT_EQ(request.Share[ProductB], 25.0);
}
