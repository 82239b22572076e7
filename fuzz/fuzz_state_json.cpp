// Fuzz target for the state resource's JSON reader and the mapping. Besides
// the common checks (statement_check.h), the figures the reader hands on
// must be one correction's balance and results blocks of the file exactly,
// as a plain parse of the same bytes finds them; the same holds for every
// year the history reads, and the history reads the fixed report's year alike.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <string_view>
#include <vector>

#include "statement_check.h"
#include "statements/state_json_reader.h"

namespace {

using namespace kalvanta;
using json = nlohmann::json;
using Lines = std::map<int, std::array<std::optional<double>, 3>>;

constexpr const char* kReader = "state json";
constexpr std::string_view kSource = "fuzz.json";

// The lines of one form block: "current1600" → line 1600, first column.
Lines blockLines(const json& block)
{
    Lines out;
    if (!block.is_object())
        return out;
    static const std::pair<std::string_view, std::size_t> kPrefixes[] = {
        {"current", 0}, {"previous", 1}, {"beforePrevious", 2}};
    for (const auto& [key, value] : block.items()) {
        for (const auto& [prefix, column] : kPrefixes) {
            if (key.size() != prefix.size() + 4 || !std::string_view(key).starts_with(prefix))
                continue;
            const std::string digits = key.substr(prefix.size());
            if (digits.find_first_not_of("0123456789") != std::string::npos || value.is_null())
                continue;
            if (!value.is_number())
                return {{-1, {}}}; // a block the reader could not have taken
            out[std::stoi(digits)][column] = value.get<double>();
        }
    }
    return out;
}

Lines linesOfForm(const Statement& s, char form)
{
    Lines out;
    for (const auto& [code, cells] : s.lines)
        if (std::to_string(code)[0] == form)
            out[code] = cells;
    return out;
}

// Every object of the file that holds a "balance" or a "financialResult" key (a correction).
void corrections(const json& v, std::vector<const json*>& out, int depth)
{
    if (depth > 64)
        return;
    if (v.is_object()) {
        if (v.contains("balance") || v.contains("financialResult"))
            out.push_back(&v);
        for (const auto& [key, child] : v.items())
            corrections(child, out, depth + 1);
    } else if (v.is_array()) {
        for (const auto& child : v)
            corrections(child, out, depth + 1);
    }
}

void checkAgainstFile(const Statement& s, std::string_view bytes)
{
    const json doc = json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (doc.is_discarded())
        fuzzcheck::fault(kReader, "the reader accepted JSON a plain parse refuses");
    std::vector<const json*> found;
    corrections(doc, found, 0);
    const Lines balance = linesOfForm(s, '1');
    const Lines results = linesOfForm(s, '2');
    const Lines cashFlow = linesOfForm(s, '4');
    for (const json* c : found) {
        const auto block = [c](const char* key) { return c->contains(key) ? blockLines((*c)[key]) : Lines{}; };
        if (block("balance") == balance && block("financialResult") == results &&
            (cashFlow.empty() || block("fundsMovement") == cashFlow))
            return;
    }
    fuzzcheck::fault(kReader, "the statement's figures are no correction's blocks of the file");
}

// Simplified statements have their own mapping, whose totals are derived
// from the lines: only the common checks of the statement and a refusal
// naming the file apply.
void mapAndCheck(const Statement& s)
{
    if (!s.simplified) {
        fuzzcheck::mapAndCheck(kReader, s, kSource);
        return;
    }
    fuzzcheck::checkStatement(kReader, s, kSource);
    try {
        (void)mapStatement(s);
    } catch (const InputError& e) {
        fuzzcheck::checkMessage(kReader, e, kSource);
    }
}

bool sameRead(const Statement& a, const Statement& b)
{
    return fuzzcheck::sameStatement(a, b) && a.simplified == b.simplified && a.hasBalance == b.hasBalance &&
           a.hasProfitLoss == b.hasProfitLoss && a.okved == b.okved;
}

// The history's years: each one correction's blocks of the file, oldest
// first, and the year the fixed report reads read the same way.
void checkYears(std::string_view bytes, const std::optional<Statement>& fixed)
{
    StatementFile file;
    try {
        file = readStateJsonYears(bytes, std::string(kSource));
    } catch (const InputError& e) {
        fuzzcheck::checkMessage(kReader, e, kSource);
        if (fixed)
            fuzzcheck::fault(kReader, "the history refused a file the fixed report reads: " + std::string(e.what()));
        return;
    }
    if (file.statements.empty())
        fuzzcheck::fault(kReader, "the history holds no year and no refusal");
    for (std::size_t i = 0; i < file.statements.size(); ++i) {
        const Statement& s = file.statements[i];
        if (i > 0 && s.year <= file.statements[i - 1].year)
            fuzzcheck::fault(kReader, "the history's years are not ascending");
        fuzzcheck::checkStatement(kReader, s, kSource);
        checkAgainstFile(s, bytes);
    }
    if (!fixed)
        return;
    for (const Statement& s : file.statements)
        if (s.year == fixed->year) {
            if (!sameRead(s, *fixed))
                fuzzcheck::fault(kReader, "the history read the year " + std::to_string(s.year) + " otherwise");
            return;
        }
    fuzzcheck::fault(kReader, "the history lacks the year " + std::to_string(fixed->year) + " the fixed report reads");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Every third input asks for a year, as the command line may.
    const std::optional<int> year = size % 3 == 0 ? std::optional<int>(2000 + static_cast<int>(size % 30)) : std::nullopt;
    Statement s;
    try {
        s = readStateJson(bytes, std::string(kSource), year);
    } catch (const InputError& e) {
        fuzzcheck::checkMessage(kReader, e, kSource);
        if (!year)
            checkYears(bytes, std::nullopt);
        return 0;
    }
    if (year && s.year != *year)
        fuzzcheck::fault(kReader, "asked for " + std::to_string(*year) + ", read " + std::to_string(s.year));
    checkAgainstFile(s, bytes);
    mapAndCheck(s);
    // A year asked for may be one without a period (a single report): the
    // history compares only the newest year's reading.
    if (!year)
        checkYears(bytes, s);
    return 0;
}
