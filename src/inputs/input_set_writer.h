#pragma once
// The record as an input set: the JSON that loadAnalysisJson reads back to an
// equal record (every number round-trips exactly). FinancialEconomicProfit
// and AnalysisPending are not written: one is derived, the other is the run's.
#include <string>

#include "analysis_input.h"

namespace kalvanta {

std::string inputSetJson(const AnalysisInput& in);

} // namespace kalvanta
