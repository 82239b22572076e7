#pragma once
// Runs one report section on its own, on the worked example, with results
// filled by hand where the section reads earlier sections' values.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

// "  Показатель", 79 spaces, the three date headings: 139 characters.
inline std::string threeDateHeader()
{
    return "  Показатель" + std::string(79, ' ') + "на начало года/на конец года/на конец 2-го года ";
}

inline const std::string kRule97(97, '_');

} // namespace kalvanta::testing
