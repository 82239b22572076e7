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

#include <cstdio>
#include <ctime>

#include "planning_gui/planning_windows.h"
#include "shell/main_window.h"
#include "shell/report_view.h"

namespace {

using namespace kalvanta;

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

// Processor time of this process: the other programs on the machine do not count.
double cpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
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
            const double start = cpuMilliseconds();
            pass();
            QCoreApplication::processEvents();
            const double ms = cpuMilliseconds() - start;
            if (run <= 100)
                firstHundred += ms;
            if (run > kRuns - 100)
                lastHundred += ms;
            if (run == 100)
                state.counters["rss_after_100_MB"] = residentMegabytes();
        }
        state.counters["rss_after_1000_MB"] = residentMegabytes();
        state.counters["cpu_ms_first_100"] = firstHundred / 100;
        state.counters["cpu_ms_last_100"] = lastHundred / 100;
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

// Argument 0: the results stay in their view, as in the program; 1: the
// view is emptied before each press, so what remains is what a press leaks.
void BM_ThousandProductionPlans(benchmark::State& state)
{
    Calculators c;
    c.windows.openProduction();
    const bool clear = state.range(0) != 0;
    measureRun(state, [&c, clear] {
        if (clear)
            c.windows.rez()->RichEdit1->clearLines();
        c.windows.plan()->Button1->click();
    });
}
BENCHMARK(BM_ThousandProductionPlans)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ThousandCreditPresses(benchmark::State& state)
{
    Calculators c;
    Tkred* kred = c.windows.kred();
    kred->show();
    QCoreApplication::processEvents();
    kred->ComboBox1->setCurrentIndex(1);
    const bool clear = state.range(0) != 0;
    measureRun(state, [kred, clear] {
        if (clear)
            kred->Memo1->clear();
        kred->Button3->click();
    });
}
BENCHMARK(BM_ThousandCreditPresses)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ThousandInvestmentPresses(benchmark::State& state)
{
    Calculators c;
    Tinvest* invest = c.windows.invest();
    invest->show();
    QCoreApplication::processEvents();
    const bool clear = state.range(0) != 0;
    measureRun(state, [invest, clear] {
        if (clear)
            invest->RichEdit1->clearLines();
        invest->Button3->click();
    });
}
BENCHMARK(BM_ThousandInvestmentPresses)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

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
