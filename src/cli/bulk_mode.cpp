#include "bulk_mode.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <optional>
#include <ostream>
#include <unistd.h>

#include "cli/interrupt_scope.h"
#include "history/bulk_reader.h"
#include "history/bulk_table.h"
#include "indicators/table_writers.h"

namespace kalvanta::cli {

namespace {

constexpr std::string_view kProgram = "kalvanta-report";
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
    control.cancel = &interrupted;
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
        if (writer.writesLines()) {
            control.lineOf = [&writer](const std::vector<Cell>& row) { return writer.lineOf(row); };
            control.deliverLine = [&writer](std::string_view line) { writer.writeLine(line); };
        }
        InterruptScope interruptScope;
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
