#pragma once
// Fixed-width text of the history's report: tables with one column per
// year, "—" where a figure is not defined and, below the table, the reason
// once per figure. Every section of the report is written with these.
#include <string>
#include <vector>

#include "history/history_figures.h"
#include "history/history_tables.h"

namespace kalvanta::history {

// A figure as a cell prints it ("—" when not defined). Percent1 multiplies a
// fraction by 100; Share1 takes a value already in per cent.
std::string printFigure(const Figure& f, Print print, const std::string& decimalSeparator);
// Width in characters of UTF-8 text, and padding to a width on the right
// (labels) or on the left (figures).
std::size_t textWidth(const std::string& s);
std::string padRight(std::string s, std::size_t width);
std::string padLeft(const std::string& s, std::size_t width);

// Rounded half away from zero on the exact binary value, regional separator.
std::string roundedText(double value, int decimals, const std::string& decimalSeparator);

// Appends the title, the header with the years, the rule, the rows and the
// reasons of what is not defined, then one blank line (a single space, as in
// the fixed report).
void appendYearTable(std::vector<std::string>& out, const std::string& title, const std::vector<int>& years,
                     const std::vector<TableRow>& rows, const std::string& decimalSeparator);
void appendYearTable(std::vector<std::string>& out, const HistoryTableData& table, const std::string& decimalSeparator);

// The sections of the models, net assets and the regulated and banking
// tests, after the ratios (history_verdicts.cpp).
void appendVerdictSections(std::vector<std::string>& out, const CompanyHistory& history,
                           const std::vector<int>& years, const std::string& decimalSeparator);

// The models' legend: formulas in line codes, zones and sources.
void appendVerdictLegend(std::vector<std::string>& out);

} // namespace kalvanta::history
