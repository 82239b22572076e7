#include "document/document.h"

#include <gtest/gtest.h>

namespace kalvanta::doc {
namespace {

TEST(Paragraph, AppendMergesEqualFormatsAndDropsEmptyText) {
    CharFormat bold;
    bold.bold = true;
    Paragraph p;
    p.append("a");
    p.append("");
    p.append("b");
    p.append("c", bold);
    p.append("d", bold);
    p.append("", CharFormat{});
    ASSERT_EQ(p.runs.size(), 2u);
    EXPECT_EQ(p.runs[0].text, "ab");
    EXPECT_EQ(p.runs[1].text, "cd");
    EXPECT_EQ(p.text(), "abcd");
}

TEST(SplitLines, LineEndings) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"\n", {""}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\n\n\nb", {"a", "", "", "b"}},
        {"  x  \n ", {"  x  ", " "}},
        {"a\r\r\nb", {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitLines(c.text), c.lines) << c.text;
    }
}

TEST(DocumentFromLines, OneParagraphPerLineInTheDefaultFont) {
    DocumentFont font{"DejaVu Sans", 21, kCyrillicCharset};
    const Document d = documentFromLines({" Kalvanta  version 4.5  ", "", " "}, font);
    ASSERT_EQ(d.paragraphs.size(), 3u);
    EXPECT_EQ(d.defaultFont, font);
    EXPECT_EQ(d.lines(), (std::vector<std::string>{" Kalvanta  version 4.5  ", "", " "}));
    EXPECT_TRUE(d.paragraphs[1].empty());
    EXPECT_EQ(d.paragraphs[0].runs[0].format, CharFormat{});
}

TEST(FontSizes, PixelsToHalfPoints) {
    EXPECT_EQ(halfPointsFromPixels(14), 21);   // the one-year report's base font
    EXPECT_EQ(halfPointsFromPixels(16), 24);
    EXPECT_EQ(halfPointsFromPixels(14, 72), 28);
    EXPECT_EQ(halfPointsFromPixels(14, 0), 0);
    EXPECT_DOUBLE_EQ(pointsFromHalfPoints(21), 10.5);
}

} // namespace
} // namespace kalvanta::doc
