#pragma once
// One chart of a page drawn with Qt Charts: bars (grouped, horizontal or
// stacked), norm bands and zones behind them, and each bar's value written
// beside it in the report's number format.
#include <QChartView>
#include <QLocale>
#include <QSet>

#include <vector>

#include "chart_pages.h"

class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QAbstractBarSeries;
class QAbstractSeries;
class QAbstractAxis;
class QLineSeries;

namespace kalvanta::charts {

class ChartCanvas : public QChartView {
    Q_OBJECT
public:
    // `locale` gives the axis ticks the regional decimal separator.
    ChartCanvas(const Chart& spec, const QLocale& locale, QWidget* parent = nullptr);

    const Chart& spec() const { return spec_; }
    // The bar series (values in category order as drawn); nullptr for lines.
    QAbstractBarSeries* bars() const { return bars_; }
    // Lines: each series' pieces between values not defined, in series order.
    const std::vector<std::vector<QLineSeries*>>& lines() const { return lines_; }
    // The texts written beside the bars, in series then category order.
    QStringList valueLabels() const;

private:
    void addBars(QAbstractAxis* categoryAxis, QAbstractAxis* valueAxis);
    void addLines(QAbstractAxis* categoryAxis, QAbstractAxis* valueAxis);
    void placeValueLabels();

    struct ValueLabel {
        QGraphicsSimpleTextItem* item;
        int series;
        int category;
        double value;
        double base; // stacked bars: where the segment starts
    };

    struct BandLabel {
        QGraphicsRectItem* item;
        double top;
        bool line;
    };

    Chart spec_;
    std::vector<BandLabel> bandLabels_;
    QAbstractBarSeries* bars_ = nullptr;
    std::vector<std::vector<QLineSeries*>> lines_;
    QAbstractSeries* anchor_ = nullptr; // the series positions are mapped through
    QAbstractAxis* categoryAxis_ = nullptr;
    QSet<QAbstractSeries*> legendSeries_; // the series the legend names; bands name themselves
    std::vector<ValueLabel> labels_;
};

// The locale whose decimal separator is the regional one, for axis ticks.
QLocale localeFor(const RegionalSettings& regional);

} // namespace kalvanta::charts
