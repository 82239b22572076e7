#include "production_plan.h"

#include "numeric/extended.h"
#include "numeric/number_format.h"
#include "numeric/number_parse.h"

namespace kalvanta {

namespace {

double* fieldOfEdit(PlanRequest& r, int edit)
{
    switch (edit) {
    case 1: return &r.Price[ProductA];
    case 2: return &r.Price[ProductB];
    case 3: return &r.Price[ProductC];
    case 4: return &r.Quantity[ProductA];
    case 5: return &r.Quantity[ProductB];
    case 6: return &r.Quantity[ProductC];
    case 7: return &r.UnitVarCost[ProductA];
    case 8: return &r.UnitVarCost[ProductB];
    case 9: return &r.UnitVarCost[ProductC];
    case 10: return &r.FixedCosts;
    case 11: return &r.RequiredProfit;
    case 12: return &r.Share[ProductA];
    case 13: return &r.Share[ProductB];
    case 14: return &r.Share[ProductC];
    default: return nullptr;
    }
}

class PlanWriter {
public:
    PlanWriter(const PlanRequest& q, PlanResults& r, const RegionalSettings& rs, const PlanLineSink& sink)
        : q_(q), r_(r), rs_(rs), sink_(sink)
    {
    }

    void profitGoal(bool withC);
    void volumeGoal(bool withC);

private:
    std::string f(ext v) const { return formatGeneral(v, rs_); }
    void line(const std::string& text) const { sink_(text); }

    const PlanRequest& q_;
    PlanResults& r_;
    const RegionalSettings& rs_;
    const PlanLineSink& sink_;
};

void PlanWriter::profitGoal(bool withC)
{
    const int n = withC ? 3 : 2;

    // Revenue and variable costs are each summed in product order, as the
    // formulas write them, every product's amount stored first.
    for (int i = 0; i < n; ++i)
        r_.Revenue[i] = store(static_cast<ext>(q_.Price[i]) * q_.Quantity[i]);
    ext revenue = r_.Revenue[ProductA];
    for (int i = 1; i < n; ++i)
        revenue = revenue + r_.Revenue[i];
    r_.RevenueTotal = store(revenue);

    for (int i = 0; i < n; ++i)
        r_.VarCost[i] = store(static_cast<ext>(q_.UnitVarCost[i]) * q_.Quantity[i]);
    ext varCost = r_.VarCost[ProductA];
    for (int i = 1; i < n; ++i)
        varCost = varCost + r_.VarCost[i];
    r_.VarCostTotal = store(varCost);

    r_.SalesProfit = store(static_cast<ext>(r_.RevenueTotal) - r_.VarCostTotal - q_.FixedCosts);
    r_.GrossMargin = store(static_cast<ext>(r_.RevenueTotal) - r_.VarCostTotal);

    r_.MarginRatio = store(divide(r_.GrossMargin, r_.RevenueTotal));
    if (withC)
        r_.MarginRatio = trunc4(r_.MarginRatio);

    const bool leverageDefined = r_.SalesProfit != 0.0;
    if (leverageDefined)
        r_.LeverageEffect = store(divide(r_.GrossMargin, r_.SalesProfit));

    r_.CriticalMarginRatio = store(divide(q_.FixedCosts, r_.RevenueTotal));

    r_.BreakEvenRevenue = store(divide(q_.FixedCosts, r_.MarginRatio));
    if (!withC)
        r_.MarginRatio = trunc4(r_.MarginRatio);

    if (leverageDefined)
        r_.LeverageEffect = trunc2(r_.LeverageEffect);
    r_.BreakEvenRevenue = trunc2(r_.BreakEvenRevenue);

    for (int i = 0; i < n; ++i) {
        const ext share = divide(r_.Revenue[i], r_.RevenueTotal) * q_.FixedCosts;
        r_.UnitCount[i] = trunc0(store(divide(share, static_cast<ext>(q_.Price[i]) - q_.UnitVarCost[i])));
    }

    r_.SalesProfitability = store(divide(r_.SalesProfit, r_.RevenueTotal));
    r_.CriticalMarginRatio = trunc4(r_.CriticalMarginRatio);
    r_.SalesProfitability = trunc4(r_.SalesProfitability);

    const ext safety = divide(static_cast<ext>(r_.RevenueTotal) - r_.BreakEvenRevenue, r_.RevenueTotal) * 100.0L;
    r_.SafetyMargin = trunc2(store(safety));

    line("Kalvanta ");
    line(withC ? " " : "");
    line("Pacчет прибыли ");
    line(" ");
    line("Выручка от реализации (всего) " + f(r_.RevenueTotal));
    line("Суммарные переменные издержки " + f(r_.VarCostTotal));
    line("Постоянные издержки " + f(q_.FixedCosts));
    line("Прибыль от продаж   " + f(r_.SalesProfit));
    line("Рентабельность продаж  " + f(static_cast<ext>(r_.SalesProfitability) * 100.0L) + "%");
    if (!withC)
        line(" ");
    line("Валовая маржа " + f(r_.GrossMargin));
    line("Норма маржинального дохода " + f(r_.MarginRatio));
    line("Критическая норма маржинального дохода " + f(r_.CriticalMarginRatio));
    line("Сила воздействия операционного рычага " +
         (leverageDefined ? f(r_.LeverageEffect) : kLeverageUndefinedText));
    line("Порог рентабельности (минимальный объем продаж)" + f(r_.BreakEvenRevenue));
    line("Пороговое количество товара А " + f(r_.UnitCount[ProductA]));
    line("Пороговое количество товара В " + f(r_.UnitCount[ProductB]));
    if (withC)
        line("Пороговое количество товара С " + f(r_.UnitCount[ProductC]));
    line("Запас финансовой прочности " + f(r_.SafetyMargin) + "%");
}

void PlanWriter::volumeGoal(bool withC)
{
    const int n = withC ? 3 : 2;

    r_.BaseChosen = 0.0;
    int base = ProductA;
    for (int i = 0; i < n; ++i) {
        if (r_.BaseChosen != 0.0)
            break;
        bool smallest = true;
        for (int j = 0; j < n; ++j)
            if (j != i && !(q_.Share[i] <= q_.Share[j]))
                smallest = false;
        if (smallest) {
            base = i;
            r_.BaseChosen = 1.0;
        }
    }

    // The ratios are not named fields: rounding them to doubles would drop
    // a whole unit where a quantity comes out exact (49/22 × 88 = 196).
    ext k[3] = {1.0L, 1.0L, 1.0L};
    for (int j = 0; j < n; ++j)
        if (j != base)
            k[j] = divide(q_.Share[j], q_.Share[base]);

    ext revenue = q_.Price[base];
    ext varCost = q_.UnitVarCost[base];
    for (int j = 0; j < n; ++j)
        if (j != base)
            revenue = revenue + k[j] * q_.Price[j];
    for (int j = 0; j < n; ++j)
        if (j != base)
            varCost = varCost + k[j] * q_.UnitVarCost[j];
    r_.RevenueTotal = store(revenue);
    r_.VarCostTotal = store(varCost);

    if (!(withC && base == ProductA)) {
        line(" vr" + f(r_.RevenueTotal));
        line(" perem" + f(r_.VarCostTotal));
    }

    r_.UnitCount[base] = trunc0(store(divide(static_cast<ext>(q_.FixedCosts) + q_.RequiredProfit,
                                             static_cast<ext>(r_.RevenueTotal) - r_.VarCostTotal)));

    line("Kalvanta ");
    line(" ");

    for (int j = 0; j < n; ++j)
        if (j != base)
            r_.UnitCount[j] = trunc0(store(k[j] * r_.UnitCount[base]));

    line("Требуемая прибыль " + f(q_.RequiredProfit));
    line("Количество товара А " + f(r_.UnitCount[ProductA]));
    line("Количество товара В " + f(r_.UnitCount[ProductB]));
    if (withC)
        line("Количество товара С " + f(r_.UnitCount[ProductC]));
}

} // namespace

double planGoalFor(bool profitGoal, bool withProductC)
{
    if (profitGoal)
        return withProductC ? kGoalProfitWithC : kGoalProfitAB;
    return withProductC ? kGoalVolumeWithC : kGoalVolumeAB;
}

const std::vector<int>& planFieldOrder(double goal)
{
    static const std::vector<int> profitWithC = {1, 2, 3, 10, 7, 8, 9, 4, 5, 6};
    static const std::vector<int> profitAB = {1, 2, 10, 7, 8, 4, 5};
    static const std::vector<int> volumeWithC = {1, 2, 3, 10, 7, 8, 9, 11, 12, 13, 14};
    static const std::vector<int> volumeAB = {1, 2, 10, 7, 8, 11, 12, 13};
    static const std::vector<int> none;
    if (goal == kGoalProfitWithC)
        return profitWithC;
    if (goal == kGoalProfitAB)
        return profitAB;
    if (goal == kGoalVolumeWithC)
        return volumeWithC;
    if (goal == kGoalVolumeAB)
        return volumeAB;
    return none;
}

void requestPlan(PlanRequest& request, bool profitGoal, bool withProductC, const PlanEditTexts& texts,
                 const RegionalSettings& rs)
{
    request.PlanGoal = planGoalFor(profitGoal, withProductC);
    for (const int edit : planFieldOrder(request.PlanGoal))
        *fieldOfEdit(request, edit) = parseNumber(texts[static_cast<std::size_t>(edit)], rs);
    request.PlanRequested = 1.0;
}

bool takePendingPlan(PlanRequest& request)
{
    if (request.PlanRequested != 1.0)
        return false;
    request.PlanRequested = 0.0;
    return true;
}

void writePlan(const PlanRequest& request, PlanResults& results, const RegionalSettings& rs,
               const PlanLineSink& sink)
{
    PlanWriter writer(request, results, rs, sink);
    if (request.PlanGoal == kGoalProfitWithC)
        writer.profitGoal(true);
    else if (request.PlanGoal == kGoalProfitAB)
        writer.profitGoal(false);
    else if (request.PlanGoal == kGoalVolumeWithC)
        writer.volumeGoal(true);
    else if (request.PlanGoal == kGoalVolumeAB)
        writer.volumeGoal(false);
}

} // namespace kalvanta
