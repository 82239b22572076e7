#pragma once
// The production plan: a break-even model of up to three products (A, B
// and an optional C) with one block of fixed costs. The plan dialog turns
// its edit texts into a PlanRequest; the results window turns a pending
// request into report lines.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "numeric/regional_settings.h"

namespace kalvanta {

// Goal codes, compared as doubles for exact equality.
inline constexpr double kGoalProfitWithC = 11.0;
inline constexpr double kGoalProfitAB = 12.0;
inline constexpr double kGoalVolumeWithC = 21.0;
inline constexpr double kGoalVolumeAB = 22.0;

// Array index of each product.
enum PlanProduct { ProductA = 0, ProductB = 1, ProductC = 2 };

struct PlanRequest {
    double PlanRequested = 0.0;
    double PlanGoal = 0.0;
    double Price[3] = {0.0, 0.0, 0.0};
    double Quantity[3] = {0.0, 0.0, 0.0};
    double FixedCosts = 0.0;
    double UnitVarCost[3] = {0.0, 0.0, 0.0};
    double RequiredProfit = 0.0;
    double Share[3] = {0.0, 0.0, 0.0};
};

// Kept for the whole run: a value a plan does not recompute keeps the
// value of the previous plan.
struct PlanResults {
    double Revenue[3] = {0.0, 0.0, 0.0};
    double RevenueTotal = 0.0;
    double VarCost[3] = {0.0, 0.0, 0.0};
    double VarCostTotal = 0.0;
    double SalesProfit = 0.0;
    double GrossMargin = 0.0;
    double MarginRatio = 0.0;
    double CriticalMarginRatio = 0.0;
    double LeverageEffect = 0.0;
    double BreakEvenRevenue = 0.0;
    double SalesProfitability = 0.0;
    double SafetyMargin = 0.0;
    double UnitCount[3] = {0.0, 0.0, 0.0};
    double BaseChosen = 0.0;
};

// Texts of the dialog's edits, indexed by the edit's number (Edit1 is
// [1], Edit14 is [14]; [0] is unused).
using PlanEditTexts = std::array<std::string, 15>;

// Receives each report line as soon as it is written.
using PlanLineSink = std::function<void(const std::string&)>;

// What the leverage line shows when the sales profit is exactly 0: the
// leverage is then undefined, and an earlier plan's figure would mislead.
inline const std::string kLeverageUndefinedText = "не определена (прибыль от продаж равна 0)";

double planGoalFor(bool profitGoal, bool withProductC);

// The edit numbers the goal reads, in the order they are converted.
const std::vector<int>& planFieldOrder(double goal);

// "Составить план": converts the fields of the goal in their order, each
// stored at once, so a ConversionError leaves the fields before it
// updated and the rest unchanged; on success the request is pending.
void requestPlan(PlanRequest& request, bool profitGoal, bool withProductC,
                 const PlanEditTexts& texts, const RegionalSettings& rs);

// Clears a pending request and tells whether there was one; the request is
// cleared before any computation, so a failing plan is not retried.
bool takePendingPlan(PlanRequest& request);

// Computes the plan of the request's goal and writes its report lines.
// Arithmetic errors raise FloatError; the profit goal computes everything
// before its first line, the volume goal may have written lines by then.
void writePlan(const PlanRequest& request, PlanResults& results, const RegionalSettings& rs,
               const PlanLineSink& sink);

} // namespace kalvanta
