// The history's columns of the models and tests, and their sections of the
// report: values per year, zones in words, the last year's conclusions and
// the legend a user checks each figure by.
#include "history_verdicts.h"

#include <algorithm>

#include "history_figures.h"
#include "history_text.h"

namespace kalvanta::history {

namespace {

constexpr std::size_t kZoneCellWidth = 16;
constexpr std::size_t kMinLabelWidth = 30;

const Figure& column(const std::vector<NamedFigure>& figures, std::string_view name)
{
    return std::find_if(figures.begin(), figures.end(), [&](const NamedFigure& f) { return f.column == name; })
        ->figure;
}

std::string yearWord(int year) { return std::to_string(year) + " году"; }

// The risk of each model per year in words.
HistoryTableData zoneTable(const CompanyHistory& history, const std::vector<int>& years)
{
    HistoryTableData table{"Риск банкротства по моделям", years, {}};
    for (const ModelZones& m : modelZoneTable())
        table.rows.push_back({std::string(m.title), {}, Print::Amount, {}});
    for (int y : years) {
        const std::vector<ModelResult> results = modelResults(YearView(history, y));
        for (std::size_t m = 0; m < results.size() && m < table.rows.size(); ++m)
            table.rows[m].words.push_back(results[m].zoneText);
    }
    return table;
}

// Laid out as the year tables, with wider cells for the words.
void appendZoneTable(std::vector<std::string>& out, const HistoryTableData& table)
{
    std::size_t labelWidth = kMinLabelWidth;
    for (const TableRow& r : table.rows)
        labelWidth = std::max(labelWidth, textWidth(r.label) + 2);

    out.push_back(table.title);
    std::string header = padRight("Модель", labelWidth);
    for (int y : table.years)
        header += padLeft(std::to_string(y), kZoneCellWidth);
    out.push_back(header);
    out.push_back(std::string(labelWidth + kZoneCellWidth * table.years.size(), '-'));
    for (const TableRow& r : table.rows) {
        std::string line = padRight(r.label, labelWidth);
        for (const std::string& word : r.words)
            line += padLeft(word, kZoneCellWidth);
        out.push_back(line);
    }
    out.push_back(" ");
}

HistoryTableData modelTable(const CompanyHistory& history, const std::vector<int>& years)
{
    std::vector<std::vector<NamedFigure>> perYear;
    for (int y : years)
        perYear.push_back(verdictFigures(YearView(history, y)));
    auto row = [&](std::string label, std::string_view name, Print print) {
        TableRow r{std::move(label), {}, print, {}};
        for (const auto& figures : perYear)
            r.cells.push_back(column(figures, name));
        return r;
    };

    HistoryTableData table{"Модели прогнозирования банкротства", years, {}};
    std::vector<TableRow>& rows = table.rows;
    for (const ModelZones& m : modelZoneTable()) {
        if (m.againstNorm) {
            rows.push_back(row(std::string(m.title) + ", фактический", "zaitseva_actual", Print::Model3));
            rows.push_back(row(std::string(m.title) + ", нормативный", "zaitseva_norm", Print::Model3));
        } else {
            rows.push_back(row(std::string(m.title), m.column, Print::Model3));
        }
    }
    rows.push_back(row("Рассчитано моделей", "models_computed", Print::Amount));
    rows.push_back(row("Из них с высоким риском", "models_high_risk", Print::Amount));
    return table;
}

// How many models of the last year are defined, and how many of them say high risk.
std::string modelsSummary(const HistoryTableData& models, const std::string& sep)
{
    const std::size_t n = models.rows.size();
    const double computed = *models.rows[n - 2].cells.back().value;
    const double high = *models.rows[n - 1].cells.back().value;
    const std::string when = "По данным " + std::to_string(models.years.back()) + " года ";
    if (computed == 0)
        return when + "ни одна модель не определена.";
    return when + printFigure(Figure::of(high), Print::Amount, sep) + " из " +
           printFigure(Figure::of(computed), Print::Amount, sep) + " моделей указывают на высокий риск банкротства.";
}

void appendModels(std::vector<std::string>& out, const CompanyHistory& history, const std::vector<int>& years,
                  const std::string& sep)
{
    const HistoryTableData table = modelTable(history, years);
    appendYearTable(out, table, sep);
    appendZoneTable(out, zoneTable(history, years));

    out.push_back(modelsSummary(table, sep));
    out.push_back(" ");
    out.push_back("Источники моделей:");
    for (const ModelZones& m : modelZoneTable())
        out.push_back("  " + std::string(m.title) + " — " + std::string(m.source));
    out.push_back(" ");
}

// Row i of the table gets the tests' column columns[i] of each of its years.
void fillFromTests(HistoryTableData& table, const CompanyHistory& history, std::vector<std::string_view> columns)
{
    for (int y : table.years) {
        const std::vector<NamedFigure> f = testFigures(YearView(history, y));
        for (std::size_t i = 0; i < table.rows.size() && i < columns.size(); ++i)
            table.rows[i].cells.push_back(column(f, columns[i]));
    }
}

HistoryTableData netAssetsTable(const CompanyHistory& history, const std::vector<int>& years)
{
    const std::string unit = unitName(history.unitCode);
    HistoryTableData table{"Чистые активы",
                           years,
                           {{"Чистые активы, " + unit, {}, Print::Amount, {}},
                            {"Чистые активы минус уставный капитал, " + unit, {}, Print::Amount, {}}}};
    fillFromTests(table, history, {"net_assets", "net_assets_less_charter"});
    return table;
}

void appendNetAssets(std::vector<std::string>& out, const CompanyHistory& history, const std::vector<int>& years,
                     const std::string& sep)
{
    const std::string unit = unitName(history.unitCode);
    const HistoryTableData table = netAssetsTable(history, years);
    const std::vector<TableRow>& rows = table.rows;
    appendYearTable(out, table, sep);
    // appendYearTable ends with a blank line; the conclusions belong to the table.
    out.pop_back();

    const int last = years.back();
    const YearView y(history, last);
    const Figure& net = rows[0].cells.back();
    const Figure& less = rows[1].cells.back();
    if (!net.defined()) {
        out.push_back("Чистые активы на 31.12." + std::to_string(last) + " не определены: " + net.reason() + ".");
    } else {
        out.push_back("Чистые активы на 31.12." + std::to_string(last) + ": " +
                      printFigure(net, Print::Amount, sep) + " " + unit + ", уставный капитал (строка 1310): " +
                      printFigure(y.balance(1310), Print::Amount, sep) + " " + unit +
                      (unit.ends_with('.') ? "" : "."));
        if (*net.value < 0)
            out.push_back("Чистые активы отрицательны и ниже уставного капитала.");
        else if (*less.value < 0)
            out.push_back("Чистые активы ниже уставного капитала.");
        else
            out.push_back("Чистые активы не ниже уставного капитала.");
    }
    out.push_back("Чистые активы рассчитаны по Порядку, утвержденному приказом Минфина России № 84н от 28.08.2014, "
                  "по строкам баланса 1600 − 1400 − 1500 + 1530, без корректировок, для которых нужны пояснения к "
                  "отчетности (задолженность участников по взносам в уставный капитал, доходы будущих периодов, не "
                  "связанные с государственной помощью и безвозмездным получением имущества).");
    out.push_back(" ");
}

HistoryTableData structureTestTable(const CompanyHistory& history, const std::vector<int>& years)
{
    HistoryTableData table{"Неудовлетворительная структура баланса",
                           years,
                           {
                               {"Коэффициент текущей ликвидности", {}, Print::Ratio2, {}},
                               {"Коэффициент обеспеченности собственными средствами", {}, Print::Ratio2, {}},
                               {"Структура неудовлетворительна (1 — да, 0 — нет)", {}, Print::Amount, {}},
                               {"Коэффициент восстановления платежеспособности", {}, Print::Ratio2, {}},
                               {"Коэффициент утраты платежеспособности", {}, Print::Ratio2, {}},
                           }};
    fillFromTests(table, history, {"ffo_current_ratio", "ffo_own_funds_ratio", "ffo_unsatisfactory", "ffo_restore",
                                   "ffo_loss"});
    return table;
}

void appendStructureTest(std::vector<std::string>& out, const CompanyHistory& history, const std::vector<int>& years,
                         const std::string& sep)
{
    const HistoryTableData table = structureTestTable(history, years);
    const std::vector<TableRow>& rows = table.rows;
    appendYearTable(out, table, sep);
    out.pop_back();

    const std::string when = "В " + yearWord(years.back());
    const Figure& current = rows[0].cells.back();
    const Figure& ownFunds = rows[1].cells.back();
    const Figure& bad = rows[2].cells.back();
    auto ratio = [&](const Figure& f) { return printFigure(f, Print::Ratio2, sep); };
    if (!bad.defined()) {
        out.push_back(when + " структура баланса не определена: " + bad.reason() + ".");
    } else if (*bad.value == 1) {
        std::string why;
        if (current.defined() && *current.value < 2)
            why = "коэффициент текущей ликвидности " + ratio(current) + " меньше 2";
        if (ownFunds.defined() && *ownFunds.value < 0.1)
            why += (why.empty() ? "" : "; ") + std::string("коэффициент обеспеченности собственными средствами ") +
                   ratio(ownFunds) + " меньше 0" + sep + "1";
        out.push_back(when + " структура баланса неудовлетворительна: " + why + ".");
        const Figure& restore = rows[3].cells.back();
        if (!restore.defined())
            out.push_back("Коэффициент восстановления платежеспособности не определен: " + restore.reason() + ".");
        else if (*restore.value > 1)
            out.push_back("Коэффициент восстановления платежеспособности " + ratio(restore) +
                          " больше 1: платежеспособность может быть восстановлена в течение 6 месяцев.");
        else
            out.push_back("Коэффициент восстановления платежеспособности " + ratio(restore) +
                          " не больше 1: в течение 6 месяцев платежеспособность не восстановится.");
    } else {
        out.push_back(when + " структура баланса удовлетворительна.");
        const Figure& loss = rows[4].cells.back();
        if (!loss.defined())
            out.push_back("Коэффициент утраты платежеспособности не определен: " + loss.reason() + ".");
        else if (*loss.value < 1)
            out.push_back("Коэффициент утраты платежеспособности " + ratio(loss) +
                          " меньше 1: платежеспособность может быть утрачена в течение 3 месяцев.");
        else
            out.push_back("Коэффициент утраты платежеспособности " + ratio(loss) +
                          " не меньше 1: утраты платежеспособности в течение 3 месяцев не ожидается.");
    }
    out.push_back("Признаки неудовлетворительной структуры баланса взяты из Методических положений 1994 года "
                  "(распоряжение ФУДН № 31-р от 12.08.1994), которые утратили силу; тест приводится как "
                  "сложившаяся практика.");
    out.push_back(" ");
}

HistoryTableData creditTable(const CompanyHistory& history, const std::vector<int>& years)
{
    static constexpr std::string_view kLabels[] = {"K1 = (1240 + 1250) / 1500", "K2 = (1230 + 1240 + 1250) / 1500",
                                                   "K3 = 1200 / 1500", "K4 = 1300 / (1400 + 1500)",
                                                   "K5 = 2200 / 2110"};
    HistoryTableData table{"Класс кредитоспособности заемщика", years, {}};
    std::vector<TableRow>& rows = table.rows;
    for (std::string_view label : kLabels)
        rows.push_back({std::string(label), {}, Print::Ratio2, {}});
    for (int i = 1; i <= 5; ++i)
        rows.push_back({"Категория K" + std::to_string(i), {}, Print::Amount, {}});
    rows.push_back({"Сумма баллов", {}, Print::Ratio2, {}});
    rows.push_back({"Класс кредитоспособности", {}, Print::Amount, {}});
    for (int y : years) {
        const CreditClass c = creditClass(YearView(history, y));
        for (std::size_t i = 0; i < 5; ++i) {
            rows[i].cells.push_back(c.k[i]);
            rows[5 + i].cells.push_back(c.category[i] ? Figure::of(c.category[i]) : c.k[i]);
        }
        rows[10].cells.push_back(c.score);
        rows[11].cells.push_back(c.creditClass);
    }
    return table;
}

void appendCreditClass(std::vector<std::string>& out, const CompanyHistory& history, const std::vector<int>& years,
                       const std::string& sep)
{
    appendYearTable(out, creditTable(history, years), sep);
    out.pop_back();

    const CreditClass c = creditClass(YearView(history, years.back()));
    const std::string when = "Класс кредитоспособности в " + yearWord(years.back());
    if (!c.creditClass.defined()) {
        out.push_back(when + " не определен: " + c.creditClass.reason() + ".");
    } else {
        std::string sum;
        for (std::size_t i = 0; i < 5; ++i)
            sum += (i ? " + " : "") + roundedText(kCreditWeights[i], 2, sep) + " × " + std::to_string(c.category[i]);
        out.push_back(when + ": " + printFigure(c.creditClass, Print::Amount, sep) + " (сумма баллов " +
                      printFigure(c.score, Print::Ratio2, sep) + " = " + sum + ").");
    }
    out.push_back(c.trade ? "Пороги K4 для торговли (ОКВЭД 45–47): 0" + sep + "6 и 0" + sep + "4."
                          : "Пороги K4: 1 и 0" + sep + "7.");
    out.push_back(" ");
}

HistoryTableData duPontTable(const CompanyHistory& history, const std::vector<int>& years)
{
    HistoryTableData table{"Факторы рентабельности собственного капитала (DuPont)",
                           years,
                           {
                               {"Чистая рентабельность продаж, %", {}, Print::Percent1, {}},
                               {"Оборачиваемость активов", {}, Print::Ratio2, {}},
                               {"Мультипликатор капитала", {}, Print::Ratio2, {}},
                               {"Рентабельность собственного капитала, %", {}, Print::Percent1, {}},
                           }};
    fillFromTests(table, history, {"dupont_net_margin", "dupont_turnover", "dupont_multiplier", "dupont_roe"});
    return table;
}

void appendDuPont(std::vector<std::string>& out, const CompanyHistory& history, const std::vector<int>& years,
                  const std::string& sep)
{
    appendYearTable(out, duPontTable(history, years), sep);
}

std::vector<std::string> legendLines()
{
    std::vector<std::string> lines{
        "Формулы моделей прогнозирования банкротства и тестов:",
        "  Числа в формулах — коды строк бухгалтерского баланса (1xxx, на 31.12 года) и отчета о финансовых "
        "результатах (2xxx, за год); ср.(X) = (X на 31.12 года + X на 31.12 предыдущего года) / 2; (t−1) — "
        "значение предыдущего года. Граница зоны относится к зоне выше нее.",
    };
    for (const ModelZones& m : modelZoneTable()) {
        lines.push_back("  " + std::string(m.title) + ": " + std::string(m.formula));
        lines.push_back("    зоны: " + std::string(m.zonesText));
    }
    const char* tests[] = {
        "Чистые активы = 1600 − 1400 − 1500 + 1530; чистые активы минус уставный капитал = чистые активы − 1310",
        "Структура баланса: коэффициент текущей ликвидности Ктл = 1200 / (1500 − 1530 − 1540), норма — 2 и больше; "
        "коэффициент обеспеченности собственными средствами Косс = (1300 − 1100) / 1200, норма — 0,1 и больше; "
        "структура неудовлетворительна, если Ктл < 2 или Косс < 0,1",
        "Коэффициент восстановления платежеспособности (при неудовлетворительной структуре) = "
        "(Ктл + 6 / 12 × (Ктл − Ктл(t−1))) / 2; больше 1 — платежеспособность может быть восстановлена за 6 месяцев",
        "Коэффициент утраты платежеспособности (при удовлетворительной структуре) = "
        "(Ктл + 3 / 12 × (Ктл − Ктл(t−1))) / 2; меньше 1 — платежеспособность может быть утрачена за 3 месяца",
        "Кредитоспособность: K1 = (1240 + 1250) / 1500 — 0,2 и больше: категория 1, от 0,15: 2, меньше: 3; "
        "K2 = (1230 + 1240 + 1250) / 1500 — 0,8: 1, от 0,5: 2, меньше: 3; K3 = 1200 / 1500 — 2: 1, от 1: 2, "
        "меньше: 3; K4 = 1300 / (1400 + 1500) — 1: 1, от 0,7: 2, меньше: 3 (торговля, ОКВЭД 45–47: 0,6 и 0,4); "
        "K5 = 2200 / 2110 — 0,15: 1, больше 0: 2, 0 и меньше: 3",
        "Сумма баллов = 0,05 × категория K1 + 0,10 × K2 + 0,40 × K3 + 0,20 × K4 + 0,25 × K5; класс 1 — сумма не "
        "больше 1,25, класс 2 — не больше 2,35, иначе класс 3; при K5 категории 2 класс не лучше второго, при K5 "
        "категории 3 — третий",
        "DuPont: рентабельность собственного капитала = 2400 / 2110 × 2110 / ср.(1600) × ср.(1600) / ср.(1300)",
    };
    for (const char* t : tests)
        lines.push_back("  " + std::string(t));
    return lines;
}

} // namespace

std::vector<NamedFigure> verdictFigures(const YearView& year)
{
    std::vector<NamedFigure> out = modelFigures(year);
    int computed = 0;
    int high = 0;
    for (const ModelResult& r : modelResults(out)) {
        computed += r.zone >= 0;
        high += r.highRisk;
    }
    out.push_back({"models_computed", Figure::of(computed)});
    out.push_back({"models_high_risk", Figure::of(high)});
    const std::vector<NamedFigure> tests = testFigures(year);
    out.insert(out.end(), tests.begin(), tests.end());
    return out;
}

std::string modelsSummary(const CompanyHistory& history, const std::vector<int>& years, const std::string& sep)
{
    return years.empty() ? std::string() : modelsSummary(modelTable(history, years), sep);
}

std::vector<HistoryTableData> verdictTables(const CompanyHistory& history, const std::vector<int>& years)
{
    if (years.empty())
        return {};
    return {modelTable(history, years),      zoneTable(history, years),   netAssetsTable(history, years),
            structureTestTable(history, years), creditTable(history, years), duPontTable(history, years)};
}

void appendVerdictSections(std::vector<std::string>& out, const CompanyHistory& history,
                           const std::vector<int>& years, const std::string& decimalSeparator)
{
    if (years.empty())
        return;
    out.push_back("Прогноз банкротства и платежеспособность");
    out.push_back(" ");
    appendModels(out, history, years, decimalSeparator);
    appendNetAssets(out, history, years, decimalSeparator);
    appendStructureTest(out, history, years, decimalSeparator);
    appendCreditClass(out, history, years, decimalSeparator);
    appendDuPont(out, history, years, decimalSeparator);
}

void appendVerdictLegend(std::vector<std::string>& out)
{
    const std::vector<std::string> lines = legendLines();
    out.insert(out.end(), lines.begin(), lines.end());
    out.push_back(" ");
}

} // namespace kalvanta::history
