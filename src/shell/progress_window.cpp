#include "progress_window.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QTimer>

#include "busy_work.h"
#include "ui/handler_guard.h"
#include "window_helpers.h"

namespace kalvanta {

namespace {
// The bar waits for the window's first paint, so the user sees it move; a
// platform that never paints a hidden-then-shown window still gets its run.
constexpr int kPaintFallbackMs = 250;
} // namespace

Tprogr::Tprogr(AnalysisInput& input, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), input_(input)
{
    setObjectName(QStringLiteral("Tprogr"));
    setCaption(this, QStringLiteral("Выполнение расчетов"));
    setFont(interfaceFont(8));
    setFixedSize(337, 68);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(QStringLiteral("Выполнение расчетов"));
    ProgressBar1->setGeometry(24, 24, 297, 16);
    ProgressBar1->setTextVisible(false);
    centerOnScreen(this);
}

void Tprogr::reject()
{
    // Escape and the window manager's close are refused alike.
}

void Tprogr::closeEvent(QCloseEvent* e) { e->ignore(); }

void Tprogr::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    centerOnScreen(this);
    runDue_ = true;
    QTimer::singleShot(kPaintFallbackMs, this, guarded(this, [this] { startRun(); }));
}

void Tprogr::paintEvent(QPaintEvent* e)
{
    QDialog::paintEvent(e);
    if (runDue_ && !running_)
        QTimer::singleShot(0, this, guarded(this, [this] { startRun(); }));
}

void Tprogr::startRun()
{
    // One run per showing, whichever of paint and fallback comes first.
    if (!runDue_ || running_ || !isVisible())
        return;
    runDue_ = false;
    runProgress();
}

void Tprogr::runProgress()
{
    running_ = true;
    try {
        ProgressBar1->setRange(0, kProgressSteps);
        ProgressBar1->setValue(0);
        for (int step = 0; step < kProgressSteps; ++step) {
            progressStepWork();
            ProgressBar1->setValue(ProgressBar1->value() + 1);
            // Painted at once: no window messages are processed during the run.
            ProgressBar1->repaint();
        }
    } catch (...) {
        finishRun();
        throw;
    }
    finishRun();
}

void Tprogr::finishRun()
{
    running_ = false;
    input_.AnalysisParameters.AnalysisPending = 1.0;
    if (markUnsaved_)
        markUnsaved_();
    hide();
    emit runFinished();
    if (handOver_)
        handOver_();
}

} // namespace kalvanta
