#include "company_history.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "numeric/number_format.h"

namespace kalvanta::history {

namespace {

using Lines = std::map<int, std::array<std::optional<double>, 3>>;

// One statement of a company as the history reads it: figures in the
// history's unit, expenses as magnitudes, simplified totals derived.
struct Source {
    const Statement* statement = nullptr;
    std::size_t order = 0; // reading order over every file
    Lines lines;
};

struct Company {
    std::string key;
    std::vector<Source> sources;
    std::vector<std::string> fileNotes;
};

bool isBalanceLine(int code) { return code >= 1000 && code <= 1999; }
bool isFlowLine(int code) { return (code >= 2000 && code <= 2999) || (code >= 4000 && code <= 4999); }

// Printed in parentheses on the forms; a file may give them either sign.
// The cash-flow statement's payments (41 2x, 42 2x, 43 2x) likewise, so two
// files that write them with different signs do not read as restatements.
bool isExpenseLine(int code)
{
    if (code >= 4000 && code <= 4399 && code / 10 % 10 == 2)
        return true;
    return code == 2120 || code == 2210 || code == 2220 || code == 2330 || code == 2350 || code == 2410;
}

double unitScale(int okei)
{
    switch (okei) {
    case 383: return 1.0;
    case 385: return 1e6;
    default: return 1e3;
    }
}

std::string amountText(double v) { return formatGeneral(v, ","); }

std::string periodText(int year) { return std::to_string(year) + " год"; }

struct Derivation {
    int total;
    std::vector<std::pair<int, int>> terms; // line, sign
    const char* formula;
};

// The aggregated lines of simplified statements give the totals the ratios read.
const std::vector<Derivation>& simplifiedDerivations()
{
    static const std::vector<Derivation> rules = {
        {1100, {{1150, 1}, {1170, 1}}, "1100 = 1150 + 1170"},
        {1200, {{1210, 1}, {1230, 1}, {1250, 1}}, "1200 = 1210 + 1230 + 1250"},
        {1400, {{1410, 1}, {1450, 1}}, "1400 = 1410 + 1450"},
        {1500, {{1510, 1}, {1520, 1}, {1550, 1}}, "1500 = 1510 + 1520 + 1550"},
        {2200, {{2110, 1}, {2120, -1}}, "2200 = 2110 − 2120"},
        {2300, {{2110, 1}, {2120, -1}, {2330, -1}, {2340, 1}, {2350, -1}}, "2300 = 2110 − 2120 − 2330 + 2340 − 2350"},
    };
    return rules;
}

void noteFor(CompanyHistory& h, int year, std::string text)
{
    h.notes.push_back(std::move(text));
    h.noteYears.push_back(year);
}

Source prepared(const Statement& st, std::size_t order, int targetUnit, CompanyHistory& h)
{
    Source s{&st, order, {}};
    const double factor = unitScale(st.unitCode) / unitScale(targetUnit);
    for (const auto& [code, cells] : st.lines) {
        const bool balance = isBalanceLine(code);
        if ((balance && !st.hasBalance) || (!balance && !(isFlowLine(code) && st.hasProfitLoss)))
            continue;
        auto& out = s.lines[code];
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (!cells[c] || (!balance && c == kBeforePrevious))
                continue;
            double v = *cells[c];
            if (isExpenseLine(code))
                v = std::fabs(v);
            if (factor != 1.0)
                v = static_cast<double>(static_cast<long double>(v) * factor);
            out[c] = v;
        }
    }
    if (factor != 1.0)
        noteFor(h, 0,
                "отчетность за " + periodText(st.year) + " (" + st.sourceName + ") составлена в " +
                    unitName(st.unitCode) + ": ее показатели переведены в " + unitName(targetUnit));
    if (st.simplified) {
        std::string derived;
        for (const Derivation& d : simplifiedDerivations()) {
            if (s.lines.count(d.total))
                continue; // the file's own total stands
            std::array<std::optional<double>, 3> total{};
            for (std::size_t c = 0; c < 3; ++c) {
                long double sum = 0;
                bool any = false;
                for (const auto& [line, sign] : d.terms) {
                    const auto it = s.lines.find(line);
                    if (it == s.lines.end() || !it->second[c])
                        continue;
                    any = true;
                    sum += sign * static_cast<long double>(*it->second[c]);
                }
                if (any)
                    total[c] = static_cast<double>(sum);
            }
            if (std::none_of(total.begin(), total.end(), [](const auto& v) { return v.has_value(); }))
                continue;
            s.lines[d.total] = total;
            derived += (derived.empty() ? "" : ", ") + std::string(d.formula);
        }
        if (!derived.empty())
            noteFor(h, st.year,
                    "упрощенная отчетность за " + periodText(st.year) + " (" + st.sourceName +
                        "): итоги рассчитаны по строкам формы — " + derived);
    }
    return s;
}

// Where a figure of a year was taken from, for the notes on restatements.
struct Origin {
    const Source* source;
    double value;
};

// The later statement's figure differs from the one kept by more than half
// of the unit: the company restated it.
void compareFigure(CompanyHistory& h, int year, int line, const Origin& kept, const Source& other, double value)
{
    if (std::fabs(static_cast<long double>(value) - kept.value) <= 0.5L)
        return;
    const Statement& k = *kept.source->statement;
    const Statement& o = *other.statement;
    if (o.year == k.year) {
        noteFor(h, year,
                "отчетности за " + periodText(o.year) + " расходятся" +
                    (year == o.year ? std::string() : " в показателях " + std::to_string(year) + " года") +
                    ": строка " + std::to_string(line) + " — " +
                    amountText(value) + " в " + o.sourceName + ", " + amountText(kept.value) + " в " + k.sourceName +
                    "; взята " + k.sourceName);
        return;
    }
    noteFor(h, year,
            "показатели " + std::to_string(year) + " года пересчитаны в отчетности за " + periodText(o.year) +
                ": строка " + std::to_string(line) + " — " + amountText(value) + " вместо " + amountText(kept.value) +
                "; в истории оставлено " + amountText(kept.value) + " из отчетности за " + periodText(k.year));
}

struct Column {
    const Source* source;
    StatementColumn column;
};

// Fills one section of a year from its sources in order of precedence; a
// later source fills only the lines the earlier ones lack.
bool fillSection(CompanyHistory& h, int year, const std::vector<Column>& sources, bool balance,
                 std::map<int, double>& out, bool& simplified)
{
    std::map<int, Origin> origin;
    for (const Column& col : sources) {
        bool contributed = false;
        for (const auto& [code, cells] : col.source->lines) {
            if (isBalanceLine(code) != balance || !cells[col.column])
                continue;
            const double v = *cells[col.column];
            const auto it = origin.find(code);
            if (it == origin.end()) {
                origin.emplace(code, Origin{col.source, v});
                out[code] = v;
                contributed = true;
            } else {
                compareFigure(h, year, code, it->second, *col.source, v);
            }
        }
        if (contributed && col.source->statement->simplified)
            simplified = true;
    }
    return !origin.empty();
}

CompanyHistory buildOne(Company& company)
{
    CompanyHistory h;
    // Own statements of one year: the one read last wins (a correction is
    // filed, and named, after the report it corrects); the others only fill
    // what it lacks.
    const Source* newest = nullptr;
    for (const Source& s : company.sources)
        if (!newest || s.statement->year >= newest->statement->year)
            newest = &s;
    const Statement& top = *newest->statement;
    h.organisation = top.organisation;
    h.taxNumber = top.taxNumber;
    h.unitCode = (top.unitCode == 383 || top.unitCode == 385) ? top.unitCode : 384;
    for (auto it = company.sources.rbegin(); it != company.sources.rend(); ++it) {
        if (h.organisation.empty())
            h.organisation = it->statement->organisation;
        if (h.okved.empty())
            h.okved = it->statement->okved;
    }
    for (const std::string& n : company.fileNotes)
        noteFor(h, 0, n);

    std::vector<Source> sources;
    sources.reserve(company.sources.size());
    for (const Source& s : company.sources) {
        for (const std::string& n : s.statement->readerNotes)
            noteFor(h, s.statement->year, s.statement->sourceName + ": " + n);
        sources.push_back(prepared(*s.statement, s.order, h.unitCode, h));
    }
    // By year, and within a year the winner first.
    std::map<int, std::vector<const Source*>> byYear;
    for (const Source& s : sources)
        byYear[s.statement->year].push_back(&s);
    for (auto& [year, list] : byYear) {
        std::sort(list.begin(), list.end(), [](const Source* a, const Source* b) { return a->order > b->order; });
        if (list.size() > 1) {
            std::string others;
            for (std::size_t i = 1; i < list.size(); ++i)
                others += (i > 1 ? ", " : "") + list[i]->statement->sourceName;
            noteFor(h, year,
                    "за " + periodText(year) + " прочитано несколько отчетностей: взята " +
                        list.front()->statement->sourceName + " (прочитана последней), " + others +
                        " дополняет только недостающие строки");
        }
    }
    const auto statementsOf = [&](int year) -> const std::vector<const Source*>* {
        const auto it = byYear.find(year);
        return it == byYear.end() ? nullptr : &it->second;
    };

    std::vector<int> candidates;
    for (const auto& [year, list] : byYear)
        for (int y = year - 2; y <= year; ++y)
            candidates.push_back(y);
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    for (int year : candidates) {
        std::vector<Column> balance, flows;
        const StatementColumn columns[] = {kCurrent, kPrevious, kBeforePrevious};
        for (int k = 0; k < 3; ++k) {
            if (const auto* list = statementsOf(year + k))
                for (const Source* s : *list) {
                    balance.push_back({s, columns[k]});
                    if (k < 2)
                        flows.push_back({s, columns[k]});
                }
        }
        HistoryYear y;
        y.hasBalance = fillSection(h, year, balance, true, y.balance, y.simplified);
        y.hasFlows = fillSection(h, year, flows, false, y.flows, y.simplified);
        if (y.hasBalance || y.hasFlows)
            h.years.emplace(year, std::move(y));
    }
    return h;
}

} // namespace

std::string unitName(int okei)
{
    switch (okei) {
    case 383: return "руб.";
    case 385: return "млн. руб.";
    default: return "тыс. руб.";
    }
}

std::vector<CompanyHistory> buildHistories(const std::vector<StatementFile>& files)
{
    std::vector<Company> companies;
    std::map<std::string, std::size_t> byKey;
    std::size_t order = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        std::vector<std::size_t> touched;
        for (const Statement& st : files[f].statements) {
            // A file without a tax number is a company of its own.
            const std::string key = st.taxNumber.empty() ? "\x01file" + std::to_string(f) : "inn" + st.taxNumber;
            auto [it, added] = byKey.emplace(key, companies.size());
            if (added)
                companies.push_back(Company{key, {}, {}});
            companies[it->second].sources.push_back(Source{&st, order++, {}});
            if (std::find(touched.begin(), touched.end(), it->second) == touched.end())
                touched.push_back(it->second);
        }
        for (std::size_t c : touched)
            for (const std::string& n : files[f].notes)
                companies[c].fileNotes.push_back(n);
    }
    std::vector<CompanyHistory> out;
    out.reserve(companies.size());
    for (Company& c : companies)
        out.push_back(buildOne(c));
    return out;
}

} // namespace kalvanta::history
