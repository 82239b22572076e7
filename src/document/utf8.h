#pragma once
// UTF-8 helpers shared by the readers and the writer.
#include <cstddef>
#include <string>
#include <string_view>

namespace kalvanta::doc {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends a code point as UTF-8; surrogates and values past U+10FFFF become
// U+FFFD, so the output is always valid UTF-8.
void appendUtf8(std::string& out, char32_t codePoint);

struct Utf8Char {
    char32_t codePoint;   // U+FFFD where the bytes are not valid UTF-8
    std::size_t length;   // bytes consumed, at least 1
    bool valid;
};

// Decodes the character at `pos` (pos < text.size()). Overlong forms,
// surrogates and values past U+10FFFF are invalid.
Utf8Char decodeUtf8(std::string_view text, std::size_t pos);

bool isValidUtf8(std::string_view text);

} // namespace kalvanta::doc
