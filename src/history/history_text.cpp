#include "history_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "numeric/number_format.h"

namespace kalvanta::history {

namespace {

constexpr std::size_t kCellWidth = 14;
constexpr std::size_t kMinLabelWidth = 30;
const std::string kDash = "—";

} // namespace

std::size_t textWidth(const std::string& s)
{
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string padRight(std::string s, std::size_t width)
{
    const std::size_t w = textWidth(s);
    if (w < width)
        s.append(width - w, ' ');
    return s;
}

std::string padLeft(const std::string& s, std::size_t width)
{
    const std::size_t w = textWidth(s);
    return w < width ? std::string(width - w, ' ') + s : s;
}

std::string roundedText(double value, int decimals, const std::string& decimalSeparator)
{
    // Half away from zero is decided on the true value, not on an already
    // rounded one. Twenty digits past the last one printed decide it unless
    // they read 5000… or 4999… (then the to_chars rounding could have made
    // them so); only then the exact expansion (at most 1074 fraction digits)
    // is written, which is slow enough to matter in a report of many cells.
    constexpr int kGuard = 20;
    char buf[1500];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, decimals + kGuard);
    std::string digits(buf, res.ptr);
    std::size_t point = digits.find('.');
    std::string_view tail = std::string_view(digits).substr(point + 1 + static_cast<std::size_t>(decimals));
    const auto allOf = [](std::string_view s, char c) {
        return std::all_of(s.begin(), s.end(), [c](char d) { return d == c; });
    };
    if ((tail[0] == '5' && allOf(tail.substr(1), '0')) || (tail[0] == '4' && allOf(tail.substr(1), '9'))) {
        res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, 1074);
        digits.assign(buf, res.ptr);
        point = digits.find('.');
    }
    std::string whole = digits.substr(0, point);
    std::string frac = digits.substr(point + 1);
    const bool up = frac[static_cast<std::size_t>(decimals)] >= '5';
    frac.resize(static_cast<std::size_t>(decimals));
    std::string all = whole + frac;
    if (up) {
        std::size_t i = all.size();
        while (i > 0) {
            --i;
            if (all[i] == '9') {
                all[i] = '0';
            } else {
                ++all[i];
                break;
            }
            if (i == 0)
                all.insert(all.begin(), '1');
        }
    }
    const std::size_t wholeDigits = all.size() - static_cast<std::size_t>(decimals);
    std::string out = all.substr(0, wholeDigits);
    if (decimals > 0)
        out += decimalSeparator + all.substr(wholeDigits);
    const bool zero = std::all_of(all.begin(), all.end(), [](char c) { return c == '0'; });
    if (value < 0 && !zero)
        out.insert(out.begin(), '-');
    return out;
}

int printDecimals(Print print)
{
    switch (print) {
    case Print::Amount:
        return -1;
    case Print::Ratio2:
        return 2;
    case Print::Model3:
        return 3;
    case Print::Percent1:
    case Print::Share1:
        return 1;
    }
    return -1;
}

bool printsFractionAsPercent(Print print) { return print == Print::Percent1; }

Figure rowFigure(const TableRow& row, std::size_t i, int year)
{
    return i < row.cells.size() ? row.cells[i] : Figure::undefined(noDataReason(year));
}

std::string undefinedReasons(const TableRow& row, const std::vector<int>& years)
{
    std::vector<std::pair<std::string, std::vector<int>>> why;
    for (std::size_t i = 0; i < years.size(); ++i) {
        const Figure f = rowFigure(row, i, years[i]);
        if (f.defined())
            continue;
        auto it = std::find_if(why.begin(), why.end(), [&](const auto& w) { return w.first == f.reason(); });
        if (it == why.end())
            why.push_back({f.reason(), {years[i]}});
        else
            it->second.push_back(years[i]);
    }
    std::string text;
    for (std::size_t k = 0; k < why.size(); ++k) {
        if (k)
            text += "; ";
        for (std::size_t j = 0; j < why[k].second.size(); ++j)
            text += (j ? ", " : "") + std::to_string(why[k].second[j]);
        text += " — " + why[k].first;
    }
    return text;
}

std::string printFigure(const Figure& f, Print print, const std::string& decimalSeparator)
{
    if (!f.defined())
        return kDash;
    const double v = *f.value;
    switch (print) {
    case Print::Amount:
        return formatGeneral(v, decimalSeparator);
    case Print::Ratio2:
        return roundedText(v, 2, decimalSeparator);
    case Print::Model3:
        return roundedText(v, 3, decimalSeparator);
    case Print::Percent1:
        return roundedText(static_cast<double>(static_cast<long double>(v) * 100), 1, decimalSeparator);
    case Print::Share1:
        return roundedText(v, 1, decimalSeparator);
    }
    return kDash;
}

void appendYearTable(std::vector<std::string>& out, const std::string& title, const std::vector<int>& years,
                     const std::vector<TableRow>& rows, const std::string& decimalSeparator)
{
    std::size_t labelWidth = kMinLabelWidth;
    for (const TableRow& r : rows)
        labelWidth = std::max(labelWidth, textWidth(r.label) + 2);

    out.push_back(title);
    std::string header = padRight("Показатель", labelWidth);
    for (int y : years)
        header += padLeft(std::to_string(y), kCellWidth);
    out.push_back(header);
    out.push_back(std::string(labelWidth + kCellWidth * years.size(), '-'));

    std::vector<std::string> reasons;
    for (const TableRow& r : rows) {
        std::string line = padRight(r.label, labelWidth);
        for (std::size_t i = 0; i < years.size(); ++i)
            line += padLeft(printFigure(rowFigure(r, i, years[i]), r.print, decimalSeparator), kCellWidth);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out.push_back(line);
        const std::string why = undefinedReasons(r, years);
        if (!why.empty())
            reasons.push_back("  " + r.label + ": " + why);
    }
    if (!reasons.empty()) {
        out.push_back("Не определено:");
        out.insert(out.end(), reasons.begin(), reasons.end());
    }
    out.push_back(" ");
}

void appendYearTable(std::vector<std::string>& out, const HistoryTableData& table, const std::string& decimalSeparator)
{
    appendYearTable(out, table.title, table.years, table.rows, decimalSeparator);
}

} // namespace kalvanta::history
