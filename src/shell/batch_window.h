#pragma once
// "Файл → Анализ группы файлов...": the files and folders to analyse, the
// analyses off the interface thread with a progress bar and a Cancel button,
// then the table saved where the user says, its format by the name's extension.
#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "history/bulk_table.h"
#include "indicators/batch.h"
#include "indicators/table_writers.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kalvanta {

// Format of a table file by its name: .xlsx, .jsonl or .ndjson, and .csv as
// the Russian spreadsheet dialect (what Russian Excel and Calc open as they
// are); nullopt for any other name.
std::optional<indicators::TableFormat> desktopTableFormat(const QString& path);

class BatchWindow : public QDialog {
    Q_OBJECT
public:
    explicit BatchWindow(QWidget* parent = nullptr);
    ~BatchWindow() override;

    // The file and folder choosers; tests replace them. Empty when cancelled.
    std::function<QStringList(QWidget*)> chooseFiles;
    std::function<QString(QWidget*)> chooseFolder;

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
    // A run ended and its table was saved or given up.
    void runEnded();

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void addFiles();
    void addFolder();
    void removeSelected();
    void start();
    void cancelOrClose();
    void showProgress();
    void finished();
    void saveTable();
    void setRunning(bool on);
    void stopWorker();
    // A year's bulk file of the statistics office: its table is named first
    // and written while the rows are read, since they are too many to keep.
    void startBulk(const std::vector<std::string>& files);
    void finishedBulk();
    QString chooseTablePath(const QString& title);

    std::vector<std::string> files_;
    std::vector<indicators::IndicatorRow> rows_;
    indicators::BatchSummary summary_;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> cancel_{false};
    bool bulk_ = false;
    std::atomic<int> permille_{0}; // bulk: how far the run is, of 1000
    history::BulkTableSummary bulkSummary_;
    std::vector<std::string> bulkRefused_; // the first refused rows, named
    std::string bulkError_;
    QString bulkTable_;
    std::thread worker_;
    QTimer poll_;
};

// Shows the window (one per main window), ready for a new choice.
void openBatchAnalysis(QWidget* mainWindow);

} // namespace kalvanta
