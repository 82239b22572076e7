#pragma once
// What the chart window draws, worked out from the results of the latest
// analysis: pages, charts, series with their values and printed labels,
// norm bands and the notes beneath a chart. Only sections the report wrote
// whole are charted; any other shows why it is empty, so no value of an
// earlier analysis ever appears.
#include <QColor>
#include <QString>
#include <QStringList>

#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/report_coverage.h"
#include "numeric/regional_settings.h"

namespace kalvanta::charts {

struct Series {
    QString name;
    std::vector<double> values; // one per category, as stored in the results; NaN: not defined
    QStringList labels;         // the values as the report prints them; "—" and why for one not defined
    QColor colour;
};

// A horizontal band of the value axis: a norm or a zone. An open side runs
// to the edge of the plot; a band with low == high is drawn as a line.
struct Band {
    QString name;
    double low = 0;
    double high = 0;
    bool openBelow = false;
    bool openAbove = false;
    QColor colour;
};

struct Chart {
    // Lines: one point per category, broken where a value is not defined.
    enum class Kind { Bars, HorizontalBars, StackedBars, Lines };

    QString objectName; // stable name for tests and the accessibility tree
    QString title;
    QString categoryAxis;
    QString valueAxis;
    Kind kind = Kind::Bars;
    QStringList categories;
    std::vector<Series> series;
    std::vector<Band> bands;
    QStringList notes;   // lines shown beneath the chart
    QStringList spoken;  // said in the description after the notes, not shown (too long beneath small charts)
    QString emptyReason; // not empty: the chart is not drawn, this says why

    bool empty() const { return !emptyReason.isEmpty(); }
    // What a screen reader says about the chart: every value with its name.
    QString description() const;
};

struct Page {
    QString objectName;
    QString tabTitle;
    std::vector<Chart> charts;
    int columns = 3; // charts side by side; more go in further rows
};

// The pages of the latest analysis, in the window's order.
std::vector<Page> chartPages(const AnalysisResults& results, const ReportCoverage& run,
                             const RegionalSettings& regional);

// A number as the report prints it.
QString formatValue(double value, const RegionalSettings& regional);

} // namespace kalvanta::charts
