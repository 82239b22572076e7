#pragma once
// A year of the country's statements screened into the history's table: per
// company of a bulk file its two years' rows, its OKVED and, for a few
// figures, its percentile within its industry (the same year and the same
// first two digits of OKVED among the companies of the run).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "indicators/table_writers.h"

namespace kalvanta::history {

// The figures given a percentile, each as a column "<name>_industry_pct".
const std::vector<std::string>& bulkPercentileFigures();

// The history table's columns, then okved, then the percentile columns.
const indicators::TableLayout& bulkTableLayout();

// Fewer companies with the figure defined than this in a class: no percentile.
inline constexpr std::size_t kMinIndustryClass = 10;

// (number below + half the number equal) / number × 100 of a sorted list of
// values; nullopt for fewer than kMinIndustryClass values.
std::optional<double> industryPercentile(const std::vector<double>& sorted, double value);

struct BulkTableControl {
    std::optional<int> year;       // the reporting year; else each file's name must give it
    std::optional<int> unnamedYear; // the year of the files whose name gives none
    std::string okvedPrefix;       // --okved: only codes beginning so
    std::string region;            // --region: only INNs beginning so (the region's two digits)
    std::optional<double> minRevenue; // --min-revenue: 2110 of the reporting year, thousands of roubles
    // false: rows written as they are read, the percentile columns empty.
    // true: rows wait in a temporary file until the classes are ranked.
    bool percentiles = true;
    unsigned jobs = 1;             // threads; 0 means every core
    const std::atomic<bool>* cancel = nullptr;
    // On the calling thread: bytes done of the files' total (pass 1), then
    // of the temporary file's (pass 2 of 2).
    std::function<void(std::uint64_t done, std::uint64_t total, int pass, int passes)> progress;
    // When both are set, the rows are made into text on the worker threads by
    // lineOf (called from several at once) and handed in order to deliverLine
    // instead of to deliver, so the writing of a long table is parallel too.
    std::function<std::string(const std::vector<indicators::Cell>&)> lineOf;
    std::function<void(std::string_view)> deliverLine;
};

struct BulkTableSummary {
    std::size_t files = 0;
    std::size_t read = 0;     // rows of the files (blank lines not counted)
    std::size_t refused = 0;  // rows that could not be read
    std::size_t filtered = 0; // rows the filters left out
    std::size_t written = 0;  // companies written
    std::size_t rows = 0;     // table rows (a company's years)
    bool cancelled = false;
};

// A file that cannot be screened at all (cannot be opened, no reporting
// year); what() names the file.
class BulkFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the bulk files once, refusing each broken row
// aloud ("FILE: line N: reason; the row is passed over") and handing each
// table row to deliver, in file order; both on the calling thread. Throws
// BulkFileError before any row is delivered when a file cannot be read; an
// exception from deliver stops the run and is rethrown.
BulkTableSummary runBulkTable(const std::vector<std::string>& files, const BulkTableControl& control,
                              const std::function<void(const std::string& refused)>& refused,
                              const std::function<void(const std::vector<indicators::Cell>& row)>& deliver);

} // namespace kalvanta::history
