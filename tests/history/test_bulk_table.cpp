// The screening table of bulk files: the industry percentiles on a class
// checked by hand, the rule of ten, the filters and the counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "bulk_test_util.h"
#include "history/bulk_table.h"
#include "history/history_table.h"
#include "indicators/table_writers.h"

namespace kalvanta::history {
namespace {

using indicators::Cell;

std::size_t column(const std::string& name)
{
    const auto& c = bulkTableLayout().columns;
    const auto it = std::find(c.begin(), c.end(), name);
    EXPECT_NE(it, c.end()) << name;
    return static_cast<std::size_t>(it - c.begin());
}

std::string text(const Cell& c)
{
    if (const double* d = std::get_if<double>(&c))
        return indicators::exactNumberText(*d);
    if (const std::string* s = std::get_if<std::string>(&c))
        return *s;
    return "";
}

struct Screened {
    BulkTableSummary summary;
    std::vector<std::string> refused;
    std::vector<std::vector<Cell>> rows;
    // tax number and year to the cell of a column
    std::string cell(const std::string& inn, int year, const std::string& name) const
    {
        for (const auto& r : rows)
            if (text(r[1]) == inn && text(r[2]) == std::to_string(year))
                return text(r[column(name)]);
        return "(no row)";
    }
};

Screened screen(const std::vector<std::string>& files, BulkTableControl control)
{
    Screened run;
    run.summary = runBulkTable(
        files, control, [&](const std::string& r) { run.refused.push_back(r); },
        [&](const std::vector<Cell>& row) { run.rows.push_back(row); });
    return run;
}

// Eleven wholesalers (46) whose current ratios 2017 are 1.2, 1.4 … 3.0 and
// 2.0 once more, return on sales 0.25 but one 0.24; their 2016 balances are alike (ratio 1 each). One retailer
// (47) alone, one row broken.
std::string classFile()
{
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i)
        lines.push_back(test::bulkLine(
            test::company("770000000" + std::to_string(i), i == 9 ? "46.90" : "46.31", 600 + 100 * i, 800 + 80 * i)));
    lines.push_back(test::bulkLine(test::company("7800000010", "46.31", 1000, 50)));
    lines.push_back(test::bulkLine(test::company("7700000011", "47.11", 900)));
    test::BulkSpec broken = test::company("7700000012", "46.31");
    broken.inn = "";
    lines.push_back(test::bulkLine(broken));
    lines.push_back("");
    return test::writeBulkFile("data-20200327-structure-20171231.csv", lines);
}

TEST(BulkTable, PercentileRule)
{
    const std::vector<double> ten = {1, 2, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_DOUBLE_EQ(*industryPercentile(ten, 2), 20);   // (1 below + 2 equal / 2) / 10
    EXPECT_DOUBLE_EQ(*industryPercentile(ten, 1), 5);    // (0 + 1/2) / 10
    EXPECT_DOUBLE_EQ(*industryPercentile(ten, 9), 95);
    EXPECT_DOUBLE_EQ(*industryPercentile(ten, 10), 100); // a value of the row itself is in the list, though
    EXPECT_FALSE(industryPercentile(std::vector<double>(ten.begin(), ten.end() - 1), 2).has_value());
}

TEST(BulkTable, IndustryPercentilesOfAHandCheckedClass)
{
    const Screened run = screen({classFile()}, {});
    EXPECT_EQ(run.summary.read, 13u);
    EXPECT_EQ(run.summary.refused, 1u);
    EXPECT_EQ(run.summary.filtered, 0u);
    EXPECT_EQ(run.summary.written, 12u);
    EXPECT_EQ(run.summary.rows, 24u);
    ASSERT_EQ(run.refused.size(), 1u);
    EXPECT_NE(run.refused[0].find("data-20200327-structure-20171231.csv: line 13: no INN (field 6); the row is passed over"),
              std::string::npos)
        << run.refused[0];

    struct Expect {
        std::string inn;
        int year;
        std::string column, value;
    };
    const std::vector<Expect> expected = {
        {"7700000000", 2017, "current_ratio", "1.2"},
        {"7700000000", 2017, "current_ratio_industry_pct", "4.545454545454546"},  // 0.5 / 11
        {"7700000004", 2017, "current_ratio_industry_pct", "45.45454545454545"},  // (4 + 1) / 11
        {"7800000010", 2017, "current_ratio_industry_pct", "45.45454545454545"},  // the same ratio
        {"7700000009", 2017, "current_ratio_industry_pct", "95.45454545454545"},  // 46.90 is 46 too
        {"7700000003", 2016, "current_ratio_industry_pct", "50"},                 // eleven alike
        {"7700000003", 2016, "roa", ""},                                          // no balance of 2015
        {"7700000003", 2016, "roa_industry_pct", ""},
        {"7700000003", 2017, "return_on_sales", "0.25"},
        {"7700000003", 2017, "return_on_sales_industry_pct", "54.54545454545454"}, // (1 + 10 / 2) / 11
        {"7700000011", 2017, "current_ratio", "1.8"},
        {"7700000011", 2017, "current_ratio_industry_pct", ""},                   // a class of one
        {"7700000011", 2017, "okved", "47.11"},
        {"7700000009", 2017, "okved", "46.90"},
    };
    for (const Expect& e : expected)
        EXPECT_EQ(run.cell(e.inn, e.year, e.column), e.value) << e.inn << " " << e.year << " " << e.column;
}

TEST(BulkTable, FiltersAndTheClassesTheyLeave)
{
    const std::string file = classFile();
    struct FilterCase {
        const char* what;
        BulkTableControl control;
        std::size_t filtered, written;
        std::string pctOfFirst; // current_ratio_industry_pct of 7700000000, 2017
    };
    BulkTableControl okved, region, revenue, none, year;
    okved.okvedPrefix = "46.3";
    region.region = "78";
    revenue.minRevenue = 850;
    none.percentiles = false;
    year.year = 2018;
    const std::vector<FilterCase> cases = {
        // ten of 46.3 left: ranks among ten
        {"okved", okved, 2, 10, "5"},
        {"region", region, 11, 1, "(no row)"},
        // 800 and 50 of revenue left out: nine of 46 left, fewer than ten
        {"revenue", revenue, 2, 10, "(no row)"},
        {"without percentiles", none, 0, 12, ""},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.what);
        const Screened run = screen({file}, c.control);
        EXPECT_EQ(run.summary.read, 13u);
        EXPECT_EQ(run.summary.refused, 1u);
        EXPECT_EQ(run.summary.filtered, c.filtered);
        EXPECT_EQ(run.summary.written, c.written);
        EXPECT_EQ(run.cell("7700000000", 2017, "current_ratio_industry_pct"), c.pctOfFirst);
    }
    const Screened revenueRun = screen({file}, revenue);
    EXPECT_EQ(revenueRun.cell("7700000001", 2017, "current_ratio"), "1.4");
    EXPECT_EQ(revenueRun.cell("7700000001", 2017, "current_ratio_industry_pct"), "");
    // --year stands over the file's name.
    EXPECT_EQ(screen({file}, year).cell("7700000000", 2018, "current_ratio"), "1.2");
}

TEST(BulkTable, AFileWithoutItsYearIsRefusedBeforeAnyRow)
{
    const std::string path = test::writeBulkFile("bdboo.csv", {test::bulkLine(test::company("7701234567", "46.31"))});
    try {
        screen({path}, {});
        FAIL() << "no error";
    } catch (const BulkFileError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": the reporting year is not in the file's name (\"…-<year>1231.csv\"); "
                                                "give it with --year");
    }
    BulkTableControl missing;
    missing.year = 2017;
    EXPECT_THROW(screen({path + ".absent"}, missing), BulkFileError);
}

TEST(BulkTable, TheSameTableOnTwoThreads)
{
    const std::string file = classFile();
    BulkTableControl two;
    two.jobs = 2;
    const Screened one = screen({file}, {}), both = screen({file}, two);
    ASSERT_EQ(one.rows.size(), both.rows.size());
    for (std::size_t i = 0; i < one.rows.size(); ++i)
        for (std::size_t c = 0; c < one.rows[i].size(); ++c)
            EXPECT_EQ(text(one.rows[i][c]), text(both.rows[i][c])) << i << " " << c;
}

// A class of 300: current ratios 2017 all different, in shuffled order, and
// all alike in 2016, so ranks are looked up far from either end of the list.
TEST(BulkTable, PercentilesOfALargeClass)
{
    constexpr int n = 300;
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i)
        lines.push_back(test::bulkLine(test::company(std::to_string(7700000000LL + i), "46.31", 600 + i * 7 % n)));
    const Screened run = screen({test::writeBulkFile("large-20171231.csv", lines)}, {});
    for (int i = 0; i < n; ++i) {
        const std::string inn = std::to_string(7700000000LL + i);
        const double expected = (i * 7 % n + 0.5) / n * 100;
        ASSERT_DOUBLE_EQ(std::stod(run.cell(inn, 2017, "current_ratio_industry_pct")), expected) << inn;
        ASSERT_EQ(run.cell(inn, 2016, "current_ratio_industry_pct"), "50") << inn;
    }
}

// Several blocks of lines over two files, one row broken: on two threads,
// with the workers making the table's lines, the file is the one that one
// thread writes from the rows.
TEST(BulkTable, ManyBlocksOnTwoThreadsWriteTheSameFile)
{
    std::vector<std::string> first, second;
    for (int i = 0; i < 5000; ++i) {
        test::BulkSpec c = test::company(std::to_string(7700000000LL + i), i % 3 ? "46.31" : "10.11", 500 + i % 700,
                                         1000 + i % 900);
        if (i == 4321)
            c.inn = "";
        (i < 3100 ? first : second).push_back(test::bulkLine(c));
    }
    const std::vector<std::string> files = {test::writeBulkFile("many-a-20171231.csv", first),
                                            test::writeBulkFile("many-b-20171231.csv", second)};
    const auto table = [&](unsigned jobs, bool percentiles) {
        const std::string path = files[0] + (jobs > 1 ? ".two.csv" : ".one.csv");
        indicators::TableFileWriter writer(path, indicators::TableFormat::CsvRussian, bulkTableLayout());
        BulkTableControl control;
        control.jobs = jobs;
        control.percentiles = percentiles;
        if (jobs > 1) {
            control.lineOf = [&](const std::vector<Cell>& row) { return writer.lineOf(row); };
            control.deliverLine = [&](std::string_view line) { writer.writeLine(line); };
        }
        std::size_t refused = 0;
        const BulkTableSummary s = runBulkTable(
            files, control, [&](const std::string&) { ++refused; },
            [&](const std::vector<Cell>& row) { writer.writeCells(row); });
        writer.commit();
        EXPECT_EQ(s.read, 5000u);
        EXPECT_EQ(refused, 1u);
        EXPECT_EQ(s.rows, 2u * 4999u);
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    for (const bool percentiles : {false, true}) {
        const std::string one = table(1, percentiles);
        EXPECT_GT(one.size(), 5000u * 2 * 100);
        EXPECT_TRUE(one == table(2, percentiles)) << "percentiles " << percentiles;
    }
}

} // namespace
} // namespace kalvanta::history
