// The bulk file's rows: what is refused and why, what an accepted row
// becomes in the history, how lines and file names are read.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "bulk_test_util.h"

namespace kalvanta::history {
namespace {

using test::BulkSpec;
using test::bulkLine;

BulkSpec with(std::function<void(BulkSpec&)> change)
{
    BulkSpec s = test::company("7701234567", "46.31");
    change(s);
    return s;
}

std::string allNotes(const CompanyHistory& h)
{
    std::string s;
    for (const std::string& n : h.notes)
        s += n + "\n";
    return s;
}

struct RowCase {
    RowCase(const char* w, BulkSpec s, std::string r, int l = 0, int y = 2017, double v = 0, std::string n = {})
        : what(w), spec(std::move(s)), refused(std::move(r)), line(l), year(y), value(v), note(std::move(n))
    {
    }
    const char* what;
    BulkSpec spec;
    std::string refused; // the reason, empty when the row is read
    int line;            // a figure of the history to check ...
    int year;            // ... of this year
    double value;
    std::string note; // a text one of the history's notes holds
};

TEST(BulkReader, RowsRefusedAndRead)
{
    const std::vector<RowCase> cases = {
        {"a field short", with([](BulkSpec& s) { s.extraFields = -1; }), "265 fields instead of 266"},
        {"a field too many", with([](BulkSpec& s) { s.extraFields = 1; }), "267 fields instead of 266"},
        {"no INN", with([](BulkSpec& s) { s.inn = ""; }), "no INN (field 6)"},
        {"INN not digits", with([](BulkSpec& s) { s.inn = "77O1"; }), "the INN (field 6) is not digits: \"77O1\""},
        {"letters in an amount", with([](BulkSpec& s) { s.amounts[{1300, 3}] = "1x"; }),
         "field 57 (13003) is not a whole number: \"1x\""},
        {"a decimal amount", with([](BulkSpec& s) { s.amounts[{2110, 4}] = "1.5"; }),
         "field 84 (21104) is not a whole number: \"1.5\""},
        {"a bare minus", with([](BulkSpec& s) { s.fields[200] = "-"; }), "field 200 is not a whole number: \"-\""},
        {"unknown unit", with([](BulkSpec& s) { s.unit = "386"; }),
         "unknown unit (field 7): \"386\", not 383, 384 or 385"},
        {"unknown type", with([](BulkSpec& s) { s.type = "3"; }),
         "unknown report type (field 8): \"3\", not 0, 1 or 2"},
        {"thousands as given", BulkSpec(test::company("7701234567", "46.31")), "", 1600, 2017, 1000},
        {"the previous year from the 4 fields", BulkSpec(test::company("7701234567", "46.31")), "", 1600, 2016, 800},
        {"roubles to thousands",
         with([](BulkSpec& s) { s.unit = "383"; s.amounts[{1600, 3}] = "1234567"; }), "", 1600, 2017, 1234.567,
         "составлена в руб.: ее показатели переведены в тыс. руб."},
        {"millions to thousands and flagged",
         with([](BulkSpec& s) { s.unit = "385"; s.amounts[{1600, 3}] = "7"; }), "", 1600, 2017, 7000,
         "составлена в млн. руб. (код 385): ее показатели переведены в тыс. руб.; в файлах статистики эта единица "
         "бывает указана ошибочно — проверьте порядок величин"},
        {"expense stored positive", with([](BulkSpec& s) { s.amounts[{2120, 3}] = "1500"; }), "", 2120, 2017, 1500},
        {"expense stored negative", with([](BulkSpec& s) { s.amounts[{2120, 3}] = "-1500"; }), "", 2120, 2017, 1500},
        {"a loss keeps its sign", with([](BulkSpec& s) { s.amounts[{2400, 3}] = "-15"; }), "", 2400, 2017, -15},
        {"simplified totals derived",
         with([](BulkSpec& s) {
             s.type = "1";
             s.amounts = {{{1150, 3}, "100"}, {{1210, 3}, "50"}, {{1230, 3}, "30"}, {{1250, 3}, "20"},
                          {{1600, 3}, "200"}, {{1300, 3}, "120"}, {{1520, 3}, "80"}, {{2110, 3}, "500"},
                          {{2120, 3}, "400"}, {{2400, 3}, "60"}};
         }),
         "", 1200, 2017, 100, "итоги рассчитаны по строкам формы — 1100 = 1150 + 1170, 1200 = 1210 + 1230 + 1250"},
        {"simplified profit from sales",
         with([](BulkSpec& s) {
             s.type = "1";
             s.amounts = {{{1600, 3}, "200"}, {{2110, 3}, "500"}, {{2120, 3}, "400"}};
         }),
         "", 2200, 2017, 100, "упрощенная отчетность за 2017 год (f.csv:1): итоги рассчитаны по строкам формы"},
        {"non-commercial", with([](BulkSpec& s) { s.type = "0"; }), "", 1600, 2017, 1000,
         "некоммерческая организация (тип отчета 0)"},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.what);
        BulkRow row;
        const std::optional<std::string> why = parseBulkRow(bulkLine(c.spec), row);
        if (!c.refused.empty()) {
            ASSERT_TRUE(why.has_value());
            EXPECT_EQ(*why, c.refused);
            continue;
        }
        ASSERT_FALSE(why.has_value()) << *why;
        const CompanyHistory h = bulkHistory(row, 2017, "f.csv:1");
        ASSERT_TRUE(h.years.count(c.year));
        const HistoryYear& y = h.years.at(c.year);
        const auto& section = c.line < 2000 ? y.balance : y.flows;
        ASSERT_TRUE(section.count(c.line));
        EXPECT_DOUBLE_EQ(section.at(c.line), c.value);
        EXPECT_EQ(h.unitCode, 384);
        if (!c.note.empty())
            EXPECT_NE(allNotes(h).find(c.note), std::string::npos) << allNotes(h);
        else
            EXPECT_EQ(allNotes(h), "");
    }
}

TEST(BulkReader, NamesAndIdentifiersAsWritten)
{
    BulkSpec s = test::company("0101234567", "01.11.1");
    s.name = "ПАО \"ГМК \"Норильский никель\"";
    s.okpo = "00002565";
    BulkRow row;
    ASSERT_FALSE(parseBulkRow(bulkLine(s), row).has_value());
    EXPECT_EQ(row.organisation, "ПАО \"ГМК \"Норильский никель\"");
    EXPECT_EQ(row.okpo, "00002565");
    EXPECT_EQ(row.inn, "0101234567");
    EXPECT_EQ(row.okved, "01.11.1");
    const CompanyHistory h = bulkHistory(row, 2017, "f.csv:1");
    EXPECT_EQ(h.organisation, row.organisation);
    EXPECT_EQ(h.taxNumber, "0101234567");
    EXPECT_EQ(h.okved, "01.11.1");
}

TEST(BulkReader, NonCommercialRowWithoutResultsHasNoFlows)
{
    BulkSpec s;
    s.type = "0";
    s.amounts = {{{1600, 3}, "50"}, {{1300, 3}, "50"}};
    BulkRow row;
    ASSERT_FALSE(parseBulkRow(bulkLine(s), row).has_value());
    const CompanyHistory h = bulkHistory(row, 2017, "f.csv:1");
    ASSERT_EQ(h.years.size(), 1u); // the previous year's fields are all 0: not reported
    EXPECT_TRUE(h.years.at(2017).hasBalance);
    EXPECT_FALSE(h.years.at(2017).hasFlows);
}

struct LinesCase {
    const char* what;
    std::string content;
    std::vector<std::string> lines;
    std::vector<std::size_t> numbers;
};

TEST(BulkReader, LinesOfAFile)
{
    const std::vector<LinesCase> cases = {
        {"CRLF", "a;1\r\nb;2\r\n", {"a;1", "b;2"}, {1, 2}},
        {"LF", "a;1\nb;2\n", {"a;1", "b;2"}, {1, 2}},
        {"no end of line at the end", "a;1\nb;2", {"a;1", "b;2"}, {1, 2}},
        {"empty last line", "a;1\r\nb;2\r\n\r\n", {"a;1", "b;2", ""}, {1, 2, 3}},
        {"a carriage return inside stays", "a\r;1\n", {"a\r;1"}, {1}},
        {"empty file", "", {}, {}},
    };
    for (const LinesCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = test::writeBulkFile("lines.csv", {c.content}, "");
        BulkLineReader reader(path);
        std::vector<std::string> lines;
        std::vector<std::size_t> numbers;
        std::string line;
        std::size_t n = 0;
        while (reader.next(line, n)) {
            lines.push_back(line);
            numbers.push_back(n);
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(numbers, c.numbers);
        EXPECT_EQ(reader.bytesRead(), c.content.size());
    }
}

TEST(BulkReader, OverlongLineIsCutAndTheNextRead)
{
    const std::string path =
        test::writeBulkFile("long.csv", {std::string(3 * kBulkMaxLineBytes + 7, 'x'), "a;1"}, "\n");
    BulkLineReader reader(path);
    std::string line;
    std::size_t n = 0;
    ASSERT_TRUE(reader.next(line, n));
    EXPECT_EQ(line.size(), kBulkMaxLineBytes);
    ASSERT_TRUE(reader.next(line, n));
    EXPECT_EQ(line, "a;1");
    EXPECT_EQ(n, 2u);
    EXPECT_FALSE(reader.next(line, n));
}

TEST(BulkReader, ToldByContentAndYearByName)
{
    const std::string row = bulkLine(test::company("7701234567", "46.31"));
    struct Kind {
        std::string head;
        bool bulk;
    };
    const std::vector<Kind> kinds = {
        {row + "\r\n", true},
        {row, true},
        {bulkLine(with([](BulkSpec& s) { s.inn = ""; })), false},
        {bulkLine(with([](BulkSpec& s) { s.extraFields = -1; })), false},
        {"\xEF\xBB\xBF" + row, false},
        {"<?xml version=\"1.0\"?>", false},
        {"1600;100;90\n", false},
    };
    for (const Kind& k : kinds)
        EXPECT_EQ(looksLikeBulkFile(k.head), k.bulk) << k.head.substr(0, 40);

    const std::vector<std::pair<std::string, std::optional<int>>> names = {
        {"data-20200327-structure-20171231.csv", 2017},
        {"/x/y/data-20200331-structure-20121231.ZIP", 2012},
        {"data-20190329t000000-structure-20121231t000000.csv", std::nullopt},
        {"bdboo2017.csv", std::nullopt},
        {"data-20171231-x.csv", std::nullopt},
    };
    for (const auto& [name, year] : names)
        EXPECT_EQ(bulkYearFromName(name), year) << name;
}

} // namespace
} // namespace kalvanta::history
