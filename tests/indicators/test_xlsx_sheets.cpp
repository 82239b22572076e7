// The XLSX table as a spreadsheet reader meets it, read with unzip and an
// XML parser: the sheet of indicators and the sheet naming every column in
// the report's wording, each column as wide as its longest text.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "indicators/table_writers.h"
#include "table_test_support.h"

namespace {

using namespace kalvanta::indicators;
using namespace kalvanta::indicators::testing;

// One member of the workbook as unzip gives it.
std::string member(const std::string& book, const std::string& name, const TempFolder& dir)
{
    const std::string out = dir / "member.xml";
    const std::string command = "unzip -p '" + book + "' '" + name + "' >'" + out + "'";
    return std::system(command.c_str()) == 0 ? readFile(out) : std::string();
}

struct Sheet {
    std::vector<std::vector<std::string>> rows; // cell texts, numbers as written
    std::map<int, double> widths;               // by column number from 1
};

Sheet readSheet(const std::string& xml)
{
    Sheet sheet;
    pugi::xml_document doc;
    if (!doc.load_string(xml.c_str()))
        return sheet;
    const pugi::xml_node root = doc.child("worksheet");
    for (const pugi::xml_node col : root.child("cols").children("col"))
        sheet.widths[col.attribute("min").as_int()] = col.attribute("width").as_double();
    for (const pugi::xml_node row : root.child("sheetData").children("row")) {
        std::vector<std::string>& cells = sheet.rows.emplace_back();
        for (const pugi::xml_node c : row.children("c")) {
            const pugi::xml_node inlineText = c.child("is").child("t");
            cells.emplace_back(inlineText ? inlineText.text().get() : c.child("v").text().get());
        }
    }
    return sheet;
}

// libxlsxwriter states a width of n characters as n + 0.7109375 (Excel's padding).
int characters(double width) { return static_cast<int>(std::floor(width)); }

TEST(XlsxSheets, ColumnsAreNamedInTheReportsWordingAndFittedToTheirText)
{
    if (std::system("command -v unzip >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "unzip is not installed";
    TempFolder dir;
    const std::string book = dir / "t.xlsx";
    {
        TableFileWriter w(book, TableFormat::Xlsx);
        IndicatorRow shortName = refusedRow("a.json", "");
        shortName.cells[columnIndex("status")] = std::string("analysed");
        shortName.cells[columnIndex("z_score_y1")] = 1.5;
        w.writeRow(shortName);
        w.writeRow(refusedRow("папка/" + std::string(80, 'x') + ".json", "нет файла"));
        w.commit();
    }
    const std::string workbook = member(book, "xl/workbook.xml", dir);
    const std::size_t first = workbook.find("<sheet name=\"indicators\"");
    ASSERT_NE(first, std::string::npos) << workbook;
    EXPECT_NE(workbook.find("<sheet name=\"columns\"", first), std::string::npos) << workbook;

    // The indicators: each column as wide as its header or longest cell
    // (in characters, Cyrillic counted once), a margin of two, at most 60 + 2.
    const Sheet data = readSheet(member(book, "xl/worksheets/sheet1.xml", dir));
    ASSERT_EQ(data.rows.size(), 3u);
    const struct {
        const char* column;
        int width;
    } fitted[] = {
        {"file", 62},       // an 91-character name, capped
        {"status", 10},     // "analysed" and "refused" under "status"
        {"error", 11},      // "нет файла": nine characters, not eighteen bytes
        {"z_score_y1", 12}, // the header is longer than 1.5
        {"tax_number", 12}, // only the header
    };
    for (const auto& f : fitted) {
        const int column = static_cast<int>(columnIndex(f.column)) + 1;
        ASSERT_TRUE(data.widths.count(column)) << f.column;
        EXPECT_EQ(characters(data.widths.at(column)), f.width) << f.column;
    }
    EXPECT_EQ(data.widths.size(), indicatorColumns().size());

    // The captions: one row per column, in table order, under a header.
    const Sheet captions = readSheet(member(book, "xl/worksheets/sheet2.xml", dir));
    const auto& columns = indicatorColumns();
    ASSERT_EQ(captions.rows.size(), columns.size() + 1);
    EXPECT_EQ(captions.rows[0], (std::vector<std::string>{"column", "caption", "section"}));
    std::size_t longestId = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(captions.rows[i + 1],
                  (std::vector<std::string>{columns[i].id, columns[i].caption, std::to_string(columns[i].section)}))
            << columns[i].id;
        longestId = std::max(longestId, columns[i].id.size());
    }
    EXPECT_EQ(captions.rows[1], (std::vector<std::string>{"file", "Файл", "0"}));
    EXPECT_EQ(characters(captions.widths.at(1)), static_cast<int>(longestId) + 2);
    EXPECT_EQ(characters(captions.widths.at(2)), 62); // captions run to 73 characters
    EXPECT_EQ(characters(captions.widths.at(3)), 9);  // "section"
}

} // namespace
