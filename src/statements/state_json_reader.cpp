#include "statements/state_json_reader.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

#include "inputs/json_loader.h" // InputError
#include "statements/statement_limits.h"

namespace kalvanta {

namespace {

using json = nlohmann::json;

constexpr const char* kFullStatements = "0710099";
constexpr const char* kSimplifiedStatements = "0710096";

[[noreturn]] void fail(const std::string& source, const std::string& what)
{
    throw InputError(source + ": " + what);
}

// Where the parser is, for messages: the keys and indices down to the value
// being read, and the keys each open object has had (JSON allows duplicates;
// a statement that gives a line twice is ambiguous, so they are refused).
class ParsePath {
public:
    struct Frame {
        std::string name;
        bool array = false;
        std::size_t index = 0;
        std::set<std::string> keys;
    };

    void open(bool array)
    {
        std::string name = childName();
        frames_.push_back(Frame{std::move(name), array, 0, {}});
    }
    void close()
    {
        frames_.pop_back();
        advance();
    }
    // Returns false when the open object already had this key.
    bool key(const std::string& k)
    {
        pendingKey_ = k;
        return frames_.empty() || frames_.back().keys.insert(k).second;
    }
    void value() { advance(); }

    // "[2].typeCorrections[0].correction.balance.current1600"
    std::string where() const
    {
        std::string out;
        for (const auto& f : frames_)
            out += f.name;
        out += childName();
        if (!out.empty() && out[0] == '.')
            out.erase(0, 1);
        return out;
    }

private:
    std::string childName() const
    {
        if (frames_.empty())
            return {};
        const Frame& f = frames_.back();
        return f.array ? "[" + std::to_string(f.index) + "]" : "." + pendingKey_;
    }
    void advance()
    {
        if (!frames_.empty() && frames_.back().array)
            ++frames_.back().index;
    }

    std::vector<Frame> frames_;
    std::string pendingKey_;
};

json parse(std::string_view bytes, const std::string& source)
{
    ParsePath path;
    const json::parser_callback_t track = [&](int, json::parse_event_t event, json& parsed) {
        switch (event) {
        case json::parse_event_t::object_start:
            path.open(false);
            break;
        case json::parse_event_t::array_start:
            path.open(true);
            break;
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            path.close();
            break;
        case json::parse_event_t::key:
            if (!path.key(parsed.get<std::string>()))
                fail(source, "duplicate key \"" + path.where() + "\"");
            break;
        case json::parse_event_t::value:
            path.value();
            break;
        }
        return true;
    };
    try {
        return json::parse(bytes.begin(), bytes.end(), track);
    } catch (const json::out_of_range& e) {
        // a number beyond the double range; the key being read says where
        fail(source, "\"" + path.where() + "\" is beyond the range of numbers: " + e.what());
    } catch (const json::exception& e) {
        const std::string where = path.where();
        fail(source, "malformed JSON" + (where.empty() ? std::string() : " at \"" + where + "\"") + ": " +
                         e.what());
    }
}

// One correction of one year's report, as the file gives it.
struct Candidate {
    std::optional<int> year;
    int version = 0;
    std::optional<int> actualVersion; // the report's actualCorrectionNumber
    const json* correction = nullptr;
    const json* report = nullptr; // the entry holding it, or the correction itself
    std::string where;            // its key path, for messages
};

std::string keyPath(const std::string& base, const std::string& key)
{
    return base.empty() ? key : base + "." + key;
}

const json* member(const json& object, const char* key)
{
    const auto it = object.find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
}

std::optional<int> integer(const json& object, const char* key, const std::string& base, const std::string& source)
{
    const json* v = member(object, key);
    if (!v)
        return std::nullopt;
    if (v->is_number_integer()) {
        const auto i = v->get<long long>();
        if (i >= 0 && i <= 1'000'000)
            return static_cast<int>(i);
    }
    fail(source, "\"" + keyPath(base, key) + "\" must be a whole number from 0 to 1000000");
}

// "period": "2024" (the resource gives it as text) or 2024.
std::optional<int> period(const json& object, const std::string& base, const std::string& source)
{
    const json* v = member(object, "period");
    if (!v)
        return std::nullopt;
    long long year = -1;
    if (v->is_number_integer()) {
        year = v->get<long long>();
    } else if (v->is_string()) {
        const std::string& s = v->get_ref<const std::string&>();
        if (s.size() == 4 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
            year = std::stoi(s);
    }
    if (year < 1900 || year > 2999)
        fail(source, "\"" + keyPath(base, "period") + "\" must be a year (1900 to 2999)");
    return static_cast<int>(year);
}

std::string text(const json& object, const char* key, const std::string& base, const std::string& source)
{
    const json* v = member(object, key);
    if (!v)
        return {};
    if (!v->is_string())
        fail(source, "\"" + keyPath(base, key) + "\" must be a string");
    return v->get<std::string>();
}

bool isCorrection(const json& v)
{
    return v.is_object() && (v.contains("balance") || v.contains("financialResult"));
}

void collect(const json& item, const std::string& where, const std::string& source, std::vector<Candidate>& out)
{
    if (!item.is_object())
        fail(source, "\"" + where + "\" must be an object (a report)");
    if (const json* corrections = member(item, "typeCorrections")) {
        const std::string listWhere = keyPath(where, "typeCorrections");
        if (!corrections->is_array())
            fail(source, "\"" + listWhere + "\" must be an array");
        const std::optional<int> year = period(item, where, source);
        const std::optional<int> actual = integer(item, "actualCorrectionNumber", where, source);
        for (std::size_t i = 0; i < corrections->size(); ++i) {
            const json& typeCorrection = (*corrections)[i];
            const std::string at = listWhere + "[" + std::to_string(i) + "]";
            if (!typeCorrection.is_object())
                fail(source, "\"" + at + "\" must be an object");
            const json* correction = member(typeCorrection, "correction");
            const std::string correctionWhere = at + ".correction";
            if (!correction || !isCorrection(*correction))
                fail(source, "\"" + correctionWhere + "\" must be an object with \"balance\" or \"financialResult\"");
            Candidate c;
            c.year = year ? year : period(*correction, correctionWhere, source);
            c.version = integer(*correction, "correctionVersion", correctionWhere, source).value_or(0);
            c.actualVersion = actual;
            c.correction = correction;
            c.report = &item;
            c.where = correctionWhere;
            out.push_back(c);
        }
        return;
    }
    if (isCorrection(item)) {
        Candidate c;
        c.year = period(item, where, source);
        c.version = integer(item, "correctionVersion", where, source).value_or(0);
        c.actualVersion = integer(item, "actualCorrectionNumber", where, source);
        c.correction = &item;
        c.report = &item;
        c.where = where;
        out.push_back(c);
        return;
    }
    fail(source, (where.empty() ? std::string("the top level") : "\"" + where + "\"") +
                     " is not a report: it has neither \"typeCorrections\" nor \"balance\" or \"financialResult\"");
}

std::string yearList(const std::vector<Candidate>& all)
{
    std::set<int> years;
    for (const auto& c : all)
        if (c.year)
            years.insert(*c.year);
    std::string out;
    for (int y : years)
        out += (out.empty() ? "" : ", ") + std::to_string(y);
    return out.empty() ? "none" : out;
}

const Candidate& choose(const std::vector<Candidate>& all, std::optional<int> year, const std::string& source)
{
    if (all.empty())
        fail(source, "the file holds no report");
    if (all.size() > 1)
        for (const auto& c : all)
            if (!c.year)
                fail(source, "\"" + keyPath(c.where, "period") + "\" is missing: the reports cannot be told apart by year");
    int wanted = 0;
    if (year) {
        wanted = *year;
    } else {
        for (const auto& c : all)
            wanted = std::max(wanted, c.year.value_or(0));
    }
    std::vector<const Candidate*> ofYear;
    for (const auto& c : all)
        if (!c.year || *c.year == wanted)
            ofYear.push_back(&c);
    if (ofYear.empty())
        fail(source, "no report for the year " + std::to_string(wanted) + " (the file holds " + yearList(all) + ")");

    // The valid correction is the one the report names; a file without that
    // number (a single correction as served on its own) gives the newest.
    std::vector<const Candidate*> valid;
    for (const Candidate* c : ofYear)
        if (!c->actualVersion || c->version == *c->actualVersion)
            valid.push_back(c);
    const std::string yearText = wanted ? "the year " + std::to_string(wanted) : "the report";
    if (valid.empty())
        fail(source, "no valid correction for " + yearText + ": \"actualCorrectionNumber\" is " +
                         std::to_string(*ofYear.front()->actualVersion) + " but no correction has that \"correctionVersion\"");
    const Candidate* best = valid.front();
    for (const Candidate* c : valid)
        if (c->version > best->version)
            best = c;
    for (const Candidate* c : valid)
        if (c != best && c->version == best->version)
            fail(source, "two corrections numbered " + std::to_string(best->version) + " for " + yearText + " (\"" +
                             best->where + "\" and \"" + c->where + "\")");
    return *best;
}

// The form blocks and the first digit of their line codes.
struct Block {
    const char* key;
    char form;
    int columns; // balance: three dates; the others: two years
};
constexpr Block kBlocks[] = {
    {"balance", '1', 3},
    {"financialResult", '2', 2},
    {"fundsMovement", '4', 2},
};

struct Column {
    const char* prefix;
    StatementColumn column;
};
constexpr Column kColumns[] = {
    {"current", kCurrent},
    {"previous", kPrevious},
    {"beforePrevious", kBeforePrevious},
};

// "current1600" → column and line; other keys (id, okud, notes' references,
// the sub-lines some reports add) are not values of the form's face.
bool lineKey(const std::string& key, StatementColumn& column, int& line)
{
    for (const auto& c : kColumns) {
        const std::string_view prefix = c.prefix;
        if (key.size() != prefix.size() + 4 || key.compare(0, prefix.size(), prefix) != 0)
            continue;
        int code = 0;
        for (std::size_t i = prefix.size(); i < key.size(); ++i) {
            if (key[i] < '0' || key[i] > '9')
                return false;
            code = code * 10 + (key[i] - '0');
        }
        column = c.column;
        line = code;
        return true;
    }
    return false;
}

int unitCode(const json& block, const std::string& base, const std::string& source)
{
    const json* v = member(block, "okei");
    if (!v)
        return 0;
    std::string code;
    if (v->is_string())
        code = v->get<std::string>();
    else if (v->is_number_integer())
        code = std::to_string(v->get<long long>());
    if (code != "383" && code != "384" && code != "385")
        fail(source, "\"" + keyPath(base, "okei") + "\" must be a unit code: 383, 384 or 385");
    return std::stoi(code);
}

void readBlock(const json& correction, const Block& block, const std::string& base, const std::string& source,
               Statement& st)
{
    const json* v = member(correction, block.key);
    if (!v)
        return;
    const std::string where = keyPath(base, block.key);
    if (!v->is_object())
        fail(source, "\"" + where + "\" must be an object");
    if (const int unit = unitCode(*v, where, source)) {
        if (st.unitCode != 0 && st.unitCode != unit)
            fail(source, "\"" + keyPath(where, "okei") + "\" gives another unit than the balance");
        st.unitCode = unit;
    }
    for (const auto& [key, value] : v->items()) {
        StatementColumn column;
        int line = 0;
        if (!lineKey(key, column, line))
            continue;
        const std::string at = keyPath(where, key);
        if (std::to_string(line)[0] != block.form)
            fail(source, "\"" + at + "\": line " + std::to_string(line) + " does not belong in \"" + block.key + "\"");
        if (static_cast<int>(column) >= block.columns)
            fail(source, "\"" + at + "\": \"" + block.key + "\" has no before-previous column");
        if (value.is_null())
            continue; // an empty cell
        if (!value.is_number())
            fail(source, "\"" + at + "\" must be a number");
        st.lines[line][column] = value.get<double>();
    }
}

} // namespace

Statement readStateJson(std::string_view bytes, const std::string& source, std::optional<int> year)
{
    if (bytes.size() > statement_limits::kMaxStateJsonBytes)
        fail(source, "file is larger than " + std::to_string(statement_limits::kMaxStateJsonBytes) + " bytes");
    const json doc = parse(bytes, source);

    std::vector<Candidate> all;
    if (doc.is_array()) {
        for (std::size_t i = 0; i < doc.size(); ++i)
            collect(doc[i], "[" + std::to_string(i) + "]", source, all);
    } else if (doc.is_object()) {
        collect(doc, "", source, all);
    } else {
        fail(source, "the top level must be a report (an object) or a list of reports (an array)");
    }
    const Candidate& chosen = choose(all, year, source);
    const json& correction = *chosen.correction;

    Statement st;
    st.sourceName = source;
    // A single report without "period" has no year; the mapping says what
    // that leaves unset.
    st.year = chosen.year ? *chosen.year : year.value_or(0);

    std::string knd = text(correction, "knd", chosen.where, source);
    if (knd.empty() && chosen.report != chosen.correction)
        knd = text(*chosen.report, "knd", "", source);
    if (knd == kSimplifiedStatements)
        fail(source, "\"" + keyPath(chosen.where, "knd") +
                         "\": simplified statements (KND 0710096) are not read: their lines merge what the analysis keeps "
                         "apart; export the full statements (KND 0710099)");
    if (!knd.empty() && knd != kFullStatements)
        fail(source, "\"" + keyPath(chosen.where, "knd") + "\": \"" + knd +
                         "\" is not the annual accounting statements (KND 0710099)");
    st.formatName = "state resource JSON, KND 0710099, correction " + std::to_string(chosen.version);

    // Who: the correction's own copy of the organisation's details, else the
    // report's, else keys at the report's top.
    for (const auto& [holder, key] : {std::pair{chosen.correction, "bfoOrganizationInfo"},
                                      std::pair{chosen.report, "organizationInfo"}}) {
        const json* info = member(*holder, key);
        if (!info)
            continue;
        const std::string base = keyPath(holder == chosen.correction ? chosen.where : "", key);
        if (!info->is_object())
            fail(source, "\"" + base + "\" must be an object");
        if (st.organisation.empty())
            st.organisation = text(*info, "fullName", base, source);
        if (st.organisation.empty())
            st.organisation = text(*info, "shortName", base, source);
        if (st.taxNumber.empty())
            st.taxNumber = text(*info, "inn", base, source);
    }
    if (st.organisation.empty())
        st.organisation = text(*chosen.report, "fullName", "", source);
    if (st.organisation.empty())
        st.organisation = text(*chosen.report, "shortName", "", source);
    if (st.taxNumber.empty())
        st.taxNumber = text(*chosen.report, "inn", "", source);

    // The resource serves thousands of roubles and names no unit; a block
    // that does ("okei") is taken at its word.
    st.unitCode = 0;
    for (const auto& block : kBlocks)
        readBlock(correction, block, chosen.where, source, st);
    if (st.unitCode == 0)
        st.unitCode = 384;
    if (!member(correction, "balance"))
        fail(source, "\"" + keyPath(chosen.where, "balance") + "\" is missing: the report has no balance sheet");
    if (!member(correction, "financialResult"))
        fail(source, "\"" + keyPath(chosen.where, "financialResult") +
                         "\" is missing: the report has no statement of financial results");
    return st;
}

} // namespace kalvanta
