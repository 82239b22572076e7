// The IRR search of the investments calculator on its worst inputs: the
// longest stepwise searches any input can cause (target: under 10 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "planning/investment_calculator.h"

namespace {

using kalvanta::InvestTexts;

InvestTexts texts(const char* investment, const char* rate, const char* profit, int years)
{
    // Moved in from whole strings: assigning a short literal in place makes
    // g++ 12 at -O3 report a false overlapping memcpy.
    InvestTexts t;
    t.investment = std::string(investment);
    t.ratePercent = std::string(rate);
    for (int i = 0; i < years; ++i)
        t.profits[static_cast<std::size_t>(i)] = std::string(profit);
    return t;
}

void run(benchmark::State& state, const InvestTexts& t)
{
    const kalvanta::RegionalSettings rs = kalvanta::RegionalSettings::russian();
    int trials = 0;
    for (auto _ : state) {
        kalvanta::InvestCalc calc;
        const kalvanta::InvestResult r = kalvanta::computeInvestment(calc, t, rs);
        trials = r.irrTrials;
        benchmark::DoNotOptimize(r.lines.data());
    }
    state.counters["trial_rates"] = trials;
}

// Positive NPV at every rate: the search runs up to its ceiling.
void BM_IrrNegativeInvestment(benchmark::State& state) { run(state, texts("-10000", "10", "1000", 10)); }
// An IRR far above any sensible rate: also up to the ceiling.
void BM_IrrHugeProfits(benchmark::State& state) { run(state, texts("1", "10", "1E300", 10)); }
// An IRR just below the ceiling: the longest search that finds one.
void BM_IrrJustBelowCeiling(benchmark::State& state) { run(state, texts("100", "10", "1085", 1)); }
// No positive NPV down to -99 %: the downward search runs to its floor.
void BM_IrrLossesOnly(benchmark::State& state) { run(state, texts("10000", "10", "-1000", 10)); }
// The worked example, for scale.
void BM_IrrDefaults(benchmark::State& state)
{
    InvestTexts t = texts("10000", "10", "", 0);
    t.profits = {"1000", "2000", "3000", "4000", "5000", "", "", "", "", ""};
    run(state, t);
}

BENCHMARK(BM_IrrNegativeInvestment)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrrHugeProfits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrrJustBelowCeiling)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrrLossesOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IrrDefaults)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
