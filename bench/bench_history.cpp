// The analysis of a company's history: every figure of every year of a
// ten-year history, with and without its report text and the merge of its
// statements (target: under 1 ms), and the history's table of 10 000
// companies of seven years each (three tax XML reports and a line-code table
// per company, 40 000 files) on one core and on every core (target: at
// least 2 000 companies per second per core), each company's files together
// in the folder (read once) or scattered over it (read twice after the
// restart), with resident memory after 1 000 companies and at the end, which
// must stay flat: rows stream.
//
// Counters: companies_per_s is wall-clock throughput; companies_per_cpu_s
// counts the processor time of the work itself; rss_MB_at_1000 and
// rss_MB_at_end are the process's resident memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "history/history_figures.h"
#include "history/history_report.h"
#include "history/history_table.h"
#include "indicators/table_writers.h"

#include "bench_files.h"

namespace {

using namespace kalvanta;
using namespace kalvanta::history;
using namespace kalvanta::bench;
namespace fs = std::filesystem;

// Ten annual statements of one company, 2015 … 2024, every line of the full forms.
std::vector<StatementFile> tenYearStatements()
{
    static const int balanceLines[] = {1110, 1120, 1130, 1140, 1150, 1160, 1170, 1180, 1190, 1100, 1210, 1220,
                                       1230, 1240, 1250, 1260, 1200, 1600, 1310, 1320, 1340, 1350, 1360, 1370,
                                       1300, 1410, 1420, 1430, 1450, 1400, 1510, 1520, 1530, 1540, 1550, 1500,
                                       1700};
    static const int flowLines[] = {2110, 2120, 2100, 2210, 2220, 2200, 2310, 2320, 2330,
                                    2340, 2350, 2300, 2410, 2400, 2510, 2520, 2500};
    std::vector<StatementFile> files;
    for (int year = 2015; year <= 2024; ++year) {
        Statement s;
        s.sourceName = "NO_BUHOTCH_" + std::to_string(year) + ".xml";
        s.organisation = "ООО \"Десять лет\"";
        s.taxNumber = "7700000010";
        s.year = year;
        const auto value = [](int code, int y) { return (code % 97 + 10) * (1.0 + (y - 2010) * 0.07); };
        for (int code : balanceLines)
            s.lines[code] = {value(code, year), value(code, year - 1), value(code, year - 2)};
        for (int code : flowLines)
            s.lines[code] = {value(code, year), value(code, year - 1), std::nullopt};
        StatementFile f;
        f.statements.push_back(std::move(s));
        files.push_back(std::move(f));
    }
    return files;
}

void BM_HistoryTenYearsFigures(benchmark::State& state)
{
    const CompanyHistory h = buildHistories(tenYearStatements()).front();
    std::size_t figures = 0;
    for (auto _ : state) {
        figures = 0;
        for (const auto& [year, y] : h.years) {
            const YearView view(h, year);
            figures += ratioFigures(view).size() + verdictFigures(view).size();
        }
        benchmark::DoNotOptimize(figures);
    }
    state.counters["years"] = static_cast<double>(h.years.size());
    state.counters["figures"] = static_cast<double>(figures);
}
BENCHMARK(BM_HistoryTenYearsFigures)->Unit(benchmark::kMicrosecond);

void BM_HistoryTenYearsReport(benchmark::State& state)
{
    const CompanyHistory h = buildHistories(tenYearStatements()).front();
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = historyReportLines(h, ",").size();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_HistoryTenYearsReport)->Unit(benchmark::kMicrosecond);

void BM_HistoryTenYearsMergeAndReport(benchmark::State& state)
{
    const std::vector<StatementFile> files = tenYearStatements();
    for (auto _ : state) {
        const std::vector<CompanyHistory> h = buildHistories(files);
        benchmark::DoNotOptimize(historyReportLines(h.front(), ",").size());
    }
}
BENCHMARK(BM_HistoryTenYearsMergeAndReport)->Unit(benchmark::kMicrosecond);

constexpr int kCompanies = 10000;

std::string readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string withTaxNumber(std::string text, const std::string& inn)
{
    const std::string example = "5003012345";
    for (std::size_t at = text.find(example); at != std::string::npos; at = text.find(example, at + inn.size()))
        text.replace(at, example.size(), inn);
    return text;
}

// The example history's four files for each of 10 000 tax numbers, named
// so that a company's files come together in the folder's order
// ("7700000000-NO_BUHOTCH_…") or are scattered over it ("NO_BUHOTCH_…-7700000000").
class CompanyFiles {
public:
    explicit CompanyFiles(bool together)
    {
        std::string pattern = (fs::temp_directory_path() / "kalvanta-bench-history-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder_ = pattern;
        std::vector<std::pair<std::string, std::string>> templates;
        for (const auto& e : fs::directory_iterator(fs::path(KALVANTA_SOURCE_DIR) / "examples/history"))
            templates.push_back({e.path().filename().string(), readBytes(e.path())});
        for (int i = 0; i < kCompanies; ++i) {
            const std::string inn = std::to_string(7700000000LL + i);
            for (const auto& [name, bytes] : templates) {
                const fs::path n(name);
                const std::string scattered = n.stem().string() + "-" + inn + n.extension().string();
                std::ofstream(folder_ / (together ? inn + "-" + name : scattered), std::ios::binary)
                    << withTaxNumber(bytes, inn);
            }
        }
    }
    ~CompanyFiles() { fs::remove_all(folder_); }
    std::string folder() const { return folder_.string(); }

private:
    fs::path folder_;
};

const CompanyFiles& companyFiles(bool together)
{
    if (together) {
        static const CompanyFiles instance(true);
        return instance;
    }
    static const CompanyFiles instance(false);
    return instance;
}

// Threads: 1, or 0 for every core; files of a company together (1) or scattered (0).
void BM_HistoryTable10000Companies(benchmark::State& state)
{
    const auto jobs = static_cast<unsigned>(state.range(0));
    const bool together = state.range(1) != 0;
    const std::string folder = companyFiles(together).folder();
    const std::string table = (fs::temp_directory_path() / "kalvanta-bench-history.csv").string();
    double cpu = 0, rssAt1000 = 0, rssAtEnd = 0;
    for (auto _ : state) {
        const double before = ownCpuSeconds();
        std::optional<indicators::TableFileWriter> writer;
        writer.emplace(table, indicators::TableFormat::Csv, historyTableLayout());
        HistoryTableControl control;
        control.jobs = jobs;
        control.restart = [&] {
            writer.reset();
            writer.emplace(table, indicators::TableFormat::Csv, historyTableLayout());
        };
        std::size_t rows = 0;
        const HistoryTableSummary s = runHistoryTable(
            {folder}, control, [](const std::string&) {}, [&](const std::vector<indicators::Cell>& row) {
                writer->writeCells(row);
                if (++rows == 7000) // the example history has seven years
                    rssAt1000 = residentMB();
            });
        writer->commit();
        rssAtEnd = residentMB();
        cpu += ownCpuSeconds() - before;
        if (s.companies != kCompanies || s.refused != 0) {
            state.SkipWithError("not every company was written");
            return;
        }
    }
    fs::remove(table);
    const double n = static_cast<double>(kCompanies) * static_cast<double>(state.iterations());
    state.counters["companies_per_s"] = benchmark::Counter(n, benchmark::Counter::kIsRate);
    state.counters["companies_per_cpu_s"] = n / cpu;
    state.counters["rss_MB_at_1000"] = rssAt1000;
    state.counters["rss_MB_at_end"] = rssAtEnd;
}
BENCHMARK(BM_HistoryTable10000Companies)
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace

BENCHMARK_MAIN();
