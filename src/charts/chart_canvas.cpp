#include "chart_canvas.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QFontMetricsF>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalBarSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kalvanta::charts {

namespace {

constexpr qreal kBarWidth = 0.75;

QFont chartFont(int pointSize, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"), pointSize);
    font.setBold(bold);
    return font;
}

// The value range the bars and the closed ends of the bands need, with room
// for the labels above and below the bars.
std::pair<double, double> valueRange(const Chart& spec)
{
    double lo = 0, hi = 0;
    auto take = [&](double v) {
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    };
    if (spec.kind == Chart::Kind::StackedBars) {
        for (int c = 0; c < spec.categories.size(); ++c) {
            double up = 0, down = 0;
            for (const Series& s : spec.series)
                (s.values[c] >= 0 ? up : down) += s.values[c];
            take(up);
            take(down);
        }
    } else {
        for (const Series& s : spec.series)
            for (double v : s.values)
                take(v);
    }
    for (const Band& b : spec.bands) {
        take(b.low);
        take(b.high);
    }
    const double span = hi - lo;
    const double pad = span > 0 ? span * 0.12 : 1.0;
    if (lo < 0)
        lo -= pad;
    hi += pad;
    return {lo, hi};
}

} // namespace

QLocale localeFor(const RegionalSettings& regional)
{
    QLocale locale = regional.decimalSeparator == "," ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

ChartCanvas::ChartCanvas(const Chart& spec, const QLocale& locale, QWidget* parent)
    // Built on its own chart: a view made without one makes a default chart
    // that setChart() would leave behind.
    : QChartView(new QChart, parent), spec_(spec)
{
    setObjectName(spec.objectName);
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(spec.title);
    setAccessibleDescription(spec.description());
    // Pages of many small line charts stay within the window.
    if (spec.kind == Chart::Kind::Lines)
        setMinimumSize(240, 220);
    else
        setMinimumSize(260, 260);

    QChart* chart = this->chart();
    chart->setTitle(spec.title);
    chart->setTitleFont(chartFont(10, true));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(locale);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(chartFont(8));

    const bool horizontal = spec.kind == Chart::Kind::HorizontalBars;
    // Horizontal bars are listed from the bottom up; the first row belongs on top.
    QStringList categories = spec.categories;
    if (horizontal)
        std::reverse(categories.begin(), categories.end());
    auto* categoryAxis = new QBarCategoryAxis;
    categoryAxis_ = categoryAxis;
    // Axis labels are rich text: a date's name takes two short lines.
    QStringList shown;
    for (const QString& c : categories) {
        if (horizontal) {
            shown << c;
            continue;
        }
        QStringList lines = c.split(QStringLiteral(": "));
        // Dates take two or three short lines; "1-й год" fits on one.
        if (!lines.last().endsWith(QStringLiteral(" год")))
            lines.last().replace(QLatin1Char(' '), QStringLiteral("<br>"));
        shown << lines.join(QStringLiteral("<br>"));
    }
    categoryAxis->append(shown);
    categoryAxis->setTitleText(spec.categoryAxis);
    categoryAxis->setLabelsFont(chartFont(8));
    categoryAxis->setTitleFont(chartFont(8));
    auto* valueAxis = new QValueAxis;
    valueAxis->setTitleText(spec.valueAxis);
    valueAxis->setLabelFormat(QStringLiteral("%.6g"));
    valueAxis->setLabelsFont(chartFont(8));
    valueAxis->setTitleFont(chartFont(8));
    const auto [lo, hi] = valueRange(spec);
    valueAxis->setRange(lo, hi);
    valueAxis->applyNiceNumbers();
    chart->addAxis(categoryAxis, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(valueAxis, horizontal ? Qt::AlignBottom : Qt::AlignLeft);

    // Bands first, so the bars are drawn over them.
    const qreal left = -0.5, right = categories.size() - 0.5;
    for (const Band& band : spec.bands) {
        const qreal low = band.openBelow ? valueAxis->min() : band.low;
        const qreal high = band.openAbove ? valueAxis->max() : band.high;
        // On a light backing, so that a bar crossing the name leaves it readable.
        auto* backing = new QGraphicsRectItem(chart);
        backing->setBrush(QColor(255, 255, 255, 200));
        backing->setPen(Qt::NoPen);
        backing->setZValue(1000);
        auto* name = new QGraphicsSimpleTextItem(band.name, backing);
        name->setFont(chartFont(7));
        name->setBrush(QColor(50, 50, 60));
        name->setPos(2, 0);
        backing->setRect(QRectF(QPointF(0, 0), name->boundingRect().size() + QSizeF(4, 0)));
        bandLabels_.push_back({backing, high, low == high});
        auto* lower = new QLineSeries;
        lower->append(left, low);
        lower->append(right, low);
        if (low == high) {
            lower->setName(band.name);
            lower->setPen(QPen(band.colour, 2, Qt::DashLine));
            chart->addSeries(lower);
            lower->attachAxis(categoryAxis);
            lower->attachAxis(valueAxis);
            continue;
        }
        // The area does not own its edges: they go with it.
        auto* area = new QAreaSeries;
        lower->setParent(area);
        auto* upper = new QLineSeries(area);
        upper->append(left, high);
        upper->append(right, high);
        area->setUpperSeries(upper);
        area->setLowerSeries(lower);
        area->setName(band.name);
        area->setBrush(band.colour);
        area->setPen(QPen(band.colour.darker(130), 1));
        chart->addSeries(area);
        area->attachAxis(categoryAxis);
        area->attachAxis(valueAxis);
    }

    if (spec.kind == Chart::Kind::Lines)
        addLines(categoryAxis, valueAxis);
    else
        addBars(categoryAxis, valueAxis);
    // The bands name themselves inside the plot; a single series is named by the title.
    for (QLegendMarker* marker : chart->legend()->markers())
        if (!legendSeries_.contains(marker->series()))
            marker->setVisible(false);
    // Small line charts name their lines beneath them, where long names wrap (the window's legend label).
    if (spec.series.size() < 2 || spec.kind == Chart::Kind::Lines)
        chart->legend()->hide();
    if (spec.series.size() > 4) {
        chart->legend()->setAlignment(Qt::AlignRight);
        chart->legend()->setMaximumWidth(230);
    }

    const int n = int(categories.size());
    for (int si = 0; si < int(spec.series.size()); ++si) {
        for (int source = 0; source < n; ++source) {
            const int ci = horizontal ? n - 1 - source : source;
            const Series& s = spec.series[std::size_t(si)];
            if (s.labels.value(source).isEmpty() || !std::isfinite(s.values[std::size_t(source)]))
                continue;
            double base = 0;
            if (spec.kind == Chart::Kind::StackedBars)
                for (int below = 0; below < si; ++below) {
                    const double v = spec.series[std::size_t(below)].values[std::size_t(source)];
                    if ((v >= 0) == (s.values[std::size_t(source)] >= 0))
                        base += v;
                }
            auto* item = new QGraphicsSimpleTextItem(s.labels[source], chart);
            item->setFont(chartFont(8));
            item->setZValue(100);
            // Inside a stacked segment the text must stand out from its fill.
            if (spec.kind == Chart::Kind::StackedBars && s.colour.lightness() < 140)
                item->setBrush(Qt::white);
            labels_.push_back({item, si, ci, s.values[std::size_t(source)], base});
        }
    }
    connect(chart, &QChart::plotAreaChanged, this, [this] { placeValueLabels(); });
    placeValueLabels();
}

void ChartCanvas::addBars(QAbstractAxis* categoryAxis, QAbstractAxis* valueAxis)
{
    const Chart& spec = spec_;
    const bool horizontal = spec.kind == Chart::Kind::HorizontalBars;
    switch (spec.kind) {
    case Chart::Kind::Bars: bars_ = new QBarSeries; break;
    case Chart::Kind::HorizontalBars: bars_ = new QHorizontalBarSeries; break;
    case Chart::Kind::StackedBars: bars_ = new QStackedBarSeries; break;
    case Chart::Kind::Lines: return;
    }
    bars_->setBarWidth(kBarWidth);
    // Horizontal bar sets are stacked from the bottom up as well: the first
    // year goes in last so that it is drawn on top.
    std::vector<Series> sets = spec.series;
    if (horizontal)
        std::reverse(sets.begin(), sets.end());
    for (const Series& s : sets) {
        auto* set = new QBarSet(s.name);
        std::vector<double> values = s.values;
        if (horizontal)
            std::reverse(values.begin(), values.end());
        for (double v : values)
            set->append(v);
        set->setColor(s.colour);
        set->setBorderColor(s.colour.darker(140));
        bars_->append(set);
    }
    chart()->addSeries(bars_);
    bars_->attachAxis(categoryAxis);
    bars_->attachAxis(valueAxis);
    anchor_ = bars_;
    legendSeries_.insert(bars_);
}

void ChartCanvas::addLines(QAbstractAxis* categoryAxis, QAbstractAxis* valueAxis)
{
    // A value not defined breaks the line: the years either side are not joined.
    for (const Series& s : spec_.series) {
        std::vector<QLineSeries*> pieces;
        QLineSeries* piece = nullptr;
        for (std::size_t i = 0; i < s.values.size(); ++i) {
            if (!std::isfinite(s.values[i])) {
                piece = nullptr;
                continue;
            }
            if (!piece) {
                piece = new QLineSeries;
                piece->setName(s.name);
                piece->setPen(QPen(s.colour, 2));
                piece->setPointsVisible(true);
                piece->setMarkerSize(7);
                pieces.push_back(piece);
            }
            piece->append(qreal(i), s.values[i]);
        }
        if (pieces.empty()) {
            // Named in the legend all the same: the description says why it has no points.
            piece = new QLineSeries;
            piece->setName(s.name);
            piece->setPen(QPen(s.colour, 2));
            pieces.push_back(piece);
        }
        for (QLineSeries* p : pieces) {
            chart()->addSeries(p);
            p->attachAxis(categoryAxis);
            p->attachAxis(valueAxis);
        }
        legendSeries_.insert(pieces.front());
        if (!anchor_)
            anchor_ = pieces.front();
        lines_.push_back(std::move(pieces));
    }
}

QStringList ChartCanvas::valueLabels() const
{
    QStringList texts;
    for (const ValueLabel& l : labels_)
        texts << l.item->text();
    return texts;
}

void ChartCanvas::placeValueLabels()
{
    QChart* c = chart();
    const int sets = std::max<int>(1, int(spec_.series.size()));
    // Many years on a narrow line chart: the years stand upright, and
    // neighbouring values alternate above and below their points.
    bool crowded = false;
    if (spec_.kind == Chart::Kind::Lines && !spec_.categories.isEmpty()) {
        const qreal step = c->plotArea().width() / spec_.categories.size();
        const QFontMetricsF metrics(categoryAxis_->labelsFont());
        const int angle = step < metrics.horizontalAdvance(spec_.categories.first()) + 6 ? -90 : 0;
        if (categoryAxis_->labelsAngle() != angle)
            categoryAxis_->setLabelsAngle(angle); // lays the plot out again, and comes back here
        qreal widest = 0;
        for (const ValueLabel& l : labels_)
            widest = std::max(widest, l.item->boundingRect().width());
        crowded = step < widest + 4;
    }
    for (const ValueLabel& l : labels_) {
        const QRectF box = l.item->boundingRect();
        const qreal gap = 2;
        QPointF at;
        switch (spec_.kind) {
        case Chart::Kind::Bars: {
            const qreal x = l.category - kBarWidth / 2 + (l.series + 0.5) * kBarWidth / sets;
            const QPointF top = c->mapToPosition(QPointF(x, l.value), anchor_);
            at = QPointF(top.x() - box.width() / 2, l.value >= 0 ? top.y() - box.height() - gap : top.y() + gap);
            break;
        }
        case Chart::Kind::HorizontalBars: {
            // Sets are drawn bottom to top inside a category as well.
            const int drawn = sets - 1 - l.series;
            const qreal y = l.category - kBarWidth / 2 + (drawn + 0.5) * kBarWidth / sets;
            const QPointF end = c->mapToPosition(QPointF(l.value, y), anchor_);
            at = QPointF(l.value >= 0 ? end.x() + gap : end.x() - box.width() - gap, end.y() - box.height() / 2);
            break;
        }
        case Chart::Kind::Lines: {
            const QPointF p = c->mapToPosition(QPointF(l.category, l.value), anchor_);
            // Lines of one chart alternate above and below their points.
            const bool above = (crowded ? l.series + l.category : l.series) % 2 == 0;
            at = QPointF(p.x() - box.width() / 2, above ? p.y() - box.height() - 3 : p.y() + 3);
            break;
        }
        case Chart::Kind::StackedBars: {
            const QPointF a = c->mapToPosition(QPointF(l.category, l.base), bars_);
            const QPointF b = c->mapToPosition(QPointF(l.category, l.base + l.value), bars_);
            at = QPointF(a.x() - box.width() / 2, (a.y() + b.y()) / 2 - box.height() / 2);
            // A segment too thin for its text leaves the value to the description and tooltip.
            l.item->setVisible(std::abs(a.y() - b.y()) >= box.height());
            break;
        }
        }
        l.item->setPos(at);
    }
    const QRectF plot = c->plotArea();
    for (const BandLabel& b : bandLabels_) {
        const qreal top = std::max(plot.top(), c->mapToPosition(QPointF(0, b.top), anchor_).y());
        const qreal h = b.item->boundingRect().height();
        b.item->setPos(plot.left() + 4, b.line ? top - h - 1 : top + 1);
    }
}

} // namespace kalvanta::charts
