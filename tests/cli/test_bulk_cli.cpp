// kalvanta-report --table over the statistics office's bulk files: the
// refused rows and the summary line on standard error, the filters' counts,
// the usage errors.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../history/bulk_test_util.h"
#include "cli/report_tool.h"

namespace kalvanta::cli {
namespace {

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

std::string bulkFile()
{
    using namespace history::test;
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i)
        lines.push_back(bulkLine(company("770000000" + std::to_string(i), "46.31", 600 + 100 * i, 800 + 80 * i)));
    lines.push_back(bulkLine(company("7800000010", "47.11")));
    BulkSpec shortRow = company("7700000011", "46.31");
    shortRow.extraFields = -2;
    lines.push_back(bulkLine(shortRow));
    lines.push_back("");
    return writeBulkFile("data-20200327-structure-20171231.csv", lines);
}

TEST(BulkCli, SummaryLineAndRefusedRows)
{
    const std::string input = bulkFile();
    const std::string table = std::filesystem::path(input).parent_path() / "screen.csv";
    struct Case {
        std::vector<std::string> options;
        std::string summary;
    };
    const std::vector<Case> cases = {
        {{}, "12 rows read, 1 refused, 0 filtered out, 11 written (22 table rows)"},
        {{"--okved", "47"}, "12 rows read, 1 refused, 10 filtered out, 1 written (2 table rows)"},
        {{"--region", "78"}, "12 rows read, 1 refused, 10 filtered out, 1 written (2 table rows)"},
        {{"--min-revenue", "1000", "-j", "2"}, "12 rows read, 1 refused, 3 filtered out, 8 written (16 table rows)"},
        {{"--no-percentiles"}, "12 rows read, 1 refused, 0 filtered out, 11 written (22 table rows)"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--table", table};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(input);
        const ToolRun r = run(args);
        EXPECT_EQ(r.status, kExitOk);
        EXPECT_EQ(r.err, "kalvanta-report: " + input + ": line 12: 264 fields instead of 266; the row is passed over\n"
                         "kalvanta-report: " + c.summary + "; table \"" + table + "\" (csv)\n");
        std::ifstream in(table);
        std::string header;
        std::getline(in, header);
        if (header.ends_with('\r'))
            header.pop_back(); // RFC 4180 ends its lines so
        EXPECT_TRUE(header.ends_with(",okved,current_ratio_industry_pct,autonomy_industry_pct,roa_industry_pct,"
                                     "return_on_sales_industry_pct,asset_turnover_industry_pct,"
                                     "altman_z_1983_industry_pct,models_high_risk_industry_pct"))
            << header;
    }
}

TEST(BulkCli, UsageAndFileErrors)
{
    const std::string input = bulkFile();
    const std::string dir = std::filesystem::path(input).parent_path();
    const std::string noYear = dir + "/bdboo.csv";
    std::filesystem::copy_file(input, noYear, std::filesystem::copy_options::overwrite_existing);
    const std::string statement = dir + "/statement.json";
    std::ofstream(statement) << "{}";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--table", dir + "/t.csv", noYear}, kExitBadInput,
         "kalvanta-report: " + noYear + ": the reporting year is not in the file's name (\"…-<year>1231.csv\"); give "
         "it with --year; the table was not written\n"},
        {{"--table", dir + "/t.csv", input, statement}, kExitBadInput,
         "kalvanta-report: \"" + statement + "\" is not a bulk file of the statistics office (266 fields a row, "
         "separated by \";\"); bulk files and statements do not go in one table\n"},
        {{"--region", "7", "--table", dir + "/t.csv", input}, kExitBadInput,
         "kalvanta-report: invalid region \"7\" for --region (two digits, e.g. 77)\nTry \"kalvanta-report --help\".\n"},
        {{"--year", "17", "--table", dir + "/t.csv", input}, kExitBadInput,
         "kalvanta-report: invalid year \"17\" for --year (1990 to 2100)\nTry \"kalvanta-report --help\".\n"},
        {{"--okved", "46", input}, kExitBadInput,
         "kalvanta-report: --year, --okved, --region, --min-revenue and --no-percentiles go with --table\n"
         "Try \"kalvanta-report --help\".\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(run({"--year", "2017", "--table", dir + "/t.csv", noYear}).status, kExitOk);
}

} // namespace
} // namespace kalvanta::cli
