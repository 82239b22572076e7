// Import plus report: 10 000 statement files (a third each the tax
// service's XML in windows-1251, the state resource's list of a company's
// reports, a line-code table; the sample company of examples/statements,
// each file with its own tax number), through the real kalvanta-report
// binary (batches of file arguments, standard output to /dev/null, the
// import notes to /dev/null) and through the tool's code in this process,
// and the readers alone. Target: at least 5 000 statements per second on
// one core.
//
// Counters: statements_per_s is wall-clock throughput (other load on the
// machine lowers it); statements_per_cpu_s counts only the processor time
// of the work itself (the children's, for the binary), which is what one
// dedicated core would give.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <spawn.h>
#include <sstream>
#include <streambuf>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "cli/report_tool.h"
#include "statements/statement_import.h"

extern char** environ;

namespace {

using namespace kalvanta;
namespace fs = std::filesystem;

constexpr int kStatements = 10000;
constexpr const char* kSampleTaxNumber = "7705123456";

std::string readSample(const char* name)
{
    std::ifstream f(std::string(KALVANTA_SOURCE_DIR) + "/examples/statements/" + name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// The sample with its tax number (ASCII in every encoding) made the i-th.
std::string withTaxNumber(std::string text, int i)
{
    char number[16];
    std::snprintf(number, sizeof number, "77%08d", i);
    for (std::size_t at = text.find(kSampleTaxNumber); at != std::string::npos;
         at = text.find(kSampleTaxNumber, at + 10))
        text.replace(at, 10, number);
    return text;
}

// 10 000 statement files in a temporary folder, removed at exit.
class StatementFiles {
public:
    StatementFiles()
    {
        std::string pattern = (fs::temp_directory_path() / "kalvanta-bench-import-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder_ = pattern;
        const std::string samples[3] = {readSample("NO_BUHOTCH_severny-veter-2024.xml"),
                                        readSample("severny-veter-bfo.json"), readSample("severny-veter-2024.csv")};
        const char* extensions[3] = {".xml", ".json", ".csv"};
        for (int i = 0; i < kStatements; ++i) {
            const std::string path = (folder_ / ("statement-" + std::to_string(i) + extensions[i % 3])).string();
            std::ofstream(path, std::ios::binary) << withTaxNumber(samples[i % 3], i);
            paths_.push_back(path);
        }
    }
    ~StatementFiles() { fs::remove_all(folder_); }
    const std::vector<std::string>& paths() const { return paths_; }

private:
    fs::path folder_;
    std::vector<std::string> paths_;
};

const StatementFiles& files()
{
    static const StatementFiles instance;
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

// Runs the binary on one batch of files, both outputs to /dev/null; returns
// its exit status.
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
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_ImportBinary10000Statements(benchmark::State& state)
{
    const auto batchSize = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string>& paths = files().paths();
    double cpu = 0;
    for (auto _ : state) {
        const double before = childrenCpuSeconds();
        for (std::size_t start = 0; start < paths.size(); start += batchSize) {
            const std::vector<std::string> batch(
                paths.begin() + static_cast<std::ptrdiff_t>(start),
                paths.begin() + static_cast<std::ptrdiff_t>(std::min(start + batchSize, paths.size())));
            if (runBinary(batch) != 0) {
                state.SkipWithError("kalvanta-report failed");
                return;
            }
        }
        cpu += childrenCpuSeconds() - before;
    }
    state.SetItemsProcessed(state.iterations() * kStatements);
    state.counters["statements_per_s"] =
        benchmark::Counter(static_cast<double>(kStatements), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["statements_per_cpu_s"] = static_cast<double>(state.iterations() * kStatements) / cpu;
    state.counters["processes"] = static_cast<double>((paths.size() + batchSize - 1) / batchSize);
}
BENCHMARK(BM_ImportBinary10000Statements)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

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

void BM_ImportInProcess10000Statements(benchmark::State& state)
{
    const std::vector<std::string>& paths = files().paths();
    double cpu = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const double before = ownCpuSeconds();
        CountingBuffer outBuffer;
        CountingBuffer errBuffer;
        std::ostream out(&outBuffer);
        std::ostream err(&errBuffer);
        std::vector<std::string> args = {"--date", "2026-12-08"};
        args.insert(args.end(), paths.begin(), paths.end());
        if (cli::runReportTool(args, out, err, {2026, 12, 8}) != cli::kExitOk) {
            state.SkipWithError("the tool failed");
            return;
        }
        cpu += ownCpuSeconds() - before;
        bytes = outBuffer.bytes;
    }
    state.SetItemsProcessed(state.iterations() * kStatements);
    state.counters["statements_per_s"] =
        benchmark::Counter(static_cast<double>(kStatements), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["statements_per_cpu_s"] = static_cast<double>(state.iterations() * kStatements) / cpu;
    state.counters["report_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ImportInProcess10000Statements)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One format's reader and the mapping alone, from bytes in memory.
void BM_ImportOnly(benchmark::State& state)
{
    static const char* const kSamples[3] = {"NO_BUHOTCH_severny-veter-2024.xml", "severny-veter-bfo.json",
                                            "severny-veter-2024.csv"};
    const std::string bytes = readSample(kSamples[state.range(0)]);
    state.SetLabel(kSamples[state.range(0)]);
    for (auto _ : state) {
        ImportedAnalysis imported = importStatementText(bytes, "bench");
        benchmark::DoNotOptimize(imported);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ImportOnly)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
