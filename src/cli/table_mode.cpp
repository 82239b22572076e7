#include "table_mode.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <ostream>
#include <unistd.h>

#include "cli/interrupt_scope.h"
#include "history/history_table.h"
#include "indicators/batch.h"
#include "indicators/table_writers.h"

namespace kalvanta::cli {

namespace {

constexpr std::string_view kProgram = "kalvanta-report";

// The format --table-format names, else the one the file name tells; a
// message and nullopt when neither does.
std::optional<indicators::TableFormat> tableFormatOf(const ToolOptions& options, std::ostream& err)
{
    using namespace indicators;
    const std::string& path = *options.tableFile;
    std::optional<TableFormat> format;
    if (options.tableFormat) {
        format = formatFromName(*options.tableFormat);
        if (!format)
            err << kProgram << ": unknown table format \"" << *options.tableFormat
                << "\" (use csv, csv-ru, xlsx or jsonl)\n";
    } else if (path == "-") {
        format = TableFormat::Csv;
    } else {
        format = formatFromExtension(path);
        if (!format)
            err << kProgram << ": cannot tell the table format from \"" << path
                << "\": name it .csv, .xlsx or .jsonl, or give --table-format csv|csv-ru|xlsx|jsonl\n";
    }
    return format;
}

std::string tableNamed(const std::string& path)
{
    return path == "-" ? std::string("on standard output") : "\"" + path + "\"";
}

} // namespace

int runTableMode(const ToolOptions& options, std::ostream& err)
{
    using namespace indicators;
    const std::string& path = *options.tableFile;
    const std::optional<TableFormat> format = tableFormatOf(options, err);
    if (!format)
        return kExitBadInput;

    const InputFileList inputs = collectInputFiles(options.files);
    for (const std::string& problem : inputs.problems)
        err << kProgram << ": " << problem << "\n";
    if (inputs.files.empty()) {
        err << kProgram << ": no input file to analyse; the table was not written\n";
        return kExitBadInput;
    }

    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO);
    BatchSummary summary;
    try {
        TableFileWriter writer(path, *format);
        InterruptScope interruptScope;
        BatchControl control;
        control.jobs = options.jobs;
        control.cancel = &interrupted;
        std::size_t shown = 0;
        if (terminal)
            control.progress = [&](std::size_t done, std::size_t total) {
                // A few hundred updates whatever the number of files.
                if (done != total && done - shown < std::max<std::size_t>(1, total / 200))
                    return;
                shown = done;
                err << "\r" << kProgram << ": " << done << " of " << total << " files" << std::flush;
            };
        summary = runBatch(inputs.files, control, [&](std::size_t, IndicatorRow& row) { writer.writeRow(row); });
        if (terminal)
            err << "\r\033[K";
        if (summary.cancelled) {
            err << kProgram << ": interrupted after " << summary.rows() << " of " << inputs.files.size()
                << " files; the table was not written\n";
            return kExitInterrupted;
        }
        writer.commit();
    } catch (const TableFileError& e) {
        if (terminal)
            err << "\r\033[K";
        err << kProgram << ": " << e.what() << "\n";
        return kExitOutput;
    }

    err << kProgram << ": " << plural(summary.rows(), "file", "files") << ": " << summary.analysed << " analysed, "
        << summary.arithmeticErrors << " ended by an arithmetic error, " << summary.refused << " refused; table "
        << tableNamed(path) << " (" << formatName(*format) << ")\n";
    if (summary.refused > 0 || !inputs.problems.empty())
        return kExitBadInput;
    return summary.arithmeticErrors > 0 ? kExitArithmetic : kExitOk;
}

int runHistoryTableMode(const ToolOptions& options, std::ostream& err)
{
    using namespace indicators;
    const std::string& path = *options.tableFile;
    const std::optional<TableFormat> format = tableFormatOf(options, err);
    if (!format)
        return kExitBadInput;

    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO);
    history::HistoryTableSummary summary;
    try {
        std::optional<TableFileWriter> writer;
        writer.emplace(path, *format, history::historyTableLayout());
        InterruptScope interruptScope;
        history::HistoryTableControl control;
        if (path != "-")
            control.restart = [&] {
                writer.reset(); // its temporary file goes with it
                writer.emplace(path, *format, history::historyTableLayout());
            };
        control.jobs = options.jobs;
        control.cancel = &interrupted;
        std::size_t shown = 0;
        if (terminal)
            control.progress = [&](std::size_t done, std::size_t total, bool companies) {
                if (done == 1)
                    shown = 0;
                if (done != total && done - shown < std::max<std::size_t>(1, total / 200))
                    return;
                shown = done;
                err << "\r" << kProgram << ": " << done << " of " << total << (companies ? " companies" : " files")
                    << std::flush;
            };
        const auto refused = [&](const std::string& line) {
            if (terminal)
                err << "\r\033[K";
            err << kProgram << ": " << line << "\n";
        };
        summary = history::runHistoryTable(options.files, control, refused,
                                           [&](const std::vector<Cell>& row) { writer->writeCells(row); });
        if (terminal)
            err << "\r\033[K";
        if (summary.cancelled) {
            err << kProgram << ": interrupted after " << summary.companies
                << " companies; the table was not written\n";
            return kExitInterrupted;
        }
        if (summary.companies == 0) {
            err << kProgram << ": no statement to analyse; the table was not written\n";
            return kExitBadInput;
        }
        writer->commit();
    } catch (const TableFileError& e) {
        if (terminal)
            err << "\r\033[K";
        err << kProgram << ": " << e.what() << "\n";
        return kExitOutput;
    }
    err << kProgram << ": " << plural(summary.files + summary.refused, "file", "files") << ": " << summary.files
        << " read, " << summary.refused << " refused; " << plural(summary.companies, "company", "companies") << ", "
        << plural(summary.rows, "row", "rows") << "; table " << tableNamed(path) << " (" << formatName(*format)
        << ")\n";
    return summary.refused > 0 ? kExitBadInput : kExitOk;
}

} // namespace kalvanta::cli
