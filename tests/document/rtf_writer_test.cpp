#include "document/rtf_reader.h"
#include "document/rtf_writer.h"

#include "report_fixture.h"

#include <gtest/gtest.h>

namespace kalvanta::doc {
namespace {

std::string bodyOf(const std::string& rtf) {
    const auto start = rtf.find("\\pard");
    const auto end = rtf.rfind('}');
    return rtf.substr(start, end - start);
}

Document oneLine(std::string_view text, const CharFormat& format = {}) {
    Document d;
    d.defaultFont = {"DejaVu Sans", 21, kCyrillicCharset};
    d.appendLine(text, format);
    return d;
}

TEST(RtfWriter, HeaderTablesAndOneLinePerParagraph) {
    Document d;
    d.defaultFont = {"DejaVu Sans", 21, kCyrillicCharset};
    d.appendLine(" Kalvanta  version 4.5  ");
    d.appendLine("");
    CharFormat red;
    red.color = Color{255, 0, 0};
    red.bold = true;
    red.family = "Liberation Mono";
    red.sizeHalfPoints = 28;
    d.appendLine("x", red);
    EXPECT_EQ(writeRtf(d),
              "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049\\uc1\n"
              "{\\fonttbl{\\f0\\fnil\\fcharset204 DejaVu Sans;}{\\f1\\fnil Liberation Mono;}}\n"
              "{\\colortbl;\\red255\\green0\\blue0;}\n"
              "{\\*\\defchp\\f0\\fs21}\n"
              "{\\*\\generator Kalvanta 4.5;}\n"
              "\\pard\\plain\\f0\\fs21  Kalvanta  version 4.5  \\par\n"
              "\\pard\\plain\\f0\\fs21 \\par\n"
              "\\pard\\plain\\f1\\fs28\\b\\cf1 x\\par\n"
              "}\n");
}

TEST(RtfWriter, TextEscapes) {
    struct Case {
        std::string text;
        std::string body;  // what stands between the run's format and \par
    };
    const Case cases[] = {
        {"a{b}c\\d", "a\\{b\\}c\\\\d"},
        {"Дата", "\\u1044\\'c4\\u1072\\'e0\\u1090\\'f2\\u1072\\'e0"},
        {"№ ё Ё", "\\u8470\\'b9 \\u1105\\'b8 \\u1025\\'a8"},
        {"€", "\\u8364\\'88"},
        {"日", "\\u26085?"},                    // not in cp1251: "?" for old readers
        {"\xEF\xBF\xBF", "\\u-1?"},             // U+FFFF as a signed 16-bit value
        {"😀", "\\u-10179?\\u-8704?"},          // outside the BMP: a surrogate pair
        {"a\tb", "a\\tab b"},
        {"a\u2028b", "a\\line b"},
        {std::string("a\x01" "b", 3), "a\\u1?b"},
        {std::string("a\0b", 3), "ab"},         // NUL cannot be stored
        {"\xFF", "\\u-3?"},                     // invalid UTF-8 is written as U+FFFD
        {"   ", "   "},
    };
    for (const Case& c : cases) {
        const std::string body = bodyOf(writeRtf(oneLine(c.text)));
        EXPECT_EQ(body, "\\pard\\plain\\f0\\fs21 " + c.body + "\\par\n") << c.text;
    }
}

TEST(RtfWriter, IsDeterministicAndSharesTableEntries) {
    Document d = report_fixture::twoYearReport();
    CharFormat mono;
    mono.family = "Liberation Mono";
    mono.color = Color{0, 0, 255};
    d.paragraphs[3].append("tail", mono);
    d.paragraphs[7].append("tail", mono);
    const std::string first = writeRtf(d);
    EXPECT_EQ(first, writeRtf(d));
    EXPECT_EQ(first.find("Liberation Mono"), first.rfind("Liberation Mono"));
    EXPECT_EQ(first.find("\\red0\\green0\\blue255"), first.rfind("\\red0\\green0\\blue255"));
}

TEST(RtfRoundTrip, TwoYearReportWithFormatting) {
    Document d = report_fixture::twoYearReport();
    ASSERT_GT(d.paragraphs.size(), 200u);
    CharFormat bold;
    bold.bold = true;
    CharFormat colored;
    colored.color = Color{200, 16, 46};
    colored.italic = true;
    CharFormat other;
    other.family = "Liberation Mono";
    other.charset = kAnsiCharset;
    other.sizeHalfPoints = 28;
    other.underline = true;
    other.strikeOut = true;
    d.paragraphs[5].append(" Вывод", bold);
    d.paragraphs[5].append(" - кризисное  ", colored);
    d.paragraphs[6].append("x{}\\ 😀\t\u2028€№", other);
    d.paragraphs.emplace_back();  // an empty last line stays

    const RtfReadResult back = readRtf(writeRtf(d));
    ASSERT_EQ(back.status, RtfStatus::Ok) << back.problem;
    EXPECT_EQ(back.document.defaultFont, d.defaultFont);
    ASSERT_EQ(back.document.paragraphs.size(), d.paragraphs.size());
    for (std::size_t i = 0; i < d.paragraphs.size(); ++i) {
        EXPECT_EQ(back.document.paragraphs[i], d.paragraphs[i]) << "paragraph " << i;
    }
    EXPECT_EQ(back.document, d);
}

TEST(RtfRoundTrip, EdgeDocuments) {
    Document empty;
    Document noFamily;
    noFamily.defaultFont = {"", 24, -1};
    noFamily.appendLine("a");
    Document odd;
    odd.defaultFont = {"Font; with {odd} \\ name Ж", 9, 0};
    odd.appendLine("");
    odd.appendLine("");
    CharFormat sameName;  // an explicit family that equals the default's name stays explicit
    sameName.family = odd.defaultFont.family;
    sameName.charset = odd.defaultFont.charset;
    odd.paragraphs[1].append("x", sameName);
    for (const Document* d : {&empty, &noFamily, &odd}) {
        const RtfReadResult back = readRtf(writeRtf(*d));
        ASSERT_EQ(back.status, RtfStatus::Ok) << back.problem;
        EXPECT_EQ(back.document, *d);
    }
}

TEST(RtfRoundTrip, ExplicitDefaultSizeReadsAsDefault) {
    CharFormat explicitSize;
    explicitSize.sizeHalfPoints = 21;  // the default size, stated explicitly
    const Document d = oneLine("a", explicitSize);
    const RtfReadResult back = readRtf(writeRtf(d));
    ASSERT_EQ(back.status, RtfStatus::Ok);
    EXPECT_EQ(back.document.paragraphs[0].runs[0].format, CharFormat{});
}

} // namespace
} // namespace kalvanta::doc
