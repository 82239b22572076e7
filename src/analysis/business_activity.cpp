// Section 8: turnover ratios and turnover periods of each reported year.
#include "sections.h"

namespace kalvanta {

void writeBusinessActivity(ReportContext& ctx)
{
    if (ctx.input.AnalysisParameters.BusinessActivityOn != 1.0)
        return;

    AnalysisResults& r = ctx.results;
    for (std::size_t y = 0; y < ctx.yearCount(); ++y) {
        const BalanceSheet& s = ctx.startOf(y);
        const BalanceSheet& e = ctx.endOf(y);
        const ProfitLossYear& pl = ctx.pl(y);
        const ext assets = averageOf(s.AssetsTotal, e.AssetsTotal);
        const ext current = averageOf(ext(s.CurrentAssetsTotal) - s.LongTermReceivables,
                                      ext(e.CurrentAssetsTotal) - e.LongTermReceivables);
        const ext inventories = averageOf(s.Inventories, e.Inventories);

        const double assetTurnover = store(divide(pl.Revenue, assets));
        const double currentTurnover = store(divide(pl.Revenue, current));
        // Periods are measured against the cost of sales; a year has 360 days.
        const double currentDays = store(divide(current * 360.0L, pl.CostOfSales));
        const double inventoryDays = store(divide(inventories * 360.0L, pl.CostOfSales));

        r.AssetTurnover[y] = trunc2(assetTurnover);
        r.CurrentAssetTurnover[y] = trunc2(currentTurnover);
        r.CurrentAssetTurnoverDays[y] = trunc0(currentDays);
        r.InventoryTurnoverDays[y] = trunc0(inventoryDays);
    }

    ctx.line(" Показатели деловой активности");
    ctx.line(kLongRule);
    ctx.line(columnHeaderH2());
    ctx.line(kLongRule);
    ctx.line("Коэффициент оборачиваемости активов " + ctx.yearValues(r.AssetTurnover));
    ctx.line("Коэффициент оборачиваемости оборотных средств " + ctx.yearValues(r.CurrentAssetTurnover));
    ctx.line("Средний срок оборота оборотных средств по себестоимости от реализации " +
             ctx.yearValues(r.CurrentAssetTurnoverDays));
    ctx.line("Средний срок оборота запасов " + ctx.yearValues(r.InventoryTurnoverDays));
    ctx.blanks(3);
}

} // namespace kalvanta
