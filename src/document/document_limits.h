#pragma once
// Every hard limit of the document readers, in one place. A file that goes
// past a limit is not a report this program wrote: the reader stops early
// (falling back to plain text where the text may still be readable, or
// failing with "Failed to Load Stream"), so hostile input can neither crash
// the program nor make it allocate without bound or hang.
#include <cstddef>

namespace kalvanta::doc::limits {

// Largest file that is opened at all. A saved two-year report is about
// 50 KB of RTF and a view holding a hundred of them about 5 MB (10 MB for
// the benchmark's 250-line reports); 128 MiB is far beyond that and still
// fits in memory with its model.
inline constexpr std::size_t kMaxDocumentBytes = 128u * 1024u * 1024u;

// Deepest group nesting ("{" inside "{") an RTF file may use. Word processors
// nest a few dozen levels at most; the reader keeps one small state per level.
inline constexpr std::size_t kMaxGroupDepth = 1000;

// Longest control word. The RTF specification allows 32 letters.
inline constexpr std::size_t kMaxControlWordLength = 32;

// Most digits of a control word's parameter: enough for any 32-bit value
// (\binN lengths included); more means a broken file.
inline constexpr std::size_t kMaxParameterDigits = 10;

// Font and colour table entries. Real documents hold tens; the tables are
// looked up for every run, so they stay small.
inline constexpr std::size_t kMaxFonts = 4096;
inline constexpr std::size_t kMaxColors = 4096;

// Longest font name kept from a font table (longer names are cut).
inline constexpr std::size_t kMaxFontNameBytes = 256;

// Most runs and most paragraphs in one document. A hundred two-year reports
// hold 25 000 paragraphs; these bound the model's memory (about 100 bytes a
// run) whatever the file holds.
inline constexpr std::size_t kMaxRuns = 4'000'000;
inline constexpr std::size_t kMaxParagraphs = 4'000'000;

// Largest \ucN (characters skipped after each \uN). Writers use 0 to 2;
// bigger values would make one escape swallow the text that follows.
inline constexpr int kMaxUnicodeSkip = 16;

// Largest font size taken from \fsN, in half-points: RTF's own ceiling
// (1638 pt). A larger size is ignored, so no run asks the view for a font
// it cannot build.
inline constexpr int kMaxFontSizeHalfPoints = 3276;

// The other reader of outside data, the JSON analysis loader, keeps its one
// cap beside its code: kalvanta::kMaxAnalysisJsonBytes in
// inputs/json_loader.h, 1 MiB. An analysis file is about 6 KB; the cap
// bounds the parser's memory and its nesting (at most one level per byte).
// The statement readers' caps are in statements/statement_limits.h.

} // namespace kalvanta::doc::limits
