// Every column of the table against the figures the report prints for the
// same input: generated variations of the worked example, one and two years,
// sections switched on and off, one and two products, years without
// credits, and reports that an arithmetic error ends.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_builder.h"
#include "analysis/report_sink.h"
#include "indicators/indicator_table.h"
#include "inputs/field_tables.h"
#include "numeric/float_errors.h"

namespace {

using namespace kalvanta;
using namespace kalvanta::indicators;

struct Report {
    std::vector<std::string> lines;
    AnalysisResults results;
    std::string error;
};

Report runReport(AnalysisInput in)
{
    Report rep;
    in.AnalysisParameters.AnalysisPending = 1.0;
    VectorSink sink;
    try {
        writePendingReport(in, rep.results, sink, RegionalSettings::russian(), CivilDate{2026, 12, 8});
    } catch (const FloatError& e) {
        rep.error = withFullStop(e.what());
    }
    rep.lines = std::move(sink.lines);
    return rep;
}

// The values after a label: split at spaces and slashes.
std::vector<std::string> tokens(std::string_view rest)
{
    std::vector<std::string> out;
    std::string cur;
    for (char c : rest) {
        if (c == ' ' || c == '/') {
            if (!cur.empty())
                out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

const std::string* lineStarting(const std::vector<std::string>& lines, std::string_view label)
{
    for (const std::string& l : lines)
        if (l.starts_with(label))
            return &l;
    return nullptr;
}

// What a cell reads as in the report: numbers in the general format with a
// comma, texts as they stand; nothing for an empty cell.
std::string cellText(const Cell& c)
{
    if (const double* d = std::get_if<double>(&c))
        return numberText(*d, ",");
    if (const std::string* s = std::get_if<std::string>(&c))
        return *s;
    return {};
}

enum class Kind { Date, Year };
struct Locator {
    const char* id;
    Kind kind;
    const char* oneYearLabel;
    const char* twoYearLabel; // nullptr: the same as one-year
};

// Where each figure stands in the report: its line and its place on it.
const Locator kLocators[] = {
    {"own_working_capital_surplus", Kind::Date, "Излишек (недостаток) собственных оборотных средств", nullptr},
    {"long_term_sources_surplus", Kind::Date,
     "Излишек (недостаток) собственных  и долгосрочных источников формирования запасов", nullptr},
    {"total_sources_surplus", Kind::Date,
     "Излишек (недостаток) общей величины основных источников средств для формирования запасов", nullptr},
    {"stability_type", Kind::Date, "Трехкомпонентный показатель", nullptr},
    {"autonomy_ratio", Kind::Date, "Коэффициент автономии (на начало и конец года)(норма>=0,5)", nullptr},
    {"debt_to_equity_ratio", Kind::Date, "Коэффициент соотношения заемных и собственных средств (норма 1 - 0,25)",
     "Коэффициент соотношения заемных и собственных средств (норма 1-0,25)"},
    {"maneuverability_ratio", Kind::Date, "Коэффициент маневренности  (норма 0,5)", nullptr},
    {"mobility_ratio", Kind::Date, "Коэффициент мобильности всех средств", nullptr},
    {"inventory_coverage_ratio", Kind::Date,
     "Коэффициент обеспеченности запасов собственными оборотными средствами (норма >+0.6-0.8)", nullptr},
    {"non_current_coverage_ratio", Kind::Date,
     "Коэффициент обеспеченности внеоборотных активов собственными средствами", nullptr},
    {"a1", Kind::Date, "Наиболее ликвидные активы (начало, конец года)(А1)", nullptr},
    {"a2", Kind::Date, "Легко реализуемые активы  (А2)", nullptr},
    {"a3", Kind::Date, "Медленно реализуемые активы (А3)", nullptr},
    {"a4", Kind::Date, "Неликвидные активы     (А4)", nullptr},
    {"p1", Kind::Date, "Cрочные обязательства (П1)", nullptr},
    {"p2", Kind::Date, "Краткосрочные пассивы  (П2)", nullptr},
    {"p3", Kind::Date, "Долгосрорчные пассивы (П3)", nullptr},
    {"p4", Kind::Date, "Постоянные пассивы    (П4)", nullptr},
    {"current_ratio", Kind::Date, "Коэффициент текущей ликвидности (должен >=2) на начало и конец года", nullptr},
    {"quick_ratio", Kind::Date, "Промежуточный коэффициент ликвидности (0,6-0,7)", nullptr},
    {"absolute_liquidity_ratio", Kind::Date, "Коэффициент абсолютной ликвидности (0,2-0,25)", nullptr},
    {"total_profitability", Kind::Year, "Общая рентабельность предприятия", nullptr},
    {"non_current_assets_profitability", Kind::Year, "Рентабельность внеоборотных активов", nullptr},
    {"equity_profitability", Kind::Year, "Рентабельность собственного капитала", nullptr},
    {"current_assets_profitability", Kind::Year, "Рентабельность nтекущих активов", nullptr},
    {"return_on_sales", Kind::Year, "Рентабельность продаж", nullptr},
    {"all_operations_profitability", Kind::Year, "Рентабельность всех операций", nullptr},
    {"other_operations_profitability", Kind::Year, "Рентабельность прочих операций", nullptr},
    {"product_profitability", Kind::Year, "Рентабельность реализованной продукции по затратам на ее производство",
     nullptr},
    {"z_score", Kind::Year, "Z-счет Альтмана за период равен", nullptr},
    {"rating", Kind::Year, "Итоговый рейтинг", nullptr},
    {"asset_turnover", Kind::Year, "Коэффициент оборачиваемости активов", nullptr},
    {"current_asset_turnover", Kind::Year, "Коэффициент оборачиваемости оборотных средств", nullptr},
    {"current_asset_turnover_days", Kind::Year,
     "Средний срок оборота оборотных средств по себестоимости от реализации", nullptr},
    {"inventory_turnover_days", Kind::Year, "Средний срок оборота запасов", nullptr},
    {"gross_margin", Kind::Year, "Валовая маржа", "Валовая маржа 1йгод/2й год"},
    {"operating_leverage_effect", Kind::Year, "Cила воздействия операционного рычага(СВОР)", nullptr},
    {"margin_ratio", Kind::Year, "Норма маржинального дохода", nullptr},
    {"critical_margin_ratio", Kind::Year, "Минимальная норма маржинального дохода", nullptr},
    {"break_even_revenue", Kind::Year, "Порог рентабельности", nullptr},
    {"break_even_quantity", Kind::Year, "Порговое количество товара  (шт)", "Порговое количество товара (шт)"},
    {"break_even_quantity_a", Kind::Year, "Пороговое количество товара А (шт)", nullptr},
    {"break_even_quantity_b", Kind::Year, "Пороговое количество товара В (шт)", nullptr},
    {"safety_margin", Kind::Year, "Запас финансовой прочности", nullptr},
    {"average_interest_rate", Kind::Year, "Средняя ставка процентов по кредитам", nullptr},
    {"leverage_shoulder", Kind::Year, "Плечо фин. рычага", nullptr},
    {"leverage_differential", Kind::Year, "Дифференциал", nullptr},
    {"liquid_cash_flow", Kind::Year, "Ликвидный денежный поток", nullptr},
    {"return_on_assets", Kind::Year, "Коэффициент отдачи на общие активы (ROA)", nullptr},
    {"working_capital_needs", Kind::Year, "Финансово-эксплуатационные потребности предприятия (ФЭП)", nullptr},
    {"revenue_to_working_capital_needs", Kind::Year, "Выручка/ФЭП", nullptr},
    {"minimum_cash_level", Kind::Year,
     "Минимальный уровеннь денежных средств для осуществления текущей деятельности", nullptr},
};

const char* const kDateSuffix[] = {"_y1_start", "_y1_end", "_y2_end"};
const char* const kYearSuffix[] = {"_y1", "_y2"};

// The printed figure at place i of a line, or "" when the report has none.
std::string printedAt(const std::vector<std::string>& lines, std::string_view label, std::size_t i)
{
    const std::string* line = lineStarting(lines, label);
    if (!line)
        return {};
    const std::vector<std::string> t = tokens(std::string_view(*line).substr(label.size()));
    if (i >= t.size() || t[i] == "—")
        return {};
    return t[i];
}

// The effect of the financial leverage and its percentage in brackets.
std::pair<std::string, std::string> effectPrinted(const std::vector<std::string>& lines, bool twoYear, std::size_t y)
{
    const std::string label = !twoYear ? "Эффект финансового рычага "
                              : y == 0 ? "Эффект финансового рычага в 1й год "
                                       : "Эффект финансового рычага в 2й год ";
    const std::string* line = lineStarting(lines, label);
    if (!line || (!twoYear && y == 1))
        return {};
    const std::string rest = line->substr(label.size());
    const std::size_t open = rest.find(" ( ");
    if (open == std::string::npos)
        return {rest == "—" ? "" : rest, ""};
    return {rest.substr(0, open), rest.substr(open + 3, rest.size() - open - 3 - 2)};
}

const char* conclusionLine(const std::string& id, const std::string& code)
{
    static const std::map<std::string, const char*> lines = {
        {"independent", " Коэффициент автономии больше 0,5 - финансовая независимость предприятия "},
        {"dependent",
         " Коэффициент автоноии менее 0,5 - зависимость предприятия от внешних источников финансирования "},
        {"liquid_assets",
         " Коэффициент маневренности показывает, что боьшая часть средств предприятия вложено в ликвидные активы"},
        {"fixed_assets",
         " Коэффициент маневренности показывает, что большинство средств вложено в неликвидные основные средства"},
        {"sufficient", "Собственных оборотных средств хватает для пополнения запасов. "},
        {"insufficient", "Собственных оборотных средств  не хватает для пополнения запасов. "},
        {"absolute", " Баланс предприятия является абсолютно ликвидным "},
        {"minimal_condition_met",
         " Баланс не является абсолютно ликвидным, но выполнено  минимальное условие финансовой устойчивости "},
        {"minimal_condition_not_met", " Не выполнено даже минимальное условие финансовой устойчивости  "},
        {"current_ratio_normal", "Текущая платежеспособность предприятия в норме. "},
        {"quick_ratio_normal", "Платежеспособность на период одного оборота дебиторской задолженности в норме. "},
        {"partly_repayable", "В ближайшее время предприятие может погасить "},
        {"insolvent", "Коэффициенты ликвидности: Предприятие неплатежеспособно "},
        {"stable", "Предприятие работает стабильно и банкротство маловероятно."},
        {"uncertain", "Предприятие находится в зоне неопределенности."},
        {"bankrupt", "Предприятие является банкротом "},
    };
    (void)id;
    const auto it = lines.find(code);
    return it == lines.end() ? nullptr : it->second;
}

// Compares the row with the report, column by column; returns how many
// figures were compared (non-empty on both sides).
int expectRowMatchesReport(const AnalysisInput& in, const Report& rep, const IndicatorRow& row,
                           const std::string& what)
{
    SCOPED_TRACE(what);
    const bool twoYear = in.AnalysisParameters.YearCount == 2.0;
    int compared = 0;
    const auto cell = [&](const std::string& id) { return cellText(row.cells.at(columnIndex(id))); };

    for (const Locator& loc : kLocators) {
        const char* label = twoYear && loc.twoYearLabel ? loc.twoYearLabel : loc.oneYearLabel;
        const std::size_t n = loc.kind == Kind::Date ? 3 : 2;
        for (std::size_t i = 0; i < n; ++i) {
            const std::string id = std::string(loc.id) + (loc.kind == Kind::Date ? kDateSuffix[i] : kYearSuffix[i]);
            const std::string printed = printedAt(rep.lines, label, i);
            EXPECT_EQ(cell(id), printed) << id;
            compared += !printed.empty();
        }
    }
    const char* verdictLabels[] = {"Вывод на начало года - ", "Вывод на конец года -  ",
                                   "Вывод на конец  2-го года -  "};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string* line = lineStarting(rep.lines, verdictLabels[i]);
        const std::string printed = line ? line->substr(std::string_view(verdictLabels[i]).size()) : "";
        EXPECT_EQ(cell(std::string("stability_verdict") + kDateSuffix[i]), printed) << i;
    }
    for (std::size_t y = 0; y < 2; ++y) {
        const auto [effect, percent] = effectPrinted(rep.lines, twoYear, y);
        EXPECT_EQ(cell(std::string("financial_leverage_effect") + kYearSuffix[y]), effect);
        EXPECT_EQ(cell(std::string("financial_leverage_effect_percent") + kYearSuffix[y]), percent);
        compared += !effect.empty();
        const std::string credits = cell(std::string("has_credits") + kYearSuffix[y]);
        if (!credits.empty()) {
            const char* none = !twoYear ? "Кредитов нет " : y == 0 ? "Кредитов  в 1-м году нет " : "Кредитов во 2м году нет ";
            EXPECT_EQ(credits == "0", lineStarting(rep.lines, none) != nullptr) << y;
        }
    }
    for (const char* id : {"conclusion_autonomy", "conclusion_maneuverability", "conclusion_inventory_coverage",
                           "conclusion_balance_liquidity", "conclusion_solvency", "conclusion_bankruptcy"}) {
        const std::string code = cell(id);
        if (code.empty()) {
            EXPECT_EQ(lineStarting(rep.lines, "Прогноз банкротства (Z-счет Альтмана): "), nullptr) << id;
            continue;
        }
        const char* expected = conclusionLine(id, code);
        if (!expected) {
            ADD_FAILURE() << id << " has no such conclusion: " << code;
            continue;
        }
        EXPECT_NE(lineStarting(rep.lines, expected), nullptr) << id << " " << code;
        ++compared;
    }
    const std::string repayLabel = "В ближайшее время предприятие может погасить ";
    const std::string* repay = lineStarting(rep.lines, repayLabel);
    const std::string repayPrinted =
        repay ? repay->substr(repayLabel.size(), repay->find('%') - repayLabel.size()) : std::string();
    EXPECT_EQ(cell("conclusion_repayable_percent"), repayPrinted);

    EXPECT_EQ(cell("status"), rep.error.empty() ? "analysed" : "arithmetic_error");
    EXPECT_EQ(cell("error"), rep.error);
    EXPECT_EQ(cell("organisation"), in.AnalysisParameters.EnterpriseName);
    EXPECT_EQ(cell("unit"), in.AnalysisParameters.UnitName);
    EXPECT_EQ(cell("year_count"), twoYear ? "2" : "1");
    return compared;
}

IndicatorRow rowOf(const AnalysisInput& in, const Report& rep)
{
    return rowFromReport(FileFacts{"generated.json", "", 0, {}}, in, rep.results, rep.error);
}

// Named variations of the worked example, each a known corner.
struct Variation {
    const char* name;
    void (*change)(AnalysisInput&);
    const char* error; // the message that ends the report, "" for a whole report
    int section;       // where it ends
};

const Variation kVariations[] = {
    {"two years, everything on", [](AnalysisInput&) {}, "", 0},
    {"one year, everything on", [](AnalysisInput& in) { in.AnalysisParameters.YearCount = 1.0; }, "", 0},
    {"every switch off",
     [](AnalysisInput& in) {
         auto& p = in.AnalysisParameters;
         p.BusinessActivityOn = p.ExpertAssessmentOn = p.OperatingLeverageOn = p.FinancialLeverageOn =
             p.WorkingCapitalNeedsOn = 0.0;
     },
     "", 0},
    {"one product", [](AnalysisInput& in) { in.ProductCount = 1.0; }, "", 0},
    {"one year, one product",
     [](AnalysisInput& in) {
         in.ProductCount = 1.0;
         in.AnalysisParameters.YearCount = 1.0;
     },
     "", 0},
    {"no credits in year 1",
     [](AnalysisInput& in) {
         in.Y1Start.LongTermLoans = in.Y1Start.ShortTermLoans = 0;
         in.AdditionalData[1].CreditsReceived = 0;
     },
     "", 0},
    {"no credits in year 2",
     [](AnalysisInput& in) {
         in.Y2Start.LongTermLoans = in.Y2Start.ShortTermLoans = 0;
         in.AdditionalData[2].CreditsReceived = 0;
     },
     "", 0},
    {"no credits in either year",
     [](AnalysisInput& in) {
         for (BalanceSheet* b : {&in.Y1Start, &in.Y2Start})
             b->LongTermLoans = b->ShortTermLoans = 0;
         in.AdditionalData[1].CreditsReceived = in.AdditionalData[2].CreditsReceived = 0;
     },
     "", 0},
    {"one year without credits",
     [](AnalysisInput& in) {
         in.AnalysisParameters.YearCount = 1.0;
         in.Y1Start.LongTermLoans = in.Y1Start.ShortTermLoans = 0;
         in.AdditionalData[1].CreditsReceived = 0;
     },
     "", 0},
    {"strong liquidity: current ratio 2 and more",
     [](AnalysisInput& in) { in.Y2End.Cash = in.Y2End.CurrentAssetsTotal = 200000; }, "", 0},
    {"repayable share printed",
     [](AnalysisInput& in) {
         in.Y2End.Cash = 9000;
         in.Y2End.ShortTermInvestments = 0;
     },
     "", 0},
    {"zero assets at the end of year 1",
     [](AnalysisInput& in) { in.Y1End.AssetsTotal = 0; }, "Floating point division by zero.", 2},
    {"zero short-term debt at the start",
     [](AnalysisInput& in) {
         in.Y1Start.AccountsPayable = in.Y1Start.DueToFounders = in.Y1Start.OtherShortTermLiabilities = 0;
         in.Y1Start.ShortTermLoans = 0;
     },
     "Floating point division by zero.", 4},
    {"zero revenue in year 2", [](AnalysisInput& in) { in.ProfitLoss[2].Revenue = 0; },
     "Floating point division by zero.", 5},
    {"zero cost of sales in year 1, business activity",
     [](AnalysisInput& in) {
         in.ProfitLoss[1].CostOfSales = 0;
         in.ProfitLoss[1].SalesProfit = 1;
     },
     "Floating point division by zero.", 5},
    {"zero sales profit: operating leverage", [](AnalysisInput& in) { in.ProfitLoss[2].SalesProfit = 0; },
     "Floating point division by zero.", 10},
    {"zero assets in year 2 with credits: financial leverage",
     [](AnalysisInput& in) {
         in.Y2Start.AssetsTotal = 0;
         in.Y2End.AssetsTotal = 0;
         in.AnalysisParameters.WorkingCapitalNeedsOn = 1;
     },
     "Floating point division by zero.", 2},
    {"zero working-capital needs",
     [](AnalysisInput& in) {
         in.AnalysisParameters.YearCount = 1.0;
         in.Y1Start.Inventories = in.Y1End.Inventories = 0;
         in.Y1Start.GoodsShipped = in.Y1End.GoodsShipped = 0;
         in.Y1Start.LongTermReceivables = in.Y1End.LongTermReceivables = 0;
         in.Y1Start.ShortTermReceivables = in.Y1End.ShortTermReceivables = 0;
         in.Y1Start.AccountsPayable = in.Y1End.AccountsPayable = 0;
         in.Y1Start.OtherShortTermLiabilities = in.Y1End.OtherShortTermLiabilities = 0;
         in.Y1Start.DueToFounders = in.Y1End.DueToFounders = 1;
         in.AnalysisParameters.FinancialLeverageOn = 0;
     },
     "Floating point division by zero.", 2},
};

TEST(TableAgreesWithReport, NamedVariationsOfTheWorkedExample)
{
    for (const Variation& v : kVariations) {
        AnalysisInput in = workedExample();
        v.change(in);
        const Report rep = runReport(in);
        EXPECT_EQ(rep.error, v.error) << v.name;
        if (*v.error) {
            EXPECT_EQ(rep.results.LastSectionStarted, v.section) << v.name;
        }
        const IndicatorRow row = rowOf(in, rep);
        const int compared = expectRowMatchesReport(in, rep, row, v.name);
        EXPECT_GT(compared, 0) << v.name;
        if (*v.error) {
            EXPECT_EQ(cellText(row.cells[columnIndex("ended_in_section")]), std::to_string(v.section)) << v.name;
        }
    }
}

// Every field scaled at random (a tenth of them to zero or negative), the
// years, switches and product count drawn at random: a few hundred reports,
// whole ones and ones an arithmetic error ends.
TEST(TableAgreesWithReport, RandomVariationsOfTheWorkedExample)
{
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> scale(0.3, 1.8);
    std::uniform_int_distribution<int> percent(0, 99);
    int whole = 0, ended = 0, oneYear = 0, compared = 0;
    const auto vary = [&](double& v) {
        const int p = percent(random);
        if (p < 4)
            v = 0;
        else if (p < 7)
            v = -v;
        else
            v = std::trunc(v * scale(random) * 100) / 100; // two decimals, as typed
    };
    for (int i = 0; i < 400; ++i) {
        AnalysisInput in = workedExample();
        for (BalanceSheet* b : {&in.Y1Start, &in.Y1End, &in.Y2Start, &in.Y2End}) {
            for (const auto& f : kAssetFields)
                vary(b->*f.member);
            for (const auto& f : kLiabilityFields)
                vary(b->*f.member);
        }
        for (int y = 1; y <= 2; ++y) {
            for (const auto& f : kProfitLossFields)
                vary(in.ProfitLoss[y].*f.member);
            for (const auto& f : kAdditionalFields)
                vary(in.AdditionalData[y].*f.member);
        }
        ParametersGroup& p = in.AnalysisParameters;
        p.YearCount = percent(random) < 40 ? 1.0 : 2.0;
        for (double* s : {&p.BusinessActivityOn, &p.ExpertAssessmentOn, &p.OperatingLeverageOn,
                          &p.FinancialLeverageOn, &p.WorkingCapitalNeedsOn})
            *s = percent(random) < 75 ? 1.0 : 0.0;
        in.ProductCount = percent(random) < 50 ? 1.0 : 2.0;

        const Report rep = runReport(in);
        const IndicatorRow row = rowOf(in, rep);
        compared += expectRowMatchesReport(in, rep, row, "random input " + std::to_string(i));
        (rep.error.empty() ? whole : ended) += 1;
        oneYear += p.YearCount == 1.0;
        if (::testing::Test::HasFailure())
            break; // one input's differences are enough to read
    }
    // The sweep covers both endings and both report lengths.
    EXPECT_GT(whole, 50);
    EXPECT_GT(ended, 50);
    EXPECT_GT(oneYear, 100);
    EXPECT_GT(compared, 20000);
}

TEST(TableAgreesWithReport, EveryColumnIdIsUniqueAndDocumented)
{
    std::set<std::string> seen;
    std::ifstream doc(std::string(KALVANTA_SOURCE_DIR) + "/docs/indicators.md");
    std::stringstream text;
    text << doc.rdbuf();
    for (const IndicatorColumn& c : indicatorColumns()) {
        EXPECT_TRUE(seen.insert(c.id).second) << c.id;
        EXPECT_NE(text.str().find("`" + c.id + "`"), std::string::npos) << c.id << " is missing in docs/indicators.md";
    }
}

} // namespace
