// kalvanta-report --history --xlsx: the histories' report as a workbook,
// read back with unzip: a sheet per part of the report in order, the header
// frozen, the report's decimals as number formats, the companies one after
// another; the command lines it refuses.
#include <gtest/gtest.h>

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
#include "history/history_workbook.h"

namespace {

using namespace kalvanta::cli::test_support;
namespace history = kalvanta::history;

const std::string kSource = KALVANTA_SOURCE_DIR;
const std::string kHistory = kSource + "/examples/history";
const std::string kOtherCompany = kSource + "/examples/statements/NO_BUHOTCH_worked-example.xml";

std::string member(const std::string& book, const std::string& name, const TempDir& dir)
{
    const std::string out = dir.file("member.xml");
    return std::system(("unzip -p '" + book + "' '" + name + "' >'" + out + "'").c_str()) == 0 ? readFile(out) : "";
}

TEST(HistoryWorkbook, ASheetPerPartOfTheReportWithFrozenHeaderAndTheReportsDecimals)
{
    if (std::system("command -v unzip >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "unzip is not installed";
    TempDir dir;
    const std::string book = dir.file("book.xlsx");
    const Outcome o = runTool("--history --xlsx " + book + " " + kHistory + " " + kOtherCompany);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, runTool("--history " + kHistory + " " + kOtherCompany).out); // the report as without it

    const std::string workbook = member(book, "xl/workbook.xml", dir);
    const char* const sheets[] = {"Баланс", "Отчет о финансовых результатах", "Коэффициенты", "Модели",
                                  "Примечания"};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NE(workbook.find("<sheet name=\"" + std::string(sheets[i]) + "\" sheetId=\"" + std::to_string(i + 1)
                                + "\""),
                  std::string::npos)
            << workbook;
    EXPECT_EQ(workbook.find("sheetId=\"6\""), std::string::npos) << workbook;

    // Number formats of the report's decimals: ratios, models, per cents.
    const std::string styles = member(book, "xl/styles.xml", dir);
    for (const char* code : {"formatCode=\"0.00\"", "formatCode=\"0.000\"", "formatCode=\"0.0%\""})
        EXPECT_NE(styles.find(code), std::string::npos) << code;

    const history::HistoryRun run = history::readHistories({kHistory, kOtherCompany});
    ASSERT_EQ(run.histories.size(), 2u);
    const struct {
        int sheet;
        std::vector<std::string> holds; // in this order
    } cases[] = {
        {1, {"<pane xSplit=\"1\" ySplit=\"1\"", "<t>Показатель</t>", "<t>2019</t>", "<t>2025</t>",
             "<t>Не определено</t>", "<t>" + history::companyTitle(run.histories[0]) + "</t>",
             "<t>Баланс на 31 декабря, тыс. руб.</t>", "<t>1600 Баланс (актив)</t>",
             "<t>" + history::companyTitle(run.histories[1]) + "</t>"}},
        {2, {"<pane xSplit=\"1\" ySplit=\"1\"", "<t>2020</t>", "<t>2110 Выручка</t>"}},
        {3, {"<pane xSplit=\"1\" ySplit=\"1\"", "<t>Коэффициенты по годам</t>",
             "<t>Коэффициент текущей ликвидности</t>"}},
        {4, {"<pane xSplit=\"1\" ySplit=\"1\"", "<t>Модели прогнозирования банкротства</t>",
             "<t>Риск банкротства по моделям</t>", "<t>Факторы рентабельности собственного капитала (DuPont)</t>"}},
        {5, {"<pane ySplit=\"1\"", "<t>Компания</t>", "<t>Примечание</t>", "пересчитаны"}},
    };
    for (const auto& c : cases) {
        std::string xml = member(book, "xl/worksheets/sheet" + std::to_string(c.sheet) + ".xml", dir);
        // Quotes in texts are written as entities.
        for (std::size_t at; (at = xml.find("&quot;")) != std::string::npos;)
            xml.replace(at, 6, "\"");
        std::size_t at = 0;
        for (const std::string& text : c.holds) {
            const std::size_t next = xml.find(text, at);
            EXPECT_NE(next, std::string::npos) << "sheet " << c.sheet << ": " << text;
            if (next != std::string::npos)
                at = next;
        }
        // The captions' column as wide as its longest text, numbers as numbers.
        EXPECT_NE(xml.find("<col min=\"1\" max=\"1\" width=\""), std::string::npos) << c.sheet;
        if (c.sheet < 5)
            EXPECT_NE(xml.find("<v>"), std::string::npos) << c.sheet;
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

} // namespace
