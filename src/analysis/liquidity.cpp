// Sections 3 and 4: asset and liability groups by liquidity, and the three
// relative liquidity ratios, per printed balance date.
#include <string_view>

#include "sections.h"

namespace kalvanta {

void writeLiquidityGroups(ReportContext& ctx)
{
    AnalysisResults& r = ctx.results;
    for (std::size_t d = 0; d < ctx.dateCount(); ++d) {
        const BalanceSheet& b = ctx.sheetAt(d);
        r.A1[d] = store(ext(b.ShortTermInvestments) + b.Cash);
        r.A2[d] = store(ext(b.ShortTermReceivables) + b.InputVat + b.GoodsShipped + b.OtherCurrentAssets);
        r.A3[d] = store(ext(b.Inventories) - b.GoodsShipped + b.LongTermReceivables + b.LongTermInvestments);
        r.A4[d] = store(ext(b.NonCurrentAssetsTotal) - b.LongTermInvestments);
        r.P1[d] = store(ext(b.AccountsPayable) + b.DueToFounders + b.OtherShortTermLiabilities);
        r.P2[d] = b.ShortTermLoans;
        r.P3[d] = b.LongTermLiabilitiesTotal;
        r.P4[d] = store(ext(b.EquityTotal) + b.DeferredIncome + b.FutureExpenseReserves); // no zero guard here
    }

    ctx.line(" Оценка величины и динамики ликвидности имущества предприятия");
    ctx.line(kLongRule);
    ctx.line(ctx.twoYear ? columnHeaderH5() : columnHeaderH1());
    ctx.line(kLongRule);
    // The group letters are Cyrillic; "Cрочные" starts with a Latin C.
    ctx.line(padTo("Наиболее ликвидные активы (начало, конец года)(А1)", 123) +
             ctx.dateValues(r.A1, spaces(12), "  /"));
    ctx.line(padTo("Легко реализуемые активы  (А2)", 139) + ctx.dateValues(r.A2, spaces(10), "/"));
    ctx.line(padTo("Медленно реализуемые активы (А3)", 134) + ctx.dateValues(r.A3, spaces(8), " /"));
    ctx.line(padTo("Неликвидные активы     (А4)", 144) + ctx.dateValues(r.A4, spaces(10), "/"));
    ctx.line(padTo("Cрочные обязательства (П1)", 143) + ctx.dateValues(r.P1, spaces(9), "/"));
    ctx.line(padTo("Краткосрочные пассивы  (П2)", 142) + ctx.dateValues(r.P2, spaces(8), "/"));
    ctx.line(padTo("Долгосрорчные пассивы (П3)", 142) + ctx.dateValues(r.P3, spaces(8), "/"));
    ctx.line(padTo("Постоянные пассивы    (П4)", 143) + ctx.dateValues(r.P4, spaces(8), spaces(8)));
    ctx.blank();
    ctx.line("Баланс  считается абсолютно ликвидным, если имеют место соотношения: А1>=П1; А2>=П2; А3>=П3; А4=<П4 ");
    ctx.line("Выполнение последнего неравенства - минимальное условие финансовой устойчивости. ");
    ctx.line(kLongRule);
    ctx.blanks(2);
}

void writeLiquidityRatios(ReportContext& ctx)
{
    AnalysisResults& r = ctx.results;
    for (std::size_t d = 0; d < ctx.dateCount(); ++d) {
        const BalanceSheet& b = ctx.sheetAt(d);
        const double debt =
            store(ext(b.ShortTermLoans) + b.AccountsPayable + b.DueToFounders + b.OtherShortTermLiabilities);
        r.ShortTermDebt[d] = debt;
        // Goods shipped are added and taken away again, in the written order.
        r.CurrentRatio[d] = trunc2(store(divide(ext(b.ShortTermInvestments) + b.Cash + b.ShortTermReceivables +
                                                    b.InputVat + b.GoodsShipped + b.OtherCurrentAssets +
                                                    b.Inventories - b.GoodsShipped,
                                                debt)));
        r.QuickRatio[d] = trunc2(store(divide(ext(b.ShortTermInvestments) + b.Cash + b.ShortTermReceivables +
                                                  b.InputVat + b.GoodsShipped + b.OtherCurrentAssets,
                                              debt)));
        // Three decimals at the start date, two at the year ends.
        const double absolute = store(divide(ext(b.ShortTermInvestments) + b.Cash, debt));
        r.AbsoluteLiquidityRatio[d] = d == date::Y1Start ? trunc3(absolute) : trunc2(absolute);
    }

    ctx.line(" Относительные коэффициенты ликвидности");
    ctx.line(kLongRule);
    ctx.line(ctx.twoYear ? columnHeaderH2() : columnHeaderH1());
    ctx.line(kLongRule);
    ctx.line(padTo("Коэффициент текущей ликвидности (должен >=2) на начало и конец года", 103) +
             ctx.dateValues(r.CurrentRatio, spaces(9), "/"));
    ctx.line(padTo("Промежуточный коэффициент ликвидности (0,6-0,7)", 119) +
             ctx.dateValues(r.QuickRatio, spaces(9), "/"));
    ctx.line(padTo("Коэффициент абсолютной ликвидности (0,2-0,25)", 121) +
             ctx.dateValues(r.AbsoluteLiquidityRatio, spaces(9), "/"));
    ctx.line(kLongRule);
    ctx.blanks(2);
}

} // namespace kalvanta
