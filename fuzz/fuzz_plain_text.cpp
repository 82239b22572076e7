// Fuzz target for the plain-text fallback: what opening a file does when
// the bytes are not RTF. Besides "no crash, no leak, no hang" it checks
// that the decoded text is valid UTF-8 without NUL, that nothing but the
// encoding changes (UTF-8 text stays byte for byte, cp1251 keeps its ASCII
// and one character per byte), that the paragraphs are the text's lines,
// that opening agrees with the fallback, and that the document saves as
// RTF and reads back equal (the view saves what it opened).
#include "document/document_io.h"
#include "document/document_limits.h"
#include "document/plain_text.h"
#include "document/rtf_reader.h"
#include "document/rtf_writer.h"
#include "document/utf8.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace kalvanta::doc;

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "plain text: %s\n", what);
    std::abort();
}

std::string withoutNul(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        if (c != '\0') out.push_back(c);
    }
    return out;
}

std::string asciiOnly(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x80) out.push_back(c);
    }
    return out;
}

std::size_t codePoints(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

void checkDecoding(std::string_view bytes, const std::string& text, TextEncoding encoding) {
    if (!isValidUtf8(text)) fault("decoded text is not valid UTF-8");
    if (text.find('\0') != std::string::npos) fault("decoded text holds a NUL");
    const bool bom8 = bytes.starts_with("\xEF\xBB\xBF");
    const bool bom16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    switch (encoding) {
    case TextEncoding::Utf8:
        if (bom8 || bom16 || !isValidUtf8(bytes)) fault("took UTF-8 for bytes that are not");
        if (text != withoutNul(bytes)) fault("UTF-8 text changed in decoding");
        break;
    case TextEncoding::Utf8WithBom:
        if (!bom8) fault("UTF-8 with BOM without a BOM");
        if (isValidUtf8(bytes) && text != withoutNul(bytes.substr(3))) fault("UTF-8 text after the BOM changed");
        break;
    case TextEncoding::Utf16LittleEndian:
    case TextEncoding::Utf16BigEndian:
        if (!bom16) fault("UTF-16 without a BOM");
        break;
    case TextEncoding::Cp1251: {
        if (bom8 || bom16 || isValidUtf8(bytes)) fault("took cp1251 for UTF-8 or a BOM");
        const std::string kept = withoutNul(bytes);
        if (asciiOnly(text) != asciiOnly(kept)) fault("cp1251 decoding changed ASCII");
        if (codePoints(text) != kept.size()) fault("cp1251 is not one character per byte");
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DocumentFont font{"DejaVu Sans", 16, kCyrillicCharset};

    TextEncoding encoding{};
    const std::string text = decodePlainText(bytes, &encoding);
    checkDecoding(bytes, text, encoding);

    TextEncoding taken{};
    const std::optional<Document> document = readPlainText(bytes, font, &taken);
    if (!document) {
        if (splitLines(text).size() <= limits::kMaxParagraphs) fault("refused text within the limits");
        return 0;
    }
    if (taken != encoding) fault("readPlainText took another encoding");
    if (!(document->defaultFont == font)) fault("default font not kept");
    const std::vector<std::string> lines = splitLines(text);
    if (document->lines() != lines) fault("paragraphs are not the lines of the text");
    for (const Paragraph& paragraph : document->paragraphs) {
        if (paragraph.runs.size() > 1) fault("a plain-text line has several runs");
        for (const Run& run : paragraph.runs) {
            if (!(run.format == CharFormat{})) fault("plain text has a format of its own");
            if (run.text.empty()) fault("empty run");
        }
    }

    // Opening: the fallback is taken exactly when the bytes are not RTF.
    const RtfReadResult rtf = readRtf(bytes);
    try {
        const LoadResult opened = readDocument(bytes, font);
        if (rtf.status == RtfStatus::Ok) {
            if (opened.format != SourceFormat::Rtf) fault("RTF opened as plain text");
        } else {
            if (opened.format != SourceFormat::PlainText) fault("not RTF, yet not opened as plain text");
            if (!(opened.document == *document)) fault("opening differs from the fallback");
            if (opened.textEncoding != encoding) fault("opening took another encoding");
        }
    } catch (const DocumentError&) {
        fault("opening failed on text the fallback reads");
    }
    if (!bytes.starts_with("{\\rtf") && rtf.status != RtfStatus::NotRtf) fault("RTF without the RTF header");

    // Saving what was opened and opening it again gives the same document.
    const std::string saved = writeRtf(*document);
    const RtfReadResult again = readRtf(saved);
    if (again.status != RtfStatus::Ok) {
        std::fprintf(stderr, "%s at %zu\n", again.problem.c_str(), again.offset);
        fault("saved plain text does not read back as RTF");
    }
    if (!(again.document == *document)) fault("saved plain text reads back different");
    return 0;
}
