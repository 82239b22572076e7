#pragma once
// The histories' report as a workbook: a sheet for each part of it (the
// balance's structure and dynamics, the profit and loss statement's, the
// ratios, the models and tests) and one for the notes. Each sheet has a
// header of the years (every year any company on it has), frozen with the
// captions' column; the companies follow one another under a title row,
// each table under its own title as the text report prints it. Numbers are
// numbers, in the report's decimals; what is not defined is "—" and the
// last column says why, in the report's words.
#include <string>
#include <vector>

#include "history/company_history.h"

namespace kalvanta::history {

inline constexpr const char* kBalanceSheet = "Баланс";
inline constexpr const char* kProfitLossSheet = "Отчет о финансовых результатах";
inline constexpr const char* kRatiosSheet = "Коэффициенты";
inline constexpr const char* kModelsSheet = "Модели";
inline constexpr const char* kNotesSheet = "Примечания";
inline constexpr const char* kReasonsColumn = "Не определено";

// "ИНН 5003012345 — ООО "Лесная поляна"", as a company's blocks are titled.
std::string companyTitle(const CompanyHistory& history);

// Saves the workbook atomically (a temporary file beside it, renamed over
// it when complete). Throws indicators::TableFileError naming the file when
// it cannot be written; the file that was there stays as it was.
void writeHistoryWorkbook(const std::string& path, const std::vector<CompanyHistory>& histories);

} // namespace kalvanta::history
