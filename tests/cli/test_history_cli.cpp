// kalvanta-report --history: the report of each company on standard output,
// notes and refused files on standard error, and --table with one row per
// company and year.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/report_tool.h"
#include "cli_test_support.h"

namespace kalvanta::cli {
namespace {

const std::string kExamples = std::string(KALVANTA_SOURCE_DIR) + "/examples/history";

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun run(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = runReportTool(args, out, err, CivilDate{2026, 12, 8});
    return {status, out.str(), err.str()};
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

// The cells of one CSV line (quotes doubled inside quoted cells).
std::vector<std::string> csvCells(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            cells.back() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            cells.emplace_back();
        else
            cells.back() += c;
    }
    return cells;
}

using kalvanta::cli::test_support::TempDir;

TEST(HistoryCli, ReportOfTheExampleFolder)
{
    const ToolRun r = run({"--history", kExamples});
    EXPECT_EQ(r.status, kExitOk);
    const std::vector<std::string> lines = linesOf(r.out);
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
              (std::vector<std::string>{"Анализ финансового состояния за 2019–2025 годы",
                                        "Организация: ООО \"Лесная поляна\"", "ИНН: 5003012345",
                                        "Единица измерения: тыс. руб.", " "}));
    EXPECT_NE(r.out.find("\nКоэффициент текущей ликвидности                              1,53          1,57"
                         "          1,60          1,62          1,64          1,66          1,68\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("\nРентабельность активов, %                                       —           8,4"
                         "           9,6          10,6          11,5          12,2          12,9\n"),
              std::string::npos);
    // The 2021 statement is in roubles, the 2024 one restates 2023.
    EXPECT_NE(r.err.find("kalvanta-report: ИНН 5003012345: отчетность за 2021 год (" + kExamples +
                         "/NO_BUHOTCH_lesnaya-polyana-2021.xml) составлена в руб.: ее показатели переведены в "
                         "тыс. руб.\n"),
              std::string::npos);
    EXPECT_NE(r.err.find("kalvanta-report: ИНН 5003012345: показатели 2023 года пересчитаны в отчетности за 2024 "
                         "год: строка 1230 — 2930 вместо 2880; в истории оставлено 2880 из отчетности за 2023 год\n"),
              std::string::npos);
}

TEST(HistoryCli, RefusedFilesAndUsage)
{
    TempDir dir;
    const std::string broken = dir.file("broken.xml");
    std::ofstream(broken) << "<?xml version=\"1.0\"?><Файл/>";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errStart; // the first line of standard error
        bool report;          // a report is still written
    };
    const std::vector<Case> cases = {
        {{"--history", broken, kExamples}, kExitBadInput, "kalvanta-report: " + broken + ": ", true},
        {{"--history", broken}, kExitBadInput, "kalvanta-report: " + broken + ": ", false},
        {{"--history", dir.file("none")}, kExitBadInput, "kalvanta-report: " + dir.file("none") + ": no such file or folder",
         false},
        {{"--history", "--save-input", dir.file("s.json"), kExamples}, kExitBadInput,
         "kalvanta-report: --save-input does not go with --history", false},
        {{"--history", "-j", "2", kExamples}, kExitBadInput, "kalvanta-report: --table-format and -j go with --table",
         false},
        {{"--history"}, kExitBadInput, "kalvanta-report: no input file", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
        EXPECT_EQ(r.out.rfind("Анализ финансового состояния за 2019–2025 годы\n", 0) == 0, c.report);
    }
    EXPECT_NE(run({"--history", broken}).err.find("\nkalvanta-report: no statement to analyse\n"), std::string::npos);
}

TEST(HistoryCli, RtfDocumentOfTheReport)
{
    TempDir dir;
    const std::string rtf = dir.file("history.rtf");
    const ToolRun r = run({"--history", "--rtf", rtf, kExamples});
    EXPECT_EQ(r.status, kExitOk);
    const std::string doc = readFile(rtf);
    EXPECT_EQ(doc.rfind("{\\rtf1", 0), 0u);
    // One paragraph per report line.
    std::size_t pars = 0;
    for (std::size_t at = doc.find("\\par"); at != std::string::npos; at = doc.find("\\par", at + 1))
        if (doc.compare(at, 5, "\\pard") != 0)
            ++pars;
    EXPECT_EQ(pars, linesOf(r.out).size());
}

const std::string kHeader =
    "organisation,tax_number,year,unit,notes,current_ratio,quick_ratio,absolute_liquidity,autonomy,"
    "debt_to_equity,own_working_capital,own_working_capital_ratio,roa,roe,return_on_sales,net_margin,"
    "asset_turnover,receivables_days,inventory_days,payables_days,interest_coverage";

TEST(HistoryCli, TableRowsPerCompanyAndYear)
{
    TempDir dir;
    const std::string jsonl = dir.file("h.jsonl");
    const ToolRun r = run({"--history", "--table", jsonl, "-j", "2", kExamples});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.err, "kalvanta-report: 4 files: 4 read, 0 refused; 1 company, 7 rows; table \"" + jsonl +
                         "\" (jsonl)\n");
    const std::vector<std::string> rows = linesOf(readFile(jsonl));
    ASSERT_EQ(rows.size(), 7u);
    // Every column in the table's order; null where not defined; unrounded doubles.
    const std::string first = rows[0];
    EXPECT_EQ(first.rfind("{\"organisation\":\"ООО \\\"Лесная поляна\\\"\",\"tax_number\":\"5003012345\","
                          "\"year\":2019,\"unit\":\"тыс. руб.\",\"notes\":\"отчетность за 2021 год",
                          0),
              0u)
        << first;
    EXPECT_NE(first.find(",\"current_ratio\":1.5335820895522387,"), std::string::npos);
    EXPECT_NE(first.find(",\"own_working_capital\":-410,"), std::string::npos);
    EXPECT_NE(first.find(",\"roa\":null,"), std::string::npos);
    EXPECT_NE(first.find(",\"interest_coverage\":null"), std::string::npos);
    EXPECT_NE(rows[1].find("\"year\":2020,"), std::string::npos);
    EXPECT_NE(rows[1].find(",\"roa\":0.08442553191489362,"), std::string::npos);
    // The restatement is a note of 2023's row only.
    EXPECT_EQ(rows[3].find("пересчитаны"), std::string::npos);
    EXPECT_NE(rows[4].find("показатели 2023 года пересчитаны в отчетности за 2024 год: строка 1200"),
              std::string::npos);

    const std::string csvFile = dir.file("h.csv");
    EXPECT_EQ(run({"--history", "--table", csvFile, kExamples}).status, kExitOk);
    const std::vector<std::string> lines = linesOf(readFile(csvFile));
    ASSERT_EQ(lines.size(), 8u);
    // The ratios first; the models' columns follow them.
    EXPECT_EQ(lines[0].rfind(kHeader, 0), 0u) << lines[0];
    const std::vector<std::string> y2019 = csvCells(lines[1]);
    ASSERT_GE(y2019.size(), 21u);
    EXPECT_EQ(y2019[0], "ООО \"Лесная поляна\"");
    EXPECT_EQ(y2019[2], "2019");
    EXPECT_EQ(y2019[5], "1.5335820895522387");
    EXPECT_EQ(y2019[10], "-410");
    for (std::size_t i = 12; i < 21; ++i) // the nine figures the flows of 2019 would give
        EXPECT_EQ(y2019[i], "") << i;
}

} // namespace
} // namespace kalvanta::cli
