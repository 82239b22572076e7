// LibreOffice Calc reads the XLSX and both CSV dialects into the same cells:
// each is converted to CSV by Calc itself, quoting every text cell and no
// number, and every conversion must equal the table's cells: numbers as
// numbers with the report's figures, texts as texts.
#include <gtest/gtest.h>

#include <cstdlib>

#include "indicators/batch.h"
#include "indicators/table_writers.h"
#include "table_test_support.h"

namespace {

using namespace kalvanta::indicators;
using namespace kalvanta::indicators::testing;

std::string withoutCarriageReturns(std::string s)
{
    std::erase(s, '\r');
    return s;
}

TEST(LibreOffice, ReadsXlsxAndBothCsvDialectsIntoTheSameCells)
{
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "soffice (libreoffice-calc-nogui) is not installed";
    TempFolder dir;
    writeFile(dir / "in/a.json", readFile(kTwoYear));
    writeFile(dir / "in/b.json", readFile(kOneYear));
    // Texts that need quoting in one dialect or the other.
    writeFile(dir / "in/c.json", R"({"EnterpriseName": "ООО \"Вектор\"; филиал, Казань", "UnitName": "руб.", "YearCount": 1})");
    writeFile(dir / "in/d.json", "{\"YearCount\": 2,");
    const InputFileList inputs = collectInputFiles({dir / "in"});
    ASSERT_EQ(inputs.files.size(), 4u);

    const std::pair<TableFormat, std::string> tables[] = {
        {TableFormat::Csv, "rfc.csv"}, {TableFormat::CsvRussian, "ru.csv"}, {TableFormat::Xlsx, "book.xlsx"}};
    std::vector<IndicatorRow> rows;
    runBatch(inputs.files, BatchControl{}, [&](std::size_t, IndicatorRow& r) { rows.push_back(r); });
    for (const auto& [format, name] : tables) {
        TableFileWriter w(dir / name, format);
        for (const IndicatorRow& r : rows)
            w.writeRow(r);
        w.commit();
    }
    // The cells as Calc writes them: texts quoted, numbers bare, empty cells empty.
    const auto quoted = [](const std::string& text) {
        std::string q = "\"";
        for (char c : text)
            q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\"";
    };
    std::string expected;
    for (const IndicatorColumn& c : indicatorColumns()) {
        if (!expected.empty())
            expected += ',';
        expected += quoted(c.id);
    }
    expected += "\n";
    for (const IndicatorRow& r : rows) {
        for (std::size_t i = 0; i < r.cells.size(); ++i) {
            if (i)
                expected += ',';
            if (const double* d = std::get_if<double>(&r.cells[i]))
                expected += numberText(*d);
            else if (const std::string* t = std::get_if<std::string>(&r.cells[i]); t && !t->empty())
                expected += quoted(*t);
        }
        expected += "\n";
    }

    // Calc's own CSV: comma, double quote, UTF-8, every text cell quoted, cells as stored, not as shown.
    const std::string profile = "-env:UserInstallation=file://" + (dir / "profile");
    const std::string out = " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,false,false'"
                            " --outdir " + (dir / "out") + " ";
    const std::pair<std::string, std::string> conversions[] = {
        {"", "book.xlsx"},
        {" --infilter='CSV:44,34,76,1,,1033'", "rfc.csv"},  // comma, UTF-8, English (point) numbers
        {" --infilter='CSV:59,34,76,1,,1049'", "ru.csv"},   // semicolon, UTF-8, Russian (comma) numbers
    };
    ASSERT_GT(std::count(expected.begin(), expected.end(), '\n'), 4);
    for (const auto& [filter, name] : conversions) {
        const std::string command =
            "soffice " + profile + " --headless" + filter + out + (dir / name) + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::string converted = dir / ("out/" + name.substr(0, name.rfind('.')) + ".csv");
        EXPECT_EQ(withoutCarriageReturns(readFile(converted)), expected) << name;
    }
}

} // namespace
