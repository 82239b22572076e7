#include "history_figures.h"

namespace kalvanta::history {

std::vector<NamedFigure> ratioFigures(const YearView& y)
{
    const auto b = [&](int line) { return y.balance(line); };
    const auto f = [&](int line) { return y.flow(line); };
    const auto avg = [&](int line) { return y.average(line); };
    const Figure days = Figure::of(365.0);
    const Figure cl = b(1500);
    const Figure ebit = f(2300) + f(2330);
    return {
        {"current_ratio", b(1200) / cl},
        {"quick_ratio", (b(1230) + b(1240) + b(1250)) / cl},
        {"absolute_liquidity", (b(1240) + b(1250)) / cl},
        {"autonomy", b(1300) / b(1600)},
        {"debt_to_equity", (b(1400) + b(1500)) / b(1300)},
        {"own_working_capital", b(1300) - b(1100)},
        {"own_working_capital_ratio", (b(1300) - b(1100)) / b(1200)},
        {"roa", f(2400) / avg(1600)},
        {"roe", f(2400) / avg(1300)},
        {"return_on_sales", f(2200) / f(2110)},
        {"net_margin", f(2400) / f(2110)},
        {"asset_turnover", f(2110) / avg(1600)},
        {"receivables_days", avg(1230) / f(2110) * days},
        {"inventory_days", avg(1210) / f(2120) * days},
        {"payables_days", avg(1520) / f(2120) * days},
        {"interest_coverage", ebit / f(2330)},
    };
}

} // namespace kalvanta::history
