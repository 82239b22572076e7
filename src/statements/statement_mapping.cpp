#include "statement_mapping.h"

#include "inputs/identities.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace kalvanta {

#define KV_BAL(field, rule, line, second) BalanceMapping{&BalanceSheet::field, LineRule::rule, line, second}
const std::array<BalanceMapping, 33> kBalanceMapping = {{
    KV_BAL(IntangibleAssets, Line, 1110, 0),
    KV_BAL(FixedAssets, Line, 1150, 0),
    KV_BAL(ConstructionInProgress, None, 0, 0), // inside 1150 or the notes
    KV_BAL(LongTermInvestments, Line, 1170, 0),
    KV_BAL(NonCurrentAssetsTotal, Line, 1100, 0),
    KV_BAL(Inventories, Line, 1210, 0),
    KV_BAL(GoodsShipped, None, 0, 0), // only in the notes
    KV_BAL(InputVat, Line, 1220, 0),
    KV_BAL(LongTermReceivables, None, 0, 0), // one receivables line today
    KV_BAL(ShortTermReceivables, Line, 1230, 0),
    KV_BAL(ShortTermInvestments, Line, 1240, 0),
    KV_BAL(Cash, Line, 1250, 0),
    KV_BAL(OtherCurrentAssets, Line, 1260, 0),
    KV_BAL(CurrentAssetsTotal, Line, 1200, 0),
    KV_BAL(AssetsTotal, Line, 1600, 0),
    KV_BAL(CharterCapital, Line, 1310, 0),
    KV_BAL(AdditionalCapital, Sum, 1340, 1350), // revaluation was part of old 420
    KV_BAL(ReserveCapital, Line, 1360, 0),
    KV_BAL(SocialFund, None, 0, 0),
    KV_BAL(TargetFinancing, None, 0, 0),
    KV_BAL(RetainedEarnings, PositivePart, 1370, 0),
    KV_BAL(UncoveredLoss, NegativeMagnitude, 1370, 0),
    KV_BAL(EquityTotal, Line, 1300, 0),
    KV_BAL(LongTermLoans, Line, 1410, 0),
    KV_BAL(LongTermLiabilitiesTotal, Line, 1400, 0),
    KV_BAL(ShortTermLoans, Line, 1510, 0),
    KV_BAL(AccountsPayable, Line, 1520, 0),
    KV_BAL(DueToFounders, None, 0, 0), // inside 1520
    KV_BAL(DeferredIncome, Line, 1530, 0),
    KV_BAL(FutureExpenseReserves, Line, 1540, 0),
    KV_BAL(OtherShortTermLiabilities, Line, 1550, 0),
    KV_BAL(ShortTermLiabilitiesTotal, Line, 1500, 0),
    KV_BAL(LiabilitiesTotal, Line, 1700, 0),
}};
#undef KV_BAL

#define KV_PL(field, rule, line) ProfitLossMapping{&ProfitLossYear::field, LineRule::rule, line}
const std::array<ProfitLossMapping, 14> kProfitLossMapping = {{
    KV_PL(Revenue, Line, 2110),
    KV_PL(CostOfSales, Magnitude, 2120),
    KV_PL(SellingExpenses, Magnitude, 2210),
    KV_PL(AdministrativeExpenses, Magnitude, 2220),
    KV_PL(SalesProfit, Line, 2200),
    KV_PL(InterestReceivable, Line, 2320),
    KV_PL(InterestPayable, Magnitude, 2330),
    KV_PL(ParticipationIncome, Line, 2310),
    KV_PL(OtherOperatingIncome, Line, 2340),    // all other income
    KV_PL(OtherOperatingExpenses, Magnitude, 2350), // all other expenses
    KV_PL(NonOperatingIncome, None, 0),
    KV_PL(NonOperatingExpenses, None, 0),
    KV_PL(ProfitBeforeTax, Line, 2300),
    KV_PL(NetProfit, Line, 2400),
}};
#undef KV_PL

const std::array<UnmappedLine, 10> kUnmappedBalanceLines = {{
    {1120, "Результаты исследований и разработок"},
    {1130, "Нематериальные поисковые активы"},
    {1140, "Материальные поисковые активы"},
    {1160, "Доходные вложения в материальные ценности"},
    {1180, "Отложенные налоговые активы"},
    {1190, "Прочие внеоборотные активы"},
    {1320, "Собственные акции, выкупленные у акционеров"},
    {1420, "Отложенные налоговые обязательства"},
    {1430, "Оценочные обязательства"},
    {1450, "Прочие обязательства"},
}};

double profitTaxRatePercent(int year)
{
    if (year >= 2025)
        return 25.0;
    if (year >= 2009)
        return 20.0;
    if (year >= 2002)
        return 24.0;
    return 35.0;
}

std::string unitNameForCode(int okeiCode, const std::string& sourceName)
{
    switch (okeiCode) {
    case 383:
        return "рублей";
    case 384:
        return "тыс. рублей";
    case 385:
        return "млн. рублей";
    default:
        throw InputError(sourceName + ": unit code " + std::to_string(okeiCode) +
                         " (OKEI) is not one of 383 roubles, 384 thousands, 385 millions of roubles");
    }
}

namespace {

bool isBalanceLine(int code) { return code >= 1100 && code <= 1799; }

// Which column of the file each date and year of the analysis takes.
struct Columns {
    int yearCount = 2;
    std::array<StatementColumn, 4> balance{}; // Y1Start, Y1End, Y2Start, Y2End
    std::array<StatementColumn, 2> years{};   // ProfitLoss[1], [2]
};

class Mapper {
public:
    explicit Mapper(const Statement& s) : s_(s) {}

    std::optional<double> cell(int code, StatementColumn col) const
    {
        const auto it = s_.lines.find(code);
        if (it == s_.lines.end())
            return std::nullopt;
        return it->second[static_cast<std::size_t>(col)];
    }
    double value(int code, StatementColumn col) const { return cell(code, col).value_or(0.0); }

    bool columnHasValues(StatementColumn col, bool nonZero) const
    {
        for (const auto& [code, cells] : s_.lines) {
            const auto& v = cells[static_cast<std::size_t>(col)];
            if (isBalanceLine(code) && v && (!nonZero || *v != 0.0))
                return true;
        }
        return false;
    }

    std::string columnName(StatementColumn col) const
    {
        if (s_.year <= 0)
            return col == kCurrent ? "the reporting date" : col == kPrevious ? "the previous year's end" : "the end of the year before";
        return "31.12." + std::to_string(s_.year - static_cast<int>(col));
    }

    double checked(double v, int line, StatementColumn col) const
    {
        if (!std::isfinite(v))
            throw InputError(s_.sourceName + ": line " + std::to_string(line) + " at " + columnName(col) +
                             ": the figure exceeds the range of numbers");
        return v;
    }

    double apply(LineRule rule, int line, int second, StatementColumn col) const
    {
        const double v = value(line, col);
        switch (rule) {
        case LineRule::None:
            return 0.0;
        case LineRule::Line:
            return v;
        case LineRule::Sum:
            return checked(v + value(second, col), line, col);
        case LineRule::Magnitude:
            return std::fabs(v);
        case LineRule::PositivePart:
            return v >= 0.0 ? v : 0.0;
        case LineRule::NegativeMagnitude:
            return v < 0.0 ? -v : 0.0;
        }
        return 0.0;
    }

    // Whether a line holds something other than 0 in any of the columns used.
    bool nonZeroIn(int code, const auto& columns) const
    {
        for (StatementColumn col : columns)
            if (value(code, col) != 0.0)
                return true;
        return false;
    }

private:
    const Statement& s_;
};

// The totals a simplified statement (KND 0710096) does not give, formed from
// its aggregated lines; expenses enter as magnitudes, as the mapping takes
// them.
struct Term {
    int line;
    bool subtracted; // its magnitude is subtracted
};

struct Derivation {
    int line;
    std::vector<Term> terms; // in the order the formula writes them
    const char* formula;
};

const std::vector<Derivation>& simplifiedDerivations()
{
    static const std::vector<Derivation> d = {
        {1100, {{1150, false}, {1170, false}}, "1100 = 1150 + 1170"},
        {1200, {{1210, false}, {1230, false}, {1250, false}}, "1200 = 1210 + 1230 + 1250"},
        // A non-profit organisation's simplified balance: target funds.
        {1300, {{1350, false}, {1360, false}}, "1300 = 1350 + 1360"},
        {1400, {{1410, false}, {1450, false}}, "1400 = 1410 + 1450"},
        {1500, {{1510, false}, {1520, false}, {1550, false}}, "1500 = 1510 + 1520 + 1550"},
        {2200, {{2110, false}, {2120, true}}, "2200 = 2110 − 2120"},
        {2300, {{2110, false}, {2120, true}, {2330, true}, {2340, false}, {2350, true}},
         "2300 = 2110 − 2120 − 2330 + 2340 − 2350"},
    };
    return d;
}

Statement withDerivedTotals(const Statement& original, std::vector<std::string>& notes)
{
    Statement s = original;
    for (const Derivation& d : simplifiedDerivations()) {
        if (s.lines.count(d.line))
            continue; // a total the file gives is taken as it stands
        std::array<std::optional<double>, 3> cells;
        bool any = false;
        const std::size_t columns = isBalanceLine(d.line) ? 3 : 2;
        for (std::size_t c = 0; c < columns; ++c) {
            long double sum = 0.0L;
            bool present = false;
            for (const Term& t : d.terms)
                if (const auto it = s.lines.find(t.line); it != s.lines.end() && it->second[c]) {
                    const double v = it->second[c].value();
                    sum = t.subtracted ? sum - std::fabs(v) : sum + v;
                    present = true;
                }
            if (!present)
                continue;
            const double stored = static_cast<double>(sum);
            if (!std::isfinite(stored))
                throw InputError(s.sourceName + ": line " + std::to_string(d.line) +
                                 " formed from the simplified statement's lines exceeds the range of numbers");
            cells[c] = stored;
            any = true;
        }
        if (!any)
            continue;
        s.lines[d.line] = cells;
        notes.push_back(std::string("Строки ") + std::to_string(d.line) +
                        " в упрощенной отчетности нет, она рассчитана: " + d.formula + ".");
    }
    return s;
}

std::string amountText(double v)
{
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

std::string yearsText(const Statement& s, int yearCount)
{
    if (s.year <= 0)
        return {};
    return std::to_string(s.year - yearCount) + "-" + std::to_string(s.year) + " гг.";
}

std::string enterpriseName(const Statement& s, int yearCount)
{
    std::string name = s.organisation;
    auto add = [&name](const std::string& part) {
        if (part.empty())
            return;
        if (!name.empty())
            name += ", ";
        name += part;
    };
    if (!s.taxNumber.empty())
        add("ИНН " + s.taxNumber);
    add(yearsText(s, yearCount));
    return name;
}

} // namespace

ImportedAnalysis mapStatement(const Statement& original)
{
    // Refused before anything is formed, so the wizard is never half-filled.
    if (!original.hasBalance)
        throw InputError(original.sourceName + ": the balance sheet is missing; the analysis needs it");
    if (!original.hasProfitLoss)
        throw InputError(original.sourceName +
                         ": the statement of financial results (profit and loss, form No. 2) is missing; the "
                         "analysis needs it (the balance alone serves only a company's history)");
    std::vector<std::string> derivedNotes;
    std::optional<Statement> derived;
    if (original.simplified)
        derived = withDerivedTotals(original, derivedNotes);
    const Statement& s = derived ? *derived : original;
    const Mapper m(s);
    if (!m.columnHasValues(kCurrent, false))
        throw InputError(s.sourceName + ": the balance sheet has no figures at " + m.columnName(kCurrent));
    if (!m.columnHasValues(kPrevious, false))
        throw InputError(s.sourceName + ": the balance sheet has no figures at " + m.columnName(kPrevious) +
                         " (an analysis needs the balance at the start and the end of a year)");

    Columns c;
    if (m.columnHasValues(kBeforePrevious, true)) {
        c.yearCount = 2;
        c.balance = {kBeforePrevious, kPrevious, kPrevious, kCurrent};
        c.years = {kPrevious, kCurrent};
    } else {
        c.yearCount = 1;
        c.balance = {kPrevious, kCurrent, kCurrent, kCurrent};
        c.years = {kCurrent, kCurrent};
    }
    const std::size_t dates = c.yearCount == 2 ? 4 : 2;
    const std::size_t yearsUsed = static_cast<std::size_t>(c.yearCount);
    const std::span<const StatementColumn> balanceCols(c.balance.data(), dates);
    const std::span<const StatementColumn> yearCols(c.years.data(), yearsUsed);

    ImportedAnalysis out;
    out.taxNumber = s.taxNumber;
    out.reportingYear = s.year;
    AnalysisInput& in = out.input;
    in = startupInput();

    BalanceSheet* sheets[4] = {&in.Y1Start, &in.Y1End, &in.Y2Start, &in.Y2End};
    for (std::size_t d = 0; d < dates; ++d)
        for (const BalanceMapping& f : kBalanceMapping)
            sheets[d]->*f.member = m.apply(f.rule, f.line, f.secondLine, c.balance[d]);
    if (s.simplified) {
        // The totals were formed here, not read: the record must still pass
        // the wizard's identities, so a balance whose lines do not add up is
        // refused rather than handed on.
        for (std::size_t d = 0; d < dates; ++d) {
            const BalanceSheet& b = *sheets[d];
            const std::string at = m.columnName(c.balance[d]);
            if (!assetIdentityHolds(b))
                throw InputError(s.sourceName + ": the simplified balance does not add up at " + at + ": 1100 + 1200 = " +
                                 amountText(static_cast<double>(static_cast<long double>(b.NonCurrentAssetsTotal) +
                                                                b.CurrentAssetsTotal)) +
                                 ", line 1600 is " + amountText(b.AssetsTotal));
            if (!liabilityIdentityHolds(b))
                throw InputError(s.sourceName + ": the simplified balance does not add up at " + at +
                                 ": 1300 + 1400 + 1500 = " +
                                 amountText(static_cast<double>(static_cast<long double>(b.EquityTotal) +
                                                                b.LongTermLiabilitiesTotal + b.ShortTermLiabilitiesTotal)) +
                                 ", line 1700 is " + amountText(b.LiabilitiesTotal));
            if (!balanceTotalsAgree(b))
                throw InputError(s.sourceName + ": the simplified balance does not add up at " + at + ": line 1600 is " +
                                 amountText(b.AssetsTotal) + ", line 1700 is " + amountText(b.LiabilitiesTotal));
        }
    }

    for (std::size_t y = 0; y < yearsUsed; ++y) {
        const int index = static_cast<int>(y) + 1;
        const StatementColumn col = c.years[y];
        for (const ProfitLossMapping& f : kProfitLossMapping)
            in.ProfitLoss[index].*f.member = m.apply(f.rule, f.line, 0, col);
        AdditionalDataYear& a = in.AdditionalData[index];
        a.CreditsReceived = std::fabs(m.value(kCreditsReceivedLine, col));
        a.InterestPaid = std::fabs(m.value(kInterestPaidLine, col));
        a.TaxRatePercent = s.year > 0 ? profitTaxRatePercent(s.year - static_cast<int>(col)) : 0.0;
    }
    deriveFinancialEconomicProfit(in);

    bool cashFlowFound = true;
    for (StatementColumn col : yearCols)
        cashFlowFound = cashFlowFound && m.cell(kCreditsReceivedLine, col) && m.cell(kInterestPaidLine, col);

    auto& p = in.AnalysisParameters;
    p.EnterpriseName = enterpriseName(s, c.yearCount);
    p.UnitName = unitNameForCode(s.unitCode, s.sourceName);
    p.YearCount = static_cast<double>(c.yearCount);
    p.ExpertAssessmentOn = 1.0;
    p.BusinessActivityOn = 1.0;
    p.FinancialLeverageOn = cashFlowFound ? 1.0 : 0.0;
    p.OperatingLeverageOn = 0.0; // statements hold no product data
    p.WorkingCapitalNeedsOn = 1.0;
    p.AnalysisPending = 0.0;
    in.ProductCount = 1.0;

    // Only what changed a figure of this file is worth a note.
    out.notes = derivedNotes;
    if (s.simplified) {
        if (m.nonZeroIn(1150, balanceCols))
            out.notes.push_back("Строка 1150 «Материальные внеоборотные активы» упрощенной отчетности перенесена "
                                "целиком в строку 120 «Основные средства», незавершенное строительство (130) "
                                "принято равным 0.");
        if (m.nonZeroIn(1170, balanceCols))
            out.notes.push_back("Строка 1170 «Нематериальные, финансовые и другие внеоборотные активы» упрощенной "
                                "отчетности перенесена целиком в строку 140 «Долгосрочные финансовые вложения», "
                                "нематериальные активы (110) приняты равными 0.");
        if (m.nonZeroIn(1230, balanceCols))
            out.notes.push_back("Строка 1230 «Финансовые и другие оборотные активы» упрощенной отчетности (с "
                                "дебиторской задолженностью) перенесена целиком в строку 240 «Краткосрочная "
                                "дебиторская задолженность», строки 230, 250 и 270 приняты равными 0.");
        if (original.lines.count(1300) && m.nonZeroIn(1300, balanceCols))
            out.notes.push_back("Строка 1300 «Капитал и резервы» упрощенной отчетности дана без разбивки по "
                                "статьям: строки 410–470 приняты равными 0, итог 490 равен строке 1300.");
        if (m.nonZeroIn(1350, balanceCols) || m.nonZeroIn(1360, balanceCols))
            out.notes.push_back("Строки 1350 «Целевые средства» и 1360 «Фонд недвижимого и особо ценного движимого "
                                "имущества и иные целевые фонды» перенесены в строки 420 «Добавочный капитал» и "
                                "430 «Резервный капитал».");
        if (m.nonZeroIn(2120, yearCols))
            out.notes.push_back("Строка 2120 «Расходы по обычной деятельности» упрощенной отчетности перенесена "
                                "целиком в строку 020 «Себестоимость проданных товаров», коммерческие и "
                                "управленческие расходы (030, 040) приняты равными 0.");
    } else if (m.nonZeroIn(1230, balanceCols)) {
        out.notes.push_back("Строка 1230 «Дебиторская задолженность» перенесена целиком в строку 240 "
                            "«Краткосрочная дебиторская задолженность», строка 230 «Долгосрочная "
                            "дебиторская задолженность» принята равной 0: новая форма не делит "
                            "задолженность по срокам.");
    }
    for (const auto& [code, cells] : s.lines) {
        (void)cells;
        if (!isBalanceLine(code) || code % 10 != 0 || code % 100 == 0 || !m.nonZeroIn(code, balanceCols))
            continue;
        bool mapped = false;
        for (const BalanceMapping& f : kBalanceMapping)
            mapped = mapped || (f.rule != LineRule::None && (f.line == code || f.secondLine == code));
        if (mapped)
            continue;
        std::string name;
        for (const UnmappedLine& u : kUnmappedBalanceLines)
            if (u.line == code)
                name = std::string(" «") + std::string(u.name) + "»";
        if (s.simplified && code == 1450)
            name = " «Другие долгосрочные обязательства»";
        out.notes.push_back("Строка " + std::to_string(code) + name +
                            " не имеет соответствия в старой форме и учтена только в итоге " +
                            std::to_string(code / 100 * 100) + ".");
    }
    if (m.nonZeroIn(2340, yearCols) || m.nonZeroIn(2350, yearCols))
        out.notes.push_back("Строки 2340 «Прочие доходы» и 2350 «Прочие расходы» перенесены целиком в "
                            "строки 090 «Прочие операционные доходы» и 100 «Прочие операционные расходы», "
                            "внереализационные доходы и расходы (120, 130) приняты равными 0: "
                            "финансово-экономическая прибыль равна прибыли до налогообложения (2300).");
    if (s.year <= 0)
        out.notes.push_back("Год отчета не указан: ставка налога на прибыль принята равной 0.");
    // What the reader chose or repaired in this file.
    out.notes.insert(out.notes.end(), s.readerNotes.begin(), s.readerNotes.end());
    return out;
}

} // namespace kalvanta
