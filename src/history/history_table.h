#pragma once
// The history's table: one row per company and year, with the ratios and
// the models' and tests' columns, written by the indicators' table writers.
// Rows stream, so memory stays flat in the number of companies: files whose
// companies come together are read once; otherwise twice (first which
// company each holds, then company by company).
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "history/company_history.h"
#include "indicators/table_writers.h"

namespace kalvanta::history {

// organisation, tax_number, year, unit, notes, then the ratios and the
// verdicts' columns in the table's order. Numbers are the unrounded doubles;
// JSON Lines gives null for what is not defined.
const indicators::TableLayout& historyTableLayout();

// One row per year of the history, one cell per column of the layout.
std::vector<std::vector<indicators::Cell>> historyTableRows(const CompanyHistory& history);

struct HistoryTableControl {
    unsigned jobs = 1; // threads; 0 means every core
    // Checked between blocks of files or companies; once set, no row follows.
    const std::atomic<bool>* cancel = nullptr;
    // On the calling thread: files read (companies = false), then companies done.
    std::function<void(std::size_t done, std::size_t total, bool companies)> progress;
    // Where the rows delivered so far can be thrown away (a table file not
    // yet committed): the files are first read once, in order, as long as
    // each company's files come together; at the first company met again
    // restart() is called and the rows start over in two passes. Without
    // it the two passes are taken from the start.
    std::function<void()> restart;
};

struct HistoryTableSummary {
    std::size_t files = 0;     // statement files read
    std::size_t refused = 0;   // files (or names) that could not be read
    std::size_t companies = 0; // histories written
    std::size_t rows = 0;
    bool cancelled = false;
};

// Files and folders as readHistories takes them. refused gets one line per
// file that cannot be read (naming it and the place), deliver each row, in
// the order of the companies' first appearance; both on the calling thread.
// An exception from deliver stops the run and is rethrown.
HistoryTableSummary runHistoryTable(const std::vector<std::string>& paths, const HistoryTableControl& control,
                                    const std::function<void(const std::string& refused)>& refused,
                                    const std::function<void(const std::vector<indicators::Cell>& row)>& deliver);

} // namespace kalvanta::history
