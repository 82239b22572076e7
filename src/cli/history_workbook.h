#pragma once
// kalvanta-report --history --xlsx: the histories as one workbook, a sheet
// per company (its years as rows, the history table's columns).
#include <iosfwd>
#include <set>
#include <string>
#include <vector>

namespace kalvanta::cli {

// A sheet name for a company, unique among `used` (and added to it): "ИНН
// <tax number>", else the organisation, else "Компания"; characters a sheet
// name may not hold become "_", cut to 31 characters, a number added where
// the name is taken.
std::string companySheetName(const std::string& taxNumber, const std::string& organisation,
                             std::set<std::string>& used);

// Reads the histories of `paths` and saves the workbook atomically (none
// when no file holds a statement). Returns false after a message on err when
// the file cannot be written.
bool writeHistoryWorkbook(const std::string& path, const std::vector<std::string>& paths, std::ostream& err);

} // namespace kalvanta::cli
