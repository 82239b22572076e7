#include "document/code_page.h"

#include "document/utf8.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <mutex>
#include <string_view>

namespace kalvanta::doc {

namespace {

constexpr char32_t kLeadByte = 0xFFFFFFFF;

// The upper half of cp1251 (0x80..0xFF); 0x98 is undefined.
constexpr std::array<char32_t, 64> kCp1251From80 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

struct Cp1251Entry {
    char32_t codePoint;
    unsigned char byte;
};

// The upper half by code point, for a binary search: writing RTF asks for
// the byte of every character it escapes.
constexpr std::array<Cp1251Entry, 64> cp1251ByCodePoint() {
    std::array<Cp1251Entry, 64> entries{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = {kCp1251From80[i], static_cast<unsigned char>(0x80 + i)};
    }
    for (std::size_t i = 1; i < entries.size(); ++i) {
        for (std::size_t j = i; j > 0 && entries[j].codePoint < entries[j - 1].codePoint; --j) {
            const Cp1251Entry swapped = entries[j];
            entries[j] = entries[j - 1];
            entries[j - 1] = swapped;
        }
    }
    return entries;
}

constexpr std::array<Cp1251Entry, 64> kCp1251ByCodePoint = cp1251ByCodePoint();

std::string iconvName(int codePage) {
    switch (codePage) {
    case 10000: return "MACINTOSH";
    case 10007: return "MAC-CYRILLIC";
    default: return "CP" + std::to_string(codePage);
    }
}

bool isDoubleByte(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
           codePage == 1361;
}

} // namespace

struct CodePageDecoder::Table {
    std::array<char32_t, 256> single{};
    bool doubleByte = false;
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    std::mutex pairMutex;
    std::map<unsigned, char32_t> pairs;

    ~Table() {
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd);
        }
    }

    // Converts a short byte sequence; EINVAL marks an incomplete lead byte.
    char32_t convert(const char* bytes, std::size_t count) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char input[4];
        std::memcpy(input, bytes, count);
        char* in = input;
        std::size_t inLeft = count;
        unsigned char output[32];
        char* out = reinterpret_cast<char*>(output);
        std::size_t outLeft = sizeof output;
        const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        const int error = (rc == static_cast<std::size_t>(-1)) ? errno : 0;
        // Stateful code pages (1255, 1258) hold a base letter until flushed.
        iconv(cd, nullptr, nullptr, &out, &outLeft);
        const std::size_t produced = sizeof output - outLeft;
        if (produced >= 4) {
            return static_cast<char32_t>(output[0]) | (static_cast<char32_t>(output[1]) << 8) |
                   (static_cast<char32_t>(output[2]) << 16) |
                   (static_cast<char32_t>(output[3]) << 24);
        }
        if (error == EINVAL) {
            return kLeadByte;
        }
        return kReplacementCharacter;
    }
};

namespace {

std::shared_ptr<CodePageDecoder::Table> buildTable(int codePage) {
    auto table = std::make_shared<CodePageDecoder::Table>();
    table->cd = iconv_open("UTF-32LE", iconvName(codePage).c_str());
    if (table->cd == reinterpret_cast<iconv_t>(-1)) {
        return nullptr;
    }
    table->doubleByte = isDoubleByte(codePage);
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        char32_t cp = table->convert(&byte, 1);
        if (cp == kLeadByte && !table->doubleByte) {
            cp = kReplacementCharacter;
        }
        table->single[static_cast<std::size_t>(b)] = cp;
    }
    return table;
}

std::shared_ptr<CodePageDecoder::Table> tableFor(int& codePage) {
    static std::mutex mutex;
    static std::map<int, std::shared_ptr<CodePageDecoder::Table>> cache;
    const std::lock_guard lock(mutex);
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto found = cache.find(codePage);
        if (found != cache.end() && found->second) {
            return found->second;
        }
        if (found == cache.end()) {
            auto table = buildTable(codePage);
            cache.emplace(codePage, table);
            if (table) {
                return table;
            }
        }
        codePage = kCodePageWestern;
    }
    return nullptr;
}

} // namespace

int codePageForCharset(int charset) {
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

bool isKnownCodePage(int codePage) {
    switch (codePage) {
    case 437: case 850: case 866: case 874: case 932: case 936: case 949: case 950:
    case 1250: case 1251: case 1252: case 1253: case 1254: case 1255: case 1256:
    case 1257: case 1258: case 1361: case 10000: case 10007:
        return true;
    default:
        return false;
    }
}

CodePageDecoder::CodePageDecoder(int codePage)
    : codePage_(isKnownCodePage(codePage) ? codePage : kCodePageWestern) {
    table_ = tableFor(codePage_);
}

CodePageDecoder::~CodePageDecoder() = default;

void CodePageDecoder::put(unsigned char byte, std::string& out) {
    if (pendingLead_ >= 0 && table_) {
        const unsigned key = (static_cast<unsigned>(pendingLead_) << 8) | byte;
        pendingLead_ = -1;
        char32_t cp;
        {
            const std::lock_guard lock(table_->pairMutex);
            auto found = table_->pairs.find(key);
            if (found != table_->pairs.end()) {
                cp = found->second;
            } else {
                const char pair[2] = {static_cast<char>(key >> 8), static_cast<char>(byte)};
                cp = table_->convert(pair, 2);
                if (cp == kLeadByte) {
                    cp = kReplacementCharacter;
                }
                table_->pairs.emplace(key, cp);
            }
        }
        appendUtf8(out, cp);
        return;
    }
    if (byte < 0x80) {
        // NUL is never text (no view shows it, RTF cannot hold it). RTF and
        // plain text keep ASCII as ASCII, even where a code page puts
        // a currency sign at 0x5C (Johab's won, Shift-JIS's yen).
        if (byte != 0) out.push_back(static_cast<char>(byte));
        return;
    }
    if (!table_) {
        appendUtf8(out, kReplacementCharacter);
        return;
    }
    const char32_t cp = table_->single[byte];
    if (cp == kLeadByte) {
        pendingLead_ = byte;
        return;
    }
    appendUtf8(out, cp);
}

void CodePageDecoder::flush(std::string& out) {
    if (pendingLead_ >= 0) {
        pendingLead_ = -1;
        appendUtf8(out, kReplacementCharacter);
    }
}

unsigned char cp1251ByteFor(char32_t cp) {
    if (cp < 0x80) {
        return static_cast<unsigned char>(cp);
    }
    if (cp >= 0x0410 && cp <= 0x044F) {
        return static_cast<unsigned char>(cp - 0x0410 + 0xC0);
    }
    if (cp == kReplacementCharacter) {
        return 0;
    }
    std::size_t low = 0;
    std::size_t high = kCp1251ByCodePoint.size();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (kCp1251ByCodePoint[middle].codePoint < cp) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low < kCp1251ByCodePoint.size() && kCp1251ByCodePoint[low].codePoint == cp) {
        return kCp1251ByCodePoint[low].byte;
    }
    return 0;
}

char32_t cp1251CodePoint(unsigned char byte) {
    if (byte < 0x80) {
        return byte;
    }
    if (byte >= 0xC0) {
        return 0x0410 + (byte - 0xC0);
    }
    return kCp1251From80[byte - 0x80];
}

} // namespace kalvanta::doc
