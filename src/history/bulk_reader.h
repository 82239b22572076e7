#pragma once
// The statistics office's bulk file of a year's statements: one company a
// row, 266 fields split on ";" only (names hold bare quotes), windows-1251,
// no header. Read as a stream, a row at a time; a broken row is refused by
// its line number and the reading goes on.
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "history/company_history.h"

namespace kalvanta::history {

inline constexpr std::size_t kBulkFields = 266;
// Balance lines, then profit and loss lines, in the file's order; each takes
// two adjacent fields, the reporting year's (code digit 3) and the previous
// year's (4).
inline constexpr std::array<int, 37> kBulkBalanceLines{
    1110, 1120, 1130, 1140, 1150, 1160, 1170, 1180, 1190, 1100, 1210, 1220, 1230,
    1240, 1250, 1260, 1200, 1600, 1310, 1320, 1340, 1350, 1360, 1370, 1300, 1410,
    1420, 1430, 1450, 1400, 1510, 1520, 1530, 1540, 1550, 1500, 1700};
inline constexpr std::array<int, 21> kBulkFlowLines{2110, 2120, 2100, 2210, 2220, 2200, 2310,
                                                     2320, 2330, 2340, 2350, 2300, 2410, 2421,
                                                     2430, 2450, 2460, 2400, 2510, 2520, 2500};
inline constexpr std::size_t kBulkAmountLines = kBulkBalanceLines.size() + kBulkFlowLines.size();

// The content tells the format: a first line of 266 ";" fields whose sixth
// (the INN) is digits.
bool looksLikeBulkFile(std::string_view head);
// The same for a file on disk (reads its first line only).
bool isBulkFile(const std::string& path);

// The reporting year a file's name gives: "…-<year>1231.csv" or ".zip" (the
// current names). Older names end in "…1231t000000", the structure's date
// rather than the year, and give nothing.
std::optional<int> bulkYearFromName(const std::string& path);

struct BulkRow {
    std::string organisation; // UTF-8
    std::string okpo, okved, inn;
    int unitCode = 384;
    int reportType = 2; // 0 non-commercial, 1 small business (simplified), 2 others
    // [0] the reporting year, [1] the previous one; balance lines first, in
    // the order of kBulkBalanceLines then kBulkFlowLines, as the file gives them.
    std::array<std::array<std::int64_t, kBulkAmountLines>, 2> amounts{};
};

// Splits and checks one line (without its end of line). Returns the reason a
// row is refused ("265 fields instead of 266", "no INN", "field 57 (13003)
// is not a whole number: \"1x\""), or nothing when out holds the row.
std::optional<std::string> parseBulkRow(std::string_view line, BulkRow& out);

// The row as the history reads it: year Y from the reporting year's fields,
// Y − 1 from the previous year's, in thousands of roubles (a note names a
// converted row and flags the millions, which these files are known to
// mislabel). Zero amounts are left out: the file writes an empty amount as
// 0, and a section all zero is a section the company did not report.
CompanyHistory bulkHistory(const BulkRow& row, int year, const std::string& place);

// The amount of a line of a parsed row in thousands of roubles; year 0 the
// reporting one, 1 the previous.
double bulkAmountThousands(const BulkRow& row, int line, int year);

// Lines of a file one at a time, in a fixed buffer: a line longer than the
// limit is handed on cut (and so refused for its field count), never kept
// whole. CRLF and LF both end a line; a last line without one is read.
class BulkLineReader {
public:
    explicit BulkLineReader(const std::string& path); // throws InputError naming the file
    ~BulkLineReader();
    BulkLineReader(const BulkLineReader&) = delete;
    BulkLineReader& operator=(const BulkLineReader&) = delete;

    // The next line and its number (from 1); false at the end.
    bool next(std::string& line, std::size_t& number);
    std::uint64_t bytesRead() const { return consumed_; }
    std::uint64_t size() const { return size_; }

private:
    bool fill();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::size_t line_ = 0;
    std::uint64_t consumed_ = 0, size_ = 0;
    bool eof_ = false;
};

inline constexpr std::size_t kBulkMaxLineBytes = 1 << 16;

} // namespace kalvanta::history
