#pragma once
// The chart window `Tcharts`: the indicators of the latest analysis of the
// run on pages, beside the report. It follows the analyses: a new one
// redraws it while it is open, or when it is next shown. Each page saves as
// PNG or SVG, prints through the report's print path and copies to the
// clipboard as a picture.
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/report_coverage.h"
#include "chart_pages.h"
#include "history/company_history.h"
#include "numeric/regional_settings.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTextDocument;

namespace kalvanta {

inline const QString kChartsCaption = QStringLiteral("Диаграммы показателей");

class Tcharts : public QWidget {
    Q_OBJECT
public:
    explicit Tcharts(QWidget* parent = nullptr);

    void setRegionalSettings(const RegionalSettings& regional);
    // The latest analysis: drawn at once while the window is shown, else
    // when it is next shown.
    void setAnalysis(const AnalysisResults& results, const ReportCoverage& run);
    // The latest company's history analysed in the run: its pages follow
    // the fixed analysis' pages, and are empty without one.
    void setHistory(std::shared_ptr<const history::CompanyHistory> history);
    // How the window prints: the main window's print dialog and printer.
    void setPrintCommand(std::function<void(const QTextDocument&)> print) { print_ = std::move(print); }

    const std::vector<charts::Page>& pages() const { return pages_; }
    // The picture of the page shown, at `scale` times its size on screen.
    QImage pagePicture(qreal scale = 2.0) const;
    // The page shown as a document of the report's print path: its title and picture.
    void fillPrintDocument(QTextDocument& document) const;
    // Writes the page shown to `path`: SVG for ".svg", else PNG; atomic.
    // Throws std::runtime_error naming the file when it cannot be written.
    void writePicture(const QString& path) const;

    // Handlers, named after their buttons.
    void Button1Click(); // save
    void Button2Click(); // print
    void Button3Click(); // copy
    void Button4Click(); // close

    QLabel* Label1 = nullptr; // what the pages show, and why some are empty
    QTabWidget* PageControl1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void rebuild();
    void drawPage(int index);
    QWidget* currentPage() const;
    QString currentTitle() const;

    RegionalSettings regional_;
    AnalysisResults results_;
    ReportCoverage run_;
    bool hasAnalysis_ = false;
    std::shared_ptr<const history::CompanyHistory> history_;
    bool historyArrived_ = false; // show its page on the next rebuild
    bool stale_ = false;
    std::vector<charts::Page> pages_;
    std::function<void(const QTextDocument&)> print_;
};

// The tool bar and menu picture of the command that opens the window.
QIcon chartsIcon();

} // namespace kalvanta
