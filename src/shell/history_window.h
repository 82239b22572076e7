#pragma once
// "Файл → Анализ за несколько лет...": the statement files and folders of
// one or more companies, read into histories off the interface thread with
// a progress bar and Cancel; each company's report is then appended below
// what the main window's report view holds, the files that could not be
// read and the histories' notes are listed, and the chart window shows the
// last company.
#include <QDialog>
#include <QTimer>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "history/history_report.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kalvanta {

class TForm1;

inline const QString kHistoryTitle = QStringLiteral("Анализ за несколько лет");
inline const QString kHistoryReportFont = QStringLiteral("DejaVu Sans Mono");

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    explicit HistoryWindow(TForm1* main);
    ~HistoryWindow() override;

    QStringList inputs() const;
    bool running() const { return worker_.joinable(); }

    QListWidget* list = nullptr;
    QPushButton* addFilesButton = nullptr;
    QPushButton* addFolderButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* cancelButton = nullptr; // cancels a run, else closes the window
    QProgressBar* progress = nullptr;
    QLabel* status = nullptr;

signals:
    // A run ended: its reports were appended, or it was cancelled or found nothing.
    void runEnded();

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void addInputs(const QStringList& paths);
    void start();
    void cancelOrClose();
    void showProgress();
    void finished();
    void appendReports();
    void setRunning(bool on);
    void stopWorker();

    TForm1* main_;
    std::vector<std::string> paths_;
    std::string separator_;
    // Written by the worker only until finished() runs on the interface thread.
    history::HistoryRun run_;
    std::vector<std::vector<std::string>> reports_;
    std::string failure_;
    bool cancelled_ = false;
    std::atomic<std::size_t> done_{0};
    std::atomic<std::size_t> total_{0};
    std::atomic<bool> cancel_{false};
    std::thread worker_;
    QTimer poll_;
};

// The text of the box after a run: the files refused and each history's
// notes; empty when there is nothing to say.
QString historyRunNotes(const history::HistoryRun& run);

// Shows the window (one per main window), ready for a new choice.
void openHistoryAnalysis(TForm1* main);

} // namespace kalvanta
