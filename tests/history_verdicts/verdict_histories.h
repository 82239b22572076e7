#pragma once
// Small company histories for the models and tests, in thousands of
// roubles, with the expected figures computed by hand beside each test.
#include <map>
#include <string>

#include "history/company_history.h"
#include "history/history_figures.h"

namespace kalvanta::history::testing {

using Lines = std::map<int, double>;

inline HistoryYear yearOf(Lines balance, Lines flows)
{
    HistoryYear y;
    y.hasBalance = !balance.empty();
    y.hasFlows = !flows.empty();
    y.balance = std::move(balance);
    y.flows = std::move(flows);
    return y;
}

// Profitable, liquid, own funds beyond the norms.
inline CompanyHistory healthy()
{
    CompanyHistory h;
    h.organisation = "ООО «Здоровье»";
    h.years[2023] = yearOf({{1100, 3000}, {1210, 1200}, {1230, 1300}, {1240, 200}, {1250, 300}, {1200, 3000},
                           {1600, 6000}, {1310, 100}, {1370, 2900}, {1300, 3000}, {1400, 1200}, {1510, 400}, {1520, 900},
                           {1530, 100}, {1540, 100}, {1550, 300}, {1500, 1800}}, {{2110, 9000}, {2120, 6500}, {2210, 900},
                           {2220, 400}, {2200, 1200}, {2330, 100}, {2300, 1100}, {2400, 900}});
    h.years[2024] = yearOf({{1100, 3000}, {1210, 1500}, {1230, 1800}, {1240, 300}, {1250, 400}, {1200, 4000},
                           {1600, 7000}, {1310, 100}, {1370, 3900}, {1300, 4000}, {1400, 1200}, {1510, 400}, {1520, 900},
                           {1530, 100}, {1540, 100}, {1550, 300}, {1500, 1800}}, {{2110, 10000}, {2120, 7000},
                           {2210, 1000}, {2220, 500}, {2200, 1500}, {2330, 100}, {2300, 1400}, {2400, 1100}});
    return h;
}

// A loss in 2024, equity below the charter capital; 2023 only its balance and revenue.
inline CompanyHistory lossMaking()
{
    CompanyHistory h;
    h.organisation = "ООО «Убыток»";
    h.years[2023] = yearOf({{1100, 5000}, {1210, 900}, {1230, 1200}, {1240, 100}, {1250, 300}, {1200, 2500}, {1600, 7500},
                           {1310, 1000}, {1370, 400}, {1300, 1400}, {1400, 1600}, {1510, 2000}, {1520, 2500},
                           {1500, 4500}}, {{2110, 7000}});
    h.years[2024] = yearOf({{1100, 5000}, {1210, 800}, {1230, 1000}, {1250, 200}, {1200, 2000}, {1600, 7000},
                           {1310, 1000}, {1370, -500}, {1300, 500}, {1400, 1500}, {1510, 2000}, {1520, 2500}, {1550, 500},
                           {1500, 5000}}, {{2110, 6000}, {2120, 5800}, {2210, 400}, {2220, 300}, {2200, -500},
                           {2330, 300}, {2300, -900}, {2400, -900}});
    return h;
}

inline CompanyHistory negativeEquity()
{
    CompanyHistory h;
    h.years[2023] = yearOf({{1100, 1200}, {1210, 500}, {1230, 400}, {1250, 100}, {1200, 1000}, {1600, 2200}, {1310, 10},
                           {1370, -210}, {1300, -200}, {1400, 1000}, {1510, 600}, {1520, 800}, {1500, 1400}},
                           {{2110, 3200}});
    h.years[2024] = yearOf({{1100, 1000}, {1210, 500}, {1230, 300}, {1250, 200}, {1200, 1000}, {1600, 2000}, {1310, 10},
                           {1370, -1010}, {1300, -1000}, {1400, 1000}, {1510, 1000}, {1520, 1000}, {1500, 2000}},
                           {{2110, 3000}, {2120, 2900}, {2210, 200}, {2220, 100}, {2200, -200}, {2330, 100}, {2300, -700},
                           {2400, -800}});
    return h;
}

// No liabilities at all: every ratio over 1500 or over 1400 + 1500 has a zero divisor.
inline CompanyHistory noLiabilities()
{
    CompanyHistory h;
    h.years[2023] = yearOf({{1100, 500}, {1230, 200}, {1250, 200}, {1200, 400}, {1600, 900}, {1310, 100}, {1370, 800},
                           {1300, 900}}, {{2110, 1800}});
    h.years[2024] = yearOf({{1100, 600}, {1230, 200}, {1250, 200}, {1200, 400}, {1600, 1000}, {1310, 100}, {1370, 900},
                           {1300, 1000}}, {{2110, 2000}, {2120, 1500}, {2210, 200}, {2220, 100}, {2200, 200}, {2300, 250},
                           {2400, 200}});
    return h;
}

// 2024 only; its structure is unsatisfactory (current ratio 1.67, own funds 0).
inline CompanyHistory oneYear()
{
    CompanyHistory h;
    h.years[2024] = yearOf({{1100, 4000}, {1210, 1000}, {1230, 1500}, {1240, 200}, {1250, 300}, {1200, 3000},
                           {1600, 7000}, {1310, 100}, {1370, 3900}, {1300, 4000}, {1400, 1000}, {1510, 500}, {1520, 1000},
                           {1530, 100}, {1540, 100}, {1550, 300}, {1500, 2000}}, {{2110, 10000}, {2120, 7000},
                           {2210, 1000}, {2220, 500}, {2200, 1500}, {2330, 100}, {2300, 1400}, {2400, 1100}});
    return h;
}

} // namespace kalvanta::history::testing
