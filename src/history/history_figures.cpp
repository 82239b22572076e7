#include "history_figures.h"

#include <array>
#include <cmath>
#include <mutex>
#include <unordered_set>

namespace kalvanta::history {

namespace {

// The reasons in use, never freed, so a figure may point at its text. They
// are few (a few fixed texts and one per year), so the set stays small.
const std::string* internedReason(std::string_view why)
{
    // Each thread remembers the last texts it asked for; the common case
    // takes no lock.
    thread_local std::array<const std::string*, 8> recent{};
    thread_local std::size_t next = 0;
    for (const std::string* r : recent)
        if (r && *r == why)
            return r;
    static std::mutex mutex;
    static std::unordered_set<std::string> reasons;
    const std::lock_guard lock(mutex);
    const std::string* r = &*reasons.emplace(why).first;
    recent[next++ % recent.size()] = r;
    return r;
}

const std::string kNoReason;

} // namespace

const std::string& Figure::reason() const { return why_ ? *why_ : kNoReason; }

Figure Figure::of(double v)
{
    if (!std::isfinite(v))
        return undefined(kOverflowReason);
    Figure f;
    f.value = v;
    return f;
}

Figure Figure::undefined(std::string_view why)
{
    Figure f;
    f.why_ = internedReason(why);
    return f;
}

Figure Figure::noData(int year)
{
    thread_local int lastYear = 0;
    thread_local const std::string* last = nullptr;
    if (!last || year != lastYear) {
        last = internedReason(noDataReason(year));
        lastYear = year;
    }
    Figure f;
    f.why_ = last;
    return f;
}

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
        return Figure::undefined(kZeroDivisorReason);
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
        return Figure::noData(year_);
    return lineOf(y->balance, line);
}

Figure YearView::previousBalance(int line) const { return previousYear().balance(line); }

Figure YearView::flow(int line) const
{
    const HistoryYear* y = yearOf(history_, year_);
    if (!y || !y->hasFlows)
        return Figure::noData(year_);
    return lineOf(y->flows, line);
}

Figure YearView::average(int line) const { return (balance(line) + previousBalance(line)) / Figure::of(2.0); }

YearView YearView::previousYear() const { return YearView(history_, year_ - 1); }

} // namespace kalvanta::history
