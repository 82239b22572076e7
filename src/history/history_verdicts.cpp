#include "history_figures.h"
#include "history_text.h"

// The models and the regulated tests come in their own change; until then
// the history has none of their columns and sections.
namespace kalvanta::history {

std::vector<NamedFigure> verdictFigures(const YearView&) { return {}; }

void appendVerdictSections(std::vector<std::string>&, const CompanyHistory&, const std::vector<int>&,
                           const std::string&)
{
}

void appendVerdictLegend(std::vector<std::string>&) {}

} // namespace kalvanta::history
