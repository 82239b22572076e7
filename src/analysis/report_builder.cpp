#include "report_builder.h"

#include <exception>

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

void writeReport(ReportContext& ctx, const CivilDate& today, ReportCoverage& run)
{
    const ParametersGroup& par = ctx.input.AnalysisParameters;
    using State = ReportCoverage::State;
    run = ReportCoverage{};
    run.twoYear = ctx.twoYear;
    int& reached = ctx.results.LastSectionStarted;
    reached = 0;
    writeHeader(ctx, today);
    const struct {
        void (*write)(ReportContext&);
        bool on;
    } sections[section::Count] = {
        {writeStabilityType, true},
        {writeRelativeStability, true},
        {writeLiquidityGroups, true},
        {writeLiquidityRatios, true},
        {writeProfitability, true},
        {writeSolvencyForecast, true},
        {writeFinalRating, true},
        {writeBusinessActivity, on(par.BusinessActivityOn)},
        {writeComplexAssessment, on(par.ExpertAssessmentOn)},
        {writeOperatingLeverage, on(par.OperatingLeverageOn)},
        {writeFinancialLeverage, on(par.FinancialLeverageOn)},
        {writeWorkingCapitalNeeds, on(par.WorkingCapitalNeedsOn)},
    };
    for (std::size_t i = 0; i < section::Count; ++i) {
        State& state = run.sections[i + 1];
        if (!sections[i].on) {
            state = State::SwitchedOff;
            continue;
        }
        try {
            reached = static_cast<int>(i) + 1;
            sections[i].write(ctx);
        } catch (const std::exception& e) {
            state = State::Failed;
            run.error = e.what();
            throw;
        }
        state = State::Written;
    }
}

} // namespace

bool writePendingReport(AnalysisInput& input, AnalysisResults& results, ReportSink& sink,
                        const RegionalSettings& regional, const CivilDate& today, ReportCoverage* run)
{
    ReportCoverage unused;
    ReportCoverage& record = run ? *run : unused;
    ParametersGroup& par = input.AnalysisParameters;
    // The flag is cleared before the first line, so a report that an
    // arithmetic error ends is not written again on the next activation.
    if (on(par.AnalysisPending) && par.YearCount == 1.0) {
        par.AnalysisPending = 0.0;
        sink.setVerticalScrollBars();
        ReportContext ctx{input, results, sink, regional, false};
        writeReport(ctx, today, record);
        return true;
    }
    if (on(par.AnalysisPending) && par.YearCount == 2.0) {
        par.AnalysisPending = 0.0;
        sink.setVerticalScrollBars();
        ReportContext ctx{input, results, sink, regional, true};
        writeReport(ctx, today, record);
        return true;
    }
    return false;
}

} // namespace kalvanta
