#include "statements/line_code_csv_reader.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "document/code_page.h"
#include "document/utf8.h"
#include "inputs/json_loader.h" // InputError
#include "statements/statement_limits.h"

namespace kalvanta {

namespace {

[[noreturn]] void fail(const std::string& source, int line, const std::string& what)
{
    throw InputError(source + ": line " + std::to_string(line) + ": " + what);
}

[[noreturn]] void fail(const std::string& source, const std::string& what)
{
    throw InputError(source + ": " + what);
}

// UTF-8 with or without its byte order mark, else windows-1251 (what a
// spreadsheet saves as "CSV" on a Russian system).
std::string decode(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (doc::isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 2);
    doc::CodePageDecoder cp1251(doc::kCodePageCyrillic);
    for (const unsigned char c : bytes) {
        if (c == 0)
            out += '\0'; // the decoder drops NUL; keep it so the cell stays wrong, not silently shorter
        else
            cp1251.put(c, out);
    }
    cp1251.flush(out);
    return out;
}

struct Row {
    int line = 0; // where the row starts, from 1
    std::vector<std::string> cells;
};

// RFC 4180: cells in double quotes may hold the separator, line breaks and
// doubled quotes. Line breaks are LF, CRLF or CR. A quote inside a cell that
// does not begin with one is kept as it stands (ООО "Ромашка" typed by hand).
std::vector<Row> splitRows(const std::string& text, char separator, const std::string& source)
{
    std::vector<Row> rows;
    Row row;
    std::string cell;
    int line = 1;
    row.line = 1;
    bool quoted = false;     // inside quotes
    bool wasQuoted = false;  // the cell was quoted; only spaces may follow the closing quote
    int quoteLine = 0;
    const auto endCell = [&] {
        row.cells.push_back(std::move(cell));
        cell.clear();
        wasQuoted = false;
    };
    const auto endRow = [&] {
        endCell();
        rows.push_back(std::move(row));
        row = Row{};
        row.line = line;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    cell += '"';
                    ++i;
                } else {
                    quoted = false;
                    wasQuoted = true;
                }
            } else {
                if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == separator) {
            endCell();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            ++line;
            endRow();
        } else if (c == '"' && !wasQuoted && cell.find_first_not_of(' ') == std::string::npos) {
            cell.clear();
            quoted = true;
            quoteLine = line;
        } else if (wasQuoted) {
            if (c != ' ' && c != '\t')
                fail(source, line, "text after the closing quote of a cell");
        } else {
            cell += c;
        }
    }
    if (quoted)
        fail(source, quoteLine, "a quoted cell is never closed");
    if (!cell.empty() || !row.cells.empty() || wasQuoted)
        endRow();
    return rows;
}

// The separator is a semicolon when the first row that has one holds one
// outside quotes before any comma does; otherwise a comma. A semicolon
// table may then use decimal commas freely; a comma table must quote them.
char detectSeparator(const std::string& text)
{
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ';')
            return ';';
        else if (!quoted && c == ',')
            return ',';
    }
    return ',';
}

std::string trim(std::string s)
{
    // ASCII blanks and the no-break spaces spreadsheets put in numbers
    static const std::string_view kBlanks[] = {" ", "\t", "\xC2\xA0", "\xE2\x80\xAF"};
    bool changed = true;
    while (changed) {
        changed = false;
        for (const auto b : kBlanks) {
            if (s.size() >= b.size() && s.compare(0, b.size(), b) == 0) {
                s.erase(0, b.size());
                changed = true;
            }
            if (s.size() >= b.size() && s.compare(s.size() - b.size(), b.size(), b) == 0) {
                s.erase(s.size() - b.size());
                changed = true;
            }
        }
    }
    return s;
}

// Lower case for ASCII and the Russian letters (UTF-8), "ё" as "е", so the
// keywords match however they were typed.
std::string fold(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto ch = doc::decodeUtf8(s, i);
        char32_t cp = ch.codePoint;
        if (cp >= U'A' && cp <= U'Z')
            cp += 32;
        else if (cp >= U'А' && cp <= U'Я')
            cp += 32;
        else if (cp == U'Ё' || cp == U'ё')
            cp = U'е';
        doc::appendUtf8(out, cp);
        i += ch.length;
    }
    return out;
}

enum class Keyword { None, Organisation, TaxNumber, Year, Unit };

Keyword keyword(const std::string& cell)
{
    std::string k = fold(cell);
    while (!k.empty() && (k.back() == ':' || k.back() == ' '))
        k.pop_back();
    struct Name {
        const char* text;
        Keyword kind;
    };
    static const Name kNames[] = {
        {"организация", Keyword::Organisation},
        {"наименование организации", Keyword::Organisation},
        {"organisation", Keyword::Organisation},
        {"organization", Keyword::Organisation},
        {"инн", Keyword::TaxNumber},
        {"inn", Keyword::TaxNumber},
        {"год", Keyword::Year},
        {"отчетный год", Keyword::Year},
        {"year", Keyword::Year},
        {"единица", Keyword::Unit},
        {"единица измерения", Keyword::Unit},
        {"unit", Keyword::Unit},
    };
    for (const auto& n : kNames)
        if (k == n.text)
            return n.kind;
    return Keyword::None;
}

bool allDigits(const std::string& s)
{
    if (s.empty())
        return false;
    for (const char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Forms read: the balance sheet (1100 … 1700), the statement of financial
// results (2100 … 2999) and the cash flow statement (4100 … 4999).
// Returns the most values a line holds, or 0 when the cell is no line code
// of those forms.
int lineColumns(const std::string& cell, int& code)
{
    if (cell.size() != 4 || !allDigits(cell))
        return 0;
    code = std::stoi(cell);
    if (code >= 1100 && code <= 1799)
        return 3;
    if ((code >= 2100 && code <= 2999) || (code >= 4100 && code <= 4999))
        return 2;
    return 0;
}

// Codes of the other forms (changes in equity, notes): a spreadsheet of the
// whole statements holds them; they are passed over.
bool otherFormCode(const std::string& cell)
{
    if (cell.size() != 4 || !allDigits(cell))
        return false;
    const char form = cell[0];
    return form == '3' || form == '5' || form == '6';
}

// A cell meant as a line code: three characters or more, a digit first, and
// no year (a header's "2023").
bool startsLikeCode(const std::string& cell)
{
    if (cell.size() < 3 || cell[0] < '0' || cell[0] > '9')
        return false;
    return !(cell.size() == 4 && allDigits(cell) && cell >= "1900" && cell <= "2999");
}

enum class Parsed { Empty, Number, NotANumber, OutOfRange };

// "1 234,5", "1234.5", "-12", "(12)" (a negative amount as the forms print
// it), "-" or "—" for an empty line; spaces group digits. Exponents are
// allowed ("1.5e3"), as a spreadsheet may write them.
Parsed number(std::string s, double& value)
{
    s = trim(std::move(s));
    if (s.empty() || s == "-" || s == "\xE2\x80\x93" || s == "\xE2\x80\x94")
        return Parsed::Empty;
    bool negative = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        s = trim(s.substr(1, s.size() - 2));
        negative = true;
    }
    std::string plain;
    plain.reserve(s.size());
    int separators = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ' ')
            continue;
        if (s.compare(i, 2, "\xC2\xA0") == 0) {
            ++i;
            continue;
        }
        if (s.compare(i, 3, "\xE2\x80\xAF") == 0) {
            i += 2;
            continue;
        }
        if (c == ',' || c == '.') {
            ++separators;
            plain += '.';
            continue;
        }
        plain += c;
    }
    if (separators > 1 || plain.empty())
        return Parsed::NotANumber;
    if (negative && (plain[0] == '-' || plain[0] == '+'))
        return Parsed::NotANumber;
    const char* first = plain.data();
    if (*first == '+')
        ++first;
    const char* last = plain.data() + plain.size();
    // from_chars takes no leading '+' and never reads "inf"/"nan" as numbers
    // here: only digits, point, sign and exponent reach it.
    for (const char* p = first; p != last; ++p)
        if (!((*p >= '0' && *p <= '9') || *p == '.' || *p == '-' || *p == '+' || *p == 'e' || *p == 'E'))
            return Parsed::NotANumber;
    double d = 0;
    const auto [end, ec] = std::from_chars(first, last, d);
    if (ec == std::errc::result_out_of_range)
        return Parsed::OutOfRange;
    if (ec != std::errc() || end != last || !std::isfinite(d))
        return Parsed::NotANumber;
    value = negative ? -d : d;
    return Parsed::Number;
}

int unitFromText(const std::string& cell)
{
    const std::string u = fold(trim(cell));
    if (u == "383" || u == "384" || u == "385")
        return std::stoi(u);
    std::string compact;
    for (const char c : u)
        if (c != ' ' && c != '.')
            compact += c;
    if (compact.rfind("тыс", 0) == 0)
        return 384;
    if (compact.rfind("млн", 0) == 0)
        return 385;
    if (compact.rfind("руб", 0) == 0)
        return 383;
    return 0;
}

// A header row may give the years of the value columns: N, N-1, N-2.
int yearFromHeader(const std::vector<std::string>& cells, std::size_t firstValue)
{
    if (cells.size() <= firstValue)
        return 0;
    const std::string head = trim(cells[firstValue]);
    // "2024", or "31.12.2024", "На 31 декабря 2024 г.", "За 2024 г." — the
    // first four-digit run that reads as a year
    for (std::size_t i = 0; i + 4 <= head.size(); ++i) {
        const std::string run = head.substr(i, 4);
        const bool boundedLeft = i == 0 || head[i - 1] < '0' || head[i - 1] > '9';
        const bool boundedRight = i + 4 == head.size() || head[i + 4] < '0' || head[i + 4] > '9';
        if (allDigits(run) && boundedLeft && boundedRight) {
            const int y = std::stoi(run);
            return y >= 1900 && y <= 2999 ? y : 0;
        }
    }
    return 0;
}

} // namespace

Statement readLineCodeCsv(std::string_view bytes, const std::string& source)
{
    if (bytes.size() > statement_limits::kMaxLineCodeCsvBytes)
        fail(source, "file is larger than " + std::to_string(statement_limits::kMaxLineCodeCsvBytes) + " bytes");
    const std::string text = decode(bytes);
    const char separator = detectSeparator(text);
    const std::vector<Row> rows = splitRows(text, separator, source);

    Statement st;
    st.sourceName = source;
    st.formatName = std::string("line-code table (CSV, ") + (separator == ';' ? "semicolon" : "comma") + ")";
    int headerYear = 0;
    int yearLine = 0;
    std::map<int, int> rowOfLine;
    bool dataSeen = false;

    for (const Row& row : rows) {
        std::vector<std::string> cells;
        cells.reserve(row.cells.size());
        bool blank = true;
        for (const auto& c : row.cells) {
            cells.push_back(trim(c));
            blank = blank && cells.back().empty();
        }
        if (blank)
            continue;

        const Keyword kw = keyword(cells[0]);
        if (kw != Keyword::None) {
            const std::string value = cells.size() > 1 ? cells[1] : std::string();
            for (std::size_t i = 2; i < cells.size(); ++i)
                if (!cells[i].empty())
                    fail(source, row.line, "\"" + cells[0] + "\" takes one value, in the second cell");
            switch (kw) {
            case Keyword::Organisation:
                st.organisation = value;
                break;
            case Keyword::TaxNumber:
                if (!value.empty() && (!allDigits(value) || (value.size() != 10 && value.size() != 12)))
                    fail(source, row.line, "the tax number \"" + value + "\" must be 10 or 12 digits");
                st.taxNumber = value;
                break;
            case Keyword::Year:
                if (value.size() != 4 || !allDigits(value) || std::stoi(value) < 1900 || std::stoi(value) > 2999)
                    fail(source, row.line, "the year \"" + value + "\" must be a year (1900 to 2999)");
                if (yearLine)
                    fail(source, row.line, "a second year row (the first is line " + std::to_string(yearLine) + ")");
                st.year = std::stoi(value);
                yearLine = row.line;
                break;
            case Keyword::Unit:
                st.unitCode = unitFromText(value);
                if (!st.unitCode)
                    fail(source, row.line,
                         "the unit \"" + value + "\" must be 383, 384 or 385 (roubles, thousands, millions)");
                break;
            case Keyword::None:
                break;
            }
            continue;
        }

        // A data row: the line code first, or the line's name and then its code.
        int code = 0;
        std::size_t codeCell = 0;
        int columns = lineColumns(cells[0], code);
        if (!columns && !allDigits(cells[0]) && cells.size() > 1) {
            columns = lineColumns(cells[1], code);
            codeCell = 1;
        }
        if (!columns) {
            if (otherFormCode(cells[0]) || (cells.size() > 1 && !allDigits(cells[0]) && otherFormCode(cells[1])))
                continue;
            if (!dataSeen) {
                // a header row; it may name the years of the columns
                // (after a code column, or after a name and a code column)
                if (!headerYear)
                    headerYear = yearFromHeader(cells, 1);
                if (!headerYear)
                    headerYear = yearFromHeader(cells, 2);
                continue;
            }
            // Past the first line a row is a heading ("АКТИВ", a repeated
            // header, a row numbering the columns) or a mistyped code
            // ("16OO", "1600.0") whose amounts would be lost silently.
            std::size_t attempt = 0;
            if (startsLikeCode(cells[0]))
                attempt = 1;
            else if (cells.size() > 1 && startsLikeCode(cells[1]))
                attempt = 2;
            if (!attempt)
                continue;
            for (std::size_t i = attempt; i < cells.size(); ++i) {
                double ignored;
                const Parsed p = number(cells[i], ignored);
                if (p == Parsed::Number || p == Parsed::OutOfRange)
                    fail(source, row.line, "\"" + cells[attempt - 1] +
                                               "\" is not a line code (four digits: 1100 to 1799, 2100 to 2999, "
                                               "4100 to 4999)");
            }
            continue;
        }
        dataSeen = true;
        if (const auto it = rowOfLine.find(code); it != rowOfLine.end())
            fail(source, row.line,
                 "line " + std::to_string(code) + " is given twice (first at line " + std::to_string(it->second) + ")");
        rowOfLine[code] = row.line;

        std::array<std::optional<double>, 3> values;
        for (std::size_t i = codeCell + 1; i < cells.size(); ++i) {
            const int column = static_cast<int>(i - codeCell - 1);
            double d = 0;
            const Parsed p = number(cells[i], d);
            if (p == Parsed::Empty)
                continue;
            if (column >= columns)
                fail(source, row.line,
                     "line " + std::to_string(code) + " has a value in column " + std::to_string(column + 1) +
                         (columns == 3 ? ": balance lines have three (current, previous, before previous)"
                                       : ": profit and loss and cash flow lines have two (current, previous)"));
            if (p == Parsed::NotANumber)
                fail(source, row.line, "line " + std::to_string(code) + ": \"" + cells[i] + "\" is not a number");
            if (p == Parsed::OutOfRange)
                fail(source, row.line,
                     "line " + std::to_string(code) + ": \"" + cells[i] + "\" is beyond the range of numbers");
            values[static_cast<std::size_t>(column)] = d;
        }
        st.lines[code] = values;
    }

    if (st.lines.empty())
        fail(source, "no line codes found: each row must start with a line code (1600, 2110 …) or with the line's "
                     "name and its code");
    // Without a year the mapping still maps the figures and says what it
    // could not set (the tax rate).
    if (!st.year)
        st.year = headerYear;
    return st;
}

} // namespace kalvanta
