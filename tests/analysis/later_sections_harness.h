#pragma once
// Runs one report section on its own, on the worked example, with results
// filled by hand where the section reads earlier sections' values.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/report_builder.h"
#include "analysis/report_context.h"
#include "analysis/sections.h"
#include "inputs/analysis_input.h"
#include "numeric/float_errors.h"

namespace kalvanta::testing {

struct SectionHarness {
    AnalysisInput input = workedExample(); // two years, every switch on, two products
    AnalysisResults results{};
    VectorSink sink;
    RegionalSettings regional = RegionalSettings::russian();

    explicit SectionHarness(int years = 2) { input.AnalysisParameters.YearCount = years; }

    void run(void (*section)(ReportContext&))
    {
        ReportContext ctx{input, results, sink, regional, input.AnalysisParameters.YearCount == 2.0};
        section(ctx);
    }

    // The kind of arithmetic error the section raised, or nothing.
    std::optional<FloatError::Kind> runExpectingError(void (*section)(ReportContext&))
    {
        try {
            run(section);
        } catch (const FloatError& e) {
            return e.kind();
        }
        return std::nullopt;
    }
};

// A change to the worked example that makes a section divide by zero (or
// raise another arithmetic error) before it writes its first line. Each
// section keeps its own table of cases: rows alike in two sections stop two
// different divisions.
struct ZeroDivisorCase {
    const char* name;
    int years;
    std::function<void(AnalysisInput&)> change;
    FloatError::Kind kind;
};

// The parameterised suites of those cases: the section ends with the case's
// error and has written nothing.
class SectionZeroDivisor : public ::testing::TestWithParam<ZeroDivisorCase> {
protected:
    void expectNothingWritten(void (*section)(ReportContext&))
    {
        const ZeroDivisorCase& c = GetParam();
        SectionHarness h(c.years);
        c.change(h.input);
        EXPECT_EQ(h.runExpectingError(section), c.kind);
        EXPECT_TRUE(h.sink.lines.empty());
    }
};

inline std::string caseName(const ::testing::TestParamInfo<ZeroDivisorCase>& info)
{
    return info.param.name;
}

// A whole report through the main window's handler, as a completed wizard
// hands it over; the record of results is kept between calls.
struct ReportRun {
    std::vector<std::string> lines;
    std::optional<FloatError::Kind> error;
};

inline ReportRun runPendingReport(AnalysisInput& input, AnalysisResults& results)
{
    ReportRun run;
    VectorSink sink;
    input.AnalysisParameters.AnalysisPending = 1.0;
    try {
        writePendingReport(input, results, sink, RegionalSettings::russian(), CivilDate{2026, 12, 8});
    } catch (const FloatError& e) {
        run.error = e.kind();
    }
    run.lines = sink.lines;
    return run;
}

// "  Показатель", 79 spaces, the three date headings: 139 characters.
inline std::string threeDateHeader()
{
    return "  Показатель" + std::string(79, ' ') + "на начало года/на конец года/на конец 2-го года ";
}

inline const std::string kRule97(97, '_');

} // namespace kalvanta::testing
