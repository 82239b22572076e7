// The histories' workbook as LibreOffice Calc shows it: each sheet
// converted to CSV by Calc itself, cells as shown (so in the report's
// decimals), compared row by row; what is not defined is "—" with the
// report's own reason beside it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "history/history_report.h"
#include "history/history_workbook.h"
#include "history_test_util.h"
#include "indicators/table_writers.h"
#include "support/file_size_limit.h"

namespace kalvanta::history {
namespace {

using test::fileOf;
using test::statement;

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kalvanta-book-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// RFC 4180 as Calc writes it: rows of cells, quotes undone.
std::vector<std::vector<std::string>> csvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                rows.back().back() += text[++i];
            else if (c == '"')
                quoted = false;
            else
                rows.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\n') {
            rows.emplace_back(1);
        } else if (c != '\r') {
            rows.back().back() += c;
        }
    }
    if (rows.back().size() == 1 && rows.back()[0].empty())
        rows.pop_back();
    return rows;
}

std::string joined(const std::vector<std::string>& cells, std::size_t from)
{
    std::string out;
    for (std::size_t i = from; i < cells.size(); ++i)
        out += (i > from ? "|" : "") + cells[i];
    return out;
}

// Two years from one statement: 2023 has no short-term liabilities, so its
// current ratio divides by zero and 1500's change has no base; the ratios on
// averages lack 2022.
CompanyHistory twoYears()
{
    const auto h = buildHistories({fileOf({statement("a.xml", "7700000000", 2024,
                                                     {{1100, 50, 40, std::nullopt},
                                                      {1200, 50, 40, std::nullopt},
                                                      {1300, 75, 80, std::nullopt},
                                                      {1500, 25, 0, std::nullopt},
                                                      {1600, 100, 80, std::nullopt},
                                                      {2110, 200, 150, std::nullopt},
                                                      {2400, 10, 5, std::nullopt}})})});
    return h.at(0);
}

TEST(HistoryWorkbook, SheetsAsCalcShowsThem)
{
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "soffice (libreoffice-calc-nogui) is not installed";
    TempDir dir;
    const CompanyHistory h = twoYears();
    writeHistoryWorkbook(dir.file("book.xlsx"), {h});
    // Every sheet, cells as shown, in Calc's English locale (a point).
    const std::string command = "cd " + dir.file("") + " && LC_ALL=C.UTF-8 soffice -env:UserInstallation=file://" +
                                dir.file("profile") +
                                " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,"
                                "true,true,false,false,-1' --outdir out book.xlsx >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto sheet = [&](const std::string& name) { return csvRows(readFile(dir.file("out/book-" + name + ".csv"))); };

    for (const char* name : {kBalanceSheet, kProfitLossSheet, kRatiosSheet, kModelsSheet}) {
        const auto rows = sheet(name);
        ASSERT_GE(rows.size(), 3u) << name;
        EXPECT_EQ(joined(rows[0], 0), "Показатель|2023|2024|Не определено") << name;
        EXPECT_EQ(rows[1][0], "ИНН 7700000000 — ООО \"Проба\"") << name;
    }
    EXPECT_EQ(joined(sheet(kNotesSheet).at(0), 0), "Компания|Примечание");

    const std::vector<std::string> report = historyReportLines(h, ".");
    const struct {
        const char* sheet;
        const char* table;
        const char* label;
        const char* cells; // 2023|2024|the reason
    } cases[] = {
        {kBalanceSheet, "Баланс на 31 декабря, тыс. руб.", "1500 Итого краткосрочные обязательства", "0|25|"},
        {kBalanceSheet, "Доля в итоге баланса (строка 1600), %", "1300 Итого капитал и резервы", "100.0%|75.0%|"},
        {kBalanceSheet, "Изменение к предыдущему году, тыс. руб.", "1300 Итого капитал и резервы", "|-5|"},
        {kBalanceSheet, "Изменение к предыдущему году, %", "1300 Итого капитал и резервы", "|-6.3%|"},
        {kBalanceSheet, "Изменение к предыдущему году, %", "1500 Итого краткосрочные обязательства",
         "|—|2024 — делитель равен нулю"},
        {kProfitLossSheet, "Отчет о финансовых результатах за год, тыс. руб.", "2110 Выручка", "150|200|"},
        {kRatiosSheet, "Коэффициенты по годам", "Коэффициент текущей ликвидности", "—|2.00|2023 — делитель равен нулю"},
        {kRatiosSheet, "Коэффициенты по годам", "Рентабельность активов, %", "—|11.1%|2023 — нет данных за 2022 год"},
        {kModelsSheet, "Чистые активы", "Чистые активы, тыс. руб.", "80|75|"},
    };
    // The models' sheet ends with the report's sentence on them.
    const auto summary = std::find_if(report.begin(), report.end(), [](const std::string& l) {
        return l.starts_with("По данным 2024 года ");
    });
    ASSERT_NE(summary, report.end());
    const auto models = sheet(kModelsSheet);
    EXPECT_EQ(joined(models.at(models.size() - 1), 0), *summary + "|||");
    for (const auto& c : cases) {
        const auto rows = sheet(c.sheet);
        const auto title = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r[0] == c.table; });
        ASSERT_NE(title, rows.end()) << c.table;
        const auto row = std::find_if(title, rows.end(), [&](const auto& r) { return r[0] == c.label; });
        ASSERT_NE(row, rows.end()) << c.label;
        EXPECT_EQ(joined(*row, 1), c.cells) << c.table << ": " << c.label;
        // The reason is the report's own, word for word.
        const std::string reason = row->back();
        if (!reason.empty()) {
            EXPECT_NE(std::find(report.begin(), report.end(), "  " + std::string(c.label) + ": " + reason), report.end())
                << reason;
        }
    }
}

// A full disc, as the process meets it (writes past a file-size limit
// fail): the save fails naming the file, and the file that was there stays.
TEST(HistoryWorkbook, AFullDiscKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.file("book.xlsx");
    std::ofstream(path) << "previous book";
    std::string error;
    try {
        const kalvanta::test::FileSizeLimit full(4096);
        writeHistoryWorkbook(path, {twoYears(), twoYears()});
    } catch (const indicators::TableFileError& e) {
        error = e.what();
    }
    EXPECT_EQ(error.substr(0, 25 + path.size()), "cannot write the table \"" + path + "\"") << error;
    EXPECT_EQ(readFile(path), "previous book");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), std::filesystem::directory_iterator()), 1);
}

} // namespace
} // namespace kalvanta::history
