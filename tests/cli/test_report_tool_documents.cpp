// kalvanta-report --pdf, --odt and --html: the report document in those
// formats, read back by outside readers (poppler, LibreOffice); a file that
// cannot be written; a build without Qt refusing the options.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/document_outputs.h"

#include "cli_test_support.h"

namespace {

using namespace kalvanta::cli::test_support;

const std::string kSource = KALVANTA_SOURCE_DIR;
const std::string kTwoYear = kSource + "/examples/worked-example.json";
const std::string kOneYear = kSource + "/examples/worked-example-one-year.json";

// A command line of plain words (no quotes in them).
int shell(const std::string& command) { return WEXITSTATUS(std::system(command.c_str())); }

std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> l;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        l.push_back(line);
    return l;
}

// Runs of spaces as one, none at the ends: how a reader that does not keep
// spaces gives a line.
std::string simplified(const std::string& line)
{
    std::string out;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\f') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::vector<std::string> nonEmptySimplified(const std::vector<std::string>& lines, const std::string& skipPrefix = "")
{
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (std::string s = simplified(line); !s.empty() && (skipPrefix.empty() || !s.starts_with(skipPrefix)))
            out.push_back(s);
    return out;
}

// The PDF's lines with a report line that the page wrapped (prose wider than
// the page) joined again, so each can be compared with the line it prints.
std::vector<std::string> rejoinedWraps(const std::vector<std::string>& pdf, const std::vector<std::string>& report)
{
    std::vector<std::string> out;
    std::size_t r = 0;
    for (std::size_t i = 0; i < pdf.size(); ++i, ++r) {
        std::string line = pdf[i];
        while (r < report.size() && line != report[r] && report[r].starts_with(line + " ") && i + 1 < pdf.size())
            line += " " + pdf[++i];
        out.push_back(line);
    }
    return out;
}

bool have(const char* tool) { return shell(std::string("command -v ") + tool + " >/dev/null 2>&1") == 0; }

TEST(ReportToolDocuments, EveryFormatHoldsTheReportLines)
{
    if (!kalvanta::cli::documentFormatsAvailable())
        GTEST_SKIP() << "built without Qt: the options are refused (RefusedOrNamedWhenTheyCannotBeWritten)";
    if (!have("pdftotext") || !have("pdfinfo") || !have("soffice"))
        GTEST_SKIP() << "poppler-utils or LibreOffice are not installed";
    TempDir dir;
    // No display: the tool needs none.
    const Outcome o = runTool("--date 2026-12-08 --pdf " + dir.file("r.pdf") + " --odt " + dir.file("r.odt")
                              + " --html " + dir.file("h.html") + " " + kTwoYear + " " + kOneYear);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, ""); // nothing of Qt's own on standard error
    const std::vector<std::string> report = split(o.out);
    ASSERT_GT(report.size(), 200u);

    shell("pdfinfo " + dir.file("r.pdf") + " >" + dir.file("info"));
    int pages = 0;
    for (const std::string& line : split(readFile(dir.file("info"))))
        if (line.starts_with("Pages:"))
            pages = std::atoi(line.substr(6).c_str());
    ASSERT_GE(pages, 4);
    shell("pdftotext -layout " + dir.file("r.pdf") + " " + dir.file("pdf.txt"));
    const std::vector<std::string> pdf = split(readFile(dir.file("pdf.txt")));
    EXPECT_EQ(nonEmptySimplified(pdf, "Страница "), nonEmptySimplified(report));
    for (int page = 1; page <= pages; ++page) {
        const std::string footer = "Страница " + std::to_string(page) + " из " + std::to_string(pages);
        EXPECT_EQ(std::count_if(pdf.begin(), pdf.end(), [&](const std::string& l) { return simplified(l) == footer; }),
                  1)
            << footer;
    }

    // One LibreOffice call for both files (it takes seconds to start).
    shell("soffice --headless --convert-to 'txt:Text (encoded):UTF8' --outdir " + dir.file("text") + " "
          + dir.file("r.odt") + " " + dir.file("h.html") + " >/dev/null 2>&1");
    auto textOf = [&](const char* name) {
        std::string text = readFile(dir.file(std::string("text/") + name));
        if (text.starts_with("\xEF\xBB\xBF"))
            text.erase(0, 3);
        for (std::size_t at = text.find("\xC2\xA0"); at != std::string::npos; at = text.find("\xC2\xA0", at))
            text.replace(at, 2, " ");
        return split(text);
    };
    // OpenDocument keeps every line and every space.
    EXPECT_EQ(textOf("r.txt"), report);
    // LibreOffice reads HTML's spaces without its style sheet: runs of them as one.
    EXPECT_EQ(nonEmptySimplified(textOf("h.txt")), nonEmptySimplified(report));
}

// The history goes the same way: its year tables in the fixed-pitch face
// they line up in, on landscape pages where the years need the width.
TEST(ReportToolDocuments, HistoryPdfHoldsItsTablesInAFixedPitchFace)
{
    if (!kalvanta::cli::documentFormatsAvailable())
        GTEST_SKIP() << "built without Qt";
    if (!have("pdftotext") || !have("pdfinfo") || !have("pdffonts"))
        GTEST_SKIP() << "poppler-utils are not installed";
    TempDir dir;
    const std::string pdf = dir.file("history.pdf");
    const Outcome o = runTool("--history --pdf " + pdf + " " + kSource + "/examples/history");
    ASSERT_EQ(o.status, 0) << o.err;
    shell("pdftotext -layout " + pdf + " " + dir.file("pdf.txt"));
    const std::vector<std::string> report = nonEmptySimplified(split(o.out));
    EXPECT_EQ(rejoinedWraps(nonEmptySimplified(split(readFile(dir.file("pdf.txt"))), "Страница "), report), report);
    shell("pdfinfo " + pdf + " >" + dir.file("info") + "; pdffonts " + pdf + " >" + dir.file("fonts"));
    EXPECT_NE(readFile(dir.file("info")).find("Page size:       842 x 595 pts (A4)"), std::string::npos)
        << readFile(dir.file("info"));
    EXPECT_NE(readFile(dir.file("fonts")).find("DejaVuSansMono "), std::string::npos) << readFile(dir.file("fonts"));
}

TEST(ReportToolDocuments, RefusedOrNamedWhenTheyCannotBeWritten)
{
    const bool available = kalvanta::cli::documentFormatsAvailable();
    for (const std::string option : {"--pdf", "--odt", "--html"}) {
        const Outcome missing = runTool("--date 2026-12-08 " + option + " /nonexistent-folder/r " + kTwoYear);
        const Outcome empty = runTool(option + "= " + kTwoYear);
        EXPECT_EQ(empty.status, 2) << option;
        if (available) {
            EXPECT_EQ(missing.status, 3) << option;
            EXPECT_EQ(missing.out, readFile(kSource + "/tests/analysis/expected/worked_two_year.txt"));
            EXPECT_EQ(missing.err,
                      "kalvanta-report: Cannot create file \"/nonexistent-folder/r\". No such file or directory\n");
            EXPECT_EQ(empty.err, "kalvanta-report: option " + option
                                     + " needs a file name\nTry \"kalvanta-report --help\".\n");
        } else {
            EXPECT_EQ(missing.status, 2) << option;
            EXPECT_EQ(missing.out, "");
            EXPECT_EQ(missing.err, "kalvanta-report: option " + option
                                       + " is not available: this kalvanta-report was built without Qt\n"
                                         "Try \"kalvanta-report --help\".\n");
        }
    }
}

} // namespace
