#pragma once
// The report as a document: a small styled-text model without any toolkit
// dependency. The desktop program converts its rich-text view to and from
// this model; the RTF writer and reader (rtf_writer.h, rtf_reader.h) and the
// file functions (document_io.h) work on it.
//
// Text is UTF-8 throughout. A document is a list of paragraphs; a paragraph
// is a list of runs; a run is text with one character format.
//
// Canonical form: a paragraph never holds an empty run, and two neighbouring
// runs never share one format (Paragraph::append merges them). Documents in
// canonical form compare equal exactly when they look the same; the reader
// always returns canonical documents.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvanta::doc {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

// Windows character-set numbers as RTF's \fcharset uses them.
inline constexpr int kAnsiCharset = 0;
inline constexpr int kCyrillicCharset = 204;

// Character format of a run. "Unset" fields take the document's default font.
struct CharFormat {
    // Font family; empty means the document default family.
    std::string family;
    // Size in half-points (RTF's unit: 21 is 10.5 pt); 0 means the default size.
    int sizeHalfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    // Text colour; none means the automatic colour (black on white).
    std::optional<Color> color;
    // Character set of an explicit family; -1 means none stated. RTF ties the
    // character set to a font, so it is kept only together with a family.
    int charset = -1;

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

// The document default font: what text without a font of its own is shown in
// (the report view's base font).
struct DocumentFont {
    std::string family;
    int sizeHalfPoints = kDefaultSizeHalfPoints;
    int charset = -1;

    // RTF's own default when a file states none: 12 pt.
    static constexpr int kDefaultSizeHalfPoints = 24;
    friend bool operator==(const DocumentFont&, const DocumentFont&) = default;
};

struct Run {
    std::string text;
    CharFormat format;
    friend bool operator==(const Run&, const Run&) = default;
};

// Text conventions inside a run: '\t' is a tab; U+2028 (LINE SEPARATOR) is a
// line break inside the paragraph (RTF \line). Paragraph breaks are not text.
inline constexpr std::string_view kLineSeparator = "\u2028";

struct Paragraph {
    std::vector<Run> runs;

    // Appends text in a format, merging with the last run when the format is
    // the same; empty text adds nothing.
    void append(std::string_view text, const CharFormat& format = {});
    // The paragraph's text without formatting.
    std::string text() const;
    bool empty() const { return runs.empty(); }

    friend bool operator==(const Paragraph&, const Paragraph&) = default;
};

struct Document {
    DocumentFont defaultFont;
    std::vector<Paragraph> paragraphs;

    // Appends one paragraph holding `line` in `format` (an empty line gives an
    // empty paragraph).
    void appendLine(std::string_view line, const CharFormat& format = {});
    // The text of every paragraph, one string each.
    std::vector<std::string> lines() const;

    friend bool operator==(const Document&, const Document&) = default;
};

// Turns report lines (UTF-8, no line endings) into a document: one paragraph
// per line, every run in `format` (by default: the document default font).
Document documentFromLines(const std::vector<std::string>& lines, const DocumentFont& defaultFont,
                           const CharFormat& format = {});

// Splits plain text into lines at "\n", "\r\n" or "\r". A final line ending
// does not start another line; an empty text has no lines.
std::vector<std::string> splitLines(std::string_view text);

// Font size conversions. Sizes in the model are half-points; the report view
// states its base font as a pixel height (14 at 96 dots per inch is 10.5 pt).
int halfPointsFromPixels(int pixels, int dotsPerInch = 96);
double pointsFromHalfPoints(int halfPoints);

} // namespace kalvanta::doc
