#include "credit_calculator.h"

#include <cmath>

#include "numeric/extended.h"
#include "numeric/number_format.h"
#include "numeric/number_parse.h"

namespace kalvanta {

namespace {

// Simple interest growth: i / 100 × (t / 365) + 1.
ext simpleFactor(const CreditCalc& c)
{
    return divide(c.AnnualRate, 100.0L) * divide(c.TermDays, 365.0L) + 1.0L;
}

// Compound growth over whole accrual periods only:
// (1 + i / 100 / n) raised to m = trunc(t / 365 × n).
ext compoundFactor(const CreditCalc& c)
{
    const ext periods = truncl(divide(c.TermDays, 365.0L) * c.AccrualsPerYear);
    const ext perPeriod = divide(divide(c.AnnualRate, 100.0L), c.AccrualsPerYear) + 1.0L;
    return exp(ln(perPeriod) * periods);
}

} // namespace

std::string computeCredit(CreditCalc& calc, bool finalSum, int kindIndex, const CreditEditTexts& texts,
                          const RegionalSettings& rs)
{
    const bool compound = kindIndex != 0;
    if (finalSum)
        calc.InitialSum = parseNumber(texts.Edit3, rs);
    else
        calc.FinalSum = parseNumber(texts.Edit4, rs);
    calc.AnnualRate = parseNumber(texts.Edit1, rs);
    calc.TermDays = parseNumber(texts.Edit2, rs);
    if (compound)
        calc.AccrualsPerYear = parseNumber(texts.Edit5, rs);

    const ext factor = compound ? compoundFactor(calc) : simpleFactor(calc);
    if (finalSum) {
        calc.FinalSum = trunc2(store(factor * calc.InitialSum));
        return kFinalSumLabel + formatGeneral(calc.FinalSum, rs);
    }
    calc.InitialSum = trunc2(store(divide(calc.FinalSum, factor)));
    return kInitialSumLabel + formatGeneral(calc.InitialSum, rs);
}

} // namespace kalvanta
