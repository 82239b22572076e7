// Files told by their content, and the sample with the worked example's
// figures: its record and report against the worked example's.
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "analysis/analysis_results.h"
#include "analysis/report_builder.h"
#include "analysis/report_sink.h"
#include "inputs/input_set_writer.h"
#include "statement_test_util.h"
#include "statements/state_json_reader.h"
#include "statements/statement_import.h"
#include "statements/statement_limits.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

TEST(StatementImport, KindIsToldByContent)
{
    const std::pair<std::string, InputFileKind> cases[] = {
        {readBytes(kSampleXml), InputFileKind::TaxXml},
        {"\xEF\xBB\xBF  \n<?xml version=\"1.0\"?><x/>", InputFileKind::TaxXml},
        {readBytes(kSourceDir + "/examples/worked-example.json"), InputFileKind::InputSet},
        {"{}", InputFileKind::InputSet},
        {"{\"YearCount\": 2, \"balance\": 1}", InputFileKind::InputSet},
        {"{\"Y1Start\": {\"balance\": 1}}", InputFileKind::InputSet},
        {"{\"EnterpriseName\": \"x\", ", InputFileKind::InputSet}, // malformed: the loader explains
        {"{\"balance\": {\"current1600\": 5}}", InputFileKind::StateJson},
        {"{\"financialResult\": {}, \"balance\": {}}", InputFileKind::StateJson},
        {"[{\"period\": \"2024\"}]", InputFileKind::StateJson},
        {"{\"id\": 12, \"typeCorrections\": []}", InputFileKind::StateJson},
        {"{\"id\": 12, \"organizationInfo\": {\"YearCount\": 1}, \"ProfitLoss\": 1}", InputFileKind::StateJson},
        {"code;current;previous\n1600;5;4;3\n", InputFileKind::LineCodeCsv},
        {"Организация;ООО Ромашка\r\n\"1110\",\"1\",\"2\"\r\n", InputFileKind::LineCodeCsv},
        {"1600,5,4\n", InputFileKind::LineCodeCsv},
        {"160;5\n", InputFileKind::Unknown},
        {"hello world\n", InputFileKind::Unknown},
        {"", InputFileKind::Unknown},
        {" \n\t", InputFileKind::Unknown},
    };
    for (const auto& [text, kind] : cases)
        EXPECT_EQ(detectInputFileKind(text), kind) << text.substr(0, 60);
}

TEST(StatementImport, RefusedKindsNameTheFile)
{
    const std::pair<std::string, std::string> cases[] = {
        {"hello", "x.dat: not a statement file: neither the tax service's XML, the state resource's JSON nor "
                  "a line-code table (CSV)"},
        {"{\"YearCount\": 2}", "x.dat: this is an input set (the analysis record as JSON), not a statement"},
        {std::string(statement_limits::kMaxStatementBytes + 1, '<'), "x.dat: file is larger than 8388608 bytes"},
    };
    for (const auto& [text, message] : cases) {
        try {
            (void)importStatementText(text, "x.dat");
            ADD_FAILURE() << message;
        } catch (const InputError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

TEST(StatementImport, LoadInputFileTakesInputSetsAndStatements)
{
    const ImportedAnalysis set = loadInputFile(kSourceDir + "/examples/worked-example.json");
    EXPECT_EQ(set.input, workedExample());
    EXPECT_TRUE(set.notes.empty());

    const ImportedAnalysis xml = loadInputFile(kSampleXml);
    EXPECT_EQ(xml.notes.size(), 3u);
    // The record written as an input set reads back as the same analysis.
    char path[] = "/tmp/kalvanta-set-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string json = inputSetJson(xml.input);
    ASSERT_EQ(write(fd, json.data(), json.size()), static_cast<ssize_t>(json.size()));
    close(fd);
    const ImportedAnalysis back = loadInputFile(path);
    std::remove(path);
    EXPECT_EQ(back.input, xml.input);
    EXPECT_TRUE(back.notes.empty());

    try {
        (void)loadInputFile("/nonexistent/a.xml");
        ADD_FAILURE();
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "/nonexistent/a.xml: cannot open: No such file or directory");
    }
}

std::vector<std::string> reportLines(AnalysisInput in)
{
    in.AnalysisParameters.AnalysisPending = 1.0;
    AnalysisResults results;
    VectorSink sink;
    writePendingReport(in, results, sink, RegionalSettings::russian(), CivilDate{2026, 12, 8});
    return sink.lines;
}

// The worked example as a statement can give it: the switches a statement
// allows, one product without data and the tax rate of the report's years.
AnalysisInput workedExampleAsImportSets()
{
    AnalysisInput in = workedExample();
    auto& p = in.AnalysisParameters;
    p.EnterpriseName = "Фирма N, ИНН 7701234560, 2022-2024 гг.";
    p.OperatingLeverageOn = 0.0;
    in.ProductCount = 1.0;
    for (int y = 1; y <= 2; ++y) {
        const AdditionalDataYear keep = in.AdditionalData[y];
        in.AdditionalData[y] = AdditionalDataYear{};
        in.AdditionalData[y].CreditsReceived = keep.CreditsReceived;
        in.AdditionalData[y].InterestPaid = keep.InterestPaid;
        in.AdditionalData[y].TaxRatePercent = 20.0;
    }
    return in;
}

TEST(StatementImport, WorkedExampleSampleDiffersOnlyWhereTheNotesSay)
{
    const ImportedAnalysis imported = importStatementFile(kSampleXml);
    ASSERT_EQ(imported.notes.size(), 3u);
    EXPECT_TRUE(imported.notes[0].starts_with("Строка 1230 "));
    EXPECT_TRUE(imported.notes[1].starts_with("Строка 1190 «Прочие внеоборотные активы»"));
    EXPECT_TRUE(imported.notes[2].starts_with("Строки 2340 «Прочие доходы» и 2350 "));

    // The record: the worked example with exactly what the three notes name.
    AnalysisInput expected = workedExampleAsImportSets();
    for (BalanceSheet* s : {&expected.Y1Start, &expected.Y1End, &expected.Y2Start, &expected.Y2End}) {
        s->ShortTermReceivables += s->LongTermReceivables; // note on 1230
        s->LongTermReceivables = 0.0;
        s->ConstructionInProgress = 0.0; // note on 1190, where the sample holds it
    }
    for (int y = 1; y <= 2; ++y) { // note on 2340 and 2350
        auto& pl = expected.ProfitLoss[y];
        pl.OtherOperatingIncome += pl.NonOperatingIncome;
        pl.OtherOperatingExpenses += pl.NonOperatingExpenses;
        pl.NonOperatingIncome = pl.NonOperatingExpenses = 0.0;
    }
    deriveFinancialEconomicProfit(expected);
    EXPECT_EQ(imported.input, expected);

    // The report: the worked example's, except the header's name and the
    // lines that use the receivables at the start of year 1 (the worked
    // example's 35 of long-term receivables, now short-term). Construction
    // in progress and non-operating results print nowhere with these switches.
    const std::vector<std::string> mine = reportLines(imported.input);
    AnalysisInput worked = workedExampleAsImportSets();
    worked.AnalysisParameters.EnterpriseName = workedExample().AnalysisParameters.EnterpriseName;
    const std::vector<std::string> theirs = reportLines(worked);
    ASSERT_EQ(mine.size(), theirs.size());
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < mine.size(); ++i)
        if (mine[i] != theirs[i])
            differing.push_back(i + 1);
    const std::vector<std::size_t> expectedLines = {6, 14, 15, 16, 31, 32, 33, 34, 46, 47, 64, 74, 114, 115};
    EXPECT_EQ(differing, expectedLines);
    EXPECT_EQ(theirs[5], " Название предприятия - Фирма N       2004-2006 гг.");
    EXPECT_EQ(mine[5], " Название предприятия - Фирма N, ИНН 7701234560, 2022-2024 гг.");

    // Moving the 35 alone accounts for every other differing line.
    AnalysisInput movedOnly = worked;
    movedOnly.Y1Start.ShortTermReceivables += movedOnly.Y1Start.LongTermReceivables;
    movedOnly.Y1Start.LongTermReceivables = 0.0;
    std::vector<std::string> movedReport = reportLines(movedOnly);
    movedReport[5] = mine[5];
    EXPECT_EQ(movedReport, mine);
}


// The state resource's list for a company's history: every annual year in
// its valid correction, oldest first, whatever order the file gives.
std::string yearEntry(int year, const std::string& knd, const std::string& forms)
{
    return R"({"period": ")" + std::to_string(year) + R"(", "actualCorrectionNumber": 0, "knd": ")" + knd +
           R"(", "organizationInfo": {"fullName": "ООО \"Ромашка\"", "inn": "7701000001"},
              "typeCorrections": [{"type": 12, "correction": {"correctionVersion": 0, )" + forms + "}}]}";
}

std::string yearForms(int year)
{
    return R"("balance": {"current1600": )" + std::to_string(year) + R"(}, "financialResult": {"current2110": 1})";
}

TEST(StatementImport, StateResourceListGivesEveryAnnualYearOldestFirst)
{
    const std::string list = "[" + yearEntry(2024, "0710099", yearForms(2024)) + "," +
                             yearEntry(2021, "0710096", yearForms(2021)) + "," +
                             yearEntry(2025, "0710099", yearForms(2025)) + "," +
                             yearEntry(2023, "0710096 0710099", yearForms(2023)) + "]";
    const StatementFile file = readStatementText(list, "list.json");
    ASSERT_EQ(file.statements.size(), 4u);
    const int years[] = {2021, 2023, 2024, 2025};
    const bool simplified[] = {true, true, false, false}; // simplified until 2023, then full
    for (std::size_t i = 0; i < 4; ++i) {
        const Statement& st = file.statements[i];
        EXPECT_EQ(st.year, years[i]);
        EXPECT_EQ(st.lines.at(1600)[kCurrent], years[i]); // each year its own figures
        EXPECT_EQ(st.simplified, simplified[i]) << st.year;
        EXPECT_EQ(st.organisation, "ООО \"Ромашка\"");
        EXPECT_EQ(st.sourceName, "list.json");
    }
    EXPECT_TRUE(file.notes.empty());
}

TEST(StatementImport, StateResourceYearsThatCannotBeReadArePassedOverWithTheirReason)
{
    const std::string list =
        "[" + yearEntry(2022, "0710099", R"("balance": {"current1600": "много"}, "financialResult": {})") + "," +
        yearEntry(2023, "0710099", yearForms(2023)) + "," +
        yearEntry(2024, "0710099", R"("balance": {"current1600": 5}, "financialResult": null)") + "," +
        R"({"period": "2026", "typeCorrections": []},)" +
        R"({"period": "2025", "typeCorrections": [{"type": 9, "correction": {"balance": {}}}]},)" +
        yearEntry(2021, "0710001", yearForms(2021)) + "]";
    const StatementFile file = readStatementText(list, "list.json");
    ASSERT_EQ(file.statements.size(), 2u);
    EXPECT_EQ(file.statements[0].year, 2023);
    EXPECT_EQ(file.statements[1].year, 2024);
    EXPECT_FALSE(file.statements[1].hasProfitLoss); // a non-profit year still gives its balance
    const std::vector<std::string> notes = {
        "Промежуточная отчетность за 9 месяцев 2025 года пропущена: анализ ведется по годовой отчетности.",
        "Отчетность за 2021 год пропущена: \"[5].knd\": \"0710001\" is not the annual "
        "accounting statements (KND 0710099, or 0710096 simplified)",
        "Отчетность за 2022 год пропущена: \"[0].typeCorrections[0].correction.balance.current1600\" must be a number",
        "Отчетность за 2026 год пропущена: в файле нет ее корректировок (отчетность не опубликована).",
    };
    EXPECT_EQ(file.notes, notes);

    // The fixed report reads the newest annual year and says what it passed over.
    const Statement newest = readStateJson(list, "list.json", std::nullopt);
    EXPECT_EQ(newest.year, 2024);
    EXPECT_EQ(newest.readerNotes, std::vector<std::string>{notes.front()});
}

TEST(StatementImport, StateResourceListWithNoReadableYearIsRefusedWithTheNewestReason)
{
    const std::pair<std::string, std::string> cases[] = {
        {"[" + yearEntry(2023, "0710099", R"("balance": {"current1600": true}, "financialResult": {})") + "," +
             yearEntry(2024, "0710099", R"("balance": {"current2110": 1}, "financialResult": {})") + "]",
         "l.json: \"[1].typeCorrections[0].correction.balance.current2110\": line 2110 does not belong in \"balance\""},
        {R"([{"period": "2024", "typeCorrections": []}])", "l.json: the file holds no report"},
        {R"([{"period": "2024-06", "balance": {}}])",
         "l.json: the file holds only interim reports (for less than a year): the analysis needs the annual statements"},
        {R"([{"balance": {}}, {"financialResult": {}}])",
         "l.json: \"[1].period\" is missing: the reports cannot be told apart by year"},
    };
    for (const auto& [text, message] : cases) {
        try {
            (void)readStatementText(text, "l.json");
            ADD_FAILURE() << message;
        } catch (const InputError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

} // namespace
