#pragma once
// Byte code pages of RTF files (\ansicpg, \fcharset, \'xx) and of plain-text
// files that are not UTF-8. Tables come from the C library's iconv.
#include <memory>
#include <string>

namespace kalvanta::doc {

inline constexpr int kCodePageCyrillic = 1251;
inline constexpr int kCodePageWestern = 1252;

// The code page of an RTF character set (\fcharsetN), or 0 when the set
// names none (DEFAULT_CHARSET, SYMBOL_CHARSET, unknown numbers).
int codePageForCharset(int charset);

// Whether the decoder knows a code page (\ansicpgN, \cpgN); the readers
// ignore others, so no file can make them build tables without bound.
bool isKnownCodePage(int codePage);

// Decodes the bytes of one code page to UTF-8. Double-byte code pages (932,
// 936, 949, 950, 1361) join a lead byte with the byte that follows it.
class CodePageDecoder {
public:
    // An unknown code page, or one iconv lacks, decodes as cp1252.
    explicit CodePageDecoder(int codePage = kCodePageWestern);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    int codePage() const { return codePage_; }
    // Appends the character of `byte` to `out` (or holds a lead byte). NUL
    // is dropped.
    void put(unsigned char byte, std::string& out);
    // A lead byte left without its second byte becomes U+FFFD.
    void flush(std::string& out);
    bool holdsLeadByte() const { return pendingLead_ >= 0; }

    struct Table;

private:
    int codePage_;
    std::shared_ptr<Table> table_;
    int pendingLead_ = -1;
};

// The cp1251 byte that stands for a code point, or 0 when cp1251 has none.
unsigned char cp1251ByteFor(char32_t codePoint);

// The code point of a cp1251 byte from the built-in table (U+FFFD for 0x98,
// the one byte cp1251 leaves undefined). Used to check the iconv tables.
char32_t cp1251CodePoint(unsigned char byte);

} // namespace kalvanta::doc
