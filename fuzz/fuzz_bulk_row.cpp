// Fuzz target for a row of the statistics office's bulk file: parseBulkRow
// refuses with a reason or accepts; an accepted row has exactly 266 fields
// split on ";" by hand, an INN of digits, a unit and a type the reader knows,
// and amounts that are the fields' own integers; its history (in thousands)
// carries those amounts, and the table has one row per year of it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "history/bulk_reader.h"
#include "history/history_table.h"

namespace {

using namespace kalvanta::history;

[[noreturn]] void fault(const std::string& what)
{
    std::fprintf(stderr, "bulk row: %s\n", what.c_str());
    std::abort();
}

std::vector<std::string_view> split(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i)
        if (i == line.size() || line[i] == ';') {
            out.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    return out;
}

bool validUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    BulkRow row;
    const auto why = parseBulkRow(line, row);
    const std::vector<std::string_view> fields = split(line);
    if (why) {
        if (why->empty())
            fault("a refusal without a reason");
        return 0;
    }
    if (fields.size() != kBulkFields)
        fault("accepted with " + std::to_string(fields.size()) + " fields");
    if (row.inn.empty() || row.inn != fields[5] || row.inn.find_first_not_of("0123456789") != std::string::npos)
        fault("INN \"" + row.inn + "\"");
    if (row.okpo != fields[1] || row.okved != fields[4])
        fault("identifiers not as written");
    if (row.unitCode != 383 && row.unitCode != 384 && row.unitCode != 385)
        fault("unit " + std::to_string(row.unitCode));
    if (row.reportType < 0 || row.reportType > 2)
        fault("type " + std::to_string(row.reportType));
    if (!validUtf8(row.organisation))
        fault("the name is not UTF-8");
    for (std::size_t k = 0; k < 2 * kBulkAmountLines; ++k) {
        const std::string field(fields[8 + k]);
        const long long expected = field.empty() ? 0 : std::strtoll(field.c_str(), nullptr, 10);
        if (row.amounts[k % 2][k / 2] != expected)
            fault("field " + std::to_string(9 + k) + " read as " + std::to_string(row.amounts[k % 2][k / 2]));
    }
    const CompanyHistory h = bulkHistory(row, 2017, "fuzz.csv:1");
    if (h.unitCode != 384 || h.taxNumber != row.inn)
        fault("the history's unit or tax number");
    for (const auto& [year, y] : h.years) {
        if (year != 2016 && year != 2017)
            fault("year " + std::to_string(year));
        if (!y.simplified && y.balance.count(1600)) {
            const double expected = bulkAmountThousands(row, 1600, 2017 - year);
            if (y.balance.at(1600) != expected)
                fault("1600 of " + std::to_string(year));
        }
    }
    if (historyTableRows(h).size() != h.years.size())
        fault("table rows and years differ");
    return 0;
}
