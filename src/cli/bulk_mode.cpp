#include "bulk_mode.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <optional>
#include <ostream>
#include <unistd.h>

#include "history/bulk_reader.h"
#include "history/bulk_table.h"
#include "indicators/table_writers.h"

namespace kalvanta::cli {

namespace {

constexpr std::string_view kProgram = "kalvanta-report";
constexpr int kExitInterrupted = 130;

std::atomic<bool> bulkInterrupted{false};
extern "C" void onBulkInterrupt(int) { bulkInterrupted = true; }

// Ctrl+C stops the run between blocks of rows, so the temporary table file
// is removed rather than left behind.
class BulkInterruptScope {
public:
    BulkInterruptScope()
    {
        bulkInterrupted = false;
        struct sigaction action {};
        action.sa_handler = onBulkInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &oldInt_);
        ::sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~BulkInterruptScope()
    {
        ::sigaction(SIGINT, &oldInt_, nullptr);
        ::sigaction(SIGTERM, &oldTerm_, nullptr);
    }

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

std::string plural(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

bool anyBulkFile(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        if (name != "-" && history::isBulkFile(name))
            return true;
    return false;
}

int runBulkTableMode(const ToolOptions& options, std::ostream& err)
{
    using namespace indicators;
    const std::string& path = *options.tableFile;
    for (const std::string& name : options.files)
        if (name == "-" || !history::isBulkFile(name)) {
            err << kProgram << ": \"" << name
                << "\" is not a bulk file of the statistics office (266 fields a row, separated by \";\"); "
                   "bulk files and statements do not go in one table\n";
            return kExitBadInput;
        }
    std::optional<TableFormat> format;
    if (options.tableFormat) {
        format = formatFromName(*options.tableFormat);
        if (!format)
            err << kProgram << ": unknown table format \"" << *options.tableFormat
                << "\" (use csv, csv-ru, xlsx or jsonl)\n";
    } else {
        format = path == "-" ? std::optional<TableFormat>(TableFormat::Csv) : formatFromExtension(path);
        if (!format)
            err << kProgram << ": cannot tell the table format from \"" << path
                << "\": name it .csv, .xlsx or .jsonl, or give --table-format csv|csv-ru|xlsx|jsonl\n";
    }
    if (!format)
        return kExitBadInput;

    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO);
    history::BulkTableControl control;
    control.year = options.year;
    control.okvedPrefix = options.okved.value_or("");
    control.region = options.region.value_or("");
    control.minRevenue = options.minRevenue;
    control.percentiles = !options.noPercentiles;
    control.jobs = options.jobs;
    control.cancel = &bulkInterrupted;
    int shownPercent = -1;
    if (terminal)
        control.progress = [&](std::uint64_t done, std::uint64_t total, int pass, int passes) {
            const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
            if (percent == shownPercent)
                return;
            shownPercent = percent;
            err << "\r" << kProgram << ": pass " << pass << " of " << passes << ": " << percent << " %"
                << std::flush;
        };
    history::BulkTableSummary summary;
    try {
        TableFileWriter writer(path, *format, history::bulkTableLayout());
        BulkInterruptScope interruptScope;
        const auto refused = [&](const std::string& line) {
            if (terminal)
                err << "\r\033[K";
            shownPercent = -1;
            err << kProgram << ": " << line << "\n";
        };
        summary = history::runBulkTable(options.files, control, refused,
                                        [&](const std::vector<Cell>& row) { writer.writeCells(row); });
        if (terminal)
            err << "\r\033[K";
        if (summary.cancelled) {
            err << kProgram << ": interrupted; the table was not written\n";
            return kExitInterrupted;
        }
        writer.commit();
    } catch (const history::BulkFileError& e) {
        if (terminal)
            err << "\r\033[K";
        err << kProgram << ": " << e.what() << "; the table was not written\n";
        return kExitBadInput;
    } catch (const TableFileError& e) {
        if (terminal)
            err << "\r\033[K";
        err << kProgram << ": " << e.what() << "\n";
        return kExitOutput;
    }
    err << kProgram << ": " << plural(summary.read, "row", "rows") << " read, " << summary.refused << " refused, "
        << summary.filtered << " filtered out, " << summary.written << " written (" << plural(summary.rows, "table row", "table rows")
        << "); table " << (path == "-" ? std::string("on standard output") : "\"" + path + "\"") << " ("
        << formatName(*format) << ")\n";
    // Refused rows are counted and named above; a year's file always has a
    // few, and the table of the others is whole.
    return kExitOk;
}

} // namespace kalvanta::cli
