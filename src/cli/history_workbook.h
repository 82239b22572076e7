#pragma once
// kalvanta-report --history --xlsx: the histories' report as a workbook
// (history/history_workbook.h), a sheet for each part of the report.
#include <iosfwd>
#include <string>
#include <vector>

namespace kalvanta::cli {

// Reads the histories of `paths` and saves the workbook atomically (none
// when no file holds a statement). Returns false after a message on err when
// the file cannot be written.
bool writeHistoryWorkbook(const std::string& path, const std::vector<std::string>& paths, std::ostream& err);

} // namespace kalvanta::cli
