#pragma once
// The main window's activation handler, as far as the report goes: when an
// analysis is pending and YearCount is exactly 1.0 or 2.0, clear the flag and
// append the one-year or two-year report. At most one report per call.
// Arithmetic errors (FloatError) leave the lines written so far and propagate.
#include "analysis_results.h"
#include "inputs/analysis_input.h"
#include "numeric/regional_settings.h"
#include "report_coverage.h"
#include "report_sink.h"

namespace kalvanta {

// Returns true when a report was started. When `run` is given, a started
// report records there what it wrote, also when an error ends it.
bool writePendingReport(AnalysisInput& input, AnalysisResults& results, ReportSink& sink,
                        const RegionalSettings& regional, const CivilDate& today, ReportCoverage* run = nullptr);

} // namespace kalvanta
