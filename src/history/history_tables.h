#pragma once
// The year tables of the history's report as data: a title, the years and,
// per row, the caption with one figure per year and how it prints. The text
// report (history_text.h) and the workbook (history_workbook.h) are both
// written from these, so the two cannot disagree.
#include <string>
#include <vector>

#include "history/history_figures.h"

namespace kalvanta::history {

// How a row's figures print: rounded half away from zero with the regional
// separator, or an amount in the general number format.
enum class Print { Amount, Ratio2, Model3, Percent1, Share1 };

// Digits after the separator a figure prints with; -1 for an amount, which
// prints as given. Percent1 multiplies a fraction by 100; Share1 takes a
// value already in per cent.
int printDecimals(Print print);
bool printsFractionAsPercent(Print print);

struct TableRow {
    std::string label;
    std::vector<Figure> cells; // one per year of the table
    Print print = Print::Ratio2;
    // A row of words instead of figures (the models' risk zones), one per year.
    std::vector<std::string> words;
};

struct HistoryTableData {
    std::string title;
    std::vector<int> years;
    std::vector<TableRow> rows;
};

// The figure of a row for the i-th year of its table: a row shorter than the
// years has no data for the rest.
Figure rowFigure(const TableRow& row, std::size_t i, int year);

// Why a row's figures are not defined, years that share a reason named
// together ("2023, 2024 — делитель равен нулю; 2025 — …"); empty when all are.
std::string undefinedReasons(const TableRow& row, const std::vector<int>& years);

// One part of the report: its tables in order, and the sentence the report
// puts after them (or instead of them) where it has one.
struct HistorySection {
    std::vector<HistoryTableData> tables;
    std::string remark;
};

// The structure and dynamics of the balance (balance = true) or of the
// profit and loss statement: values, shares of the total and, given two
// years, the changes in the unit and in per cent.
HistorySection structureSection(const CompanyHistory& history, bool balance);
// The ratios of each year of `years`.
HistoryTableData ratioTable(const CompanyHistory& history, const std::vector<int>& years);
// The models, their risk zones in words, net assets, the unsatisfactory
// structure test, the bank's class and the DuPont factors, in the report's
// order (history_verdicts.cpp).
std::vector<HistoryTableData> verdictTables(const CompanyHistory& history, const std::vector<int>& years);
// The sentence under the models: how many of the last year's models say
// high risk ("По данным 2025 года 1 из 10 моделей указывают на высокий риск
// банкротства."); empty without years.
std::string modelsSummary(const CompanyHistory& history, const std::vector<int>& years, const std::string& sep);

// Every year of the history, ascending.
std::vector<int> historyYears(const CompanyHistory& history);

} // namespace kalvanta::history
