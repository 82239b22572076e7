#include "statements/state_json_reader.h"

#include <algorithm>
#include <cmath>
#include <map>
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
    // "okved2" (text, or an object whose "id" is the code) before "okved2_id" or "okved"
    std::string okved2, okvedOther;
};

// One object that is a report (a year's entry of the list) or a correction
// (inside a report's typeCorrections, or on its own). Problems in the parts
// read only from the chosen report wait until it is chosen.
struct Record {
    std::string where; // key path, for messages
    std::optional<int> period, actualVersion, version;
    // Months the set covers: "periodType" of the record, "type" of the
    // typeCorrections element holding it; 12 is the annual statements.
    std::optional<int> months, typeMonths;
    std::string interimPeriod; // a "period" that is more than a year ("2024-06")
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

bool isDigit(char c) { return c >= '0' && c <= '9'; }

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
    Okved,           // the main activity's code, as text
    OkvedObject,     // "okved2": {"id": "26.11", "name": …}
    PeriodType,      // "periodType" of an entry or a correction
    CorrectionType,  // "type" of a typeCorrections element
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
        // "418.0", "2.0E3": whole numbers where a count or a year is read
        const bool whole = std::isfinite(v) && std::trunc(v) == v;
        long long w = 0;
        if (whole)
            w = v > 1e9 ? 1'000'000'001LL : v < -1e9 ? -1'000'000'001LL : static_cast<long long>(v);
        const Number n{v, whole, w};
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
            } else if (k == "type") {
                if (f.sawType)
                    fail(source_, "duplicate key \"" + path() + "\"");
                f.sawType = true;
                f.slot = Slot::CorrectionType;
            }
            break;
        case Slot::Info:
            if (k == "fullName" || k == "shortName" || k == "inn") {
                readOnce(f, 100 + f.block, k);
                f.slot = k == "fullName" ? Slot::FullName : k == "shortName" ? Slot::ShortName : Slot::Inn;
            } else if (isOkvedKey(k)) {
                readOnce(f, 100 + f.block, k);
                f.slot = Slot::Okved;
                f.okved2 = k == "okved2";
            }
            break;
        case Slot::OkvedObject:
            if (k == "id") {
                readOnce(f, 300 + f.block, k);
                f.slot = Slot::Okved;
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
        bool sawType = false;       // TypeCorrection: its "type" came
        std::optional<int> typeMonths;
        std::string typeProblem; // TypeCorrection: "type" is no count of months
        bool okved2 = false;    // Okved, OkvedObject: the value is "okved2"'s
    };

    static bool isOkvedKey(const std::string& k) { return k == "okved2" || k == "okved2_id" || k == "okved"; }

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
            {"periodType", Slot::PeriodType},
            {"okved2", Slot::Okved},
            {"okved2_id", Slot::Okved},
            {"okved", Slot::Okved},
        };
        for (const Known& known : kKnown)
            if (k == known.key) {
                // a correction inside a report: the report's keys are not its own
                if (f.role == Slot::Correction && (known.slot == Slot::TypeCorrections || known.slot == Slot::ActualVersion ||
                                                   k == "organizationInfo" || known.slot == Slot::FullName ||
                                                   known.slot == Slot::ShortName || known.slot == Slot::Inn ||
                                                   known.slot == Slot::Okved))
                    return;
                readOnce(f, 0, k);
                f.slot = known.slot;
                f.block = k == "bfoOrganizationInfo" ? 0 : k == "organizationInfo" ? 1 : 2;
                f.okved2 = k == "okved2";
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
        if (f.role != Slot::Info && f.role != Slot::OkvedObject)
            return r.own;
        return f.block == 0 ? r.bfoInfo : f.block == 1 ? r.orgInfo : r.own;
    }

    // A count of months: "periodType" and a correction's "type" (12: a year).
    std::optional<int> months(const Number* n, Kind kind)
    {
        if (kind == Kind::Number && n->integer && n->whole >= 1 && n->whole <= 12)
            return static_cast<int>(n->whole);
        return std::nullopt;
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
            // "2024-06", "2024 9 мес.": a set for part of the year
            if (kind == Kind::String && text_->size() > 4 && !isDigit((*text_)[4]) &&
                std::all_of(text_->begin(), text_->begin() + 4, isDigit)) {
                record(f).interimPeriod = *text_;
                const std::string yearOnly = text_->substr(0, 4);
                text_ = &yearOnly;
                record(f).period = year(n, kind);
                text_ = nullptr;
                break;
            }
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
        case Slot::Okved:
            // the activity's code only informs: a value of another kind is passed over
            if (kind == Kind::String)
                (f.okved2 ? details(f).okved2 : details(f).okvedOther) = *text_;
            break;
        case Slot::PeriodType:
            if (kind != Kind::Null) {
                record(f).months = months(n, kind);
                if (!record(f).months)
                    problem(record(f), "\"" + path() + "\" must be the months the report covers (1 to 12)");
            }
            break;
        case Slot::CorrectionType:
            if (kind != Kind::Null) {
                f.typeMonths = months(n, kind);
                if (!f.typeMonths)
                    f.typeProblem = "\"" + path() + "\" must be the months the report covers (1 to 12)";
            }
            break;
        case Slot::OkvedObject:
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
        case Slot::Okved:
            child.role = array || parent.role == Slot::OkvedObject ? Slot::Ignore : Slot::OkvedObject;
            child.okved2 = parent.okved2;
            break;
        case Slot::PeriodType:
        case Slot::CorrectionType:
            value(nullptr, Kind::Other); // no count of months; the object's contents are not read
            child.role = Slot::Ignore;
            break;
        case Slot::OkvedObject:
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
        if (f.role == Slot::TypeCorrection && !records[f.record].corrections.empty()) {
            Record& correction = records[records[f.record].corrections.back()];
            correction.typeMonths = f.typeMonths;
            if (!f.typeProblem.empty())
                problem(correction, f.typeProblem);
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
    std::string interim;            // what the set covers when it is not the year: "6 месяцев 2024 года"
};

std::string monthsText(int months)
{
    const char* word = months == 1 ? "месяц" : months <= 4 ? "месяца" : "месяцев";
    return std::to_string(months) + " " + word;
}

// Interim sets (a quarter, a half-year, nine months) stand in the resource's
// list beside the annual ones: told by a count of months other than 12 or by
// a period that is more than a year.
std::string interimText(const Record& correction, const Record& report, std::optional<int> year)
{
    const std::string yearText = year ? " " + std::to_string(*year) + " года" : std::string();
    for (const std::optional<int>& m : {correction.months, correction.typeMonths, report.months})
        if (m && *m != 12)
            return monthsText(*m) + yearText;
    for (const std::string* p : {&correction.interimPeriod, &report.interimPeriod})
        if (!p->empty())
            return "период «" + *p + "»";
    return {};
}

struct Collected {
    std::vector<Candidate> annual;
    std::vector<std::string> interimNotes; // one per interim set
    std::set<int> unpublished;             // years whose entry has no correction yet
};

Collected collect(const Reader& reader, const std::string& source)
{
    Collected out;
    std::vector<Candidate> all;
    for (const std::size_t e : reader.entries) {
        const Record& entry = reader.records[e];
        if (entry.hasTypeCorrections) {
            if (entry.corrections.empty() && entry.period)
                out.unpublished.insert(*entry.period);
            for (const std::size_t c : entry.corrections) {
                const Record& correction = reader.records[c];
                all.push_back(Candidate{entry.period ? entry.period : correction.period,
                                        correction.version.value_or(0), entry.actualVersion, &correction, &entry, {}});
            }
        } else if (entry.hasFormKey) {
            all.push_back(Candidate{entry.period, entry.version.value_or(0), entry.actualVersion, &entry, &entry, {}});
        } else {
            fail(source, (entry.where.empty() ? std::string("the top level") : "\"" + entry.where + "\"") +
                             " is not a report: it has neither \"typeCorrections\" nor \"balance\" or \"financialResult\"");
        }
    }
    std::set<std::string> seen;
    for (Candidate& c : all) {
        c.interim = interimText(*c.correction, *c.report, c.year);
        if (c.interim.empty()) {
            out.annual.push_back(c);
        } else if (seen.insert(c.interim).second) {
            out.interimNotes.push_back("Промежуточная отчетность за " + c.interim +
                                       " пропущена: анализ ведется по годовой отчетности.");
        }
    }
    for (const Candidate& c : out.annual)
        if (c.year)
            out.unpublished.erase(*c.year);
    return out;
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

// The file holds nothing to read for the annual analysis.
[[noreturn]] void failNoAnnual(const Collected& c, const std::string& source)
{
    if (!c.interimNotes.empty())
        fail(source, "the file holds only interim reports (for less than a year): the analysis needs the annual statements");
    fail(source, "the file holds no report");
}

struct YearChoice {
    const Candidate* chosen = nullptr;
    std::vector<std::string> notes; // which correction was taken where the file does not say
};

// The valid correction of one year: the one the report names. Where it names
// none (no "actualCorrectionNumber", or null) or one the file lacks, the
// highest "correctionVersion", and a note says so.
YearChoice chooseInYear(const std::vector<const Candidate*>& ofYear, int year, const std::string& source)
{
    const std::string yearText = year ? "the year " + std::to_string(year) : "the report";
    const std::string noteHead = year ? "Отчетность за " + std::to_string(year) + " год: " : "Отчетность: ";
    std::vector<const Candidate*> valid;
    for (const Candidate* c : ofYear)
        if (!c->actualVersion || c->version == *c->actualVersion)
            valid.push_back(c);
    const bool namedMissing = valid.empty();
    if (namedMissing)
        valid = ofYear;
    YearChoice out;
    const Candidate* best = valid.front();
    for (const Candidate* c : valid)
        if (c->version > best->version)
            best = c;
    for (const Candidate* c : valid)
        if (c != best && c->version == best->version)
            fail(source, "two corrections numbered " + std::to_string(best->version) + " for " + yearText + " (\"" +
                             best->correction->where + "\" and \"" + c->correction->where + "\")");
    out.chosen = best;
    const std::string taken = "взята корректировка " + std::to_string(best->version) + " с наибольшим номером.";
    if (namedMissing)
        out.notes.push_back(noteHead + "актуальная корректировка " + std::to_string(*ofYear.front()->actualVersion) +
                            " («actualCorrectionNumber») в файле отсутствует, " + taken);
    else if (!best->actualVersion && valid.size() > 1)
        out.notes.push_back(noteHead + "номер актуальной корректировки («actualCorrectionNumber») не указан, " + taken);
    return out;
}

// The codes of "knd": one, or several in one text ("0710099 0710095").
std::vector<std::string> kndCodes(const std::string& knd)
{
    std::vector<std::string> codes;
    std::string code;
    for (const char ch : knd + " ") {
        if (ch == ' ' || ch == ',' || ch == ';' || ch == '\t') {
            if (!code.empty())
                codes.push_back(code);
            code.clear();
        } else {
            code += ch;
        }
    }
    return codes;
}

Statement build(const YearChoice& choice, std::optional<int> askedYear, const std::string& source)
{
    const Candidate& chosen = *choice.chosen;
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
    st.year = chosen.year ? *chosen.year : askedYear.value_or(0);
    st.readerNotes = choice.notes;

    // Full statements, or the simplified ones of small companies; a list of
    // codes names the forms of the set, and one simplified form makes it so.
    const std::string knd = correction.knd.empty() ? report.knd : correction.knd;
    const std::vector<std::string> codes = kndCodes(knd);
    const bool simplified = std::find(codes.begin(), codes.end(), kSimplifiedStatements) != codes.end();
    const bool full = std::find(codes.begin(), codes.end(), kFullStatements) != codes.end();
    if (!codes.empty() && !simplified && !full)
        fail(source, "\"" + keyPath(correction.knd.empty() ? report.where : correction.where, "knd") + "\": \"" + knd +
                         "\" is not the annual accounting statements (KND 0710099, or 0710096 simplified)");
    st.simplified = simplified;
    st.formatName = std::string("state resource JSON, KND ") + (simplified ? kSimplifiedStatements : kFullStatements) +
                    ", correction " + std::to_string(chosen.version);

    // Who: the correction's own copy of the organisation's details, else the
    // report's, else keys at the report's top.
    for (const Details* d : {&correction.bfoInfo, &report.orgInfo, &report.own}) {
        if (st.organisation.empty())
            st.organisation = d->fullName.empty() ? d->shortName : d->fullName;
        if (st.taxNumber.empty())
            st.taxNumber = d->inn;
    }
    for (const Details* d : {&correction.bfoInfo, &report.orgInfo, &report.own})
        if (st.okved.empty())
            st.okved = d->okved2.empty() ? d->okvedOther : d->okved2;

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
    // Non-profit organisations file no statement of financial results: the
    // balance still serves a history.
    st.hasBalance = correction.blockPresent[0];
    st.hasProfitLoss = correction.blockPresent[1];
    if (!st.hasBalance && !st.hasProfitLoss)
        fail(source, (correction.where.empty() ? std::string("the report") : "\"" + correction.where + "\"") +
                         " has neither a balance sheet (\"balance\") nor a statement of financial results "
                         "(\"financialResult\")");
    return st;
}

Collected parse(std::string_view bytes, const std::string& source, Reader& reader)
{
    if (bytes.size() > statement_limits::kMaxStateJsonBytes)
        fail(source, "file is larger than " + std::to_string(statement_limits::kMaxStateJsonBytes) + " bytes");
    json::sax_parse(bytes.begin(), bytes.end(), &reader);
    if (!reader.topSeen)
        fail(source, "the top level must be a report (an object) or a list of reports (an array)");
    return collect(reader, source);
}

std::string withoutSource(const std::string& message, const std::string& source)
{
    const std::string prefix = source + ": ";
    return message.starts_with(prefix) ? message.substr(prefix.size()) : message;
}

} // namespace

Statement readStateJson(std::string_view bytes, const std::string& source, std::optional<int> year)
{
    Reader reader(source);
    const Collected c = parse(bytes, source, reader);
    const std::vector<Candidate>& all = c.annual;
    if (all.empty())
        failNoAnnual(c, source);
    if (all.size() > 1)
        for (const auto& a : all)
            if (!a.year)
                fail(source, "\"" + keyPath(a.correction->where, "period") +
                                 "\" is missing: the reports cannot be told apart by year");
    int wanted = 0;
    if (year) {
        wanted = *year;
    } else {
        for (const auto& a : all)
            wanted = std::max(wanted, a.year.value_or(0));
    }
    std::vector<const Candidate*> ofYear;
    for (const auto& a : all)
        if (!a.year || *a.year == wanted)
            ofYear.push_back(&a);
    if (ofYear.empty())
        fail(source, "no report for the year " + std::to_string(wanted) + " (the file holds " + yearList(all) + ")");
    Statement st = build(chooseInYear(ofYear, wanted, source), year, source);
    st.readerNotes.insert(st.readerNotes.end(), c.interimNotes.begin(), c.interimNotes.end());
    return st;
}

StatementFile readStateJsonYears(std::string_view bytes, const std::string& source)
{
    Reader reader(source);
    const Collected c = parse(bytes, source, reader);
    if (c.annual.empty())
        failNoAnnual(c, source);
    StatementFile file;
    file.notes = c.interimNotes;
    if (c.annual.size() == 1 && !c.annual.front().year) {
        // one report without a year: what the fixed report reads
        file.statements.push_back(build(chooseInYear({&c.annual.front()}, 0, source), std::nullopt, source));
        return file;
    }
    std::map<int, std::vector<const Candidate*>> byYear;
    std::string newestFault;
    for (const Candidate& a : c.annual) {
        if (a.year)
            byYear[*a.year].push_back(&a);
        else {
            newestFault = source + ": \"" + keyPath(a.correction->where, "period") +
                          "\" is missing: the reports cannot be told apart by year";
            file.notes.push_back("Отчет «" + a.correction->where + "» пропущен: в нем не указан год («period»).");
        }
    }
    for (const int y : c.unpublished)
        byYear.emplace(y, std::vector<const Candidate*>{});
    // A year the reader cannot take is passed over with its reason; the
    // others still make the history. Nothing read at all is a refusal.
    for (const auto& [y, ofYear] : byYear) {
        if (ofYear.empty()) {
            file.notes.push_back("Отчетность за " + std::to_string(y) +
                                 " год пропущена: в файле нет ее корректировок (отчетность не опубликована).");
            continue;
        }
        try {
            file.statements.push_back(build(chooseInYear(ofYear, y, source), y, source));
        } catch (const InputError& e) {
            newestFault = e.what();
            file.notes.push_back("Отчетность за " + std::to_string(y) + " год пропущена: " +
                                 withoutSource(e.what(), source));
        }
    }
    if (file.statements.empty())
        throw InputError(newestFault.empty() ? source + ": the file holds no report" : newestFault);
    return file;
}

} // namespace kalvanta
