#include "history_workbook.h"

#include <ostream>

#include "history/history_report.h"
#include "history/history_table.h"
#include "indicators/table_writers.h"

namespace kalvanta::cli {

namespace {

constexpr std::size_t kSheetNameCharacters = 31; // the spreadsheet's limit

// The first `count` characters of valid UTF-8 (continuation bytes kept with their lead).
std::string firstCharacters(const std::string& utf8, std::size_t count)
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i)
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && seen++ == count)
            return utf8.substr(0, i);
    return utf8;
}

std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

std::string companySheetName(const std::string& taxNumber, const std::string& organisation,
                             std::set<std::string>& used)
{
    std::string name = !taxNumber.empty() ? "ИНН " + taxNumber : !organisation.empty() ? organisation : "Компания";
    for (char& c : name)
        if (std::string_view("[]:*?/\\'").find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    name = firstCharacters(name, kSheetNameCharacters);
    // Names differ in more than case, as the spreadsheet compares them.
    std::string unique = name;
    for (int n = 2; used.count(lowerAscii(unique)); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        unique = firstCharacters(name, kSheetNameCharacters - suffix.size()) + suffix;
    }
    used.insert(lowerAscii(unique));
    return unique;
}

bool writeHistoryWorkbook(const std::string& path, const std::vector<std::string>& paths, std::ostream& err)
{
    // The files were reported on already, with what was refused: read again quietly.
    const history::HistoryRun run = history::readHistories(paths);
    if (run.histories.empty())
        return true; // "no statement to analyse" was said, and no workbook is made
    try {
        indicators::TableFileWriter book(path, indicators::TableFormat::Xlsx, history::historyTableLayout());
        std::set<std::string> used;
        for (const history::CompanyHistory& h : run.histories) {
            book.startSheet(companySheetName(h.taxNumber, h.organisation, used));
            for (const std::vector<indicators::Cell>& row : history::historyTableRows(h))
                book.writeCells(row);
        }
        book.commit();
    } catch (const indicators::TableFileError& e) {
        err << "kalvanta-report: " << e.what() << "\n";
        return false;
    }
    return true;
}

} // namespace kalvanta::cli
