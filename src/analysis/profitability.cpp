// Section 5: profit indicators and management efficiency indicators, per
// reported year.
#include "sections.h"

namespace kalvanta {

void writeProfitability(ReportContext& ctx)
{
    AnalysisResults& r = ctx.results;
    for (std::size_t y = 0; y < ctx.yearCount(); ++y) {
        const BalanceSheet& s = ctx.startOf(y);
        const BalanceSheet& e = ctx.endOf(y);
        const ProfitLossYear& p = ctx.pl(y);
        const ext profit = p.ProfitBeforeTax;
        r.TotalProfitability[y] = trunc2(store(divide(profit, averageOf(s.AssetsTotal, e.AssetsTotal))));
        r.NonCurrentAssetsProfitability[y] =
            trunc2(store(divide(profit, averageOf(s.NonCurrentAssetsTotal, e.NonCurrentAssetsTotal) +
                                            averageOf(s.LongTermReceivables, e.LongTermReceivables))));
        // Other short-term liabilities (660) belong to this sum.
        r.EquityProfitability[y] = trunc2(store(divide(
            profit, averageOf(ext(s.EquityTotal) + s.DeferredIncome + s.FutureExpenseReserves +
                                  s.OtherShortTermLiabilities,
                              ext(e.EquityTotal) + e.DeferredIncome + e.FutureExpenseReserves +
                                  e.OtherShortTermLiabilities))));
        r.CurrentAssetsProfitability[y] =
            trunc2(store(divide(profit, averageOf(ext(s.CurrentAssetsTotal) - s.LongTermReceivables,
                                                  ext(e.CurrentAssetsTotal) - e.LongTermReceivables))));
        r.ReturnOnSales[y] = trunc2(store(divide(profit, p.Revenue)));
        r.AllOperationsProfitability[y] =
            trunc2(store(divide(profit, ext(p.Revenue) + p.OtherOperatingIncome + p.NonOperatingIncome)));
        r.OtherOperationsProfitability[y] =
            trunc2(store(divide(ext(p.OtherOperatingIncome) - p.OtherOperatingExpenses + p.NonOperatingIncome -
                                    p.NonOperatingExpenses,
                                ext(p.OtherOperatingIncome) + p.NonOperatingIncome)));
        r.ProductProfitability[y] = trunc2(store(divide(p.SalesProfit, p.CostOfSales)));
    }

    ctx.line(ctx.twoYear ? " Анализ рентабельности  (за 1й год/ за 2й год)" : " Анализ рентабельности");
    ctx.line(kLongRule);
    ctx.line("  Показатели прибыльности      ");
    ctx.line(kLongRule);
    ctx.line(padTo("Общая рентабельность предприятия", 40) + ctx.yearValues(r.TotalProfitability));
    ctx.line(padTo("Рентабельность внеоборотных активов", 40) + ctx.yearValues(r.NonCurrentAssetsProfitability));
    ctx.line(padTo("Рентабельность собственного капитала  ", 38) + ctx.yearValues(r.EquityProfitability));
    // The Latin "n" is part of the label.
    ctx.line(padTo("Рентабельность nтекущих активов", 40) + ctx.yearValues(r.CurrentAssetsProfitability));
    ctx.line(kLongRule);
    ctx.line(ctx.twoYear ? "  Показатели эфффективностиуправления    " : "  Показатели эфффективностиуправления");
    ctx.line(kLongRule);
    ctx.line(padTo("Рентабельность продаж", 107) + ctx.yearValues(r.ReturnOnSales));
    ctx.line(padTo("Рентабельность всех операций", 107) + ctx.yearValues(r.AllOperationsProfitability));
    ctx.line(padTo("Рентабельность прочих операций", 107) + ctx.yearValues(r.OtherOperationsProfitability));
    ctx.line(padTo("Рентабельность реализованной продукции по затратам на ее производство  ", 71) +
             ctx.yearValues(r.ProductProfitability));
    ctx.line(kLongRule);
    ctx.blanks(2);
}

} // namespace kalvanta
