#include "document/plain_text.h"

#include "document/code_page.h"
#include "document/document_limits.h"
#include "document/utf8.h"

namespace kalvanta::doc {

namespace {

std::string decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    char32_t high = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        const char32_t unit = bigEndian ? (char32_t{b0} << 8 | b1) : (char32_t{b1} << 8 | b0);
        if (high != 0) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                high = 0;
                continue;
            }
            appendUtf8(out, kReplacementCharacter);
            high = 0;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            high = unit;
        } else if (unit != 0) {
            appendUtf8(out, unit);  // a lone low surrogate becomes U+FFFD there
        }
    }
    if (high != 0 || bytes.size() % 2 != 0) {
        appendUtf8(out, kReplacementCharacter);
    }
    return out;
}

// Valid UTF-8 stays as it is; invalid sequences become U+FFFD.
std::string cleanUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[pos]);
        if (c < 0x80) {
            if (c != 0) out.push_back(static_cast<char>(c));
            ++pos;
            continue;
        }
        const Utf8Char decoded = decodeUtf8(bytes, pos);
        if (decoded.valid) {
            out.append(bytes.substr(pos, decoded.length));
        } else {
            appendUtf8(out, kReplacementCharacter);
        }
        pos += decoded.length;
    }
    return out;
}

} // namespace

std::string decodePlainText(std::string_view bytes, TextEncoding* taken) {
    TextEncoding encoding;
    std::string out;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        encoding = TextEncoding::Utf8WithBom;
        out = cleanUtf8(bytes.substr(3));
    } else if (bytes.starts_with("\xFF\xFE")) {
        encoding = TextEncoding::Utf16LittleEndian;
        out = decodeUtf16(bytes.substr(2), false);
    } else if (bytes.starts_with("\xFE\xFF")) {
        encoding = TextEncoding::Utf16BigEndian;
        out = decodeUtf16(bytes.substr(2), true);
    } else if (isValidUtf8(bytes)) {
        encoding = TextEncoding::Utf8;
        out = cleanUtf8(bytes);
    } else {
        encoding = TextEncoding::Cp1251;
        out.reserve(bytes.size() * 2);
        CodePageDecoder decoder(kCodePageCyrillic);
        for (const char c : bytes) {
            if (c != 0) {
                decoder.put(static_cast<unsigned char>(c), out);
            }
        }
    }
    if (taken != nullptr) {
        *taken = encoding;
    }
    return out;
}

std::optional<Document> readPlainText(std::string_view bytes, const DocumentFont& defaultFont,
                                      TextEncoding* taken) {
    if (bytes.size() > limits::kMaxDocumentBytes) {
        return std::nullopt;
    }
    const std::string text = decodePlainText(bytes, taken);
    // Count first, so a file of empty lines cannot build a huge model.
    std::size_t lineCount = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++lineCount;
        }
    }
    if (lineCount > limits::kMaxParagraphs) {
        return std::nullopt;
    }
    Document document;
    document.defaultFont = defaultFont;
    document.paragraphs.reserve(lineCount + 1);
    for (const std::string& line : splitLines(text)) {
        document.appendLine(line);
    }
    if (document.paragraphs.size() > limits::kMaxParagraphs) {
        return std::nullopt;
    }
    return document;
}

} // namespace kalvanta::doc
