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

std::string keyPath(const std::string& base, const std::string& key)
{
    return base.empty() ? key : base + "." + key;
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
constexpr int kBlockCount = 3;

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
bool lineKey(std::string_view key, StatementColumn& column, int& line)
{
    for (const auto& c : kColumns) {
        const std::string_view prefix = c.prefix;
        if (key.size() != prefix.size() + 4 || !key.starts_with(prefix))
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

// An organisation's details: bfoOrganizationInfo, organizationInfo, or the
// keys at a report's top.
struct Details {
    bool present = false;
    std::string fullName, shortName, inn;
};

// One object that is a report (a year's entry of the list) or a correction
// (inside a report's typeCorrections, or on its own). Problems in the parts
// read only from the chosen report wait until it is chosen.
struct Record {
    std::string where; // key path, for messages
    std::optional<int> period, actualVersion, version;
    std::string knd;
    bool hasTypeCorrections = false;
    bool hasFormKey = false; // "balance" or "financialResult", even null
    Details own, bfoInfo, orgInfo;
    std::vector<std::size_t> corrections; // records of its typeCorrections
    // the forms' figures, put in a statement only for the chosen correction
    struct Cell {
        int line;
        StatementColumn column;
        double value;
    };
    std::vector<Cell> cells;
    std::vector<bool> cellsSeen; // per block, line and column: duplicates
    bool blockPresent[kBlockCount] = {};
    int blockUnit[kBlockCount] = {};
    std::string problem; // the first, reported if chosen
    std::set<std::string> keysRead;
};

// What the next value of an object or array means.
enum class Slot {
    Ignore,
    Entry,           // an element of the list of reports, or the top object
    Period,
    ActualVersion,
    Version,
    Knd,
    FullName,
    ShortName,
    Inn,
    TypeCorrections, // the array
    TypeCorrection,  // an element of it
    Correction,      // its "correction"
    Info,            // bfoOrganizationInfo / organizationInfo
    Block,
    Line,
    Okei,
};

// A report's list, the resource's answers, read as events: no tree of the
// whole file is built, only the figures and details a report holds.
class Reader : public nlohmann::json_sax<json> {
public:
    explicit Reader(const std::string& source) : source_(source) {}

    std::vector<Record> records;
    std::vector<std::size_t> entries; // records that are list entries (or the top object)
    bool topIsArray = false;
    bool topSeen = false;

    bool null() override
    {
        value(nullptr, Kind::Null);
        return true;
    }
    bool boolean(bool) override
    {
        value(nullptr, Kind::Other);
        return true;
    }
    bool number_integer(number_integer_t v) override
    {
        const Number n{static_cast<double>(v), true, v};
        value(&n, Kind::Number);
        return true;
    }
    bool number_unsigned(number_unsigned_t v) override
    {
        // past any count or year: the checks refuse it as such
        const Number n{static_cast<double>(v), true, v > 1'000'000'000u ? 1'000'000'001LL : static_cast<long long>(v)};
        value(&n, Kind::Number);
        return true;
    }
    bool number_float(number_float_t v, const string_t&) override
    {
        const Number n{v, false, 0};
        value(&n, Kind::Number);
        return true;
    }
    bool string(string_t& s) override
    {
        text_ = &s;
        value(nullptr, Kind::String);
        return true;
    }
    bool binary(binary_t&) override
    {
        value(nullptr, Kind::Other);
        return true;
    }
    bool start_object(std::size_t) override
    {
        open(false);
        return true;
    }
    bool start_array(std::size_t) override
    {
        open(true);
        return true;
    }
    bool end_object() override
    {
        close();
        return true;
    }
    bool end_array() override
    {
        close();
        return true;
    }
    bool key(string_t& k) override
    {
        Frame& f = frames_.back();
        f.key = k;
        f.slot = Slot::Ignore;
        switch (f.role) {
        case Slot::Entry:
        case Slot::Correction:
            objectKey(f, k);
            break;
        case Slot::TypeCorrection:
            if (k == "correction") {
                if (f.sawCorrection)
                    fail(source_, "duplicate key \"" + path() + "\"");
                f.slot = Slot::Correction;
            }
            break;
        case Slot::Info:
            if (k == "fullName" || k == "shortName" || k == "inn") {
                readOnce(f, 100 + f.block, k);
                f.slot = k == "fullName" ? Slot::FullName : k == "shortName" ? Slot::ShortName : Slot::Inn;
            }
            break;
        case Slot::Block:
            blockKey(f, k);
            break;
        default:
            break;
        }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override
    {
        const std::string where = path();
        if (e.id == 406) // a number beyond the double range
            fail(source_, "\"" + where + "\" is beyond the range of numbers: " + e.what());
        fail(source_, "malformed JSON" + (where.empty() ? std::string() : " at \"" + where + "\"") + ": " + e.what());
    }

private:
    enum class Kind { Null, Number, String, Other };
    struct Number {
        double value;
        bool integer; // a whole number, exactly as `whole`
        long long whole;
    };
    struct Frame {
        Slot role = Slot::Ignore;
        bool array = false;
        std::size_t index = 0; // arrays: the element being read
        std::string key;       // objects: the key being read
        Slot slot = Slot::Ignore;
        std::size_t record = 0; // Entry, Correction, Info, Block: the record
        int block = 0;          // Block: which; Info: 0 bfoOrganizationInfo, 1 organizationInfo
        int line = 0;           // Line: code
        StatementColumn column = kCurrent;
        bool sawCorrection = false; // TypeCorrection: its "correction" came
    };

    // The path of the value being read: "[2].typeCorrections[0].correction.balance.current1600".
    std::string path() const
    {
        std::string out;
        for (const Frame& f : frames_) {
            if (f.array) {
                // Piece by piece: "[" + to_string(...) trips g++ 12's false
                // overlapping-memcpy warning at -O3.
                out += '[';
                out += std::to_string(f.index);
                out += ']';
            } else if (!f.key.empty())
                out += (out.empty() ? "" : ".") + f.key;
        }
        return out;
    }
    // The path of the object being read (without its current key).
    std::string objectPath() const
    {
        std::string key;
        std::swap(key, const_cast<Frame&>(frames_.back()).key);
        std::string out = path();
        std::swap(key, const_cast<Frame&>(frames_.back()).key);
        return out;
    }

    Record& record(const Frame& f) { return records[f.record]; }

    // A key read twice in one object is refused: the file is ambiguous.
    // `scope` tells the objects of one record apart (its own keys, its
    // details, each block).
    void readOnce(Frame& f, int scope, const std::string& k)
    {
        if (!record(f).keysRead.insert(std::to_string(scope) + ":" + k).second)
            fail(source_, "duplicate key \"" + path() + "\"");
    }

    void objectKey(Frame& f, const std::string& k)
    {
        struct Known {
            const char* key;
            Slot slot;
        };
        static const Known kKnown[] = {
            {"period", Slot::Period},
            {"actualCorrectionNumber", Slot::ActualVersion},
            {"correctionVersion", Slot::Version},
            {"knd", Slot::Knd},
            {"fullName", Slot::FullName},
            {"shortName", Slot::ShortName},
            {"inn", Slot::Inn},
            {"typeCorrections", Slot::TypeCorrections},
            {"bfoOrganizationInfo", Slot::Info},
            {"organizationInfo", Slot::Info},
        };
        for (const Known& known : kKnown)
            if (k == known.key) {
                // a correction inside a report: the report's keys are not its own
                if (f.role == Slot::Correction && (known.slot == Slot::TypeCorrections || known.slot == Slot::ActualVersion ||
                                                   k == "organizationInfo" || known.slot == Slot::FullName ||
                                                   known.slot == Slot::ShortName || known.slot == Slot::Inn))
                    return;
                readOnce(f, 0, k);
                f.slot = known.slot;
                f.block = k == "organizationInfo" ? 1 : 0;
                return;
            }
        for (int b = 0; b < kBlockCount; ++b)
            if (k == kBlocks[b].key) {
                readOnce(f, 0, k);
                if (b < 2)
                    record(f).hasFormKey = true;
                f.slot = Slot::Block;
                f.block = b;
                return;
            }
    }

    void blockKey(Frame& f, const std::string& k)
    {
        Record& r = record(f);
        const Block& block = kBlocks[f.block];
        if (k == "okei") {
            readOnce(f, 200 + f.block, k);
            f.slot = Slot::Okei;
            return;
        }
        StatementColumn column;
        int line = 0;
        if (!lineKey(k, column, line))
            return;
        if (line / 1000 != block.form - '0') {
            problem(r, "\"" + path() + "\": line " + std::to_string(line) + " does not belong in \"" + block.key + "\"");
            return;
        }
        // blocks × 1000 lines of their form × 3 columns
        if (r.cellsSeen.empty())
            r.cellsSeen.resize(kBlockCount * 3000);
        const std::size_t seen = static_cast<std::size_t>(f.block * 3000 + (line % 1000) * 3 + static_cast<int>(column));
        if (r.cellsSeen[seen])
            fail(source_, "duplicate key \"" + path() + "\"");
        r.cellsSeen[seen] = true;
        if (static_cast<int>(column) >= block.columns) {
            problem(r, "\"" + path() + "\": \"" + block.key + "\" has no before-previous column");
            return;
        }
        f.slot = Slot::Line;
        f.line = line;
        f.column = column;
    }

    static void problem(Record& r, const std::string& what)
    {
        if (r.problem.empty())
            r.problem = what;
    }

    std::optional<int> wholeNumber(const Number* n, Kind kind)
    {
        if (kind == Kind::Null)
            return std::nullopt;
        if (kind == Kind::Number && n->integer && n->whole >= 0 && n->whole <= 1'000'000)
            return static_cast<int>(n->whole);
        fail(source_, "\"" + path() + "\" must be a whole number from 0 to 1000000");
    }

    std::optional<int> year(const Number* n, Kind kind)
    {
        if (kind == Kind::Null)
            return std::nullopt;
        long long y = -1;
        if (kind == Kind::Number && n->integer) {
            y = n->whole;
        } else if (kind == Kind::String) {
            const std::string& s = *text_;
            if (s.size() == 4 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
                y = std::stoi(s);
        }
        if (y < 1900 || y > 2999)
            fail(source_, "\"" + path() + "\" must be a year (1900 to 2999)");
        return static_cast<int>(y);
    }

    void text(Record& r, Kind kind, std::string& target)
    {
        if (kind == Kind::Null)
            return;
        if (kind != Kind::String) {
            problem(r, "\"" + path() + "\" must be a string");
            return;
        }
        target = *text_;
    }

    Details& details(Frame& f)
    {
        Record& r = record(f);
        if (f.role != Slot::Info)
            return r.own;
        return f.block == 0 ? r.bfoInfo : r.orgInfo;
    }

    // A scalar value (or null) in the current frame.
    void value(const Number* n, Kind kind)
    {
        if (frames_.empty()) {
            fail(source_, "the top level must be a report (an object) or a list of reports (an array)");
        }
        Frame& f = frames_.back();
        const Slot slot = f.array ? elementSlot(f) : f.slot;
        switch (slot) {
        case Slot::Period:
            record(f).period = year(n, kind);
            break;
        case Slot::ActualVersion:
            record(f).actualVersion = wholeNumber(n, kind);
            break;
        case Slot::Version:
            record(f).version = wholeNumber(n, kind);
            break;
        case Slot::Knd:
            text(record(f), kind, record(f).knd);
            break;
        case Slot::FullName:
            text(record(f), kind, details(f).fullName);
            break;
        case Slot::ShortName:
            text(record(f), kind, details(f).shortName);
            break;
        case Slot::Inn:
            text(record(f), kind, details(f).inn);
            break;
        case Slot::Entry:
            if (kind != Kind::Null || f.array)
                fail(source_, "\"" + path() + "\" must be an object (a report)");
            break;
        case Slot::TypeCorrections:
            if (kind != Kind::Null)
                fail(source_, "\"" + path() + "\" must be an array");
            break;
        case Slot::TypeCorrection:
            fail(source_, "\"" + path() + "\" must be an object");
        case Slot::Correction:
            fail(source_, "\"" + path() + "\" must be an object with \"balance\" or \"financialResult\"");
        case Slot::Info:
            if (kind != Kind::Null)
                problem(record(f), "\"" + path() + "\" must be an object");
            break;
        case Slot::Block:
            if (kind != Kind::Null)
                problem(record(f), "\"" + path() + "\" must be an object");
            break;
        case Slot::Line:
            if (kind == Kind::Number)
                record(f).cells.push_back(Record::Cell{f.line, f.column, n->value});
            else if (kind != Kind::Null)
                problem(record(f), "\"" + path() + "\" must be a number");
            break;
        case Slot::Okei: {
            std::string code;
            if (kind == Kind::String)
                code = *text_;
            else if (kind == Kind::Number && n->integer)
                code = std::to_string(n->whole);
            if (code != "383" && code != "384" && code != "385")
                problem(record(f), "\"" + path() + "\" must be a unit code: 383, 384 or 385");
            else
                record(f).blockUnit[f.block] = std::stoi(code);
            break;
        }
        case Slot::Ignore:
            break;
        }
        advance();
    }

    Slot elementSlot(const Frame& f) const
    {
        switch (f.role) {
        case Slot::Entry: // the list
            return Slot::Entry;
        case Slot::TypeCorrections:
            return Slot::TypeCorrection;
        default:
            return Slot::Ignore;
        }
    }

    void advance()
    {
        if (!frames_.empty() && frames_.back().array)
            ++frames_.back().index;
    }

    void open(bool array)
    {
        if (frames_.size() >= statement_limits::kMaxStateJsonDepth)
            fail(source_, "\"" + path() + "\": nested deeper than " +
                              std::to_string(statement_limits::kMaxStateJsonDepth) + " levels");
        Frame child;
        child.array = array;
        if (frames_.empty()) {
            topSeen = true;
            topIsArray = array;
            if (array) {
                child.role = Slot::Entry; // the list: its elements are entries
            } else {
                child.role = Slot::Entry;
                child.record = newRecord("");
            }
            frames_.push_back(std::move(child));
            return;
        }
        Frame& parent = frames_.back();
        const Slot slot = parent.array ? elementSlot(parent) : parent.slot;
        child.record = parent.record;
        child.block = parent.block;
        switch (slot) {
        case Slot::Entry:
            if (array)
                fail(source_, "\"" + path() + "\" must be an object (a report)");
            child.role = Slot::Entry;
            child.record = newRecord(path());
            break;
        case Slot::TypeCorrections:
            if (!array)
                fail(source_, "\"" + path() + "\" must be an array");
            record(parent).hasTypeCorrections = true;
            child.role = Slot::TypeCorrections;
            break;
        case Slot::TypeCorrection:
            if (array)
                fail(source_, "\"" + path() + "\" must be an object");
            child.role = Slot::TypeCorrection;
            break;
        case Slot::Correction:
            if (array)
                fail(source_, "\"" + path() + "\" must be an object with \"balance\" or \"financialResult\"");
            child.role = Slot::Correction;
            child.record = newRecord(path());
            records[parent.record].corrections.push_back(child.record);
            parent.sawCorrection = true;
            break;
        case Slot::Info:
            if (array) {
                problem(record(parent), "\"" + path() + "\" must be an object");
                child.role = Slot::Ignore;
            } else {
                child.role = Slot::Info;
                (parent.block == 0 ? record(parent).bfoInfo : record(parent).orgInfo).present = true;
            }
            break;
        case Slot::Block:
            if (array) {
                problem(record(parent), "\"" + path() + "\" must be an object");
                child.role = Slot::Ignore;
            } else {
                child.role = Slot::Block;
                record(parent).blockPresent[parent.block] = true;
            }
            break;
        case Slot::Line:
            problem(record(parent), "\"" + path() + "\" must be a number");
            child.role = Slot::Ignore;
            break;
        case Slot::Period:
        case Slot::ActualVersion:
        case Slot::Version:
            // the same messages as for any other value that is no number
            value(nullptr, Kind::Other);
            break;
        case Slot::Knd:
        case Slot::FullName:
        case Slot::ShortName:
        case Slot::Inn:
            problem(record(parent), "\"" + path() + "\" must be a string");
            child.role = Slot::Ignore;
            break;
        case Slot::Okei:
            problem(record(parent), "\"" + path() + "\" must be a unit code: 383, 384 or 385");
            child.role = Slot::Ignore;
            break;
        case Slot::Ignore:
            child.role = Slot::Ignore;
            break;
        }
        frames_.push_back(std::move(child));
    }

    void close()
    {
        const Frame f = std::move(frames_.back());
        frames_.pop_back();
        if (f.role == Slot::TypeCorrection && !f.sawCorrection) {
            frames_.push_back(f);
            frames_.back().key = "correction";
            const std::string at = path();
            fail(source_, "\"" + at + "\" must be an object with \"balance\" or \"financialResult\"");
        }
        if (f.role == Slot::Correction && !records[f.record].hasFormKey) {
            frames_.push_back(f);
            const std::string at = objectPath();
            fail(source_, "\"" + at + "\" must be an object with \"balance\" or \"financialResult\"");
        }
        if (f.role == Slot::Entry && !f.array)
            entries.push_back(f.record);
        advance();
    }

    std::size_t newRecord(std::string where)
    {
        if (records.size() >= statement_limits::kMaxStateJsonReports)
            fail(source_, "\"" + where + "\": more than " + std::to_string(statement_limits::kMaxStateJsonReports) +
                              " reports and corrections");
        records.emplace_back();
        records.back().where = std::move(where);
        return records.size() - 1;
    }

    const std::string& source_;
    std::vector<Frame> frames_;
    const string_t* text_ = nullptr;
};

// One correction of one year's report, as the file gives it.
struct Candidate {
    std::optional<int> year;
    int version = 0;
    std::optional<int> actualVersion; // the report's actualCorrectionNumber
    const Record* correction = nullptr;
    const Record* report = nullptr; // the entry holding it, or the correction itself
};

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
                fail(source, "\"" + keyPath(c.correction->where, "period") +
                                 "\" is missing: the reports cannot be told apart by year");
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
                             best->correction->where + "\" and \"" + c->correction->where + "\")");
    return *best;
}

} // namespace

Statement readStateJson(std::string_view bytes, const std::string& source, std::optional<int> year)
{
    if (bytes.size() > statement_limits::kMaxStateJsonBytes)
        fail(source, "file is larger than " + std::to_string(statement_limits::kMaxStateJsonBytes) + " bytes");
    Reader reader(source);
    json::sax_parse(bytes.begin(), bytes.end(), &reader);
    if (!reader.topSeen)
        fail(source, "the top level must be a report (an object) or a list of reports (an array)");

    std::vector<Candidate> all;
    for (const std::size_t e : reader.entries) {
        const Record& entry = reader.records[e];
        if (entry.hasTypeCorrections) {
            for (const std::size_t c : entry.corrections) {
                const Record& correction = reader.records[c];
                all.push_back(Candidate{entry.period ? entry.period : correction.period,
                                        correction.version.value_or(0), entry.actualVersion, &correction, &entry});
            }
        } else if (entry.hasFormKey) {
            all.push_back(Candidate{entry.period, entry.version.value_or(0), entry.actualVersion, &entry, &entry});
        } else {
            fail(source, (entry.where.empty() ? std::string("the top level") : "\"" + entry.where + "\"") +
                             " is not a report: it has neither \"typeCorrections\" nor \"balance\" or \"financialResult\"");
        }
    }
    const Candidate& chosen = choose(all, year, source);
    const Record& correction = *chosen.correction;
    const Record& report = *chosen.report;
    if (!correction.problem.empty())
        fail(source, correction.problem);
    if (!report.problem.empty())
        fail(source, report.problem);

    Statement st;
    st.sourceName = source;
    // A single report without "period" has no year; the mapping says what
    // that leaves unset.
    st.year = chosen.year ? *chosen.year : year.value_or(0);

    const std::string knd = correction.knd.empty() ? report.knd : correction.knd;
    if (knd == kSimplifiedStatements)
        fail(source, "\"" + keyPath(correction.where, "knd") +
                         "\": simplified statements (KND 0710096) are not read: their lines merge what the analysis keeps "
                         "apart; export the full statements (KND 0710099)");
    if (!knd.empty() && knd != kFullStatements)
        fail(source, "\"" + keyPath(correction.where, "knd") + "\": \"" + knd +
                         "\" is not the annual accounting statements (KND 0710099)");
    st.formatName = "state resource JSON, KND 0710099, correction " + std::to_string(chosen.version);

    // Who: the correction's own copy of the organisation's details, else the
    // report's, else keys at the report's top.
    for (const Details* d : {&correction.bfoInfo, &report.orgInfo, &report.own}) {
        if (st.organisation.empty())
            st.organisation = d->fullName.empty() ? d->shortName : d->fullName;
        if (st.taxNumber.empty())
            st.taxNumber = d->inn;
    }

    // The resource serves thousands of roubles and names no unit; a block
    // that does ("okei") is taken at its word.
    st.unitCode = 0;
    for (int b = 0; b < kBlockCount; ++b) {
        const int unit = correction.blockUnit[b];
        if (!unit)
            continue;
        if (st.unitCode != 0 && st.unitCode != unit)
            fail(source, "\"" + keyPath(keyPath(correction.where, kBlocks[b].key), "okei") +
                             "\" gives another unit than the balance");
        st.unitCode = unit;
    }
    if (st.unitCode == 0)
        st.unitCode = 384;
    for (const Record::Cell& c : correction.cells)
        st.lines[c.line][static_cast<std::size_t>(c.column)] = c.value;
    if (!correction.blockPresent[0])
        fail(source, "\"" + keyPath(correction.where, "balance") + "\" is missing: the report has no balance sheet");
    if (!correction.blockPresent[1])
        fail(source, "\"" + keyPath(correction.where, "financialResult") +
                         "\" is missing: the report has no statement of financial results");
    return st;
}

} // namespace kalvanta
