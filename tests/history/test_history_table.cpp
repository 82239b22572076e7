// The history's table run: one pass while each company's files come
// together, a restart into two passes at the first company met again, the
// same rows either way; refused files named once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "history/history_table.h"

namespace kalvanta::history {
namespace {

namespace fs = std::filesystem;

// A line-code table of one year for a tax number.
std::string table(const std::string& inn, int year, int total)
{
    return "Организация;ООО \"Т" + inn + "\"\nИНН;" + inn + "\nЕдиница измерения;тыс. руб.\n" +
           "Наименование показателя;Код;На 31 декабря " + std::to_string(year) + " г.;На 31 декабря " +
           std::to_string(year - 1) + " г.;На 31 декабря " + std::to_string(year - 2) + " г.\n" +
           "Итого по разделу II;1200;" + std::to_string(total / 2) + ";1;1\nИтого по разделу V;1500;10;10;10\n" +
           "БАЛАНС;1600;" + std::to_string(total) + ";2;2\n";
}

struct Outcome {
    std::vector<std::string> rows; // year and current_ratio of each row, as "inn year ratio"
    std::vector<std::string> refused;
    int restarts = 0;
    HistoryTableSummary summary;
};

Outcome run(const std::vector<std::string>& files, bool canRestart)
{
    Outcome o;
    HistoryTableControl control;
    control.jobs = 2;
    if (canRestart)
        control.restart = [&] {
            ++o.restarts;
            o.rows.clear();
        };
    const auto& columns = historyTableLayout().columns;
    const std::size_t ratio = std::find(columns.begin(), columns.end(), "current_ratio") - columns.begin();
    o.summary = runHistoryTable(
        files, control, [&](const std::string& r) { o.refused.push_back(r); },
        [&](const std::vector<indicators::Cell>& row) {
            const double* v = std::get_if<double>(&row[ratio]);
            o.rows.push_back(std::get<std::string>(row[1]) + " " + std::to_string(static_cast<int>(std::get<double>(row[2]))) +
                             " " + (v ? std::to_string(*v) : "-"));
        });
    return o;
}

TEST(HistoryTable, SameRowsWhetherTheCompaniesFilesComeTogetherOrNot)
{
    const fs::path dir = fs::temp_directory_path() / ("kalvanta-history-table-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir / name) << text;
        return (dir / name).string();
    };
    const std::string a24 = write("a24.csv", table("7700000001", 2024, 40));
    const std::string a22 = write("a22.csv", table("7700000001", 2022, 20));
    const std::string b24 = write("b24.csv", table("7700000002", 2024, 60));
    const std::string bad = write("bad.csv", "not;a;table\n");
    const std::vector<std::string> expected = {
        "7700000001 2020 0.100000", "7700000001 2021 0.100000", "7700000001 2022 1.000000",
        "7700000001 2023 0.100000", "7700000001 2024 2.000000", "7700000002 2022 0.100000",
        "7700000002 2023 0.100000", "7700000002 2024 3.000000"};
    struct Case {
        const char* name;
        std::vector<std::string> files;
        bool canRestart;
        int restarts;
    };
    const std::vector<Case> cases = {
        {"together, one pass", {a24, a22, bad, b24}, true, 0},
        {"scattered, restarted", {a24, bad, b24, a22}, true, 1},
        {"scattered, no restart possible", {a24, bad, b24, a22}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = run(c.files, c.canRestart);
        EXPECT_EQ(o.rows, expected);
        EXPECT_EQ(o.restarts, c.restarts);
        ASSERT_EQ(o.refused.size(), 1u); // named once, also across the restart
        EXPECT_EQ(o.refused[0].rfind(bad + ": ", 0), 0u) << o.refused[0];
        EXPECT_EQ(o.summary.files, 3u);
        EXPECT_EQ(o.summary.refused, 1u);
        EXPECT_EQ(o.summary.companies, 2u);
        EXPECT_EQ(o.summary.rows, 8u);
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace kalvanta::history
