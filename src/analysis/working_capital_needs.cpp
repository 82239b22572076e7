// Section 12: financial-operational needs (ФЭП), revenue per unit of them
// and the minimum cash level of each reported year.
#include "sections.h"

namespace kalvanta {

void writeWorkingCapitalNeeds(ReportContext& ctx)
{
    if (ctx.input.AnalysisParameters.WorkingCapitalNeedsOn != 1.0)
        return;

    WorkingCapitalNeedsResults& r = ctx.results.WorkingCapitalNeeds;
    for (std::size_t y = 0; y < ctx.yearCount(); ++y) {
        const BalanceSheet& s = ctx.startOf(y);
        const BalanceSheet& e = ctx.endOf(y);
        const ProfitLossYear& pl = ctx.pl(y);
        // Inventories and receivables less what suppliers and other
        // short-term creditors finance.
        r.WorkingCapitalNeeds[y] =
            store(averageOf(ext(s.Inventories) + s.LongTermReceivables + s.ShortTermReceivables,
                            ext(e.Inventories) + e.LongTermReceivables + e.ShortTermReceivables) -
                  averageOf(ext(s.AccountsPayable) + s.OtherShortTermLiabilities,
                            ext(e.AccountsPayable) + e.OtherShortTermLiabilities));
        r.RevenueToWorkingCapitalNeeds[y] = trunc2(store(divide(pl.Revenue, r.WorkingCapitalNeeds[y])));
        // Cost of sales over the number of turnovers of the average cash.
        r.MinimumCashLevel[y] =
            trunc2(store(divide(pl.CostOfSales, divide(pl.Revenue, averageOf(s.Cash, e.Cash)))));
    }

    ctx.blank();
    ctx.line("     Финансово-эксплуатационные потребности предприятия ");
    ctx.line(kLongRule);
    ctx.line(ctx.twoYear ? "  Показатель" + spaces(79) + "на 1й год/на 2й год " : columnHeaderH2());
    ctx.line(kLongRule);
    ctx.line("Финансово-эксплуатационные потребности предприятия (ФЭП) " + ctx.yearValues(r.WorkingCapitalNeeds));
    ctx.line("Выручка/ФЭП " + ctx.yearValues(r.RevenueToWorkingCapitalNeeds));
    ctx.line("Минимальный уровеннь денежных средств для осуществления текущей деятельности " +
             ctx.yearValues(r.MinimumCashLevel));
    ctx.blanks(2);
}

} // namespace kalvanta
