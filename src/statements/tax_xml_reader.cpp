#include "tax_xml_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
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
// versions named an element differently), its columns, and the format
// versions (×100: 507 is 5.07) that give the element this line code.
enum class Form { Balance, Year };

struct XmlLine {
    int code;
    Form form;
    std::vector<std::vector<const char*>> path; // each step: the names it may have
    int fromVersion = 0;                         // 0: every version
    int toVersion = 9999;
};

#define KV_RESULTS "ФинРез", "ПрибУб"
#define KV_CAPITAL "КапРез", "Капитал"

// Names as the published schemas of KND 0710099 give them; the balance
// repeats names (ФинВлож, ЗаемСредств, ОценОбяз, ПрочОбяз) under different
// parents, so every line is found by its whole path. Versions up to 5.07
// name the results ПрибУб, later ones ФинРез; 5.10 names the capital section
// Капитал; a non-profit organisation's balance has ЦелевФин (target
// financing) in place of the capital section, numbered 1310 … 1370 as well.
const std::vector<XmlLine>& fullLines()
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
        {1300, Form::Balance, {{"Баланс"}, {"Пассив"}, {KV_CAPITAL, "ЦелевФин"}}},
        {1310, Form::Balance, {{"Баланс"}, {"Пассив"}, {KV_CAPITAL}, {"УставКапитал"}}},
        {1320, Form::Balance, {{"Баланс"}, {"Пассив"}, {KV_CAPITAL}, {"СобствАкции"}}},
        {1340, Form::Balance, {{"Баланс"}, {"Пассив"}, {KV_CAPITAL}, {"ПереоцВнеОбА"}}},
        {1350, Form::Balance, {{"Баланс"}, {"Пассив"}, {KV_CAPITAL}, {"ДобКапитал"}}},
        {1360, Form::Balance, {{"Баланс"}, {"Пассив"}, {KV_CAPITAL}, {"РезКапитал"}}},
        {1370, Form::Balance, {{"Баланс"}, {"Пассив"}, {KV_CAPITAL}, {"НераспПриб"}}},
        {1310, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ЦелевФин"}, {"ПайФонд"}}},
        {1320, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ЦелевФин"}, {"ЦелевКапитал"}}},
        {1350, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ЦелевФин"}, {"ЦелевСредства"}}},
        {1360, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ЦелевФин"}, {"ФондИмущ"}}},
        {1370, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ЦелевФин"}, {"РезервИнЦФ"}}},
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
        {2110, Form::Year, {{KV_RESULTS}, {"Выруч"}}},
        {2120, Form::Year, {{KV_RESULTS}, {"СебестПрод"}}},
        {2100, Form::Year, {{KV_RESULTS}, {"ВаловаяПрибыль"}}},
        {2210, Form::Year, {{KV_RESULTS}, {"КомРасход"}}},
        {2220, Form::Year, {{KV_RESULTS}, {"УпрРасход"}}},
        {2200, Form::Year, {{KV_RESULTS}, {"ПрибПрод"}}},
        {2310, Form::Year, {{KV_RESULTS}, {"ДоходОтУчаст"}}},
        {2320, Form::Year, {{KV_RESULTS}, {"ПроцПолуч"}}},
        {2330, Form::Year, {{KV_RESULTS}, {"ПроцУпл"}}},
        {2340, Form::Year, {{KV_RESULTS}, {"ПрочДоход"}}},
        {2350, Form::Year, {{KV_RESULTS}, {"ПрочРасход"}}},
        {2300, Form::Year, {{KV_RESULTS}, {"ПрибУбДоНал"}}},
        // The profit tax: up to 5.07 line 2410 is the current tax
        // (ТекНалПриб); from 5.08 on 2410 is the whole tax (НалПриб), the
        // current part 2411 and the deferred part 2412.
        {2410, Form::Year, {{KV_RESULTS}, {"ТекНалПриб"}}, 0, 507},
        {2410, Form::Year, {{KV_RESULTS}, {"НалПриб"}}, 508},
        {2411, Form::Year, {{KV_RESULTS}, {"ТекНалПриб"}}, 508},
        {2411, Form::Year, {{KV_RESULTS}, {"НалПриб"}, {"ТекНалПриб"}}, 508},
        {2412, Form::Year, {{KV_RESULTS}, {"ОтложНалПриб"}}, 508},
        {2412, Form::Year, {{KV_RESULTS}, {"НалПриб"}, {"ОтложНалПриб"}}, 508},
        {2421, Form::Year, {{KV_RESULTS}, {"ПостНалОбяз"}}},
        {2430, Form::Year, {{KV_RESULTS}, {"ИзмНалОбяз"}}},
        {2450, Form::Year, {{KV_RESULTS}, {"ИзмНалАктив"}}},
        {2460, Form::Year, {{KV_RESULTS}, {"Прочее"}}},
        {2400, Form::Year, {{KV_RESULTS}, {"ЧистПрибУб"}}},
        {2510, Form::Year, {{KV_RESULTS}, {"РезПрцВОАНеЧист"}}},
        {2520, Form::Year, {{KV_RESULTS}, {"РезПрОпНеЧист", "РезПрОпНеЧис"}}},
        {2530, Form::Year, {{KV_RESULTS}, {"НалПрибОпНеЧист"}}},
        {2500, Form::Year, {{KV_RESULTS}, {"СовФинРез"}}},
        // Cash flow (full statements only).
        {4123, Form::Year, {{"ДвижениеДен"}, {"ТекОпер"}, {"Платеж"}, {"ПроцДолгОбяз"}}},
        {4311, Form::Year, {{"ДвижениеДен"}, {"ФинОпер"}, {"Поступ"}, {"КредЗайм"}}},
    };
    return lines;
}

// The simplified statements' own schema: each balance line is an aggregate
// directly under Актив or Пассив, filed here under the code of the form.
// (The schema's КодСтроки, the code of the aggregate's largest part, is not
// read: the mapping and the history know each aggregate by one code.)
const std::vector<XmlLine>& simplifiedLines()
{
    static const std::vector<XmlLine> lines = {
        {1600, Form::Balance, {{"Баланс"}, {"Актив"}}},
        {1150, Form::Balance, {{"Баланс"}, {"Актив"}, {"МатВнеАкт"}}},
        {1170, Form::Balance, {{"Баланс"}, {"Актив"}, {"НеМатФинАкт"}}},
        {1210, Form::Balance, {{"Баланс"}, {"Актив"}, {"Запасы"}}},
        {1230, Form::Balance, {{"Баланс"}, {"Актив"}, {"ФинВлож"}}},
        {1250, Form::Balance, {{"Баланс"}, {"Актив"}, {"ДенежнСр"}}},
        {1700, Form::Balance, {{"Баланс"}, {"Пассив"}}},
        {1300, Form::Balance, {{"Баланс"}, {"Пассив"}, {KV_CAPITAL}}},
        {1350, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ЦелевСредства"}}},
        {1360, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ФондИмущИнЦФ"}}},
        {1410, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ДлгЗаемСредств"}}},
        {1450, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ДрДолгосрОбяз"}}},
        {1510, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КртЗаемСредств"}}},
        {1520, Form::Balance, {{"Баланс"}, {"Пассив"}, {"КредитЗадолж"}}},
        {1550, Form::Balance, {{"Баланс"}, {"Пассив"}, {"ДрКраткосрОбяз"}}},
        {2110, Form::Year, {{KV_RESULTS}, {"Выруч"}}},
        {2120, Form::Year, {{KV_RESULTS}, {"РасхОбДеят"}}},
        {2330, Form::Year, {{KV_RESULTS}, {"ПроцУпл"}}},
        {2340, Form::Year, {{KV_RESULTS}, {"ПрочДоход"}}},
        {2350, Form::Year, {{KV_RESULTS}, {"ПрочРасход"}}},
        {2410, Form::Year, {{KV_RESULTS}, {"НалПрибДох"}}},
        {2400, Form::Year, {{KV_RESULTS}, {"ЧистПрибУб"}}},
    };
    return lines;
}

#undef KV_RESULTS
#undef KV_CAPITAL

// The sections whose direct children may be lines a company added itself
// (ВПок… up to 5.07, ВписПоказ<code> in 5.10).
const std::vector<std::vector<std::vector<const char*>>>& sectionPaths()
{
    static const std::vector<std::vector<std::vector<const char*>>> paths = {
        {{"Баланс"}, {"Актив"}, {"ВнеОбА"}},
        {{"Баланс"}, {"Актив"}, {"ОбА"}},
        {{"Баланс"}, {"Пассив"}, {"КапРез", "Капитал", "ЦелевФин"}},
        {{"Баланс"}, {"Пассив"}, {"ДолгосрОбяз"}},
        {{"Баланс"}, {"Пассив"}, {"КраткосрОбяз"}},
        {{"ФинРез", "ПрибУб"}},
    };
    return paths;
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

struct DecodedText {
    std::string text;
    bool declaredCp1251 = false;
};

// The file as UTF-8: windows-1251 is converted, UTF-8 checked.
DecodedText utf8Text(std::string_view bytes, const std::string& source)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const std::string encoding = declaredEncoding(bytes);
    if (equalsIgnoringCase(encoding, "windows-1251") || equalsIgnoringCase(encoding, "cp1251")) {
        DecodedText out;
        out.declaredCp1251 = true;
        out.text.reserve(bytes.size() * 2);
        doc::CodePageDecoder decoder(doc::kCodePageCyrillic);
        // windows-1251 has no lead bytes, so a run of ASCII is copied as it stands.
        for (std::size_t i = 0; i < bytes.size();) {
            std::size_t ascii = i;
            while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80 && bytes[ascii] != '\0')
                ++ascii;
            out.text.append(bytes.data() + i, ascii - i);
            i = ascii;
            if (i == bytes.size())
                break;
            if (bytes[i] == '\0')
                fail(source, "a NUL byte is not allowed in XML");
            decoder.put(static_cast<unsigned char>(bytes[i++]), out.text);
        }
        decoder.flush(out.text);
        return out;
    }
    if (!encoding.empty() && !equalsIgnoringCase(encoding, "utf-8"))
        fail(source, "encoding \"" + encoding + "\" is not supported (windows-1251 or UTF-8)");
    if (bytes.find('\0') != std::string_view::npos)
        fail(source, "a NUL byte is not allowed in XML");
    if (!doc::isValidUtf8(bytes))
        fail(source, "the file is not valid UTF-8 as its XML declaration says");
    return {std::string(bytes), false};
}

bool hasNonAscii(std::string_view bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// Whole numbers as the schema writes them; a fraction with a point is
// tolerated. Anything else is refused, never read as 0.
// `where` names the place for a message; it is composed only when one is due,
// since a file has a hundred amounts and seldom a bad one.
template <class Where>
double parseAmount(std::string_view text, const std::string& source, const Where& where)
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
            fail(source, where() + ": \"" + std::string(text) + "\" is not a number");
    }
    if (!any)
        fail(source, where() + ": \"" + std::string(text) + "\" is not a number");
    double v = 0.0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range || !std::isfinite(v))
        fail(source, where() + ": " + std::string(text.substr(0, 40)) + (text.size() > 40 ? "..." : "") +
                         " is beyond the range of numbers");
    if (ec != std::errc() || end != t.data() + t.size())
        fail(source, where() + ": \"" + std::string(text) + "\" is not a number");
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
        const char* name = child.name();
        for (const char* n : names)
            if (std::strcmp(name, n) == 0) {
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

// "5.07" as 507; 0 when the text is not a version of the form 5.NN.
int versionNumber(std::string_view v)
{
    if (v.size() != 4 || v[0] != '5' || v[1] != '.' || v[2] < '0' || v[2] > '9' || v[3] < '0' || v[3] > '9')
        return 0;
    return 500 + (v[2] - '0') * 10 + (v[3] - '0');
}

// Parses the text into `doc`; false where the XML is malformed (the result
// says where).
pugi::xml_parse_result parseXml(pugi::xml_document& doc, const std::string& text)
{
    // parse_doctype keeps a DOCTYPE as a node so it can be refused; pugixml
    // never loads external entities and leaves unknown entity references as
    // they stand (and they then fail as numbers).
    const unsigned options = (pugi::parse_default | pugi::parse_doctype) & ~pugi::parse_pi;
    return doc.load_buffer(text.data(), text.size(), options, pugi::encoding_utf8);
}

bool rootIsFile(const pugi::xml_document& doc) { return std::string_view(doc.document_element().name()) == "Файл"; }

template <class Where>
std::array<std::optional<double>, 3> readCells(pugi::xml_node node, Form form, const Where& where,
                                               const std::string& source)
{
    std::array<std::optional<double>, 3> cells;
    const std::size_t columns = form == Form::Balance ? 3 : 2;
    for (std::size_t c = 0; c < columns; ++c) {
        const char* attr = form == Form::Balance ? kBalanceColumns[c] : kYearColumns[c];
        // An absent attribute is an empty cell, never 0.
        if (const pugi::xml_attribute a = node.attribute(attr))
            cells[c] = parseAmount(a.value(), source, [&] { return where() + ", " + attr; });
    }
    return cells;
}

pugi::xml_node findPath(pugi::xml_node document, const std::vector<std::vector<const char*>>& path,
                        std::vector<std::string>& names, const std::string& source)
{
    pugi::xml_node node = document;
    for (const auto& step : path) {
        node = uniqueChild(node, step, names, source);
        if (!node)
            return {};
    }
    return node;
}

// findPath for the lines of a form one after another: they come grouped by
// section, so the steps a path shares with the one before are not walked
// (and checked for duplicates) again.
class PathFinder {
public:
    PathFinder(pugi::xml_node document, const std::string& source) : document_(document), source_(source) {}

    pugi::xml_node find(const std::vector<std::vector<const char*>>& path)
    {
        std::size_t same = 0;
        while (same < path.size() && same < steps_.size() && sameStep(*steps_[same], path[same]))
            ++same;
        steps_.resize(same);
        nodes_.resize(same);
        names_.resize(same);
        for (std::size_t i = same; i < path.size(); ++i) {
            const pugi::xml_node node = uniqueChild(i == 0 ? document_ : nodes_.back(), path[i], names_, source_);
            if (!node)
                return {};
            steps_.push_back(&path[i]);
            nodes_.push_back(node);
        }
        return path.empty() ? document_ : nodes_.back();
    }
    // The names of the path found last, for messages.
    const std::vector<std::string>& names() const { return names_; }

private:
    static bool sameStep(const std::vector<const char*>& a, const std::vector<const char*>& b)
    {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](const char* x, const char* y) { return std::strcmp(x, y) == 0; });
    }

    pugi::xml_node document_;
    const std::string& source_;
    std::vector<const std::vector<const char*>*> steps_;
    std::vector<pugi::xml_node> nodes_;
    std::vector<std::string> names_;
};

std::string quotedName(pugi::xml_node node)
{
    const char* name = node.attribute("НаимПок").value();
    return *name ? std::string(" «") + name + "»" : std::string();
}

// Lines a company added to a section. ВписПоказ<code> (5.10) is added to
// the line it details (1152 to 1150); the ВПок… lines of older versions have
// no code and stay in their section's total, as does a ВписПоказ whose code
// details a section's total or is not a line of that form.
void readAddedLines(pugi::xml_node document, Statement& s, const std::string& source)
{
    for (const auto& path : sectionPaths()) {
        std::vector<std::string> names;
        const pugi::xml_node section = findPath(document, path, names, source);
        if (!section)
            continue;
        const Form form = path.front().front() == std::string_view("Баланс") ? Form::Balance : Form::Year;
        const std::string sectionText = pathText(names);
        for (pugi::xml_node child = section.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element)
                continue;
            const std::string_view name(child.name());
            constexpr std::string_view kAdded = "ВписПоказ";
            constexpr std::string_view kOlderAdded = "ВПок";
            const bool added = name.starts_with(kAdded);
            if (!added && !name.starts_with(kOlderAdded))
                continue;
            const std::string where = sectionText + "/" + std::string(name);
            const auto cells = readCells(child, form, [&] { return where; }, source);
            const bool any = std::any_of(cells.begin(), cells.end(), [](const auto& v) { return v && *v != 0.0; });
            int code = 0;
            if (added) {
                const std::string_view digits = name.substr(kAdded.size());
                if (digits.size() == 4 && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                    code = std::stoi(std::string(digits));
            }
            const int target = code / 10 * 10;
            const int firstDigit = form == Form::Balance ? 1 : 2;
            if (code % 10 == 0 || target % 100 == 0 || code / 1000 != firstDigit) {
                if (any) {
                    // Piece by piece: g++ 12 at -O3 takes the concatenation for an overlapping copy.
                    std::string note = "Вписанная строка";
                    if (code)
                        note.append(" ").append(std::to_string(code));
                    note.append(quotedName(child)).append(" (").append(where).append(") учтена только в итоге раздела.");
                    s.readerNotes.push_back(std::move(note));
                }
                continue;
            }
            auto& line = s.lines[target];
            for (std::size_t c = 0; c < cells.size(); ++c) {
                if (!cells[c])
                    continue;
                const double sum = line[c].value_or(0.0) + *cells[c];
                if (!std::isfinite(sum))
                    fail(source, where + ": the sum with line " + std::to_string(target) +
                                     " is beyond the range of numbers");
                line[c] = sum;
            }
            if (any)
                s.readerNotes.push_back("Вписанная строка " + std::to_string(code) + quotedName(child) +
                                        " прибавлена к строке " + std::to_string(target) +
                                        ", которую она детализирует.");
        }
    }
}

} // namespace

Statement readTaxXml(std::string_view bytes, const std::string& source)
{
    if (bytes.size() > statement_limits::kMaxStatementBytes)
        fail(source, "file is larger than " + std::to_string(statement_limits::kMaxStatementBytes) + " bytes");
    DecodedText decoded = utf8Text(bytes, source);

    pugi::xml_document declaredDoc;
    pugi::xml_document utf8Doc;
    const pugi::xml_document* used = &declaredDoc;
    pugi::xml_parse_result parsed = parseXml(declaredDoc, decoded.text);
    bool readAsUtf8 = false;
    if ((!parsed || !rootIsFile(declaredDoc)) && decoded.declaredCp1251) {
        // Declared windows-1251 but written in UTF-8: the declared reading
        // garbles the root element; the bytes as UTF-8 give it.
        std::string_view raw = bytes;
        if (raw.starts_with("\xEF\xBB\xBF"))
            raw.remove_prefix(3);
        if (hasNonAscii(raw) && doc::isValidUtf8(raw)) {
            const pugi::xml_parse_result second = parseXml(utf8Doc, std::string(raw));
            if (second && rootIsFile(utf8Doc)) {
                parsed = second;
                used = &utf8Doc;
                readAsUtf8 = true;
                declaredDoc.reset();
            }
        }
    }
    const pugi::xml_document& doc = *used;
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
    const bool simplified = knd == "0710096";
    if (knd != "0710099" && !simplified)
        fail(source, "Файл/Документ: КНД \"" + knd +
                         "\" is not the annual accounting statements (KND 0710099) nor the simplified ones "
                         "(KND 0710096)");
    const std::string version = file.attribute("ВерсФорм").value();
    const int versionCode = versionNumber(version);
    const int newestVersion = simplified ? 504 : 510;
    if (versionCode < 501 || versionCode > newestVersion)
        fail(source, "Файл: format version ВерсФорм \"" + version + "\" is not one of 5.01 to " +
                         (simplified ? "5.04 (simplified statements, KND 0710096)" : "5.10"));

    Statement s;
    s.sourceName = source;
    s.simplified = simplified;
    s.formatName = "KND " + knd + ", version " + version;
    if (readAsUtf8)
        s.readerNotes.emplace_back(kUtf8DespiteDeclarationNote);
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
    const pugi::xml_node taxpayer = document.child("СвНП");
    // ОКВЭД up to 5.07, ОКВЭД2 (the classification of 2014) from 5.08 on.
    s.okved = taxpayer.attribute("ОКВЭД2") ? taxpayer.attribute("ОКВЭД2").value() : taxpayer.attribute("ОКВЭД").value();
    const pugi::xml_node org = taxpayer.child("НПЮЛ");
    s.organisation = org.attribute("НаимОрг").value();
    s.taxNumber = org.attribute("ИННЮЛ").value();

    {
        std::vector<std::string> p;
        if (!uniqueChild(document, {"Баланс"}, p, source))
            fail(source, "the balance sheet (element Файл/Документ/Баланс) is missing");
        p.clear();
        // Non-profit organisations and some state companies file no results.
        s.hasProfitLoss = static_cast<bool>(uniqueChild(document, {"ФинРез", "ПрибУб"}, p, source));
    }

    PathFinder lines(document, source);
    for (const XmlLine& line : simplified ? simplifiedLines() : fullLines()) {
        if (versionCode < line.fromVersion || versionCode > line.toVersion || s.lines.count(line.code))
            continue;
        const pugi::xml_node node = lines.find(line.path);
        if (!node)
            continue;
        s.lines[line.code] = readCells(
            node, line.form, [&] { return pathText(lines.names()) + " (line " + std::to_string(line.code) + ")"; },
            source);
    }
    if (!simplified)
        readAddedLines(document, s, source);
    if (!s.lines.count(1600) && !s.lines.count(1700))
        fail(source, "the balance sheet has neither Актив (line 1600) nor Пассив (line 1700)");
    return s;
}

} // namespace kalvanta
