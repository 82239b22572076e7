// A year of the statistics office's bulk file screened into the table: a
// generated file of 20 000 rows in the bulk layout (80 industries, every
// tenth row simplified, a few broken), read, analysed and written as CSV,
// with the industry percentiles (two passes) and without (one), on one
// thread and on two. Target: at least 20 000 rows per second on one core,
// 80 % of linear on two, so 2.4 million rows take under two minutes; memory
// under 500 MB for 2.4 million rows with the percentiles, flat without.
//
// Counters: rows_per_s is wall-clock throughput; rows_per_cpu_s counts the
// processor time of the whole process; rss_MB is the resident memory at the
// end; pct_store_bytes_per_row the percentiles' store per file row.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench_files.h"
#include "history/bulk_reader.h"
#include "history/bulk_table.h"
#include "indicators/table_writers.h"

namespace {

using namespace kalvanta;
using namespace kalvanta::history;
using kalvanta::bench::residentMB;
namespace fs = std::filesystem;

constexpr int kRows = 20000;

double processCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A row of plausible figures from a seed: the balance adds up, the results follow the revenue.
std::string generatedRow(unsigned i)
{
    unsigned state = i * 2654435761u + 12345u;
    const auto next = [&](unsigned range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<long>((state >> 8) % range);
    };
    std::vector<long> v(kBulkAmountLines * 2, 0);
    const auto put = [&](int line, int period, long value) {
        for (std::size_t k = 0; k < kBulkAmountLines; ++k) {
            const int code = k < kBulkBalanceLines.size() ? kBulkBalanceLines[k] : kBulkFlowLines[k - kBulkBalanceLines.size()];
            if (code == line)
                v[k * 2 + static_cast<std::size_t>(period)] = value;
        }
    };
    const bool simplified = i % 10 == 0;
    for (int p = 0; p < 2; ++p) {
        const long nca = 100 + next(100000), inv = next(50000), rec = next(80000), cash = next(20000);
        const long ca = inv + rec + cash, a = nca + ca;
        const long e = a * (10 + next(80)) / 100, ltl = (a - e) / 4, cl = a - e - ltl;
        const long sales = 1000 + next(300000), cogs = sales * (60 + next(35)) / 100;
        const long ps = sales - cogs - sales / 20, ebt = ps - next(1000), np = ebt * 8 / 10;
        if (!simplified) {
            put(1150, p, nca); put(1100, p, nca);
            put(1210, p, inv); put(1230, p, rec); put(1250, p, cash); put(1200, p, ca);
        } else {
            put(1150, p, nca); put(1210, p, inv); put(1230, p, rec); put(1250, p, cash);
        }
        put(1600, p, a); put(1370, p, e - 10); put(1310, p, 10); put(1300, p, e); put(1410, p, ltl);
        put(1400, p, simplified ? 0 : ltl); put(1520, p, cl); put(1500, p, simplified ? 0 : cl); put(1700, p, a);
        put(2110, p, sales); put(2120, p, cogs); put(2200, p, ps); put(2330, p, next(500)); put(2300, p, ebt);
        put(2410, p, ebt - np); put(2400, p, np);
    }
    std::string row = "ООО \"Фирма " + std::to_string(i) + "\";" + std::to_string(10000000 + i) + ";12300;16;" +
                      std::to_string(10 + i % 80) + "." + std::to_string(i % 7) + ";" +
                      std::to_string(7700000000ull + i) + ";384;" + (simplified ? "1" : "2");
    for (long x : v)
        row += ";" + std::to_string(x);
    for (std::size_t k = 8 + v.size(); k < 265; ++k)
        row += ";0";
    row += ";20180615";
    if (i % 5000 == 4999)
        row += ";0"; // a broken row now and then
    return row;
}

void writeBulkFile(const std::string& path, long rows)
{
    std::ofstream out(path, std::ios::binary);
    for (long i = 0; i < rows; ++i)
        out << generatedRow(static_cast<unsigned>(i)) << "\r\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "bench_bulk: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

const std::string& bulkFile()
{
    static const std::string path = [] {
        const fs::path p = fs::temp_directory_path() / ("kalvanta-bench-bulk-" + std::to_string(::getpid()) + "-20171231.csv");
        writeBulkFile(p.string(), kRows);
        return p.string();
    }();
    return path;
}

void BM_ScreenBulkFile(benchmark::State& state)
{
    const std::string& input = bulkFile();
    const fs::path table = fs::temp_directory_path() / ("kalvanta-bench-bulk-" + std::to_string(::getpid()) + ".csv");
    BulkTableControl control;
    control.jobs = static_cast<unsigned>(state.range(0));
    control.percentiles = state.range(1) != 0;
    std::size_t rows = 0;
    const double cpu0 = processCpuSeconds();
    for (auto _ : state) {
        indicators::TableFileWriter writer(table.string(), indicators::TableFormat::Csv, bulkTableLayout());
        control.lineOf = [&writer](const std::vector<indicators::Cell>& row) { return writer.lineOf(row); };
        control.deliverLine = [&writer](std::string_view line) { writer.writeLine(line); };
        const BulkTableSummary s = runBulkTable(
            {input}, control, [](const std::string&) {},
            [&](const std::vector<indicators::Cell>& row) { writer.writeCells(row); });
        writer.commit();
        rows += s.read;
    }
    const double cpu = processCpuSeconds() - cpu0;
    state.counters["rows_per_s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
    state.counters["rows_per_cpu_s"] = static_cast<double>(rows) / cpu;
    state.counters["rss_MB"] = residentMB();
    fs::remove(table);
}
BENCHMARK(BM_ScreenBulkFile)
    ->ArgNames({"jobs", "percentiles"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// Only the reading of rows: the line reader and the row's checks.
void BM_ReadBulkRows(benchmark::State& state)
{
    const std::string& input = bulkFile();
    std::size_t rows = 0;
    for (auto _ : state) {
        BulkLineReader reader(input);
        std::string line;
        std::size_t n = 0;
        BulkRow row;
        while (reader.next(line, n))
            rows += parseBulkRow(line, row) ? 0 : 1;
    }
    state.counters["rows_per_s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadBulkRows)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

// `bench_bulk --write FILE ROWS` writes a generated file of that size for
// runs of kalvanta-report itself (a year of 2.4 million rows).
int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--write") {
        writeBulkFile(argv[2], std::stol(argv[3]));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
