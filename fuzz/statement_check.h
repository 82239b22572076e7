// What the statement readers' fuzz targets require of every file: a reader
// fails only with InputError naming the file; an accepted statement holds
// finite amounts, and the record the mapping makes of it carries the
// statement's own totals in the columns the mapping promises (balance
// 1100, 1200, 1600, 1300, 1400, 1500, 1700; results 2110, 2200, 2300, 2400;
// expenses as magnitudes; a simplified statement's missing totals formed from
// its aggregated lines), the unit its code names, and the same record twice.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "inputs/json_loader.h"
#include "statements/statement.h"
#include "statements/statement_mapping.h"

namespace kalvanta::fuzzcheck {

[[noreturn]] inline void fault(const char* reader, const std::string& what)
{
    std::fprintf(stderr, "%s: %s\n", reader, what.c_str());
    std::abort();
}

inline void checkMessage(const char* reader, const InputError& e, std::string_view source)
{
    if (!std::string_view(e.what()).starts_with(std::string(source) + ": "))
        fault(reader, std::string("the message does not name the file: ") + e.what());
}

inline void checkStatement(const char* reader, const Statement& s, std::string_view source)
{
    if (s.sourceName != source)
        fault(reader, "the statement does not carry the file's name");
    for (const auto& [code, cells] : s.lines) {
        if (code < 1000 || code > 9999)
            fault(reader, "line code " + std::to_string(code) + " is not four digits");
        for (const auto& v : cells)
            if (v && !std::isfinite(*v))
                fault(reader, "line " + std::to_string(code) + " holds a figure that is not finite");
        if (code >= 2000 && cells[kBeforePrevious])
            fault(reader, "line " + std::to_string(code) + " has a before-previous column");
    }
}

inline double cellOf(const Statement& s, int code, StatementColumn col)
{
    const auto it = s.lines.find(code);
    return it == s.lines.end() ? 0.0 : it->second[static_cast<std::size_t>(col)].value_or(0.0);
}

inline void expectEqual(const char* reader, double record, double file, const std::string& what)
{
    // exact: the mapping copies totals, it never recomputes them
    if (!(record == file) && !(std::isnan(record) && std::isnan(file)))
        fault(reader, what + ": the record holds " + std::to_string(record) + ", the file " + std::to_string(file));
}

// What the record must hold for a line: the statement's figure, or for a
// simplified statement that lacks the line, the total formed from its
// aggregated lines (expenses as magnitudes), in the formula's order.
inline double expectedCell(const Statement& s, int code, StatementColumn col)
{
    if (!s.simplified || s.lines.count(code))
        return cellOf(s, code, col);
    const auto v = [&](int line) { return static_cast<long double>(cellOf(s, line, col)); };
    const auto e = [&](int line) { return static_cast<long double>(std::fabs(cellOf(s, line, col))); };
    switch (code) {
    case 1100:
        return static_cast<double>(0.0L + v(1150) + v(1170));
    case 1200:
        return static_cast<double>(0.0L + v(1210) + v(1230) + v(1250));
    case 1300:
        return static_cast<double>(0.0L + v(1350) + v(1360));
    case 1400:
        return static_cast<double>(0.0L + v(1410) + v(1450));
    case 1500:
        return static_cast<double>(0.0L + v(1510) + v(1520) + v(1550));
    case 2200:
        return static_cast<double>(0.0L + v(2110) - e(2120));
    case 2300:
        return static_cast<double>(0.0L + v(2110) - e(2120) - e(2330) + v(2340) - e(2350));
    default:
        return cellOf(s, code, col);
    }
}

// The record against the statement it was made from.
inline void checkRecord(const char* reader, const Statement& s, const ImportedAnalysis& imported)
{
    const AnalysisInput& in = imported.input;
    // Two years where the oldest balance column holds a figure other than 0.
    bool oldest = false;
    for (const auto& [code, cells] : s.lines)
        if (code >= 1100 && code <= 1799 && cells[kBeforePrevious] && *cells[kBeforePrevious] != 0.0)
            oldest = true;
    const int years = oldest ? 2 : 1;
    if (in.AnalysisParameters.YearCount != years)
        fault(reader, "YearCount " + std::to_string(in.AnalysisParameters.YearCount) + " for a statement of " +
                          std::to_string(years) + " years");

    const StatementColumn dates[4] = {oldest ? kBeforePrevious : kPrevious, oldest ? kPrevious : kCurrent,
                                      oldest ? kPrevious : kCurrent, kCurrent};
    const BalanceSheet* sheets[4] = {&in.Y1Start, &in.Y1End, &in.Y2Start, &in.Y2End};
    struct Total {
        double BalanceSheet::*member;
        int line;
        const char* name;
    };
    static const Total kTotals[] = {
        {&BalanceSheet::NonCurrentAssetsTotal, 1100, "NonCurrentAssetsTotal"},
        {&BalanceSheet::CurrentAssetsTotal, 1200, "CurrentAssetsTotal"},
        {&BalanceSheet::AssetsTotal, 1600, "AssetsTotal"},
        {&BalanceSheet::EquityTotal, 1300, "EquityTotal"},
        {&BalanceSheet::LongTermLiabilitiesTotal, 1400, "LongTermLiabilitiesTotal"},
        {&BalanceSheet::ShortTermLiabilitiesTotal, 1500, "ShortTermLiabilitiesTotal"},
        {&BalanceSheet::LiabilitiesTotal, 1700, "LiabilitiesTotal"},
    };
    const int dateCount = years == 2 ? 4 : 2;
    for (int d = 0; d < dateCount; ++d) {
        for (const Total& t : kTotals)
            expectEqual(reader, sheets[d]->*t.member, expectedCell(s, t.line, dates[d]),
                        std::string(t.name) + " at date " + std::to_string(d) + " against line " + std::to_string(t.line));
        const double retained = cellOf(s, 1370, dates[d]);
        expectEqual(reader, sheets[d]->RetainedEarnings - sheets[d]->UncoveredLoss, retained,
                    "RetainedEarnings - UncoveredLoss against line 1370");
    }

    for (int y = 1; y <= years; ++y) {
        const StatementColumn col = years == 2 && y == 1 ? kPrevious : kCurrent;
        const ProfitLossYear& pl = in.ProfitLoss[y];
        const std::string at = " in year " + std::to_string(y);
        expectEqual(reader, pl.Revenue, cellOf(s, 2110, col), "Revenue" + at);
        expectEqual(reader, pl.SalesProfit, expectedCell(s, 2200, col), "SalesProfit" + at);
        expectEqual(reader, pl.ProfitBeforeTax, expectedCell(s, 2300, col), "ProfitBeforeTax" + at);
        expectEqual(reader, pl.NetProfit, cellOf(s, 2400, col), "NetProfit" + at);
        expectEqual(reader, pl.CostOfSales, std::fabs(cellOf(s, 2120, col)), "CostOfSales" + at);
        expectEqual(reader, pl.OtherOperatingExpenses, std::fabs(cellOf(s, 2350, col)), "OtherOperatingExpenses" + at);
    }
    if (in.AnalysisParameters.UnitName != unitNameForCode(s.unitCode, s.sourceName))
        fault(reader, "UnitName \"" + in.AnalysisParameters.UnitName + "\" for unit code " + std::to_string(s.unitCode));
    if (in.AnalysisParameters.OperatingLeverageOn != 0.0)
        fault(reader, "operating leverage on for a statement");

    const ImportedAnalysis again = mapStatement(s);
    if (!(again.input == in) || again.notes != imported.notes)
        fault(reader, "the same statement mapped differently");
}

// Maps an accepted statement and checks the record; a refusal of the
// mapping must name the file too.
inline void mapAndCheck(const char* reader, const Statement& s, std::string_view source)
{
    checkStatement(reader, s, source);
    ImportedAnalysis imported;
    try {
        imported = mapStatement(s);
    } catch (const InputError& e) {
        checkMessage(reader, e, source);
        return;
    }
    checkRecord(reader, s, imported);
}

inline bool sameStatement(const Statement& a, const Statement& b)
{
    return a.organisation == b.organisation && a.taxNumber == b.taxNumber && a.year == b.year &&
           a.unitCode == b.unitCode && a.lines == b.lines;
}

} // namespace kalvanta::fuzzcheck
