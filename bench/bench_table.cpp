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

extern char** environ;

namespace {

using namespace kalvanta;
using namespace kalvanta::indicators;
namespace fs = std::filesystem;

constexpr int kAnalyses = 10000;

void appendNumber(std::string& out, double value)
{
    char buffer[32];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, res.ptr);
}

template <class Record, class Fields>
void appendObject(std::string& out, const Record& record, const Fields& fields, const char* indent)
{
    out += "{";
    bool first = true;
    for (const auto& f : fields) {
        out += first ? "\n" : ",\n";
        first = false;
        out += indent;
        out += "  \"" + std::string(f.name) + "\": ";
        appendNumber(out, record.*f.member);
    }
    out += "\n" + std::string(indent) + "}";
}

// The record as the loader reads it, laid out like examples/worked-example.json.
std::string analysisJson(const AnalysisInput& in)
{
    const ParametersGroup& p = in.AnalysisParameters;
    std::string out = "{\n  \"EnterpriseName\": \"" + p.EnterpriseName + "\",\n  \"UnitName\": \"" + p.UnitName + "\"";
    const std::pair<const char*, double> numbers[] = {
        {"YearCount", p.YearCount},
        {"ExpertAssessmentOn", p.ExpertAssessmentOn},
        {"BusinessActivityOn", p.BusinessActivityOn},
        {"FinancialLeverageOn", p.FinancialLeverageOn},
        {"OperatingLeverageOn", p.OperatingLeverageOn},
        {"WorkingCapitalNeedsOn", p.WorkingCapitalNeedsOn},
        {"ProductCount", in.ProductCount},
    };
    for (const auto& [name, value] : numbers) {
        out += ",\n  \"" + std::string(name) + "\": ";
        appendNumber(out, value);
    }
    const std::pair<const char*, const BalanceSheet*> sheets[] = {
        {"Y1Start", &in.Y1Start}, {"Y1End", &in.Y1End}, {"Y2Start", &in.Y2Start}, {"Y2End", &in.Y2End}};
    for (const auto& entry : sheets) {
        // A named variable, not a structured binding: clang 14 cannot capture those.
        const BalanceSheet* sheet = entry.second;
        out += ",\n  \"" + std::string(entry.first) + "\": {";
        const char* separator = "\n    \"";
        const auto field = [&](const BalanceField& f) {
            out += separator + std::string(f.name) + "\": ";
            appendNumber(out, sheet->*f.member);
            separator = ",\n    \"";
        };
        std::for_each(kAssetFields.begin(), kAssetFields.end(), field);
        std::for_each(kLiabilityFields.begin(), kLiabilityFields.end(), field);
        out += "\n  }";
    }
    out += ",\n  \"ProfitLoss\": [";
    appendObject(out, in.ProfitLoss[1], kProfitLossFields, "    ");
    out += ", ";
    appendObject(out, in.ProfitLoss[2], kProfitLossFields, "    ");
    out += "],\n  \"AdditionalData\": [";
    appendObject(out, in.AdditionalData[1], kAdditionalFields, "    ");
    out += ", ";
    appendObject(out, in.AdditionalData[2], kAdditionalFields, "    ");
    out += "]\n}\n";
    return out;
}

// Variation i of the worked example: every amount scaled by 1 + (i mod 97) %,
// its own enterprise name, and every tenth analysis a one-year one.
AnalysisInput variation(const AnalysisInput& example, int i)
{
    AnalysisInput in = example;
    const double scale = 1.0 + (i % 97) / 100.0;
    for (BalanceSheet* sheet : {&in.Y1Start, &in.Y1End, &in.Y2Start, &in.Y2End}) {
        for (const auto& f : kAssetFields)
            sheet->*f.member *= scale;
        for (const auto& f : kLiabilityFields)
            sheet->*f.member *= scale;
    }
    for (int y = 1; y <= 2; ++y) {
        for (const auto& f : kProfitLossFields)
            in.ProfitLoss[y].*f.member *= scale;
        in.AdditionalData[y].FixedCostsTotal *= scale;
        in.AdditionalData[y].CreditsReceived *= scale;
    }
    in.AnalysisParameters.EnterpriseName = "Фирма N " + std::to_string(i);
    if (i % 10 == 9)
        in.AnalysisParameters.YearCount = 1.0;
    return in;
}

// 10 000 analysis files in a temporary folder, removed at exit.
class AnalysisFiles {
public:
    AnalysisFiles()
    {
        std::string pattern = (fs::temp_directory_path() / "kalvanta-bench-table-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder_ = pattern;
        const AnalysisInput example =
            loadAnalysisFile(std::string(KALVANTA_SOURCE_DIR) + "/examples/worked-example.json");
        for (int i = 0; i < kAnalyses; ++i) {
            const std::string path = (folder_ / ("analysis-" + std::to_string(i) + ".json")).string();
            std::ofstream(path, std::ios::binary) << analysisJson(variation(example, i));
            paths_.push_back(path);
        }
    }
    ~AnalysisFiles() { fs::remove_all(folder_); }
    const std::vector<std::string>& paths() const { return paths_; }

private:
    fs::path folder_;
    std::vector<std::string> paths_;
};

const AnalysisFiles& files()
{
    static const AnalysisFiles instance;
    return instance;
}

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ownCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double residentMB()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

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
