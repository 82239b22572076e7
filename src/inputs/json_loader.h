#pragma once
// Loading an analysis from a JSON file. Keys are the record's field names;
// an omitted field keeps its start-up value (0, empty text).
// FinancialEconomicProfit is derived, never read. Any bad input raises
// InputError naming the file and the key, and nothing is analysed.
#include <stdexcept>
#include <string>
#include <string_view>

#include "analysis_input.h"

namespace kalvanta {

class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Largest JSON file accepted: an analysis is a few kilobytes. Listed with the
// document readers' caps in document/document_limits.h.
inline constexpr std::size_t kMaxAnalysisJsonBytes = 1u << 20;

AnalysisInput loadAnalysisJson(std::string_view text, const std::string& sourceName);
// path "-" reads standard input.
AnalysisInput loadAnalysisFile(const std::string& path);

} // namespace kalvanta
