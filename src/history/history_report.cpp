#include "history_report.h"

#include <algorithm>
#include <exception>
#include <set>

#include "history/history_figures.h"
#include "history/history_lines.h"
#include "history/history_text.h"
#include "indicators/batch.h"
#include "inputs/json_loader.h"

namespace kalvanta::history {

namespace {

// How the report names and prints each ratio, and its formula in line codes.
struct RatioText {
    std::string_view column;
    const char* label;
    Print print;
    const char* formula;
};

constexpr RatioText kRatioTexts[] = {
    {"current_ratio", "Коэффициент текущей ликвидности", Print::Ratio2, "1200 / 1500"},
    {"quick_ratio", "Коэффициент быстрой ликвидности", Print::Ratio2, "(1230 + 1240 + 1250) / 1500"},
    {"absolute_liquidity", "Коэффициент абсолютной ликвидности", Print::Ratio2, "(1240 + 1250) / 1500"},
    {"autonomy", "Коэффициент автономии", Print::Ratio2, "1300 / 1600"},
    {"debt_to_equity", "Соотношение заемных и собственных средств", Print::Ratio2, "(1400 + 1500) / 1300"},
    {"own_working_capital", "Собственные оборотные средства", Print::Amount, "1300 − 1100"},
    {"own_working_capital_ratio", "Обеспеченность собственными оборотными средствами", Print::Ratio2,
     "(1300 − 1100) / 1200"},
    {"roa", "Рентабельность активов, %", Print::Percent1, "2400 / ср.(1600) × 100"},
    {"roe", "Рентабельность собственного капитала, %", Print::Percent1, "2400 / ср.(1300) × 100"},
    {"return_on_sales", "Рентабельность продаж, %", Print::Percent1, "2200 / 2110 × 100"},
    {"net_margin", "Чистая рентабельность продаж, %", Print::Percent1, "2400 / 2110 × 100"},
    {"asset_turnover", "Оборачиваемость активов, раз", Print::Ratio2, "2110 / ср.(1600)"},
    {"receivables_days", "Оборот дебиторской задолженности, дней", Print::Ratio2, "ср.(1230) / 2110 × 365"},
    {"inventory_days", "Оборот запасов, дней", Print::Ratio2, "ср.(1210) / 2120 × 365"},
    {"payables_days", "Оборот кредиторской задолженности, дней", Print::Ratio2, "ср.(1520) / 2120 × 365"},
    {"interest_coverage", "Покрытие процентов к уплате", Print::Ratio2, "(2300 + 2330) / 2330"},
};

const RatioText* ratioText(std::string_view column)
{
    for (const RatioText& r : kRatioTexts)
        if (r.column == column)
            return &r;
    return nullptr;
}

std::vector<int> yearsWith(const CompanyHistory& h, bool balance)
{
    std::vector<int> years;
    for (const auto& [year, y] : h.years)
        if (balance ? y.hasBalance : y.hasFlows)
            years.push_back(year);
    return years;
}

std::string yearsTitle(const std::vector<int>& years)
{
    if (years.empty())
        return "Анализ финансового состояния";
    if (years.size() == 1)
        return "Анализ финансового состояния за " + std::to_string(years.front()) + " год";
    return "Анализ финансового состояния за " + std::to_string(years.front()) + "–" + std::to_string(years.back()) +
           " годы";
}

Figure magnitude(const Figure& f) { return maxOf(f, -f); }

// The structure and dynamics of one statement, as the report prints it.
void appendStructure(std::vector<std::string>& out, const CompanyHistory& h, bool balance, const std::string& sep)
{
    out.push_back(balance ? "Структура и динамика баланса" : "Структура и динамика отчета о финансовых результатах");
    out.push_back(" ");
    const HistorySection section = structureSection(h, balance);
    for (const HistoryTableData& table : section.tables)
        appendYearTable(out, table, sep);
    if (!section.remark.empty()) {
        out.push_back(section.remark);
        out.push_back(" ");
    }
}

void appendRatios(std::vector<std::string>& out, const CompanyHistory& h, const std::vector<int>& years,
                  const std::string& sep)
{
    out.push_back("Финансовые коэффициенты");
    out.push_back(" ");
    appendYearTable(out, ratioTable(h, years), sep);
}

void appendLegend(std::vector<std::string>& out)
{
    out.push_back("Формулы коэффициентов (коды строк форм; баланс на 31 декабря года, ср.(X) — среднее значения "
                  "строки X на 31 декабря года и предыдущего):");
    for (const RatioText& r : kRatioTexts)
        out.push_back("  " + std::string(r.label) + " = " + r.formula);
    out.push_back("Не определено: делитель равен нулю, или нет строки либо года, которых требует формула.");
    out.push_back(" ");
}

} // namespace

std::vector<int> historyYears(const CompanyHistory& h)
{
    std::vector<int> years;
    for (const auto& [year, y] : h.years)
        years.push_back(year);
    return years;
}

// Values, shares of the total, the change against the year before in the
// unit and in per cent.
HistorySection structureSection(const CompanyHistory& h, bool balance)
{
    HistorySection section;
    const std::vector<int> years = yearsWith(h, balance);
    const std::string unit = unitName(h.unitCode);
    if (years.empty()) {
        section.remark = balance ? "Баланса в истории нет." : "Отчета о финансовых результатах в истории нет.";
        return section;
    }
    std::set<int> present;
    for (int year : years) {
        const HistoryYear& y = h.years.at(year);
        for (const auto& [code, v] : balance ? y.balance : y.flows)
            if (code < 4000)
                present.insert(code);
    }
    const std::vector<int> codes = inFormOrder(std::vector<int>(present.begin(), present.end()));
    // The simplified forms' wording where every year of the table is simplified.
    const bool simplified =
        std::all_of(years.begin(), years.end(), [&](int year) { return h.years.at(year).simplified; });
    const auto label = [&](int code) { return lineLabel(code, simplified); };
    const int totalLine = balance ? 1600 : 2110;
    const auto figure = [&](const YearView& v, int code) { return balance ? v.balance(code) : v.flow(code); };
    const auto previous = [&](const YearView& v, int code) {
        const YearView p = v.previousYear();
        return balance ? p.balance(code) : p.flow(code);
    };

    const std::vector<int> changeYears(years.begin() + 1, years.end());
    HistoryTableData values{balance ? "Баланс на 31 декабря, " + unit : "Отчет о финансовых результатах за год, " + unit,
                            years, {}};
    HistoryTableData shares{balance ? "Доля в итоге баланса (строка 1600), %" : "Доля в выручке (строка 2110), %",
                            years, {}};
    HistoryTableData changes{"Изменение к предыдущему году, " + unit, changeYears, {}};
    HistoryTableData changePercents{"Изменение к предыдущему году, %", changeYears, {}};
    for (int code : codes) {
        TableRow value{label(code), {}, Print::Amount, {}};
        TableRow share{label(code), {}, Print::Percent1, {}};
        TableRow change{label(code), {}, Print::Amount, {}};
        TableRow changePercent{label(code), {}, Print::Percent1, {}};
        for (int year : years) {
            const YearView v(h, year);
            value.cells.push_back(figure(v, code));
            share.cells.push_back(figure(v, code) / figure(v, totalLine));
        }
        for (int year : changeYears) {
            const YearView v(h, year);
            const Figure delta = figure(v, code) - previous(v, code);
            change.cells.push_back(delta);
            // Against the previous value's magnitude, so a loss that shrinks is a rise.
            changePercent.cells.push_back(delta / magnitude(previous(v, code)));
        }
        values.rows.push_back(std::move(value));
        shares.rows.push_back(std::move(share));
        changes.rows.push_back(std::move(change));
        changePercents.rows.push_back(std::move(changePercent));
    }
    section.tables.push_back(std::move(values));
    section.tables.push_back(std::move(shares));
    if (changeYears.empty()) {
        if (balance)
            section.remark = "Изменения не рассчитываются: в истории один баланс — на 31.12." +
                             std::to_string(years.front()) +
                             "; для изменений и средних величин (рентабельность, оборачиваемость) нужен баланс на "
                             "предыдущую дату.";
        else
            section.remark = "Изменения не рассчитываются: в истории один отчет о финансовых результатах — за " +
                             std::to_string(years.front()) + " год.";
        return section;
    }
    section.tables.push_back(std::move(changes));
    section.tables.push_back(std::move(changePercents));
    return section;
}

HistoryTableData ratioTable(const CompanyHistory& h, const std::vector<int>& years)
{
    HistoryTableData table{"Коэффициенты по годам", years, {}};
    std::vector<TableRow>& rows = table.rows;
    for (std::size_t i = 0; i < years.size(); ++i) {
        const std::vector<NamedFigure> figures = ratioFigures(YearView(h, years[i]));
        if (rows.empty())
            for (const NamedFigure& f : figures) {
                const RatioText* t = ratioText(f.column);
                std::string label = t ? t->label : std::string(f.column);
                if (t && t->print == Print::Amount)
                    label += ", " + unitName(h.unitCode);
                rows.push_back(TableRow{label, {}, t ? t->print : Print::Ratio2, {}});
            }
        for (std::size_t k = 0; k < figures.size() && k < rows.size(); ++k)
            rows[k].cells.push_back(figures[k].figure);
    }
    return table;
}

HistoryRun readHistories(const std::vector<std::string>& paths,
                         const std::function<void(std::size_t, std::size_t)>& progress)
{
    HistoryRun run;
    const indicators::InputFileList inputs = indicators::collectInputFiles(paths);
    run.refused = inputs.problems;
    std::vector<StatementFile> files;
    files.reserve(inputs.files.size());
    for (std::size_t i = 0; i < inputs.files.size(); ++i) {
        try {
            files.push_back(readStatementFile(inputs.files[i]));
        } catch (const std::exception& e) {
            // InputError names the file and the place in it.
            run.refused.push_back(e.what());
        }
        if (progress)
            progress(i + 1, inputs.files.size());
    }
    run.histories = buildHistories(files);
    return run;
}

std::vector<std::string> historyReportLines(const CompanyHistory& h, const std::string& sep)
{
    std::vector<std::string> out;
    const std::vector<int> years = historyYears(h);
    out.push_back(yearsTitle(years));
    out.push_back("Организация: " + (h.organisation.empty() ? std::string("не названа") : h.organisation));
    out.push_back("ИНН: " + (h.taxNumber.empty() ? std::string("не указан") : h.taxNumber));
    out.push_back("Единица измерения: " + unitName(h.unitCode));
    out.push_back(" ");
    if (years.empty()) {
        out.push_back("В прочитанных файлах нет показателей этой организации.");
        out.push_back(" ");
    } else {
        appendStructure(out, h, true, sep);
        appendStructure(out, h, false, sep);
        appendRatios(out, h, years, sep);
        appendVerdictSections(out, h, years, sep);
        appendLegend(out);
        appendVerdictLegend(out);
    }
    if (!h.notes.empty()) {
        out.push_back("Примечания:");
        for (const std::string& n : h.notes)
            out.push_back("- " + n);
        out.push_back(" ");
    }
    return out;
}

} // namespace kalvanta::history
