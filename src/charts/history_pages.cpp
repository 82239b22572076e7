#include "history_pages.h"

#include <cmath>
#include <limits>
#include <map>
#include <optional>

#include "history/history_figures.h"
#include "history/history_text.h"
#include "history/history_verdicts.h"

namespace kalvanta::charts {

namespace {

using history::Figure;
using history::Print;

const QString kNoHistory = QStringLiteral(
    "Анализ за несколько лет еще не выполнен: диаграммы строятся по истории компании "
    "(Файл — Анализ за несколько лет...).");

const QString kNoYears = QStringLiteral("В истории компании нет показателей ни за один год.");

// Why the charts of this history are empty; empty when there is something to draw.
QString reasonEmpty(const history::CompanyHistory* h)
{
    if (!h)
        return kNoHistory;
    return h->years.empty() ? kNoYears : QString();
}

const QColor kColours[] = {QColor(40, 90, 170), QColor(230, 140, 40), QColor(40, 140, 60), QColor(120, 80, 160)};

QString unitName(int code)
{
    switch (code) {
    case 383: return QStringLiteral("руб.");
    case 385: return QStringLiteral("млн руб.");
    default: return QStringLiteral("тыс. руб.");
    }
}

// One year's figures by their column names.
using YearFigures = std::map<std::string, Figure, std::less<>>;

struct Years {
    std::vector<int> years;
    std::vector<YearFigures> figures; // one per year
};

Years figuresByYear(const history::CompanyHistory& h,
                    std::vector<history::NamedFigure> (*figures)(const history::YearView&))
{
    Years out;
    for (const auto& entry : h.years) {
        out.years.push_back(entry.first);
        YearFigures one;
        for (history::NamedFigure& f : figures(history::YearView(h, entry.first)))
            one.emplace(std::string(f.column), std::move(f.figure));
        out.figures.push_back(std::move(one));
    }
    return out;
}

QStringList yearNames(const std::vector<int>& years)
{
    QStringList names;
    for (int y : years)
        names << QString::number(y);
    return names;
}

// A line of one column over the years: the value drawn (per cent for
// Percent1, as the report prints it), the printed text, or "—" and why.
Series columnSeries(const Years& y, std::string_view column, const QString& name, Print print,
                    const QColor& colour, const RegionalSettings& regional)
{
    Series s{name, {}, {}, colour};
    for (const YearFigures& year : y.figures) {
        const auto it = year.find(column);
        const Figure f = it == year.end() ? Figure::undefined(std::string(history::kZeroDivisorReason)) : it->second;
        if (!f.defined()) {
            s.values.push_back(std::numeric_limits<double>::quiet_NaN());
            s.labels << QStringLiteral("— (%1)").arg(QString::fromStdString(f.reason()));
            continue;
        }
        s.values.push_back(print == Print::Percent1 ? *f.value * 100 : *f.value);
        s.labels << QString::fromStdString(history::printFigure(f, print, regional.decimalSeparator));
    }
    return s;
}

Chart emptyChart(const QString& objectName, const QString& title, const QString& reason)
{
    Chart chart;
    chart.objectName = objectName;
    chart.title = title;
    chart.emptyReason = reason;
    return chart;
}

struct RatioLine {
    const char* column;
    const char* name;
    std::optional<Band> norm;
};

struct RatioChart {
    const char* objectName;
    const char* title;
    const char* valueAxis;
    Print print;
    std::vector<RatioLine> lines;
};

// A band in the colour of its line, so that several norms on one chart are
// told apart; named with the line it belongs to.
Band normOf(const QString& line, const QString& norm, double low, double high, bool openAbove)
{
    return {QStringLiteral("%1: норма %2").arg(line, norm), low, high, false, openAbove, QColor()};
}

std::vector<RatioChart> ratioCharts(const RegionalSettings& r)
{
    auto num = [&](double v) { return formatValue(v, r); };
    const QString current = QStringLiteral("Коэффициент текущей ликвидности");
    const QString quick = QStringLiteral("Коэффициент быстрой ликвидности");
    const QString absolute = QStringLiteral("Коэффициент абсолютной ликвидности");
    const QString autonomy = QStringLiteral("Коэффициент автономии");
    const QString debt = QStringLiteral("Соотношение заемных и собственных средств");
    // The names of the history's report; the norms of the fixed report's liquidity and stability pages.
    return {
        {"historyLiquidity",
         "Коэффициенты ликвидности",
         "Коэффициент",
         Print::Ratio2,
         {{"current_ratio", "Коэффициент текущей ликвидности", normOf(current, QStringLiteral("≥ %1").arg(num(2)), 2, 2, true)},
          {"quick_ratio", "Коэффициент быстрой ликвидности",
           normOf(quick, QStringLiteral("%1–%2").arg(num(0.6), num(0.7)), 0.6, 0.7, false)},
          {"absolute_liquidity", "Коэффициент абсолютной ликвидности",
           normOf(absolute, QStringLiteral("%1–%2").arg(num(0.2), num(0.25)), 0.2, 0.25, false)}}},
        {"historyStability",
         "Финансовая устойчивость",
         "Коэффициент",
         Print::Ratio2,
         {{"autonomy", "Коэффициент автономии",
           normOf(autonomy, QStringLiteral("≥ %1").arg(num(0.5)), 0.5, 0.5, true)},
          {"debt_to_equity", "Соотношение заемных и собственных средств",
           normOf(debt, QStringLiteral("%1–%2").arg(num(0.25), num(1)), 0.25, 1, false)},
          {"own_working_capital_ratio", "Обеспеченность собственными оборотными средствами", std::nullopt}}},
        {"historyProfitability",
         "Рентабельность",
         "Процентов",
         Print::Percent1,
         {{"roa", "Рентабельность активов", std::nullopt},
          {"roe", "Рентабельность собственного капитала", std::nullopt},
          {"return_on_sales", "Рентабельность продаж", std::nullopt},
          {"net_margin", "Чистая рентабельность продаж", std::nullopt}}},
        {"historyTurnover",
         "Оборачиваемость и покрытие процентов",
         "Раз",
         Print::Ratio2,
         {{"asset_turnover", "Оборачиваемость активов", std::nullopt},
          {"interest_coverage", "Покрытие процентов к уплате", std::nullopt}}},
        {"historyDays",
         "Сроки оборота",
         "Дней",
         Print::Ratio2,
         {{"receivables_days", "Оборот дебиторской задолженности", std::nullopt},
          {"inventory_days", "Оборот запасов", std::nullopt},
          {"payables_days", "Оборот кредиторской задолженности", std::nullopt}}},
        {"historyOwnWorkingCapital",
         "Собственные оборотные средства",
         "Сумма",
         Print::Amount,
         {{"own_working_capital", "Собственные оборотные средства", std::nullopt}}},
    };
}

Page ratiosPage(const history::CompanyHistory* h, const RegionalSettings& regional)
{
    Page page{QStringLiteral("historyRatiosPage"), QStringLiteral("&8 По годам"), {}, 3};
    const Years y = h ? figuresByYear(*h, &history::ratioFigures) : Years{};
    for (const RatioChart& spec : ratioCharts(regional)) {
        const QString title = QString::fromUtf8(spec.title);
        if (const QString why = reasonEmpty(h); !why.isEmpty()) {
            page.charts.push_back(emptyChart(QString::fromUtf8(spec.objectName), title, why));
            continue;
        }
        Chart chart;
        chart.objectName = QString::fromUtf8(spec.objectName);
        chart.title = title;
        chart.kind = Chart::Kind::Lines;
        chart.categoryAxis = QStringLiteral("Год");
        chart.valueAxis = QString::fromUtf8(spec.valueAxis);
        if (spec.print == Print::Amount)
            chart.valueAxis += QStringLiteral(", ") + unitName(h->unitCode);
        chart.categories = yearNames(y.years);
        for (std::size_t i = 0; i < spec.lines.size(); ++i) {
            const RatioLine& line = spec.lines[i];
            const QColor colour = kColours[i % std::size(kColours)];
            chart.series.push_back(
                columnSeries(y, line.column, QString::fromUtf8(line.name), spec.print, colour, regional));
            if (line.norm) {
                Band band = *line.norm;
                band.colour = QColor(colour.red(), colour.green(), colour.blue(), 45);
                chart.bands.push_back(band);
            }
        }
        page.charts.push_back(std::move(chart));
    }
    return page;
}

// The zones of a model as bands, from the highest risk below to the lowest above.
std::vector<Band> zoneBands(const history::ModelZones& model, const RegionalSettings& regional)
{
    auto num = [&](double v) { return formatValue(v, regional); };
    std::vector<Band> bands;
    const std::size_t n = model.bounds.size();
    for (std::size_t i = 0; i <= n && n > 0; ++i) {
        const QString word = QString::fromUtf8(model.zones[i].data(), qsizetype(model.zones[i].size()));
        Band b;
        b.openBelow = i == 0;
        b.openAbove = i == n;
        b.low = i == 0 ? model.bounds[0] : model.bounds[i - 1];
        b.high = i == n ? model.bounds[n - 1] : model.bounds[i];
        const QString range = b.openBelow   ? QStringLiteral("< %1").arg(num(b.high))
                              : b.openAbove ? QStringLiteral("≥ %1").arg(num(b.low))
                                            : QStringLiteral("%1–%2").arg(num(b.low), num(b.high));
        b.name = QStringLiteral("%1: риск %2").arg(range, word);
        // Red for the zones counted as high risk, green for a safe zone at an
        // end of the scale (the two-factor model's is below), amber between.
        b.colour = model.highRisk[i]     ? QColor(220, 60, 50, 55)
                   : i == 0 || i == n ? QColor(60, 170, 90, 55)
                                      : QColor(240, 190, 40, 60);
        bands.push_back(b);
    }
    return bands;
}

Page modelsPage(const history::CompanyHistory* h, const RegionalSettings& regional)
{
    Page page{QStringLiteral("historyModelsPage"), QStringLiteral("&9 Модели"), {}, 4};
    std::vector<int> years;
    std::vector<std::vector<history::ModelResult>> results; // per year, in the table's order
    // The values as the report's table prints them (Зайцева's actual value
    // even in a year without its norm); the zones from the models' results.
    std::vector<std::map<std::string_view, Figure>> values; // per year, by column
    if (h)
        for (const auto& entry : h->years) {
            const history::YearView view(*h, entry.first);
            years.push_back(entry.first);
            results.push_back(history::modelResults(view));
            std::map<std::string_view, Figure> one;
            for (history::NamedFigure& f : history::modelFigures(view))
                one.emplace(f.column, std::move(f.figure));
            values.push_back(std::move(one));
        }
    const std::vector<history::ModelZones>& table = history::modelZoneTable();
    for (std::size_t m = 0; m < table.size(); ++m) {
        const history::ModelZones& model = table[m];
        const QString objectName =
            QStringLiteral("historyModel_") + QString::fromUtf8(model.column.data(), qsizetype(model.column.size()));
        const QString title = QString::fromUtf8(model.title.data(), qsizetype(model.title.size()));
        if (const QString why = reasonEmpty(h); !why.isEmpty()) {
            page.charts.push_back(emptyChart(objectName, title, why));
            continue;
        }
        Chart chart;
        chart.objectName = objectName;
        chart.title = title;
        chart.kind = Chart::Kind::Lines;
        chart.categoryAxis = QStringLiteral("Год");
        chart.valueAxis = QStringLiteral("Значение");
        chart.categories = yearNames(years);
        Series value{model.againstNorm ? QStringLiteral("Фактическое значение") : title, {}, {}, kColours[0]};
        Series norm{QStringLiteral("Норматив"), {}, {}, kColours[1]};
        for (std::size_t y = 0; y < years.size(); ++y) {
            const history::ModelResult& r = results[y][m];
            const QString year = chart.categories[int(y)];
            const Figure& v = values[y].at(model.column);
            if (v.defined()) {
                value.values.push_back(*v.value);
                value.labels << QString::fromStdString(history::printFigure(v, Print::Model3, regional.decimalSeparator));
            } else {
                value.values.push_back(std::numeric_limits<double>::quiet_NaN());
                value.labels << QStringLiteral("— (%1)").arg(QString::fromStdString(v.reason()));
            }
            if (r.zone >= 0)
                chart.spoken << QStringLiteral("%1: риск %2").arg(year, QString::fromStdString(r.zoneText));
            if (model.againstNorm) {
                const Figure& f = values[y].at("zaitseva_norm");
                norm.values.push_back(f.defined() ? *f.value : std::numeric_limits<double>::quiet_NaN());
                norm.labels << (f.defined() ? QString::fromStdString(
                                                  history::printFigure(f, Print::Model3, regional.decimalSeparator))
                                            : QStringLiteral("— (%1)").arg(QString::fromStdString(f.reason())));
            }
        }
        chart.series.push_back(value);
        if (model.againstNorm)
            chart.series.push_back(norm);
        chart.bands = zoneBands(model, regional);
        page.charts.push_back(std::move(chart));
    }
    return page;
}

} // namespace

QString historyHeader(const history::CompanyHistory& h)
{
    QString text = QStringLiteral("История компании: %1")
                       .arg(h.organisation.empty() ? QStringLiteral("организация не названа")
                                                   : QString::fromStdString(h.organisation));
    if (!h.taxNumber.empty())
        text += QStringLiteral(", ИНН %1").arg(QString::fromStdString(h.taxNumber));
    if (!h.years.empty())
        text += QStringLiteral(", %1–%2 годы").arg(h.years.begin()->first).arg(h.years.rbegin()->first);
    return text + QLatin1Char('.');
}

std::vector<Page> historyPages(const history::CompanyHistory* history, const RegionalSettings& regional)
{
    return {ratiosPage(history, regional), modelsPage(history, regional)};
}

} // namespace kalvanta::charts
