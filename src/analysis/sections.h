#pragma once
// One function per report section, in report order. Each computes all its
// values into AnalysisResults before it writes its first line, so an
// arithmetic error inside a section leaves the report ending after the
// previous one.
// The sections read alike (a loop over dates or years, then the lines) because
// that is the shape of every section; what they compute and print differs.
#include "report_context.h"

namespace kalvanta {

void writeStabilityType(ReportContext& ctx);       // 1  three-component stability type
void writeRelativeStability(ReportContext& ctx);   // 2  relative stability indicators
void writeLiquidityGroups(ReportContext& ctx);     // 3  asset and liability groups
void writeLiquidityRatios(ReportContext& ctx);     // 4  relative liquidity ratios
void writeProfitability(ReportContext& ctx);       // 5
void writeSolvencyForecast(ReportContext& ctx);    // 6
void writeFinalRating(ReportContext& ctx);         // 7
void writeBusinessActivity(ReportContext& ctx);    // 8
void writeComplexAssessment(ReportContext& ctx);   // 9
void writeOperatingLeverage(ReportContext& ctx);   // 10
void writeFinancialLeverage(ReportContext& ctx);   // 11
void writeWorkingCapitalNeeds(ReportContext& ctx); // 12

} // namespace kalvanta
