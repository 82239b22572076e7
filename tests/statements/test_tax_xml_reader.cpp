// The tax service's XML: the sample read line by line, both encodings, one
// table of the format versions and their features, and every way a file is
// refused, each with its message.
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
    EXPECT_EQ(s.okved, "46.90");
    EXPECT_FALSE(s.simplified);
    EXPECT_TRUE(s.hasProfitLoss);
    EXPECT_EQ(s.readerNotes, std::vector<std::string>{});
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
        {"simplified statements in a version of the full ones", replaced(utf8, "КНД=\"0710099\"", "КНД=\"0710096\""),
         "bad.xml: Файл: format version ВерсФорм \"5.08\" is not one of 5.01 to 5.04 (simplified statements, "
         "KND 0710096)"},
        {"another document", replaced(utf8, "КНД=\"0710099\"", "КНД=\"1151006\""),
         "bad.xml: Файл/Документ: КНД \"1151006\" is not the annual accounting statements (KND 0710099) nor "
         "the simplified ones (KND 0710096)"},
        {"another root", head + "<Отчет/>", "bad.xml: the root element is <Отчет>, not <Файл> of the tax service's statements"},
        {"no document", head + "<Файл ВерсФорм=\"5.08\"/>", "bad.xml: element Файл/Документ is missing"},
        {"a version after 5.10", replaced(utf8, "ВерсФорм=\"5.08\"", "ВерсФорм=\"5.11\""),
         "bad.xml: Файл: format version ВерсФорм \"5.11\" is not one of 5.01 to 5.10"},
        {"not a version", replaced(utf8, "ВерсФорм=\"5.08\"", "ВерсФорм=\"5.8\""),
         "bad.xml: Файл: format version ВерсФорм \"5.8\" is not one of 5.01 to 5.10"},
        {"an added line's amount", replaced(utf8, "<ОснСр ", "<ВписПоказ1152 СумОтч=\"x\"/><ОснСр "),
         "bad.xml: Файл/Документ/Баланс/Актив/ВнеОбА/ВписПоказ1152, СумОтч: \"x\" is not a number"},
        {"declared windows-1251, UTF-8 bytes, not a statement",
         "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<Отчет/>",
         "bad.xml: the root element is <РћС‚С‡РµС‚>, not <Файл> of the tax service's statements"},
        {"no year", replaced(utf8, "ОтчетГод=\"2024\"", ""),
         "bad.xml: Файл/Документ: attribute ОтчетГод (the reporting year) is missing"},
        {"bad year", replaced(utf8, "ОтчетГод=\"2024\"", "ОтчетГод=\"24\""),
         "bad.xml: Файл/Документ: attribute ОтчетГод \"24\" is not a year"},
        {"bad unit", replaced(utf8, "ОКЕИ=\"384\"", "ОКЕИ=\"тыс\""),
         "bad.xml: Файл/Документ: attribute ОКЕИ \"тыс\" is not a unit code"},
        {"no balance", replaced(replaced(utf8, "<Баланс ", "<Баланc "), "</Баланс>", "</Баланc>"),
         "bad.xml: the balance sheet (element Файл/Документ/Баланс) is missing"},
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

// One row per format version × feature: what the reader gives for each.
struct VariantCase {
    const char* what;
    std::string text;
    std::string formatName;
    std::string okved;
    bool simplified;
    bool hasProfitLoss;
    std::map<int, Cells> lines; // the lines that tell the variant apart (the others not compared)
    std::vector<int> absent;    // lines that must not be there
    std::vector<std::string> notes;
};

std::string utf8Sample(const std::string& name)
{
    const std::string bytes = readBytes(kSourceDir + "/examples/statements/" + name);
    std::string out;
    doc::CodePageDecoder d(doc::kCodePageCyrillic);
    for (char c : bytes)
        d.put(static_cast<unsigned char>(c), out);
    d.flush(out);
    return replaced(out, "encoding=\"windows-1251\"", "encoding=\"UTF-8\"");
}

std::vector<VariantCase> variantCases()
{
    const std::string v507 = utf8Sample("NO_BUHOTCH_version-5-07-2018.xml");
    const std::string v510 = readBytes(kSourceDir + "/examples/statements/NO_BUHOTCH_version-5-10-2025.xml");
    const std::string v508 = replaced(sampleXmlUtf8(), "encoding=\"windows-1251\"", "encoding=\"UTF-8\"");
    const std::string simple = utf8Sample("NO_BOUPR_small-business-2023.xml");
    const std::string landNote = "Вписанная строка «Права на земельный участок» "
                                 "(Файл/Документ/Баланс/Актив/ВнеОбА/ВПокВнеОбА) учтена только в итоге раздела.";
    const std::map<int, Cells> v507Lines = {
        {1100, {1000, 950, 900}}, {1190, {50, 48, 46}},  {1300, {1000, 860, 740}},
        {2410, Cells{35, 30, std::nullopt}}, {2421, Cells{2, 1, std::nullopt}},
        {2500, Cells{140, 120, std::nullopt}}, {2400, Cells{140, 120, std::nullopt}},
        {4123, Cells{60, 66, std::nullopt}}, {4311, Cells{300, 250, std::nullopt}}};
    const std::string usedAssets = "Вписанная строка 1152 «Права пользования активами» прибавлена к строке 1150, "
                                   "которую она детализирует.";
    return {
        {"5.07: ПрибУб, ТекНалПриб is 2410, ОКВЭД, a ВПок line in its section's total", v507,
         "KND 0710099, version 5.07", "47.11", false, true, v507Lines, {2411}, {landNote}},
        {"5.06: the names of 5.07", replaced(v507, "ВерсФорм=\"5.07\"", "ВерсФорм=\"5.06\""),
         "KND 0710099, version 5.06", "47.11", false, true, v507Lines, {2411}, {landNote}},
        {"5.01: the names of 5.07", replaced(v507, "ВерсФорм=\"5.07\"", "ВерсФорм=\"5.01\""),
         "KND 0710099, version 5.01", "47.11", false, true, v507Lines, {2411}, {landNote}},
        {"5.08: ТекНалПриб beside НалПриб is 2411",
         replaced(v508, "<ЧистПрибУб ", "<ТекНалПриб СумОтч=\"200\" СумПред=\"1100\"/><ОтложНалПриб СумОтч=\"29\"/><ЧистПрибУб "),
         "KND 0710099, version 5.08", "46.90", false, true,
         {{2410, Cells{229, 1122, std::nullopt}}, {2411, Cells{200, 1100, std::nullopt}},
          {2412, Cells{29, std::nullopt, std::nullopt}}},
         {}, {}},
        {"5.08: ТекНалПриб inside НалПриб is 2411",
         replaced(v508, "<НалПриб СумОтч=\"229\" СумПред=\"1122\"/>",
                  "<НалПриб СумОтч=\"229\" СумПред=\"1122\"><ТекНалПриб СумОтч=\"229\" СумПред=\"1122\"/></НалПриб>"),
         "KND 0710099, version 5.08", "46.90", false, true,
         {{2410, Cells{229, 1122, std::nullopt}}, {2411, Cells{229, 1122, std::nullopt}}}, {2412}, {}},
        {"5.10: Капитал, ВписПоказ1152 added to 1150, НалПриб with its parts", v510, "KND 0710099, version 5.10",
         "25.62", false, true,
         {{1150, {2300, 2050, 1600}}, {1100, {2500, 2250, 1800}}, {1300, {2500, 2150, 1800}},
          {1310, {500, 500, 500}}, {1360, {25, 25, 25}}, {1370, {1975, 1625, 1275}},
          {2410, Cells{117, 13, std::nullopt}}, {2411, Cells{110, 10, std::nullopt}},
          {2412, Cells{7, 3, std::nullopt}}},
         {1152}, {usedAssets}},
        {"5.10: an added line of revenue goes to 2110, one of a total stays in the total",
         replaced(replaced(v510, "<СебестПрод ", "<ВписПоказ2111 НаимПок=\"Выручка по договорам аренды\" СумОтч=\"500\"/><СебестПрод "),
                  "<ОснСр ", "<ВписПоказ1101 СумОтч=\"5\"/><ОснСр "),
         "KND 0710099, version 5.10", "25.62", false, true,
         {{2110, Cells{9500, 8000, std::nullopt}}, {1100, {2500, 2250, 1800}}}, {1101, 2111},
         {"Вписанная строка 1101 (Файл/Документ/Баланс/Актив/ВнеОбА/ВписПоказ1101) учтена только в итоге раздела.",
          usedAssets,
          "Вписанная строка 2111 «Выручка по договорам аренды» прибавлена к строке 2110, которую она "
          "детализирует."}},
        {"simplified 5.03: aggregated lines directly under Актив and Пассив", simple, "KND 0710096, version 5.03",
         "56.10", true, true,
         {{1600, {1700, 1500, 1250}}, {1150, {800, 700, 600}}, {1170, {50, 40, 0}}, {1210, {400, 350, 300}},
          {1230, {300, 280, 250}}, {1250, {150, 130, 100}}, {1700, {1700, 1500, 1250}}, {1300, {900, 780, 650}},
          {1410, {200, 220, 0}}, {1450, {20, 0, 0}}, {1510, {100, 80, 150}}, {1520, {440, 380, 420}},
          {1550, {40, 40, 30}}, {2110, Cells{3000, 2700, std::nullopt}}, {2120, Cells{2750, 2500, std::nullopt}},
          {2330, Cells{20, 15, std::nullopt}}, {2340, Cells{10, 12, std::nullopt}},
          {2350, Cells{40, 37, std::nullopt}}, {2410, Cells{80, 30, std::nullopt}},
          {2400, Cells{120, 130, std::nullopt}}},
         {1100, 1200, 1400, 1500, 2200, 2300}, {}},
        {"simplified 5.04 and ПрибУб of the older simplified schema",
         replaced(replaced(replaced(simple, "ВерсФорм=\"5.03\"", "ВерсФорм=\"5.04\""), "<ФинРез ", "<ПрибУб "),
                  "</ФинРез>", "</ПрибУб>"),
         "KND 0710096, version 5.04", "56.10", true, true, {{2400, Cells{120, 130, std::nullopt}}}, {}, {}},
        {"a non-profit organisation: ЦелевФин, no results",
         readBytes(kSourceDir + "/examples/statements/NO_BUHOTCH_non-profit-2024.xml"), "KND 0710099, version 5.09",
         "94.99", false, false, {{1300, {580, 530, 480}}, {1350, {180, 150, 120}}, {1360, {400, 380, 360}}},
         {2110, 2400}, {}},
        {"a small business's aggregated balance: absent attributes are no value",
         readBytes(kSourceDir + "/examples/statements/NO_BUHOTCH_aggregated-balance-2022.xml"),
         "KND 0710099, version 5.08", "62.01", false, true,
         {{1300, Cells{90, 60, std::nullopt}}, {1260, Cells{10, 10, std::nullopt}},
          {1520, Cells{190, 160, std::nullopt}}},
         {1310, 1370, 1400}, {}},
        {"declared windows-1251, written in UTF-8", sampleXmlUtf8(), "KND 0710099, version 5.08", "46.90", false,
         true, readTaxXml(readBytes(kSampleXml), "a.xml").lines, {}, {std::string(kUtf8DespiteDeclarationNote)}},
        {"the same with a byte order mark", "\xEF\xBB\xBF" + sampleXmlUtf8(), "KND 0710099, version 5.08", "46.90",
         false, true, {{1600, {36345, 22862, 6412}}}, {}, {std::string(kUtf8DespiteDeclarationNote)}},
        {"windows-1251 as declared", readBytes(kSourceDir + "/examples/statements/NO_BUHOTCH_version-5-07-2018.xml"),
         "KND 0710099, version 5.07",
         "47.11", false, true, {{1100, {1000, 950, 900}}}, {}, {landNote}},
    };
}

TEST(TaxXmlReader, VersionsAndFeatures)
{
    for (const VariantCase& c : variantCases()) {
        SCOPED_TRACE(c.what);
        Statement s;
        try {
            s = readTaxXml(c.text, "v.xml");
        } catch (const InputError& e) {
            ADD_FAILURE() << e.what();
            continue;
        }
        EXPECT_EQ(s.formatName, c.formatName);
        EXPECT_EQ(s.okved, c.okved);
        EXPECT_EQ(s.simplified, c.simplified);
        EXPECT_EQ(s.hasProfitLoss, c.hasProfitLoss);
        EXPECT_TRUE(s.hasBalance);
        for (const auto& [code, cells] : c.lines) {
            SCOPED_TRACE(code);
            ASSERT_EQ(s.lines.count(code), 1u);
            EXPECT_EQ(s.lines.at(code), cells);
        }
        for (int code : c.absent)
            EXPECT_EQ(s.lines.count(code), 0u) << code;
        EXPECT_EQ(s.readerNotes, c.notes);
    }
}

} // namespace
