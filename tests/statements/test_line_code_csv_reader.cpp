#include <gtest/gtest.h>

#include <string>

#include "inputs/json_loader.h"
#include "statements/line_code_csv_reader.h"
#include "statements/statement_limits.h"

using namespace kalvanta;

namespace {

using Values = std::array<std::optional<double>, 3>;

// A spreadsheet's export: UTF-8 with its mark, semicolons, decimal commas,
// grouped digits, negative amounts in brackets, dashes for empty cells, a
// heading row amid the lines, names before the codes.
const std::string kSemicolonTable = "\xEF\xBB\xBF"
                                    "Организация;ООО \"Ромашка\"\r\n"
                                    "ИНН:;7701000001\r\n"
                                    "Единица измерения;тыс. руб.\r\n"
                                    "Наименование показателя;Код;На 31.12.2024;На 31.12.2023;На 31.12.2022\r\n"
                                    "АКТИВ;;;;\r\n"
                                    "Основные средства;1150;1 234,5;1\xC2\xA0" "000;-\r\n"
                                    "Нераспределенная прибыль (непокрытый убыток);1370;(25);-3,25;0\r\n"
                                    "Баланс;1600;2000;1900;1800\r\n"
                                    "Выручка;2110;500;400;\r\n"
                                    "Отчет об изменениях капитала;3100;1;2;3\r\n"
                                    "Наименование показателя;Код;За 2024 г.;За 2023 г.\r\n"
                                    "1;2;3;4\r\n"
                                    "Чистая прибыль;2400;(7);8\r\n"
                                    "\r\n";

TEST(LineCodeCsv, SpreadsheetExportWithSemicolons)
{
    const Statement st = readLineCodeCsv(kSemicolonTable, "t.csv");
    EXPECT_EQ(st.organisation, "ООО \"Ромашка\"");
    EXPECT_EQ(st.taxNumber, "7701000001");
    EXPECT_EQ(st.year, 2024); // from the first value column's heading
    EXPECT_EQ(st.unitCode, 384);
    EXPECT_EQ(st.sourceName, "t.csv");
    EXPECT_EQ(st.lines.size(), 5u); // the equity changes line is another form's
    EXPECT_EQ(st.lines.at(1150), (Values{1234.5, 1000.0, std::nullopt}));
    EXPECT_EQ(st.lines.at(1370), (Values{-25.0, -3.25, 0.0}));
    EXPECT_EQ(st.lines.at(1600), (Values{2000.0, 1900.0, 1800.0}));
    EXPECT_EQ(st.lines.at(2110), (Values{500.0, 400.0, std::nullopt}));
    EXPECT_EQ(st.lines.at(2400), (Values{-7.0, 8.0, std::nullopt}));
}

TEST(LineCodeCsv, CommaTableInWindows1251WithQuotedDecimalCommas)
{
    // "Организация" and "Ромашка, Лтд" in windows-1251
    const std::string table = "\xCE\xF0\xE3\xE0\xED\xE8\xE7\xE0\xF6\xE8\xFF,\"\xD0\xEE\xEC\xE0\xF8\xEA\xE0, \xCB\xF2\xE4\"\n"
                              "Year,2023\n"
                              "unit,385\n"
                              "1600,\"10,5\",\"9,25\"\n"
                              "2110,1.5e3,\" 7 \"\n"
                              "2400,\"\"\"\"\n";
    try {
        readLineCodeCsv(table, "w.csv");
        FAIL();
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "w.csv: line 6: line 2400: \"\"\" is not a number");
    }
    const Statement st = readLineCodeCsv(table.substr(0, table.rfind("2400")), "w.csv");
    EXPECT_EQ(st.organisation, "Ромашка, Лтд");
    EXPECT_EQ(st.year, 2023);
    EXPECT_EQ(st.unitCode, 385);
    EXPECT_EQ(st.lines.at(1600), (Values{10.5, 9.25, std::nullopt}));
    EXPECT_EQ(st.lines.at(2110), (Values{1500.0, 7.0, std::nullopt}));
}

TEST(LineCodeCsv, QuotedCellsMayHoldLineBreaks)
{
    const Statement st = readLineCodeCsv("Год;2024\n\"Долгое\nимя\";1600;1\n2110;2\n", "q.csv");
    EXPECT_EQ(st.lines.at(1600)[kCurrent], 1.0);
    try {
        readLineCodeCsv("Год;2024\n\"Долгое\nимя\";1600;1\n2110;x\n", "q.csv");
        FAIL();
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "q.csv: line 4: line 2110: \"x\" is not a number"); // lines counted in the file
    }
}

struct YearCase {
    const char* csv;
    int year;
};

class LineCodeCsvYear : public ::testing::TestWithParam<YearCase> {};

TEST_P(LineCodeCsvYear, FromTheYearRowOrTheHeader)
{
    EXPECT_EQ(readLineCodeCsv(GetParam().csv, "y.csv").year, GetParam().year) << GetParam().csv;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineCodeCsvYear,
    ::testing::Values(YearCase{"1600;1\n", 0},                                    // none: the mapping notes it
                      YearCase{"Код;2023;2022\n1600;1\n", 2023},                  // code, then the years
                      YearCase{"Показатель,Код,За 2021 г.\n1600,1\n", 2021},      // name, code, years
                      YearCase{"Год;2020\nКод;2023\n1600;1\n", 2020},            // the year row wins
                      YearCase{"Код;Отчетный период\n1600;1\nКод;2023\n", 0},   // only headers before the lines
                      YearCase{"отчётный год: ;2019\n1600;1\n", 2019}));

struct Rejected {
    const char* name;
    std::string csv;
    const char* message; // the whole message after "bad.csv: "
};

class LineCodeCsvRejected : public ::testing::TestWithParam<Rejected> {};

TEST_P(LineCodeCsvRejected, NamesFileAndLine)
{
    try {
        readLineCodeCsv(GetParam().csv, "bad.csv");
        FAIL() << "accepted";
    } catch (const InputError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("bad.csv: ") + GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineCodeCsvRejected,
    ::testing::Values(
        Rejected{"QuoteNeverClosed", "Год;2024\n1600;\"1\n2110;2\n", "line 2: a quoted cell is never closed"},
        Rejected{"TextAfterQuote", "Год;2024\n1600;\"1\"2\n", "line 2: text after the closing quote of a cell"},
        Rejected{"QuoteInsideCell", "Год;2024\n1600;1\"2\"\n", "line 2: line 1600: \"1\"2\"\" is not a number"},
        Rejected{"DuplicateLine", "Год;2024\n1600;1\n2110;1\n1600;2\n",
                 "line 4: line 1600 is given twice (first at line 2)"},
        Rejected{"ThreeValuesOfProfit", "Год;2024\n2110;1;2;3\n",
                 "line 2: line 2110 has a value in column 3: profit and loss and cash flow lines have two (current, "
                 "previous)"},
        Rejected{"FourValuesOfBalance", "Год;2024\n1600;1;2;3;4\n",
                 "line 2: line 1600 has a value in column 4: balance lines have three (current, previous, before "
                 "previous)"},
        Rejected{"NotANumber", "Год;2024\n1600;12a\n", "line 2: line 1600: \"12a\" is not a number"},
        Rejected{"TwoDecimalSeparators", "Год;2024\n1600;1.234,5\n", "line 2: line 1600: \"1.234,5\" is not a number"},
        Rejected{"Infinity", "Год;2024\n1600;inf\n", "line 2: line 1600: \"inf\" is not a number"},
        Rejected{"BeyondDouble", "Год;2024\n1600;1e400\n", "line 2: line 1600: \"1e400\" is beyond the range of numbers"},
        Rejected{"BracketsAndSign", "Год;2024\n1600;(-5)\n", "line 2: line 1600: \"(-5)\" is not a number"},
        Rejected{"MistypedCodeAmidLines", "Год;2024\n1600;1\n16OO;5;6\n",
                 "line 3: \"16OO\" is not a line code (four digits: 1100 to 1799, 2100 to 2999, 4100 to 4999)"},
        Rejected{"MistypedCodeAfterName", "Год;2024\n1600;1\nЗапасы;1600.0;5\n",
                 "line 3: \"1600.0\" is not a line code (four digits: 1100 to 1799, 2100 to 2999, 4100 to 4999)"},
        Rejected{"NoLines", "Год;2024\nкод;значение\n",
                 "no line codes found: each row must start with a line code (1600, 2110 …) or with the line's name "
                 "and its code"},
        Rejected{"BadYear", "Год;24\n1600;1\n", "line 1: the year \"24\" must be a year (1900 to 2999)"},
        Rejected{"SecondYear", "Год;2024\nГод;2023\n1600;1\n", "line 2: a second year row (the first is line 1)"},
        Rejected{"BadTaxNumber", "ИНН;77-01\nГод;2024\n1600;1\n", "line 1: the tax number \"77-01\" must be 10 or 12 digits"},
        Rejected{"BadUnit", "Единица;штук\nГод;2024\n1600;1\n",
                 "line 1: the unit \"штук\" must be 383, 384 or 385 (roubles, thousands, millions)"},
        Rejected{"KeywordWithTwoValues", "Организация;А;Б\n", "line 1: \"Организация\" takes one value, in the second cell"},
        Rejected{"PastTheCap", std::string(statement_limits::kMaxLineCodeCsvBytes + 1, ';'),
                 "file is larger than 1048576 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
