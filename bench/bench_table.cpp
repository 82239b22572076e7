// The table of indicators: rows per second for 10 000 analysis files
// (variations of the worked example, one in ten one-year) on one core and on
// every core, through runBatch into a table file in process and through the
// real kalvanta-report --table; each format's writing alone; and resident
// memory over the run (it must stay flat: rows stream to the file).
// Target: at least 5 000 rows per second per core, every core within 80 % of
// linear.
//
// Counters: rows_per_s is wall-clock throughput (other load on the machine
// lowers it); rows_per_cpu_s counts the processor time of the work itself;
// rss_MB_at_1000 and rss_MB_at_end are the process's resident memory after
// 1 000 rows and after the last one.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "indicators/batch.h"
#include "indicators/table_writers.h"
#include "inputs/field_tables.h"
#include "inputs/json_loader.h"

#include "bench_files.h"

extern char** environ;

namespace {

using namespace kalvanta;
using namespace kalvanta::bench;
using namespace kalvanta::indicators;
namespace fs = std::filesystem;

std::string tablePath(const char* ext) { return (fs::temp_directory_path() / (std::string("kalvanta-bench-table.") + ext)).string(); }

// Threads: 1, or 0 for every core.
void BM_TableInProcess10000Files(benchmark::State& state)
{
    const auto jobs = static_cast<unsigned>(state.range(0));
    const std::vector<std::string>& paths = files().paths();
    double cpu = 0, rssAt1000 = 0, rssAtEnd = 0;
    for (auto _ : state) {
        const double before = ownCpuSeconds();
        TableFileWriter writer(tablePath("csv"), TableFormat::Csv);
        BatchControl control;
        control.jobs = jobs;
        control.progress = [&](std::size_t done, std::size_t) {
            if (done == 1000)
                rssAt1000 = residentMB();
        };
        const BatchSummary s = runBatch(paths, control, [&](std::size_t, IndicatorRow& row) { writer.writeRow(row); });
        writer.commit();
        rssAtEnd = residentMB();
        cpu += ownCpuSeconds() - before;
        if (s.analysed != paths.size()) {
            state.SkipWithError("not every file was analysed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kAnalyses);
    state.counters["threads"] = jobs == 0 ? defaultJobs() : jobs;
    state.counters["rows_per_s"] = benchmark::Counter(static_cast<double>(kAnalyses), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["rows_per_cpu_s"] = static_cast<double>(state.iterations() * kAnalyses) / cpu;
    state.counters["rss_MB_at_1000"] = rssAt1000;
    state.counters["rss_MB_at_end"] = rssAtEnd;
}
BENCHMARK(BM_TableInProcess10000Files)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The real tool: kalvanta-report -j N --table FILE FOLDER.
void BM_TableBinary10000Files(benchmark::State& state)
{
    const std::string jobs = std::to_string(state.range(0) == 0 ? defaultJobs() : static_cast<unsigned>(state.range(0)));
    const std::string folder = fs::path(files().paths().front()).parent_path().string();
    std::vector<std::string> args = {KALVANTA_REPORT_BINARY, "-j", jobs, "--table", tablePath("csv"), folder};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    double cpu = 0;
    for (auto _ : state) {
        const double before = childrenCpuSeconds();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (spawned != 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("kalvanta-report --table failed");
            return;
        }
        cpu += childrenCpuSeconds() - before;
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["threads"] = std::stod(jobs);
    state.counters["rows_per_s"] = benchmark::Counter(static_cast<double>(kAnalyses), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["rows_per_cpu_s"] = static_cast<double>(state.iterations() * kAnalyses) / cpu;
    state.counters["max_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
}
BENCHMARK(BM_TableBinary10000Files)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Writing alone: 10 000 rows of the worked example in each format.
void BM_TableWrite10000Rows(benchmark::State& state)
{
    const auto format = static_cast<TableFormat>(state.range(0));
    static const IndicatorRow row = analyseFile(std::string(KALVANTA_SOURCE_DIR) + "/examples/worked-example.json");
    const std::string path = tablePath(formatName(format));
    for (auto _ : state) {
        TableFileWriter writer(path, format);
        for (int i = 0; i < kAnalyses; ++i)
            writer.writeRow(row);
        writer.commit();
    }
    state.SetLabel(formatName(format));
    state.counters["rows_per_s"] = benchmark::Counter(static_cast<double>(kAnalyses), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
}
BENCHMARK(BM_TableWrite10000Rows)
    ->Arg(static_cast<int>(TableFormat::Csv))
    ->Arg(static_cast<int>(TableFormat::CsvRussian))
    ->Arg(static_cast<int>(TableFormat::Xlsx))
    ->Arg(static_cast<int>(TableFormat::JsonLines))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
