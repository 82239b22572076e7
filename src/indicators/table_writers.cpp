#include "table_writers.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <xlsxwriter.h>

namespace kalvanta::indicators {

namespace {

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Text from files and messages may hold bytes that are not UTF-8 (a file
// name, say); every format needs valid UTF-8, so such bytes become U+FFFD.
std::string validUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool ok = len != 0 && i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k)
            ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (ok && len > 1) {
            // Overlong forms, surrogates and code points past U+10FFFF.
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            ok = !(c == 0xC0 || c == 0xC1 || (c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) ||
                   (c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90) || c > 0xF4);
        }
        if (ok) {
            out.append(s.substr(i, len));
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

[[noreturn]] void fail(const std::string& path, const std::string& what, int error)
{
    throw TableFileError("cannot write the table \"" + path + "\": " + what +
                         (error ? std::string(" (") + std::strerror(error) + ")" : std::string()));
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The temporary file beside the target and the rename that completes it.
class AtomicTarget {
public:
    AtomicTarget(const std::string& path) : path_(path), target_(path)
    {
        if (path.empty())
            fail(path, "no file name", 0);
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target_ = resolved;
            std::free(resolved);
        }
        struct stat existing {};
        const bool exists = ::stat(target_.c_str(), &existing) == 0;
        if (exists && S_ISDIR(existing.st_mode))
            fail(path, "it is a folder", 0);
        if (exists && !S_ISREG(existing.st_mode))
            fail(path, "it is not a regular file", 0);
        if (exists && ::access(target_.c_str(), W_OK) != 0)
            fail(path, "no permission to replace it", errno);
        temporary_ = folderOf(target_) + "/.kalvanta-table-XXXXXX";
        fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
        if (fd_ < 0)
            fail(path, "cannot create a file in its folder", errno);
        if (::fchmod(fd_, exists ? (existing.st_mode & 07777) : newFileMode()) != 0) {
            const int e = errno;
            discard();
            fail(path, "cannot set its permissions", e);
        }
    }
    ~AtomicTarget() { discard(); }

    int fd() const { return fd_; }
    const std::string& temporary() const { return temporary_; }
    const std::string& path() const { return path_; }

    void closeFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    // The temporary file is complete (and closed): flush it to disc and put it in place.
    void complete()
    {
        const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            const int e = errno;
            if (fd >= 0)
                ::close(fd);
            fail(path_, "the disc refused the data", e);
        }
        ::close(fd);
        if (::rename(temporary_.c_str(), target_.c_str()) != 0)
            fail(path_, "cannot replace the file", errno);
        temporary_.clear();
        const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }

    void discard()
    {
        closeFd();
        if (!temporary_.empty())
            ::unlink(temporary_.c_str());
        temporary_.clear();
    }

private:
    std::string path_;
    std::string target_;
    std::string temporary_;
    int fd_ = -1;
};

std::string quoted(const std::string& text, char separator)
{
    if (text.find_first_of(std::string("\"\r\n") + separator) == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

void appendJsonString(std::string& out, std::string_view s)
{
    out += '"';
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

} // namespace

std::optional<TableFormat> formatFromName(std::string_view name)
{
    if (name == "csv")
        return TableFormat::Csv;
    if (name == "csv-ru")
        return TableFormat::CsvRussian;
    if (name == "xlsx")
        return TableFormat::Xlsx;
    if (name == "jsonl")
        return TableFormat::JsonLines;
    return std::nullopt;
}

std::optional<TableFormat> formatFromExtension(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return std::nullopt;
    const std::string ext = lower(name.substr(dot + 1));
    if (ext == "csv")
        return TableFormat::Csv;
    if (ext == "xlsx")
        return TableFormat::Xlsx;
    if (ext == "jsonl" || ext == "ndjson")
        return TableFormat::JsonLines;
    return std::nullopt;
}

const char* formatName(TableFormat format)
{
    switch (format) {
    case TableFormat::Csv: return "csv";
    case TableFormat::CsvRussian: return "csv-ru";
    case TableFormat::Xlsx: return "xlsx";
    case TableFormat::JsonLines: return "jsonl";
    }
    return "";
}

const TableLayout& indicatorLayout()
{
    static const TableLayout layout = [] {
        TableLayout l;
        for (const IndicatorColumn& c : indicatorColumns()) {
            l.columns.push_back(c.id);
            l.captions.push_back({c.caption, c.section});
        }
        return l;
    }();
    return layout;
}

std::string exactNumberText(double value, const char* decimalSeparator)
{
    if (value == 0)
        return "0"; // negative zero too
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string out(buf, res.ptr);
    const std::size_t point = out.find('.');
    if (point != std::string::npos)
        out.replace(point, 1, decimalSeparator);
    return out;
}

std::string csvField(const Cell& cell, TableFormat format, bool exactNumbers)
{
    const bool russian = format == TableFormat::CsvRussian;
    if (const double* d = std::get_if<double>(&cell))
        return exactNumbers ? exactNumberText(*d, russian ? "," : ".") : numberText(*d, russian ? "," : ".");
    if (const std::string* s = std::get_if<std::string>(&cell))
        return quoted(validUtf8(*s), russian ? ';' : ',');
    return {};
}

std::string jsonLine(const std::vector<Cell>& cells, const TableLayout& layout)
{
    const auto& columns = layout.columns;
    std::string out = "{";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Cell* cell = i < cells.size() ? &cells[i] : nullptr;
        const bool empty = !cell || std::holds_alternative<std::monostate>(*cell);
        if (empty && !layout.jsonNulls)
            continue;
        if (out.size() > 1)
            out += ',';
        appendJsonString(out, columns[i]);
        out += ':';
        if (empty)
            out += "null";
        else if (const double* d = std::get_if<double>(cell))
            out += layout.exactNumbers ? exactNumberText(*d) : numberText(*d);
        else
            appendJsonString(out, validUtf8(std::get<std::string>(*cell)));
    }
    return out + "}\n";
}

std::string jsonLine(const IndicatorRow& row) { return jsonLine(row.cells, indicatorLayout()); }

class TableFileWriter::Impl {
public:
    virtual ~Impl() = default;
    virtual void writeCells(const std::vector<Cell>& cells) = 0;
    virtual bool writesLines() const { return false; }
    virtual std::string lineOf(const std::vector<Cell>&) const
    {
        throw TableFileError("only a text table is written as lines");
    }
    virtual void writeLine(std::string_view) { throw TableFileError("only a text table is written as lines"); }
    virtual void writeStyledCells(const std::vector<Cell>& cells, const std::vector<CellStyle>&) { writeCells(cells); }
    virtual void startSheet(const std::string& name, const std::vector<std::string>* /*header*/, int /*frozen*/)
    {
        throw TableFileError("only an XLSX table has sheets: \"" + name + "\" cannot start one");
    }
    virtual void commit() = 0;
};

namespace {

// CSV of either dialect and JSON Lines: text, buffered, to a file descriptor.
class TextTable : public TableFileWriter::Impl {
public:
    TextTable(const std::string& path, TableFormat format, TableLayout layout)
        : format_(format), layout_(std::move(layout)), path_(path)
    {
        if (path == "-") {
            fd_ = STDOUT_FILENO;
        } else {
            target_.emplace(path);
            fd_ = target_->fd();
        }
        if (format_ == TableFormat::CsvRussian)
            buffer_ = "\xEF\xBB\xBF";
        if (format_ != TableFormat::JsonLines) {
            const char sep = format_ == TableFormat::CsvRussian ? ';' : ',';
            bool first = true;
            for (const std::string& id : layout_.columns) {
                if (!first)
                    buffer_ += sep;
                first = false;
                buffer_ += id;
            }
            buffer_ += "\r\n";
        }
    }

    void writeCells(const std::vector<Cell>& cells) override { writeLine(lineOf(cells)); }

    bool writesLines() const override { return true; }

    std::string lineOf(const std::vector<Cell>& cells) const override
    {
        if (format_ == TableFormat::JsonLines)
            return jsonLine(cells, layout_);
        std::string line;
        line.reserve(16 * cells.size());
        const char sep = format_ == TableFormat::CsvRussian ? ';' : ',';
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i)
                line += sep;
            // Numbers straight into the line: a long table has millions.
            const double* d = std::get_if<double>(&cells[i]);
            if (d && layout_.exactNumbers && *d != 0) {
                char buf[64];
                const auto res = std::to_chars(buf, buf + sizeof buf, *d);
                if (format_ == TableFormat::CsvRussian)
                    std::replace(buf, res.ptr, '.', ',');
                line.append(buf, res.ptr);
            } else {
                line += csvField(cells[i], format_, layout_.exactNumbers);
            }
        }
        line += "\r\n";
        return line;
    }

    void writeLine(std::string_view line) override
    {
        buffer_ += line;
        if (buffer_.size() >= 1 << 16)
            flush();
    }

    void commit() override
    {
        flush();
        if (target_) {
            target_->closeFd();
            target_->complete();
        }
    }

private:
    void flush()
    {
        if (!writeAll(fd_, buffer_.data(), buffer_.size()))
            fail(path_ == "-" ? std::string("<stdout>") : path_, "writing failed", errno);
        buffer_.clear();
    }

    TableFormat format_;
    TableLayout layout_;
    std::string path_;
    std::optional<AtomicTarget> target_;
    int fd_ = -1;
    std::string buffer_;
};

// A spreadsheet cell holds at most 32767 characters; bytes bound them safely.
constexpr std::size_t kMaxCellBytes = 32767;

// Characters a reader sees in valid UTF-8 (continuation bytes not counted).
std::size_t shownLength(std::string_view utf8)
{
    std::size_t n = 0;
    for (char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Column widths in characters: the longest cell and a margin, up to where a
// long text had better be read in its cell than widen the whole sheet.
// General-format numbers show at most 11 characters.
constexpr std::size_t kWidthMargin = 2;
constexpr std::size_t kWidestColumn = 60;
constexpr std::size_t kWidestNumber = 11;

// A number as its format shows it (digits fixed, a fraction in per cent),
// for the width of its column.
std::string shownNumber(double value, const CellStyle& style)
{
    char buf[400];
    const double shown = style.percent ? value * 100 : value;
    const auto res = std::to_chars(buf, buf + sizeof buf, shown, std::chars_format::fixed, style.decimals);
    return std::string(buf, res.ptr) + (style.percent ? "%" : "");
}

double columnWidth(std::size_t characters)
{
    return static_cast<double>(std::min(characters, kWidestColumn) + kWidthMargin);
}

// XLSX through libxlsxwriter in its constant-memory mode: each row is
// written out as it comes, so memory does not grow with the table. The
// widest cell of each column is kept as rows pass, and the widths are set
// when the workbook is closed. A second sheet names every column in the
// report's Russian wording.
class XlsxTable : public TableFileWriter::Impl {
public:
    XlsxTable(const std::string& path, const TableLayout& layout) : target_(path), layout_(layout)
    {
        target_.closeFd();
        tmpdir_ = folderOf(target_.temporary());
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir_.data();
        workbook_ = workbook_new_opt(target_.temporary().c_str(), &options);
        if (!workbook_)
            fail(path, "cannot start the workbook", errno);
        header_ = workbook_add_format(workbook_);
        format_set_bold(header_);
        numberHeader_ = workbook_add_format(workbook_);
        format_set_bold(numberHeader_);
        format_set_align(numberHeader_, LXW_ALIGN_RIGHT);
    }
    ~XlsxTable() override
    {
        // An abandoned workbook still has to be freed; its output is discarded with the temporary file.
        if (workbook_)
            workbook_close(workbook_);
    }

    void startSheet(const std::string& name, const std::vector<std::string>* header, int frozen) override
    {
        openSheet(name, header ? *header : layout_.columns, frozen);
    }

    void writeCells(const std::vector<Cell>& cells) override { writeStyledCells(cells, {}); }

    void writeStyledCells(const std::vector<Cell>& cells, const std::vector<CellStyle>& styles) override
    {
        if (!sheet_)
            openSheet(layout_.sheetName, layout_.columns, 0);
        if (nextRow_ >= LXW_ROW_MAX)
            fail(target_.path(), "an XLSX sheet holds at most 1048575 rows of data", 0);
        const auto r = static_cast<lxw_row_t>(nextRow_++);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const CellStyle style = c < styles.size() ? styles[c] : CellStyle{};
            lxw_format* format = formatOf(style);
            if (const double* d = std::get_if<double>(&cells[c])) {
                check(worksheet_write_number(sheet_, r, col, *d, format));
                const std::size_t shown = style.decimals >= 0 ? shownNumber(*d, style).size()
                                          : std::min((layout_.exactNumbers ? exactNumberText(*d) : numberText(*d)).size(),
                                                     kWidestNumber);
                if (c < widths_.size())
                    widths_[c] = std::max(widths_[c], shown);
            } else if (const std::string* s = std::get_if<std::string>(&cells[c])) {
                if (s->empty())
                    continue;
                std::string text = validUtf8(*s);
                if (text.size() > kMaxCellBytes) {
                    text.resize(kMaxCellBytes);
                    text = validUtf8(text);
                }
                check(worksheet_write_string(sheet_, r, col, text.c_str(), format));
                if (c < widths_.size())
                    widths_[c] = std::max(widths_[c], shownLength(text));
            }
        }
    }

    void commit() override
    {
        if (!sheet_)
            openSheet(layout_.sheetName, layout_.columns, 0); // a table without rows still has its header
        fitColumns();
        if (!layout_.captions.empty())
            writeCaptions(layout_);
        const lxw_error result = workbook_close(workbook_);
        workbook_ = nullptr;
        if (result != LXW_NO_ERROR)
            fail(target_.path(), lxw_strerror(result), 0);
        target_.complete();
    }

private:
    void check(lxw_error e)
    {
        if (e != LXW_NO_ERROR)
            fail(target_.path(), lxw_strerror(e), 0);
    }

    // A sheet under a bold, frozen header; the one before gets its widths.
    void openSheet(const std::string& name, const std::vector<std::string>& columns, int frozenColumns)
    {
        fitColumns();
        sheet_ = workbook_add_worksheet(workbook_, name.c_str());
        if (!sheet_)
            fail(target_.path(), "cannot add the sheet \"" + name + "\"", 0);
        nextRow_ = 1;
        widths_.assign(columns.size(), 0);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string text = validUtf8(columns[c]);
            // A year heads a column of numbers: it stands above them, on the right.
            const bool digits = !text.empty() && std::all_of(text.begin(), text.end(), [](char d) {
                return d >= '0' && d <= '9';
            });
            check(worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(c), text.c_str(),
                                         digits ? numberHeader_ : header_));
            widths_[c] = shownLength(text);
        }
        worksheet_freeze_panes(sheet_, 1, static_cast<lxw_col_t>(std::max(frozenColumns, 0)));
    }

    // One format per style, made when first asked for; none for the default.
    lxw_format* formatOf(const CellStyle& style)
    {
        if (style.decimals < 0 && !style.bold && !style.alignRight)
            return nullptr;
        const std::string key = std::to_string(style.decimals) + (style.percent ? "%" : "") +
                                (style.bold ? "b" : "") + (style.alignRight ? "r" : "");
        for (const auto& [k, f] : formats_)
            if (k == key)
                return f;
        lxw_format* f = workbook_add_format(workbook_);
        if (style.decimals >= 0) {
            std::string code = "0";
            // Appended piece by piece: g++ 12 at -O3 takes "." + string for an overlapping copy.
            if (style.decimals > 0)
                code.append(".").append(static_cast<std::size_t>(style.decimals), '0');
            if (style.percent)
                code += "%";
            format_set_num_format(f, code.c_str());
        }
        if (style.bold)
            format_set_bold(f);
        if (style.alignRight)
            format_set_align(f, LXW_ALIGN_RIGHT);
        formats_.emplace_back(key, f);
        return f;
    }

    void fitColumns()
    {
        if (!sheet_)
            return;
        for (std::size_t c = 0; c < widths_.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            check(worksheet_set_column(sheet_, col, col, columnWidth(widths_[c]), nullptr));
        }
    }

    // The sheet "columns": each column's identifier, its caption and its
    // report section (0 for what describes the file), fitted to their text.
    void writeCaptions(const TableLayout& layout)
    {
        lxw_worksheet* captions = workbook_add_worksheet(workbook_, "columns");
        const char* const headers[] = {"column", "caption", "section"};
        std::size_t widths[] = {0, 0, 0};
        for (lxw_col_t c = 0; c < 3; ++c) {
            check(worksheet_write_string(captions, 0, c, headers[c], header_));
            widths[c] = shownLength(headers[c]);
        }
        for (std::size_t i = 0; i < layout.columns.size() && i < layout.captions.size(); ++i) {
            const auto r = static_cast<lxw_row_t>(i + 1);
            const std::string caption = validUtf8(layout.captions[i].caption);
            check(worksheet_write_string(captions, r, 0, layout.columns[i].c_str(), nullptr));
            if (!caption.empty())
                check(worksheet_write_string(captions, r, 1, caption.c_str(), nullptr));
            check(worksheet_write_number(captions, r, 2, layout.captions[i].section, nullptr));
            widths[0] = std::max(widths[0], shownLength(layout.columns[i]));
            widths[1] = std::max(widths[1], shownLength(caption));
        }
        for (lxw_col_t c = 0; c < 3; ++c)
            check(worksheet_set_column(captions, c, c, columnWidth(widths[c]), nullptr));
        worksheet_freeze_panes(captions, 1, 0);
    }

    AtomicTarget target_;
    TableLayout layout_;
    std::string tmpdir_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* header_ = nullptr;
    lxw_format* numberHeader_ = nullptr;
    std::size_t nextRow_ = 1;
    std::vector<std::size_t> widths_; // the widest cell of each column of this sheet so far, in characters
    std::vector<std::pair<std::string, lxw_format*>> formats_; // by style, few
};

} // namespace

TableFileWriter::TableFileWriter(const std::string& path, TableFormat format)
    : TableFileWriter(path, format, indicatorLayout())
{
}

TableFileWriter::TableFileWriter(const std::string& path, TableFormat format, TableLayout layout)
{
    if (format == TableFormat::Xlsx) {
        if (path == "-")
            throw TableFileError("cannot write an XLSX table to standard output: name a file");
        impl_ = std::make_unique<XlsxTable>(path, layout);
    } else {
        impl_ = std::make_unique<TextTable>(path, format, std::move(layout));
    }
}

TableFileWriter::~TableFileWriter() = default;

void TableFileWriter::writeRow(const IndicatorRow& row) { impl_->writeCells(row.cells); }

void TableFileWriter::writeCells(const std::vector<Cell>& cells) { impl_->writeCells(cells); }

bool TableFileWriter::writesLines() const { return impl_->writesLines(); }

std::string TableFileWriter::lineOf(const std::vector<Cell>& cells) const { return impl_->lineOf(cells); }

void TableFileWriter::writeLine(std::string_view line) { impl_->writeLine(line); }

void TableFileWriter::writeCells(const std::vector<Cell>& cells, const std::vector<CellStyle>& styles)
{
    impl_->writeStyledCells(cells, styles);
}

void TableFileWriter::startSheet(const std::string& name) { impl_->startSheet(name, nullptr, 0); }

void TableFileWriter::startSheet(const std::string& name, const std::vector<std::string>& header, int frozenColumns)
{
    impl_->startSheet(name, &header, frozenColumns);
}

void TableFileWriter::commit() { impl_->commit(); }

} // namespace kalvanta::indicators
