#include "document/code_page.h"
#include "document/document_io.h"
#include "document/plain_text.h"
#include "document/rtf_writer.h"

#include "report_fixture.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <utility>

namespace kalvanta::doc {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(PlainText, EncodingsAndLines) {
    struct Case {
        const char* what;
        std::string bytes;
        TextEncoding encoding;
        Lines lines;
    };
    const Case cases[] = {
        {"UTF-8", "Дата 08.12.2026\n Итог  \n", TextEncoding::Utf8, {"Дата 08.12.2026", " Итог  "}},
        {"UTF-8 with BOM", "\xEF\xBB\xBFЖ\r\n", TextEncoding::Utf8WithBom, {"Ж"}},
        {"BOM then invalid bytes", "\xEF\xBB\xBF" "a\xFF", TextEncoding::Utf8WithBom, {"a\uFFFD"}},
        {"cp1251", "\xcf\xf0\xe8\xe2\xe5\xf2 \xb9 1\r\n", TextEncoding::Cp1251, {"Привет № 1"}},
        {"overlong UTF-8 is not UTF-8", "\xC0\xAF", TextEncoding::Cp1251, {"АЇ"}},
        {"UTF-8 encoded surrogate is not UTF-8", "\xED\xA0\x80", TextEncoding::Cp1251, {"н\u00A0Ђ"}},
        {"cp1251 hole", "\x98", TextEncoding::Cp1251, {"\uFFFD"}},
        {"UTF-16 little endian", "\xFF\xFE" "a\0\x16\x04\n\0"s, TextEncoding::Utf16LittleEndian,
         {"aЖ"}},
        {"UTF-16 big endian", "\xFE\xFF\0a\xD8\x3D\xDE\x00"s, TextEncoding::Utf16BigEndian, {"a😀"}},
        {"UTF-16 odd length", "\xFF\xFE" "a\0b"s, TextEncoding::Utf16LittleEndian, {"a\uFFFD"}},
        {"UTF-16 lone surrogate", "\xFF\xFE\x3D\xD8x\0"s, TextEncoding::Utf16LittleEndian,
         {"\uFFFDx"}},
        {"NUL bytes dropped", "a\0b\0\nc"s, TextEncoding::Utf8, {"ab", "c"}},
        {"empty", "", TextEncoding::Utf8, {}},
        {"RTF source as text", "{\\rtf1 {\\b x}", TextEncoding::Utf8, {"{\\rtf1 {\\b x}"}},
    };
    for (const Case& c : cases) {
        TextEncoding taken{};
        const std::optional<Document> d = readPlainText(c.bytes, {}, &taken);
        ASSERT_TRUE(d) << c.what;
        EXPECT_EQ(taken, c.encoding) << c.what;
        EXPECT_EQ(d->lines(), c.lines) << c.what;
    }
}

TEST(PlainText, TooManyLinesIsRefused) {
    const std::string lines(4'000'001, '\n');
    EXPECT_FALSE(readPlainText(lines));
    EXPECT_TRUE(readPlainText(std::string(4'000'000, '\n')));
}

TEST(CodePages, BuiltInCp1251TableMatchesIconv) {
    iconv_t cd = iconv_open("UTF-32LE", "CP1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0x80; b < 0x100; ++b) {
        char in = static_cast<char>(b);
        char* inPtr = &in;
        std::size_t inLeft = 1;
        unsigned char out[4] = {};
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t outLeft = 4;
        const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
        const char32_t expected = ok ? (out[0] | out[1] << 8 | out[2] << 16) : 0xFFFD;
        EXPECT_EQ(cp1251CodePoint(static_cast<unsigned char>(b)), expected) << b;
        if (expected != 0xFFFD) {
            EXPECT_EQ(cp1251ByteFor(expected), b);
        }
    }
    iconv_close(cd);
    // Beside the upper half's entries, below the lowest and above the highest.
    const std::pair<char32_t, int> unmapped[] = {
        {0x3042, 0}, {0x0080, 0}, {0x009F, 0}, {0x00A0, 0xA0}, {0x00A5, 0},
        {0x0400, 0}, {0x045D, 0}, {0x0460, 0}, {0x2122, 0x99}, {0x2123, 0},
        {0x10FFFF, 0}, {0xFFFD, 0}};
    for (const auto& [codePoint, byte] : unmapped) {
        EXPECT_EQ(cp1251ByteFor(codePoint), byte) << std::hex << static_cast<unsigned>(codePoint);
    }
}

TEST(ReadDocument, RtfOrPlainText) {
    const std::string rtf = writeRtf(report_fixture::twoYearReport());
    struct Case {
        const char* what;
        std::string bytes;
        SourceFormat format;
    };
    const Case cases[] = {
        {"the writer's RTF", rtf, SourceFormat::Rtf},
        {"plain text", "a\nb\n", SourceFormat::PlainText},
        {"truncated RTF", rtf.substr(0, rtf.size() / 2), SourceFormat::PlainText},
        {"RTF without its last brace", rtf.substr(0, rtf.rfind('}')), SourceFormat::PlainText},
        {"unbalanced braces", "{\\rtf1 {{\\b x}", SourceFormat::PlainText},
        {"100 000 deep", "{\\rtf1 " + std::string(100000, '{') + std::string(100001, '}'),
         SourceFormat::PlainText},
        {"huge \\bin", "{\\rtf1 \\bin2147483647 x}", SourceFormat::PlainText},
        {"broken escape", "{\\rtf1 \\'g0}", SourceFormat::PlainText},
        {"NUL bytes in RTF", "{\\rtf1 a\0b}"s, SourceFormat::Rtf},
    };
    for (const Case& c : cases) {
        const LoadResult r = readDocument(c.bytes);
        EXPECT_EQ(r.format, c.format) << c.what;
        EXPECT_EQ(r.rtfProblem.empty(), c.format == SourceFormat::Rtf) << c.what;
    }
    // The fallback shows the file's text from its start.
    const LoadResult truncated = readDocument(rtf.substr(0, 200));
    EXPECT_EQ(truncated.document.lines(), splitLines(rtf.substr(0, 200)));
}

TEST(ReadDocument, PlainTextTakesTheGivenFont) {
    const DocumentFont font{"DejaVu Sans", 21, kCyrillicCharset};
    EXPECT_EQ(readDocument("x", font).document.defaultFont, font);
}

TEST(ReadDocument, NeitherRtfNorTextFailsToLoad) {
    try {
        readDocument(std::string(4'000'001, '\n'));
        FAIL() << "no error";
    } catch (const DocumentError& e) {
        EXPECT_EQ(e.kind(), DocumentError::Kind::LoadFailed);
        EXPECT_STREQ(e.what(), "Failed to Load Stream");
    }
}

} // namespace
} // namespace kalvanta::doc
