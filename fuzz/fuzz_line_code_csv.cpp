// Fuzz target for the line-code table reader and the mapping. Besides the
// common checks (statement_check.h): where a table is plain (no quotes, LF
// or CRLF lines, ASCII numbers), the totals' rows split by hand give the
// statement's figures; and an accepted table written back in the other
// dialect (semicolons, decimal commas, every cell quoted) reads as the same
// statement.
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "statement_check.h"
#include "statements/line_code_csv_reader.h"

namespace {

using namespace kalvanta;

constexpr const char* kReader = "line-code csv";
constexpr std::string_view kSource = "fuzz.csv";

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string decimalComma(double v)
{
    char buffer[64];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, v);
    std::string out(buffer, res.ptr);
    for (char& c : out)
        if (c == '.')
            c = ',';
    return quoted(out);
}

std::string trimmed(std::string_view t)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
        t.remove_suffix(1);
    return std::string(t);
}

// "-12", "12.5" and nothing else; other forms leave the oracle silent.
bool plainNumber(const std::string& cell, std::optional<double>& value)
{
    if (cell.empty()) {
        value.reset();
        return true;
    }
    std::size_t i = cell[0] == '-' ? 1 : 0;
    const std::size_t digits = i;
    while (i < cell.size() && cell[i] >= '0' && cell[i] <= '9')
        ++i;
    if (i == digits || i - digits > 15)
        return false;
    if (i < cell.size() && cell[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < cell.size() && cell[i] >= '0' && cell[i] <= '9')
            ++i;
        if (i == fraction || i - digits > 16)
            return false;
    }
    if (i != cell.size())
        return false;
    value = std::stod(cell); // at most 16 digits: exact in the C locale
    return true;
}

void checkPlainTable(const Statement& s, std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (bytes.find('"') != std::string_view::npos || bytes.find('\0') != std::string_view::npos)
        return;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return; // CR-only lines
    const std::size_t firstSeparator = bytes.find_first_of(";,");
    const char separator = firstSeparator != std::string_view::npos ? bytes[firstSeparator] : ',';
    for (const int code : {1600, 1300, 1700, 2110, 2400}) {
        const std::string wanted = std::to_string(code);
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string_view::npos)
                end = bytes.size();
            std::vector<std::string> cells;
            std::string_view row = bytes.substr(start, end - start);
            start = end + 1;
            for (std::size_t at = 0;;) {
                const std::size_t next = row.find(separator, at);
                cells.push_back(trimmed(row.substr(at, next == std::string_view::npos ? next : next - at)));
                if (next == std::string_view::npos)
                    break;
                at = next + 1;
            }
            std::size_t first = 0;
            if (cells[0] == wanted)
                first = 1;
            else if (cells.size() > 1 && cells[1] == wanted && !cells[0].empty() &&
                     cells[0].find_first_not_of("0123456789") != std::string::npos)
                first = 2;
            if (!first)
                continue;
            std::array<std::optional<double>, 3> file;
            bool plain = cells.size() - first <= 3;
            for (std::size_t c = first; plain && c < cells.size(); ++c)
                plain = plainNumber(cells[c], file[c - first]);
            // a name, then "1600" alone, may be a details row ("Организация;1600")
            bool anyValue = false;
            for (const auto& v : file)
                anyValue = anyValue || v.has_value();
            if (!plain || (first == 2 && !anyValue))
                continue;
            const auto it = s.lines.find(code);
            if (it == s.lines.end() || it->second != file)
                fuzzcheck::fault(kReader, "line " + wanted + " is not what its row says");
        }
    }
}

std::string written(const Statement& s)
{
    std::string out = "Организация;" + quoted(s.organisation) + "\r\n";
    if (!s.taxNumber.empty())
        out += "ИНН;" + quoted(s.taxNumber) + "\r\n";
    if (s.year)
        out += "Год;" + std::to_string(s.year) + "\r\n";
    out += "Единица;" + std::to_string(s.unitCode) + "\r\n";
    for (const auto& [code, cells] : s.lines) {
        out += quoted(std::to_string(code));
        for (const auto& v : cells) {
            // Appended piece by piece: g++ 12 at -O3 takes ";" + string for an overlapping copy.
            out += ';';
            if (v)
                out += decimalComma(*v);
        }
        out += "\r\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Statement s;
    try {
        s = readLineCodeCsv(bytes, std::string(kSource));
    } catch (const InputError& e) {
        fuzzcheck::checkMessage(kReader, e, kSource);
        return 0;
    }
    for (const auto& [code, cells] : s.lines) {
        const bool balance = code >= 1100 && code <= 1799;
        const bool yearly = (code >= 2100 && code <= 2999) || (code >= 4100 && code <= 4999);
        if (!balance && !yearly)
            fuzzcheck::fault(kReader, "line " + std::to_string(code) + " is of no form the table reads");
    }
    checkPlainTable(s, bytes);
    const std::string again = written(s);
    try {
        if (!fuzzcheck::sameStatement(readLineCodeCsv(again, std::string(kSource)), s))
            fuzzcheck::fault(kReader, "the table written back reads differently:\n" + again);
    } catch (const InputError& e) {
        fuzzcheck::fault(kReader, std::string("the table written back is refused: ") + e.what() + "\n" + again);
    }
    fuzzcheck::mapAndCheck(kReader, s, kSource);
    return 0;
}
