#pragma once
// The calculation progress window `Tprogr`: ends the input wizard, runs its
// bar over a fixed amount of processor work, marks the analysis as pending
// and hides itself so the main window writes the report.
#include <QDialog>

#include <functional>

#include "inputs/analysis_input.h"

class QProgressBar;

namespace kalvanta {

class Tprogr : public QDialog {
    Q_OBJECT
public:
    explicit Tprogr(AnalysisInput& input, QWidget* parent = nullptr);

    // Called after the run: the main window marks its document unsaved.
    void setMarkUnsaved(std::function<void()> hook) { markUnsaved_ = std::move(hook); }
    // Called once the window is hidden: the main window takes the report over.
    void setHandOver(std::function<void()> hook) { handOver_ = std::move(hook); }

    QProgressBar* ProgressBar1 = nullptr;

    // Close requests are refused; the window hides itself after its run.
    void reject() override;

signals:
    void runFinished();

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void startRun();
    void runProgress();
    void finishRun();

    AnalysisInput& input_;
    std::function<void()> markUnsaved_;
    std::function<void()> handOver_;
    bool runDue_ = false;
    bool running_ = false;
};

} // namespace kalvanta
