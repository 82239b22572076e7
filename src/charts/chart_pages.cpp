#include "chart_pages.h"

#include "numeric/float_errors.h"
#include "numeric/number_format.h"

namespace kalvanta::charts {

namespace {

using State = ReportCoverage::State;

// The report's section titles, as the report heads them.
QString sectionTitle(int number)
{
    switch (number) {
    case section::StabilityType: return QStringLiteral("Трехкомпонентный показатель типа финансовой устойчивости");
    case section::RelativeStability: return QStringLiteral("Относительные показатели финансовой устойчивости");
    case section::LiquidityGroups:
        return QStringLiteral("Оценка величины и динамики ликвидности имущества предприятия");
    case section::LiquidityRatios: return QStringLiteral("Относительные коэффициенты ликвидности");
    case section::Profitability: return QStringLiteral("Анализ рентабельности");
    case section::SolvencyForecast: return QStringLiteral("Прогноз платежеспособности");
    case section::FinalRating: return QStringLiteral("Итоговый рейтинг финансового состояния");
    case section::BusinessActivity: return QStringLiteral("Показатели деловой активности");
    default: return QStringLiteral("раздел %1").arg(number);
    }
}

QString errorText(const ReportCoverage& run)
{
    return QString::fromStdString(withFullStop(run.error));
}

// Why a section has nothing to chart, or an empty string when it was written.
QString reasonNotCharted(const ReportCoverage& run, int number)
{
    const QString title = sectionTitle(number);
    switch (run.state(number)) {
    case State::Written: return {};
    case State::SwitchedOff:
        return QStringLiteral("Раздел «%1» отключен в параметрах расчета, поэтому его диаграммы нет.").arg(title);
    case State::Failed:
        return QStringLiteral("Раздел «%1» не рассчитан: на нем отчет прервала ошибка «%2» Исправьте исходные "
                              "данные и выполните расчет снова.")
            .arg(title, errorText(run));
    case State::NotReached: break;
    }
    for (int n = 1; n <= section::Count; ++n)
        if (run.state(n) == State::Failed)
            return QStringLiteral("Раздел «%1» не рассчитан: отчет прервала ошибка «%2» в разделе «%3».")
                .arg(title, errorText(run), sectionTitle(n));
    return QStringLiteral("Анализ еще не выполнен.");
}

QStringList dateNames(const ReportCoverage& run)
{
    QStringList names{QStringLiteral("Начало года"), QStringLiteral("Конец года")};
    if (run.twoYear)
        names << QStringLiteral("Конец 2-го года");
    return names;
}

QStringList yearNames(const ReportCoverage& run)
{
    QStringList names{QStringLiteral("1-й год")};
    if (run.twoYear)
        names << QStringLiteral("2-й год");
    return names;
}

struct Ctx {
    const AnalysisResults& r;
    const ReportCoverage& run;
    const RegionalSettings& regional;

    QString num(double v) const { return formatValue(v, regional); }

    Series byDate(const QString& name, const ByDate& values, const QColor& colour) const
    {
        Series s{name, {}, {}, colour};
        for (std::size_t d = 0; d < run.dateCount(); ++d) {
            s.values.push_back(values[d]);
            s.labels << num(values[d]);
        }
        return s;
    }
    Series byYear(const QString& name, const ByYear& values, const QColor& colour) const
    {
        Series s{name, {}, {}, colour};
        for (std::size_t y = 0; y < run.yearCount(); ++y) {
            s.values.push_back(values[y]);
            s.labels << num(values[y]);
        }
        return s;
    }
};

// "в норме", "ниже нормы" or "выше нормы" of a value against a band.
QString againstNorm(double v, const Band& b)
{
    if (!b.openBelow && v < b.low)
        return QStringLiteral("ниже нормы");
    if (!b.openAbove && v > b.high)
        return QStringLiteral("выше нормы");
    return QStringLiteral("в норме");
}

// One ratio per date against its norm.
Chart ratioChart(const Ctx& c, int sectionNumber, const QString& objectName, const QString& title,
                 const ByDate& values, const Band& norm, const QColor& colour)
{
    Chart chart;
    chart.objectName = objectName;
    chart.title = title;
    chart.categoryAxis = QStringLiteral("Дата баланса");
    chart.valueAxis = QStringLiteral("Коэффициент");
    chart.emptyReason = reasonNotCharted(c.run, sectionNumber);
    if (chart.empty())
        return chart;
    chart.categories = dateNames(c.run);
    chart.series.push_back(c.byDate(title, values, colour));
    chart.bands.push_back(norm);
    for (std::size_t d = 0; d < c.run.dateCount(); ++d)
        chart.notes << QStringLiteral("%1: %2 — %3").arg(chart.categories[int(d)], c.num(values[d]),
                                                         againstNorm(values[d], norm));
    return chart;
}

Band normBand(const Ctx& c, double low, double high)
{
    return {QStringLiteral("Норма %1–%2").arg(c.num(low), c.num(high)), low, high, false, false,
            QColor(60, 170, 90, 70)};
}

Band normAtLeast(const Ctx& c, double low)
{
    return {QStringLiteral("Норма ≥ %1").arg(c.num(low)), low, low, false, true, QColor(60, 170, 90, 70)};
}

Band normLine(const Ctx& c, double value)
{
    return {QStringLiteral("Норма %1").arg(c.num(value)), value, value, false, false, QColor(40, 140, 60)};
}

// One builder per page. They read alike (a chart, its axes, the reason it may
// be empty, then its rows) but each takes another section's results.
Page stabilityPage(const Ctx& c)
{
    Chart chart;
    chart.objectName = QStringLiteral("stabilitySurpluses");
    chart.title = QStringLiteral("Излишек (недостаток) источников формирования запасов");
    chart.categoryAxis = QStringLiteral("Дата баланса");
    chart.valueAxis = QStringLiteral("Излишек (+) / недостаток (−)");
    chart.emptyReason = reasonNotCharted(c.run, section::StabilityType);
    if (!chart.empty()) {
        chart.categories = dateNames(c.run);
        chart.series.push_back(c.byDate(QStringLiteral("Собственные оборотные средства"),
                                        c.r.OwnWorkingCapitalSurplus, QColor(40, 90, 170)));
        chart.series.push_back(c.byDate(QStringLiteral("Собственные и долгосрочные источники"),
                                        c.r.LongTermSourcesSurplus, QColor(230, 140, 40)));
        chart.series.push_back(c.byDate(QStringLiteral("Общая величина основных источников"),
                                        c.r.TotalSourcesSurplus, QColor(120, 80, 160)));
        for (std::size_t d = 0; d < c.run.dateCount(); ++d) {
            const QString type = QString::fromStdString(c.r.StabilityType[d]);
            const QString verdict = QString::fromStdString(c.r.StabilityVerdict[d]);
            chart.notes << (type.isEmpty()
                                ? QStringLiteral("%1: тип не определен (знаки излишков вне классификации)")
                                      .arg(chart.categories[int(d)])
                                : QStringLiteral("%1: тип %2 — %3").arg(chart.categories[int(d)], type, verdict));
        }
    }
    return {QStringLiteral("stabilityPage"), QStringLiteral("&1 Тип устойчивости"), {chart}};
}

Page liquidityPage(const Ctx& c)
{
    const int s = section::LiquidityRatios;
    return {QStringLiteral("liquidityPage"),
            QStringLiteral("&2 Ликвидность"),
            {ratioChart(c, s, QStringLiteral("absoluteLiquidityRatio"),
                        QStringLiteral("Абсолютная ликвидность"), c.r.AbsoluteLiquidityRatio,
                        normBand(c, 0.2, 0.25), QColor(40, 90, 170)),
             ratioChart(c, s, QStringLiteral("quickRatio"), QStringLiteral("Промежуточная ликвидность"),
                        c.r.QuickRatio, normBand(c, 0.6, 0.7), QColor(40, 90, 170)),
             ratioChart(c, s, QStringLiteral("currentRatio"), QStringLiteral("Текущая ликвидность"),
                        c.r.CurrentRatio, normAtLeast(c, 2), QColor(40, 90, 170))}};
}

Page relativeStabilityPage(const Ctx& c)
{
    const int s = section::RelativeStability;
    return {QStringLiteral("relativeStabilityPage"),
            QStringLiteral("&3 Устойчивость"),
            {ratioChart(c, s, QStringLiteral("autonomyRatio"), QStringLiteral("Коэффициент автономии"),
                        c.r.AutonomyRatio, normAtLeast(c, 0.5), QColor(120, 80, 160)),
             ratioChart(c, s, QStringLiteral("debtToEquityRatio"),
                        QStringLiteral("Заемные / собственные средства"), c.r.DebtToEquityRatio,
                        normBand(c, 0.25, 1), QColor(120, 80, 160)),
             ratioChart(c, s, QStringLiteral("maneuverabilityRatio"), QStringLiteral("Коэффициент маневренности"),
                        c.r.ManeuverabilityRatio, normLine(c, 0.5), QColor(120, 80, 160))}};
}

Page profitabilityPage(const Ctx& c)
{
    Chart chart;
    chart.objectName = QStringLiteral("profitability");
    chart.title = QStringLiteral("Рентабельность по годам");
    chart.categoryAxis = QStringLiteral("Показатель");
    chart.valueAxis = QStringLiteral("Рентабельность (доля, не в процентах)");
    chart.kind = Chart::Kind::HorizontalBars;
    chart.emptyReason = reasonNotCharted(c.run, section::Profitability);
    if (!chart.empty()) {
        const AnalysisResults& r = c.r;
        const std::pair<QString, const ByYear*> rows[] = {
            {QStringLiteral("Общая рентабельность предприятия"), &r.TotalProfitability},
            {QStringLiteral("Рентабельность внеоборотных активов"), &r.NonCurrentAssetsProfitability},
            {QStringLiteral("Рентабельность собственного капитала"), &r.EquityProfitability},
            {QStringLiteral("Рентабельность текущих активов"), &r.CurrentAssetsProfitability},
            {QStringLiteral("Рентабельность продаж"), &r.ReturnOnSales},
            {QStringLiteral("Рентабельность всех операций"), &r.AllOperationsProfitability},
            {QStringLiteral("Рентабельность прочих операций"), &r.OtherOperationsProfitability},
            {QStringLiteral("Рентабельность продукции по затратам"), &r.ProductProfitability},
        };
        const QColor colours[] = {QColor(40, 90, 170), QColor(230, 140, 40)};
        const QStringList years = yearNames(c.run);
        for (std::size_t y = 0; y < c.run.yearCount(); ++y) {
            Series s{years[int(y)], {}, {}, colours[y]};
            for (const auto& [name, values] : rows) {
                s.values.push_back((*values)[y]);
                s.labels << c.num((*values)[y]);
            }
            chart.series.push_back(s);
        }
        for (const auto& row : rows)
            chart.categories << row.first;
    }
    return {QStringLiteral("profitabilityPage"), QStringLiteral("&4 Рентабельность"), {chart}};
}

Page solvencyPage(const Ctx& c)
{
    Chart z;
    z.objectName = QStringLiteral("zScore");
    z.title = QStringLiteral("Z-счет Альтмана по годам");
    z.categoryAxis = QStringLiteral("Период");
    z.valueAxis = QStringLiteral("Z-счет");
    z.emptyReason = reasonNotCharted(c.run, section::SolvencyForecast);
    if (!z.empty()) {
        z.categories = yearNames(c.run);
        z.series.push_back(c.byYear(QStringLiteral("Z-счет Альтмана"), c.r.ZScore, QColor(40, 90, 170)));
        z.bands = {{QStringLiteral("Z ≤ %1: банкротство").arg(c.num(1.23)), 1.23, 1.23, true, false,
                    QColor(220, 60, 50, 60)},
                   {QStringLiteral("%1 < Z ≤ %2: зона неопределенности").arg(c.num(1.23), c.num(2.9)), 1.23, 2.9,
                    false, false, QColor(240, 190, 40, 70)},
                   {QStringLiteral("Z > %1: устойчивость в норме").arg(c.num(2.9)), 2.9, 2.9, false, true,
                    QColor(60, 170, 90, 60)}};
        // The zones of the complex assessment: a score written 2,9 is not yet stable.
        for (std::size_t y = 0; y < c.run.yearCount(); ++y) {
            const double v = c.r.ZScore[y];
            const QString zone = v > 2.9    ? QStringLiteral("Предприятие работает стабильно и банкротство маловероятно.")
                                 : v > 1.23 ? QStringLiteral("Предприятие находится в зоне неопределенности.")
                                            : QStringLiteral("Предприятие является банкротом.");
            z.notes << QStringLiteral("%1: Z = %2 — %3").arg(z.categories[int(y)], c.num(v), zone);
        }
    }

    Chart k;
    k.objectName = QStringLiteral("rating");
    k.title = QStringLiteral("Итоговый рейтинг финансового состояния K");
    k.categoryAxis = QStringLiteral("Период");
    k.valueAxis = QStringLiteral("Рейтинг K");
    k.emptyReason = reasonNotCharted(c.run, section::FinalRating);
    if (!k.empty()) {
        k.categories = yearNames(c.run);
        k.series.push_back(c.byYear(QStringLiteral("Итоговый рейтинг"), c.r.Rating, QColor(120, 80, 160)));
        // The groups of the report's legend.
        k.bands = {{QStringLiteral("Группа D. K<20"), 20, 20, true, false, QColor(220, 60, 50, 60)},
                   {QStringLiteral("Группа С. 20>K>40"), 20, 40, false, false, QColor(240, 150, 40, 60)},
                   {QStringLiteral("Группа В. 40>K>90"), 40, 90, false, false, QColor(240, 210, 40, 60)},
                   {QStringLiteral("Группа А. K>90"), 90, 90, false, true, QColor(60, 170, 90, 60)}};
        for (std::size_t y = 0; y < c.run.yearCount(); ++y)
            k.notes << QStringLiteral("%1: K = %2").arg(k.categories[int(y)], c.num(c.r.Rating[y]));
    }
    return {QStringLiteral("solvencyPage"), QStringLiteral("&5 Z-счет и рейтинг"), {z, k}};
}

Page structurePage(const Ctx& c)
{
    Chart chart;
    chart.objectName = QStringLiteral("balanceStructure");
    chart.title = QStringLiteral("Структура баланса по группам ликвидности");
    chart.categoryAxis = QStringLiteral("Дата баланса");
    chart.valueAxis = QStringLiteral("Сумма");
    chart.kind = Chart::Kind::StackedBars;
    chart.emptyReason = reasonNotCharted(c.run, section::LiquidityGroups);
    if (!chart.empty()) {
        const AnalysisResults& r = c.r;
        const QStringList dates = dateNames(c.run);
        for (const QString& d : dates) {
            chart.categories << QStringLiteral("Актив: %1").arg(d.toLower());
            chart.categories << QStringLiteral("Пассив: %1").arg(d.toLower());
        }
        struct Group {
            QString name;
            const ByDate* values;
            bool asset;
            QColor colour;
        };
        const Group groups[] = {
            {QStringLiteral("А1 наиболее ликвидные активы"), &r.A1, true, QColor(30, 80, 160)},
            {QStringLiteral("А2 быстро реализуемые активы"), &r.A2, true, QColor(70, 130, 200)},
            {QStringLiteral("А3 медленно реализуемые активы"), &r.A3, true, QColor(120, 175, 225)},
            {QStringLiteral("А4 неликвидные активы"), &r.A4, true, QColor(175, 205, 235)},
            {QStringLiteral("П1 срочные обязательства"), &r.P1, false, QColor(190, 70, 40)},
            {QStringLiteral("П2 краткосрочные пассивы"), &r.P2, false, QColor(225, 120, 60)},
            {QStringLiteral("П3 долгосрочные пассивы"), &r.P3, false, QColor(240, 170, 90)},
            {QStringLiteral("П4 постоянные пассивы"), &r.P4, false, QColor(245, 210, 150)},
        };
        // Each date has an asset bar and a liability bar; a group is 0 in the other bar.
        for (const Group& g : groups) {
            Series s{g.name, {}, {}, g.colour};
            for (std::size_t d = 0; d < c.run.dateCount(); ++d) {
                const double v = (*g.values)[d];
                for (bool assetBar : {true, false}) {
                    s.values.push_back(assetBar == g.asset ? v : 0.0);
                    s.labels << (assetBar == g.asset ? c.num(v) : QString());
                }
            }
            chart.series.push_back(s);
        }
    }
    return {QStringLiteral("structurePage"), QStringLiteral("&6 Структура баланса"), {chart}};
}

// Turnover per year; the one section of these pages the user may switch off.
Page activityPage(const Ctx& c)
{
    const int number = section::BusinessActivity;
    auto yearly = [&](const QString& objectName, const QString& title, const QString& axis,
                      const std::pair<QString, const ByYear*>(&rows)[2]) {
        Chart chart;
        chart.objectName = objectName;
        chart.title = title;
        chart.categoryAxis = QStringLiteral("Период");
        chart.valueAxis = axis;
        chart.emptyReason = reasonNotCharted(c.run, number);
        if (chart.empty())
            return chart;
        chart.categories = yearNames(c.run);
        const QColor colours[] = {QColor(40, 90, 170), QColor(230, 140, 40)};
        for (int i = 0; i < 2; ++i)
            chart.series.push_back(c.byYear(rows[i].first, *rows[i].second, colours[i]));
        return chart;
    };
    const AnalysisResults& r = c.r;
    const std::pair<QString, const ByYear*> turnover[2] = {
        {QStringLiteral("Оборачиваемость активов"), &r.AssetTurnover},
        {QStringLiteral("Оборачиваемость оборотных средств"), &r.CurrentAssetTurnover}};
    const std::pair<QString, const ByYear*> days[2] = {
        {QStringLiteral("Срок оборота оборотных средств"), &r.CurrentAssetTurnoverDays},
        {QStringLiteral("Срок оборота запасов"), &r.InventoryTurnoverDays}};
    return {QStringLiteral("activityPage"),
            QStringLiteral("&7 Деловая активность"),
            {yearly(QStringLiteral("turnover"), QStringLiteral("Коэффициенты оборачиваемости"),
                    QStringLiteral("Оборотов за год"), turnover),
             yearly(QStringLiteral("turnoverDays"), QStringLiteral("Средний срок оборота"), QStringLiteral("Дней"),
                    days)}};
}

} // namespace

QString formatValue(double value, const RegionalSettings& regional)
{
    return QString::fromStdString(formatGeneral(value, regional.decimalSeparator));
}

QString Chart::description() const
{
    if (empty())
        return emptyReason;
    QStringList parts;
    for (const Series& s : series) {
        QStringList values;
        for (int i = 0; i < categories.size() && i < s.labels.size(); ++i)
            if (!s.labels[i].isEmpty())
                values << QStringLiteral("%1 %2").arg(categories[i], s.labels[i]);
        parts << QStringLiteral("%1: %2").arg(s.name, values.join(QStringLiteral(", ")));
    }
    QStringList bandNames;
    for (const Band& b : bands)
        bandNames << b.name;
    QString text = parts.join(QStringLiteral("; ")) + QLatin1Char('.');
    if (!bandNames.isEmpty())
        text += QLatin1Char(' ') + bandNames.join(QStringLiteral("; ")) + QLatin1Char('.');
    for (const QString& note : notes + spoken)
        text += QLatin1Char(' ') + note + (note.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral("."));
    return text;
}

std::vector<Page> chartPages(const AnalysisResults& results, const ReportCoverage& run, const RegionalSettings& regional)
{
    const Ctx c{results, run, regional};
    return {stabilityPage(c), liquidityPage(c), relativeStabilityPage(c), profitabilityPage(c), solvencyPage(c),
            structurePage(c), activityPage(c)};
}

} // namespace kalvanta::charts
