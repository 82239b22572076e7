// Fuzz target for the tax service's XML reader and the mapping. Besides the
// common checks (statement_check.h), the totals the reader hands on must be
// the attributes of the file's own total elements, as a plain pugixml walk
// of the same bytes finds them (revenue with the lines a company added to
// it, ВписПоказ211N), and the organisation and year its header's.
#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/code_page.h"
#include "statement_check.h"
#include "statements/tax_xml_reader.h"

namespace {

using namespace kalvanta;

constexpr const char* kReader = "tax xml";
constexpr std::string_view kSource = "fuzz.xml";

// The text as UTF-8: a file whose declaration names windows-1251 (or
// cp1251, in any case) is converted byte by byte, unless the reader said it
// read the bytes as UTF-8.
std::string utf8(std::string_view bytes, bool readAsUtf8)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (readAsUtf8)
        return std::string(bytes);
    std::string encoding;
    if (bytes.starts_with("<?xml")) {
        const std::string_view decl = bytes.substr(0, bytes.find("?>"));
        std::size_t i = decl.find("encoding");
        if (i != std::string_view::npos) {
            i += 8;
            while (i < decl.size() && (decl[i] == ' ' || decl[i] == '='))
                ++i;
            if (i < decl.size() && (decl[i] == '"' || decl[i] == '\'')) {
                const std::size_t end = decl.find(decl[i], i + 1);
                if (end != std::string_view::npos)
                    encoding = std::string(decl.substr(i + 1, end - i - 1));
            }
        }
    }
    for (char& c : encoding)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (encoding != "windows-1251" && encoding != "cp1251")
        return std::string(bytes);
    std::string out;
    doc::CodePageDecoder decoder(doc::kCodePageCyrillic);
    for (const char c : bytes)
        decoder.put(static_cast<unsigned char>(c), out);
    decoder.flush(out);
    return out;
}

struct Total {
    int line;
    std::vector<std::vector<const char*>> path; // below Документ; each step the names it may have
    bool balance;
    enum { Both, Full, Simplified } form; // the simplified statements give fewer totals
};
#define KV_RESULTS {"ФинРез", "ПрибУб"}
// The totals and the results the analysis rests on, by their paths below
// Документ (ФинРез, or ПрибУб in older versions, for the results; КапРез,
// Капитал in 5.10, or a non-profit organisation's ЦелевФин for the capital).
const Total kTotals[] = {
    {1600, {{"Баланс"}, {"Актив"}}, true, Total::Both},
    {1100, {{"Баланс"}, {"Актив"}, {"ВнеОбА"}}, true, Total::Full},
    {1200, {{"Баланс"}, {"Актив"}, {"ОбА"}}, true, Total::Full},
    {1700, {{"Баланс"}, {"Пассив"}}, true, Total::Both},
    {1300, {{"Баланс"}, {"Пассив"}, {"КапРез", "Капитал", "ЦелевФин"}}, true, Total::Full},
    {1300, {{"Баланс"}, {"Пассив"}, {"КапРез", "Капитал"}}, true, Total::Simplified},
    {1400, {{"Баланс"}, {"Пассив"}, {"ДолгосрОбяз"}}, true, Total::Full},
    {1500, {{"Баланс"}, {"Пассив"}, {"КраткосрОбяз"}}, true, Total::Full},
    {2110, {KV_RESULTS, {"Выруч"}}, false, Total::Both},
    {2200, {KV_RESULTS, {"ПрибПрод"}}, false, Total::Full},
    {2300, {KV_RESULTS, {"ПрибУбДоНал"}}, false, Total::Full},
    {2400, {KV_RESULTS, {"ЧистПрибУб"}}, false, Total::Both},
};
#undef KV_RESULTS

pugi::xml_node childNamed(pugi::xml_node parent, const std::vector<const char*>& names)
{
    for (const char* n : names)
        if (const pugi::xml_node c = parent.child(n))
            return c;
    return {};
}

std::optional<double> amount(const char* text)
{
    std::string_view t(text);
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return v;
}

void checkAgainstFile(const Statement& s, std::string_view bytes)
{
    const bool readAsUtf8 =
        std::find(s.readerNotes.begin(), s.readerNotes.end(), kUtf8DespiteDeclarationNote) != s.readerNotes.end();
    const std::string text = utf8(bytes, readAsUtf8);
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8))
        fuzzcheck::fault(kReader, "the reader accepted XML pugixml refuses");
    const pugi::xml_node document = doc.child("Файл").child("Документ");
    const pugi::xml_node org = document.child("СвНП").child("НПЮЛ");
    if (s.organisation != org.attribute("НаимОрг").value() || s.taxNumber != org.attribute("ИННЮЛ").value())
        fuzzcheck::fault(kReader, "the organisation is not the file's НПЮЛ");
    if (std::to_string(s.year) != document.attribute("ОтчетГод").value())
        fuzzcheck::fault(kReader, "the year is not the file's ОтчетГод");
    if (s.simplified != (std::string_view(document.attribute("КНД").value()) == "0710096"))
        fuzzcheck::fault(kReader, "simplified is not the file's КНД 0710096");
    if (s.hasProfitLoss != (document.child("ФинРез") || document.child("ПрибУб")))
        fuzzcheck::fault(kReader, "hasProfitLoss does not say whether the file has ФинРез or ПрибУб");
    for (const Total& t : kTotals) {
        if (t.form == (s.simplified ? Total::Full : Total::Simplified))
            continue;
        pugi::xml_node node = document;
        for (const auto& names : t.path)
            node = childNamed(node, names);
        static const char* const kBalance[3] = {"СумОтч", "СумПрдщ", "СумПрдшв"};
        static const char* const kYear[3] = {"СумОтч", "СумПред", nullptr};
        std::array<std::optional<double>, 3> file;
        bool found = static_cast<bool>(node);
        for (std::size_t c = 0; c < 3; ++c) {
            const char* attribute = t.balance ? kBalance[c] : kYear[c];
            const pugi::xml_attribute a = node && attribute ? node.attribute(attribute) : pugi::xml_attribute();
            file[c] = a ? amount(a.value()) : std::nullopt;
        }
        if (t.line == 2110 && !s.simplified) {
            // Lines the company added to revenue (2111 … 2119) are added to it.
            const pugi::xml_node results = childNamed(document, {"ФинРез", "ПрибУб"});
            for (pugi::xml_node c = results.first_child(); c; c = c.next_sibling()) {
                const std::string_view name(c.name());
                if (name.size() != std::string_view("ВписПоказ2111").size() || !name.starts_with("ВписПоказ211") ||
                    name.back() < '1' || name.back() > '9')
                    continue;
                found = true;
                for (std::size_t col = 0; col < 2; ++col)
                    if (const pugi::xml_attribute a = c.attribute(kYear[col]))
                        file[col] = file[col].value_or(0.0) + amount(a.value()).value_or(0.0);
            }
        }
        const auto it = s.lines.find(t.line);
        if (!found) {
            if (it != s.lines.end())
                fuzzcheck::fault(kReader, "line " + std::to_string(t.line) + " read from no element");
            continue;
        }
        if (it == s.lines.end())
            fuzzcheck::fault(kReader, "the element of line " + std::to_string(t.line) + " was not read");
        for (std::size_t c = 0; c < 3; ++c)
            if (file[c] != it->second[c])
                fuzzcheck::fault(kReader, "line " + std::to_string(t.line) + " column " + std::to_string(c) +
                                              " is not the file's figure");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Statement s;
    try {
        s = readTaxXml(bytes, std::string(kSource));
    } catch (const InputError& e) {
        fuzzcheck::checkMessage(kReader, e, kSource);
        return 0;
    }
    checkAgainstFile(s, bytes);
    fuzzcheck::mapAndCheck(kReader, s, kSource);
    return 0;
}
