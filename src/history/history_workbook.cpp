#include "history_workbook.h"

#include <algorithm>
#include <functional>
#include <set>

#include "history/history_tables.h"
#include "indicators/table_writers.h"

namespace kalvanta::history {

namespace {

using indicators::Cell;
using indicators::CellStyle;

const std::string kDash = "—";
const CellStyle kTitle{-1, false, true, false};
const CellStyle kRightAligned{-1, false, false, true};

CellStyle numberStyle(Print print) { return {printDecimals(print), printsFractionAsPercent(print), false, false}; }

HistorySection tablesOfEveryYear(const CompanyHistory& h, const std::function<std::vector<HistoryTableData>(
                                                               const CompanyHistory&, const std::vector<int>&)>& make)
{
    HistorySection section;
    const std::vector<int> years = historyYears(h);
    if (years.empty())
        section.remark = "В прочитанных файлах нет показателей этой организации.";
    else
        section.tables = make(h, years);
    return section;
}

// One sheet: the companies' sections one after another, each table in the
// columns of its years under the sheet's header of all years.
void writeSheet(indicators::TableFileWriter& book, const char* name, const std::vector<CompanyHistory>& histories,
                const std::function<HistorySection(const CompanyHistory&)>& part)
{
    std::vector<HistorySection> sections;
    std::set<int> yearSet;
    for (const CompanyHistory& h : histories) {
        sections.push_back(part(h));
        for (const HistoryTableData& t : sections.back().tables)
            yearSet.insert(t.years.begin(), t.years.end());
    }
    const std::vector<int> years(yearSet.begin(), yearSet.end());
    std::vector<std::string> header{"Показатель"};
    for (int y : years)
        header.push_back(std::to_string(y));
    header.push_back(kReasonsColumn);
    book.startSheet(name, header, 1);
    const std::size_t reasonsColumn = years.size() + 1;
    const auto columnOf = [&](int year) {
        return 1 + static_cast<std::size_t>(std::lower_bound(years.begin(), years.end(), year) - years.begin());
    };

    for (std::size_t i = 0; i < histories.size(); ++i) {
        book.writeCells({companyTitle(histories[i])}, {kTitle});
        for (const HistoryTableData& table : sections[i].tables) {
            book.writeCells({table.title}, {kTitle});
            for (const TableRow& row : table.rows) {
                std::vector<Cell> cells(reasonsColumn + 1);
                std::vector<CellStyle> styles(reasonsColumn + 1);
                cells[0] = row.label;
                for (std::size_t k = 0; k < table.years.size(); ++k) {
                    const std::size_t c = columnOf(table.years[k]);
                    if (!row.words.empty()) {
                        cells[c] = k < row.words.size() ? row.words[k] : kDash;
                        styles[c] = kRightAligned; // under the years, as the figures
                        continue;
                    }
                    const Figure f = rowFigure(row, k, table.years[k]);
                    if (f.defined()) {
                        cells[c] = *f.value;
                        styles[c] = numberStyle(row.print);
                    } else {
                        cells[c] = kDash;
                        styles[c] = kRightAligned;
                    }
                }
                if (row.words.empty())
                    cells[reasonsColumn] = undefinedReasons(row, table.years);
                book.writeCells(cells, styles);
            }
            book.writeCells({});
        }
        if (!sections[i].remark.empty()) {
            book.writeCells({sections[i].remark});
            book.writeCells({});
        }
    }
}

} // namespace

std::string companyTitle(const CompanyHistory& h)
{
    return "ИНН " + (h.taxNumber.empty() ? std::string("не указан") : h.taxNumber) + " — " +
           (h.organisation.empty() ? std::string("организация не названа") : h.organisation);
}

void writeHistoryWorkbook(const std::string& path, const std::vector<CompanyHistory>& histories)
{
    indicators::TableLayout layout;
    layout.exactNumbers = true;
    indicators::TableFileWriter book(path, indicators::TableFormat::Xlsx, layout);
    writeSheet(book, kBalanceSheet, histories, [](const CompanyHistory& h) { return structureSection(h, true); });
    writeSheet(book, kProfitLossSheet, histories, [](const CompanyHistory& h) { return structureSection(h, false); });
    writeSheet(book, kRatiosSheet, histories, [](const CompanyHistory& h) {
        return tablesOfEveryYear(h, [](const CompanyHistory& c, const std::vector<int>& years) {
            return std::vector<HistoryTableData>{ratioTable(c, years)};
        });
    });
    writeSheet(book, kModelsSheet, histories, [](const CompanyHistory& h) {
        HistorySection section = tablesOfEveryYear(h, verdictTables);
        if (!section.tables.empty())
            section.remark = modelsSummary(h, historyYears(h), ",");
        return section;
    });

    book.startSheet(kNotesSheet, {"Компания", "Примечание"});
    for (const CompanyHistory& h : histories)
        for (const std::string& note : h.notes)
            book.writeCells({companyTitle(h), note});
    book.commit();
}

} // namespace kalvanta::history
