#include "indicator_table.h"

#include <charconv>
#include <map>
#include <stdexcept>
#include <string_view>

#include "numeric/number_format.h"

namespace kalvanta::indicators {

namespace {

using R = AnalysisResults;
using DateGetter = double (*)(const R&, std::size_t);
using TextGetter = const std::string& (*)(const R&, std::size_t);
using YearGetter = double (*)(const R&, std::size_t);

struct DateIndicator {
    const char* id;
    const char* caption;
    int section;
    DateGetter get;
};
struct DateText {
    const char* id;
    const char* caption;
    int section;
    TextGetter get;
};
struct YearIndicator {
    const char* id;
    const char* caption;
    int section;
    YearGetter get;
};

#define KV_DATE(id, caption, section, field) \
    DateIndicator { id, caption, section, [](const R& r, std::size_t i) { return r.field[i]; } }
#define KV_YEAR(id, caption, section, field) \
    YearIndicator { id, caption, section, [](const R& r, std::size_t i) { return r.field[i]; } }

const DateText kDateTexts[] = {
    {"stability_type", "Трехкомпонентный показатель", 1,
     [](const R& r, std::size_t i) -> const std::string& { return r.StabilityType[i]; }},
    {"stability_verdict", "Вывод", 1,
     [](const R& r, std::size_t i) -> const std::string& { return r.StabilityVerdict[i]; }},
};

const DateIndicator kDateNumbers[] = {
    KV_DATE("own_working_capital_surplus", "Излишек (недостаток) собственных оборотных средств", 1,
            OwnWorkingCapitalSurplus),
    KV_DATE("long_term_sources_surplus",
            "Излишек (недостаток) собственных  и долгосрочных источников формирования запасов", 1,
            LongTermSourcesSurplus),
    KV_DATE("total_sources_surplus",
            "Излишек (недостаток) общей величины основных источников средств для формирования запасов", 1,
            TotalSourcesSurplus),
    KV_DATE("autonomy_ratio", "Коэффициент автономии (норма>=0,5)", 2, AutonomyRatio),
    KV_DATE("debt_to_equity_ratio", "Коэффициент соотношения заемных и собственных средств (норма 1 - 0,25)", 2,
            DebtToEquityRatio),
    KV_DATE("maneuverability_ratio", "Коэффициент маневренности  (норма 0,5)", 2, ManeuverabilityRatio),
    KV_DATE("mobility_ratio", "Коэффициент мобильности всех средств", 2, MobilityRatio),
    KV_DATE("inventory_coverage_ratio",
            "Коэффициент обеспеченности запасов собственными оборотными средствами (норма >+0.6-0.8)", 2,
            InventoryCoverageRatio),
    KV_DATE("non_current_coverage_ratio",
            "Коэффициент обеспеченности внеоборотных активов собственными средствами", 2, NonCurrentCoverageRatio),
    KV_DATE("a1", "Наиболее ликвидные активы (А1)", 3, A1),
    KV_DATE("a2", "Легко реализуемые активы  (А2)", 3, A2),
    KV_DATE("a3", "Медленно реализуемые активы (А3)", 3, A3),
    KV_DATE("a4", "Неликвидные активы     (А4)", 3, A4),
    KV_DATE("p1", "Cрочные обязательства (П1)", 3, P1),
    KV_DATE("p2", "Краткосрочные пассивы  (П2)", 3, P2),
    KV_DATE("p3", "Долгосрорчные пассивы (П3)", 3, P3),
    KV_DATE("p4", "Постоянные пассивы    (П4)", 3, P4),
    KV_DATE("current_ratio", "Коэффициент текущей ликвидности (должен >=2)", 4, CurrentRatio),
    KV_DATE("quick_ratio", "Промежуточный коэффициент ликвидности (0,6-0,7)", 4, QuickRatio),
    KV_DATE("absolute_liquidity_ratio", "Коэффициент абсолютной ликвидности (0,2-0,25)", 4, AbsoluteLiquidityRatio),
};

const YearIndicator kYearNumbers[] = {
    KV_YEAR("total_profitability", "Общая рентабельность предприятия", 5, TotalProfitability),
    KV_YEAR("non_current_assets_profitability", "Рентабельность внеоборотных активов", 5,
            NonCurrentAssetsProfitability),
    KV_YEAR("equity_profitability", "Рентабельность собственного капитала", 5, EquityProfitability),
    KV_YEAR("current_assets_profitability", "Рентабельность nтекущих активов", 5, CurrentAssetsProfitability),
    KV_YEAR("return_on_sales", "Рентабельность продаж", 5, ReturnOnSales),
    KV_YEAR("all_operations_profitability", "Рентабельность всех операций", 5, AllOperationsProfitability),
    KV_YEAR("other_operations_profitability", "Рентабельность прочих операций", 5, OtherOperationsProfitability),
    KV_YEAR("product_profitability", "Рентабельность реализованной продукции по затратам на ее производство", 5,
            ProductProfitability),
    KV_YEAR("z_score", "Z-счет Альтмана за период", 6, ZScore),
    KV_YEAR("rating", "Итоговый рейтинг", 7, Rating),
    KV_YEAR("asset_turnover", "Коэффициент оборачиваемости активов", 8, AssetTurnover),
    KV_YEAR("current_asset_turnover", "Коэффициент оборачиваемости оборотных средств", 8, CurrentAssetTurnover),
    KV_YEAR("current_asset_turnover_days",
            "Средний срок оборота оборотных средств по себестоимости от реализации", 8, CurrentAssetTurnoverDays),
    KV_YEAR("inventory_turnover_days", "Средний срок оборота запасов", 8, InventoryTurnoverDays),
    KV_YEAR("gross_margin", "Валовая маржа", 10, OperatingLeverage.GrossMargin),
    KV_YEAR("operating_leverage_effect", "Cила воздействия операционного рычага(СВОР)", 10,
            OperatingLeverage.LeverageEffect),
    KV_YEAR("margin_ratio", "Норма маржинального дохода", 10, OperatingLeverage.MarginRatio),
    KV_YEAR("critical_margin_ratio", "Минимальная норма маржинального дохода", 10,
            OperatingLeverage.CriticalMarginRatio),
    KV_YEAR("break_even_revenue", "Порог рентабельности", 10, OperatingLeverage.BreakEvenRevenue),
    KV_YEAR("break_even_quantity", "Порговое количество товара  (шт)", 10, OperatingLeverage.BreakEvenQuantity),
    KV_YEAR("break_even_quantity_a", "Пороговое количество товара А (шт)", 10, OperatingLeverage.BreakEvenQuantityA),
    KV_YEAR("break_even_quantity_b", "Пороговое количество товара В (шт)", 10, OperatingLeverage.BreakEvenQuantityB),
    KV_YEAR("safety_margin", "Запас финансовой прочности", 10, OperatingLeverage.SafetyMargin),
    KV_YEAR("average_interest_rate", "Средняя ставка процентов по кредитам", 11,
            FinancialLeverage.AverageInterestRate),
    KV_YEAR("leverage_shoulder", "Плечо фин. рычага", 11, FinancialLeverage.LeverageShoulder),
    KV_YEAR("leverage_differential", "Дифференциал", 11, FinancialLeverage.LeverageDifferential),
    KV_YEAR("financial_leverage_effect", "Эффект финансового рычага", 11, FinancialLeverage.FinancialLeverageEffect),
    // The percentage in brackets after the effect: handled apart (formed while printing).
    KV_YEAR("financial_leverage_effect_percent", "Эффект финансового рычага, % (в скобках)", 11,
            FinancialLeverage.FinancialLeverageEffect),
    KV_YEAR("liquid_cash_flow", "Ликвидный денежный поток", 11, FinancialLeverage.LiquidCashFlow),
    KV_YEAR("return_on_assets", "Коэффициент отдачи на общие активы (ROA)", 11, FinancialLeverage.ReturnOnAssets),
    KV_YEAR("working_capital_needs", "Финансово-эксплуатационные потребности предприятия (ФЭП)", 12,
            WorkingCapitalNeeds.WorkingCapitalNeeds),
    KV_YEAR("revenue_to_working_capital_needs", "Выручка/ФЭП", 12, WorkingCapitalNeeds.RevenueToWorkingCapitalNeeds),
    KV_YEAR("minimum_cash_level",
            "Минимальный уровеннь денежных средств для осуществления текущей деятельности", 12,
            WorkingCapitalNeeds.MinimumCashLevel),
};

#undef KV_DATE
#undef KV_YEAR

struct Suffix {
    const char* id;
    const char* caption;
};
constexpr Suffix kDateSuffixes[] = {
    {"_y1_start", "на начало года"}, {"_y1_end", "на конец года"}, {"_y2_end", "на конец 2-го года"}};
constexpr Suffix kYearSuffixes[] = {{"_y1", "1-й год"}, {"_y2", "2-й год"}};

// Columns that describe the file and the run, then the report's figures.
struct FileColumn {
    const char* id;
    const char* caption;
};
constexpr FileColumn kFileColumns[] = {
    {"file", "Файл"},
    {"status", "Результат: analysed, arithmetic_error или refused"},
    {"error", "Ошибка, прервавшая отчет, или причина отказа"},
    {"ended_in_section", "Раздел отчета, в котором ошибка прервала отчет (1 … 12)"},
    {"organisation", "Название предприятия"},
    {"tax_number", "ИНН"},
    {"reporting_year", "Отчетный год"},
    {"year_count", "Число лет анализа (1 или 2)"},
    {"unit", "Единица измерений формы №1 и №2"},
    {"notes", "Допущения импорта"},
};

// The complex assessment's conclusions (section 9), at the last date.
constexpr FileColumn kConclusionColumns[] = {
    {"conclusion_autonomy", "Комплексная оценка: коэффициент автономии"},
    {"conclusion_maneuverability", "Комплексная оценка: коэффициент маневренности"},
    {"conclusion_inventory_coverage", "Комплексная оценка: собственные оборотные средства для пополнения запасов"},
    {"conclusion_balance_liquidity", "Комплексная оценка: ликвидность баланса"},
    {"conclusion_solvency", "Комплексная оценка: платежеспособность"},
    {"conclusion_repayable_percent", "В ближайшее время предприятие может погасить … % краткосрочных обязательств"},
    {"conclusion_bankruptcy", "Прогноз банкротства (Z-счет Альтмана)"},
};

const char* const kAutonomy[] = {"", "independent", "dependent"};
const char* const kManeuverability[] = {"", "liquid_assets", "fixed_assets"};
const char* const kInventoryCoverage[] = {"", "sufficient", "insufficient"};
const char* const kBalanceLiquidity[] = {"", "absolute", "minimal_condition_met", "minimal_condition_not_met"};
const char* const kSolvency[] = {"", "current_ratio_normal", "quick_ratio_normal", "partly_repayable", "insolvent"};
const char* const kBankruptcy[] = {"", "stable", "uncertain", "bankrupt"};

std::vector<IndicatorColumn> buildColumns()
{
    std::vector<IndicatorColumn> c;
    for (const FileColumn& f : kFileColumns)
        c.push_back({f.id, f.caption, 0});
    for (int section = 1; section <= 12; ++section) {
        for (const DateIndicator& d : kDateNumbers)
            if (d.section == section)
                for (const Suffix& s : kDateSuffixes)
                    c.push_back({std::string(d.id) + s.id, std::string(d.caption) + ", " + s.caption, section});
        for (const DateText& d : kDateTexts)
            if (d.section == section)
                for (const Suffix& s : kDateSuffixes)
                    c.push_back({std::string(d.id) + s.id, std::string(d.caption) + ", " + s.caption, section});
        for (const YearIndicator& y : kYearNumbers)
            if (y.section == section)
                for (const Suffix& s : kYearSuffixes)
                    c.push_back({std::string(y.id) + s.id, std::string(y.caption) + ", " + s.caption, section});
        if (section == 11)
            for (const Suffix& s : kYearSuffixes)
                c.push_back({std::string("has_credits") + s.id, std::string("Кредиты в году (1 есть, 0 нет), ") + s.caption,
                             11});
        if (section == 9)
            for (const FileColumn& f : kConclusionColumns)
                c.push_back({f.id, f.caption, 9});
    }
    return c;
}

bool hasCredits(const AnalysisInput& in, std::size_t y)
{
    const BalanceSheet& s = y == year::Y1 ? in.Y1Start : in.Y2Start;
    return !(s.LongTermLoans == 0.0 && s.ShortTermLoans == 0.0 &&
             in.AdditionalData[static_cast<int>(y) + 1].CreditsReceived == 0.0);
}

class RowBuilder {
public:
    RowBuilder() : row_(indicatorColumns().size()) {}
    void set(const std::string& id, Cell value) { row_[columnIndex(id)] = std::move(value); }
    void set(std::size_t column, Cell value) { row_[column] = std::move(value); }
    std::vector<Cell> take() { return std::move(row_); }

private:
    std::vector<Cell> row_;
};

// The first column of each indicator (its dates or years follow it), found
// once: a row is built thousands of times a second.
template <class Table>
std::vector<std::size_t> firstColumns(const Table& table, const char* firstSuffix)
{
    std::vector<std::size_t> out;
    for (const auto& entry : table)
        out.push_back(columnIndex(std::string(entry.id) + firstSuffix));
    return out;
}

} // namespace

const std::vector<IndicatorColumn>& indicatorColumns()
{
    static const std::vector<IndicatorColumn> columns = buildColumns();
    return columns;
}

std::size_t columnIndex(const std::string& id)
{
    static const std::map<std::string, std::size_t> index = [] {
        std::map<std::string, std::size_t> m;
        const auto& cols = indicatorColumns();
        for (std::size_t i = 0; i < cols.size(); ++i)
            m.emplace(cols[i].id, i);
        return m;
    }();
    return index.at(id);
}

const char* statusText(RowStatus status)
{
    switch (status) {
    case RowStatus::Analysed:
        return "analysed";
    case RowStatus::ArithmeticError:
        return "arithmetic_error";
    case RowStatus::Refused:
        return "refused";
    }
    return "";
}

std::string numberText(double value, const char* decimalSeparator)
{
    return formatGeneral(value, std::string(decimalSeparator));
}

double printedValue(long double value)
{
    const std::string text = formatGeneral(value, std::string("."));
    double d = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), d);
    return d;
}

IndicatorRow refusedRow(const std::string& file, const std::string& error)
{
    RowBuilder b;
    b.set("file", file);
    b.set("status", std::string(statusText(RowStatus::Refused)));
    b.set("error", error);
    return {RowStatus::Refused, b.take()};
}

IndicatorRow rowFromReport(const FileFacts& facts, const AnalysisInput& input, const AnalysisResults& r,
                           const std::string& arithmeticError)
{
    const ParametersGroup& par = input.AnalysisParameters;
    const bool twoYear = par.YearCount == 2.0;
    const bool ended = !arithmeticError.empty();
    const RowStatus status = ended ? RowStatus::ArithmeticError : RowStatus::Analysed;

    RowBuilder b;
    b.set("file", facts.file);
    b.set("status", std::string(statusText(status)));
    if (ended) {
        b.set("error", arithmeticError);
        b.set("ended_in_section", static_cast<double>(r.LastSectionStarted));
    }
    b.set("organisation", par.EnterpriseName);
    if (!facts.taxNumber.empty())
        b.set("tax_number", facts.taxNumber);
    if (facts.reportingYear != 0)
        b.set("reporting_year", static_cast<double>(facts.reportingYear));
    b.set("year_count", par.YearCount);
    b.set("unit", par.UnitName);
    if (!facts.notes.empty()) {
        std::string notes;
        for (const std::string& n : facts.notes)
            notes += (notes.empty() ? "" : "; ") + n;
        b.set("notes", notes);
    }

    // A section printed its figures when it was switched on and finished.
    const double switches[13] = {0, 1, 1, 1, 1, 1, 1, 1, par.BusinessActivityOn, par.ExpertAssessmentOn,
                                 par.OperatingLeverageOn, par.FinancialLeverageOn, par.WorkingCapitalNeedsOn};
    const auto printed = [&](int section) {
        return switches[section] == 1.0 && (!ended || section < r.LastSectionStarted);
    };
    const std::size_t dates = twoYear ? 3 : 2;
    const std::size_t years = twoYear ? 2 : 1;

    static const std::vector<std::size_t> dateNumberColumns = firstColumns(kDateNumbers, kDateSuffixes[0].id);
    static const std::vector<std::size_t> dateTextColumns = firstColumns(kDateTexts, kDateSuffixes[0].id);
    static const std::vector<std::size_t> yearColumns = firstColumns(kYearNumbers, kYearSuffixes[0].id);
    for (std::size_t k = 0; k < std::size(kDateNumbers); ++k)
        if (printed(kDateNumbers[k].section))
            for (std::size_t i = 0; i < dates; ++i)
                b.set(dateNumberColumns[k] + i, kDateNumbers[k].get(r, i));
    for (std::size_t k = 0; k < std::size(kDateTexts); ++k)
        if (printed(kDateTexts[k].section))
            for (std::size_t i = 0; i < dates; ++i)
                b.set(dateTextColumns[k] + i, kDateTexts[k].get(r, i));

    const bool oneProduct = input.ProductCount == 1.0;
    const bool credits[2] = {hasCredits(input, year::Y1), twoYear && hasCredits(input, year::Y2)};
    for (std::size_t k = 0; k < std::size(kYearNumbers); ++k) {
        const YearIndicator& y = kYearNumbers[k];
        if (!printed(y.section))
            continue;
        const std::string_view id = y.id;
        for (std::size_t i = 0; i < years; ++i) {
            if (y.section == 10 && (id == "break_even_quantity") != oneProduct && id.starts_with("break_even_quantity"))
                continue;
            if (y.section == 11) {
                // A year without credits computes nothing; a two-year table
                // still shows the first year's cash flow when the second has credits.
                const bool shown = credits[i] || (id == "liquid_cash_flow" && i == year::Y1 && credits[year::Y2]);
                if (!shown)
                    continue;
            }
            double v = y.get(r, i);
            if (id == "financial_leverage_effect_percent")
                v = printedValue(static_cast<long double>(v) * 100.0L);
            b.set(yearColumns[k] + i, v);
        }
    }
    if (printed(11))
        for (std::size_t i = 0; i < years; ++i)
            b.set(std::string("has_credits") + kYearSuffixes[i].id, credits[i] ? 1.0 : 0.0);

    if (printed(9)) {
        const ComplexAssessmentResults& c = r.ComplexAssessment;
        b.set("conclusion_autonomy", std::string(kAutonomy[c.Autonomy]));
        b.set("conclusion_maneuverability", std::string(kManeuverability[c.Maneuverability]));
        b.set("conclusion_inventory_coverage", std::string(kInventoryCoverage[c.InventoryCoverage]));
        b.set("conclusion_balance_liquidity", std::string(kBalanceLiquidity[c.BalanceLiquidity]));
        b.set("conclusion_solvency", std::string(kSolvency[c.Solvency]));
        if (c.Solvency == 3) {
            const std::size_t last = twoYear ? date::Y2End : date::Y1End;
            b.set("conclusion_repayable_percent",
                  printedValue(static_cast<long double>(r.AbsoluteLiquidityRatio[last]) * 100.0L));
        }
        b.set("conclusion_bankruptcy", std::string(kBankruptcy[c.Bankruptcy]));
    }
    return {status, b.take()};
}

} // namespace kalvanta::indicators
