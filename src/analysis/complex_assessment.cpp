// Section 9: verbal conclusions from the stability, liquidity and Z-score
// values already stored, taken at the report's last balance date and year.
#include "sections.h"

namespace kalvanta {

void writeComplexAssessment(ReportContext& ctx)
{
    if (ctx.input.AnalysisParameters.ExpertAssessmentOn != 1.0)
        return;

    const AnalysisResults& r = ctx.results;
    ComplexAssessmentResults& out = ctx.results.ComplexAssessment;
    const std::size_t last = ctx.twoYear ? date::Y2End : date::Y1End;
    const std::size_t lastYear = ctx.twoYear ? year::Y2 : year::Y1;

    ctx.line(" Комплексная оценка финансово-хозяйственной деятельности ");
    ctx.line(" Финансовая устойчивость.  ");
    ctx.line(" Трехкомпонентный показатель типа финансовой устойчивости равен " + r.StabilityType[last] + " - " +
             r.StabilityVerdict[last]);

    out.Autonomy = r.AutonomyRatio[last] >= 0.5 ? 1 : 2;
    if (out.Autonomy == 1)
        ctx.line(" Коэффициент автономии больше 0,5 - финансовая независимость предприятия ");
    else
        ctx.line(" Коэффициент автоноии менее 0,5 - зависимость предприятия от внешних источников финансирования ");

    out.Maneuverability = r.ManeuverabilityRatio[last] >= 0.5 ? 1 : 2;
    if (out.Maneuverability == 1)
        ctx.line(" Коэффициент маневренности показывает, что боьшая часть средств предприятия вложено в ликвидные "
                 "активы");
    else
        ctx.line(" Коэффициент маневренности показывает, что большинство средств вложено в неликвидные основные "
                 "средства");

    out.InventoryCoverage = r.InventoryCoverageRatio[last] > 0.6 ? 1 : 2;
    if (out.InventoryCoverage == 1)
        ctx.line("Собственных оборотных средств хватает для пополнения запасов. ");
    else
        ctx.line("Собственных оборотных средств  не хватает для пополнения запасов. ");

    ctx.line(" Ликвидность активов.  ");
    const bool minimalCondition = r.A4[last] <= r.P4[last];
    out.BalanceLiquidity =
        r.A1[last] >= r.P1[last] && r.A2[last] >= r.P2[last] && r.A3[last] >= r.P3[last] && minimalCondition ? 1
        : minimalCondition                                                                                   ? 2
                                                                                                              : 3;
    if (out.BalanceLiquidity == 1)
        ctx.line(" Баланс предприятия является абсолютно ликвидным ");
    else if (out.BalanceLiquidity == 2)
        ctx.line(" Баланс не является абсолютно ликвидным, но выполнено  минимальное условие финансовой "
                 "устойчивости ");
    else
        ctx.line(" Не выполнено даже минимальное условие финансовой устойчивости  ");

    out.Solvency = r.CurrentRatio[last] >= 2.0             ? 1
                   : r.QuickRatio[last] > 0.6              ? 2
                   : r.AbsoluteLiquidityRatio[last] >= 0.2 ? 3
                                                           : 4;
    if (out.Solvency == 1)
        ctx.line("Текущая платежеспособность предприятия в норме. ");
    else if (out.Solvency == 2)
        ctx.line("Платежеспособность на период одного оборота дебиторской задолженности в норме. ");
    else if (out.Solvency == 3)
        ctx.line("В ближайшее время предприятие может погасить " +
                 ctx.num(ext(r.AbsoluteLiquidityRatio[last]) * 100.0L) + "% краткосрочных обязательств");
    else
        ctx.line("Коэффициенты ликвидности: Предприятие неплатежеспособно ");

    ctx.line("Прогноз банкротства (Z-счет Альтмана): ");
    const double z = r.ZScore[lastYear];
    out.Bankruptcy = z > 2.9 ? 1 : z > 1.23 ? 2 : 3;
    if (out.Bankruptcy == 1)
        ctx.line("Предприятие работает стабильно и банкротство маловероятно.");
    else if (out.Bankruptcy == 2)
        ctx.line("Предприятие находится в зоне неопределенности.");
    else
        ctx.line("Предприятие является банкротом ");
    ctx.line("P.S. Z-счет не всегда правильно отражает состояние российских предприятий.");
}

} // namespace kalvanta
