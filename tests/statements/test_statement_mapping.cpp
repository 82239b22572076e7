// The line mapping: which line becomes which field for which date, the
// one-year case, the switches, the texts and the notes.
#include <gtest/gtest.h>

#include <limits>

#include "statement_test_util.h"
#include "inputs/identities.h"
#include "statements/statement_mapping.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

// A two-year report for 2024 with every mapped line holding its own code
// plus a column offset, so a value tells where it came from.
Statement everyLine()
{
    Statement s;
    s.sourceName = "every.xml";
    s.organisation = "ООО \"Ромашка\"";
    s.taxNumber = "7701234560";
    s.year = 2024;
    s.unitCode = 384;
    for (int code : {1110, 1150, 1170, 1100, 1210, 1220, 1230, 1240, 1250, 1260, 1200, 1600, 1310, 1340, 1350,
                     1360, 1370, 1300, 1410, 1400, 1510, 1520, 1530, 1540, 1550, 1500, 1700})
        setLine(s, code, code + 0.25, code + 0.5, code + 0.75);
    for (int code : {2110, 2120, 2210, 2220, 2200, 2310, 2320, 2330, 2340, 2350, 2300, 2400})
        setLine(s, code, code + 0.25, code + 0.5);
    return s;
}

// The simplified sample's figures (examples/statements/NO_BOUPR_small-business-2023.xml).
Statement simplifiedStatement()
{
    Statement s;
    s.sourceName = "boupr.xml";
    s.organisation = "ООО \"Пекарня у дома\"";
    s.taxNumber = "7704567893";
    s.year = 2023;
    s.simplified = true;
    setLine(s, 1600, 1700, 1500, 1250);
    setLine(s, 1150, 800, 700, 600);
    setLine(s, 1170, 50, 40, 0);
    setLine(s, 1210, 400, 350, 300);
    setLine(s, 1230, 300, 280, 250);
    setLine(s, 1250, 150, 130, 100);
    setLine(s, 1700, 1700, 1500, 1250);
    setLine(s, 1300, 900, 780, 650);
    setLine(s, 1410, 200, 220, 0);
    setLine(s, 1450, 20, 0, 0);
    setLine(s, 1510, 100, 80, 150);
    setLine(s, 1520, 440, 380, 420);
    setLine(s, 1550, 40, 40, 30);
    setLine(s, 2110, 3000, 2700);
    setLine(s, 2120, 2750, -2500); // an expense with either sign
    setLine(s, 2330, 20, 15);
    setLine(s, 2340, 10, 12);
    setLine(s, 2350, 40, 37);
    setLine(s, 2410, 80, 30);
    setLine(s, 2400, 120, 130);
    return s;
}

struct FieldCase {
    const char* field;
    double BalanceSheet::*member;
    double y1Start, y1End, y2End;
};

TEST(StatementMapping, BalanceLinesGoToTheirFieldsAtTheThreeDates)
{
    const AnalysisInput in = mapStatement(everyLine()).input;
    const FieldCase cases[] = {
        {"IntangibleAssets", &BalanceSheet::IntangibleAssets, 1110.75, 1110.5, 1110.25},
        {"FixedAssets", &BalanceSheet::FixedAssets, 1150.75, 1150.5, 1150.25},
        {"ConstructionInProgress", &BalanceSheet::ConstructionInProgress, 0, 0, 0},
        {"LongTermInvestments", &BalanceSheet::LongTermInvestments, 1170.75, 1170.5, 1170.25},
        {"NonCurrentAssetsTotal", &BalanceSheet::NonCurrentAssetsTotal, 1100.75, 1100.5, 1100.25},
        {"Inventories", &BalanceSheet::Inventories, 1210.75, 1210.5, 1210.25},
        {"GoodsShipped", &BalanceSheet::GoodsShipped, 0, 0, 0},
        {"InputVat", &BalanceSheet::InputVat, 1220.75, 1220.5, 1220.25},
        {"LongTermReceivables", &BalanceSheet::LongTermReceivables, 0, 0, 0},
        {"ShortTermReceivables", &BalanceSheet::ShortTermReceivables, 1230.75, 1230.5, 1230.25},
        {"ShortTermInvestments", &BalanceSheet::ShortTermInvestments, 1240.75, 1240.5, 1240.25},
        {"Cash", &BalanceSheet::Cash, 1250.75, 1250.5, 1250.25},
        {"OtherCurrentAssets", &BalanceSheet::OtherCurrentAssets, 1260.75, 1260.5, 1260.25},
        {"CurrentAssetsTotal", &BalanceSheet::CurrentAssetsTotal, 1200.75, 1200.5, 1200.25},
        {"AssetsTotal", &BalanceSheet::AssetsTotal, 1600.75, 1600.5, 1600.25},
        {"CharterCapital", &BalanceSheet::CharterCapital, 1310.75, 1310.5, 1310.25},
        {"AdditionalCapital", &BalanceSheet::AdditionalCapital, 2691.5, 2691.0, 2690.5},
        {"ReserveCapital", &BalanceSheet::ReserveCapital, 1360.75, 1360.5, 1360.25},
        {"SocialFund", &BalanceSheet::SocialFund, 0, 0, 0},
        {"TargetFinancing", &BalanceSheet::TargetFinancing, 0, 0, 0},
        {"RetainedEarnings", &BalanceSheet::RetainedEarnings, 1370.75, 1370.5, 1370.25},
        {"UncoveredLoss", &BalanceSheet::UncoveredLoss, 0, 0, 0},
        {"EquityTotal", &BalanceSheet::EquityTotal, 1300.75, 1300.5, 1300.25},
        {"LongTermLoans", &BalanceSheet::LongTermLoans, 1410.75, 1410.5, 1410.25},
        {"LongTermLiabilitiesTotal", &BalanceSheet::LongTermLiabilitiesTotal, 1400.75, 1400.5, 1400.25},
        {"ShortTermLoans", &BalanceSheet::ShortTermLoans, 1510.75, 1510.5, 1510.25},
        {"AccountsPayable", &BalanceSheet::AccountsPayable, 1520.75, 1520.5, 1520.25},
        {"DueToFounders", &BalanceSheet::DueToFounders, 0, 0, 0},
        {"DeferredIncome", &BalanceSheet::DeferredIncome, 1530.75, 1530.5, 1530.25},
        {"FutureExpenseReserves", &BalanceSheet::FutureExpenseReserves, 1540.75, 1540.5, 1540.25},
        {"OtherShortTermLiabilities", &BalanceSheet::OtherShortTermLiabilities, 1550.75, 1550.5, 1550.25},
        {"ShortTermLiabilitiesTotal", &BalanceSheet::ShortTermLiabilitiesTotal, 1500.75, 1500.5, 1500.25},
        {"LiabilitiesTotal", &BalanceSheet::LiabilitiesTotal, 1700.75, 1700.5, 1700.25},
    };
    ASSERT_EQ(std::size(cases), kBalanceMapping.size());
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(in.Y1Start.*c.member, c.y1Start);
        EXPECT_EQ(in.Y1End.*c.member, c.y1End);
        EXPECT_EQ(in.Y2Start.*c.member, c.y1End);
        EXPECT_EQ(in.Y2End.*c.member, c.y2End);
    }
}

TEST(StatementMapping, ProfitLossYearsAreThePreviousAndTheCurrentYear)
{
    Statement s = everyLine();
    // Expenses come with either sign; profits keep theirs.
    setLine(s, 2120, -2120.25, 2120.5);
    setLine(s, 2330, 2330.25, -2330.5);
    setLine(s, 2300, -2300.25, 2300.5);
    const AnalysisInput in = mapStatement(s).input;
    const auto& y1 = in.ProfitLoss[1];
    const auto& y2 = in.ProfitLoss[2];
    const double y1Values[] = {y1.Revenue, y1.CostOfSales, y1.SellingExpenses, y1.AdministrativeExpenses,
                               y1.SalesProfit, y1.InterestReceivable, y1.InterestPayable, y1.ParticipationIncome,
                               y1.OtherOperatingIncome, y1.OtherOperatingExpenses, y1.NonOperatingIncome,
                               y1.NonOperatingExpenses, y1.ProfitBeforeTax, y1.NetProfit, y1.FinancialEconomicProfit};
    const double y1Expected[] = {2110.5, 2120.5, 2210.5, 2220.5, 2200.5, 2320.5, 2330.5, 2310.5,
                                 2340.5, 2350.5, 0, 0, 2300.5, 2400.5, 2300.5};
    const double y2Values[] = {y2.Revenue, y2.CostOfSales, y2.SellingExpenses, y2.AdministrativeExpenses,
                               y2.SalesProfit, y2.InterestReceivable, y2.InterestPayable, y2.ParticipationIncome,
                               y2.OtherOperatingIncome, y2.OtherOperatingExpenses, y2.NonOperatingIncome,
                               y2.NonOperatingExpenses, y2.ProfitBeforeTax, y2.NetProfit, y2.FinancialEconomicProfit};
    const double y2Expected[] = {2110.25, 2120.25, 2210.25, 2220.25, 2200.25, 2320.25, 2330.25, 2310.25,
                                 2340.25, 2350.25, 0, 0, -2300.25, 2400.25, -2300.25};
    for (std::size_t i = 0; i < std::size(y1Values); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(y1Values[i], y1Expected[i]);
        EXPECT_EQ(y2Values[i], y2Expected[i]);
    }
}

TEST(StatementMapping, NegativeRetainedEarningsBecomeUncoveredLoss)
{
    Statement s = everyLine();
    setLine(s, 1370, -500, 0, 300);
    const AnalysisInput in = mapStatement(s).input;
    EXPECT_EQ(in.Y2End.RetainedEarnings, 0.0);
    EXPECT_EQ(in.Y2End.UncoveredLoss, 500.0);
    EXPECT_EQ(in.Y1End.RetainedEarnings, 0.0);
    EXPECT_EQ(in.Y1End.UncoveredLoss, 0.0);
    EXPECT_EQ(in.Y1Start.RetainedEarnings, 300.0);
    EXPECT_EQ(in.Y1Start.UncoveredLoss, 0.0);
}

TEST(StatementMapping, ParametersOfATwoYearReport)
{
    Statement s = everyLine();
    setLine(s, kCreditsReceivedLine, 5000, 10000);
    setLine(s, kInterestPaidLine, -1500, 3000);
    const AnalysisInput in = mapStatement(s).input;
    const auto& p = in.AnalysisParameters;
    EXPECT_EQ(p.EnterpriseName, "ООО \"Ромашка\", ИНН 7701234560, 2022-2024 гг.");
    EXPECT_EQ(p.UnitName, "тыс. рублей");
    EXPECT_EQ(p.YearCount, 2.0);
    EXPECT_EQ(p.ExpertAssessmentOn, 1.0);
    EXPECT_EQ(p.BusinessActivityOn, 1.0);
    EXPECT_EQ(p.FinancialLeverageOn, 1.0);
    EXPECT_EQ(p.OperatingLeverageOn, 0.0);
    EXPECT_EQ(p.WorkingCapitalNeedsOn, 1.0);
    EXPECT_EQ(p.AnalysisPending, 0.0);
    EXPECT_EQ(in.AdditionalData[1].CreditsReceived, 10000.0);
    EXPECT_EQ(in.AdditionalData[2].CreditsReceived, 5000.0);
    EXPECT_EQ(in.AdditionalData[1].InterestPaid, 3000.0);
    EXPECT_EQ(in.AdditionalData[2].InterestPaid, 1500.0);
    EXPECT_EQ(in.AdditionalData[1].TaxRatePercent, 20.0);
    EXPECT_EQ(in.AdditionalData[2].TaxRatePercent, 20.0);
    EXPECT_EQ(in.AdditionalData[2].PriceA, 0.0);
}

TEST(StatementMapping, FinancialLeverageNeedsBothCashFlowLinesInEveryYear)
{
    struct Case {
        const char* what;
        std::optional<double> creditsCurrent, creditsPrevious, interestCurrent, interestPrevious;
        double expected;
    };
    const Case cases[] = {
        {"both lines, both years", 0, 0, 0, 0, 1.0},
        {"no interest line", 100, 100, std::nullopt, std::nullopt, 0.0},
        {"credits of the previous year empty", 100, std::nullopt, 5, 5, 0.0},
        {"interest of the current year empty", 100, 100, std::nullopt, 5, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Statement s = everyLine();
        setLine(s, kCreditsReceivedLine, c.creditsCurrent, c.creditsPrevious);
        setLine(s, kInterestPaidLine, c.interestCurrent, c.interestPrevious);
        EXPECT_EQ(mapStatement(s).input.AnalysisParameters.FinancialLeverageOn, c.expected);
    }
    EXPECT_EQ(mapStatement(everyLine()).input.AnalysisParameters.FinancialLeverageOn, 0.0);
}

TEST(StatementMapping, EmptyOrZeroOldestColumnGivesOneYear)
{
    for (const bool zeros : {false, true}) {
        SCOPED_TRACE(zeros ? "zeros at 31.12.2022" : "nothing at 31.12.2022");
        Statement s = everyLine();
        for (auto& [code, cells] : s.lines)
            if (code < 2000)
                cells[kBeforePrevious] = zeros ? std::optional<double>(0.0) : std::nullopt;
        setLine(s, kCreditsReceivedLine, 7, std::nullopt);
        setLine(s, kInterestPaidLine, 8, std::nullopt);
        const AnalysisInput in = mapStatement(s).input;
        EXPECT_EQ(in.AnalysisParameters.YearCount, 1.0);
        EXPECT_EQ(in.AnalysisParameters.EnterpriseName, "ООО \"Ромашка\", ИНН 7701234560, 2023-2024 гг.");
        EXPECT_EQ(in.Y1Start.Cash, 1250.5);
        EXPECT_EQ(in.Y1End.Cash, 1250.25);
        EXPECT_EQ(in.Y2Start.Cash, 0.0);
        EXPECT_EQ(in.Y2End.Cash, 0.0);
        EXPECT_EQ(in.ProfitLoss[1].Revenue, 2110.25);
        EXPECT_EQ(in.ProfitLoss[2].Revenue, 0.0);
        EXPECT_EQ(in.AdditionalData[1].CreditsReceived, 7.0);
        EXPECT_EQ(in.AdditionalData[1].TaxRatePercent, 20.0);
        EXPECT_EQ(in.AdditionalData[2].TaxRatePercent, 0.0);
        // The current year's cash flow suffices for one year.
        EXPECT_EQ(in.AnalysisParameters.FinancialLeverageOn, 1.0);
    }
}

TEST(StatementMapping, TaxRateByYear)
{
    const std::pair<int, double> cases[] = {{2001, 35}, {2002, 24}, {2008, 24}, {2009, 20},
                                            {2023, 20}, {2024, 20}, {2025, 25}, {2030, 25}};
    for (const auto& [year, rate] : cases)
        EXPECT_EQ(profitTaxRatePercent(year), rate) << year;
    Statement s = everyLine();
    s.year = 2025;
    const AnalysisInput in = mapStatement(s).input;
    EXPECT_EQ(in.AdditionalData[1].TaxRatePercent, 20.0);
    EXPECT_EQ(in.AdditionalData[2].TaxRatePercent, 25.0);
}

TEST(StatementMapping, UnitAndNameTexts)
{
    const std::pair<int, const char*> units[] = {{383, "рублей"}, {384, "тыс. рублей"}, {385, "млн. рублей"}};
    for (const auto& [code, text] : units) {
        Statement s = everyLine();
        s.unitCode = code;
        EXPECT_EQ(mapStatement(s).input.AnalysisParameters.UnitName, text);
    }
    Statement s = everyLine();
    s.unitCode = 386;
    try {
        (void)mapStatement(s);
        FAIL() << "unit 386 accepted";
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "every.xml: unit code 386 (OKEI) is not one of 383 roubles, 384 thousands, "
                               "385 millions of roubles");
    }

    s = everyLine();
    s.taxNumber.clear();
    EXPECT_EQ(mapStatement(s).input.AnalysisParameters.EnterpriseName, "ООО \"Ромашка\", 2022-2024 гг.");
    s.organisation.clear();
    s.taxNumber = "7701234560";
    EXPECT_EQ(mapStatement(s).input.AnalysisParameters.EnterpriseName, "ИНН 7701234560, 2022-2024 гг.");
}

TEST(StatementMapping, NotesOnlyForAssumptionsThatChangedAFigure)
{
    const std::string receivables =
        "Строка 1230 «Дебиторская задолженность» перенесена целиком в строку 240 «Краткосрочная "
        "дебиторская задолженность», строка 230 «Долгосрочная дебиторская задолженность» принята равной 0: "
        "новая форма не делит задолженность по срокам.";
    const std::string other =
        "Строки 2340 «Прочие доходы» и 2350 «Прочие расходы» перенесены целиком в строки 090 «Прочие "
        "операционные доходы» и 100 «Прочие операционные расходы», внереализационные доходы и расходы "
        "(120, 130) приняты равными 0: финансово-экономическая прибыль равна прибыли до налогообложения (2300).";
    struct Case {
        const char* what;
        void (*change)(Statement&);
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {"receivables and other income", [](Statement&) {}, {receivables, other}},
        {"no receivables, no other income or expenses",
         [](Statement& s) {
             setLine(s, 1230, 0, 0, 0);
             s.lines.erase(2340);
             setLine(s, 2350, 0, 0);
         },
         {}},
        {"other expenses only",
         [](Statement& s) {
             s.lines.erase(1230);
             setLine(s, 2340, 0, std::nullopt);
             setLine(s, 2350, 0, -4);
         },
         {other}},
        {"other income only in a year not analysed",
         [](Statement& s) {
             s.lines.erase(1230);
             s.lines.erase(2350);
             for (auto& [code, cells] : s.lines)
                 if (code < 2000)
                     cells[kBeforePrevious] = std::nullopt;
             setLine(s, 2340, 0, 99); // one-year: only the current year counts
         },
         {}},
        {"lines without an old counterpart, detail lines ignored",
         [](Statement& s) {
             s.lines.erase(1230);
             s.lines.erase(2340);
             s.lines.erase(2350);
             setLine(s, 1180, 0, 0, 3);
             setLine(s, 1190, 0, 0, 0);
             setLine(s, 1151, 5, 5, 5);
             setLine(s, 1450, -1, 0, 0);
             setLine(s, 1115, 2, 0, 0); // a detail of 1110, inside it
         },
         {"Строка 1180 «Отложенные налоговые активы» не имеет соответствия в старой форме и учтена только "
          "в итоге 1100.",
          "Строка 1450 «Прочие обязательства» не имеет соответствия в старой форме и учтена только в итоге "
          "1400."}},
        {"no year in the file",
         [](Statement& s) {
             s.year = 0;
             s.lines.erase(1230);
             s.lines.erase(2340);
             s.lines.erase(2350);
         },
         {"Год отчета не указан: ставка налога на прибыль принята равной 0."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Statement s = everyLine();
        c.change(s);
        EXPECT_EQ(mapStatement(s).notes, c.notes);
    }
}

TEST(StatementMapping, RefusesWhatCannotBeAnAnalysis)
{
    struct Case {
        const char* what;
        void (*change)(Statement&);
        const char* message;
    };
    const Case cases[] = {
        {"no previous balance",
         [](Statement& s) {
             for (auto& [code, cells] : s.lines)
                 if (code < 2000)
                     cells[kPrevious] = cells[kBeforePrevious] = std::nullopt;
         },
         "every.xml: the balance sheet has no figures at 31.12.2023 (an analysis needs the balance at the "
         "start and the end of a year)"},
        {"no current balance",
         [](Statement& s) {
             for (auto& [code, cells] : s.lines)
                 if (code < 2000)
                     cells[kCurrent] = std::nullopt;
         },
         "every.xml: the balance sheet has no figures at 31.12.2024"},
        {"revaluation and additional capital past the double range",
         [](Statement& s) {
             const double big = std::numeric_limits<double>::max();
             setLine(s, 1340, 1, big, 1);
             setLine(s, 1350, 1, big, 1);
         },
         "every.xml: line 1340 at 31.12.2023: the figure exceeds the range of numbers"},
        {"no statement of financial results (a non-profit organisation)",
         [](Statement& s) {
             s.hasProfitLoss = false;
             s.lines.erase(2110);
         },
         "every.xml: the statement of financial results (profit and loss, form No. 2) is missing; the analysis "
         "needs it (the balance alone serves only a company's history)"},
        {"no balance sheet", [](Statement& s) { s.hasBalance = false; },
         "every.xml: the balance sheet is missing; the analysis needs it"},
        {"a simplified balance whose assets do not add up",
         [](Statement& s) {
             s = simplifiedStatement();
             setLine(s, 1250, 150, 131, 100);
         },
         "boupr.xml: the simplified balance does not add up at 31.12.2022: 1100 + 1200 = 1501, line 1600 is "
         "1500"},
        {"a simplified balance whose liabilities do not add up",
         [](Statement& s) {
             s = simplifiedStatement();
             setLine(s, 1550, 41, 40, 30);
         },
         "boupr.xml: the simplified balance does not add up at 31.12.2023: 1300 + 1400 + 1500 = 1701, line 1700 "
         "is 1700"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Statement s = everyLine();
        c.change(s);
        try {
            (void)mapStatement(s);
            ADD_FAILURE() << "accepted";
        } catch (const InputError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

const char* const kDerived1100 = "Строки 1100 в упрощенной отчетности нет, она рассчитана: 1100 = 1150 + 1170.";
const char* const kDerived1200 =
    "Строки 1200 в упрощенной отчетности нет, она рассчитана: 1200 = 1210 + 1230 + 1250.";
const char* const kDerived1400 = "Строки 1400 в упрощенной отчетности нет, она рассчитана: 1400 = 1410 + 1450.";
const char* const kDerived1500 =
    "Строки 1500 в упрощенной отчетности нет, она рассчитана: 1500 = 1510 + 1520 + 1550.";
const char* const kDerived2200 = "Строки 2200 в упрощенной отчетности нет, она рассчитана: 2200 = 2110 − 2120.";
const char* const kDerived2300 =
    "Строки 2300 в упрощенной отчетности нет, она рассчитана: 2300 = 2110 − 2120 − 2330 + 2340 − 2350.";
const char* const kSimplified1150 =
    "Строка 1150 «Материальные внеоборотные активы» упрощенной отчетности перенесена целиком в строку 120 "
    "«Основные средства», незавершенное строительство (130) принято равным 0.";
const char* const kSimplified1170 =
    "Строка 1170 «Нематериальные, финансовые и другие внеоборотные активы» упрощенной отчетности перенесена "
    "целиком в строку 140 «Долгосрочные финансовые вложения», нематериальные активы (110) приняты равными 0.";
const char* const kSimplified1230 =
    "Строка 1230 «Финансовые и другие оборотные активы» упрощенной отчетности (с дебиторской задолженностью) "
    "перенесена целиком в строку 240 «Краткосрочная дебиторская задолженность», строки 230, 250 и 270 "
    "приняты равными 0.";
const char* const kSimplified1300 =
    "Строка 1300 «Капитал и резервы» упрощенной отчетности дана без разбивки по статьям: строки 410–470 "
    "приняты равными 0, итог 490 равен строке 1300.";
const char* const kSimplified2120 =
    "Строка 2120 «Расходы по обычной деятельности» упрощенной отчетности перенесена целиком в строку 020 "
    "«Себестоимость проданных товаров», коммерческие и управленческие расходы (030, 040) приняты равными 0.";
const char* const kOther =
    "Строки 2340 «Прочие доходы» и 2350 «Прочие расходы» перенесены целиком в строки 090 «Прочие "
    "операционные доходы» и 100 «Прочие операционные расходы», внереализационные доходы и расходы "
    "(120, 130) приняты равными 0: финансово-экономическая прибыль равна прибыли до налогообложения (2300).";
const char* const kOther1450 = "Строка 1450 «Другие долгосрочные обязательства» не имеет соответствия в старой "
                               "форме и учтена только в итоге 1400.";

TEST(StatementMapping, SimplifiedStatementFormsItsTotalsAndPassesTheIdentities)
{
    const ImportedAnalysis a = mapStatement(simplifiedStatement());
    const AnalysisInput& in = a.input;
    EXPECT_EQ(in.AnalysisParameters.YearCount, 2.0);
    const FieldCase cases[] = {
        {"NonCurrentAssetsTotal", &BalanceSheet::NonCurrentAssetsTotal, 600, 740, 850},
        {"FixedAssets", &BalanceSheet::FixedAssets, 600, 700, 800},
        {"LongTermInvestments", &BalanceSheet::LongTermInvestments, 0, 40, 50},
        {"IntangibleAssets", &BalanceSheet::IntangibleAssets, 0, 0, 0},
        {"CurrentAssetsTotal", &BalanceSheet::CurrentAssetsTotal, 650, 760, 850},
        {"Inventories", &BalanceSheet::Inventories, 300, 350, 400},
        {"ShortTermReceivables", &BalanceSheet::ShortTermReceivables, 250, 280, 300},
        {"ShortTermInvestments", &BalanceSheet::ShortTermInvestments, 0, 0, 0},
        {"Cash", &BalanceSheet::Cash, 100, 130, 150},
        {"AssetsTotal", &BalanceSheet::AssetsTotal, 1250, 1500, 1700},
        {"EquityTotal", &BalanceSheet::EquityTotal, 650, 780, 900},
        {"RetainedEarnings", &BalanceSheet::RetainedEarnings, 0, 0, 0},
        {"LongTermLoans", &BalanceSheet::LongTermLoans, 0, 220, 200},
        {"LongTermLiabilitiesTotal", &BalanceSheet::LongTermLiabilitiesTotal, 0, 220, 220},
        {"ShortTermLoans", &BalanceSheet::ShortTermLoans, 150, 80, 100},
        {"AccountsPayable", &BalanceSheet::AccountsPayable, 420, 380, 440},
        {"OtherShortTermLiabilities", &BalanceSheet::OtherShortTermLiabilities, 30, 40, 40},
        {"ShortTermLiabilitiesTotal", &BalanceSheet::ShortTermLiabilitiesTotal, 600, 500, 580},
        {"LiabilitiesTotal", &BalanceSheet::LiabilitiesTotal, 1250, 1500, 1700},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(in.Y1Start.*c.member, c.y1Start);
        EXPECT_EQ(in.Y1End.*c.member, c.y1End);
        EXPECT_EQ(in.Y2Start.*c.member, c.y1End);
        EXPECT_EQ(in.Y2End.*c.member, c.y2End);
    }
    // As the wizard checks them, before it moves on.
    EXPECT_TRUE(assetDialogPasses(in.Y1Start, in.Y1End));
    EXPECT_TRUE(assetDialogPasses(in.Y2Start, in.Y2End));
    EXPECT_TRUE(liabilityDialogPasses(in.Y1Start, in.Y1End));
    EXPECT_TRUE(liabilityDialogPasses(in.Y2Start, in.Y2End));
    // Year 1 is 2022, year 2 is 2023.
    const double plExpected[2][7] = {{2700, 2500, 200, 15, 37, 160, 130}, {3000, 2750, 250, 20, 40, 200, 120}};
    for (int y = 1; y <= 2; ++y) {
        SCOPED_TRACE(y);
        const ProfitLossYear& p = in.ProfitLoss[y];
        const double got[7] = {p.Revenue,        p.CostOfSales,    p.SalesProfit, p.InterestPayable,
                               p.OtherOperatingExpenses, p.ProfitBeforeTax, p.NetProfit};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(got[i], plExpected[y - 1][i]) << i;
        EXPECT_EQ(p.SellingExpenses, 0.0);
        EXPECT_EQ(p.AdministrativeExpenses, 0.0);
    }
    EXPECT_EQ(a.notes, (std::vector<std::string>{kDerived1100, kDerived1200, kDerived1400, kDerived1500,
                                                 kDerived2200, kDerived2300, kSimplified1150, kSimplified1170,
                                                 kSimplified1230, kSimplified1300, kSimplified2120, kOther1450,
                                                 kOther}));
}

TEST(StatementMapping, SimplifiedStatementNotesFollowTheFile)
{
    struct Case {
        const char* what;
        void (*change)(Statement&);
        std::vector<std::string> notes;
        double equity;     // EquityTotal at the end of year 2
        double nonCurrent; // NonCurrentAssetsTotal at the end of year 2
    };
    const std::string nko1300 = "Строки 1300 в упрощенной отчетности нет, она рассчитана: 1300 = 1350 + 1360.";
    const std::string targetFunds =
        "Строки 1350 «Целевые средства» и 1360 «Фонд недвижимого и особо ценного движимого имущества и иные "
        "целевые фонды» перенесены в строки 420 «Добавочный капитал» и 430 «Резервный капитал».";
    const Case cases[] = {
        {"a total the file gives is taken as it stands, without a note",
         [](Statement& s) {
             setLine(s, 1100, 850, 740, 600);
             setLine(s, 1500, 580, 500, 600);
         },
         {kDerived1200, kDerived1400, kDerived2200, kDerived2300, kSimplified1150, kSimplified1170, kSimplified1230,
          kSimplified1300, kSimplified2120, kOther1450, kOther},
         900, 850},
        {"zero aggregates give no reclassification note; the reader's notes come last",
         [](Statement& s) {
             setLine(s, 1150, 0, 0, 0);
             setLine(s, 1170, 0, 0, 0);
             setLine(s, 1210, 1250, 1090, 900);
             setLine(s, 1450, 0, 0, 0);
             setLine(s, 1410, 220, 220, 0);
             setLine(s, 2340, 0, 0);
             setLine(s, 2350, 0, 0);
             setLine(s, 2330, 0, 0);
             setLine(s, 2410, 130, 70);
             s.readerNotes = {"записка читателя"};
         },
         {kDerived1100, kDerived1200, kDerived1400, kDerived1500, kDerived2200, kDerived2300, kSimplified1230,
          kSimplified1300, kSimplified2120, "записка читателя"},
         900, 0},
        {"a non-profit organisation's target funds in place of the capital",
         [](Statement& s) {
             s.lines.erase(1300);
             setLine(s, 1350, 100, 80, 50);
             setLine(s, 1360, 800, 700, 600);
         },
         {kDerived1100, kDerived1200, nko1300, kDerived1400, kDerived1500, kDerived2200, kDerived2300,
          kSimplified1150, kSimplified1170, kSimplified1230, targetFunds, kSimplified2120, kOther1450, kOther},
         900, 850},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Statement s = simplifiedStatement();
        c.change(s);
        const ImportedAnalysis a = mapStatement(s);
        EXPECT_EQ(a.notes, c.notes);
        EXPECT_EQ(a.input.Y2End.EquityTotal, c.equity);
        EXPECT_EQ(a.input.Y2End.NonCurrentAssetsTotal, c.nonCurrent);
        EXPECT_TRUE(liabilityDialogPasses(a.input.Y2Start, a.input.Y2End));
        EXPECT_TRUE(assetDialogPasses(a.input.Y2Start, a.input.Y2End));
    }
}

} // namespace
