#pragma once
// Reads a file that is not RTF as plain text: one paragraph per line, no
// formatting. Encoding: a UTF-8 or UTF-16 byte-order mark decides; without
// one, text that is valid UTF-8 is UTF-8 and anything else is cp1251 (the
// code page of Russian Windows, where report files come from).
#include "document/document.h"

#include <optional>
#include <string_view>

namespace kalvanta::doc {

enum class TextEncoding { Utf8, Utf8WithBom, Utf16LittleEndian, Utf16BigEndian, Cp1251 };

// Decodes the bytes to UTF-8 and names the encoding it took. NUL characters
// are dropped (a text view cannot show them); other bytes are kept.
std::string decodePlainText(std::string_view bytes, TextEncoding* taken = nullptr);

// The text as a document in `defaultFont`. Empty when the text holds more
// lines than limits::kMaxParagraphs (or is larger than
// limits::kMaxDocumentBytes).
std::optional<Document> readPlainText(std::string_view bytes, const DocumentFont& defaultFont = {},
                                      TextEncoding* taken = nullptr);

} // namespace kalvanta::doc
