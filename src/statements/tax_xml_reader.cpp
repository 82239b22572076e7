#include "tax_xml_reader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <pugixml.hpp>
#include <system_error>
#include <vector>

#include "document/code_page.h"
#include "document/utf8.h"
#include "inputs/json_loader.h" // InputError
#include "statements/statement_limits.h"

namespace kalvanta {

namespace {

// One line of the forms: its path below Документ (alternatives where format
// versions named an element differently) and its columns.
enum class Form { Balance, Year };

struct XmlLine {
    int code;
    Form form;
    std::vector<std::vector<const char*>> path; // each step: the names it may have
};

// Names as the published schema of KND 0710099 gives them; the balance
// repeats names (ФинВлож, ЗаемСредств, ОценОбяз, ПрочОбяз) under different
// parents, so every line is found by its whole path.
const std::vector<XmlLine>& xmlLines()
{
    static const std::vector<XmlLine> lines = {
        {1600, Form::Balance, {{"Баланс"}, {"Актив"}}},
        {1100, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}}},
        {1110, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"НематАкт"}}},
        {1120, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"РезИсслед"}}},
        {1130, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"НеМатПоискАкт"}}},
        {1140, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"МатПоискАкт"}}},
        {1150, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"ОснСр"}}},
        {1160, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"ВлМатЦен"}}},
        {1170, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"ФинВлож"}}},
        {1180, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"ОтлНалАкт"}}},
        {1190, Form::Balance, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}, {"ПрочВнеОбА", "ПрочВнеОбАкт"}}},
        {1200, Form::Balance, {{"Баланс"}, {"Актив"}, {"ОбА"}}},
        {1210, Form::Balance, {{"Баланс"}, {"Актив"}, {"ОбА"}, {"Запасы"}}},
        {1220, Form::Balance, {{"Баланс"}, {"Актив"}, {"ОбА"}, {"НДСПриобрЦен"}}},
        {1230, Form::Balance, {{"Баланс"}, {"Актив"}, {"ОбА"}, {"ДебЗад"}}},
        {1240, Form::Balance, {{"Баланс"}, {"Актив"}, {"ОбА"}, {"ФинВлож"}}},
        {1250, Form::Balance, {{"Баланс"}, {"Актив"}, {"ОбА"}, {"ДенежнСр"}}},
        {1260, Form::Balance, {{"Баланс"}, {"Актив"}, {"ОбА"}, {"ПрочОбА"}}},
        {1700, Form::Balance, {{"Баланс"}, {"Пассив"}}},
        {1300, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КапРез"}}},
        {1310, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КапРез"}, {"УставКапитал"}}},
        {1320, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КапРез"}, {"СобствАкции"}}},
        {1340, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КапРез"}, {"ПереоцВнеОбА"}}},
        {1350, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КапРез"}, {"ДобКапитал"}}},
        {1360, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КапРез"}, {"РезКапитал"}}},
        {1370, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КапРез"}, {"НераспПриб"}}},
        {1400, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ДолгосрОбяз"}}},
        {1410, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ДолгосрОбяз"}, {"ЗаемСредств"}}},
        {1420, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ДолгосрОбяз"}, {"ОтложНалОбяз"}}},
        {1430, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ДолгосрОбяз"}, {"ОценОбяз"}}},
        {1450, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ДолгосрОбяз"}, {"ПрочОбяз"}}},
        {1500, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КраткосрОбяз"}}},
        {1510, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КраткосрОбяз"}, {"ЗаемСредств"}}},
        {1520, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КраткосрОбяз"}, {"КредитЗадолж"}}},
        {1530, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КраткосрОбяз"}, {"ДоходБудущ"}}},
        {1540, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КраткосрОбяз"}, {"ОценОбяз"}}},
        {1550, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КраткосрОбяз"}, {"ПрочОбяз"}}},
        // Profit and loss: ФинРез in the versions read here, ПрибУб in older ones.
        {2110, Form::Year, {{"ФинРез", "ПрибУб"}, {"Выруч"}}},
        {2120, Form::Year, {{"ФинРез", "ПрибУб"}, {"СебестПрод"}}},
        {2100, Form::Year, {{"ФинРез", "ПрибУб"}, {"ВаловаяПрибыль"}}},
        {2210, Form::Year, {{"ФинРез", "ПрибУб"}, {"КомРасход"}}},
        {2220, Form::Year, {{"ФинРез", "ПрибУб"}, {"УпрРасход"}}},
        {2200, Form::Year, {{"ФинРез", "ПрибУб"}, {"ПрибПрод"}}},
        {2310, Form::Year, {{"ФинРез", "ПрибУб"}, {"ДоходОтУчаст"}}},
        {2320, Form::Year, {{"ФинРез", "ПрибУб"}, {"ПроцПолуч"}}},
        {2330, Form::Year, {{"ФинРез", "ПрибУб"}, {"ПроцУпл"}}},
        {2340, Form::Year, {{"ФинРез", "ПрибУб"}, {"ПрочДоход"}}},
        {2350, Form::Year, {{"ФинРез", "ПрибУб"}, {"ПрочРасход"}}},
        {2300, Form::Year, {{"ФинРез", "ПрибУб"}, {"ПрибУбДоНал"}}},
        {2410, Form::Year, {{"ФинРез", "ПрибУб"}, {"НалПриб"}}},
        {2400, Form::Year, {{"ФинРез", "ПрибУб"}, {"ЧистПрибУб"}}},
        // Cash flow (full statements only).
        {4123, Form::Year, {{"ДвижениеДен"}, {"ТекОпер"}, {"Платеж"}, {"ПроцДолгОбяз"}}},
        {4311, Form::Year, {{"ДвижениеДен"}, {"ФинОпер"}, {"Поступ"}, {"КредЗайм"}}},
    };
    return lines;
}

constexpr const char* kBalanceColumns[3] = {"СумОтч", "СумПрдщ", "СумПрдшв"};
constexpr const char* kYearColumns[2] = {"СумОтч", "СумПред"};

[[noreturn]] void fail(const std::string& source, const std::string& what) { throw InputError(source + ": " + what); }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// The encoding the XML declaration names, or "" when it names none.
std::string declaredEncoding(std::string_view text)
{
    if (!text.starts_with("<?xml"))
        return {};
    const std::string_view decl = text.substr(0, text.find("?>"));
    const std::size_t at = decl.find("encoding");
    if (at == std::string_view::npos)
        return {};
    std::size_t i = at + 8;
    while (i < decl.size() && (decl[i] == ' ' || decl[i] == '='))
        ++i;
    if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\''))
        return {};
    const char quote = decl[i];
    const std::size_t end = decl.find(quote, i + 1);
    if (end == std::string_view::npos)
        return {};
    return std::string(decl.substr(i + 1, end - i - 1));
}

// The file as UTF-8: windows-1251 is converted, UTF-8 checked.
std::string utf8Text(std::string_view bytes, const std::string& source)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const std::string encoding = declaredEncoding(bytes);
    if (equalsIgnoringCase(encoding, "windows-1251") || equalsIgnoringCase(encoding, "cp1251")) {
        std::string out;
        out.reserve(bytes.size() * 2);
        doc::CodePageDecoder decoder(doc::kCodePageCyrillic);
        for (const char c : bytes) {
            if (c == '\0')
                fail(source, "a NUL byte is not allowed in XML");
            decoder.put(static_cast<unsigned char>(c), out);
        }
        decoder.flush(out);
        return out;
    }
    if (!encoding.empty() && !equalsIgnoringCase(encoding, "utf-8"))
        fail(source, "encoding \"" + encoding + "\" is not supported (windows-1251 or UTF-8)");
    if (bytes.find('\0') != std::string_view::npos)
        fail(source, "a NUL byte is not allowed in XML");
    if (!doc::isValidUtf8(bytes))
        fail(source, "the file is not valid UTF-8 as its XML declaration says");
    return std::string(bytes);
}

// Whole numbers as the schema writes them; a fraction with a point is
// tolerated. Anything else is refused, never read as 0.
double parseAmount(std::string_view text, const std::string& source, const std::string& where)
{
    std::string_view t = text;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    std::string_view digits = t;
    if (!digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    bool point = false;
    bool any = false;
    for (const char c : digits) {
        if (c >= '0' && c <= '9')
            any = true;
        else if (c == '.' && !point)
            point = true;
        else
            fail(source, where + ": \"" + std::string(text) + "\" is not a number");
    }
    if (!any)
        fail(source, where + ": \"" + std::string(text) + "\" is not a number");
    double v = 0.0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range || !std::isfinite(v))
        fail(source, where + ": " + std::string(text.substr(0, 40)) + (text.size() > 40 ? "..." : "") +
                         " is beyond the range of numbers");
    if (ec != std::errc() || end != t.data() + t.size())
        fail(source, where + ": \"" + std::string(text) + "\" is not a number");
    return v;
}

std::string pathText(const std::vector<std::string>& names)
{
    std::string s = "Файл/Документ";
    for (const auto& n : names)
        s += "/" + n;
    return s;
}

// The only child named one of `names`; a second one is a duplicate line.
pugi::xml_node uniqueChild(pugi::xml_node parent, const std::vector<const char*>& names,
                           std::vector<std::string>& path, const std::string& source)
{
    pugi::xml_node found;
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        for (const char* n : names)
            if (std::string_view(child.name()) == n) {
                if (found) {
                    path.push_back(child.name());
                    fail(source, "element " + pathText(path) + " appears twice");
                }
                found = child;
            }
    }
    if (found)
        path.push_back(found.name());
    return found;
}

void checkSize(const pugi::xml_document& doc, const std::string& source)
{
    std::size_t elements = 0;
    // Depth-first without recursion, so a deep file cannot exhaust the stack.
    std::size_t depth = 0;
    pugi::xml_node n = doc.first_child();
    while (n) {
        if (n.type() == pugi::node_element && ++elements > statement_limits::kMaxXmlElements)
            fail(source, "more than " + std::to_string(statement_limits::kMaxXmlElements) + " elements");
        if (n.first_child()) {
            n = n.first_child();
            if (++depth > statement_limits::kMaxXmlDepth)
                fail(source, "elements nested deeper than " + std::to_string(statement_limits::kMaxXmlDepth) +
                                 " levels");
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n)
            n = n.next_sibling();
    }
}

int parseYear(const char* text, const std::string& source)
{
    const std::string_view t(text);
    int year = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), year);
    if (t.size() != 4 || ec != std::errc() || end != t.data() + t.size() || year < 1900)
        fail(source, "Файл/Документ: attribute ОтчетГод \"" + std::string(t) + "\" is not a year");
    return year;
}

} // namespace

Statement readTaxXml(std::string_view bytes, const std::string& source)
{
    if (bytes.size() > statement_limits::kMaxStatementBytes)
        fail(source, "file is larger than " + std::to_string(statement_limits::kMaxStatementBytes) + " bytes");
    const std::string text = utf8Text(bytes, source);

    pugi::xml_document doc;
    // parse_doctype keeps a DOCTYPE as a node so it can be refused; pugixml
    // never loads external entities and leaves unknown entity references as
    // they stand (and they then fail as numbers).
    const unsigned options = (pugi::parse_default | pugi::parse_doctype) & ~pugi::parse_pi;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(text.data(), text.size(), options, pugi::encoding_utf8);
    if (!parsed)
        fail(source, std::string("malformed XML at byte ") + std::to_string(parsed.offset) + ": " +
                         parsed.description());
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_doctype)
            fail(source, "a DOCTYPE (document type definition) is not allowed in a statement file");
    checkSize(doc, source);

    const pugi::xml_node file = doc.document_element();
    if (std::string_view(file.name()) != "Файл")
        fail(source, "the root element is <" + std::string(file.name()) +
                         ">, not <Файл> of the tax service's statements");
    std::vector<std::string> path;
    const pugi::xml_node document = uniqueChild(file, {"Документ"}, path, source);
    if (!document)
        fail(source, "element Файл/Документ is missing");

    const std::string knd = document.attribute("КНД").value();
    if (knd == "0710096")
        fail(source, "simplified accounting statements (KND 0710096) cannot be imported: their balance "
                     "and results have too few lines for the analysis; import the full annual "
                     "statements (KND 0710099) or a line-code table");
    if (knd != "0710099")
        fail(source, "Файл/Документ: КНД \"" + knd +
                         "\" is not the annual accounting statements (KND 0710099)");
    const std::string version = file.attribute("ВерсФорм").value();
    if (version != "5.08" && version != "5.09" && version != "5.10")
        fail(source, "Файл: format version ВерсФорм \"" + version + "\" is not one of 5.08, 5.09, 5.10");

    Statement s;
    s.sourceName = source;
    s.formatName = "KND 0710099, version " + version;
    if (const pugi::xml_attribute y = document.attribute("ОтчетГод"))
        s.year = parseYear(y.value(), source);
    else
        fail(source, "Файл/Документ: attribute ОтчетГод (the reporting year) is missing");
    if (const pugi::xml_attribute okei = document.attribute("ОКЕИ")) {
        const std::string_view t(okei.value());
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), s.unitCode);
        if (ec != std::errc() || end != t.data() + t.size())
            fail(source, "Файл/Документ: attribute ОКЕИ \"" + std::string(t) + "\" is not a unit code");
    }
    const pugi::xml_node org = document.child("СвНП").child("НПЮЛ");
    s.organisation = org.attribute("НаимОрг").value();
    s.taxNumber = org.attribute("ИННЮЛ").value();

    {
        std::vector<std::string> p;
        if (!uniqueChild(document, {"Баланс"}, p, source))
            fail(source, "the balance sheet (element Файл/Документ/Баланс) is missing");
        p.clear();
        if (!uniqueChild(document, {"ФинРез", "ПрибУб"}, p, source))
            fail(source, "the statement of financial results (element Файл/Документ/ФинРез) is missing");
    }

    for (const XmlLine& line : xmlLines()) {
        std::vector<std::string> p;
        pugi::xml_node node = document;
        for (const auto& names : line.path) {
            node = uniqueChild(node, names, p, source);
            if (!node)
                break;
        }
        if (!node)
            continue;
        std::array<std::optional<double>, 3> cells;
        const std::size_t columns = line.form == Form::Balance ? 3 : 2;
        for (std::size_t c = 0; c < columns; ++c) {
            const char* attr = line.form == Form::Balance ? kBalanceColumns[c] : kYearColumns[c];
            if (const pugi::xml_attribute a = node.attribute(attr))
                cells[c] = parseAmount(a.value(), source,
                                       pathText(p) + " (line " + std::to_string(line.code) + "), " + attr);
        }
        s.lines[line.code] = cells;
    }
    if (!s.lines.count(1600) && !s.lines.count(1700))
        fail(source, "the balance sheet has neither Актив (line 1600) nor Пассив (line 1700)");
    return s;
}

} // namespace kalvanta
