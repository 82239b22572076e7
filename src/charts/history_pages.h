#pragma once
// The chart pages of a company's history: its ratios per year as lines
// against the norms the fixed report's pages use, and its failure models per
// year against their zones. Values and printed texts come from the history's
// own figures, as its report prints them; a figure not defined is a break in
// the line and "—" with the reason in the description.
#include <vector>

#include "chart_pages.h"
#include "history/company_history.h"

namespace kalvanta::charts {

// The history's title as the chart window heads it: organisation, tax number, years.
QString historyHeader(const history::CompanyHistory& history);

// The two pages; with no history each chart is empty and says why.
std::vector<Page> historyPages(const history::CompanyHistory* history, const RegionalSettings& regional);

} // namespace kalvanta::charts
