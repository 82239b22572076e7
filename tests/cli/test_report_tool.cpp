// kalvanta-report run as a process: report text on standard output,
// messages on standard error, exit statuses; and its argument parsing.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/report_tool.h"
#include "document/document_io.h"

#include "cli_test_support.h"

namespace {

using namespace kalvanta::cli::test_support;

using kalvanta::CivilDate;
using namespace kalvanta::cli;

const std::string kSource = KALVANTA_SOURCE_DIR;
const std::string kTwoYear = kSource + "/examples/worked-example.json";
const std::string kOneYear = kSource + "/examples/worked-example-one-year.json";

// The hand-composed expected reports of the worked example.
std::string expectedReport(const char* name) { return readFile(kSource + "/tests/analysis/expected/" + name); }

struct Outcome {
    int status = -1;
    std::string out, err;
};

// Runs the tool with args; stdinFile (if not empty) becomes its standard input,
// stdoutFile (if not empty) replaces the captured standard output.
Outcome runTool(const std::vector<std::string>& args, const std::string& stdinFile = "",
                const std::string& stdoutFile = "")
{
    TempDir dir;
    const std::string outPath = stdoutFile.empty() ? dir.file("out") : stdoutFile;
    const std::string errPath = dir.file("err");
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(stdinFile.empty() ? "/dev/null" : stdinFile.c_str(), O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        std::string exe = KALVANTA_REPORT_EXE;
        argv.push_back(exe.data());
        std::vector<std::string> copy = args;
        for (std::string& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    Outcome o;
    int raw = 0;
    waitpid(pid, &raw, 0);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (stdoutFile.empty())
        o.out = readFile(outPath);
    o.err = readFile(errPath);
    return o;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> l;
    std::size_t start = 0;
    for (std::size_t pos = text.find('\n'); pos != std::string::npos; pos = text.find('\n', start)) {
        l.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
    return l;
}

// The one-year worked example with one JSON value replaced.
std::string oneYearWith(const std::string& from, const std::string& to)
{
    std::string text = readFile(kOneYear);
    const std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

TEST(ReportTool, WorkedExampleReportsAreTheComposedText)
{
    const Outcome two = runTool({"--date", "2026-12-08", kTwoYear});
    EXPECT_EQ(two.status, 0);
    EXPECT_EQ(two.err, "");
    EXPECT_EQ(two.out, expectedReport("worked_two_year.txt"));
    EXPECT_EQ(two.out.find('\r'), std::string::npos);

    const Outcome one = runTool({"--date", "08.12.2026", kOneYear});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.err, "");
    EXPECT_EQ(one.out, expectedReport("worked_one_year.txt"));
}

TEST(ReportTool, DateInTheHeader)
{
    struct Case {
        std::vector<std::string> args;
        const char* line;
    } cases[] = {
        {{"--date", "2024-02-29", kOneYear}, "Дата 29.02.2024"},
        {{"--date=31.12.1999", kOneYear}, "Дата 31.12.1999"},
        {{kOneYear, "--date", "0001-01-01"}, "Дата 01.01.0001"},
    };
    for (const Case& c : cases) {
        const Outcome o = runTool(c.args);
        EXPECT_EQ(o.status, 0);
        const std::vector<std::string> l = lines(o.out);
        ASSERT_GT(l.size(), 2u);
        EXPECT_EQ(l[1], c.line);
    }
    // Without --date: today, dd.MM.yyyy.
    const Outcome today = runTool({kOneYear});
    const std::vector<std::string> l = lines(today.out);
    ASSERT_GT(l.size(), 2u);
    EXPECT_TRUE(std::regex_match(l[1], std::regex("Дата [0-3][0-9]\\.[01][0-9]\\.[0-9]{4}"))) << l[1];
}

TEST(ReportTool, SeveralFilesEachInAFreshProgram)
{
    const Outcome both = runTool({"--date", "2026-12-08", kTwoYear, kOneYear, kTwoYear});
    EXPECT_EQ(both.status, 0);
    EXPECT_EQ(both.out, expectedReport("worked_two_year.txt") + expectedReport("worked_one_year.txt") +
                            expectedReport("worked_two_year.txt"));
}

TEST(ReportTool, StandardInput)
{
    const Outcome o = runTool({"--date", "2026-12-08", "-"}, kTwoYear);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, expectedReport("worked_two_year.txt"));
}

TEST(ReportTool, ArithmeticErrorEndsThatReportOnly)
{
    TempDir dir;
    const std::string zero = dir.file("zero-revenue.json");
    writeFile(zero, oneYearWith("\"Revenue\": 35719", "\"Revenue\": 0"));
    const Outcome o = runTool({"--date", "2026-12-08", zero, kOneYear});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "Floating point division by zero.\n");
    // Zero revenue: the profitability section fails; sections 1 to 4 stand.
    const std::string full = expectedReport("worked_one_year.txt");
    const std::string upToLiquidity = full.substr(0, full.find(" Анализ рентабельности\n"));
    EXPECT_EQ(o.out, upToLiquidity + full);
}

TEST(ReportTool, InvalidOperationMessage)
{
    TempDir dir;
    const std::string bad = dir.file("zero-cost.json");
    // 0 / 0 in the product profitability: sales profit and cost of sales both 0
    std::string text = oneYearWith("\"CostOfSales\": 32290", "\"CostOfSales\": 0");
    const std::size_t at = text.find("\"SalesProfit\": 3429");
    text.replace(at, 19, "\"SalesProfit\": 0");
    writeFile(bad, text);
    const Outcome o = runTool({"--date", "2026-12-08", bad});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "Invalid floating point operation.\n");
}

struct BadInputCase {
    const char* name;
    const char* text;      // nullptr: the file does not exist
    const char* inMessage; // part of the message besides the file name
};

class BadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(BadInput, NamesTheFileAndGoesOn)
{
    const BadInputCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file(c.name);
    if (c.text)
        writeFile(path, c.text);
    const Outcome o = runTool({"--date", "2026-12-08", path, kOneYear});
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find(path), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(c.inMessage), std::string::npos) << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1);
    EXPECT_EQ(o.out, expectedReport("worked_one_year.txt")) << "the good file is still reported";
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInput,
    ::testing::Values(BadInputCase{"missing.json", nullptr, "cannot open"},
                      BadInputCase{"unknown.json", "{\"YearCount\": 1, \"Turnover\": 5}", "Turnover"},
                      BadInputCase{"broken.json", "{\"YearCount\": 1,", "JSON"},
                      BadInputCase{"text.json", "{\"YearCount\": \"one\"}", "YearCount"},
                      BadInputCase{"years3.json", "{\"YearCount\": 3}", "\"YearCount\" must be 1 or 2"},
                      BadInputCase{"noyears.json", "{}", "\"YearCount\" must be 1 or 2"}));

TEST(ReportTool, BadInputOutranksArithmeticError)
{
    TempDir dir;
    const std::string zero = dir.file("zero.json");
    writeFile(zero, oneYearWith("\"Revenue\": 35719", "\"Revenue\": 0"));
    const Outcome o = runTool({"--date", "2026-12-08", zero, dir.file("missing.json")});
    EXPECT_EQ(o.status, 2);
}

struct UsageCase {
    std::vector<std::string> args;
    const char* inMessage;
};

class Usage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(Usage, RefusedWithoutOutput)
{
    const UsageCase& c = GetParam();
    const Outcome o = runTool(c.args);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(c.inMessage), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("--help"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Usage,
    ::testing::Values(UsageCase{{}, "no input file"}, UsageCase{{"--date", "2026-12-08"}, "no input file"},
                      UsageCase{{"--verbose", kOneYear}, "unknown option \"--verbose\""},
                      UsageCase{{"--date"}, "needs a value"},
                      UsageCase{{"--date", "2026-13-01", kOneYear}, "invalid date \"2026-13-01\""},
                      UsageCase{{"--date", "29.02.2025", kOneYear}, "invalid date"},
                      UsageCase{{"--date", "2026/12/08", kOneYear}, "invalid date"},
                      UsageCase{{"--help=yes"}, "takes no value"},
                      UsageCase{{"--version=1"}, "takes no value"}));

TEST(ReportTool, HelpExplainsOptionsAndKeys)
{
    const Outcome o = runTool({"--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    for (const char* part : {"--date YYYY-MM-DD", "DD.MM.YYYY", "standard input", "YearCount",
                             "FinancialLeverageOn", "Y2Start", "AccountsPayable (620)", "NetProfit (190)",
                             "ProfitLoss", "AdditionalData", "FixedCostsTotal", "ProductCount", "Exit status"})
        EXPECT_NE(o.out.find(part), std::string::npos) << part;
    // --help wins over files and does not read them
    EXPECT_EQ(runTool({"missing.json", "--help"}).status, 0);
}

// The build's version: three numbers, the first two those the report and the
// program's windows print.
TEST(ReportTool, VersionIsTheBuildsNumber)
{
    const Outcome o = runTool({"--version"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(std::regex_match(o.out, std::regex("kalvanta-report 4\\.5\\.[0-9]+\n"))) << o.out;
    EXPECT_NE(runTool({"--help"}).out.find("--version"), std::string::npos);
    // It does not read the files named beside it.
    EXPECT_EQ(runTool({"missing.json", "--version"}).out, o.out);
    EXPECT_EQ(runTool({"--version"}, "", "/dev/full").status, 3);
}

TEST(ReportTool, FullOutputDeviceIsAnError)
{
    const Outcome o = runTool({"--date", "2026-12-08", kTwoYear}, "", "/dev/full");
    EXPECT_EQ(o.status, 3);
    EXPECT_NE(o.err.find("cannot write to standard output"), std::string::npos);
}

TEST(ReportTool, DoubleDashEndsOptions)
{
    const Outcome o = runTool({"--date", "2026-12-08", "--", "--date"});
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("--date: cannot open"), std::string::npos) << o.err;
}

// In-process: the date argument and the option table.
struct DateCase {
    const char* text;
    bool valid;
    int year, month, day;
};

class DateArgument : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateArgument, BothFormsRealDatesOnly)
{
    const DateCase& c = GetParam();
    const auto d = parseDateArgument(c.text);
    ASSERT_EQ(d.has_value(), c.valid) << c.text;
    if (d) {
        EXPECT_EQ(d->year, c.year);
        EXPECT_EQ(d->month, c.month);
        EXPECT_EQ(d->day, c.day);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DateArgument,
    ::testing::Values(DateCase{"2026-12-08", true, 2026, 12, 8}, DateCase{"08.12.2026", true, 2026, 12, 8},
                      DateCase{"2000-02-29", true, 2000, 2, 29}, DateCase{"1900-02-29", false, 0, 0, 0},
                      DateCase{"29.02.2024", true, 2024, 2, 29}, DateCase{"31.04.2026", false, 0, 0, 0},
                      DateCase{"2026-00-10", false, 0, 0, 0}, DateCase{"2026-01-00", false, 0, 0, 0},
                      DateCase{"0000-01-01", false, 0, 0, 0}, DateCase{"2026-1-8", false, 0, 0, 0},
                      DateCase{"8.12.2026", false, 0, 0, 0}, DateCase{"2026-12-08x", false, 0, 0, 0},
                      DateCase{"2026-12-0a", false, 0, 0, 0}, DateCase{"12/08/2026", false, 0, 0, 0},
                      DateCase{"", false, 0, 0, 0}, DateCase{"+026-12-08", false, 0, 0, 0}));

TEST(ReportToolArguments, FilesAndOptionsInAnyOrder)
{
    const ToolOptions o = parseArguments({"a.json", "--date", "2026-12-08", "-", "b.json"});
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.json", "-", "b.json"}));
    ASSERT_TRUE(o.date);
    EXPECT_EQ(o.date->day, 8);
    EXPECT_FALSE(o.help);
    // the last --date counts
    EXPECT_EQ(parseArguments({"--date", "2026-12-08", "--date", "01.01.2027", "x"}).date->year, 2027);
}

TEST(ReportToolArguments, RunInProcessWritesToTheGivenStreams)
{
    std::ostringstream out, err;
    const int status = runReportTool({kTwoYear}, out, err, CivilDate{2026, 12, 8});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(), expectedReport("worked_two_year.txt"));
}

// --rtf: the same lines as a document, in the report view's font.
TEST(ReportTool, RtfFileHoldsTheReportLinesAsTheProgramSavesThem)
{
    namespace doc = kalvanta::doc;
    TempDir dir;
    struct Case {
        std::vector<std::string> files;
        int sizeHalfPoints; // DejaVu Sans 8 pt; 12 px once a one-year report set a 14-pixel cell
    };
    const Case cases[] = {{{kTwoYear}, 16}, {{kTwoYear, kOneYear}, 18}};
    for (const Case& c : cases) {
        const std::string rtf = dir.file("report.rtf");
        std::vector<std::string> args = {"--date", "2026-12-08", "--rtf", rtf};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const Outcome o = runTool(args);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_TRUE(readFile(rtf).starts_with("{\\rtf1"));
        const doc::LoadResult saved = doc::loadDocumentFileWithFormat(rtf);
        EXPECT_EQ(saved.format, doc::SourceFormat::Rtf);
        EXPECT_EQ(saved.document.lines(), lines(o.out));
        EXPECT_EQ(saved.document.defaultFont, (doc::DocumentFont{"DejaVu Sans", c.sizeHalfPoints, 204}));
        for (const doc::Paragraph& p : saved.document.paragraphs)
            for (const doc::Run& run : p.runs)
                EXPECT_EQ(run.format, doc::CharFormat{}); // no font of their own, as appended lines
    }
}

TEST(ReportTool, RtfFileKeepsTheLinesBeforeAnArithmeticError)
{
    TempDir dir;
    const std::string input = dir.file("zero-revenue.json");
    writeFile(input, oneYearWith("\"Revenue\": 35719", "\"Revenue\": 0"));
    const std::string rtf = dir.file("r.rtf");
    const Outcome o = runTool({"--date", "2026-12-08", "--rtf", rtf, input});
    EXPECT_EQ(o.status, 1) << o.err;
    ASSERT_NE(o.out.find(" Относительные коэффициенты ликвидности"), std::string::npos);
    EXPECT_EQ(kalvanta::doc::loadDocumentFile(rtf).lines(), lines(o.out));
}

TEST(ReportTool, RtfFileThatCannotBeCreatedIsNamed)
{
    const Outcome o = runTool({"--date", "2026-12-08", "--rtf", "/nonexistent-folder/r.rtf", kTwoYear});
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.out, expectedReport("worked_two_year.txt"));
    EXPECT_EQ(o.err, "kalvanta-report: Cannot create file \"/nonexistent-folder/r.rtf\". No such file or directory\n");
    EXPECT_NE(runTool({"--help"}).out.find("--rtf FILE"), std::string::npos);
    EXPECT_EQ(runTool({"--rtf"}).status, 2);
    EXPECT_EQ(runTool({"--rtf=", kTwoYear}).status, 2);
}

} // namespace
