// RTF speed: a view holding 100 two-year reports (25 000 lines with
// Cyrillic labels and padded columns) written and read back. Target: over
// 20 MB/s each way, counted in bytes of RTF.
#include "document/document_io.h"
#include "document/rtf_reader.h"
#include "document/rtf_writer.h"

#include "../tests/document/report_fixture.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kalvanta::doc;

const Document& hundredReports() {
    static const Document document = [] {
        const std::vector<std::string> report = report_fixture::twoYearReportLines();
        std::vector<std::string> lines;
        for (int i = 0; i < 100; ++i) {
            lines.insert(lines.end(), report.begin(), report.end());
        }
        return documentFromLines(lines, DocumentFont{"DejaVu Sans", 21, kCyrillicCharset});
    }();
    return document;
}

void BM_WriteRtf100Reports(benchmark::State& state) {
    const Document& document = hundredReports();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string rtf = writeRtf(document);
        bytes = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    state.counters["rtf_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_WriteRtf100Reports)->Unit(benchmark::kMillisecond);

void BM_ReadRtf100Reports(benchmark::State& state) {
    const std::string rtf = writeRtf(hundredReports());
    for (auto _ : state) {
        const RtfReadResult result = readRtf(rtf);
        if (result.status != RtfStatus::Ok || result.document.paragraphs.size() != 25000) {
            state.SkipWithError("the document did not read back");
            break;
        }
        benchmark::DoNotOptimize(result.document.paragraphs.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(rtf.size() * state.iterations()));
}
BENCHMARK(BM_ReadRtf100Reports)->Unit(benchmark::kMillisecond);

void BM_ReadPlainText100Reports(benchmark::State& state) {
    std::string text;
    for (const std::string& line : hundredReports().lines()) {
        text += line;
        text += '\n';
    }
    for (auto _ : state) {
        const LoadResult result = readDocument(text);
        benchmark::DoNotOptimize(result.document.paragraphs.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(text.size() * state.iterations()));
}
BENCHMARK(BM_ReadPlainText100Reports)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
