#include "bulk_table.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <thread>
#include <unordered_map>
#include <utility>

#include <unistd.h>

#include "history/bulk_reader.h"
#include "history/history_table.h"
#include "indicators/batch.h"
#include "inputs/json_loader.h" // InputError

namespace kalvanta::history {

namespace {

using indicators::Cell;
constexpr std::size_t kFigures = 7;

template <class Work>
void inParallel(std::size_t count, unsigned jobs, const Work& work)
{
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(jobs, count));
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            work(i);
        return;
    }
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            // A chunk at a time: rows are short work, the counter shared.
            constexpr std::size_t chunk = 64;
            for (std::size_t b = next.fetch_add(chunk); b < count; b = next.fetch_add(chunk))
                for (std::size_t i = b; i < std::min(count, b + chunk); ++i)
                    work(i);
        });
    for (std::thread& t : pool)
        t.join();
}

// Where each percentile's figure stands in the history's table.
const std::array<std::size_t, kFigures>& figureColumns()
{
    static const std::array<std::size_t, kFigures> columns = [] {
        std::array<std::size_t, kFigures> c{};
        const auto& names = historyTableLayout().columns;
        for (std::size_t i = 0; i < kFigures; ++i)
            c[i] = static_cast<std::size_t>(
                std::find(names.begin(), names.end(), bulkPercentileFigures()[i]) - names.begin());
        return c;
    }();
    return columns;
}

constexpr std::size_t kYearColumn = 2;

// The industry of a company-year: its year and OKVED's first two digits; -1
// when the OKVED has no two leading digits.
long long classKey(int year, const std::string& okved)
{
    if (okved.size() < 2 || okved[0] < '0' || okved[0] > '9' || okved[1] < '0' || okved[1] > '9')
        return -1;
    return static_cast<long long>(year) * 100 + (okved[0] - '0') * 10 + (okved[1] - '0');
}

// A figure's values in a class, sorted, with every kStride-th of them: a
// search in the few samples first finds the stretch to search, so a year's
// millions of look-ups stay in the cache instead of wandering the list.
struct RankedValues {
    static constexpr std::size_t kStride = 64;
    std::vector<double> sorted;
    std::vector<double> samples;

    void rank()
    {
        std::sort(sorted.begin(), sorted.end());
        sorted.shrink_to_fit();
        samples.clear();
        for (std::size_t i = 0; i < sorted.size(); i += kStride)
            samples.push_back(sorted[i]);
    }
    // The number of values below `value` (Upper: not above it).
    template <bool Upper>
    std::size_t count(double value) const
    {
        const auto sample = Upper ? std::upper_bound(samples.begin(), samples.end(), value)
                                  : std::lower_bound(samples.begin(), samples.end(), value);
        const auto k = static_cast<std::size_t>(sample - samples.begin());
        // The bound lies after the last sample before it and at the latest at the next one.
        const std::size_t from = k == 0 ? 0 : (k - 1) * kStride + 1;
        const std::size_t to = std::min(sorted.size(), k * kStride);
        const auto first = sorted.begin() + static_cast<std::ptrdiff_t>(from);
        const auto last = sorted.begin() + static_cast<std::ptrdiff_t>(to);
        return static_cast<std::size_t>((Upper ? std::upper_bound(first, last, value) : std::lower_bound(first, last, value)) -
                                        sorted.begin());
    }
};

using Classes = std::unordered_map<long long, std::array<RankedValues, kFigures>>;

std::optional<double> percentileOf(std::size_t below, std::size_t notAbove, std::size_t count)
{
    if (count < kMinIndustryClass)
        return std::nullopt;
    const double equal = static_cast<double>(notAbove - below);
    return (static_cast<double>(below) + equal / 2) / static_cast<double>(count) * 100;
}

struct RowResult {
    std::optional<std::string> refused;
    bool filtered = false;
    std::string okved;
    std::vector<std::vector<Cell>> rows;
    std::size_t rowCount = 0;
    std::string text; // the rows as the temporary file's records, or as the table's lines
    // Per row, for the industry classes: its class (or -1) and figures.
    std::vector<std::pair<long long, std::array<double, kFigures>>> classValues;
};

struct Block {
    std::size_t file = 0;
    std::size_t count = 0; // lines held
    std::uint64_t bytesDone = 0; // of all files, once this block is read
    std::vector<std::string> lines;
    std::vector<std::size_t> numbers;
    std::vector<RowResult> results;
};

// A worker thread that is always joined, also when the caller leaves by an
// exception or a cancel.
class Background {
public:
    template <class Work>
    void start(Work work)
    {
        thread_ = std::thread([this, work] {
            try {
                work();
            } catch (...) {
                error_ = std::current_exception();
            }
        });
    }
    void wait()
    {
        if (thread_.joinable())
            thread_.join();
        if (error_)
            std::rethrow_exception(std::exchange(error_, nullptr));
    }
    ~Background()
    {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::thread thread_;
    std::exception_ptr error_;
};

// Blocks read, worked on and handed on in order until a read gives an
// empty block. With more than one job this thread reads the next block and
// hands on the one before while the workers do the current one, so neither
// waits for the other. False when cancelled.
template <class B, class Read, class Work, class HandOn, class Cancelled>
bool runBlocks(unsigned jobs, B (&blocks)[2], const Read& read, const Work& work, const HandOn& handOn,
               const Cancelled& cancelled)
{
    std::size_t now = 0;
    read(blocks[now]);
    if (jobs <= 1) {
        for (; blocks[now].count > 0; read(blocks[now])) {
            if (cancelled())
                return false;
            work(blocks[now]);
            handOn(blocks[now]);
        }
        return true;
    }
    Background workers; // after the blocks, so it is joined before they go
    if (blocks[now].count > 0)
        workers.start([&work, b = &blocks[now]] { work(*b); });
    while (blocks[now].count > 0) {
        B& after = blocks[1 - now];
        read(after);
        workers.wait();
        if (cancelled())
            return false;
        if (after.count > 0)
            workers.start([&work, b = &after] { work(*b); });
        handOn(blocks[now]);
        now = 1 - now;
    }
    return true;
}

bool passesFilters(const BulkRow& row, const BulkTableControl& c)
{
    if (!c.okvedPrefix.empty() && !row.okved.starts_with(c.okvedPrefix))
        return false;
    if (!c.region.empty() && !row.inn.starts_with(c.region))
        return false;
    if (c.minRevenue && !(bulkAmountThousands(row, 2110, 0) >= *c.minRevenue))
        return false;
    return true;
}

void processLine(const std::string& line, std::size_t number, int year, const std::string& path,
                 const BulkTableControl& control, RowResult& r)
{
    BulkRow row;
    if (auto why = parseBulkRow(line, row)) {
        r.refused = path + ": line " + std::to_string(number) + ": " + *why + "; the row is passed over";
        return;
    }
    if (!passesFilters(row, control)) {
        r.filtered = true;
        return;
    }
    const CompanyHistory h = bulkHistory(row, year, path + ":" + std::to_string(number));
    r.rows = historyTableRows(h);
    r.okved = row.okved;
}

std::optional<double> cellNumber(const Cell& cell)
{
    if (const double* v = std::get_if<double>(&cell))
        return *v;
    return std::nullopt;
}

} // namespace

const std::vector<std::string>& bulkPercentileFigures()
{
    static const std::vector<std::string> names = {"current_ratio",  "autonomy",       "roa",
                                                   "return_on_sales", "asset_turnover", "altman_z_1983",
                                                   "models_high_risk"};
    return names;
}

const indicators::TableLayout& bulkTableLayout()
{
    static const indicators::TableLayout layout = [] {
        indicators::TableLayout l = historyTableLayout();
        l.columns.emplace_back("okved");
        for (const std::string& name : bulkPercentileFigures())
            l.columns.push_back(name + "_industry_pct");
        l.sheetName = "screening";
        return l;
    }();
    return layout;
}

std::optional<double> industryPercentile(const std::vector<double>& sorted, double value)
{
    const auto low = std::lower_bound(sorted.begin(), sorted.end(), value);
    const auto high = std::upper_bound(low, sorted.end(), value);
    return percentileOf(static_cast<std::size_t>(low - sorted.begin()), static_cast<std::size_t>(high - sorted.begin()),
                        sorted.size());
}

namespace {

// The first pass's rows wait in a temporary file (removed when closed)
// while the classes are ranked, so the second pass only reads them back
// and adds the percentiles: nothing is computed twice, memory stays flat.
class SpillFile {
public:
    SpillFile()
    {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/kalvanta-bulk-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0 || !(file_ = ::fdopen(fd, "w+b")))
            throw BulkFileError(pattern + ": cannot create the temporary file: " + std::strerror(errno));
        ::unlink(pattern.c_str());
        name_ = pattern;
    }
    ~SpillFile() { std::fclose(file_); }
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    // A record: its length, its number of cells, then each cell's tag
    // (0 empty, 1 number, 2 text) and value. Appended to `out` on any
    // thread; the records are written in order with write().
    static void encode(const std::vector<Cell>& row, std::string& out)
    {
        const std::size_t start = out.size();
        out.append(sizeof(std::uint32_t), '\0');
        put(out, static_cast<std::uint32_t>(row.size()));
        for (const Cell& c : row) {
            if (const double* d = std::get_if<double>(&c)) {
                out += '\1';
                out.append(reinterpret_cast<const char*>(d), sizeof *d);
            } else if (const std::string* t = std::get_if<std::string>(&c)) {
                out += '\2';
                put(out, static_cast<std::uint32_t>(t->size()));
                out += *t;
            } else {
                out += '\0';
            }
        }
        const auto length = static_cast<std::uint32_t>(out.size() - start - sizeof(std::uint32_t));
        std::memcpy(out.data() + start, &length, sizeof length);
    }
    void write(const std::string& records)
    {
        if (std::fwrite(records.data(), 1, records.size(), file_) != records.size())
            throw BulkFileError(name_ + ": cannot write the temporary file (is the disk full?)");
        written_ += records.size();
    }
    void rewind()
    {
        if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0)
            throw BulkFileError(name_ + ": cannot read the temporary file back");
        position_ = 0;
    }
    bool read(std::vector<Cell>& row)
    {
        std::uint32_t length = 0;
        if (std::fread(&length, sizeof length, 1, file_) != 1)
            return false;
        buffer_.resize(length);
        if (std::fread(buffer_.data(), 1, length, file_) != length)
            throw BulkFileError(name_ + ": the temporary file cannot be read back");
        position_ += sizeof length + length;
        std::size_t at = 0;
        const auto take = [&](void* out, std::size_t size) {
            if (at + size > buffer_.size())
                throw BulkFileError(name_ + ": the temporary file cannot be read back");
            std::memcpy(out, buffer_.data() + at, size);
            at += size;
        };
        std::uint32_t n = 0;
        take(&n, sizeof n);
        row.clear();
        row.reserve(n + kFigures);
        for (std::uint32_t i = 0; i < n; ++i) {
            char tag = 0;
            take(&tag, 1);
            if (tag == 1) {
                double d = 0;
                take(&d, sizeof d);
                row.emplace_back(std::in_place_type<double>, d);
            } else if (tag == 2) {
                std::uint32_t size = 0;
                take(&size, sizeof size);
                std::string t(size, '\0');
                take(t.data(), size);
                row.emplace_back(std::in_place_type<std::string>, std::move(t));
            } else {
                row.emplace_back(std::in_place_type<std::monostate>);
            }
        }
        return true;
    }
    std::uint64_t size() const { return written_; }
    std::uint64_t position() const { return position_; }

private:
    static void put(std::string& out, std::uint32_t v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); }

    std::FILE* file_ = nullptr;
    std::string name_;
    std::string buffer_;
    std::uint64_t written_ = 0, position_ = 0;
};

long long rowClass(const std::vector<Cell>& row, const std::string& okved)
{
    const std::optional<double> year = cellNumber(row[kYearColumn]);
    return year ? classKey(static_cast<int>(*year), okved) : -1;
}

// A row read back from the temporary file gains its percentile columns.
void addPercentiles(std::vector<Cell>& row, const Classes& classes, const std::array<std::size_t, kFigures>& columns)
{
    const std::optional<double> year = cellNumber(row[kYearColumn]);
    const std::string* okved = std::get_if<std::string>(&row.back());
    const auto it = classes.find(year && okved ? classKey(static_cast<int>(*year), *okved) : -1);
    for (std::size_t k = 0; k < kFigures; ++k) {
        const std::optional<double> v = cellNumber(row[columns[k]]);
        std::optional<double> pct;
        if (v && it != classes.end()) {
            const RankedValues& list = it->second[k];
            pct = percentileOf(list.count<false>(*v), list.count<true>(*v), list.sorted.size());
        }
        if (pct)
            row.emplace_back(std::in_place_type<double>, *pct);
        else
            row.emplace_back(std::in_place_type<std::monostate>);
    }
}

} // namespace

BulkTableSummary runBulkTable(const std::vector<std::string>& files, const BulkTableControl& control,
                              const std::function<void(const std::string&)>& refused,
                              const std::function<void(const std::vector<Cell>&)>& deliver)
{
    // Every file's year and readability first, so a bad name stops the run
    // before a row is written.
    std::vector<int> years;
    std::uint64_t totalBytes = 0;
    for (const std::string& path : files) {
        std::optional<int> year = control.year ? control.year : bulkYearFromName(path);
        if (!year)
            year = control.unnamedYear;
        if (!year)
            throw BulkFileError(path + ": the reporting year is not in the file's name (\"…-<year>1231.csv\"); "
                                       "give it with --year");
        years.push_back(*year);
        try {
            totalBytes += BulkLineReader(path).size();
        } catch (const InputError& e) {
            throw BulkFileError(e.what());
        }
    }

    const unsigned jobs = control.jobs == 0 ? indicators::defaultJobs() : control.jobs;
    const std::size_t blockLines = 1024 * static_cast<std::size_t>(std::max(1u, jobs));
    const int passes = control.percentiles ? 2 : 1;
    const auto cancelled = [&] { return control.cancel && control.cancel->load(std::memory_order_relaxed); };
    const auto& columns = figureColumns();
    const bool asLines = control.lineOf && control.deliverLine;

    BulkTableSummary summary;
    summary.files = files.size();
    Classes classes;
    std::optional<SpillFile> spill;
    if (control.percentiles)
        spill.emplace();

    // The lines of the files a block at a time, in order.
    std::size_t file = 0;
    std::unique_ptr<BulkLineReader> reader;
    std::uint64_t doneBytes = 0;
    const auto readBlock = [&](Block& block) {
        block.count = 0;
        block.lines.resize(blockLines);
        block.numbers.resize(blockLines);
        while (block.count == 0 && file < files.size()) {
            try {
                if (!reader)
                    reader = std::make_unique<BulkLineReader>(files[file]);
                block.file = file;
                bool more = true;
                while (block.count < blockLines && (more = reader->next(block.lines[block.count], block.numbers[block.count])))
                    if (!block.lines[block.count].empty())
                        ++block.count;
                block.bytesDone = doneBytes + reader->bytesRead();
                if (!more) {
                    doneBytes += reader->size();
                    reader.reset();
                    ++file;
                }
            } catch (const InputError& e) {
                throw BulkFileError(e.what());
            }
        }
    };
    // The rows of a block analysed, in parallel.
    const auto analyse = [&](Block& block) {
        const std::size_t f = block.file;
        block.results.assign(block.count, RowResult{});
        inParallel(block.count, jobs, [&](std::size_t i) {
            RowResult& r = block.results[i];
            processLine(block.lines[i], block.numbers[i], years[f], files[f], control, r);
            for (std::vector<Cell>& row : r.rows) {
                row.emplace_back(std::in_place_type<std::string>, r.okved);
                if (!control.percentiles)
                    row.resize(row.size() + kFigures);
            }
            r.rowCount = r.rows.size();
            if (spill) {
                for (const std::vector<Cell>& row : r.rows) {
                    SpillFile::encode(row, r.text);
                    std::array<double, kFigures> values;
                    for (std::size_t k = 0; k < kFigures; ++k) {
                        const std::optional<double> v = cellNumber(row[columns[k]]);
                        values[k] = v ? *v : std::numeric_limits<double>::quiet_NaN();
                    }
                    r.classValues.push_back({rowClass(row, r.okved), values});
                }
                r.rows.clear(); // freed on the thread that made them
            } else if (asLines) {
                for (const std::vector<Cell>& row : r.rows)
                    r.text += control.lineOf(row);
                r.rows.clear();
            }
        });
    };
    // A block's rows handed on (or kept for the second pass), in order.
    const auto handOn = [&](Block& block) {
        for (RowResult& r : block.results) {
            ++summary.read;
            if (r.refused) {
                ++summary.refused;
                refused(*r.refused);
                continue;
            }
            if (r.filtered) {
                ++summary.filtered;
                continue;
            }
            ++summary.written;
            summary.rows += r.rowCount;
            if (!spill && asLines) {
                control.deliverLine(r.text);
                continue;
            }
            if (!spill) {
                for (const std::vector<Cell>& row : r.rows)
                    deliver(row);
                continue;
            }
            spill->write(r.text);
            for (const auto& [key, values] : r.classValues) {
                if (key < 0)
                    continue;
                auto& lists = classes[key];
                for (std::size_t k = 0; k < kFigures; ++k)
                    if (std::isfinite(values[k]))
                        lists[k].sorted.push_back(values[k]);
            }
        }
        block.results.clear();
        if (control.progress)
            control.progress(block.bytesDone, totalBytes, 1, passes);
    };

    Block blocks[2];
    if (!runBlocks(jobs, blocks, readBlock, analyse, handOn, cancelled)) {
        summary.cancelled = true;
        return summary;
    }
    if (!spill)
        return summary;

    for (auto& [key, lists] : classes)
        for (RankedValues& list : lists)
            list.rank();
    spill->rewind();
    // The rows read back in order, their percentiles and lines made in
    // parallel, handed on in order.
    struct Back {
        std::size_t count = 0;
        std::uint64_t position = 0;
        std::vector<std::vector<Cell>> rows;
        std::vector<std::string> lines;
    };
    const auto readBack = [&](Back& b) {
        b.rows.resize(blockLines);
        b.count = 0;
        while (b.count < blockLines && spill->read(b.rows[b.count]))
            ++b.count;
        b.position = spill->position();
    };
    const auto rank = [&](Back& b) {
        b.lines.assign(asLines ? b.count : 0, std::string());
        inParallel(b.count, jobs, [&](std::size_t i) {
            addPercentiles(b.rows[i], classes, columns);
            if (asLines)
                b.lines[i] = control.lineOf(b.rows[i]);
        });
    };
    const auto handBack = [&](Back& b) {
        for (std::size_t i = 0; i < b.count; ++i)
            if (asLines)
                control.deliverLine(b.lines[i]);
            else
                deliver(b.rows[i]);
        if (control.progress)
            control.progress(b.position, spill->size(), 2, 2);
    };
    Back backs[2];
    if (!runBlocks(jobs, backs, readBack, rank, handBack, cancelled)) {
        summary.cancelled = true;
        return summary;
    }
    if (control.progress)
        control.progress(spill->size(), spill->size(), 2, 2);
    return summary;
}

} // namespace kalvanta::history
