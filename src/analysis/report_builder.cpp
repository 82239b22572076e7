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
    int& reached = ctx.results.LastSectionStarted;
    reached = 0;
    writeHeader(ctx, today);
    const auto section = [&](int number, void (*write)(ReportContext&)) {
        reached = number;
        write(ctx);
    };
    section(1, writeStabilityType);
    section(2, writeRelativeStability);
    section(3, writeLiquidityGroups);
    section(4, writeLiquidityRatios);
    section(5, writeProfitability);
    section(6, writeSolvencyForecast);
    section(7, writeFinalRating);
    if (on(par.BusinessActivityOn))
        section(8, writeBusinessActivity);
    if (on(par.ExpertAssessmentOn))
        section(9, writeComplexAssessment);
    if (on(par.OperatingLeverageOn))
        section(10, writeOperatingLeverage);
    if (on(par.FinancialLeverageOn))
        section(11, writeFinancialLeverage);
    if (on(par.WorkingCapitalNeedsOn))
        section(12, writeWorkingCapitalNeeds);
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
