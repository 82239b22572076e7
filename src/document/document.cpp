#include "document/document.h"

#include <cmath>

namespace kalvanta::doc {

void Paragraph::append(std::string_view text, const CharFormat& format) {
    if (text.empty()) {
        return;
    }
    if (!runs.empty() && runs.back().format == format) {
        runs.back().text.append(text);
        return;
    }
    runs.push_back(Run{std::string(text), format});
}

std::string Paragraph::text() const {
    std::string all;
    for (const Run& run : runs) {
        all += run.text;
    }
    return all;
}

void Document::appendLine(std::string_view line, const CharFormat& format) {
    Paragraph paragraph;
    paragraph.append(line, format);
    paragraphs.push_back(std::move(paragraph));
}

std::vector<std::string> Document::lines() const {
    std::vector<std::string> all;
    all.reserve(paragraphs.size());
    for (const Paragraph& paragraph : paragraphs) {
        all.push_back(paragraph.text());
    }
    return all;
}

Document documentFromLines(const std::vector<std::string>& lines, const DocumentFont& defaultFont,
                           const CharFormat& format) {
    Document document;
    document.defaultFont = defaultFont;
    document.paragraphs.reserve(lines.size());
    for (const std::string& line : lines) {
        document.appendLine(line, format);
    }
    return document;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\n' || c == '\r') {
            lines.emplace_back(text.substr(start, pos - start));
            pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

int halfPointsFromPixels(int pixels, int dotsPerInch) {
    if (dotsPerInch <= 0) {
        return 0;
    }
    return static_cast<int>(std::lround(static_cast<double>(pixels) * 144.0 / dotsPerInch));
}

double pointsFromHalfPoints(int halfPoints) {
    return halfPoints / 2.0;
}

} // namespace kalvanta::doc
