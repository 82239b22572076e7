#pragma once
// Reads RTF into the document model: what writeRtf writes comes back equal,
// and files of other programs come back with their text and the character
// formatting the model holds (family, size, bold, italic, underline,
// strike-out, colour, character set).
//
// Understood: \ansi, \ansicpgN, \mac, \pc, \pca and each font's \fcharsetN or
// \cpgN for \'xx bytes (decoded with iconv); \uN with \ucN skipping and
// surrogate pairs; \upr/\ud; font and colour tables; \*\defchp for the
// default size; \plain, \pard, \par, \line, \tab, \cell and \row (as tab and
// paragraph end, so table text stays readable), special characters
// (\emdash, \lquote, \~ ...), nested groups and \binN. Skipped: style sheet,
// info, pictures, objects, headers and footers, footnotes, field
// instructions, hidden text (\v) and every \* destination the reader does
// not know. Other control words are ignored; text stays as plain text.
//
// Paragraphs: each \par ends one; text after the last \par forms a final
// paragraph. A run whose size equals the document default size reads as
// "default size" (0), and a run in the \deff font as "default family".
#include "document/document.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kalvanta::doc {

enum class RtfStatus {
    Ok,
    NotRtf,          // does not start with "{\rtf"
    SyntaxError,     // broken syntax: unbalanced braces, truncation, bad escapes
    LimitExceeded,   // past a limit of document_limits.h
};

struct RtfReadResult {
    RtfStatus status = RtfStatus::Ok;
    Document document;         // valid when status is Ok
    std::string problem;       // what went wrong, in English, for diagnostics
    std::size_t offset = 0;    // byte where it went wrong
};

// Never throws for bad input (std::bad_alloc aside).
RtfReadResult readRtf(std::string_view bytes);

} // namespace kalvanta::doc
