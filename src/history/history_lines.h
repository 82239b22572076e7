#pragma once
// The Russian names of today's line codes of the balance (1110 … 1700) and
// the profit and loss statement (2110 … 2500), in the forms' order, for the
// labels of the history's report.
#include <string>
#include <vector>

namespace kalvanta::history {

// "Нематериальные активы" for 1110; empty for a code the forms do not name.
// Simplified statements name a few of their aggregated lines otherwise.
std::string lineName(int code, bool simplified = false);
// "1110 Нематериальные активы", or the code alone.
std::string lineLabel(int code, bool simplified = false);
// The codes in the order the forms print them; a code the forms do not name
// follows the line it details (1151 after 1150), others come last.
std::vector<int> inFormOrder(std::vector<int> codes);

} // namespace kalvanta::history
