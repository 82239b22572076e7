#pragma once
// Rows of the statistics office's bulk file written field by field, in its
// layout: 266 fields, ";" between them, windows-1251.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "history/bulk_reader.h"

namespace kalvanta::history::test {

// A company's row: amounts by (line, period digit 3 or 4); everything else 0.
struct BulkSpec {
    std::string name = "ООО \"Проба\""; // UTF-8, written as windows-1251
    std::string okpo = "00012345";
    std::string okved = "46.31";
    std::string inn = "7701234567";
    std::string unit = "384";
    std::string type = "2";
    std::map<std::pair<int, int>, std::string> amounts;
    std::map<int, std::string> fields; // 1-based field replaced as written
    int extraFields = 0;               // fields added (or, negative, taken off) at the end
};

// The windows-1251 bytes of UTF-8 text (Cyrillic, ASCII and the few signs used here).
inline std::string toCp1251(const std::string& utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const unsigned cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        if (cp >= 0x410 && cp <= 0x44F)
            out += static_cast<char>(0xC0 + (cp - 0x410));
        else if (cp == 0x401)
            out += '\xA8';
        else if (cp == 0x451)
            out += '\xB8';
        else
            out += '?';
    }
    return out;
}

inline std::string bulkLine(const BulkSpec& s)
{
    std::vector<std::string> f = {toCp1251(s.name), s.okpo, "12300", "16", s.okved, s.inn, s.unit, s.type};
    for (std::size_t i = 0; i < kBulkAmountLines; ++i) {
        const int line = i < kBulkBalanceLines.size() ? kBulkBalanceLines[i] : kBulkFlowLines[i - kBulkBalanceLines.size()];
        for (int digit : {3, 4}) {
            const auto it = s.amounts.find({line, digit});
            f.push_back(it == s.amounts.end() ? "0" : it->second);
        }
    }
    while (f.size() < 265)
        f.push_back("0");
    f.push_back("20180615");
    for (const auto& [field, text] : s.fields)
        f[static_cast<std::size_t>(field - 1)] = text;
    for (int i = 0; i < s.extraFields; ++i)
        f.push_back("0");
    for (int i = 0; i > s.extraFields; --i)
        f.pop_back();
    std::string line;
    for (std::size_t i = 0; i < f.size(); ++i)
        line += (i ? ";" : "") + f[i];
    return line;
}

// A small company whose figures the tests check: current ratio ca / 500.
inline BulkSpec company(const std::string& inn, const std::string& okved, long ca = 600, long revenue = 2000)
{
    BulkSpec s;
    s.inn = inn;
    s.okved = okved;
    const auto put = [&](int line, int digit, long v) { s.amounts[{line, digit}] = std::to_string(v); };
    put(1100, 3, 400); put(1200, 3, ca); put(1600, 3, 400 + ca); put(1300, 3, ca - 100);
    put(1500, 3, 500); put(1700, 3, 400 + ca);
    put(1100, 4, 300); put(1200, 4, 500); put(1600, 4, 800); put(1300, 4, 300); put(1500, 4, 500);
    put(1700, 4, 800);
    put(2110, 3, revenue); put(2120, 3, revenue * 3 / 4); put(2200, 3, revenue / 4); put(2300, 3, revenue / 8);
    put(2400, 3, revenue / 10); put(2110, 4, 1500); put(2400, 4, 100);
    return s;
}

inline std::string writeBulkFile(const std::string& name, const std::vector<std::string>& lines,
                                 const std::string& eol = "\r\n")
{
    // One folder per process: test binaries run side by side write the same names.
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kalvanta-bulk-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::ofstream out(path, std::ios::binary);
    for (const std::string& l : lines)
        out << l << eol;
    return path;
}

} // namespace kalvanta::history::test
