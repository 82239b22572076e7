// Report builder speed: one two-year worked-example report into memory, and
// the command-line tool's work (load a JSON file, write the report) per analysis.
#include <benchmark/benchmark.h>

#include <string>

#include "analysis/report_builder.h"
#include "analysis/report_sink.h"
#include "inputs/json_loader.h"

namespace {

// Concatenates lines like the tool writes them to standard output.
class StringSink : public kalvanta::ReportSink {
public:
    void appendLine(std::string_view line) override
    {
        text.append(line);
        text.push_back('\n');
    }
    void setVerticalScrollBars() override {}
    void setBaseFontHeight(int) override {}
    std::string text;
};

void BM_TwoYearReport(benchmark::State& state)
{
    const kalvanta::AnalysisInput example = kalvanta::workedExample();
    const auto regional = kalvanta::RegionalSettings::russian();
    kalvanta::AnalysisResults results;
    for (auto _ : state) {
        kalvanta::AnalysisInput input = example;
        input.AnalysisParameters.AnalysisPending = 1.0;
        StringSink sink;
        kalvanta::writePendingReport(input, results, sink, regional, {2026, 12, 8});
        benchmark::DoNotOptimize(sink.text.data());
    }
}
BENCHMARK(BM_TwoYearReport)->Unit(benchmark::kMicrosecond);

void BM_AnalysisFromFile(benchmark::State& state)
{
    const std::string path = std::string(KALVANTA_SOURCE_DIR) + "/examples/worked-example.json";
    const auto regional = kalvanta::RegionalSettings::russian();
    for (auto _ : state) {
        kalvanta::AnalysisInput input = kalvanta::loadAnalysisFile(path);
        input.AnalysisParameters.AnalysisPending = 1.0;
        kalvanta::AnalysisResults results;
        StringSink sink;
        kalvanta::writePendingReport(input, results, sink, regional, {2026, 12, 8});
        benchmark::DoNotOptimize(sink.text.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AnalysisFromFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
