// The ratios per year: each computed from the lines of the history, or not
// defined with the reason the report prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "history/history_figures.h"
#include "history_test_util.h"

namespace kalvanta::history {
namespace {

// A history of 2022 … 2024 with a gap in the flows of 2022.
CompanyHistory sample()
{
    CompanyHistory h;
    HistoryYear y22;
    y22.hasBalance = true;
    y22.balance = {{1100, 40}, {1200, 60}, {1210, 20}, {1230, 30}, {1520, 10}, {1300, 50}, {1500, 30}, {1600, 100}};
    HistoryYear y23 = y22;
    y23.balance = {{1100, 50}, {1200, 70}, {1210, 30}, {1230, 40}, {1240, 5}, {1250, 15},
                   {1520, 20}, {1300, 60}, {1400, 20}, {1500, 40}, {1600, 120}};
    y23.hasFlows = true;
    y23.flows = {{2110, 200}, {2120, 150}, {2200, 30}, {2300, 24}, {2330, 6}, {2400, 18}};
    HistoryYear y24;
    y24.hasBalance = true;
    y24.balance = {{1100, 50}, {1200, 0}, {1300, 0}, {1600, 50}}; // no short-term liabilities, no equity
    y24.hasFlows = true;
    y24.flows = {{2110, 0}, {2400, 5}};                                // no sales, no interest
    h.years = {{2022, y22}, {2023, y23}, {2024, y24}};
    return h;
}

struct RatioCase {
    int year;
    const char* column;
    std::optional<double> value; // nullopt: not defined
    const char* reason;
};

TEST(HistoryRatios, ComputedOrNotDefinedWithTheReason)
{
    const CompanyHistory h = sample();
    const std::vector<RatioCase> cases = {
        {2023, "current_ratio", 70.0 / 40, ""},
        {2023, "quick_ratio", (40.0 + 5 + 15) / 40, ""},
        {2023, "absolute_liquidity", 20.0 / 40, ""},
        {2023, "autonomy", 60.0 / 120, ""},
        {2023, "debt_to_equity", 60.0 / 60, ""},
        {2023, "own_working_capital", 10, ""},
        {2023, "own_working_capital_ratio", 10.0 / 70, ""},
        {2023, "roa", 18.0 / 110, ""},
        {2023, "roe", 18.0 / 55, ""},
        {2023, "return_on_sales", 30.0 / 200, ""},
        {2023, "net_margin", 18.0 / 200, ""},
        {2023, "asset_turnover", 200.0 / 110, ""},
        {2023, "receivables_days", 35.0 / 200 * 365, ""},
        {2023, "inventory_days", 25.0 / 150 * 365, ""},
        {2023, "payables_days", 15.0 / 150 * 365, ""},
        {2023, "interest_coverage", 30.0 / 6, ""},
        // A balance without the flows of its year.
        {2022, "current_ratio", 2, ""},
        {2022, "return_on_sales", std::nullopt, "нет данных за 2022 год"},
        // The balance of the year before is not in the history.
        {2022, "receivables_days", std::nullopt, "нет данных за 2021 год"},
        // Zero divisors: a line left out is 0.
        {2024, "current_ratio", std::nullopt, "делитель равен нулю"},
        {2024, "debt_to_equity", std::nullopt, "делитель равен нулю"},
        {2024, "own_working_capital", -50, ""},
        {2024, "own_working_capital_ratio", std::nullopt, "делитель равен нулю"},
        {2024, "roe", 5.0 / 30, ""},
        {2024, "net_margin", std::nullopt, "делитель равен нулю"},
        {2024, "interest_coverage", std::nullopt, "делитель равен нулю"},
        {2024, "inventory_days", std::nullopt, "делитель равен нулю"},
        // A year not in the history at all.
        {2025, "autonomy", std::nullopt, "нет данных за 2025 год"},
        {2025, "roa", std::nullopt, "нет данных за 2025 год"},
    };
    for (const RatioCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + " " + c.column);
        const std::vector<NamedFigure> figures = ratioFigures(YearView(h, c.year));
        const auto it = std::find_if(figures.begin(), figures.end(),
                                     [&](const NamedFigure& f) { return f.column == c.column; });
        ASSERT_NE(it, figures.end());
        if (c.value) {
            ASSERT_TRUE(it->figure.defined()) << it->figure.reason();
            EXPECT_NEAR(*it->figure.value, *c.value, 1e-12 * std::max(1.0, std::fabs(*c.value)));
        } else {
            EXPECT_FALSE(it->figure.defined());
            EXPECT_EQ(it->figure.reason(), c.reason);
        }
    }
}

TEST(HistoryRatios, SixteenColumnsInTheTableOrder)
{
    const CompanyHistory h = sample();
    std::vector<std::string_view> columns;
    for (const NamedFigure& f : ratioFigures(YearView(h, 2023)))
        columns.push_back(f.column);
    const std::vector<std::string_view> expected = {
        "current_ratio", "quick_ratio", "absolute_liquidity", "autonomy", "debt_to_equity", "own_working_capital",
        "own_working_capital_ratio", "roa", "roe", "return_on_sales", "net_margin", "asset_turnover",
        "receivables_days", "inventory_days", "payables_days", "interest_coverage"};
    EXPECT_EQ(columns, expected);
}

} // namespace
} // namespace kalvanta::history
