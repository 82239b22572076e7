#include "history_figures.h"

#include <cmath>

namespace kalvanta::history {

Figure Figure::of(double v)
{
    if (!std::isfinite(v))
        return undefined(std::string(kOverflowReason));
    return Figure{v, {}};
}

Figure Figure::undefined(std::string why) { return Figure{std::nullopt, std::move(why)}; }

std::string noDataReason(int year) { return "нет данных за " + std::to_string(year) + " год"; }

namespace {

// The first operand's reason wins, so a formula names what it lacks first.
const Figure* firstUndefined(const Figure& a, const Figure& b)
{
    if (!a.defined())
        return &a;
    if (!b.defined())
        return &b;
    return nullptr;
}

Figure stored(long double v) { return Figure::of(static_cast<double>(v)); }

} // namespace

Figure operator+(const Figure& a, const Figure& b)
{
    if (const Figure* u = firstUndefined(a, b))
        return *u;
    return stored(static_cast<long double>(*a.value) + *b.value);
}

Figure operator-(const Figure& a, const Figure& b)
{
    if (const Figure* u = firstUndefined(a, b))
        return *u;
    return stored(static_cast<long double>(*a.value) - *b.value);
}

Figure operator*(const Figure& a, const Figure& b)
{
    if (const Figure* u = firstUndefined(a, b))
        return *u;
    return stored(static_cast<long double>(*a.value) * *b.value);
}

Figure operator/(const Figure& a, const Figure& b)
{
    if (const Figure* u = firstUndefined(a, b))
        return *u;
    if (*b.value == 0)
        return Figure::undefined(std::string(kZeroDivisorReason));
    return stored(static_cast<long double>(*a.value) / *b.value);
}

Figure operator-(const Figure& a)
{
    if (!a.defined())
        return a;
    return Figure::of(-*a.value);
}

Figure operator*(double k, const Figure& a) { return Figure::of(k) * a; }

Figure maxOf(const Figure& a, const Figure& b)
{
    if (const Figure* u = firstUndefined(a, b))
        return *u;
    return Figure::of(*a.value < *b.value ? *b.value : *a.value);
}

YearView::YearView(const CompanyHistory& history, int year) : history_(history), year_(year) {}

namespace {

const HistoryYear* yearOf(const CompanyHistory& h, int year)
{
    const auto it = h.years.find(year);
    return it == h.years.end() ? nullptr : &it->second;
}

Figure lineOf(const std::map<int, double>& lines, int line)
{
    const auto it = lines.find(line);
    return Figure::of(it == lines.end() ? 0.0 : it->second);
}

} // namespace

bool YearView::hasBalance() const
{
    const HistoryYear* y = yearOf(history_, year_);
    return y && y->hasBalance;
}

bool YearView::hasFlows() const
{
    const HistoryYear* y = yearOf(history_, year_);
    return y && y->hasFlows;
}

bool YearView::hasPreviousBalance() const { return previousYear().hasBalance(); }

Figure YearView::balance(int line) const
{
    const HistoryYear* y = yearOf(history_, year_);
    if (!y || !y->hasBalance)
        return Figure::undefined(noDataReason(year_));
    return lineOf(y->balance, line);
}

Figure YearView::previousBalance(int line) const { return previousYear().balance(line); }

Figure YearView::flow(int line) const
{
    const HistoryYear* y = yearOf(history_, year_);
    if (!y || !y->hasFlows)
        return Figure::undefined(noDataReason(year_));
    return lineOf(y->flows, line);
}

Figure YearView::average(int line) const { return (balance(line) + previousBalance(line)) / Figure::of(2.0); }

YearView YearView::previousYear() const { return YearView(history_, year_ - 1); }

} // namespace kalvanta::history
