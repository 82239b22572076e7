#pragma once
// One accounting statement as a file holds it: who, which year, which unit,
// and the values by today's line codes (1110 … 1700, 2110 … 2400, and the
// cash-flow lines where a file has them) and column. Readers fill it; the
// mapping turns it into an analysis record.
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kalvanta {

// Columns of a statement. Balance lines have all three; profit and loss
// lines the first two.
enum StatementColumn : int {
    kCurrent = 0,       // 31.12.N, or the year N
    kPrevious = 1,      // 31.12.N-1, or the year N-1
    kBeforePrevious = 2 // 31.12.N-2
};

struct Statement {
    std::string sourceName;    // the file, for messages
    std::string formatName;    // e.g. "KND 0710099, version 5.08"; for notes
    std::string organisation;  // full name as the file gives it
    std::string taxNumber;     // INN; may be empty
    int year = 0;              // the reporting year N
    int unitCode = 384;        // OKEI: 383 roubles, 384 thousands, 385 millions
    std::string okved;         // the main activity's code, where the file names it
    bool simplified = false;   // simplified statements (KND 0710096): aggregated lines
    // Which forms the file holds. A statement without a profit and loss
    // section (non-profit organisations) still gives a history its balances;
    // the two-year analysis refuses it.
    bool hasBalance = true;
    bool hasProfitLoss = true;
    // What the reader chose or repaired in this file (the correction taken,
    // an encoding read otherwise than declared, lines added to the line they
    // detail); shown with the mapping's notes.
    std::vector<std::string> readerNotes;
    // A line absent from the file has no entry; an empty cell is nullopt.
    std::map<int, std::array<std::optional<double>, 3>> lines;
};

} // namespace kalvanta
