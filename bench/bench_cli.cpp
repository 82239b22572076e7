// Command-line tool throughput: 10 000 analyses from JSON files, variations
// of the worked example, timed through the real kalvanta-report binary (in
// batches of file arguments, one process after another, standard output to
// /dev/null) and through the tool's code in this process. Target: over
// 5 000 analyses per second on one core.
//
// Counters: analyses_per_s is wall-clock throughput (other load on the
// machine lowers it); analyses_per_cpu_s counts only the processor time of
// the work itself (the children's, for the binary), which is what one
// dedicated core would give.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <spawn.h>
#include <streambuf>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "cli/report_tool.h"
#include "inputs/field_tables.h"
#include "inputs/json_loader.h"

extern char** environ;

namespace {

using namespace kalvanta;
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
        // Appended piece by piece: prepending to a temporary string makes
        // g++ 12 at -O3 report a false overlapping memcpy.
        out += "  \"";
        out += f.name;
        out += "\": ";
        appendNumber(out, record.*f.member);
    }
    out += '\n';
    out += indent;
    out += '}';
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
        std::string pattern = (fs::temp_directory_path() / "kalvanta-bench-XXXXXX").string();
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

// Runs the binary on one batch of files, output to /dev/null; returns its exit status.
int runBinary(const std::vector<std::string>& batch)
{
    std::vector<std::string> args = {KALVANTA_REPORT_BINARY, "--date", "2026-12-08"};
    args.insert(args.end(), batch.begin(), batch.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_CliBinary10000Files(benchmark::State& state)
{
    const auto batchSize = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string>& paths = files().paths();
    double cpu = 0;
    for (auto _ : state) {
        const double before = childrenCpuSeconds();
        for (std::size_t start = 0; start < paths.size(); start += batchSize) {
            const std::vector<std::string> batch(paths.begin() + static_cast<std::ptrdiff_t>(start),
                                                 paths.begin() + static_cast<std::ptrdiff_t>(std::min(start + batchSize, paths.size())));
            if (runBinary(batch) != 0) {
                state.SkipWithError("kalvanta-report failed");
                return;
            }
        }
        cpu += childrenCpuSeconds() - before;
    }
    state.SetItemsProcessed(state.iterations() * kAnalyses);
    state.counters["analyses_per_s"] = benchmark::Counter(static_cast<double>(kAnalyses), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["analyses_per_cpu_s"] = static_cast<double>(state.iterations() * kAnalyses) / cpu;
    state.counters["processes"] = static_cast<double>((paths.size() + batchSize - 1) / batchSize);
}
BENCHMARK(BM_CliBinary10000Files)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Counts what the tool writes and drops it.
class CountingBuffer : public std::streambuf {
public:
    std::size_t bytes = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        bytes += static_cast<std::size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override
    {
        ++bytes;
        return traits_type::not_eof(c);
    }
};

void BM_CliInProcess10000Files(benchmark::State& state)
{
    const auto batchSize = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string>& paths = files().paths();
    double cpu = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const double before = ownCpuSeconds();
        CountingBuffer outBuffer;
        CountingBuffer errBuffer;
        std::ostream out(&outBuffer);
        std::ostream err(&errBuffer);
        for (std::size_t start = 0; start < paths.size(); start += batchSize) {
            std::vector<std::string> args = {"--date", "2026-12-08"};
            args.insert(args.end(), paths.begin() + static_cast<std::ptrdiff_t>(start),
                        paths.begin() + static_cast<std::ptrdiff_t>(std::min(start + batchSize, paths.size())));
            if (cli::runReportTool(args, out, err, {2026, 12, 8}) != cli::kExitOk) {
                state.SkipWithError("the tool failed");
                return;
            }
        }
        cpu += ownCpuSeconds() - before;
        bytes = outBuffer.bytes;
    }
    state.SetItemsProcessed(state.iterations() * kAnalyses);
    state.counters["analyses_per_s"] = benchmark::Counter(static_cast<double>(kAnalyses), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["analyses_per_cpu_s"] = static_cast<double>(state.iterations() * kAnalyses) / cpu;
    state.counters["report_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_CliInProcess10000Files)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
