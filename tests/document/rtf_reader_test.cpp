#include "document/rtf_reader.h"

#include <gtest/gtest.h>

namespace kalvanta::doc {
namespace {

std::vector<std::string> linesOf(std::string_view rtf) {
    const RtfReadResult result = readRtf(rtf);
    EXPECT_EQ(result.status, RtfStatus::Ok) << result.problem << " in " << rtf;
    return result.document.lines();
}

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(RtfReader, TextOfOtherWriters) {
    struct Case {
        const char* what;
        std::string rtf;
        Lines lines;
    };
    const Case cases[] = {
        {"cp1251 bytes", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2, \'ec\'e8\'f0!\par})",
         {"Привет, мир!"}},
        {"raw cp1251 bytes", "{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0\xe8\xe2\xe5\xf2}", {"Привет"}},
        {"cp1252 by default", R"({\rtf1\ansi caf\'e9})", {"café"}},
        {"font charset wins over ansicpg",
         R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset0 Arial;}{\f1\fcharset204 Arial CYR;}}\f1 \'c4\'e0 \f0 \'c4\'e0})",
         {"Да Äà"}},
        {"font code page \\cpg", R"({\rtf1\ansi{\fonttbl{\f0\cpg1253 Greek;}}\f0 \'e1})", {"α"}},
        {"mac roman", R"({\rtf1\mac \'8e})", {"é"}},
        {"shift-jis pairs", R"({\rtf1\ansi\ansicpg932 \'82\'a0\'82\'a2})", {"あい"}},
        {"unicode with one fallback", R"({\rtf1\ansi\u1044\'c4\u1072?)"
                                      R"(\u1090 t\u1072\'e0})", {"Дата"}},
        {"\\uc2 skips two", R"({\rtf1\uc2\u1044??x})", {"Дx"}},
        {"\\uc0 skips none", R"({\rtf1\uc0\u1044x})", {"Дx"}},
        {"\\uc is per group", R"({\rtf1{\uc2\u1044??}\u1044?x})", {"ДДx"}},
        {"negative \\u", R"({\rtf1\u-3?})", {"\uFFFD"}},
        {"surrogate pair", R"({\rtf1\u-10179?\u-8704?})", {"😀"}},
        {"surrogate pair across \\uc", R"({\rtf1\uc0 \u55357\uc1 \u56832\'3f})", {"😀"}},
        {"\\upr keeps the unicode half", R"({\rtf1{\upr{ansi}{\*\ud{\u1046?}}}})", {"Ж"}},
        {"paragraphs, line, tab",
         R"({\rtf1 a\par\par b\line c\tab d\par tail})", {"a", "", "b\u2028c\td", "tail"}},
        {"table cells and rows", R"({\rtf1 \intbl a\cell b\cell\row c\cell\cell d\cell\row})",
         {"a\tb", "c\t\td"}},
        {"special characters",
         R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote\~\_})",
         {"—–•‘’“”\u00A0\u2011"}},
        {"escaped symbols", R"({\rtf1 \{\}\\})", {"{}\\"}},
        {"spaces kept, delimiter eaten", R"({\rtf1\b  a  \b0   b  \par})", {" a    b  "}},
        {"line breaks in the file are not text", "{\\rtf1 a\r\nb\nc\r}", {"abc"}},
        {"backslash-newline is a paragraph", "{\\rtf1 a\\\nb}", {"a", "b"}},
        {"skipped destinations",
         R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;}{\stylesheet{\s0 Normal;}}{\info{\title T}})"
         R"({\*\generator X;}{\*\unknown hidden}{\header H}{\footnote F}{\pict\pngblip 89504e47})"
         R"(body})",
         {"body"}},
        {"field: result shown, instruction not",
         R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}{\field{\fldinst PAGE}{\fldrslt 1}}})",
         {"link1"}},
        {"\\bin data is skipped", "{\\rtf1 a{\\pict\\bin4 {}\\x}b}", {"ab"}},
        {"hidden text", R"({\rtf1 a{\v hidden}b})", {"ab"}},
        {"NUL and control bytes", "{\\rtf1 a\0b\x01" "c}"s, {"abc"}},
        {"ASCII stays ASCII in any code page", R"({\rtf1\ansi\ansicpg1361 a\\b\'5c})", {"a\\b\\"}},
        {"escaped NUL", R"({\rtf1 a\'00b{\fonttbl{\f0 x\'00y;}}})", {"ab"}},
        {"bytes after the document", "{\\rtf1 a}\r\n\0garbage}}}"s, {"a"}},
        {"unknown words ignored", R"({\rtf1\fooBar12 a\qc\sb240 b})", {"ab"}},
        {"empty document", R"({\rtf1})", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(linesOf(c.rtf), c.lines) << c.what;
    }
}

TEST(RtfReader, InvalidCodePointsBecomeReplacementCharacters) {
    struct Case {
        std::string rtf;
        std::string text;
    };
    const Case cases[] = {
        {R"({\rtf1\u70000?})", "\uFFFD"},          // beyond 16 bits
        {R"({\rtf1\u-40000?})", "\uFFFD"},
        {R"({\rtf1\u-9000?x})", "\uFFFDx"},        // lone low surrogate
        {R"({\rtf1\u-10179?x})", "\uFFFDx"},       // high surrogate without its pair
        {R"({\rtf1\u-10179?\u65?})", "\uFFFDA"},
        {R"({\rtf1\u0?x})", "x"},                  // NUL
        {R"({\rtf1\ansi\ansicpg1251 \'98})", "\uFFFD"},  // the hole in cp1251
        {R"({\rtf1\ansi\ansicpg932 \'82})", "\uFFFD"},   // lead byte without its pair
    };
    for (const Case& c : cases) {
        const Lines lines = linesOf(c.rtf);
        ASSERT_EQ(lines.size(), 1u) << c.rtf;
        EXPECT_EQ(lines[0], c.text) << c.rtf;
    }
}

TEST(RtfReader, CharacterFormats) {
    const RtfReadResult r = readRtf(
        R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss\fcharset204 Arial;}{\f1\fmodern\fcharset0 Courier New;}})"
        R"({\colortbl;\red255\green0\blue0;\red0\green128\blue0;}{\*\defchp\fs20})"
        R"(\f0\fs20 plain {\b bold {\i both}} {\ul u}{\ulnone n}{\strike s}{\cf1 red}{\cf2\cf0 auto})"
        R"({\f1\fs28 mono}\b x\plain y\par})");
    ASSERT_EQ(r.status, RtfStatus::Ok) << r.problem;
    EXPECT_EQ(r.document.defaultFont, (DocumentFont{"Arial", 20, 204}));
    ASSERT_EQ(r.document.paragraphs.size(), 1u);
    const auto& runs = r.document.paragraphs[0].runs;
    auto f = [](auto setup) {
        CharFormat format;
        setup(format);
        return format;
    };
    const std::vector<doc::Run> expected = {
        {"plain ", {}},
        {"bold ", f([](CharFormat& c) { c.bold = true; })},
        {"both", f([](CharFormat& c) { c.bold = c.italic = true; })},
        {" ", {}},
        {"u", f([](CharFormat& c) { c.underline = true; })},
        {"n", {}},
        {"s", f([](CharFormat& c) { c.strikeOut = true; })},
        {"red", f([](CharFormat& c) { c.color = Color{255, 0, 0}; })},
        {"auto", {}},
        {"mono", f([](CharFormat& c) {
             c.family = "Courier New";
             c.charset = 0;
             c.sizeHalfPoints = 28;
         })},
        {"x", f([](CharFormat& c) { c.bold = true; })},
        {"y", {}},
    };
    EXPECT_EQ(runs, expected);
}

TEST(RtfReader, DefaultFontWithoutDefaultProperties) {
    const RtfReadResult r = readRtf(R"({\rtf1\deff1{\fonttbl{\f1 Times;}}{\fs24 a}{\fs30 b}})");
    ASSERT_EQ(r.status, RtfStatus::Ok);
    EXPECT_EQ(r.document.defaultFont, (DocumentFont{"Times", 24, -1}));
    ASSERT_EQ(r.document.paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(r.document.paragraphs[0].runs[0].format.sizeHalfPoints, 0);
    EXPECT_EQ(r.document.paragraphs[0].runs[1].format.sizeHalfPoints, 30);
}

TEST(RtfReader, BrokenSyntaxAndLimits) {
    struct Case {
        const char* what;
        std::string rtf;
        RtfStatus status;
    };
    const std::string deep = "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100001, '}');
    const Case cases[] = {
        {"not rtf", "hello", RtfStatus::NotRtf},
        {"leading space", " {\\rtf1 a}", RtfStatus::NotRtf},
        {"empty", "", RtfStatus::NotRtf},
        {"missing closing brace", "{\\rtf1 {\\b a}", RtfStatus::SyntaxError},
        {"truncated in a word", "{\\rtf1 \\pa", RtfStatus::SyntaxError},
        {"backslash at the end", "{\\rtf1 a\\", RtfStatus::SyntaxError},
        {"escape cut off", "{\\rtf1 \\'c", RtfStatus::SyntaxError},
        {"escape not hex", "{\\rtf1 \\'zz}", RtfStatus::SyntaxError},
        {"control word of 33 letters", "{\\rtf1 \\" + std::string(33, 'a') + "}",
         RtfStatus::SyntaxError},
        {"parameter of 11 digits", "{\\rtf1 \\fs12345678901 a}", RtfStatus::SyntaxError},
        {"huge \\bin", "{\\rtf1 \\bin999999999 a}", RtfStatus::SyntaxError},
        {"\\bin past the end", "{\\rtf1 \\bin5 ab}", RtfStatus::SyntaxError},
        {"100 000 deep", deep, RtfStatus::LimitExceeded},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readRtf(c.rtf).status, c.status) << c.what;
    }
    EXPECT_EQ(readRtf("{\\rtf1 \\" + std::string(32, 'a') + " b}").status, RtfStatus::Ok);
    EXPECT_EQ(readRtf("{\\rtf1 \\fs1234567890 a}").status, RtfStatus::Ok);
    EXPECT_EQ(readRtf("{\\rtf1 " + std::string(998, '{') + std::string(999, '}')).status,
              RtfStatus::Ok);
}

TEST(RtfReader, TableLimits) {
    std::string fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i <= 4096; ++i) fonts += "{\\f" + std::to_string(i) + " F;}";
    fonts += "}}";
    EXPECT_EQ(readRtf(fonts).status, RtfStatus::LimitExceeded);

    std::string colors = "{\\rtf1{\\colortbl";
    for (int i = 0; i <= 4096; ++i) colors += "\\red1;";
    colors += "}}";
    EXPECT_EQ(readRtf(colors).status, RtfStatus::LimitExceeded);

    const std::string longName = "{\\rtf1\\deff0{\\fonttbl{\\f0 " + std::string(300, 'N') + ";}}}";
    const RtfReadResult r = readRtf(longName);
    ASSERT_EQ(r.status, RtfStatus::Ok);
    EXPECT_EQ(r.document.defaultFont.family.size(), 256u);
}

} // namespace
} // namespace kalvanta::doc
