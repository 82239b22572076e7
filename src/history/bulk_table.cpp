#include "bulk_table.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <thread>
#include <unordered_map>

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

using Classes = std::unordered_map<long long, std::array<std::vector<double>, kFigures>>;

struct RowResult {
    std::optional<std::string> refused;
    bool filtered = false;
    std::string okved;
    std::vector<std::vector<Cell>> rows;
};

struct Block {
    std::vector<std::string> lines;
    std::vector<std::size_t> numbers;
    std::vector<RowResult> results;
};

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
    if (sorted.size() < kMinIndustryClass)
        return std::nullopt;
    const auto low = std::lower_bound(sorted.begin(), sorted.end(), value);
    const auto high = std::upper_bound(low, sorted.end(), value);
    const double below = static_cast<double>(low - sorted.begin());
    const double equal = static_cast<double>(high - low);
    return (below + equal / 2) / static_cast<double>(sorted.size()) * 100;
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
    // (0 empty, 1 number, 2 text) and value.
    void write(const std::vector<Cell>& row)
    {
        buffer_.assign(sizeof(std::uint32_t), '\0');
        put(static_cast<std::uint32_t>(row.size()));
        for (const Cell& c : row) {
            if (const double* d = std::get_if<double>(&c)) {
                buffer_ += '\1';
                buffer_.append(reinterpret_cast<const char*>(d), sizeof *d);
            } else if (const std::string* t = std::get_if<std::string>(&c)) {
                buffer_ += '\2';
                put(static_cast<std::uint32_t>(t->size()));
                buffer_ += *t;
            } else {
                buffer_ += '\0';
            }
        }
        const auto length = static_cast<std::uint32_t>(buffer_.size() - sizeof(std::uint32_t));
        std::memcpy(buffer_.data(), &length, sizeof length);
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
            throw BulkFileError(name_ + ": cannot write the temporary file (is the disk full?)");
        written_ += buffer_.size();
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
    void put(std::uint32_t v) { buffer_.append(reinterpret_cast<const char*>(&v), sizeof v); }

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

    BulkTableSummary summary;
    summary.files = files.size();
    Classes classes;
    Block block;
    std::optional<SpillFile> spill;
    if (control.percentiles)
        spill.emplace();

    std::uint64_t doneBytes = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        std::unique_ptr<BulkLineReader> reader;
        try {
            reader = std::make_unique<BulkLineReader>(files[f]);
        } catch (const InputError& e) {
            throw BulkFileError(e.what());
        }
        bool more = true;
        while (more) {
            if (cancelled()) {
                summary.cancelled = true;
                return summary;
            }
            block.lines.resize(blockLines);
            block.numbers.resize(blockLines);
            std::size_t n = 0;
            try {
                while (n < blockLines && (more = reader->next(block.lines[n], block.numbers[n])))
                    if (!block.lines[n].empty())
                        ++n;
            } catch (const InputError& e) {
                throw BulkFileError(e.what());
            }
            block.results.assign(n, RowResult{});
            inParallel(n, jobs, [&](std::size_t i) {
                RowResult& r = block.results[i];
                processLine(block.lines[i], block.numbers[i], years[f], files[f], control, r);
                for (std::vector<Cell>& row : r.rows) {
                    row.emplace_back(std::in_place_type<std::string>, r.okved);
                    if (!control.percentiles)
                        row.resize(row.size() + kFigures);
                }
            });
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
                for (const std::vector<Cell>& row : r.rows) {
                    ++summary.rows;
                    if (!spill) {
                        deliver(row);
                        continue;
                    }
                    spill->write(row);
                    const long long key = rowClass(row, r.okved);
                    if (key < 0)
                        continue;
                    auto& lists = classes[key];
                    for (std::size_t k = 0; k < kFigures; ++k)
                        if (const std::optional<double> v = cellNumber(row[columns[k]]); v && std::isfinite(*v))
                            lists[k].push_back(*v);
                }
            }
            if (control.progress)
                control.progress(doneBytes + reader->bytesRead(), totalBytes, 1, passes);
        }
        doneBytes += reader->size();
    }
    if (!spill)
        return summary;

    for (auto& [key, lists] : classes)
        for (std::vector<double>& list : lists) {
            std::sort(list.begin(), list.end());
            list.shrink_to_fit();
        }
    spill->rewind();
    std::vector<Cell> row;
    std::size_t done = 0;
    while (spill->read(row)) {
        const std::optional<double> year = cellNumber(row[kYearColumn]);
        const std::string* okved = std::get_if<std::string>(&row.back());
        const auto it = classes.find(year && okved ? classKey(static_cast<int>(*year), *okved) : -1);
        for (std::size_t k = 0; k < kFigures; ++k) {
            const std::optional<double> v = cellNumber(row[columns[k]]);
            std::optional<double> pct;
            if (v && it != classes.end())
                pct = industryPercentile(it->second[k], *v);
            if (pct)
                row.emplace_back(std::in_place_type<double>, *pct);
            else
                row.emplace_back(std::in_place_type<std::monostate>);
        }
        deliver(row);
        if (++done % 4096 == 0) {
            if (cancelled()) {
                summary.cancelled = true;
                return summary;
            }
            if (control.progress)
                control.progress(spill->position(), spill->size(), 2, 2);
        }
    }
    if (control.progress)
        control.progress(spill->size(), spill->size(), 2, 2);
    return summary;
}

} // namespace kalvanta::history
