// Sections 1 and 2: the three-component stability type and the relative
// stability ratios, per printed balance date.
#include <string_view>

#include "sections.h"

namespace kalvanta {

namespace {

struct StabilityClass {
    std::string_view type;
    std::string_view verdict;
};

// Type and verdict by the signs of the three surpluses; a surplus of exactly
// 0 counts as non-negative. A pattern outside the table (only possible with
// negative lines) gives empty texts rather than another analysis's verdict.
StabilityClass classify(double s1, double s2, double s3)
{
    const bool n1 = s1 < 0.0, n2 = s2 < 0.0, n3 = s3 < 0.0;
    if (!n1 && !n2 && !n3)
        return {"(1,1,1)", "абсолютная финансовая устойчивость"};
    if (n1 && !n2 && !n3)
        return {"(0,1,1)", "нормальная финансовая устойчивость"};
    if (n1 && n2 && !n3)
        return {"(0,0,1)", "неустойчивое финансовое состояние"};
    if (n1 && n2 && n3)
        return {"(0,0,0)", "кризисное финансовое состояние"};
    return {"", ""};
}

} // namespace

void writeStabilityType(ReportContext& ctx)
{
    AnalysisResults& r = ctx.results;
    for (std::size_t d = 0; d < ctx.dateCount(); ++d) {
        const BalanceSheet& b = ctx.sheetAt(d);
        r.OwnWorkingCapitalSurplus[d] =
            store(ext(b.EquityTotal) + b.DeferredIncome + b.FutureExpenseReserves - b.NonCurrentAssetsTotal -
                  b.LongTermReceivables - b.Inventories);
        r.LongTermSourcesSurplus[d] = store(ext(r.OwnWorkingCapitalSurplus[d]) + b.LongTermLiabilitiesTotal);
        r.TotalSourcesSurplus[d] = store(ext(r.LongTermSourcesSurplus[d]) + b.ShortTermLoans);
        const StabilityClass c =
            classify(r.OwnWorkingCapitalSurplus[d], r.LongTermSourcesSurplus[d], r.TotalSourcesSurplus[d]);
        r.StabilityType[d] = c.type;
        r.StabilityVerdict[d] = c.verdict;
    }

    ctx.line(" Трехкомпонентный показатель типа финансовой устойчивости");
    ctx.line(kLongRule);
    ctx.line(ctx.twoYear ? columnHeaderH3() : columnHeaderH1());
    ctx.line(kLongRule);
    ctx.blank();
    const std::string_view owcLabel = "Излишек (недостаток) собственных оборотных средств";
    const std::string_view ltsLabel =
        "Излишек (недостаток) собственных  и долгосрочных источников формирования запасов";
    const std::string_view tsLabel =
        "Излишек (недостаток) общей величины основных источников средств для формирования запасов";
    const std::string_view typeLabel = "Трехкомпонентный показатель";
    if (ctx.twoYear) {
        ctx.line(padTo(owcLabel, 119) + ctx.dateValues(r.OwnWorkingCapitalSurplus, "", " / "));
        ctx.line(padTo(ltsLabel, 93) + ctx.dateValues(r.LongTermSourcesSurplus, "", " / "));
        ctx.line(padTo(tsLabel, 88) + ctx.dateValues(r.TotalSourcesSurplus, "", "/"));
        ctx.line(padTo(typeLabel, 147) + r.StabilityType[date::Y1Start] + "/" + r.StabilityType[date::Y1End] +
                 "/" + r.StabilityType[date::Y2End]);
    } else {
        ctx.line(padTo(owcLabel, 124) + ctx.dateValues(r.OwnWorkingCapitalSurplus, "  ", ""));
        ctx.line(padTo(ltsLabel, 98) + ctx.dateValues(r.LongTermSourcesSurplus, "  ", ""));
        ctx.line(padTo(tsLabel, 89) + ctx.dateValues(r.TotalSourcesSurplus, "  ", ""));
        ctx.line(padTo(typeLabel, 153) + r.StabilityType[date::Y1Start] + "  " + r.StabilityType[date::Y1End]);
    }
    ctx.line("Вывод на начало года - " + r.StabilityVerdict[date::Y1Start]);
    ctx.line("Вывод на конец года -  " + r.StabilityVerdict[date::Y1End]);
    if (ctx.twoYear)
        ctx.line("Вывод на конец  2-го года -  " + r.StabilityVerdict[date::Y2End]);
    ctx.line(kShortRule);
    ctx.blanks(2);
}

void writeRelativeStability(ReportContext& ctx)
{
    AnalysisResults& r = ctx.results;
    for (std::size_t d = 0; d < ctx.dateCount(); ++d) {
        const BalanceSheet& b = ctx.sheetAt(d);
        double own = store(ext(b.EquityTotal) + b.DeferredIncome + b.FutureExpenseReserves);
        if (own == 0.0)
            own = 1.0; // the one guarded divisor
        r.OwnCapital[d] = own;
        r.AutonomyRatio[d] = trunc2(store(divide(own, b.AssetsTotal)));
        r.DebtToEquityRatio[d] = trunc2(store(divide(ext(b.LongTermLiabilitiesTotal) + b.ShortTermLiabilitiesTotal -
                                                         b.DeferredIncome - b.FutureExpenseReserves,
                                                     own)));
        r.ManeuverabilityRatio[d] =
            trunc2(store(divide(ext(own) - b.NonCurrentAssetsTotal - b.LongTermReceivables, own)));
        r.MobilityRatio[d] =
            trunc2(store(divide(ext(b.CurrentAssetsTotal) - b.LongTermReceivables, b.AssetsTotal)));
        r.InventoryCoverageRatio[d] = trunc2(store(divide(ext(own) - b.NonCurrentAssetsTotal - b.LongTermReceivables,
                                                          ext(b.Inventories) - b.GoodsShipped)));
        r.NonCurrentCoverageRatio[d] =
            trunc2(store(divide(ext(b.NonCurrentAssetsTotal) + b.LongTermReceivables, own)));
    }

    ctx.line(" Относительные показатели финансовой устойчивости");
    ctx.line(kLongRule);
    ctx.line(ctx.twoYear ? columnHeaderH4() : columnHeaderH1());
    ctx.line(kLongRule);
    ctx.blank();
    ctx.line(padTo("Коэффициент автономии (на начало и конец года)(норма>=0,5)", 121) +
             ctx.dateValues(r.AutonomyRatio, "   ", "/"));
    ctx.line(padTo(ctx.twoYear ? "Коэффициент соотношения заемных и собственных средств (норма 1-0,25)"
                               : "Коэффициент соотношения заемных и собственных средств (норма 1 - 0,25)",
                   107) +
             ctx.dateValues(r.DebtToEquityRatio, "     ", "/"));
    ctx.line(padTo("Коэффициент маневренности  (норма 0,5)", 135) +
             ctx.dateValues(r.ManeuverabilityRatio, "     ", " /"));
    ctx.line(padTo("Коэффициент мобильности всех средств", 135) + ctx.dateValues(r.MobilityRatio, "     ", "/"));
    ctx.line(padTo("Коэффициент обеспеченности запасов собственными оборотными средствами (норма >+0.6-0.8)", 91) +
             ctx.dateValues(r.InventoryCoverageRatio, "     ", "/"));
    ctx.line(padTo("Коэффициент обеспеченности внеоборотных активов собственными средствами", 105) +
             ctx.dateValues(r.NonCurrentCoverageRatio, "    ", "/"));
    ctx.line(kLongRule);
    ctx.blanks(ctx.twoYear ? 5 : 3);
}

} // namespace kalvanta
