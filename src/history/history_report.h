#pragma once
// Reading histories from files and folders, and the Russian text report of
// one company's history, fixed-width like the fixed report, one column per
// year. Front ends call these; neither knows windows.
#include <functional>
#include <string>
#include <vector>

#include "history/company_history.h"

namespace kalvanta::history {

struct HistoryRun {
    std::vector<CompanyHistory> histories; // one per company, in the order of first appearance
    std::vector<std::string> refused;      // one line per file that could not be read, naming it
};

// Files and folders (walked for .xml, .json and .csv statement files). A
// file that cannot be read is one refused line; the others are still read.
// progress(done, total) is called after each file where given.
HistoryRun readHistories(const std::vector<std::string>& paths,
                         const std::function<void(std::size_t, std::size_t)>& progress = {});

// The report of one company: title, the balance's and the profit and loss
// statement's structure and dynamics, the ratios, the models and tests, the
// legend and the history's notes. Blank lines are a single space.
std::vector<std::string> historyReportLines(const CompanyHistory& history, const std::string& decimalSeparator);

} // namespace kalvanta::history
