// Section 10: operating leverage, break-even revenue and quantities and the
// margin of financial safety of each reported year.
#include "sections.h"

namespace kalvanta {

namespace {

// Each value is truncated as soon as it is computed; later steps use the
// truncated value.
void computeYear(ReportContext& ctx, std::size_t y, bool oneProduct)
{
    OperatingLeverageResults& r = ctx.results.OperatingLeverage;
    const ProfitLossYear& pl = ctx.pl(y);
    const AdditionalDataYear& a = ctx.additional(y);

    const double variableCosts =
        oneProduct ? store(ext(a.QuantityA) * a.UnitVariableCostA)
                   : store(ext(a.QuantityA) * a.UnitVariableCostA + ext(a.QuantityB) * a.UnitVariableCostB);
    r.GrossMargin[y] = trunc2(store(ext(pl.Revenue) - variableCosts));
    r.LeverageEffect[y] = trunc2(store(divide(r.GrossMargin[y], pl.SalesProfit)));
    r.MarginRatio[y] = trunc2(store(divide(r.GrossMargin[y], pl.Revenue)));
    r.CriticalMarginRatio[y] = trunc2(store(divide(a.FixedCostsTotal, pl.Revenue)));
    r.BreakEvenRevenue[y] = trunc2(store(divide(a.FixedCostsTotal, r.MarginRatio[y])));
    r.SafetyMargin[y] = trunc2(store(divide(ext(pl.Revenue) - r.BreakEvenRevenue[y], pl.Revenue) * 100.0L));
    if (oneProduct) {
        r.BreakEvenQuantity[y] = trunc0(store(divide(r.BreakEvenRevenue[y], a.PriceA)));
    } else {
        // Fixed costs are shared in proportion to each product's revenue.
        r.BreakEvenQuantityA[y] =
            trunc0(store(divide(divide(ext(a.QuantityA) * a.PriceA, pl.Revenue) * a.FixedCostsTotal,
                                ext(a.PriceA) - a.UnitVariableCostA)));
        r.BreakEvenQuantityB[y] =
            trunc0(store(divide(divide(ext(a.QuantityB) * a.PriceB, pl.Revenue) * a.FixedCostsTotal,
                                ext(a.PriceB) - a.UnitVariableCostB)));
    }
}

// The one-year and two-year layouts pad these labels differently.
struct OperatingLeverageLabels {
    std::string grossMargin;
    std::string marginRatio;
    std::string breakEvenRevenue;
    std::string breakEvenQuantity;
    std::string breakEvenQuantityA;
    std::string breakEvenQuantityB;
};

const OperatingLeverageLabels kOneYearLabels{
    "Валовая маржа   ",
    "Норма маржинального дохода  ",
    "Порог рентабельности ",
    "Порговое количество товара  (шт)",
    "Пороговое количество товара А (шт)",
    "Пороговое количество товара В (шт)",
};

const OperatingLeverageLabels kTwoYearLabels{
    "Валовая маржа 1йгод/2й год       ",
    "Норма маржинального дохода   ",
    "Порог рентабельности   ",
    "Порговое количество товара (шт)",
    "Пороговое количество товара А (шт) ",
    "Пороговое количество товара В (шт) ",
};

} // namespace

void writeOperatingLeverage(ReportContext& ctx)
{
    if (ctx.input.AnalysisParameters.OperatingLeverageOn != 1.0)
        return;

    const bool oneProduct = ctx.input.ProductCount == 1.0;
    for (std::size_t y = 0; y < ctx.yearCount(); ++y)
        computeYear(ctx, y, oneProduct);

    const OperatingLeverageLabels& labels = ctx.twoYear ? kTwoYearLabels : kOneYearLabels;
    const OperatingLeverageResults& r = ctx.results.OperatingLeverage;
    ctx.blanks(ctx.twoYear ? 1 : 2);
    ctx.line("            Операционный рычаг ");
    ctx.blank();
    ctx.line(labels.grossMargin + ctx.yearValues(r.GrossMargin));
    ctx.line("Cила воздействия операционного рычага(СВОР)  " + ctx.yearValues(r.LeverageEffect));
    ctx.line(labels.marginRatio + ctx.yearValues(r.MarginRatio));
    ctx.line("Минимальная норма маржинального дохода  " + ctx.yearValues(r.CriticalMarginRatio));
    ctx.line(labels.breakEvenRevenue + ctx.yearValues(r.BreakEvenRevenue));
    if (oneProduct) {
        ctx.line(labels.breakEvenQuantity + ctx.yearValues(r.BreakEvenQuantity));
    } else {
        ctx.line(labels.breakEvenQuantityA + ctx.yearValues(r.BreakEvenQuantityA));
        ctx.line(labels.breakEvenQuantityB + ctx.yearValues(r.BreakEvenQuantityB));
    }
    ctx.line("Запас финансовой прочности " + ctx.yearValues(r.SafetyMargin));
}

} // namespace kalvanta
