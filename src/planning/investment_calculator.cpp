#include "investment_calculator.h"

#include <cmath>

#include "numeric/extended.h"
#include "numeric/number_format.h"
#include "numeric/number_parse.h"

namespace kalvanta {

namespace {

struct YearProfit {
    int year;
    double profit;
};

class Project {
public:
    Project(std::vector<YearProfit> profits, double investment)
        : profits_(std::move(profits)), investment_(investment)
    {
    }

    // Sum of profit / (1 + rate)^year over the years with a profit, each
    // partial sum stored; (1 + rate)^year is exp(ln(1 + rate) × year).
    double presentValue(double rate) const
    {
        const ext lnGrowth = ln(1.0L + rate);
        double sum = 0.0;
        for (const YearProfit& p : profits_)
            sum = store(divide(p.profit, exp(lnGrowth * p.year)) + sum);
        return sum;
    }

    double npv(double rate) const { return store(static_cast<ext>(presentValue(rate)) - investment_); }

    // The sign of the NPV at rates down to -99 %, where the stored
    // partial sums of a large profit could overflow a double although the
    // sign is plain: kept in extended precision and never raising.
    bool npvPositiveExtended(double rate) const
    {
        const ext lnGrowth = logl(1.0L + rate);
        ext sum = 0.0L;
        for (const YearProfit& p : profits_)
            sum = p.profit / expl(lnGrowth * p.year) + sum;
        return sum - investment_ > 0.0L;
    }

private:
    std::vector<YearProfit> profits_;
    double investment_;
};

} // namespace

InvestResult computeInvestment(InvestCalc& c, const InvestTexts& texts, const RegionalSettings& rs)
{
    // The texts are converted once: converting them again at every use
    // gives the same numbers, and the errors still come in the order the
    // computation meets them.
    std::vector<YearProfit> profits;
    c.ProfitSum = 0.0;
    c.ProfitCount = 0.0;
    for (int year = 1; year <= kInvestYears; ++year) {
        const std::string& text = texts.profits[static_cast<std::size_t>(year - 1)];
        if (text.empty())
            continue;
        const double profit = parseNumber(text, rs);
        profits.push_back({year, profit});
        c.ProfitSum = store(static_cast<ext>(c.ProfitSum) + profit);
        c.ProfitCount = store(static_cast<ext>(c.ProfitCount) + 1.0L);
    }
    c.ProfitSum = store(divide(c.ProfitSum, c.ProfitCount));

    const double investment = parseNumber(texts.investment, rs);
    c.InvestRoi = store(divide(c.ProfitSum, investment));

    c.InvestNpv = 0.0;
    c.DiscountRate = store(divide(parseNumber(texts.ratePercent, rs), 100.0L));

    const Project project(std::move(profits), investment);
    c.InvestNpv = project.presentValue(c.DiscountRate);

    c.DiscountedSum = c.InvestNpv;
    c.InvestNpv = store(static_cast<ext>(c.InvestNpv) - investment);
    c.InvestPi = store(divide(c.DiscountedSum, investment));
    c.DiscountedSum = c.InvestNpv;

    InvestResult result;
    // The IRR is a property of the cash flows: the NPV at 1 %, not at the
    // rate the user typed, tells whether it lies above 1 % or below.
    c.DiscountRate = store(0.01L);
    c.DiscountedSum = project.npv(c.DiscountRate);
    ++result.irrTrials;
    if (c.DiscountedSum > 0.0) {
        // Stops at the ceiling: a negative investment with positive
        // profits keeps the NPV positive at every rate.
        while (c.DiscountedSum > 0.0) {
            if (c.DiscountRate >= kIrrCeiling) {
                result.irr = IrrOutcome::AboveCeiling;
                break;
            }
            c.DiscountRate = store(0.01L + c.DiscountRate);
            c.DiscountedSum = project.npv(c.DiscountRate);
            ++result.irrTrials;
        }
        if (result.irr == IrrOutcome::Found)
            c.InvestIrr = store(divide((c.DiscountRate - 0.01L) + c.DiscountRate, 2.0L));
    } else {
        result.irr = IrrOutcome::BelowFloor;
        double above = c.DiscountRate;
        for (int step = 0; step >= -kIrrFloorSteps; --step) {
            const double rate = store(0.01L * step);
            ++result.irrTrials;
            if (project.npvPositiveExtended(rate)) {
                c.DiscountRate = above;
                c.InvestIrr = store(divide(static_cast<ext>(rate) + above, 2.0L));
                result.irr = IrrOutcome::Found;
                break;
            }
            above = rate;
        }
    }

    c.InvestRoi = trunc4(c.InvestRoi);
    c.InvestNpv = trunc4(c.InvestNpv);
    c.InvestPi = trunc4(c.InvestPi);
    if (result.irr == IrrOutcome::Found)
        c.InvestIrr = trunc4(c.InvestIrr);

    std::string irrLine = kIrrLabel;
    switch (result.irr) {
    case IrrOutcome::Found: irrLine += formatGeneral(static_cast<ext>(c.InvestIrr) * 100.0L, rs) + "%"; break;
    case IrrOutcome::AboveCeiling: irrLine += kIrrAboveCeilingText; break;
    case IrrOutcome::BelowFloor: irrLine += kIrrBelowFloorText; break;
    }

    result.lines = {
        "",
        "Коэффициент ROI =" + formatGeneral(c.InvestRoi, rs),
        "Чистый дисконтированный доход (NPV) =" + formatGeneral(c.InvestNpv, rs),
        "Индекс рентабельности (PI) =" + formatGeneral(c.InvestPi, rs),
        irrLine,
        "",
        "",
    };
    return result;
}

std::string lowerRateText(const std::string& text, const RegionalSettings& rs)
{
    return formatGeneral(static_cast<ext>(parseNumber(text, rs)) - 1.0L, rs);
}

} // namespace kalvanta
