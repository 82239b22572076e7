// The table's file formats: cells in each dialect, the JSON objects, the
// format by name and extension, and saving that never leaves a half-written file.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "indicators/table_writers.h"
#include "support/file_size_limit.h"
#include "table_test_support.h"

namespace {

using namespace kalvanta::indicators;
using namespace kalvanta::indicators::testing;

struct CellCase {
    Cell cell;
    const char* csv;
    const char* russian;
};

TEST(TableCells, EachDialectWritesNumbersAndTextsSo)
{
    const CellCase cases[] = {
        {Cell{}, "", ""},
        {0.56, "0.56", "0,56"},
        {-5331.0, "-5331", "-5331"},
        {0.009, "0.009", "0,009"},
        {1e20, "1E20", "1E20"},
        {0.00005, "5E-5", "5E-5"},
        {-0.0, "0", "0"},
        {std::string("(0,0,0)"), "\"(0,0,0)\"", "(0,0,0)"},
        {std::string("ООО \"Ромашка\"; филиал"), "\"ООО \"\"Ромашка\"\"; филиал\"",
         "\"ООО \"\"Ромашка\"\"; филиал\""},
        {std::string("a;b"), "a;b", "\"a;b\""},
        {std::string("two\nlines"), "\"two\nlines\"", "\"two\nlines\""},
        {std::string("cr\rhere"), "\"cr\rhere\"", "\"cr\rhere\""},
        {std::string("bad \xFF byte"), "bad \xEF\xBF\xBD byte", "bad \xEF\xBF\xBD byte"},
        {std::string("overlong \xC0\xAF"), "overlong \xEF\xBF\xBD\xEF\xBF\xBD", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const CellCase& c : cases) {
        EXPECT_EQ(csvField(c.cell, TableFormat::Csv), c.csv);
        EXPECT_EQ(csvField(c.cell, TableFormat::CsvRussian), c.russian);
    }
}

TEST(TableCells, JsonLineHoldsTheFilledCellsByColumnId)
{
    IndicatorRow row = refusedRow("dir/\"q\"\\x.json", "bad\tkey \x01 here");
    row.cells[columnIndex("z_score_y1")] = 4.01;
    row.cells[columnIndex("rating_y2")] = -12.0;
    EXPECT_EQ(jsonLine(row), "{\"file\":\"dir/\\\"q\\\"\\\\x.json\",\"status\":\"refused\","
                             "\"error\":\"bad\\tkey \\u0001 here\",\"z_score_y1\":4.01,\"rating_y2\":-12}\n");
}

TEST(TableFormats, ByNameAndByExtension)
{
    const std::pair<const char*, std::optional<TableFormat>> byExtension[] = {
        {"a.csv", TableFormat::Csv},        {"dir.x/A.XLSX", TableFormat::Xlsx},
        {"t.jsonl", TableFormat::JsonLines}, {"t.ndjson", TableFormat::JsonLines},
        {"t.txt", std::nullopt},             {"table", std::nullopt},
        {"dir.csv/table", std::nullopt},     {".csv", std::nullopt},
    };
    for (const auto& [name, format] : byExtension)
        EXPECT_EQ(formatFromExtension(name), format) << name;
    for (TableFormat f : {TableFormat::Csv, TableFormat::CsvRussian, TableFormat::Xlsx, TableFormat::JsonLines})
        EXPECT_EQ(formatFromName(formatName(f)), f);
    EXPECT_EQ(formatFromName("xls"), std::nullopt);
}

IndicatorRow sampleRow(int i)
{
    IndicatorRow row = refusedRow("file" + std::to_string(i) + ".json", "");
    row.cells[columnIndex("status")] = std::string("analysed");
    row.cells[columnIndex("z_score_y1")] = 1.5 + i;
    return row;
}

TEST(TableSaving, TextTablesHaveTheHeaderAndOneLinePerRow)
{
    TempFolder dir;
    const std::size_t columns = indicatorColumns().size();
    for (TableFormat f : {TableFormat::Csv, TableFormat::CsvRussian, TableFormat::JsonLines}) {
        const std::string path = dir / (std::string("t-") + formatName(f));
        TableFileWriter w(path, f);
        for (int i = 0; i < 3; ++i)
            w.writeRow(sampleRow(i));
        w.commit();
        const std::string text = readFile(path);
        const char sep = f == TableFormat::CsvRussian ? ';' : ',';
        EXPECT_EQ(text.starts_with("\xEF\xBB\xBF"), f == TableFormat::CsvRussian) << formatName(f);
        if (f == TableFormat::JsonLines) {
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
            EXPECT_NE(text.find("\"z_score_y1\":3.5}"), std::string::npos);
        } else {
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
            EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 4); // CRLF line ends
            const std::string header = text.substr(0, text.find("\r\n"));
            EXPECT_EQ(static_cast<std::size_t>(std::count(header.begin(), header.end(), sep)), columns - 1);
            EXPECT_NE(header.find(std::string("file") + sep + "status" + sep + "error"), std::string::npos);
            EXPECT_NE(text.find(f == TableFormat::Csv ? "3.5" : "3,5"), std::string::npos);
        }
    }
    EXPECT_EQ(dir.temporaries(), 0);
}

TEST(TableSaving, XlsxIsAZipWorkbook)
{
    TempFolder dir;
    TableFileWriter w(dir / "t.xlsx", TableFormat::Xlsx);
    w.writeRow(sampleRow(0));
    w.commit();
    const std::string bytes = readFile(dir / "t.xlsx");
    EXPECT_TRUE(bytes.starts_with("PK\x03\x04")) << bytes.size();
    EXPECT_EQ(dir.temporaries(), 0);
}

// The target stays as it was until the table is complete.
TEST(TableSaving, AnUnfinishedTableLeavesTheOldFileAndNoTemporary)
{
    TempFolder dir;
    for (TableFormat f : {TableFormat::Csv, TableFormat::Xlsx}) {
        const std::string path = dir / "old";
        writeFile(path, "previous table");
        ::chmod(path.c_str(), 0640);
        {
            TableFileWriter w(path, f);
            w.writeRow(sampleRow(1));
            EXPECT_EQ(readFile(path), "previous table");
        } // abandoned: never committed
        EXPECT_EQ(readFile(path), "previous table") << formatName(f);
        EXPECT_EQ(dir.temporaries(), 0) << formatName(f);
        {
            TableFileWriter w(path, f);
            w.writeRow(sampleRow(1));
            w.commit();
        }
        EXPECT_NE(readFile(path), "previous table");
        struct stat st {};
        ::stat(path.c_str(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
    }
}

TEST(TableSaving, TargetsThatCannotBeWrittenAreRefusedByName)
{
    TempFolder dir;
    std::filesystem::create_directory(dir.path() / "folder");
    const std::pair<std::string, const char*> cases[] = {
        {dir / "missing/t.csv", "cannot create a file in its folder"},
        {dir / "folder", "it is a folder"},
        {"/dev/null", "it is not a regular file"},
        {"", "no file name"},
    };
    for (const auto& [path, why] : cases) {
        for (TableFormat f : {TableFormat::Csv, TableFormat::Xlsx}) {
            try {
                TableFileWriter w(path, f);
                ADD_FAILURE() << path << " was accepted";
            } catch (const TableFileError& e) {
                EXPECT_NE(std::string(e.what()).find("\"" + path + "\""), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
            }
        }
    }
    EXPECT_THROW(TableFileWriter("-", TableFormat::Xlsx), TableFileError);
}

// A full disc, as the process meets it: writes past a file-size limit fail.
TEST(TableSaving, AFullDiscFailsTheSaveAndKeepsTheOldFile)
{
    TempFolder dir;
    for (TableFormat f : {TableFormat::Csv, TableFormat::JsonLines, TableFormat::Xlsx}) {
        const std::string path = dir / "full";
        writeFile(path, "previous table");
        bool failed = false;
        try {
            const kalvanta::test::FileSizeLimit full(4096);
            TableFileWriter w(path, f);
            for (int i = 0; i < 2000; ++i)
                w.writeRow(sampleRow(i));
            w.commit();
        } catch (const TableFileError& e) {
            failed = true;
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_TRUE(failed) << formatName(f);
        EXPECT_EQ(readFile(path), "previous table") << formatName(f);
        EXPECT_EQ(dir.temporaries(), 0) << formatName(f);
    }
}

} // namespace
