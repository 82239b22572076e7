#include "bulk_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <regex>

#include "document/code_page.h"
#include "inputs/json_loader.h" // InputError

namespace kalvanta::history {

namespace {

constexpr std::size_t kFirstAmountField = 9; // 1-based
constexpr std::size_t kLastAmountField = 265;

// Splits on ";" only; returns the number of fields (counting past the array).
std::size_t splitFields(std::string_view line, std::array<std::string_view, kBulkFields>& fields)
{
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t semi = line.find(';', start);
        const std::string_view f = line.substr(start, semi == std::string_view::npos ? line.size() - start : semi - start);
        if (count < kBulkFields)
            fields[count] = f;
        ++count;
        if (semi == std::string_view::npos)
            return count;
        start = semi + 1;
    }
}

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A whole number with an optional leading minus; an empty amount is 0.
bool parseAmount(std::string_view s, std::int64_t& value)
{
    if (s.empty()) {
        value = 0;
        return true;
    }
    const char* first = s.data();
    const char* last = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last && (s.front() != '-' || s.size() > 1);
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string fromCp1251(std::string_view s)
{
    std::string out;
    out.reserve(s.size() * 2);
    for (char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else
            appendUtf8(out, doc::cp1251CodePoint(b));
    }
    return out;
}

std::string fieldCode(std::size_t field)
{
    if (field < kFirstAmountField || field >= kFirstAmountField + 2 * kBulkAmountLines)
        return {};
    const std::size_t i = (field - kFirstAmountField) / 2;
    const int line = i < kBulkBalanceLines.size() ? kBulkBalanceLines[i] : kBulkFlowLines[i - kBulkBalanceLines.size()];
    return " (" + std::to_string(line) + ((field - kFirstAmountField) % 2 == 0 ? "3)" : "4)");
}

double unitFactor(int okei)
{
    switch (okei) {
    case 383: return 1e-3;
    case 385: return 1e3;
    default: return 1.0;
    }
}

int lineIndex(int line)
{
    for (std::size_t i = 0; i < kBulkBalanceLines.size(); ++i)
        if (kBulkBalanceLines[i] == line)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < kBulkFlowLines.size(); ++i)
        if (kBulkFlowLines[i] == line)
            return static_cast<int>(kBulkBalanceLines.size() + i);
    return -1;
}

} // namespace

bool looksLikeBulkFile(std::string_view head)
{
    if (head.starts_with("\xEF\xBB\xBF"))
        return false; // the office writes windows-1251, never a byte-order mark
    std::string_view line = head.substr(0, head.find('\n'));
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    std::array<std::string_view, kBulkFields> fields;
    return splitFields(line, fields) == kBulkFields && allDigits(fields[5]);
}

bool isBulkFile(const std::string& path)
{
    // Only a regular file is looked into: the first bytes of a pipe, once
    // read here, would be lost to the reader that follows.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::string head(kBulkMaxLineBytes, '\0');
    const std::size_t n = std::fread(head.data(), 1, head.size(), f);
    std::fclose(f);
    head.resize(n);
    return looksLikeBulkFile(head);
}

std::optional<int> bulkYearFromName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    static const std::regex pattern("-((?:19|20)[0-9]{2})1231\\.(csv|zip)$", std::regex::icase);
    std::smatch m;
    if (!std::regex_search(name, m, pattern))
        return std::nullopt;
    return std::stoi(m[1].str());
}

std::optional<std::string> parseBulkRow(std::string_view line, BulkRow& out)
{
    std::array<std::string_view, kBulkFields> f;
    const std::size_t count = splitFields(line, f);
    if (count != kBulkFields)
        return std::to_string(count) + (count == 1 ? " field" : " fields") + " instead of 266";
    if (f[5].empty())
        return std::string("no INN (field 6)");
    if (!allDigits(f[5]))
        return "the INN (field 6) is not digits: \"" + fromCp1251(f[5]) + "\"";
    std::int64_t unit = 0, type = 0;
    if (!parseAmount(f[6], unit) || (unit != 383 && unit != 384 && unit != 385))
        return "unknown unit (field 7): \"" + fromCp1251(f[6]) + "\", not 383, 384 or 385";
    if (!parseAmount(f[7], type) || f[7].empty() || type < 0 || type > 2)
        return "unknown report type (field 8): \"" + fromCp1251(f[7]) + "\", not 0, 1 or 2";
    for (std::size_t field = kFirstAmountField; field <= kLastAmountField; ++field) {
        std::int64_t v = 0;
        if (!parseAmount(f[field - 1], v))
            return "field " + std::to_string(field) + fieldCode(field) + " is not a whole number: \"" +
                   fromCp1251(f[field - 1].substr(0, 40)) + "\"";
        const std::size_t k = field - kFirstAmountField;
        if (k < 2 * kBulkAmountLines)
            out.amounts[k % 2][k / 2] = v;
    }
    out.organisation = fromCp1251(f[0]);
    out.okpo = std::string(f[1]);
    out.okved = std::string(f[4]);
    out.inn = std::string(f[5]);
    out.unitCode = static_cast<int>(unit);
    out.reportType = static_cast<int>(type);
    return std::nullopt;
}

double bulkAmountThousands(const BulkRow& row, int line, int year)
{
    const int i = lineIndex(line);
    if (i < 0 || year < 0 || year > 1)
        return 0;
    return static_cast<double>(static_cast<long double>(row.amounts[year][i]) * unitFactor(row.unitCode));
}

CompanyHistory bulkHistory(const BulkRow& row, int year, const std::string& place)
{
    StatementFile file;
    Statement st;
    st.sourceName = place;
    st.formatName = "bulk";
    st.organisation = row.organisation;
    st.taxNumber = row.inn;
    st.year = year;
    st.unitCode = 384;
    st.okved = row.okved;
    st.simplified = row.reportType == 1;
    const long double factor = unitFactor(row.unitCode);
    for (std::size_t i = 0; i < kBulkAmountLines; ++i) {
        const int code = i < kBulkBalanceLines.size() ? kBulkBalanceLines[i] : kBulkFlowLines[i - kBulkBalanceLines.size()];
        std::array<std::optional<double>, 3> cells{};
        bool any = false;
        for (int c = 0; c < 2; ++c)
            if (row.amounts[c][i] != 0) {
                cells[c] = static_cast<double>(static_cast<long double>(row.amounts[c][i]) * factor);
                any = true;
            }
        if (any)
            st.lines.emplace(code, cells);
    }
    if (row.unitCode == 383)
        file.notes.push_back(place + " составлена в руб.: ее показатели переведены в тыс. руб.");
    else if (row.unitCode == 385)
        file.notes.push_back(place + " составлена в млн. руб. (код 385): ее показатели переведены в тыс. руб.; "
                                     "в файлах статистики эта единица бывает указана ошибочно — проверьте порядок величин");
    if (row.reportType == 0)
        file.notes.push_back(place + ": некоммерческая организация (тип отчета 0)");
    file.statements.push_back(std::move(st));
    std::vector<CompanyHistory> histories = buildHistories({file});
    if (histories.empty()) {
        CompanyHistory h;
        h.organisation = row.organisation;
        h.taxNumber = row.inn;
        h.okved = row.okved;
        return h;
    }
    histories.front().okved = row.okved;
    return std::move(histories.front());
}

BulkLineReader::BulkLineReader(const std::string& path) : path_(path)
{
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_)
        throw InputError(path + ": cannot open: " + std::strerror(errno));
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        const long size = std::ftell(file_);
        size_ = size > 0 ? static_cast<std::uint64_t>(size) : 0;
        std::fseek(file_, 0, SEEK_SET);
    }
    buffer_.resize(4 * kBulkMaxLineBytes);
}

BulkLineReader::~BulkLineReader()
{
    if (file_)
        std::fclose(file_);
}

bool BulkLineReader::fill()
{
    if (eof_)
        return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (n == 0) {
        if (std::ferror(file_))
            throw InputError(path_ + ": cannot read the file after line " + std::to_string(line_));
        eof_ = true;
        return false;
    }
    end_ += n;
    return true;
}

bool BulkLineReader::next(std::string& line, std::size_t& number)
{
    while (true) {
        const char* start = buffer_.data() + begin_;
        const void* nl = std::memchr(start, '\n', end_ - begin_);
        std::size_t length = 0, skip = 0;
        if (nl) {
            length = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
            skip = length + 1;
            length = std::min(length, kBulkMaxLineBytes);
        } else if (end_ - begin_ >= kBulkMaxLineBytes) {
            // Too long to be a row: handed on cut, the rest up to the next
            // end of line passed over.
            length = kBulkMaxLineBytes;
            skip = end_ - begin_;
            line.assign(start, length);
            consumed_ += skip;
            begin_ = end_ = 0;
            while (fill()) {
                const void* rest = std::memchr(buffer_.data(), '\n', end_);
                if (rest) {
                    const std::size_t r = static_cast<std::size_t>(static_cast<const char*>(rest) - buffer_.data()) + 1;
                    consumed_ += r;
                    begin_ = r;
                    break;
                }
                consumed_ += end_;
                begin_ = end_ = 0;
            }
            number = ++line_;
            return true;
        } else if (fill()) {
            continue;
        } else if (end_ > begin_) {
            length = end_ - begin_;
            skip = length;
        } else {
            return false;
        }
        line.assign(start, length);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        begin_ += skip;
        consumed_ += skip;
        number = ++line_;
        return true;
    }
}

} // namespace kalvanta::history
