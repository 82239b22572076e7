#include "history_workbook.h"

#include <ostream>

#include "history/history_report.h"
#include "history/history_workbook.h"
#include "indicators/table_writers.h"

namespace kalvanta::cli {

bool writeHistoryWorkbook(const std::string& path, const std::vector<std::string>& paths, std::ostream& err)
{
    // The files were reported on already, with what was refused: read again quietly.
    const history::HistoryRun run = history::readHistories(paths);
    if (run.histories.empty())
        return true; // "no statement to analyse" was said, and no workbook is made
    try {
        history::writeHistoryWorkbook(path, run.histories);
    } catch (const indicators::TableFileError& e) {
        err << "kalvanta-report: " << e.what() << "\n";
        return false;
    }
    return true;
}

} // namespace kalvanta::cli
