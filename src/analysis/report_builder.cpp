#include "report_builder.h"

#include "sections.h"

namespace kalvanta {

namespace {

bool on(double flag) { return flag == 1.0; }

void writeHeader(ReportContext& ctx, const CivilDate& today)
{
    const ParametersGroup& par = ctx.input.AnalysisParameters;
    ctx.line(ctx.twoYear ? " Kalvanta  version 4.5   " : " Kalvanta  version 4.5  ");
    ctx.line("Дата " + formatDate(today, ctx.regional.shortDateFormat));
    ctx.blanks(2);
    if (ctx.twoYear) {
        ctx.line("          Результаты расчета  за 2 года");
    } else {
        // The view's default font: it applies to earlier reports as well.
        ctx.sink.setBaseFontHeight(14);
        ctx.line("       Результаты расчета ");
    }
    ctx.line(" Название предприятия - " + par.EnterpriseName);
    ctx.line(" Единица измерений формы №1 и №2 - " + par.UnitName);
    ctx.blank();
}

void writeReport(ReportContext& ctx, const CivilDate& today)
{
    const ParametersGroup& par = ctx.input.AnalysisParameters;
    writeHeader(ctx, today);
    writeStabilityType(ctx);
    writeRelativeStability(ctx);
    writeLiquidityGroups(ctx);
    writeLiquidityRatios(ctx);
    writeProfitability(ctx);
    writeSolvencyForecast(ctx);
    writeFinalRating(ctx);
    if (on(par.BusinessActivityOn))
        writeBusinessActivity(ctx);
    if (on(par.ExpertAssessmentOn))
        writeComplexAssessment(ctx);
    if (on(par.OperatingLeverageOn))
        writeOperatingLeverage(ctx);
    if (on(par.FinancialLeverageOn))
        writeFinancialLeverage(ctx);
    if (on(par.WorkingCapitalNeedsOn))
        writeWorkingCapitalNeeds(ctx);
}

} // namespace

bool writePendingReport(AnalysisInput& input, AnalysisResults& results, ReportSink& sink,
                        const RegionalSettings& regional, const CivilDate& today)
{
    ParametersGroup& par = input.AnalysisParameters;
    // The flag is cleared before the first line, so a report that an
    // arithmetic error ends is not written again on the next activation.
    if (on(par.AnalysisPending) && par.YearCount == 1.0) {
        par.AnalysisPending = 0.0;
        sink.setVerticalScrollBars();
        ReportContext ctx{input, results, sink, regional, false};
        writeReport(ctx, today);
        return true;
    }
    if (on(par.AnalysisPending) && par.YearCount == 2.0) {
        par.AnalysisPending = 0.0;
        sink.setVerticalScrollBars();
        ReportContext ctx{input, results, sink, regional, true};
        writeReport(ctx, today);
        return true;
    }
    return false;
}

} // namespace kalvanta
