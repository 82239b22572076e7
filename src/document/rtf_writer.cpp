#include "document/rtf_writer.h"

#include "document/code_page.h"
#include "document/utf8.h"

#include <charconv>
#include <utility>

namespace kalvanta::doc {

namespace {

void appendNumber(std::string& out, long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendControl(std::string& out, const char* word, long value) {
    out += word;
    appendNumber(out, value);
}

void appendHexByte(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\'";
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
}

// \uN takes a signed 16-bit value; the byte after it is for readers
// that do not know \uN (\uc1).
void appendUnicodeEscape(std::string& out, char32_t unit, bool cp1251Fallback) {
    out += "\\u";
    appendNumber(out, unit > 0x7FFF ? static_cast<long>(unit) - 0x10000 : static_cast<long>(unit));
    const unsigned char fallback = cp1251Fallback ? cp1251ByteFor(unit) : 0;
    if (fallback >= 0x80) {
        appendHexByte(out, fallback);
    } else {
        out.push_back('?');
    }
}

void appendCodePoint(std::string& out, char32_t cp, bool inFontTable) {
    if (cp == '\t' && !inFontTable) {
        out += "\\tab ";
    } else if (cp == 0x2028 && !inFontTable) {
        out += "\\line ";
    } else if (cp == 0) {
        // RTF has no way to hold NUL; readers drop it.
    } else if (cp < 0x20 || cp == 0x7F) {
        appendUnicodeEscape(out, cp, false);
    } else if (cp > 0xFFFF) {
        const char32_t v = cp - 0x10000;
        appendUnicodeEscape(out, 0xD800 + (v >> 10), false);
        appendUnicodeEscape(out, 0xDC00 + (v & 0x3FF), false);
    } else {
        appendUnicodeEscape(out, cp, true);
    }
}

void appendText(std::string& out, std::string_view text, bool inFontTable) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x20 && c < 0x7F) {
            if (c == '\\' || c == '{' || c == '}') {
                out.push_back('\\');
            } else if (c == ';' && inFontTable) {
                appendHexByte(out, c);
                ++pos;
                continue;
            }
            out.push_back(static_cast<char>(c));
            ++pos;
            continue;
        }
        const Utf8Char decoded = decodeUtf8(text, pos);
        appendCodePoint(out, decoded.codePoint, inFontTable);
        pos += decoded.length;
    }
}

struct FontKey {
    std::string family;
    int charset;
    friend bool operator==(const FontKey&, const FontKey&) = default;
};

class Tables {
public:
    explicit Tables(const Document& document) {
        fonts_.push_back({document.defaultFont.family, document.defaultFont.charset});
        for (const Paragraph& paragraph : document.paragraphs) {
            for (const Run& run : paragraph.runs) {
                fontIndex(run.format);
                colorIndex(run.format);
            }
        }
    }

    // Font 0 is the default font; explicit families get their own entries.
    int fontIndex(const CharFormat& format) {
        if (format.family.empty()) {
            return 0;
        }
        const FontKey key{format.family, format.charset};
        for (std::size_t i = 1; i < fonts_.size(); ++i) {
            if (fonts_[i] == key) {
                return static_cast<int>(i);
            }
        }
        fonts_.push_back(key);
        return static_cast<int>(fonts_.size() - 1);
    }

    // 0 is the automatic colour.
    int colorIndex(const CharFormat& format) {
        if (!format.color) {
            return 0;
        }
        for (std::size_t i = 0; i < colors_.size(); ++i) {
            if (colors_[i] == *format.color) {
                return static_cast<int>(i + 1);
            }
        }
        colors_.push_back(*format.color);
        return static_cast<int>(colors_.size());
    }

    void write(std::string& out) const {
        out += "{\\fonttbl";
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            appendControl(out, "{\\f", static_cast<long>(i));
            out += "\\fnil";
            if (fonts_[i].charset >= 0) {
                appendControl(out, "\\fcharset", fonts_[i].charset);
            }
            out.push_back(' ');
            appendText(out, fonts_[i].family, true);
            out += ";}";
        }
        out += "}\n{\\colortbl;";
        for (const Color& color : colors_) {
            appendControl(out, "\\red", color.red);
            appendControl(out, "\\green", color.green);
            appendControl(out, "\\blue", color.blue);
            out.push_back(';');
        }
        out += "}\n";
    }

private:
    std::vector<FontKey> fonts_;
    std::vector<Color> colors_;
};

} // namespace

std::string writeRtf(const Document& document) {
    Tables tables(document);
    const int defaultSize =
        document.defaultFont.sizeHalfPoints > 0 ? document.defaultFont.sizeHalfPoints
                                                : DocumentFont::kDefaultSizeHalfPoints;

    std::string out;
    std::size_t textBytes = 0;
    for (const Paragraph& paragraph : document.paragraphs) {
        for (const Run& run : paragraph.runs) {
            textBytes += run.text.size();
        }
    }
    // Cyrillic text grows about fivefold (\u1056\'d0 for two UTF-8 bytes).
    out.reserve(512 + textBytes * 3 + document.paragraphs.size() * 32);

    out += "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049\\uc1\n";
    tables.write(out);
    appendControl(out, "{\\*\\defchp\\f0\\fs", defaultSize);
    out += "}\n{\\*\\generator ";
    out += kRtfGenerator;
    out += ";}\n";

    const auto appendFormat = [&](const CharFormat& format) {
        appendControl(out, "\\f", tables.fontIndex(format));
        appendControl(out, "\\fs", format.sizeHalfPoints > 0 ? format.sizeHalfPoints : defaultSize);
        if (format.bold) {
            out += "\\b";
        }
        if (format.italic) {
            out += "\\i";
        }
        if (format.underline) {
            out += "\\ul";
        }
        if (format.strikeOut) {
            out += "\\strike";
        }
        if (const int color = tables.colorIndex(format); color > 0) {
            appendControl(out, "\\cf", color);
        }
        out.push_back(' ');
    };

    for (const Paragraph& paragraph : document.paragraphs) {
        out += "\\pard";
        if (paragraph.runs.empty()) {
            // An empty line keeps the default size, so its height matches.
            out += "\\plain";
            appendFormat(CharFormat{});
        }
        for (const Run& run : paragraph.runs) {
            out += "\\plain";
            appendFormat(run.format);
            appendText(out, run.text, false);
        }
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

} // namespace kalvanta::doc
