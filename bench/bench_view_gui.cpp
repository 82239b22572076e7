// The main window's report view: appending a report (one edit block) to a
// view that already holds a hundred, the activation handler's whole work,
// and the fixed processor work of the two waits.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextDocument>

#include "analysis/report_builder.h"
#include "shell/busy_work.h"
#include "shell/main_window.h"
#include "shell/report_view.h"
#include "shell/rich_text_bridge.h"

namespace {

using namespace kalvanta;

std::vector<std::string> twoYearReportLines()
{
    AnalysisInput input = workedExample();
    input.AnalysisParameters.AnalysisPending = 1.0;
    AnalysisResults results;
    VectorSink sink;
    writePendingReport(input, results, sink, RegionalSettings::russian(), {2026, 3, 14});
    return sink.lines;
}

void appendReport(ReportView& view, const std::vector<std::string>& lines)
{
    ReportViewSink sink(view);
    sink.setVerticalScrollBars();
    for (const std::string& line : lines)
        sink.appendLine(line);
}

// One report appended and laid out, the view already holding `range(0)` reports.
void BM_AppendReportToFullView(benchmark::State& state)
{
    const std::vector<std::string> lines = twoYearReportLines();
    ReportView view;
    view.resize(734, 440);
    view.show();
    for (int i = 0; i < state.range(0); ++i)
        appendReport(view, lines);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        appendReport(view, lines);
        QCoreApplication::processEvents();
    }
    state.counters["paragraphs"] = view.document()->blockCount();
}
BENCHMARK(BM_AppendReportToFullView)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(20);

// The activation handler with a pending two-year analysis: compute and append.
void BM_FormActivateWithPendingReport(benchmark::State& state)
{
    TForm1 form;
    form.setRegionalSettings(RegionalSettings::russian());
    form.input() = workedExample();
    form.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        form.input().AnalysisParameters.AnalysisPending = 1.0;
        form.FormActivate();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FormActivateWithPendingReport)->Unit(benchmark::kMillisecond)->Iterations(50);

// The base font change of a one-year report re-lays out the whole view.
void BM_BaseFontChangeOf100Reports(benchmark::State& state)
{
    const std::vector<std::string> lines = twoYearReportLines();
    ReportView view;
    view.resize(734, 440);
    view.show();
    for (int i = 0; i < 100; ++i)
        appendReport(view, lines);
    QCoreApplication::processEvents();
    int height = 14;
    for (auto _ : state) {
        view.setBaseFontHeight(height);
        QCoreApplication::processEvents();
        height = height == 14 ? 16 : 14;
    }
}
BENCHMARK(BM_BaseFontChangeOf100Reports)->Unit(benchmark::kMillisecond)->Iterations(4);

// Save as and Open of a view holding 100 two-year reports: the conversions
// between the view and the document model (the RTF work is in bench_rtf).
void BM_ViewToModelOf100Reports(benchmark::State& state)
{
    const std::vector<std::string> lines = twoYearReportLines();
    ReportView view;
    for (int i = 0; i < 100; ++i)
        appendReport(view, lines);
    for (auto _ : state) {
        doc::Document model = documentOf(view);
        benchmark::DoNotOptimize(model.paragraphs.data());
    }
}
BENCHMARK(BM_ViewToModelOf100Reports)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ModelToViewOf100Reports(benchmark::State& state)
{
    const std::vector<std::string> lines = twoYearReportLines();
    ReportView source;
    for (int i = 0; i < 100; ++i)
        appendReport(source, lines);
    const doc::Document model = documentOf(source);
    ReportView view;
    view.resize(734, 440);
    view.show();
    for (auto _ : state) {
        showDocument(view, model);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ModelToViewOf100Reports)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StartupPause(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(startupPause());
}
BENCHMARK(BM_StartupPause)->Unit(benchmark::kMillisecond);

void BM_ProgressRunOfHundredSteps(benchmark::State& state)
{
    for (auto _ : state)
        for (int step = 0; step < kProgressSteps; ++step)
            benchmark::DoNotOptimize(progressStepWork());
}
BENCHMARK(BM_ProgressRunOfHundredSteps)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
