// Section 11: the effect of borrowed money on the return of each reported
// year; a year without credits is reported as such.
#include <array>
#include <string>

#include "sections.h"

namespace kalvanta {

namespace {

// Cell of a year without credits.
constexpr const char* kNoFigure = "—";

// Loans at the end of the year do not count.
bool hasCredits(const ReportContext& ctx, std::size_t y)
{
    const BalanceSheet& s = ctx.startOf(y);
    return !(s.LongTermLoans == 0.0 && s.ShortTermLoans == 0.0 && ctx.additional(y).CreditsReceived == 0.0);
}

// Loans less cash at the end of the year minus the same at its start.
double liquidCashFlow(const ReportContext& ctx, std::size_t y)
{
    const BalanceSheet& s = ctx.startOf(y);
    const BalanceSheet& e = ctx.endOf(y);
    return store((ext(e.LongTermLoans) + e.ShortTermLoans - e.Cash) - (ext(s.LongTermLoans) + s.ShortTermLoans - s.Cash));
}

void computeYear(ReportContext& ctx, std::size_t y)
{
    FinancialLeverageResults& r = ctx.results.FinancialLeverage;
    const BalanceSheet& s = ctx.startOf(y);
    const BalanceSheet& e = ctx.endOf(y);
    const AdditionalDataYear& a = ctx.additional(y);

    r.AverageInterestRate[y] =
        store(divide(a.InterestPaid, ext(s.LongTermLoans) + s.ShortTermLoans + a.CreditsReceived));
    r.LeverageShoulder[y] = store(divide(
        averageOf(ext(s.LongTermLoans) + s.ShortTermLoans + s.AccountsPayable + s.DueToFounders,
                  ext(e.LongTermLoans) + e.ShortTermLoans + e.AccountsPayable + e.DueToFounders),
        averageOf(ext(s.EquityTotal) + s.DeferredIncome + s.FutureExpenseReserves,
                  ext(e.EquityTotal) + e.DeferredIncome + e.FutureExpenseReserves)));
    // The differential takes the rate before it is truncated.
    r.LeverageDifferential[y] = store(ext(ctx.results.TotalProfitability[y]) - r.AverageInterestRate[y]);
    r.LiquidCashFlow[y] = liquidCashFlow(ctx, y);
    r.ReturnOnAssets[y] =
        trunc4(store(divide(ext(ctx.pl(y).NetProfit) + a.InterestPaid, averageOf(s.AssetsTotal, e.AssetsTotal))));
    r.AverageInterestRate[y] = trunc2(r.AverageInterestRate[y]);
    r.LeverageShoulder[y] = trunc2(r.LeverageShoulder[y]);
    r.LeverageDifferential[y] = trunc2(r.LeverageDifferential[y]);
    r.FinancialLeverageEffect[y] = trunc4(store((1.0L - divide(a.TaxRatePercent, 100.0L)) *
                                                r.LeverageDifferential[y] * r.LeverageShoulder[y]));
}

// The effect and, in brackets, the effect in percent.
std::string effectText(const ReportContext& ctx, double effect)
{
    return ctx.num(effect) + " ( " + ctx.num(ext(effect) * 100.0L) + "%)";
}

void writeOneYear(ReportContext& ctx)
{
    if (!hasCredits(ctx, year::Y1)) {
        ctx.blanks(2);
        ctx.line("      Финансовый рычаг ");
        ctx.line("Кредитов нет ");
        return;
    }
    computeYear(ctx, year::Y1);

    const FinancialLeverageResults& r = ctx.results.FinancialLeverage;
    ctx.blank();
    ctx.line("                Финансовый рычач ");
    ctx.line("Общая (экономическая) рентабельность  " + ctx.num(ctx.results.TotalProfitability[year::Y1]));
    ctx.line("Средняя ставка процентов по кредитам " + ctx.num(r.AverageInterestRate[year::Y1]));
    ctx.line("Плечо фин. рычага " + ctx.num(r.LeverageShoulder[year::Y1]));
    ctx.line("Дифференциал " + ctx.num(r.LeverageDifferential[year::Y1]));
    ctx.line("Эффект финансового рычага " + effectText(ctx, r.FinancialLeverageEffect[year::Y1]));
    ctx.line("Ликвидный денежный поток " + ctx.num(r.LiquidCashFlow[year::Y1]));
    ctx.line("Коэффициент отдачи на общие активы (ROA) " + ctx.num(r.ReturnOnAssets[year::Y1]));
    ctx.blanks(2);
}

void writeTwoYears(ReportContext& ctx)
{
    const bool credits1 = hasCredits(ctx, year::Y1);
    const bool credits2 = hasCredits(ctx, year::Y2);
    FinancialLeverageResults& r = ctx.results.FinancialLeverage;

    if (credits1) {
        computeYear(ctx, year::Y1);
    } else {
        ctx.blank();
        ctx.line("                Финансовый рычаг ");
        ctx.line("Кредитов  в 1-м году нет ");
    }
    if (credits2) {
        computeYear(ctx, year::Y2);
        r.LiquidCashFlow[year::Y1] = liquidCashFlow(ctx, year::Y1);
    } else {
        ctx.line("Кредитов во 2м году нет ");
    }
    if (!credits1 && !credits2)
        return;

    // A year without credits has no figures of its own in this report: its
    // cells show a dash (not a minus sign) rather than what an earlier report
    // left stored. Overall profitability and the year-1 cash flow are always
    // current.
    const bool has[2] = {credits1, credits2};
    const auto cell = [&](const std::array<double, 2>& v, std::size_t y) {
        return has[y] ? ctx.num(v[y]) : std::string(kNoFigure);
    };
    const auto cells = [&](const std::array<double, 2>& v, const char* sep) {
        return cell(v, year::Y1) + sep + cell(v, year::Y2);
    };
    const auto effect = [&](std::size_t y) {
        return has[y] ? effectText(ctx, r.FinancialLeverageEffect[y]) : std::string(kNoFigure);
    };

    ctx.blank();
    ctx.line("                Финансовый рычаг ");
    ctx.line("Общая (экономическая) рентабельность 1й год/2й год " + ctx.yearValues(ctx.results.TotalProfitability));
    ctx.line("Средняя ставка процентов по кредитам " + cells(r.AverageInterestRate, "/"));
    ctx.line("Плечо фин. рычага " + cells(r.LeverageShoulder, " /"));
    ctx.line("Дифференциал " + cells(r.LeverageDifferential, " /"));
    ctx.line("Эффект финансового рычага в 1й год " + effect(year::Y1));
    ctx.line("Эффект финансового рычага в 2й год " + effect(year::Y2));
    ctx.line("Ликвидный денежный поток " + ctx.num(r.LiquidCashFlow[year::Y1]) + "/" + cell(r.LiquidCashFlow, year::Y2));
    ctx.line("Коэффициент отдачи на общие активы (ROA) " + cells(r.ReturnOnAssets, "/"));
    ctx.blanks(2);
}

} // namespace

void writeFinancialLeverage(ReportContext& ctx)
{
    if (ctx.input.AnalysisParameters.FinancialLeverageOn != 1.0)
        return;
    if (ctx.twoYear)
        writeTwoYears(ctx);
    else
        writeOneYear(ctx);
}

} // namespace kalvanta
