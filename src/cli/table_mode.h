#pragma once
// kalvanta-report --table: the indicators of every input file as one table.
#include <iosfwd>

#include "report_tool.h"

namespace kalvanta::cli {

// Writes the table named by options.tableFile; a summary goes to err, and a
// progress line as well when err is a terminal.
int runTableMode(const ToolOptions& options, std::ostream& err);

// --history --table: one row per company and year of the histories the
// files and folders hold.
int runHistoryTableMode(const ToolOptions& options, std::ostream& err);

} // namespace kalvanta::cli
