#pragma once
// Statements built line by line for the history's tests, and a history
// written out as one text to compare.
#include <optional>
#include <string>
#include <vector>

#include "history/company_history.h"
#include "numeric/number_format.h"

namespace kalvanta::history::test {

struct LineSpec {
    int code;
    std::optional<double> current, previous, beforePrevious;
};

inline Statement statement(const std::string& source, const std::string& inn, int year,
                           const std::vector<LineSpec>& lines, int unit = 384)
{
    Statement s;
    s.sourceName = source;
    s.organisation = "ООО \"Проба\"";
    s.taxNumber = inn;
    s.year = year;
    s.unitCode = unit;
    for (const LineSpec& l : lines)
        s.lines[l.code] = {l.current, l.previous, l.beforePrevious};
    return s;
}

inline StatementFile fileOf(std::vector<Statement> statements, std::vector<std::string> notes = {})
{
    StatementFile f;
    f.statements = std::move(statements);
    f.notes = std::move(notes);
    return f;
}

// "2023 B 1600=100 F 2110=5; 2024 B …", sections as the history holds them.
inline std::string dump(const CompanyHistory& h)
{
    std::string out;
    for (const auto& [year, y] : h.years) {
        if (!out.empty())
            out += "; ";
        out += std::to_string(year) + (y.simplified ? " S" : "");
        if (y.hasBalance) {
            out += " B";
            for (const auto& [code, v] : y.balance)
                out += " " + std::to_string(code) + "=" + formatGeneral(v, ".");
        }
        if (y.hasFlows) {
            out += " F";
            for (const auto& [code, v] : y.flows)
                out += " " + std::to_string(code) + "=" + formatGeneral(v, ".");
        }
    }
    return out;
}

} // namespace kalvanta::history::test
