// Sections 6 and 7: the Altman Z score and the final rating, per reported year.
#include "sections.h"

namespace kalvanta {

void writeSolvencyForecast(ReportContext& ctx)
{
    AnalysisResults& r = ctx.results;
    for (std::size_t y = 0; y < ctx.yearCount(); ++y) {
        const BalanceSheet& s = ctx.startOf(y);
        const BalanceSheet& e = ctx.endOf(y);
        const ProfitLossYear& p = ctx.pl(y);
        const double assets = store(averageOf(s.AssetsTotal, e.AssetsTotal));
        r.AverageAssets[y] = assets;
        const double borrowed = store(averageOf(s.LongTermLiabilitiesTotal, e.LongTermLiabilitiesTotal) +
                                      averageOf(s.ShortTermLiabilitiesTotal, e.ShortTermLiabilitiesTotal) -
                                      averageOf(s.DeferredIncome, e.DeferredIncome) -
                                      averageOf(s.FutureExpenseReserves, e.FutureExpenseReserves));
        // This system's own coefficients: 3.1 and 0.995, not 3.107 and 0.998.
        // Terms in written order, so the first zero divisor is the one that raises.
        ext z = divide(0.717L * averageOf(s.CurrentAssetsTotal, e.CurrentAssetsTotal), assets);
        z += divide(0.847L * p.NetProfit, assets);
        z += divide(3.1L * p.SalesProfit, assets);
        z += divide(0.42L * averageOf(s.CharterCapital, e.CharterCapital), borrowed);
        z += divide(0.995L * p.Revenue, assets);
        r.ZScore[y] = trunc2(store(z));
    }

    ctx.line(" Прогноз платежеспособности ");
    ctx.line(kLongRule);
    ctx.line(columnHeaderH6());
    ctx.line(kLongRule);
    ctx.line("Z-счет Альтмана за период равен " + ctx.yearValues(r.ZScore));
    ctx.line("При Z>2,9 финансовая устойчивость в норме, при Z<1,23 предприятие фактически является банкротом.");
    ctx.line(kLongRule);
    ctx.blanks(2);
}

void writeFinalRating(ReportContext& ctx)
{
    AnalysisResults& r = ctx.results;
    for (std::size_t y = 0; y < ctx.yearCount(); ++y) {
        const BalanceSheet& e = ctx.endOf(y);
        const std::size_t end = ReportContext::endDateOf(y);
        // Own capital at the year end, without the zero guard of OwnCapital.
        r.NetProfitToEquity[y] =
            store(divide(ctx.pl(y).NetProfit, ext(e.EquityTotal) + e.DeferredIncome + e.FutureExpenseReserves));
        const double k = store(50.0L * r.NetProfitToEquity[y] + 20.0L * r.AbsoluteLiquidityRatio[end] +
                               30.0L * r.AutonomyRatio[end]);
        r.Rating[y] = trunc0(k);
    }

    ctx.line(" Итоговый рейтинг финансового состояния ");
    ctx.line(kLongRule);
    ctx.line(ctx.twoYear ? columnHeaderH8() : columnHeaderH7());
    ctx.line(kLongRule);
    ctx.line("Итоговый рейтинг   " + ctx.yearValues(r.Rating));
    // Group letters А, В, С are Cyrillic; D and every K are Latin.
    ctx.line("Группа А. K>90 Абсолютная финансовая стабильность.");
    ctx.line("Группа В. 40>K>90 ");
    ctx.line("Группа С. 20>K>40");
    ctx.line("Группа D. K<20   Максимальный риск.");
    ctx.line(kLongRule);
    ctx.blanks(3);
}

} // namespace kalvanta
