// Opening the chart window late in a long run: a thousand analyses handed
// to the main window (every report kept in the view), then the chart
// command, up to the window drawn. Each opening follows a further analysis,
// so the pages are rebuilt every time, as after a new analysis.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

#include "charts/charts_window.h"
#include "shell/main_window.h"

namespace {

using namespace kalvanta;

// Processor time of this process: other programs on the machine do not count.
double cpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void handOver(TForm1& form)
{
    form.input().AnalysisParameters.AnalysisPending = 1.0;
    form.FormActivate();
}

void openCharts(TForm1& form)
{
    form.N36Click();
    QCoreApplication::processEvents(); // laid out and painted
}

// Argument: analyses in the run before the window is opened.
void BM_OpenChartWindow(benchmark::State& state)
{
    TForm1 form;
    form.setRegionalSettings(RegionalSettings::russian());
    form.input() = workedExample();
    form.show();
    for (int i = 0; i < state.range(0); ++i)
        handOver(form);
    QCoreApplication::processEvents();

    // The first opening also creates the window.
    QElapsedTimer first;
    first.start();
    const double firstCpu = cpuMilliseconds();
    openCharts(form);
    state.counters["first_open_cpu_ms"] = cpuMilliseconds() - firstCpu;
    state.counters["first_open_ms"] = static_cast<double>(first.nsecsElapsed()) / 1e6;

    for (auto _ : state) {
        state.PauseTiming();
        form.chartsWindow()->close();
        handOver(form);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        openCharts(form);
    }
    state.counters["analyses"] = static_cast<double>(state.range(0)) + 1 + static_cast<double>(state.iterations());
}
BENCHMARK(BM_OpenChartWindow)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(20);

// The window open while an analysis arrives: the pages are redrawn at once.
void BM_RefreshOpenChartWindow(benchmark::State& state)
{
    TForm1 form;
    form.setRegionalSettings(RegionalSettings::russian());
    form.input() = workedExample();
    form.show();
    handOver(form);
    openCharts(form);
    for (auto _ : state) {
        handOver(form);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_RefreshOpenChartWindow)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns at every raise().
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg && type != QtInfoMsg && type != QtDebugMsg)
            fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
