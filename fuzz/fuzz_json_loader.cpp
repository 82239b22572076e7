// Fuzz target for the JSON analysis loader, followed by what the
// command-line tool does with a loaded analysis. The loader may only fail
// with InputError; an analysis it accepts holds finite amounts, the derived
// profit is derived, and the report either completes or stops with one of
// the platform's arithmetic errors, the same way twice.
#include "analysis/analysis_results.h"
#include "analysis/report_builder.h"
#include "analysis/report_sink.h"
#include "inputs/field_tables.h"
#include "inputs/json_loader.h"
#include "numeric/float_errors.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace kalvanta;

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "json loader: %s\n", what);
    std::abort();
}

void checkFinite(double value, const char* what) {
    if (!std::isfinite(value)) fault(what);
}

void checkLoaded(const AnalysisInput& in) {
    for (const BalanceSheet* sheet : {&in.Y1Start, &in.Y1End, &in.Y2Start, &in.Y2End}) {
        for (const auto& f : kAssetFields) checkFinite(sheet->*f.member, "asset not finite");
        for (const auto& f : kLiabilityFields) checkFinite(sheet->*f.member, "liability not finite");
        if (std::signbit(sheet->UncoveredLoss)) fault("uncovered loss kept with a sign");
    }
    for (int y = 1; y <= 2; ++y) {
        const ProfitLossYear& pl = in.ProfitLoss[y];
        for (const auto& f : kProfitLossFields) checkFinite(pl.*f.member, "profit and loss not finite");
        const long double derived =
            static_cast<long double>(pl.ProfitBeforeTax) - pl.NonOperatingIncome + pl.NonOperatingExpenses;
        if (pl.FinancialEconomicProfit != static_cast<double>(derived)) fault("derived profit not derived");
        for (const auto& f : kAdditionalFields) checkFinite(in.AdditionalData[y].*f.member, "additional not finite");
    }
    const ParametersGroup& p = in.AnalysisParameters;
    for (const double v : {p.YearCount, p.ExpertAssessmentOn, p.BusinessActivityOn, p.FinancialLeverageOn,
                           p.OperatingLeverageOn, p.WorkingCapitalNeedsOn, in.ProductCount}) {
        checkFinite(v, "parameter not finite");
    }
    if (p.AnalysisPending != 0.0) fault("the loader set AnalysisPending");
}

struct Outcome {
    std::vector<std::string> lines;
    std::optional<FloatError::Kind> error;
    bool operator==(const Outcome&) const = default;
};

Outcome report(AnalysisInput input) {
    Outcome outcome;
    input.AnalysisParameters.AnalysisPending = 1.0;
    AnalysisResults results;
    VectorSink sink;
    try {
        writePendingReport(input, results, sink, RegionalSettings::russian(), {2026, 12, 8});
    } catch (const FloatError& e) {
        outcome.error = e.kind();
    }
    outcome.lines = std::move(sink.lines);
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    AnalysisInput input;
    try {
        input = loadAnalysisJson(bytes, "fuzz.json");
    } catch (const InputError& e) {
        if (!std::string_view(e.what()).starts_with("fuzz.json: ")) fault("the message does not name the file");
        return 0;
    }
    checkLoaded(input);

    const double years = input.AnalysisParameters.YearCount;
    if (years != 1.0 && years != 2.0) return 0;  // the tool refuses these
    const Outcome first = report(input);
    if (first.lines.empty() && !first.error) fault("a pending analysis wrote no report");
    if (!(report(input) == first)) fault("the same analysis reported differently");
    return 0;
}
