#pragma once
// The indicators of one analysis as a table row: every figure the report
// printed, by balance date or by year, taken from the results record the
// report left (stored values, truncated as printed), plus what identifies
// the file and how its analysis ended.
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "analysis/analysis_results.h"
#include "inputs/analysis_input.h"

namespace kalvanta::indicators {

// An empty cell is a figure the report did not print (a section switched
// off or not reached, a second year of a one-year report).
using Cell = std::variant<std::monostate, double, std::string>;

struct IndicatorColumn {
    std::string id;      // stable English identifier, the table's header
    std::string caption; // the report's Russian wording, for the documentation
    int section = 0;     // report section 1 … 12; 0 for what describes the file
};

// Every column, in table order.
const std::vector<IndicatorColumn>& indicatorColumns();
// Index of a column by id; throws std::out_of_range for an unknown id.
std::size_t columnIndex(const std::string& id);

enum class RowStatus { Analysed, ArithmeticError, Refused };
// "analysed", "arithmetic_error", "refused": the status column's values.
const char* statusText(RowStatus status);

struct IndicatorRow {
    RowStatus status = RowStatus::Analysed;
    std::vector<Cell> cells; // one per column of indicatorColumns()
};

// What is known of a file besides its analysis input.
struct FileFacts {
    std::string file;
    std::string taxNumber;           // empty when the file does not say
    int reportingYear = 0;           // 0 when the file does not say
    std::vector<std::string> notes;  // what an import assumed
};

// The row of a report that ran (error empty) or that an arithmetic error
// ended (error is the message, section results.LastSectionStarted). The
// results are those the report left, starting from a fresh record.
IndicatorRow rowFromReport(const FileFacts& facts, const AnalysisInput& input, const AnalysisResults& results,
                           const std::string& arithmeticError);

// The row of a file that was refused before any analysis.
IndicatorRow refusedRow(const std::string& file, const std::string& error);

// The figure as the report writes it, with a point: the general format with
// 15 significant digits (what every writer puts in a text cell).
std::string numberText(double value, const char* decimalSeparator = ".");

// The double nearest to the printed form of an extended-precision product
// (the percentages the report forms while it writes).
double printedValue(long double value);

} // namespace kalvanta::indicators
