#pragma once
// A figure of the history's analysis is either a number or not defined,
// with the reason the report prints ("нет данных за 2021 год", "делитель
// равен нулю"). Arithmetic on figures carries the first reason along, so a
// formula is written as it reads and never stops the analysis.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/company_history.h"

namespace kalvanta::history {

// The reason is one of a handful of texts, kept once for the whole program:
// a bulk run makes millions of undefined figures, and a copy is a pointer.
struct Figure {
    std::optional<double> value;

    bool defined() const { return value.has_value(); }
    const std::string& reason() const; // empty when defined
    static Figure of(double v);
    static Figure undefined(std::string_view why);
    static Figure noData(int year); // undefined for lack of the year's figures

private:
    const std::string* why_ = nullptr;
};

// Reasons, as the report prints them.
std::string noDataReason(int year);      // "нет данных за 2021 год"
inline constexpr std::string_view kZeroDivisorReason = "делитель равен нулю";
inline constexpr std::string_view kOverflowReason = "результат вне пределов чисел";

// Each step is computed in extended precision and stored as a double; a
// result beyond the double range is not defined.
Figure operator+(const Figure& a, const Figure& b);
Figure operator-(const Figure& a, const Figure& b);
Figure operator*(const Figure& a, const Figure& b);
Figure operator/(const Figure& a, const Figure& b); // zero divisor: not defined
Figure operator-(const Figure& a);
Figure operator*(double k, const Figure& a);
Figure maxOf(const Figure& a, const Figure& b);

// The lines of one year of a history, by the rule of what is not defined:
// in a year whose balance (or profit and loss statement) is in the history
// a line the statement leaves out is 0; a year without that section has no
// figures of it.
class YearView {
public:
    YearView(const CompanyHistory& history, int year);

    int year() const { return year_; }
    const CompanyHistory& history() const { return history_; }
    bool hasBalance() const;
    bool hasFlows() const;
    bool hasPreviousBalance() const;

    Figure balance(int line) const;         // at 31.12 of the year
    Figure previousBalance(int line) const; // at 31.12 of the year before
    Figure flow(int line) const;            // of the year (2xxx, 4xxx)
    Figure average(int line) const;         // (balance + previous balance) / 2
    YearView previousYear() const;

private:
    const CompanyHistory& history_;
    int year_;
};

// One column of the history's table and its figure for one year.
struct NamedFigure {
    std::string_view column; // the table's column name, as scripts read it
    Figure figure;
};

// The ratios per year, in the table's order (history_ratios.cpp).
std::vector<NamedFigure> ratioFigures(const YearView& year);
// The failure models, net assets, the regulated and banking tests and the
// DuPont factors, in the table's order (history_verdicts.cpp).
std::vector<NamedFigure> verdictFigures(const YearView& year);

} // namespace kalvanta::history
