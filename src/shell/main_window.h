#pragma once
// The main window `TForm1`: menu, tool bar, report view, status line with
// pointer hints, clock, the document commands and the activation handler
// that writes a pending report.
#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QPrinter>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/report_coverage.h"
#include "clock_source.h"
#include "inputs/analysis_input.h"
#include "numeric/regional_settings.h"
#include "report_formats/report_formats.h"

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QTextDocument;
class QTimer;
class QToolBar;
class QToolButton;

namespace kalvanta::history {
struct CompanyHistory;
}

namespace kalvanta {

class ReportView;
class Tcharts;
class Tprogr;

inline const QString kProgramCaption = QStringLiteral("Kalvanta 4.5");
inline const QString kUnsavedCaption = QStringLiteral("Kalvanta 4.5 (Документ без имени)");
inline const QString kClockPrefix = QStringLiteral("  Текущее время - ");
inline const QString kCloseQuestionTitle = QStringLiteral("Confirm");
inline const QString kCloseQuestion = QStringLiteral("Результаты расчета не сохранены. Завершить работу ?");

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The records of one run: the input the wizard fills, the results the
    // report builder keeps between reports.
    AnalysisInput& input() { return input_; }
    AnalysisResults& results() { return results_; }

    // Tests fix the clock and the regional settings; the program uses the system's.
    void setClock(ClockSource clock);
    void setRegionalSettings(const RegionalSettings& settings) { regional_ = settings; }
    const RegionalSettings& regionalSettings() const { return regional_; }

    // The caption is the document state: kUnsavedCaption means unsaved.
    QString caption() const { return caption_; }
    void setDocumentCaption(const QString& caption);
    void markUnsaved() { setDocumentCaption(kUnsavedCaption); }
    bool hasUnsavedReport() const { return caption_ == kUnsavedCaption; }

    // The text the status line shows.
    QString statusText() const;
    void showHint(const QString& text);

    // The windows and commands the main window starts. A command whose
    // window does not exist stays disabled.
    void setProgressWindow(Tprogr* progress);
    void setHelpWindow(QWidget* help);
    void setAboutWindows(QDialog* aboutProgram, QDialog* aboutAuthor);
    void setNewCalculation(std::function<void()> command);
    void setPlanningCommands(std::function<void()> production, std::function<void()> credits,
                             std::function<void()> investments);

    // "Импорт отчетности...", "Открыть исходные данные...", "Сохранить
    // исходные данные..." (input_files.h); disabled until set.
    void setInputFileCommands(std::function<void()> importStatements, std::function<void()> openInputs,
                              std::function<void()> saveInputs);
    // The record the last report was written from; empty before the first.
    const std::optional<AnalysisInput>& lastAnalysis() const { return lastAnalysis_; }
    // Open's loading step: the file replaces the view (or one box says why).
    void openDocument(const QString& path) { openFile(path); }

    // After the progress window hid itself: make sure the pending report is
    // written whether or not the window manager activates this window.
    void takeOverFromProgress();

    // The printer the print commands use; its set-up is kept for later prints.
    QPrinter& printer() { return printer_; }

    // Handlers, named after their controls.
    void FormActivate();
    void Timer1Timer();
    void N2Click();  // new calculation
    void N3Click();  // open
    void N5Click();  // save as: RTF, or PDF, OpenDocument text, HTML by the file type
    void N54Click(); // export to PDF
    void N6Click();  // print
    void N7Click();  // printer set-up
    void N16Click(); // exit
    void N10Click(); // cut
    void N11Click(); // copy
    void N17Click(); // paste
    void N18Click(); // select all
    void N29Click(); // clear
    void N24Click(); // clock shown
    void C1Click();  // status line shown
    void N31Click(); // font
    void N19Click(); // help
    void N34Click(); // about the program
    void N35Click(); // about the author
    void SpeedButton11Click();
    void N36Click(); // indicator charts of the latest analysis

    // The chart window, once it was opened; it follows the analyses.
    Tcharts* chartsWindow() const { return charts_; }
    // The last company's history of the latest analysis over several years:
    // the chart window shows it beside the fixed analysis.
    void setLatestHistory(std::shared_ptr<const history::CompanyHistory> history);
    // The histories whose reports the view holds since the latest analysis
    // over several years: "Файл → Сохранить в Excel..." saves their workbook
    // while the view holds them (emptied or replaced, it no longer does).
    void setHistoryReports(std::vector<history::CompanyHistory> histories);
    bool hasHistoryReports() const { return historyReports_ != nullptr; }
    void saveHistoryWorkbook(); // "Сохранить в Excel..."

    ReportView* RichEdit1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    // Menu items and tool bar buttons by their names.
    QAction* menuItem(const QString& name) const;
    QToolButton* speedButton(int number) const;

signals:
    // The main window was closed: the program ends.
    void closed();

protected:
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildStatusBar();
    void buildPopupMenu();
    QAction* addItem(QMenu* menu, const QString& name, const QString& text, void (TForm1::*handler)(),
                     const QKeySequence& shortcut = {});
    QToolButton* addSpeedButton(int number, const QString& hint, const QString& status, const QIcon& icon,
                                QAction* command);
    void openFile(const QString& path);
    bool saveFile(const QString& path);
    void exportFile(const QString& path, formats::ReportFormat format);
    void analysisWritten(const ReportCoverage& run);
    void printDocument(const QTextDocument& document);

    AnalysisInput input_;
    std::optional<AnalysisInput> lastAnalysis_;
    AnalysisResults results_;
    RegionalSettings regional_;
    ClockSource clock_;
    QString caption_;
    QPrinter printer_;

    // Guarded: at the end of the program the other windows go first.
    QPointer<Tprogr> progress_;
    QPointer<QWidget> help_;
    QPointer<QDialog> aboutProgram_;
    QPointer<QDialog> aboutAuthor_;
    std::function<void()> newCalculation_;
    std::function<void()> production_;
    std::function<void()> credits_;
    std::function<void()> investments_;
    ReportCoverage lastCoverage_;
    bool analysed_ = false;
    Tcharts* charts_ = nullptr;
    std::shared_ptr<const history::CompanyHistory> latestHistory_;
    std::shared_ptr<const std::vector<history::CompanyHistory>> historyReports_;
    void dropHistoryReports();
};

} // namespace kalvanta
