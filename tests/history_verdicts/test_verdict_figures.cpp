// The models' and tests' columns of a history's year against hand
// computations, what is not defined and why, the zone bounds and the
// bank's class rules.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "history/history_verdicts.h"
#include "verdict_histories.h"

namespace kalvanta::history {
namespace {

using namespace testing;

const Figure& columnOf(const std::vector<NamedFigure>& figures, std::string_view column)
{
    for (const NamedFigure& f : figures)
        if (f.column == column)
            return f.figure;
    static const Figure missing = Figure::undefined("no such column");
    return missing;
}

TEST(HistoryVerdicts, ColumnsComeInTheTablesOrder)
{
    std::vector<std::string> names;
    for (const NamedFigure& f : verdictFigures(YearView(healthy(), 2024)))
        names.emplace_back(f.column);
    const std::vector<std::string> expected{
        "altman_z_1983", "altman_z_1995", "altman_two_factor", "taffler", "lis", "springate", "zaitseva_actual",
        "zaitseva_norm", "savitskaya", "saifullin_kadykov", "igea_r", "models_computed", "models_high_risk",
        "net_assets", "net_assets_less_charter", "ffo_current_ratio", "ffo_own_funds_ratio", "ffo_unsatisfactory",
        "ffo_restore", "ffo_loss", "sber_score", "sber_class", "dupont_net_margin", "dupont_turnover",
        "dupont_multiplier", "dupont_roe"};
    EXPECT_EQ(names, expected);
}

struct FigureCase {
    const char* company;
    std::function<CompanyHistory()> history;
    int year;
    const char* column;
    std::optional<double> value; // expected, or not defined for the reason
    const char* reason = "";
};

const std::string kZero = "делитель равен нулю";

TEST(HistoryVerdicts, FiguresAgreeWithHandComputations)
{
    const std::vector<FigureCase> cases{
        // Healthy 2024: WC 2200, A 7000, RE 3900, EBIT 1400 + 100, E 4000, TL 3000, Sales 10000.
        // 0.717·2200/7000 + 0.847·3900/7000 + 3.107·1500/7000 + 0.42·4000/3000 + 0.998·10000/7000
        {"healthy", healthy, 2024, "altman_z_1983", 3.34874285714286},
        // 6.56·2200/7000 + 3.26·3900/7000 + 6.72·1500/7000 + 1.05·4000/3000
        {"healthy", healthy, 2024, "altman_z_1995", 6.718},
        // −0.3877 − 1.0736·4000/1800 + 0.0579·3000/7000
        {"healthy", healthy, 2024, "altman_two_factor", -2.74866349206349},
        // 0.53·1500/1800 + 0.13·4000/3000 + 0.18·1800/7000 + 0.16·10000/7000
        {"healthy", healthy, 2024, "taffler", 0.889857142857143},
        // 0.063·2200/7000 + 0.092·1500/7000 + 0.057·3900/7000 + 0.001·4000/3000
        {"healthy", healthy, 2024, "lis", 0.0726047619047619},
        // 1.03·2200/7000 + 3.07·1500/7000 + 0.66·1400/1800 + 0.4·10000/7000
        {"healthy", healthy, 2024, "springate", 2.06633333333333},
        // 0 + 0.1·900/1800 + 0.2·(400 + 900 + 300)/700 + 0 + 0.1·3000/4000 + 0.1·7000/10000
        {"healthy", healthy, 2024, "zaitseva_actual", 0.652142857142857},
        // 1.57 + 0.1·6000/9000
        {"healthy", healthy, 2024, "zaitseva_norm", 1.63666666666667},
        // 0.111·1000/4000 + 13.239·4000/3000 + 1.676·10000/6500 + 0.515·(100·1100/7000) + 3.8·4000/7000
        {"healthy", healthy, 2024, "savitskaya", 30.5224972527473},
        // 2·1000/4000 + 0.1·4000/1800 + 0.08·10000/6500 + 0.45·1500/10000 + 1100/3500
        {"healthy", healthy, 2024, "saifullin_kadykov", 1.22708485958486},
        // 8.38·2200/7000 + 1100/4000 + 0.054·10000/7000 + 0.63·1100/(7000 + 1000 + 500)
        {"healthy", healthy, 2024, "igea_r", 3.06738655462185},
        {"healthy", healthy, 2024, "models_computed", 10},
        {"healthy", healthy, 2024, "models_high_risk", 0},
        // 7000 − 1200 − 1800 + 100; less 1310 = 100
        {"healthy", healthy, 2024, "net_assets", 4100},
        {"healthy", healthy, 2024, "net_assets_less_charter", 4000},
        // 4000 / (1800 − 100 − 100); (4000 − 3000) / 4000
        {"healthy", healthy, 2024, "ffo_current_ratio", 2.5},
        {"healthy", healthy, 2024, "ffo_own_funds_ratio", 0.25},
        {"healthy", healthy, 2024, "ffo_unsatisfactory", 0},
        {"healthy", healthy, 2024, "ffo_restore", std::nullopt, "структура баланса удовлетворительна"},
        // K 2023 = 3000 / 1600 = 1.875: (2.5 + 3/12·0.625) / 2
        {"healthy", healthy, 2024, "ffo_loss", 1.328125},
        // K1 700/1800, K2 2500/1800, K3 4000/1800, K4 4000/3000, K5 1500/10000 = 0.15 on its bound: all category 1
        {"healthy", healthy, 2024, "sber_score", 1.0},
        {"healthy", healthy, 2024, "sber_class", 1},
        // 1100/10000, 10000/6500, 6500/3500, product 1100/3500
        {"healthy", healthy, 2024, "dupont_net_margin", 0.11},
        {"healthy", healthy, 2024, "dupont_turnover", 1.53846153846154},
        {"healthy", healthy, 2024, "dupont_multiplier", 1.85714285714286},
        {"healthy", healthy, 2024, "dupont_roe", 0.314285714285714},
        // The first year lacks the year before.
        {"healthy", healthy, 2023, "zaitseva_norm", std::nullopt, "нет данных за 2022 год"},
        {"healthy", healthy, 2023, "savitskaya", std::nullopt, "нет данных за 2022 год"},
        {"healthy", healthy, 2023, "models_computed", 7},

        // Loss-making 2024: WC −3000, A 7000, RE −500, EBIT −600, E 500, TL 6500, Sales 6000.
        // 0.717·−3000/7000 + 0.847·−500/7000 + 3.107·−600/7000 + 0.42·500/6500 + 0.998·6000/7000
        {"loss", lossMaking, 2024, "altman_z_1983", 0.253636263736264},
        {"loss", lossMaking, 2024, "altman_z_1995", -3.53951648351648},
        // −0.3877 − 1.0736·2000/5000 + 0.0579·6500/7000: low risk despite the loss
        {"loss", lossMaking, 2024, "altman_two_factor", -0.763375714285714},
        // 0.53·−500/5000 + 0.13·2000/6500 + 0.18·5000/7000 + 0.16·6000/7000
        {"loss", lossMaking, 2024, "taffler", 0.252714285714286},
        {"loss", lossMaking, 2024, "lis", -0.0375659340659341},
        // 1.03·−3000/7000 + 3.07·−600/7000 + 0.66·−900/5000 + 0.4·6000/7000
        {"loss", lossMaking, 2024, "springate", -0.480514285714286},
        // 0.25·900/500 + 0.1·2500/1000 + 0.2·5000/200 + 0.25·500/6000 + 0.1·6500/500 + 0.1·7000/6000
        {"loss", lossMaking, 2024, "zaitseva_actual", 7.1375},
        {"loss", lossMaking, 2024, "zaitseva_norm", 1.67714285714286},
        {"loss", lossMaking, 2024, "savitskaya", 0.0828844827586207},
        // 2·−4500/2000 + 0.1·2000/5000 + 0.08·6000/7250 + 0.45·−500/6000 + −900/950
        {"loss", lossMaking, 2024, "saifullin_kadykov", -5.37866152450091},
        // 8.38·−3000/7000 + −900/500 + 0.054·6000/7000 + 0.63·−900/6500
        {"loss", lossMaking, 2024, "igea_r", -5.43237362637363},
        // High: Z′, Z″, Lis, Springate, Зайцева, Савицкая, Сайфуллин–Кадыков, ИГЭА.
        {"loss", lossMaking, 2024, "models_high_risk", 8},
        {"loss", lossMaking, 2024, "net_assets", 500},
        {"loss", lossMaking, 2024, "net_assets_less_charter", -500},
        {"loss", lossMaking, 2024, "ffo_unsatisfactory", 1},
        // K 2024 = 0.4, K 2023 = 2500/4500: (0.4 + 6/12·(0.4 − 0.5556)) / 2
        {"loss", lossMaking, 2024, "ffo_restore", 0.161111111111111},
        {"loss", lossMaking, 2024, "ffo_loss", std::nullopt, "структура баланса неудовлетворительна"},
        // Every K in category 3: 0.05·3 + 0.10·3 + 0.40·3 + 0.20·3 + 0.25·3
        {"loss", lossMaking, 2024, "sber_score", 3.0},
        {"loss", lossMaking, 2024, "sber_class", 3},
        // 2023 has no profit and loss statement beyond revenue: its lines are 0, not missing.
        {"loss", lossMaking, 2023, "net_assets", 1400},

        // Negative equity 2024: E −1000.
        {"negative", negativeEquity, 2024, "altman_z_1983", -0.361335},
        // 0.25·800/−1000 + 0.1·1000/300 + 0.2·2000/200 + 0.25·200/3000 + 0.1·3000/−1000 + 0.1·2000/3000
        {"negative", negativeEquity, 2024, "zaitseva_actual", 1.91666666666667},
        {"negative", negativeEquity, 2024, "savitskaya", -7.08871428571429},
        {"negative", negativeEquity, 2024, "igea_r", -3.4665},
        {"negative", negativeEquity, 2024, "net_assets", -1000},
        {"negative", negativeEquity, 2024, "net_assets_less_charter", -1010},
        // avg(A) 2100 / avg(E) −600; −800/3000 × 3000/2100 × 2100/−600
        {"negative", negativeEquity, 2024, "dupont_multiplier", -3.5},
        {"negative", negativeEquity, 2024, "dupont_roe", 1.33333333333333},
        {"negative", negativeEquity, 2024, "models_high_risk", 8},

        // No liabilities.
        {"no liabilities", noLiabilities, 2024, "altman_z_1983", std::nullopt, kZero.c_str()},
        {"no liabilities", noLiabilities, 2024, "altman_two_factor", std::nullopt, kZero.c_str()},
        {"no liabilities", noLiabilities, 2024, "springate", std::nullopt, kZero.c_str()},
        {"no liabilities", noLiabilities, 2024, "saifullin_kadykov", std::nullopt, kZero.c_str()},
        // 0 + 0.1·0/200 + 0.2·0/200 + 0 + 0.1·0/1000 + 0.1·1000/2000
        {"no liabilities", noLiabilities, 2024, "zaitseva_actual", 0.05},
        {"no liabilities", noLiabilities, 2024, "zaitseva_norm", 1.62},
        // 0.111·400/400 + 13.239·400/600 + 1.676·2000/950 + 0.515·(100·200/1000) + 3.8·1000/1000
        {"no liabilities", noLiabilities, 2024, "savitskaya", 26.5654210526316},
        // 8.38·400/1000 + 200/1000 + 0.054·2000/1000 + 0.63·200/1800
        {"no liabilities", noLiabilities, 2024, "igea_r", 3.73},
        {"no liabilities", noLiabilities, 2024, "models_computed", 3},
        {"no liabilities", noLiabilities, 2024, "ffo_current_ratio", std::nullopt, kZero.c_str()},
        {"no liabilities", noLiabilities, 2024, "ffo_own_funds_ratio", 1},
        {"no liabilities", noLiabilities, 2024, "ffo_unsatisfactory", std::nullopt, kZero.c_str()},
        {"no liabilities", noLiabilities, 2024, "ffo_loss", std::nullopt, kZero.c_str()},
        {"no liabilities", noLiabilities, 2024, "sber_class", std::nullopt, kZero.c_str()},
        {"no liabilities", noLiabilities, 2024, "net_assets_less_charter", 900},

        // One year.
        {"one year", oneYear, 2024, "altman_z_1983", 3.22582857142857},
        {"one year", oneYear, 2024, "zaitseva_norm", std::nullopt, "нет данных за 2023 год"},
        {"one year", oneYear, 2024, "saifullin_kadykov", std::nullopt, "нет данных за 2023 год"},
        {"one year", oneYear, 2024, "models_computed", 7},
        // 3000 / 1800 < 2 and (4000 − 4000) / 3000 < 0.1
        {"one year", oneYear, 2024, "ffo_unsatisfactory", 1},
        {"one year", oneYear, 2024, "ffo_restore", std::nullopt, "нет данных за 2023 год"},
        {"one year", oneYear, 2024, "dupont_turnover", std::nullopt, "нет данных за 2023 год"},
        // K1 500/2000 → 1, K2 2000/2000 → 1, K3 1.5 → 2, K4 4000/3000 → 1, K5 0.15 → 1:
        // 0.05 + 0.10 + 0.80 + 0.20 + 0.25
        {"one year", oneYear, 2024, "sber_score", 1.4},
        {"one year", oneYear, 2024, "sber_class", 2},
        // A year outside the history.
        {"one year", oneYear, 2021, "lis", std::nullopt, "нет данных за 2021 год"},
        {"one year", oneYear, 2021, "models_computed", 0},
    };
    for (const FigureCase& c : cases) {
        SCOPED_TRACE(std::string(c.company) + " " + std::to_string(c.year) + " " + c.column);
        const CompanyHistory history = c.history();
        const Figure f = columnOf(verdictFigures(YearView(history, c.year)), c.column);
        if (c.value) {
            ASSERT_TRUE(f.defined()) << f.reason();
            EXPECT_NEAR(*f.value, *c.value, 1e-12 * std::max(1.0, std::fabs(*c.value)));
        } else {
            EXPECT_FALSE(f.defined()) << *f.value;
            EXPECT_EQ(f.reason(), c.reason);
        }
    }
}

struct ZoneCase {
    const char* column;
    double value;
    const char* zone;
    bool high; // counted in models_high_risk
};

const ModelZones& modelOf(std::string_view column)
{
    for (const ModelZones& m : modelZoneTable())
        if (m.column == column)
            return m;
    throw std::runtime_error("no model " + std::string(column));
}

TEST(HistoryVerdicts, AValueOnABoundBelongsToTheZoneAbove)
{
    const double below = -1e-9;
    const std::vector<ZoneCase> cases{
        {"altman_z_1983", 1.23 + below, "высокий", true},      {"altman_z_1983", 1.23, "неопределенный", false},
        {"altman_z_1983", 2.90 + below, "неопределенный", false}, {"altman_z_1983", 2.90, "низкий", false},
        {"altman_z_1995", 1.10 + below, "высокий", true},      {"altman_z_1995", 1.10, "неопределенный", false},
        {"altman_z_1995", 2.60, "низкий", false},              {"altman_two_factor", below, "низкий", false},
        {"altman_two_factor", 0, "высокий", true},             {"taffler", 0.2 + below, "высокий", true},
        {"taffler", 0.2, "неопределенный", false},             {"taffler", 0.3, "низкий", false},
        {"lis", 0.037 + below, "высокий", true},               {"lis", 0.037, "низкий", false},
        {"springate", 0.862 + below, "высокий", true},         {"springate", 0.862, "низкий", false},
        {"savitskaya", 1 + below, "максимальный", true},       {"savitskaya", 1, "высокий", true},
        {"savitskaya", 3, "средний", false},                   {"savitskaya", 5, "небольшой", false},
        {"savitskaya", 8 + below, "небольшой", false},         {"savitskaya", 8, "отсутствует", false},
        {"saifullin_kadykov", 1 + below, "высокий", true},     {"saifullin_kadykov", 1, "низкий", false},
        {"igea_r", below, "максимальный", true},               {"igea_r", 0, "высокий", true},
        {"igea_r", 0.18, "средний", false},                    {"igea_r", 0.32, "низкий", false},
        {"igea_r", 0.42 + below, "низкий", false},             {"igea_r", 0.42, "минимальный", false},
    };
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " " + std::to_string(c.value));
        const ModelZones& m = modelOf(c.column);
        const int zone = zoneIndex(m, c.value);
        ASSERT_GE(zone, 0);
        ASSERT_LT(zone, static_cast<int>(m.zones.size()));
        EXPECT_EQ(m.zones[static_cast<std::size_t>(zone)], c.zone);
        EXPECT_EQ(m.highRisk[static_cast<std::size_t>(zone)], c.high);
    }
    // Зайцева: only an actual value above the norm is high.
    const ModelZones& zaitseva = modelOf("zaitseva_actual");
    EXPECT_EQ(zaitseva.zones[static_cast<std::size_t>(zoneIndex(zaitseva, 1.6, 1.6))], "низкий");
    EXPECT_EQ(zaitseva.zones[static_cast<std::size_t>(zoneIndex(zaitseva, 1.6 + 1e-9, 1.6))], "высокий");
    EXPECT_EQ(zaitseva.highRisk, (std::vector<bool>{false, true}));
}

TEST(HistoryVerdicts, ModelResultsNameEachYearsZone)
{
    const CompanyHistory loss = lossMaking();
    const std::vector<ModelResult> results = modelResults(YearView(loss, 2024));
    std::vector<std::string> zones;
    for (const ModelResult& r : results)
        zones.push_back(r.zoneText);
    // Z′ 0.254, Z″ −3.54, two-factor −0.76, Taffler 0.253, Lis −0.038, Springate −0.48,
    // Зайцева 7.14 > 1.68, Савицкая 0.083, Сайфуллин −5.38, ИГЭА −5.43.
    EXPECT_EQ(zones, (std::vector<std::string>{"высокий", "высокий", "низкий", "неопределенный", "высокий", "высокий",
                                               "высокий", "максимальный", "высокий", "максимальный"}));
    // Зайцева without the year before has no norm, so no zone.
    const CompanyHistory one = oneYear();
    const ModelResult z = modelResults(YearView(one, 2024))[6];
    EXPECT_EQ(z.column, "zaitseva_actual");
    EXPECT_EQ(z.zone, -1);
    EXPECT_EQ(z.zoneText, "—");
    EXPECT_EQ(z.value.reason(), "нет данных за 2023 год");
}

// A history of one year with current liabilities 1000, no long-term ones
// and revenue 1000, so each K is its numerator in thousandths:
// K1 = cash, K2 = quick assets, K3 = current assets, K4 = equity, K5 = profit from sales.
CompanyHistory creditHistory(double cash, double quick, double current, double equity, double profit,
                             const std::string& okved = "")
{
    CompanyHistory h;
    h.okved = okved;
    h.years[2024] = yearOf({{1210, current - quick}, {1230, quick - cash}, {1250, cash}, {1200, current},
                            {1300, equity}, {1510, 1000}, {1500, 1000}},
                           {{2110, 1000}, {2200, profit}});
    return h;
}

struct ClassCase {
    const char* what;
    CompanyHistory history;
    std::array<int, 5> categories;
    double score;
    int cls;
};

TEST(HistoryVerdicts, CreditClassFollowsTheCategoriesAndTheRulesOfK5)
{
    const std::vector<ClassCase> cases{
        {"every bound of category 1", creditHistory(200, 800, 2000, 1000, 150), {1, 1, 1, 1, 1}, 1.00, 1},
        {"bounds of category 2", creditHistory(150, 500, 1000, 700, 10), {2, 2, 2, 2, 2}, 2.00, 2},
        {"K5 zero is category 3", creditHistory(100, 400, 900, 500, 0), {3, 3, 3, 3, 3}, 3.00, 3},
        // 0.05·2 + 0.10·1 + 0.40·1 + 0.20·2 + 0.25·1 = 1.25: on the bound, class 1.
        {"score on 1.25", creditHistory(150, 800, 2000, 700, 200), {2, 1, 1, 2, 1}, 1.25, 1},
        // 1.25 by the score, but K5 in category 2 makes it class 2.
        {"K5 in category 2", creditHistory(300, 900, 2500, 1500, 100), {1, 1, 1, 1, 2}, 1.25, 2},
        // 1.50 by the score is class 2, but a loss-making K5 makes it class 3.
        {"K5 in category 3", creditHistory(300, 900, 2500, 1500, -100), {1, 1, 1, 1, 3}, 1.50, 3},
        // 0.05·2 + 0.10·2 + 0.40·3 + 0.20·3 + 0.25·1 = 2.35: on the bound, class 2.
        {"score on 2.35", creditHistory(150, 500, 900, 500, 200), {2, 2, 3, 3, 1}, 2.35, 2},
        // 0.05·3 + 0.10·3 + 0.40·3 + 0.20·3 + 0.25·1 = 2.50
        {"score above 2.35", creditHistory(100, 400, 900, 500, 200), {3, 3, 3, 3, 1}, 2.50, 3},
        {"trade: K4 0.6 is category 1", creditHistory(300, 900, 2500, 600, 200, "47.11"), {1, 1, 1, 1, 1}, 1.00, 1},
        {"trade: K4 0.4 is category 2", creditHistory(300, 900, 2500, 400, 200, "46"), {1, 1, 1, 2, 1}, 1.20, 1},
        {"trade: K4 below 0.4", creditHistory(300, 900, 2500, 390, 200, "45.20"), {1, 1, 1, 3, 1}, 1.40, 2},
        {"not trade: K4 0.6", creditHistory(300, 900, 2500, 600, 200, "41.20"), {1, 1, 1, 3, 1}, 1.40, 2},
    };
    for (const ClassCase& c : cases) {
        SCOPED_TRACE(c.what);
        const CreditClass r = creditClass(YearView(c.history, 2024));
        EXPECT_EQ(r.category, c.categories);
        ASSERT_TRUE(r.score.defined()) << r.score.reason();
        EXPECT_EQ(*r.score.value, c.score);
        ASSERT_TRUE(r.creditClass.defined());
        EXPECT_EQ(*r.creditClass.value, c.cls);
    }
}

TEST(HistoryVerdicts, TradeIsOkvedFortyFiveToFortySeven)
{
    const std::vector<std::pair<const char*, bool>> cases{
        {"45", true},    {"46.90", true}, {"47.11.1", true}, {" 47.1", true}, {"44.10", false}, {"48", false},
        {"41.20", false}, {"450", false},  {"4", false},       {"", false},     {"4.5", false},   {"74.20", false},
    };
    for (const auto& [okved, trade] : cases)
        EXPECT_EQ(isTradeOkved(okved), trade) << okved;
}

} // namespace
} // namespace kalvanta::history
