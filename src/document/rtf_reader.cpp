#include "document/rtf_reader.h"

#include "document/code_page.h"
#include "document/document_limits.h"
#include "document/utf8.h"

#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kalvanta::doc {

namespace {

// Where the text of a group goes.
enum class Dest : unsigned char {
    Body,        // the document text
    FontTable,   // font names
    ColorTable,  // colour entries
    DefChp,      // default character properties
    Upr,         // the ANSI half of \upr: dropped in favour of its \ud half
    Skip,        // everything else: not shown
};

enum class Word : unsigned char {
    Unknown, Skip,
    FontTable, ColorTable, DefChp, Upr, Ud,
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, Font, FontSize, Color, Hidden,
    Par, Line, Tab, Cell, Special, Uc,
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Charset, Cpg, Red, Green, Blue,
};

struct WordInfo {
    Word word;
    char32_t codePoint = 0;   // for Word::Special
};

const std::unordered_map<std::string_view, WordInfo>& wordTable() {
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t;
        for (const char* name :
             {"stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
              "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "xe", "tc",
              "txe", "rxe", "fldinst", "listtable", "listoverridetable", "revtbl", "rsidtbl",
              "filetbl", "pgdsctbl", "themedata", "colorschememapping", "datastore",
              "latentstyles", "nonshppict", "shp", "shpinst", "sp", "sn", "sv", "template",
              "private", "atnauthor", "atnid", "atndate", "atnref", "xmlnstbl", "datafield",
              "docvar", "formfield", "generator", "userprops", "objdata", "pntxta", "pntxtb",
              "do", "bkmkstart", "bkmkend", "fname", "falt", "panose", "mmathPr"}) {
            t.emplace(name, WordInfo{Word::Skip});
        }
        t.emplace("fonttbl", WordInfo{Word::FontTable});
        t.emplace("colortbl", WordInfo{Word::ColorTable});
        t.emplace("defchp", WordInfo{Word::DefChp});
        t.emplace("upr", WordInfo{Word::Upr});
        t.emplace("ud", WordInfo{Word::Ud});
        t.emplace("plain", WordInfo{Word::Plain});
        t.emplace("b", WordInfo{Word::Bold});
        t.emplace("i", WordInfo{Word::Italic});
        for (const char* name :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
              "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
              "ulwave"}) {
            t.emplace(name, WordInfo{Word::Underline});
        }
        t.emplace("ulnone", WordInfo{Word::UnderlineNone});
        t.emplace("strike", WordInfo{Word::Strike});
        t.emplace("striked", WordInfo{Word::Strike});
        t.emplace("f", WordInfo{Word::Font});
        t.emplace("fs", WordInfo{Word::FontSize});
        t.emplace("cf", WordInfo{Word::Color});
        t.emplace("v", WordInfo{Word::Hidden});
        for (const char* name : {"par", "sect", "row", "nestrow"}) {
            t.emplace(name, WordInfo{Word::Par});
        }
        t.emplace("line", WordInfo{Word::Line});
        t.emplace("tab", WordInfo{Word::Tab});
        t.emplace("cell", WordInfo{Word::Cell});
        t.emplace("nestcell", WordInfo{Word::Cell});
        const std::pair<const char*, char32_t> specials[] = {
            {"emdash", 0x2014},   {"endash", 0x2013},    {"bullet", 0x2022},  {"lquote", 0x2018},
            {"rquote", 0x2019},   {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
            {"emspace", 0x2003},  {"enspace", 0x2002},   {"qmspace", 0x2005}, {"zwj", 0x200D},
            {"zwnj", 0x200C},     {"ltrmark", 0x200E},   {"rtlmark", 0x200F}, {"zwbo", 0x200B},
        };
        for (const auto& [name, cp] : specials) {
            t.emplace(name, WordInfo{Word::Special, cp});
        }
        t.emplace("uc", WordInfo{Word::Uc});
        t.emplace("ansi", WordInfo{Word::Ansi});
        t.emplace("mac", WordInfo{Word::Mac});
        t.emplace("pc", WordInfo{Word::Pc});
        t.emplace("pca", WordInfo{Word::Pca});
        t.emplace("ansicpg", WordInfo{Word::AnsiCpg});
        t.emplace("deff", WordInfo{Word::Deff});
        t.emplace("fcharset", WordInfo{Word::Charset});
        t.emplace("cpg", WordInfo{Word::Cpg});
        t.emplace("red", WordInfo{Word::Red});
        t.emplace("green", WordInfo{Word::Green});
        t.emplace("blue", WordInfo{Word::Blue});
        return t;
    }();
    return table;
}

struct CharState {
    int font = -1;  // -1: the default font
    int size = 0;   // 0: not set
    int color = -1; // -1: automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
};

struct Group {
    CharState chars;
    Dest dest = Dest::Body;
    Dest uprOuter = Dest::Body;
    int uc = 1;
};

struct FontEntry {
    std::string name;
    int charset = -1;
    int codePage = 0;
};

struct Failure {
    RtfStatus status;
    const char* problem;
};

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int clampToInt(long long value) {
    if (value > 2147483647LL) return 2147483647;
    if (value < -2147483647LL) return -2147483647;
    return static_cast<int>(value);
}

class Parser {
public:
    explicit Parser(std::string_view in) : in_(in) {}

    RtfReadResult run() {
        RtfReadResult result;
        if (!in_.starts_with("{\\rtf")) {
            result.status = RtfStatus::NotRtf;
            result.problem = "the text does not start with {\\rtf";
            return result;
        }
        try {
            parse();
            finish();
            result.document = std::move(doc_);
        } catch (const Failure& failure) {
            result.status = failure.status;
            result.problem = failure.problem;
            result.offset = pos_;
        }
        return result;
    }

private:
    [[noreturn]] void fail(RtfStatus status, const char* problem) { throw Failure{status, problem}; }

    Group& top() { return stack_.back(); }

    void parse() {
        const std::size_t size = in_.size();
        while (pos_ < size) {
            const unsigned char c = static_cast<unsigned char>(in_[pos_]);
            switch (c) {
            case '{':
                ++pos_;
                openGroup();
                break;
            case '}':
                ++pos_;
                if (closeGroup()) {
                    return;  // bytes after the outermost group are not part of the document
                }
                break;
            case '\\':
                controlSequence();
                break;
            case '\r':
            case '\n':
                ++pos_;
                break;
            default:
                text();
                break;
            }
        }
        fail(RtfStatus::SyntaxError, "the file ends inside a group: unbalanced braces or truncated");
    }

    // A "\*" destination the reader does not handle hides its whole group.
    void resolveStar() {
        if (starPending_) {
            starPending_ = false;
            top().dest = Dest::Skip;
        }
    }

    void openGroup() {
        if (!stack_.empty()) {
            resolveStar();
        }
        flushDecoder();
        skip_ = 0;
        if (stack_.size() >= limits::kMaxGroupDepth) {
            fail(RtfStatus::LimitExceeded, "groups nested too deep");
        }
        if (stack_.empty()) {
            stack_.emplace_back();
        } else {
            const Group copy = stack_.back();
            stack_.push_back(copy);
        }
    }

    // Returns true when the outermost group closed.
    bool closeGroup() {
        starPending_ = false;
        if (stack_.size() == 1) {
            flushPartial();
        } else {
            flushDecoder();
        }
        skip_ = 0;
        if (top().dest == Dest::FontTable) {
            finishFontName();
        }
        stack_.pop_back();
        formatDirty_ = true;
        bodyDecoder_ = nullptr;
        return stack_.empty();
    }

    void controlSequence() {
        ++pos_;  // the backslash
        if (pos_ >= in_.size()) {
            fail(RtfStatus::SyntaxError, "a backslash at the end of the file");
        }
        const unsigned char c = static_cast<unsigned char>(in_[pos_]);
        if (!isLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        const std::size_t wordStart = pos_;
        while (pos_ < in_.size() && isLetter(static_cast<unsigned char>(in_[pos_]))) {
            ++pos_;
            if (pos_ - wordStart > limits::kMaxControlWordLength) {
                fail(RtfStatus::SyntaxError, "a control word longer than 32 letters");
            }
        }
        const std::string_view word = in_.substr(wordStart, pos_ - wordStart);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' &&
            isDigit(static_cast<unsigned char>(in_[pos_ + 1]))) {
            negative = true;
            ++pos_;
        }
        const std::size_t digitsStart = pos_;
        long long param = 0;
        while (pos_ < in_.size() && isDigit(static_cast<unsigned char>(in_[pos_]))) {
            if (pos_ - digitsStart >= limits::kMaxParameterDigits) {
                fail(RtfStatus::SyntaxError, "a control word parameter with too many digits");
            }
            param = param * 10 + (in_[pos_] - '0');
            ++pos_;
        }
        const bool hasParam = pos_ > digitsStart;
        if (negative) {
            param = -param;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') {
            ++pos_;
        }
        controlWord(word, hasParam, param);
    }

    void controlSymbol(unsigned char c) {
        if (c == '*') {
            starPending_ = true;
            return;
        }
        if (c == '\'') {
            if (pos_ + 2 > in_.size()) {
                fail(RtfStatus::SyntaxError, "a \\' escape cut off by the end of the file");
            }
            const int high = hexValue(static_cast<unsigned char>(in_[pos_]));
            const int low = hexValue(static_cast<unsigned char>(in_[pos_ + 1]));
            if (high < 0 || low < 0) {
                fail(RtfStatus::SyntaxError, "a \\' escape without two hexadecimal digits");
            }
            pos_ += 2;
            resolveStar();
            byteChar(static_cast<unsigned char>(high * 16 + low), false);
            return;
        }
        resolveStar();
        switch (c) {
        case '\\':
        case '{':
        case '}':
            byteChar(c, false);
            return;
        case '\r':
        case '\n':
            if (consumeSkip()) return;
            paragraphEnd();
            return;
        case '\t':
            if (consumeSkip()) return;
            emitCodePoint('\t');
            return;
        case '~':
            if (consumeSkip()) return;
            emitCodePoint(0x00A0);
            return;
        case '_':
            if (consumeSkip()) return;
            emitCodePoint(0x2011);
            return;
        case '-':
            if (consumeSkip()) return;
            emitCodePoint(0x00AD);
            return;
        default:
            consumeSkip();  // \:, \| and unknown symbols show nothing
            return;
        }
    }

    // True when the token is one of the characters skipped after \uN.
    bool consumeSkip() {
        if (skip_ > 0) {
            --skip_;
            return true;
        }
        return false;
    }

    void controlWord(std::string_view word, bool hasParam, long long param) {
        if (word == "bin") {
            // Binary data is never text; its length must fit in the file.
            const long long length = (hasParam && param > 0) ? param : 0;
            if (static_cast<unsigned long long>(length) > in_.size() - pos_) {
                fail(RtfStatus::SyntaxError, "\\bin data runs past the end of the file");
            }
            pos_ += static_cast<std::size_t>(length);
            consumeSkip();
            return;
        }
        const auto& table = wordTable();
        const auto found = table.find(word);
        const WordInfo info = found == table.end() ? WordInfo{Word::Unknown} : found->second;

        if (starPending_) {
            starPending_ = false;
            if (info.word != Word::DefChp && info.word != Word::Ud) {
                top().dest = Dest::Skip;
                return;
            }
        }
        Group& group = top();
        if (group.dest == Dest::Skip) {
            return;
        }
        if (word == "u") {
            unicode(hasParam, param);
            return;
        }
        // A high surrogate waits across words such as \uc for its low half.
        flushDecoder();
        if (consumeSkip()) {
            return;
        }
        const int value = clampToInt(param);

        switch (info.word) {
        case Word::Unknown:
            return;
        case Word::Skip:
            group.dest = Dest::Skip;
            return;
        case Word::FontTable:
            group.dest = Dest::FontTable;
            return;
        case Word::ColorTable:
            group.dest = Dest::ColorTable;
            colorPending_ = Color{};
            colorHasComponent_ = false;
            return;
        case Word::DefChp:
            group.dest = Dest::DefChp;
            return;
        case Word::Upr:
            group.uprOuter = group.dest;
            group.dest = Dest::Upr;
            return;
        case Word::Ud:
            if (group.dest == Dest::Upr) {
                group.dest = group.uprOuter;
            }
            return;
        case Word::Uc:
            if (hasParam && value >= 0 && value <= limits::kMaxUnicodeSkip) {
                group.uc = value;
            }
            return;
        case Word::Ansi:
            setAnsiCodePage(1252);
            return;
        case Word::Mac:
            setAnsiCodePage(10000);
            return;
        case Word::Pc:
            setAnsiCodePage(437);
            return;
        case Word::Pca:
            setAnsiCodePage(850);
            return;
        case Word::AnsiCpg:
            if (hasParam) setAnsiCodePage(value);
            return;
        case Word::Deff:
            if (hasParam && group.dest == Dest::Body) {
                deff_ = value;
                formatDirty_ = true;
                bodyDecoder_ = nullptr;
            }
            return;
        default:
            break;
        }

        switch (group.dest) {
        case Dest::Body:
            bodyWord(info, hasParam, value);
            return;
        case Dest::FontTable:
            fontTableWord(info.word, hasParam, value);
            return;
        case Dest::ColorTable:
            colorTableWord(info.word, hasParam, value);
            return;
        case Dest::DefChp:
            if (info.word == Word::FontSize && hasParam && value > 0 && value <= limits::kMaxFontSizeHalfPoints) {
                defaultSize_ = value;
            }
            return;
        case Dest::Upr:
        case Dest::Skip:
            return;
        }
    }

    void bodyWord(const WordInfo& info, bool hasParam, int value) {
        CharState& chars = top().chars;
        const bool on = !hasParam || value != 0;
        switch (info.word) {
        case Word::Plain:
            chars = CharState{};
            break;
        case Word::Bold:
            chars.bold = on;
            break;
        case Word::Italic:
            chars.italic = on;
            break;
        case Word::Underline:
            chars.underline = on;
            break;
        case Word::UnderlineNone:
            chars.underline = false;
            break;
        case Word::Strike:
            chars.strike = on;
            break;
        case Word::Hidden:
            chars.hidden = on;
            break;
        case Word::Font:
            if (hasParam) chars.font = value;
            break;
        case Word::FontSize:
            if (hasParam && value > 0 && value <= limits::kMaxFontSizeHalfPoints) chars.size = value;
            break;
        case Word::Color:
            if (hasParam) chars.color = value;
            break;
        case Word::Par:
            paragraphEnd();
            return;
        case Word::Line:
            emitCodePoint(0x2028);
            return;
        case Word::Tab:
            emitCodePoint('\t');
            return;
        case Word::Cell:
            // Cells become tab-separated text; the tab after a row's last
            // cell is never written.
            ++pendingCellTabs_;
            return;
        case Word::Special:
            emitCodePoint(info.codePoint);
            return;
        default:
            return;
        }
        formatDirty_ = true;
        bodyDecoder_ = nullptr;
    }

    void fontTableWord(Word word, bool hasParam, int value) {
        switch (word) {
        case Word::Font: {
            if (!hasParam) return;
            finishFontName();
            if (fonts_.find(value) == fonts_.end() && fonts_.size() >= limits::kMaxFonts) {
                fail(RtfStatus::LimitExceeded, "too many fonts");
            }
            fonts_[value] = FontEntry{};
            currentFont_ = value;
            fontNameOpen_ = true;
            fontName_.clear();
            return;
        }
        case Word::Charset:
            if (currentFont_ && hasParam && value >= 0 && value <= 255) {
                fonts_[*currentFont_].charset = value;
            }
            return;
        case Word::Cpg:
            if (currentFont_ && hasParam && isKnownCodePage(value)) {
                fonts_[*currentFont_].codePage = value;
            }
            return;
        case Word::Tab:
        case Word::Par:
        case Word::Line:
            return;
        case Word::Special:
            return;
        default:
            return;
        }
    }

    void colorTableWord(Word word, bool hasParam, int value) {
        if (!hasParam) return;
        const auto component = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
        switch (word) {
        case Word::Red:
            colorPending_.red = component;
            break;
        case Word::Green:
            colorPending_.green = component;
            break;
        case Word::Blue:
            colorPending_.blue = component;
            break;
        default:
            return;
        }
        colorHasComponent_ = true;
    }

    void setAnsiCodePage(int codePage) {
        if (isKnownCodePage(codePage)) {
            ansiCodePage_ = codePage;
            bodyDecoder_ = nullptr;
        }
    }

    void unicode(bool hasParam, long long param) {
        if (consumeSkip()) {
            return;
        }
        skip_ = top().uc;
        if (!hasParam) {
            return;
        }
        char32_t cp;
        if (param < -32768 || param > 65535) {
            cp = kReplacementCharacter;
        } else {
            cp = static_cast<char32_t>(param < 0 ? param + 65536 : param);
        }
        flushDecoder();
        if (highSurrogate_ != 0) {
            if (cp >= 0xDC00 && cp <= 0xDFFF) {
                const char32_t full = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00);
                highSurrogate_ = 0;
                emitCodePoint(full);
                return;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            flushHighSurrogate();
            highSurrogate_ = cp;
            return;
        }
        if (cp == 0) {
            return;  // NUL is not text
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = kReplacementCharacter;
        }
        emitCodePoint(cp);
    }

    // Plain text bytes: runs of ASCII go straight into the current run.
    void text() {
        resolveStar();
        const Group& group = top();
        if (group.dest == Dest::Body && !group.chars.hidden && skip_ == 0 && highSurrogate_ == 0 &&
            (activeDecoder_ == nullptr || !activeDecoder_->holdsLeadByte())) {
            const std::size_t start = pos_;
            while (pos_ < in_.size()) {
                const unsigned char c = static_cast<unsigned char>(in_[pos_]);
                if (c < 0x20 || c >= 0x80 || c == '\\' || c == '{' || c == '}') {
                    break;
                }
                ++pos_;
            }
            if (pos_ > start) {
                beginText();
                pending_.append(in_.data() + start, pos_ - start);
                return;
            }
        }
        const unsigned char c = static_cast<unsigned char>(in_[pos_++]);
        if (c == '\t') {
            if (consumeSkip()) return;
            emitCodePoint('\t');
            return;
        }
        if (c < 0x20) {
            return;  // NUL and other control bytes are not text
        }
        byteChar(c, true);
    }

    // One byte of text in the code page in force; `literal` is false for
    // escaped bytes (\'xx, \\, \{, \}), which never end a table entry.
    void byteChar(unsigned char byte, bool literal) {
        if (consumeSkip()) {
            return;
        }
        flushHighSurrogate();
        switch (top().dest) {
        case Dest::Body: {
            if (top().chars.hidden) return;
            CodePageDecoder& decoder = bodyDecoder();
            useDecoder(decoder);
            beginText();
            decoder.put(byte, pending_);
            return;
        }
        case Dest::FontTable:
            if (literal && byte == ';') {
                finishFontName();
                return;
            }
            if (fontNameOpen_) {
                CodePageDecoder& decoder = fontDecoder();
                useDecoder(decoder);
                std::string decoded;
                decoder.put(byte, decoded);
                appendFontName(decoded);
            }
            return;
        case Dest::ColorTable:
            if (literal && byte == ';') {
                if (colors_.size() >= limits::kMaxColors) {
                    fail(RtfStatus::LimitExceeded, "too many colours");
                }
                colors_.push_back(colorHasComponent_ ? std::optional<Color>(colorPending_)
                                                     : std::nullopt);
                colorPending_ = Color{};
                colorHasComponent_ = false;
            }
            return;
        case Dest::DefChp:
        case Dest::Upr:
        case Dest::Skip:
            return;
        }
    }

    void emitCodePoint(char32_t cp) {
        flushDecoder();
        flushHighSurrogate();
        emitRaw(cp);
    }

    void emitRaw(char32_t cp) {
        switch (top().dest) {
        case Dest::Body:
            if (top().chars.hidden) return;
            beginText();
            appendUtf8(pending_, cp);
            return;
        case Dest::FontTable:
            if (fontNameOpen_) {
                std::string encoded;
                appendUtf8(encoded, cp);
                appendFontName(encoded);
            }
            return;
        default:
            return;
        }
    }

    void appendFontName(const std::string& piece) {
        // Cut whole characters only, so the name stays valid UTF-8.
        if (fontName_.size() + piece.size() <= limits::kMaxFontNameBytes) {
            fontName_ += piece;
        }
    }

    void finishFontName() {
        if (!fontNameOpen_ || !currentFont_) {
            return;
        }
        flushPartial();
        std::size_t begin = 0;
        std::size_t end = fontName_.size();
        while (begin < end && fontName_[begin] == ' ') ++begin;
        while (end > begin && fontName_[end - 1] == ' ') --end;
        fonts_[*currentFont_].name = fontName_.substr(begin, end - begin);
        fontName_.clear();
        fontNameOpen_ = false;
    }

    // A lead byte or a high surrogate left waiting becomes U+FFFD.
    void flushPartial() {
        flushDecoder();
        flushHighSurrogate();
    }

    void flushHighSurrogate() {
        if (highSurrogate_ != 0) {
            highSurrogate_ = 0;
            emitRaw(kReplacementCharacter);
        }
    }

    void flushDecoder() {
        if (activeDecoder_ != nullptr && activeDecoder_->holdsLeadByte()) {
            std::string rest;
            activeDecoder_->flush(rest);
            if (top().dest == Dest::Body && !top().chars.hidden) {
                beginText();
                pending_ += rest;
            } else if (top().dest == Dest::FontTable && fontNameOpen_) {
                appendFontName(rest);
            }
        }
    }

    void useDecoder(CodePageDecoder& decoder) {
        if (activeDecoder_ != &decoder) {
            flushDecoder();
            activeDecoder_ = &decoder;
        }
    }

    CodePageDecoder& decoderFor(int codePage) {
        auto& slot = decoders_[codePage];
        if (!slot) {
            slot = std::make_unique<CodePageDecoder>(codePage);
        }
        return *slot;
    }

    int codePageOfFont(int font) const {
        const auto found = fonts_.find(font);
        if (found != fonts_.end()) {
            if (found->second.codePage != 0) return found->second.codePage;
            if (const int cp = codePageForCharset(found->second.charset); cp != 0) return cp;
        }
        return ansiCodePage_;
    }

    CodePageDecoder& bodyDecoder() {
        if (bodyDecoder_ == nullptr) {
            const int font = top().chars.font >= 0 ? top().chars.font : deff_;
            bodyDecoder_ = &decoderFor(codePageOfFont(font));
        }
        return *bodyDecoder_;
    }

    CodePageDecoder& fontDecoder() {
        return decoderFor(currentFont_ ? codePageOfFont(*currentFont_) : ansiCodePage_);
    }

    CharFormat resolveFormat() const {
        const CharState& chars = stack_.back().chars;
        CharFormat format;
        if (chars.font >= 0 && chars.font != deff_) {
            const auto found = fonts_.find(chars.font);
            if (found != fonts_.end() && !found->second.name.empty()) {
                format.family = found->second.name;
                format.charset = found->second.charset;
            }
        }
        format.sizeHalfPoints = chars.size;
        format.bold = chars.bold;
        format.italic = chars.italic;
        format.underline = chars.underline;
        format.strikeOut = chars.strike;
        if (chars.color >= 0 && static_cast<std::size_t>(chars.color) < colors_.size()) {
            format.color = colors_[static_cast<std::size_t>(chars.color)];
        }
        return format;
    }

    // Called before text goes into the current run: starts a new run when
    // the format changed since the last text.
    void beginText() {
        if (formatDirty_) {
            formatDirty_ = false;
            CharFormat format = resolveFormat();
            if (format != pendingFormat_) {
                flushRun();
                pendingFormat_ = std::move(format);
            }
        }
        if (pendingCellTabs_ > 0) {
            pending_.append(pendingCellTabs_, '\t');
            pendingCellTabs_ = 0;
        }
    }

    void flushRun() {
        if (pending_.empty()) {
            return;
        }
        const std::size_t before = paragraph_.runs.size();
        paragraph_.append(pending_, pendingFormat_);
        pending_.clear();
        if (paragraph_.runs.size() > before && ++runCount_ > limits::kMaxRuns) {
            fail(RtfStatus::LimitExceeded, "too many runs");
        }
    }

    void paragraphEnd() {
        if (top().dest != Dest::Body) {
            return;
        }
        flushPartial();
        flushRun();
        pendingCellTabs_ = 0;
        if (doc_.paragraphs.size() >= limits::kMaxParagraphs) {
            fail(RtfStatus::LimitExceeded, "too many paragraphs");
        }
        doc_.paragraphs.push_back(std::move(paragraph_));
        paragraph_ = Paragraph{};
    }

    void finish() {
        flushRun();
        if (!paragraph_.empty()) {
            if (doc_.paragraphs.size() >= limits::kMaxParagraphs) {
                fail(RtfStatus::LimitExceeded, "too many paragraphs");
            }
            doc_.paragraphs.push_back(std::move(paragraph_));
        }
        const int defaultSize = defaultSize_ > 0 ? defaultSize_ : DocumentFont::kDefaultSizeHalfPoints;
        doc_.defaultFont.sizeHalfPoints = defaultSize;
        if (const auto found = fonts_.find(deff_); found != fonts_.end()) {
            doc_.defaultFont.family = found->second.name;
            doc_.defaultFont.charset = found->second.charset;
        }
        // A run in the default size reads as "default size", then runs that
        // became equal merge (canonical form).
        for (Paragraph& paragraph : doc_.paragraphs) {
            bool changed = false;
            for (Run& run : paragraph.runs) {
                if (run.format.sizeHalfPoints == defaultSize) {
                    run.format.sizeHalfPoints = 0;
                    changed = true;
                }
            }
            if (changed && paragraph.runs.size() > 1) {
                Paragraph merged;
                for (Run& run : paragraph.runs) {
                    merged.append(run.text, run.format);
                }
                paragraph = std::move(merged);
            }
        }
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<Group> stack_;
    bool starPending_ = false;
    int skip_ = 0;
    char32_t highSurrogate_ = 0;

    std::map<int, FontEntry> fonts_;
    std::optional<int> currentFont_;
    bool fontNameOpen_ = false;
    std::string fontName_;
    std::vector<std::optional<Color>> colors_;
    Color colorPending_;
    bool colorHasComponent_ = false;
    int deff_ = -1;
    int defaultSize_ = 0;
    int ansiCodePage_ = kCodePageWestern;

    std::map<int, std::unique_ptr<CodePageDecoder>> decoders_;
    CodePageDecoder* activeDecoder_ = nullptr;
    CodePageDecoder* bodyDecoder_ = nullptr;

    Document doc_;
    Paragraph paragraph_;
    std::string pending_;
    CharFormat pendingFormat_;
    bool formatDirty_ = true;
    std::size_t pendingCellTabs_ = 0;
    std::size_t runCount_ = 0;
};

} // namespace

RtfReadResult readRtf(std::string_view bytes) {
    if (bytes.size() > limits::kMaxDocumentBytes) {
        RtfReadResult result;
        result.status = RtfStatus::LimitExceeded;
        result.problem = "the file is larger than the largest document";
        return result;
    }
    Parser parser(bytes);
    return parser.run();
}

} // namespace kalvanta::doc
