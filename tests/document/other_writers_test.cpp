// RTF written by other programs. The lo-*.rtf samples were made by
// LibreOffice 7.4 from the lo-*.html / lo-*.txt texts beside them:
//   soffice --headless --infilter="HTML (StarWriter)" --convert-to rtf lo-formatted.html
//   soffice --headless --infilter="Text (encoded):UTF8" --convert-to rtf lo-report-lines.txt
// hand-cp1251.rtf is written by hand in the manner of an old Windows editor.
#include "document/document_io.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kalvanta::doc {
namespace {

const std::string kData = KALVANTA_DOCUMENT_TEST_DATA;

std::string fileText(const std::string& name) {
    std::ifstream in(kData + "/" + name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

Document rtfSample(const std::string& name) {
    const LoadResult r = loadDocumentFileWithFormat(kData + "/" + name);
    EXPECT_EQ(r.format, SourceFormat::Rtf) << name << ": " << r.rtfProblem;
    return r.document;
}

// The format of the run that holds `text` (which must lie inside one run).
CharFormat formatOf(const Document& d, std::string_view text) {
    for (const Paragraph& p : d.paragraphs) {
        for (const Run& run : p.runs) {
            if (run.text.find(text) != std::string::npos) return run.format;
        }
    }
    ADD_FAILURE() << "no run holds " << text;
    return {};
}

TEST(OtherWriters, LibreOfficeReportLinesKeepEverySpace) {
    const Document d = rtfSample("lo-report-lines.rtf");
    EXPECT_EQ(d.lines(), splitLines(fileText("lo-report-lines.txt")));
    for (const Paragraph& p : d.paragraphs) {
        for (const doc::Run& run : p.runs) {
            EXPECT_FALSE(run.format.bold || run.format.italic || run.format.underline);
        }
    }
}

TEST(OtherWriters, LibreOfficeFormattedText) {
    const Document d = rtfSample("lo-formatted.rtf");
    EXPECT_EQ(d.lines(), (std::vector<std::string>{
                             "Обычный текст и полужирный с курсивом.",
                             "Крупный шрифт 16 пт",
                             "Подчёркнутый и зачёркнутый и красный",
                             "Latin, № 5 — «кавычки» € 😀",
                         }));
    struct Case {
        const char* text;
        bool bold, italic, underline, strikeOut;
        int size;  // half-points; 0: the document default (12 pt here)
        bool red;
    };
    const Case cases[] = {
        {"Обычный текст и ", false, false, false, false, 0, false},
        {"полужирный", true, false, false, false, 0, false},
        {"курсивом", false, true, false, false, 0, false},
        {"Крупный шрифт 16 пт", false, false, false, false, 32, false},
        {"Подчёркнутый", false, false, true, false, 0, false},
        {"зачёркнутый", false, false, false, true, 0, false},
        {"красный", false, false, false, false, 0, true},
        {"кавычки", false, false, false, false, 0, false},
    };
    EXPECT_EQ(d.defaultFont.sizeHalfPoints, 24);
    for (const Case& c : cases) {
        const CharFormat f = formatOf(d, c.text);
        EXPECT_EQ(f.family, "Liberation Sans") << c.text;
        EXPECT_EQ(f.bold, c.bold) << c.text;
        EXPECT_EQ(f.italic, c.italic) << c.text;
        EXPECT_EQ(f.underline, c.underline) << c.text;
        EXPECT_EQ(f.strikeOut, c.strikeOut) << c.text;
        EXPECT_EQ(f.sizeHalfPoints, c.size) << c.text;
        EXPECT_EQ(f.color == (Color{255, 0, 0}), c.red) << c.text;
    }
}

TEST(OtherWriters, LibreOfficeTableAsTabSeparatedLines) {
    EXPECT_EQ(rtfSample("lo-table.rtf").lines(),
              (std::vector<std::string>{"Показатель и значения:", "Коэффициент\t0,56", "Рейтинг\t49",
                                        "Конец"}));
}

TEST(OtherWriters, HandWrittenCp1251File) {
    const Document d = rtfSample("hand-cp1251.rtf");
    EXPECT_EQ(d.defaultFont, (DocumentFont{"MS Sans Serif CYR", 24, kCyrillicCharset}));
    EXPECT_EQ(d.lines(), (std::vector<std::string>{
                             " Kalvanta  version 4.5  ",
                             "Дата 08.12.2026",
                             " ",
                             "Итоговый рейтинг: 49 баллов  ",
                             "Примечание №1 ASCII",
                         }));
    EXPECT_TRUE(formatOf(d, "Итоговый рейтинг").bold);
    EXPECT_FALSE(formatOf(d, ": 49").bold);
    EXPECT_EQ(formatOf(d, "Дата").sizeHalfPoints, 17);
    const CharFormat note = formatOf(d, "Примечание");
    EXPECT_TRUE(note.italic);
    EXPECT_EQ(note.color, (Color{0, 0, 255}));
    const CharFormat ascii = formatOf(d, " ASCII");
    EXPECT_EQ(ascii.family, "Courier New");
    EXPECT_EQ(ascii.charset, kAnsiCharset);
    EXPECT_FALSE(ascii.italic);
}

} // namespace
} // namespace kalvanta::doc
