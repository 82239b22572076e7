// The tax service's XML: the sample read line by line, both encodings, and
// every way a file is refused, each with its message.
#include <gtest/gtest.h>

#include "inputs/json_loader.h"
#include "statement_test_util.h"
#include "statements/statement_limits.h"
#include "statements/tax_xml_reader.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

using Cells = std::array<std::optional<double>, 3>;

TEST(TaxXmlReader, SampleLinesAndHeader)
{
    const Statement s = readTaxXml(readBytes(kSampleXml), "sample.xml");
    EXPECT_EQ(s.sourceName, "sample.xml");
    EXPECT_EQ(s.formatName, "KND 0710099, version 5.08");
    EXPECT_EQ(s.organisation, "Фирма N");
    EXPECT_EQ(s.taxNumber, "7701234560");
    EXPECT_EQ(s.year, 2024);
    EXPECT_EQ(s.unitCode, 384);
    const std::map<int, Cells> expected = {
        {1600, {36345, 22862, 6412}}, {1100, {1128, 730, 179}},      {1110, {30, 17, 1}},
        {1150, {574, 439, 158}},      {1190, {524, 274, 20}},        {1200, {35217, 22132, 6233}},
        {1210, {29706, 10480, 5641}}, {1220, {2308, 2506, 280}},     {1230, {2073, 5868, 258}},
        {1250, {1130, 3278, 54}},     {1700, {36345, 22862, 6412}},  {1300, {3643, 3311, 524}},
        {1310, {8, 8, 8}},            {1370, {3635, 3303, 516}},     {1500, {32702, 19551, 5888}},
        {1520, {32701, 19551, 5888}}, {1530, {1, 0, 0}},
        {2110, Cells{29375, 35719, std::nullopt}}, {2120, Cells{28114, 32290, std::nullopt}},
        {2100, Cells{1261, 3429, std::nullopt}},   {2200, Cells{1261, 3429, std::nullopt}},
        {2340, Cells{2467, 2414, std::nullopt}},   {2350, Cells{3142, 1901, std::nullopt}},
        {2300, Cells{586, 3942, std::nullopt}},    {2410, Cells{229, 1122, std::nullopt}},
        {2400, Cells{357, 2820, std::nullopt}},    {4123, Cells{1500, 3000, std::nullopt}},
        {4311, Cells{5000, 10000, std::nullopt}},
    };
    EXPECT_EQ(s.lines, expected);
}

TEST(TaxXmlReader, Utf8AndOlderNamesReadTheSame)
{
    const Statement cp1251 = readTaxXml(readBytes(kSampleXml), "a.xml");
    std::string utf8 = replaced(sampleXmlUtf8(), "encoding=\"windows-1251\"", "encoding=\"UTF-8\"");
    EXPECT_EQ(readTaxXml(utf8, "a.xml").lines, cp1251.lines);
    EXPECT_EQ(readTaxXml("\xEF\xBB\xBF" + utf8, "a.xml").organisation, "Фирма N");
    // Names other versions of the schema use for the same lines.
    utf8 = replaced(utf8, "<ФинРез ", "<ПрибУб ");
    utf8 = replaced(utf8, "</ФинРез>", "</ПрибУб>");
    utf8 = replaced(utf8, "<ПрочВнеОбА ", "<ПрочВнеОбАкт ");
    utf8 = replaced(utf8, "ВерсФорм=\"5.08\"", "ВерсФорм=\"5.10\"");
    const Statement older = readTaxXml(utf8, "a.xml");
    EXPECT_EQ(older.lines, cp1251.lines);
    EXPECT_EQ(older.formatName, "KND 0710099, version 5.10");
}

TEST(TaxXmlReader, SameNameUnderAnotherParentIsAnotherLine)
{
    std::string text = replaced(sampleXmlUtf8(), "encoding=\"windows-1251\"", "encoding=\"UTF-8\"");
    text = replaced(text, "<ДенежнСр ", "<ФинВлож СумОтч=\"7\" СумПрдщ=\"8\" СумПрдшв=\"9\"/><ДенежнСр ");
    text = replaced(text, "<ОснСр ", "<ФинВлож СумОтч=\"1\" СумПрдщ=\"2\" СумПрдшв=\"3\"/><ОснСр ");
    text = replaced(text, "<КредитЗадолж ", "<ЗаемСредств СумОтч=\"11\"/><КредитЗадолж ");
    const Statement s = readTaxXml(text, "a.xml");
    EXPECT_EQ(s.lines.at(1170), (Cells{1, 2, 3}));
    EXPECT_EQ(s.lines.at(1240), (Cells{7, 8, 9}));
    EXPECT_EQ(s.lines.at(1510), (Cells{11, std::nullopt, std::nullopt}));
    EXPECT_EQ(s.lines.count(1410), 0u);
}

struct BadCase {
    const char* what;
    std::string text;
    std::string message;
};

std::vector<BadCase> badCases()
{
    const std::string good = sampleXmlUtf8();
    const std::string utf8 = replaced(good, "encoding=\"windows-1251\"", "encoding=\"UTF-8\"");
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    return {
        {"malformed", replaced(utf8, "</Баланс>", ""), "bad.xml: malformed XML at byte "},
        {"not XML at all", "<<<", "bad.xml: malformed XML at byte "},
        {"internal DTD with entities",
         replaced(utf8, "<Файл ", "<!DOCTYPE Файл [<!ENTITY a \"1\"><!ENTITY b \"&a;&a;&a;&a;\">]>\n<Файл "),
         "bad.xml: a DOCTYPE (document type definition) is not allowed in a statement file"},
        {"external entity",
         replaced(utf8, "<Файл ", "<!DOCTYPE Файл SYSTEM \"file:///etc/passwd\">\n<Файл "),
         "bad.xml: a DOCTYPE (document type definition) is not allowed in a statement file"},
        {"entity reference used without a DTD", replaced(utf8, "СумОтч=\"30\"", "СумОтч=\"&xxe;\""),
         "bad.xml: Файл/Документ/Баланс/Актив/ВнеОбА/НематАкт (line 1110), СумОтч: \"&xxe;\" is not a number"},
        {"simplified statements",
         replaced(utf8, "КНД=\"0710099\"", "КНД=\"0710096\""),
         "bad.xml: simplified accounting statements (KND 0710096) cannot be imported: their balance and "
         "results have too few lines for the analysis; import the full annual statements (KND 0710099) or "
         "a line-code table"},
        {"another document", replaced(utf8, "КНД=\"0710099\"", "КНД=\"1151006\""),
         "bad.xml: Файл/Документ: КНД \"1151006\" is not the annual accounting statements (KND 0710099)"},
        {"another root", head + "<Отчет/>", "bad.xml: the root element is <Отчет>, not <Файл> of the tax service's statements"},
        {"no document", head + "<Файл ВерсФорм=\"5.08\"/>", "bad.xml: element Файл/Документ is missing"},
        {"unknown version", replaced(utf8, "ВерсФорм=\"5.08\"", "ВерсФорм=\"5.07\""),
         "bad.xml: Файл: format version ВерсФорм \"5.07\" is not one of 5.08, 5.09, 5.10"},
        {"no year", replaced(utf8, "ОтчетГод=\"2024\"", ""),
         "bad.xml: Файл/Документ: attribute ОтчетГод (the reporting year) is missing"},
        {"bad year", replaced(utf8, "ОтчетГод=\"2024\"", "ОтчетГод=\"24\""),
         "bad.xml: Файл/Документ: attribute ОтчетГод \"24\" is not a year"},
        {"bad unit", replaced(utf8, "ОКЕИ=\"384\"", "ОКЕИ=\"тыс\""),
         "bad.xml: Файл/Документ: attribute ОКЕИ \"тыс\" is not a unit code"},
        {"no balance", replaced(replaced(utf8, "<Баланс ", "<Баланc "), "</Баланс>", "</Баланc>"),
         "bad.xml: the balance sheet (element Файл/Документ/Баланс) is missing"},
        {"no results", replaced(replaced(utf8, "<ФинРез ", "<Итоги "), "</ФинРез>", "</Итоги>"),
         "bad.xml: the statement of financial results (element Файл/Документ/ФинРез) is missing"},
        {"two balances", replaced(utf8, "<ФинРез ", "<Баланс/><ФинРез "),
         "bad.xml: element Файл/Документ/Баланс appears twice"},
        {"duplicate line", replaced(utf8, "<ОснСр ", "<НематАкт СумОтч=\"1\"/><ОснСр "),
         "bad.xml: element Файл/Документ/Баланс/Актив/ВнеОбА/НематАкт appears twice"},
        {"duplicate line under another version's name",
         replaced(utf8, "<ОснСр ", "<ПрочВнеОбАкт СумОтч=\"1\"/><ОснСр "),
         "bad.xml: element Файл/Документ/Баланс/Актив/ВнеОбА/ПрочВнеОбА appears twice"},
        {"text for a number", replaced(utf8, "СумОтч=\"29375\"", "СумОтч=\"29 375\""),
         "bad.xml: Файл/Документ/ФинРез/Выруч (line 2110), СумОтч: \"29 375\" is not a number"},
        {"decimal comma", replaced(utf8, "СумПред=\"35719\"", "СумПред=\"35719,5\""),
         "bad.xml: Файл/Документ/ФинРез/Выруч (line 2110), СумПред: \"35719,5\" is not a number"},
        {"empty number", replaced(utf8, "СумПрдшв=\"6412\"", "СумПрдшв=\"\""),
         "bad.xml: Файл/Документ/Баланс/Актив (line 1600), СумПрдшв: \"\" is not a number"},
        {"exponent", replaced(utf8, "СумОтч=\"586\"", "СумОтч=\"5e2\""),
         "bad.xml: Файл/Документ/ФинРез/ПрибУбДоНал (line 2300), СумОтч: \"5e2\" is not a number"},
        {"beyond the double range", replaced(utf8, "<ПроцДолгОбяз СумОтч=\"1500\"", "<ПроцДолгОбяз СумОтч=\"1" + std::string(400, '0') + "\""),
         "bad.xml: Файл/Документ/ДвижениеДен/ТекОпер/Платеж/ПроцДолгОбяз (line 4123), СумОтч: 1" +
             std::string(39, '0') + "... is beyond the range of numbers"},
        {"unsupported encoding", replaced(utf8, "encoding=\"UTF-8\"", "encoding=\"KOI8-R\""),
         "bad.xml: encoding \"KOI8-R\" is not supported (windows-1251 or UTF-8)"},
        {"UTF-8 declared, cp1251 bytes", replaced(readBytes(kSampleXml), "windows-1251", "UTF-8"),
         "bad.xml: the file is not valid UTF-8 as its XML declaration says"},
        {"NUL byte", replaced(utf8, "<Баланс ", std::string("\0<Баланс ", 9)),
         "bad.xml: a NUL byte is not allowed in XML"},
        {"nested too deep", head + "<Файл>" + [] {
             std::string s;
             for (int i = 0; i < 70; ++i)
                 s += "<a>";
             for (int i = 0; i < 70; ++i)
                 s += "</a>";
             return s;
         }() + "</Файл>",
         "bad.xml: elements nested deeper than 64 levels"},
        {"too many elements", head + "<Файл>" + [] {
             std::string s;
             for (std::size_t i = 0; i <= statement_limits::kMaxXmlElements; ++i)
                 s += "<a/>";
             return s;
         }() + "</Файл>",
         "bad.xml: more than 100000 elements"},
        {"past the size cap", utf8 + std::string(statement_limits::kMaxStatementBytes, ' '),
         "bad.xml: file is larger than 8388608 bytes"},
    };
}

TEST(TaxXmlReader, BadFilesGiveOneClearMessage)
{
    for (const BadCase& c : badCases()) {
        SCOPED_TRACE(c.what);
        try {
            (void)readTaxXml(c.text, "bad.xml");
            ADD_FAILURE() << "accepted";
        } catch (const InputError& e) {
            const std::string what = e.what();
            if (c.message.ends_with("at byte "))
                EXPECT_TRUE(what.starts_with(c.message)) << what;
            else
                EXPECT_EQ(what, c.message);
        }
    }
}

} // namespace
