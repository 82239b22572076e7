// The desktop program as a user meets it: start-up from process start to
// the main window shown (with and without the fixed processor-work pause),
// resident memory after start-up and after 100 two-year reports, and the
// time to append one report through the main window's activation handler
// when the view already holds 0, 10 and 100 (target: the 100th no more than
// twice the first).
//
// Start-up runs this program again as a child (`--child`) that repeats the
// steps of src/shell/main.cpp: application, splash, every window in order,
// the pause, the main window shown. The child writes the monotonic clock
// reading once the event loop has shown the main window, and /proc memory
// figures; the parent times from just before the spawn.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "inputs/analysis_input.h"
#include "shell/busy_work.h"
#include "shell/drawn_pictures.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"
#include "shell/report_view.h"
#include "shell/splash_window.h"
#include "shell/window_helpers.h"
#include "ui/application.h"
#include "ui/ui_services.h"

extern char** environ;

namespace {

using namespace kalvanta;

long long monotonicNanoseconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

// VmRSS and VmHWM of this process, in kB.
std::pair<long, long> residentKilobytes()
{
    long rss = -1;
    long hwm = -1;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                rss = line.mid(6).trimmed().split(' ').value(0).toLong();
            if (line.startsWith("VmHWM:"))
                hwm = line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return {rss, hwm};
}

// One pending two-year analysis handed to the main window, as the progress
// window hands it over.
void appendReport(TForm1& form)
{
    form.input() = workedExample();
    form.input().AnalysisParameters.AnalysisPending = 1.0;
    form.FormActivate();
    QCoreApplication::processEvents();
}

// The child: main.cpp's start-up, then the measurements on stdout.
int runChild(int argc, char** argv, bool pause, int reports)
{
    KalvantaApplication app(argc, argv);
    app.setFont(interfaceFont(8));
    app.setWindowIcon(pictures::programIcon());
    app.setQuitOnLastWindowClosed(false);
    auto splash = std::make_unique<Top>();
    splash->showAndPaint();
    app.setApplicationName(kApplicationTitle);
    ProgramWindows windows;
    TForm1* main = windows.mainWindow();
    if (pause)
        startupPause();
    main->show();
    QTimer::singleShot(0, splash.get(), [&] {
        splash->hide();
        const long long shown = monotonicNanoseconds();
        const auto [rss, hwm] = residentKilobytes();
        main->setRegionalSettings(RegionalSettings::russian());
        for (int i = 0; i < reports; ++i)
            appendReport(*main);
        const auto [rssReports, hwmReports] = residentKilobytes();
        std::printf("%lld %ld %ld %ld %ld %d\n", shown, rss, hwm, rssReports, hwmReports,
                    main->findChild<ReportView*>() ? main->findChild<ReportView*>()->document()->blockCount() : -1);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    const int result = QApplication::exec();
    splash.reset();
    return result;
}

std::string selfPath;

struct ChildFigures {
    double shownMs = 0;
    double rssStartMB = 0;
    double hwmStartMB = 0;
    double rssReportsMB = 0;
    double hwmReportsMB = 0;
    int paragraphs = 0;
};

bool spawnChild(bool pause, int reports, ChildFigures& figures)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    std::vector<std::string> args = {selfPath, "--child", pause ? "--pause" : "--no-pause", std::to_string(reports)};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const long long start = monotonicNanoseconds();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return false;
    }
    std::string output;
    char buffer[256];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long shown = 0;
    long rss = 0, hwm = 0, rssReports = 0, hwmReports = 0;
    int paragraphs = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(output.c_str(), "%lld %ld %ld %ld %ld %d", &shown, &rss, &hwm, &rssReports, &hwmReports,
                    &paragraphs) != 6)
        return false;
    figures = {static_cast<double>(shown - start) / 1e6, rss / 1024.0,       hwm / 1024.0,
               rssReports / 1024.0,                      hwmReports / 1024.0, paragraphs};
    return true;
}

void startup(benchmark::State& state, bool pause, int reports)
{
    ChildFigures figures;
    for (auto _ : state) {
        if (!spawnChild(pause, reports, figures)) {
            state.SkipWithError("the child program failed");
            return;
        }
        state.SetIterationTime(figures.shownMs / 1e3);
    }
    state.counters["rss_after_start_MB"] = figures.rssStartMB;
    state.counters["peak_after_start_MB"] = figures.hwmStartMB;
    if (reports > 0) {
        state.counters["rss_after_reports_MB"] = figures.rssReportsMB;
        state.counters["peak_after_reports_MB"] = figures.hwmReportsMB;
        state.counters["paragraphs"] = figures.paragraphs;
    }
}

void BM_StartupToMainWindowShown(benchmark::State& state) { startup(state, true, 0); }
void BM_StartupWithoutPause(benchmark::State& state) { startup(state, false, 0); }
void BM_StartupThen100Reports(benchmark::State& state) { startup(state, false, 100); }
BENCHMARK(BM_StartupToMainWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartupWithoutPause)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartupThen100Reports)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// One report appended by the activation handler to a main window whose view
// already holds range(0) reports.
void BM_AppendReportThroughMainWindow(benchmark::State& state)
{
    TForm1 form;
    form.setRegionalSettings(RegionalSettings::russian());
    form.show();
    for (int i = 0; i < state.range(0); ++i)
        appendReport(form);
    for (auto _ : state)
        appendReport(form);
    if (auto* view = form.findChild<ReportView*>())
        state.counters["paragraphs"] = view->document()->blockCount();
}
BENCHMARK(BM_AppendReportThroughMainWindow)->Arg(0)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, std::strcmp(argv[2], "--pause") == 0, std::atoi(argv[3]));
    char resolved[4096];
    const ssize_t length = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
    selfPath = length > 0 ? std::string(resolved, static_cast<std::size_t>(length)) : argv[0];
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
