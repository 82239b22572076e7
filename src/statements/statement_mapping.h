#pragma once
// Today's line codes turned into the record's fields (the forms before 2011
// had other codes and a few other lines): one table, read by the mapping,
// the tests and the user documentation (docs/line-codes.md).
#include <array>
#include <span>
#include <string_view>

#include "inputs/analysis_input.h"
#include "statements/statement.h"
#include "statements/statement_import.h"

namespace kalvanta {

// How a field is formed from the lines of one column.
enum class LineRule {
    None,              // no line of today's form: 0
    Line,              // the line as it stands
    Sum,               // line + second line
    Magnitude,         // |line|: expenses, whatever sign the file gives them
    PositivePart,      // line when >= 0, else 0
    NegativeMagnitude, // -line when line < 0, else 0
};

struct BalanceMapping {
    double BalanceSheet::*member;
    LineRule rule;
    int line;
    int secondLine; // LineRule::Sum only
};

struct ProfitLossMapping {
    double ProfitLossYear::*member;
    LineRule rule;
    int line;
};

// Every field of a balance sheet and of a profit and loss year, in the
// order of the entry dialogs.
extern const std::array<BalanceMapping, 33> kBalanceMapping;
extern const std::array<ProfitLossMapping, 14> kProfitLossMapping;

// The cash-flow lines of the additional data.
inline constexpr int kCreditsReceivedLine = 4311;
inline constexpr int kInterestPaidLine = 4123;

// Balance lines of today's form that no field takes: they stay in their
// section's total (1100, 1300, 1400). Name as on the form.
struct UnmappedLine {
    int line;
    std::string_view name;
};
extern const std::array<UnmappedLine, 10> kUnmappedBalanceLines;

// The statutory profit tax rate of a year, in percent.
double profitTaxRatePercent(int year);

// "тыс. рублей" for OKEI 384 and so on, as the parameters dialog offers them;
// throws InputError naming the file for a unit it does not know.
std::string unitNameForCode(int okeiCode, const std::string& sourceName);

// The record of one statement and the notes on what the mapping assumed
// for it. Throws InputError naming the file where a figure cannot be formed.
ImportedAnalysis mapStatement(const Statement& statement);

} // namespace kalvanta
