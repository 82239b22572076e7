// Fuzz target for the tax service's XML reader and the mapping. Besides the
// common checks (statement_check.h), the totals the reader hands on must be
// the attributes of the file's own total elements, as a plain pugixml walk
// of the same bytes finds them, and the organisation and year its header's.
#include <pugixml.hpp>

#include <charconv>
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
// cp1251, in any case) is converted byte by byte.
std::string utf8(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
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
    const char* path[3];
    bool balance;
};
// The totals and the results the analysis rests on, by their paths below
// Документ (ФинРез, or ПрибУб in older versions, for the results).
const Total kTotals[] = {
    {1600, {"Баланс", "Актив", nullptr}, true},
    {1100, {"Баланс", "Актив", "ВнеОбА"}, true},
    {1200, {"Баланс", "Актив", "ОбА"}, true},
    {1700, {"Баланс", "Пассив", nullptr}, true},
    {1300, {"Баланс", "Пассив", "КапРез"}, true},
    {1400, {"Баланс", "Пассив", "ДолгосрОбяз"}, true},
    {1500, {"Баланс", "Пассив", "КраткосрОбяз"}, true},
    {2110, {"", "Выруч", nullptr}, false},
    {2200, {"", "ПрибПрод", nullptr}, false},
    {2300, {"", "ПрибУбДоНал", nullptr}, false},
    {2400, {"", "ЧистПрибУб", nullptr}, false},
};

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
    const std::string text = utf8(bytes);
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8))
        fuzzcheck::fault(kReader, "the reader accepted XML pugixml refuses");
    const pugi::xml_node document = doc.child("Файл").child("Документ");
    const pugi::xml_node org = document.child("СвНП").child("НПЮЛ");
    if (s.organisation != org.attribute("НаимОрг").value() || s.taxNumber != org.attribute("ИННЮЛ").value())
        fuzzcheck::fault(kReader, "the organisation is not the file's НПЮЛ");
    if (std::to_string(s.year) != document.attribute("ОтчетГод").value())
        fuzzcheck::fault(kReader, "the year is not the file's ОтчетГод");
    const pugi::xml_node results =
        document.child("ФинРез") ? document.child("ФинРез") : document.child("ПрибУб");
    for (const Total& t : kTotals) {
        pugi::xml_node node = t.balance ? document : results;
        for (const char* name : t.path)
            if (name && *name)
                node = node.child(name);
        static const char* const kBalance[3] = {"СумОтч", "СумПрдщ", "СумПрдшв"};
        static const char* const kYear[3] = {"СумОтч", "СумПред", nullptr};
        const auto it = s.lines.find(t.line);
        if (!node) {
            if (it != s.lines.end())
                fuzzcheck::fault(kReader, "line " + std::to_string(t.line) + " read from no element");
            continue;
        }
        if (it == s.lines.end())
            fuzzcheck::fault(kReader, "the element of line " + std::to_string(t.line) + " was not read");
        for (std::size_t c = 0; c < 3; ++c) {
            const char* attribute = t.balance ? kBalance[c] : kYear[c];
            const pugi::xml_attribute a = attribute ? node.attribute(attribute) : pugi::xml_attribute();
            const std::optional<double> file = a ? amount(a.value()) : std::nullopt;
            if (file != it->second[c])
                fuzzcheck::fault(kReader, "line " + std::to_string(t.line) + " column " + std::to_string(c) +
                                              " is not the file's " + (attribute ? attribute : "(none)"));
        }
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
