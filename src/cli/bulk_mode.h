#pragma once
// kalvanta-report --table FILE BULKFILE...: a year of the statistics office's
// bulk statements screened into one table.
#include <iosfwd>
#include <string>
#include <vector>

#include "report_tool.h"

namespace kalvanta::cli {

// Whether any of the names is a bulk file (told by its content).
bool anyBulkFile(const std::vector<std::string>& names);

// Writes the table named by options.tableFile; the refused rows and a
// summary go to err, and a progress line as well when err is a terminal.
int runBulkTableMode(const ToolOptions& options, std::ostream& err);

} // namespace kalvanta::cli
