// kalvanta-report --history --xlsx: the histories as a workbook, read back
// with unzip and an XML parser: a sheet per company, its years as rows with
// the history table's cells; the command lines it refuses; sheet names.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <sys/wait.h>

#include <cmath>
#include <fstream>
#include <cstdlib>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "cli/history_workbook.h"
#include "cli_test_support.h"
#include "history/history_report.h"
#include "history/history_table.h"

namespace {

using namespace kalvanta::cli::test_support;
namespace history = kalvanta::history;
namespace indicators = kalvanta::indicators;

const std::string kSource = KALVANTA_SOURCE_DIR;
const std::string kHistory = kSource + "/examples/history";
const std::string kOtherCompany = kSource + "/examples/statements/NO_BUHOTCH_worked-example.xml";

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome runTool(const std::string& args)
{
    TempDir dir;
    Outcome o;
    const std::string command = std::string(KALVANTA_REPORT_EXE) + " " + args + " >" + dir.file("out") + " 2>"
                                + dir.file("err") + " </dev/null";
    o.status = WEXITSTATUS(std::system(command.c_str()));
    o.out = readFile(dir.file("out"));
    o.err = readFile(dir.file("err"));
    return o;
}

std::string member(const std::string& book, const std::string& name, const TempDir& dir)
{
    const std::string out = dir.file("member.xml");
    return std::system(("unzip -p '" + book + "' '" + name + "' >'" + out + "'").c_str()) == 0 ? readFile(out) : "";
}

// The cells of a sheet by row: inline text, or the number as written.
std::vector<std::vector<std::string>> sheetRows(const std::string& xml)
{
    std::vector<std::vector<std::string>> rows;
    pugi::xml_document doc;
    doc.load_string(xml.c_str());
    for (const pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
        auto& cells = rows.emplace_back();
        for (const pugi::xml_node c : row.children("c")) {
            const pugi::xml_node text = c.child("is").child("t");
            cells.emplace_back(std::string(c.attribute("r").value()) + "="
                               + (text ? text.text().get() : c.child("v").text().get()));
        }
    }
    return rows;
}

std::string columnName(std::size_t i)
{
    std::string name;
    for (std::size_t n = i + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

TEST(HistoryWorkbook, ASheetPerCompanyWithTheTablesCells)
{
    if (std::system("command -v unzip >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "unzip is not installed";
    TempDir dir;
    const std::string book = dir.file("book.xlsx");
    const Outcome o = runTool("--history --xlsx " + book + " " + kHistory + " " + kOtherCompany);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, runTool("--history " + kHistory + " " + kOtherCompany).out); // the report as without it

    const std::string workbook = member(book, "xl/workbook.xml", dir);
    const std::size_t first = workbook.find("<sheet name=\"ИНН 5003012345\" sheetId=\"1\"");
    EXPECT_NE(first, std::string::npos) << workbook;
    EXPECT_NE(workbook.find("<sheet name=\"ИНН 7701234560\" sheetId=\"2\""), std::string::npos) << workbook;
    EXPECT_EQ(workbook.find("sheetId=\"3\""), std::string::npos) << workbook;

    const history::HistoryRun run = history::readHistories({kHistory, kOtherCompany});
    ASSERT_EQ(run.histories.size(), 2u);
    const auto& columns = history::historyTableLayout().columns;
    for (std::size_t s = 0; s < 2; ++s) {
        const auto rows = sheetRows(member(book, "xl/worksheets/sheet" + std::to_string(s + 1) + ".xml", dir));
        const auto expected = history::historyTableRows(run.histories[s]);
        ASSERT_EQ(rows.size(), expected.size() + 1) << s;
        ASSERT_EQ(rows[0].size(), columns.size());
        for (std::size_t c = 0; c < columns.size(); ++c)
            EXPECT_EQ(rows[0][c], columnName(c) + "1=" + columns[c]);
        for (std::size_t r = 0; r < expected.size(); ++r) {
            std::size_t at = 0;
            for (std::size_t c = 0; c < expected[r].size(); ++c) {
                const indicators::Cell& cell = expected[r][c];
                const std::string ref = columnName(c) + std::to_string(r + 2) + "=";
                if (std::holds_alternative<std::monostate>(cell)
                    || (std::holds_alternative<std::string>(cell) && std::get<std::string>(cell).empty()))
                    continue; // an empty cell is left out
                ASSERT_LT(at, rows[r + 1].size()) << ref;
                const std::string& got = rows[r + 1][at++];
                ASSERT_EQ(got.substr(0, ref.size()), ref);
                if (const double* d = std::get_if<double>(&cell))
                    EXPECT_NEAR(std::strtod(got.c_str() + ref.size(), nullptr), *d, std::abs(*d) * 1e-15) << ref;
                else
                    EXPECT_EQ(got.substr(ref.size()), std::get<std::string>(cell)) << ref;
            }
            EXPECT_EQ(at, rows[r + 1].size()) << "row " << r + 2;
        }
    }
}

TEST(HistoryWorkbook, CommandLinesItRefuses)
{
    TempDir dir;
    const struct {
        std::string args;
        int status;
        std::string err; // the start of standard error
    } cases[] = {
        {"--xlsx " + dir.file("b.xlsx") + " " + kHistory, 2, "kalvanta-report: --xlsx goes with --history and without --table\n"},
        {"--history --table " + dir.file("t.csv") + " --xlsx " + dir.file("b.xlsx") + " " + kHistory, 2,
         "kalvanta-report: --xlsx goes with --history and without --table\n"},
        {"--history --xlsx= " + kHistory, 2, "kalvanta-report: option --xlsx needs a file name\n"},
        {"--history --xlsx /nonexistent-folder/b.xlsx " + kHistory, 3, "kalvanta-report: "},
    };
    for (const auto& c : cases) {
        const Outcome o = runTool(c.args);
        EXPECT_EQ(o.status, c.status) << c.args;
        EXPECT_EQ(o.err.substr(0, c.err.size()), c.err) << o.err;
        if (c.status == 3)
            EXPECT_NE(o.err.find("/nonexistent-folder/b.xlsx"), std::string::npos) << o.err;
    }
    EXPECT_FALSE(std::ifstream(dir.file("b.xlsx")).good());
}

TEST(HistoryWorkbook, SheetNamesAreUniqueAndAllowed)
{
    std::set<std::string> used;
    const struct {
        const char* taxNumber;
        const char* organisation;
        const char* name;
    } cases[] = {
        {"5003012345", "ООО \"Лесная поляна\"", "ИНН 5003012345"},
        {"5003012345", "", "ИНН 5003012345 (2)"},
        {"", "ООО \"Ромашка\" [филиал]: 1/2", "ООО \"Ромашка\" _филиал__ 1_2"},
        {"", "Акционерное общество Северная звезда", "Акционерное общество Северная з"},
        {"", "Акционерное общество Северная звезда-2", "Акционерное общество Северн (2)"},
        {"", "", "Компания"},
        {"", "Kompania", "Kompania"},
        {"", "KOMPANIA", "KOMPANIA (2)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kalvanta::cli::companySheetName(c.taxNumber, c.organisation, used), c.name);
}

} // namespace
