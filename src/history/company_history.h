#pragma once
// A company's history: for each calendar year its balance at 31.12 and its
// flows of the year, in today's line codes, merged from every statement of
// the company that was read. The analysis of the history reads only this.
#include <map>
#include <string>
#include <vector>

#include "statements/statement.h"
#include "statements/statement_import.h"

namespace kalvanta::history {

struct HistoryYear {
    bool hasBalance = false;       // the balance at 31.12 of the year is known
    bool hasFlows = false;         // the profit and loss statement of the year is known
    bool simplified = false;       // taken from simplified statements
    std::map<int, double> balance; // 1xxx at 31.12; a line the statement leaves out is absent
    std::map<int, double> flows;   // 2xxx and 4xxx of the year; 2120, 2210, 2220, 2330, 2350 as magnitudes
};

struct CompanyHistory {
    std::string organisation;       // as the newest statement names it
    std::string taxNumber;          // empty for a file without one (a company of its own)
    std::string okved;              // where a file names it
    int unitCode = 384;             // OKEI of the newest statement; every figure is in it
    std::map<int, HistoryYear> years; // by calendar year, ascending; a year with no figures is absent
    std::vector<std::string> notes; // restatements, conversions, derived totals, what a reader chose
    std::vector<int> noteYears;     // beside notes: the year a note concerns, 0 for the whole history
};

// The unit's name as the report and the table print it ("тыс. руб.").
std::string unitName(int okei);

// One history per company from the statements of any number of files, in
// the order of first appearance. A file's own notes go to its company.
std::vector<CompanyHistory> buildHistories(const std::vector<StatementFile>& files);

} // namespace kalvanta::history
