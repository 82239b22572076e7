// Long runs in one program run, measured: a thousand analyses handed to the
// main window (as the progress run hands them over) and a thousand presses
// of each calculator. Each benchmark is one pass of the whole run; its
// counters give the resident memory before, after 100 and after 1000
// passes, and the mean time of the first and the last hundred. The
// equality of the results is checked by tests/wizard/main_window/
// test_endurance_main_window.cpp.
#include <benchmark/benchmark.h>

#include <QPushButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>

#include <chrono>
#include <cstdio>

#include "planning_gui/planning_windows.h"
#include "shell/main_window.h"
#include "shell/report_view.h"

namespace {

using namespace kalvanta;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 1000;

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// Runs `pass` kRuns times and sets the counters of the run.
template <class Pass>
void measureRun(benchmark::State& state, Pass&& pass)
{
    for (auto _ : state) {
        state.counters["rss_start_MB"] = residentMegabytes();
        double firstHundred = 0;
        double lastHundred = 0;
        for (int run = 1; run <= kRuns; ++run) {
            const auto start = Clock::now();
            pass();
            QCoreApplication::processEvents();
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            if (run <= 100)
                firstHundred += ms;
            if (run > kRuns - 100)
                lastHundred += ms;
            if (run == 100)
                state.counters["rss_after_100_MB"] = residentMegabytes();
        }
        state.counters["rss_after_1000_MB"] = residentMegabytes();
        state.counters["ms_first_100"] = firstHundred / 100;
        state.counters["ms_last_100"] = lastHundred / 100;
    }
}

void handOver(TForm1& form)
{
    form.input().AnalysisParameters.AnalysisPending = 1.0;
    form.markUnsaved();
    form.FormActivate();
}

// The user clears the view before each analysis: memory must not grow.
void BM_ThousandAnalysesClearedBetween(benchmark::State& state)
{
    TForm1 form;
    form.setRegionalSettings(RegionalSettings::russian());
    form.input() = workedExample();
    form.show();
    QCoreApplication::processEvents();
    measureRun(state, [&form] {
        form.N29Click();
        handOver(form);
    });
}
BENCHMARK(BM_ThousandAnalysesClearedBetween)->Unit(benchmark::kSecond)->Iterations(1);

// Every report stays in the view: memory grows with the text it holds.
void BM_ThousandAnalysesKeptInTheView(benchmark::State& state)
{
    TForm1 form;
    form.setRegionalSettings(RegionalSettings::russian());
    form.input() = workedExample();
    form.show();
    QCoreApplication::processEvents();
    measureRun(state, [&form] { handOver(form); });
    state.counters["paragraphs"] = form.RichEdit1->document()->blockCount();
}
BENCHMARK(BM_ThousandAnalysesKeptInTheView)->Unit(benchmark::kSecond)->Iterations(1);

// The calculators' windows as the program has them, their results kept.
struct Calculators {
    PlanningWindows windows;
    Calculators()
    {
        windows.createAll();
        windows.setRegionalSettings(RegionalSettings::russian());
    }
};

void BM_ThousandProductionPlans(benchmark::State& state)
{
    Calculators c;
    c.windows.openProduction();
    measureRun(state, [&c] { c.windows.plan()->Button1->click(); });
}
BENCHMARK(BM_ThousandProductionPlans)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ThousandCreditPresses(benchmark::State& state)
{
    Calculators c;
    Tkred* kred = c.windows.kred();
    kred->show();
    QCoreApplication::processEvents();
    kred->ComboBox1->setCurrentIndex(1);
    measureRun(state, [kred] { kred->Button3->click(); });
}
BENCHMARK(BM_ThousandCreditPresses)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ThousandInvestmentPresses(benchmark::State& state)
{
    Calculators c;
    Tinvest* invest = c.windows.invest();
    invest->show();
    QCoreApplication::processEvents();
    measureRun(state, [invest] { invest->Button3->click(); });
}
BENCHMARK(BM_ThousandInvestmentPresses)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns at every raise(): a thousand lines of noise.
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
