// Net assets, the unsatisfactory-structure test, the bank's creditworthiness
// class and the DuPont factors of one year of a history.
#include <cctype>

#include "history_figures.h"
#include "history_verdicts.h"

namespace kalvanta::history {

namespace {

Figure netAssets(const YearView& y)
{
    return y.balance(1600) - y.balance(1400) - y.balance(1500) + y.balance(1530);
}

// The current ratio of the structure test: short-term liabilities without
// deferred income and estimated liabilities.
Figure structureCurrentRatio(const YearView& y)
{
    return y.balance(1200) / (y.balance(1500) - y.balance(1530) - y.balance(1540));
}

Figure ownFundsRatio(const YearView& y) { return (y.balance(1300) - y.balance(1100)) / y.balance(1200); }

// 1 when either ratio is below its norm. One ratio below its norm decides
// it even where the other is not defined.
Figure unsatisfactory(const Figure& current, const Figure& ownFunds)
{
    const bool currentLow = current.defined() && *current.value < 2;
    const bool ownFundsLow = ownFunds.defined() && *ownFunds.value < 0.1;
    if (currentLow || ownFundsLow)
        return Figure::of(1);
    if (!current.defined())
        return current;
    if (!ownFunds.defined())
        return ownFunds;
    return Figure::of(0);
}

// (K(t) + months/12 × (K(t) − K(t−1))) / 2.
Figure solvencyOutlook(const Figure& k, const Figure& kBefore, long double monthsShare)
{
    const Figure change = k - kBefore;
    const Figure scaled =
        change.defined() ? Figure::of(static_cast<double>(monthsShare * static_cast<long double>(*change.value)))
                         : change;
    return (k + scaled) / Figure::of(2);
}

int category(double k, double first, double second)
{
    if (k >= first)
        return 1;
    return k >= second ? 2 : 3;
}

} // namespace

bool isTradeOkved(const std::string& okved)
{
    std::size_t i = 0;
    while (i < okved.size() && std::isspace(static_cast<unsigned char>(okved[i])))
        ++i;
    if (okved.size() < i + 2 || okved[i] != '4' || okved[i + 1] < '5' || okved[i + 1] > '7')
        return false;
    return okved.size() == i + 2 || !std::isdigit(static_cast<unsigned char>(okved[i + 2]));
}

CreditClass creditClass(const YearView& y)
{
    CreditClass c;
    const Figure cl = y.balance(1500);
    const Figure liquid = y.balance(1240) + y.balance(1250);
    c.k[0] = liquid / cl;
    c.k[1] = (y.balance(1230) + y.balance(1240) + y.balance(1250)) / cl;
    c.k[2] = y.balance(1200) / cl;
    c.k[3] = y.balance(1300) / (y.balance(1400) + cl);
    c.k[4] = y.flow(2200) / y.flow(2110);
    c.trade = isTradeOkved(y.history().okved);

    bool allDefined = true;
    for (const Figure& k : c.k) {
        if (!k.defined()) {
            allDefined = false;
            c.score = k;
            c.creditClass = k;
            break;
        }
    }
    const auto value = [&](std::size_t i) { return c.k[i].defined() ? *c.k[i].value : 0.0; };
    c.category = {
        category(value(0), 0.2, 0.15),
        category(value(1), 0.8, 0.5),
        category(value(2), 2, 1),
        c.trade ? category(value(3), 0.6, 0.4) : category(value(3), 1, 0.7),
        value(4) >= 0.15 ? 1 : (value(4) > 0 ? 2 : 3),
    };
    for (std::size_t i = 0; i < c.k.size(); ++i)
        if (!c.k[i].defined())
            c.category[i] = 0;
    if (!allDefined)
        return c;

    // In hundredths the sum is exact, so a score on 1.25 or 2.35 is classed
    // by the bound, not by a rounding error.
    static constexpr std::array<int, 5> kHundredths{5, 10, 40, 20, 25};
    int hundredths = 0;
    for (std::size_t i = 0; i < c.k.size(); ++i)
        hundredths += kHundredths[i] * c.category[i];
    c.score = Figure::of(hundredths / 100.0);
    int cls = hundredths <= 125 ? 1 : (hundredths <= 235 ? 2 : 3);
    if (c.category[4] == 2 && cls < 2)
        cls = 2;
    if (c.category[4] == 3)
        cls = 3;
    c.creditClass = Figure::of(cls);
    return c;
}

std::vector<NamedFigure> testFigures(const YearView& y)
{
    const Figure net = netAssets(y);
    const Figure current = structureCurrentRatio(y);
    const Figure ownFunds = ownFundsRatio(y);
    const Figure bad = unsatisfactory(current, ownFunds);
    const Figure currentBefore = structureCurrentRatio(y.previousYear());

    Figure restore = Figure::undefined(std::string(kSatisfactoryReason));
    Figure loss = Figure::undefined(std::string(kUnsatisfactoryReason));
    if (!bad.defined()) {
        restore = bad;
        loss = bad;
    } else if (*bad.value == 1) {
        restore = solvencyOutlook(current, currentBefore, 0.5L);
    } else {
        loss = solvencyOutlook(current, currentBefore, 0.25L);
    }

    const CreditClass credit = creditClass(y);
    const Figure margin = y.flow(2400) / y.flow(2110);
    const Figure turnover = y.flow(2110) / y.average(1600);
    const Figure multiplier = y.average(1600) / y.average(1300);
    return {
        {"net_assets", net},
        {"net_assets_less_charter", net - y.balance(1310)},
        {"ffo_current_ratio", current},
        {"ffo_own_funds_ratio", ownFunds},
        {"ffo_unsatisfactory", bad},
        {"ffo_restore", restore},
        {"ffo_loss", loss},
        {"sber_score", credit.score},
        {"sber_class", credit.creditClass},
        {"dupont_net_margin", margin},
        {"dupont_turnover", turnover},
        {"dupont_multiplier", multiplier},
        {"dupont_roe", margin * turnover * multiplier},
    };
}

} // namespace kalvanta::history
