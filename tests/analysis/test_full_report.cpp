// The complete reports of the worked example against text composed by hand,
// line by line. The first differing line is reported with both texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/report_builder.h"
#include "analysis/report_sink.h"
#include "inputs/analysis_input.h"
#include "numeric/regional_settings.h"

namespace {

using kalvanta::AnalysisInput;
using kalvanta::AnalysisResults;
using kalvanta::CivilDate;
using kalvanta::RegionalSettings;
using kalvanta::VectorSink;

// Remembers how many lines stood in the view when each property was set, so
// the order of the calls relative to the lines can be checked.
class OrderedSink : public VectorSink {
public:
    void setVerticalScrollBars() override
    {
        scrollBarAtLine.push_back(lines.size());
        VectorSink::setVerticalScrollBars();
    }
    void setBaseFontHeight(int pixels) override
    {
        fontHeightAtLine.push_back(lines.size());
        VectorSink::setBaseFontHeight(pixels);
    }
    std::vector<std::size_t> scrollBarAtLine;
    std::vector<std::size_t> fontHeightAtLine;
};

// The expected file: UTF-8, every line ended by "\n".
std::vector<std::string> readExpected(const std::string& name, std::string& problem)
{
    const std::string path = std::string(KALVANTA_TEST_DATA) + "/expected/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "cannot open " + path;
        return {};
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    if (text.empty() || text.back() != '\n') {
        problem = path + " does not end with a line ending";
        return {};
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t pos = text.find('\n'); pos != std::string::npos; pos = text.find('\n', start)) {
        lines.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
    return lines;
}

testing::AssertionResult sameLines(const std::vector<std::string>& expected,
                                   const std::vector<std::string>& actual)
{
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (expected[i] != actual[i]) {
            return testing::AssertionFailure()
                   << "first difference at line " << (i + 1) << " (expected " << expected.size()
                   << " lines, got " << actual.size() << ")\n  expected: [" << expected[i]
                   << "]\n  actual:   [" << actual[i] << "]";
        }
    }
    if (expected.size() != actual.size()) {
        testing::AssertionResult r = testing::AssertionFailure();
        r << "expected " << expected.size() << " lines, got " << actual.size()
          << "; the first " << common << " agree";
        if (actual.size() > common)
            r << "\n  first extra line: [" << actual[common] << "]";
        else
            r << "\n  first missing line: [" << expected[common] << "]";
        return r;
    }
    return testing::AssertionSuccess();
}

struct RunOutcome {
    bool started = false;
    std::string error; // what escaped the report builder, if anything
};

RunOutcome runReport(AnalysisInput& input, AnalysisResults& results, OrderedSink& sink)
{
    RunOutcome outcome;
    try {
        outcome.started = kalvanta::writePendingReport(input, results, sink, RegionalSettings::russian(),
                                                       CivilDate{2026, 12, 8});
    } catch (const std::exception& e) {
        outcome.error = e.what();
    }
    return outcome;
}

// Runs the pending report of the input and compares it with the expected
// file; the scroll bars must be set once, before the first line.
class FullReport : public testing::Test {
protected:
    AnalysisInput input = kalvanta::workedExample();
    AnalysisResults results;
    OrderedSink sink;

    void expectReport(const std::string& expectedFile)
    {
        std::string problem;
        const std::vector<std::string> expected = readExpected(expectedFile, problem);
        ASSERT_TRUE(problem.empty()) << problem;

        input.AnalysisParameters.AnalysisPending = 1.0;
        const RunOutcome outcome = runReport(input, results, sink);
        EXPECT_TRUE(outcome.error.empty()) << "the report ended with: " << outcome.error << " after "
                                           << sink.lines.size() << " lines";
        EXPECT_TRUE(sameLines(expected, sink.lines));
        if (outcome.error.empty()) EXPECT_TRUE(outcome.started);
        EXPECT_EQ(input.AnalysisParameters.AnalysisPending, 0.0);

        EXPECT_EQ(sink.scrollBarCalls, 1);
        ASSERT_FALSE(sink.scrollBarAtLine.empty());
        EXPECT_EQ(sink.scrollBarAtLine.front(), 0u);
    }
};

TEST_F(FullReport, WorkedExampleTwoYears)
{
    ASSERT_EQ(input.AnalysisParameters.YearCount, 2.0);
    ASSERT_NO_FATAL_FAILURE(expectReport("worked_two_year.txt"));
    // Whether a two-year report sets the font is open; if it does, it is 14.
    for (int h : sink.fontHeights) EXPECT_EQ(h, 14);
}

TEST_F(FullReport, WorkedExampleOneYear)
{
    input.AnalysisParameters.YearCount = 1.0;
    ASSERT_NO_FATAL_FAILURE(expectReport("worked_one_year.txt"));
    // The font height is set once, to 14, after the two blank lines that
    // follow the date and before the title line.
    ASSERT_EQ(sink.fontHeights, std::vector<int>{14});
    EXPECT_EQ(sink.fontHeightAtLine.front(), 4u);
}

} // namespace
