#include "history_table.h"

#include <algorithm>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "history/history_figures.h"
#include "indicators/batch.h"

namespace kalvanta::history {

namespace {

using indicators::Cell;

// Runs work(i) for i in [begin, end) on up to jobs threads.
template <class Work>
void inParallel(std::size_t begin, std::size_t end, unsigned jobs, const Work& work)
{
    const std::size_t count = end - begin;
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(jobs, count));
    if (threads <= 1) {
        for (std::size_t i = begin; i < end; ++i)
            work(i);
        return;
    }
    std::atomic<std::size_t> next{begin};
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (std::size_t i = next++; i < end; i = next++)
                work(i);
        });
    for (std::thread& t : pool)
        t.join();
}

// A file without a tax number is a company of its own.
std::string companyKey(const Statement& st, std::size_t file)
{
    return st.taxNumber.empty() ? "\x01" + std::to_string(file) : st.taxNumber;
}

struct CompanyGroup {
    std::string key;
    std::string taxNumber;
    std::vector<std::size_t> files;
};

} // namespace

const indicators::TableLayout& historyTableLayout()
{
    static const indicators::TableLayout layout = [] {
        indicators::TableLayout l;
        l.columns = {"organisation", "tax_number", "year", "unit", "notes"};
        static const CompanyHistory empty;
        const YearView none(empty, 0);
        for (const NamedFigure& f : ratioFigures(none))
            l.columns.emplace_back(f.column);
        for (const NamedFigure& f : verdictFigures(none))
            l.columns.emplace_back(f.column);
        l.sheetName = "history";
        l.jsonNulls = true;
        l.exactNumbers = true;
        return l;
    }();
    return layout;
}

std::vector<std::vector<Cell>> historyTableRows(const CompanyHistory& h)
{
    std::vector<std::vector<Cell>> rows;
    rows.reserve(h.years.size());
    const std::size_t width = historyTableLayout().columns.size();
    const auto text = [](std::vector<Cell>& row, const std::string& s) {
        if (s.empty())
            row.emplace_back(std::in_place_type<std::monostate>);
        else
            row.emplace_back(std::in_place_type<std::string>, s);
    };
    const auto put = [](std::vector<Cell>& row, const std::vector<NamedFigure>& figures) {
        for (const NamedFigure& f : figures)
            if (f.figure.defined())
                row.emplace_back(std::in_place_type<double>, *f.figure.value);
            else
                row.emplace_back(std::in_place_type<std::monostate>);
    };
    for (const auto& [year, y] : h.years) {
        std::vector<Cell> row;
        row.reserve(width);
        text(row, h.organisation);
        text(row, h.taxNumber);
        row.emplace_back(std::in_place_type<double>, static_cast<double>(year));
        text(row, unitName(h.unitCode));
        std::string notes;
        for (std::size_t i = 0; i < h.notes.size(); ++i) {
            const int noteYear = i < h.noteYears.size() ? h.noteYears[i] : 0;
            if (noteYear == 0 || noteYear == year)
                notes += (notes.empty() ? "" : "; ") + h.notes[i];
        }
        text(row, notes);
        const YearView view(h, year);
        put(row, ratioFigures(view));
        put(row, verdictFigures(view));
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

using Cancelled = std::function<bool()>;
using Refused = std::function<void(const std::string&)>;
using Deliver = std::function<void(const std::vector<Cell>&)>;

struct FileRead {
    std::optional<StatementFile> file;
    std::vector<std::string> keys; // the companies the file holds, in order
    std::optional<std::string> error;
};

FileRead readFile(const std::string& path, std::size_t index, bool keep)
{
    FileRead r;
    try {
        StatementFile file = readStatementFile(path);
        for (const Statement& st : file.statements) {
            std::string key = companyKey(st, index);
            if (std::find(r.keys.begin(), r.keys.end(), key) == r.keys.end())
                r.keys.push_back(std::move(key));
        }
        if (keep)
            r.file = std::move(file);
    } catch (const std::exception& e) {
        r.error = e.what(); // names the file and the place in it
    }
    return r;
}

enum class PassEnd { Done, Cancelled, Scattered };

// One pass in file order for files where each company's come together (a
// folder sorted by names that carry the tax number): each file read once,
// a company's rows delivered as soon as the next company begins. Ends
// Scattered at the first company met again after another, or at a file of
// several companies; what was delivered is then to be discarded.
PassEnd togetherPass(const std::vector<std::string>& files, unsigned jobs, std::size_t block,
                     const Cancelled& cancelled, const HistoryTableControl& control, const Refused& refused,
                     const Deliver& deliver, HistoryTableSummary& summary, std::size_t& reported)
{
    struct Company {
        std::string key;
        std::vector<StatementFile> files;
    };
    std::set<std::string> finished;
    Company open;               // the company whose files may go on in the next block
    std::vector<Company> ready; // companies whose files are all read
    std::vector<std::vector<std::vector<Cell>>> rows;
    // The companies' analyses in parallel, their rows delivered in file order.
    const auto deliverReady = [&] {
        rows.assign(ready.size(), {});
        inParallel(0, ready.size(), jobs, [&](std::size_t c) {
            const std::vector<CompanyHistory> histories = buildHistories(ready[c].files);
            if (!histories.empty())
                rows[c] = historyTableRows(histories.front());
        });
        for (const std::vector<std::vector<Cell>>& company : rows) {
            if (!company.empty())
                ++summary.companies; // as the two passes count: a company with rows
            for (const std::vector<Cell>& row : company) {
                deliver(row);
                ++summary.rows;
            }
        }
        ready.clear();
    };
    const auto close = [&] {
        if (open.files.empty())
            return;
        finished.insert(open.key);
        ready.push_back(std::move(open));
        open = Company{};
    };
    std::vector<FileRead> reads;
    for (std::size_t begin = 0; begin < files.size(); begin += block) {
        if (cancelled())
            return PassEnd::Cancelled;
        const std::size_t end = std::min(files.size(), begin + block);
        reads.assign(end - begin, FileRead{});
        inParallel(begin, end, jobs, [&](std::size_t i) { reads[i - begin] = readFile(files[i], i, true); });
        for (std::size_t i = begin; i < end; ++i) {
            FileRead& r = reads[i - begin];
            if (r.error) {
                ++summary.refused;
                refused(*r.error);
            } else {
                if (r.keys.size() != 1 || (r.keys.front() != open.key && finished.count(r.keys.front())))
                    return PassEnd::Scattered;
                if (r.keys.front() != open.key) {
                    close();
                    open.key = r.keys.front();
                }
                open.files.push_back(std::move(*r.file));
                ++summary.files;
            }
            reported = i + 1;
            if (control.progress)
                control.progress(i + 1, files.size(), false);
        }
        deliverReady();
    }
    close();
    deliverReady();
    return PassEnd::Done;
}

// Two passes for files in any order: first which companies each file holds
// (only the keys are kept), then company by company its files read again.
// Files below `reported` were refused aloud already: counted, not repeated.
PassEnd twoPasses(const std::vector<std::string>& files, unsigned jobs, std::size_t block,
                  const Cancelled& cancelled, const HistoryTableControl& control, const Refused& refused,
                  const Deliver& deliver, HistoryTableSummary& summary, std::size_t reported)
{
    std::vector<CompanyGroup> groups;
    std::map<std::string, std::size_t> byKey;
    std::vector<FileRead> scans;
    for (std::size_t begin = 0; begin < files.size(); begin += block) {
        if (cancelled())
            return PassEnd::Cancelled;
        const std::size_t end = std::min(files.size(), begin + block);
        scans.assign(end - begin, FileRead{});
        inParallel(begin, end, jobs, [&](std::size_t i) { scans[i - begin] = readFile(files[i], i, false); });
        for (std::size_t i = begin; i < end; ++i) {
            FileRead& scan = scans[i - begin];
            if (scan.error) {
                ++summary.refused;
                if (i >= reported)
                    refused(*scan.error);
            } else {
                ++summary.files;
            }
            for (std::string& key : scan.keys) {
                auto [it, added] = byKey.emplace(key, groups.size());
                if (added)
                    groups.push_back(CompanyGroup{key, key.front() == '\x01' ? std::string() : key, {}});
                groups[it->second].files.push_back(i);
            }
            if (control.progress)
                control.progress(i + 1, files.size(), false);
        }
    }
    scans.clear();
    byKey.clear();

    std::vector<std::vector<std::vector<Cell>>> blockRows;
    std::vector<std::vector<std::string>> blockErrors;
    for (std::size_t begin = 0; begin < groups.size(); begin += block) {
        if (cancelled())
            return PassEnd::Cancelled;
        const std::size_t end = std::min(groups.size(), begin + block);
        blockRows.assign(end - begin, {});
        blockErrors.assign(end - begin, {});
        inParallel(begin, end, jobs, [&](std::size_t g) {
            const CompanyGroup& group = groups[g];
            std::vector<StatementFile> read;
            for (std::size_t f : group.files) {
                try {
                    read.push_back(readStatementFile(files[f]));
                } catch (const std::exception& e) {
                    blockErrors[g - begin].push_back(e.what()); // changed since it was first read
                }
            }
            for (const CompanyHistory& h : buildHistories(read))
                if (h.taxNumber == group.taxNumber) {
                    blockRows[g - begin] = historyTableRows(h);
                    break;
                }
        });
        for (std::size_t g = begin; g < end; ++g) {
            for (const std::string& e : blockErrors[g - begin]) {
                ++summary.refused;
                refused(e);
            }
            if (!blockRows[g - begin].empty())
                ++summary.companies;
            for (const std::vector<Cell>& row : blockRows[g - begin]) {
                deliver(row);
                ++summary.rows;
            }
            if (control.progress)
                control.progress(g + 1, groups.size(), true);
        }
    }
    return PassEnd::Done;
}

} // namespace

HistoryTableSummary runHistoryTable(const std::vector<std::string>& paths, const HistoryTableControl& control,
                                    const std::function<void(const std::string&)>& refused,
                                    const std::function<void(const std::vector<Cell>&)>& deliver)
{
    HistoryTableSummary summary;
    const Cancelled cancelled = [&] { return control.cancel && control.cancel->load(std::memory_order_relaxed); };
    const unsigned jobs = control.jobs == 0 ? indicators::defaultJobs() : control.jobs;
    const std::size_t block = 64 * static_cast<std::size_t>(jobs);

    const indicators::InputFileList inputs = indicators::collectInputFiles(paths);
    for (const std::string& p : inputs.problems) {
        ++summary.refused;
        refused(p);
    }
    const std::size_t problems = summary.refused;
    std::size_t reported = 0;
    PassEnd end = PassEnd::Scattered;
    if (control.restart) {
        end = togetherPass(inputs.files, jobs, block, cancelled, control, refused, deliver, summary, reported);
        if (end == PassEnd::Scattered) {
            control.restart();
            summary = HistoryTableSummary{};
            summary.refused = problems;
        }
    }
    if (end == PassEnd::Scattered)
        end = twoPasses(inputs.files, jobs, block, cancelled, control, refused, deliver, summary, reported);
    summary.cancelled = end == PassEnd::Cancelled;
    return summary;
}

} // namespace kalvanta::history
