#pragma once
// Where the report builder writes: the main window's rich-text view, the
// command-line tool's output, or a test's vector of lines.
#include <string>
#include <string_view>
#include <vector>

namespace kalvanta {

class ReportSink {
public:
    virtual ~ReportSink() = default;
    // Appends one line (one paragraph), UTF-8, without a line ending.
    virtual void appendLine(std::string_view line) = 0;
    // The view shows a vertical scroll bar only.
    virtual void setVerticalScrollBars() = 0;
    // Sets the view's default font height in pixels (character cell height).
    virtual void setBaseFontHeight(int pixels) = 0;
};

// Collects lines in memory; for tests and the command-line tool.
class VectorSink : public ReportSink {
public:
    void appendLine(std::string_view line) override { lines.emplace_back(line); }
    void setVerticalScrollBars() override { ++scrollBarCalls; }
    void setBaseFontHeight(int pixels) override { fontHeights.push_back(pixels); }

    std::vector<std::string> lines;
    int scrollBarCalls = 0;
    std::vector<int> fontHeights;
};

} // namespace kalvanta
