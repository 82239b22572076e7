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

#include "bench_files.h"

extern char** environ;

namespace {

using namespace kalvanta;
using namespace kalvanta::bench;
namespace fs = std::filesystem;

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
