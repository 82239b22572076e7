#include "text_document.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace kalvanta {

namespace {

constexpr int kLayoutDpi = 96;

std::string utf8(const QString& s)
{
    const QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString qstring(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

int halfPointsOf(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return static_cast<int>(std::lround(font.pointSizeF() * 2.0));
    if (font.pixelSize() > 0)
        return doc::halfPointsFromPixels(font.pixelSize(), kLayoutDpi);
    return 0;
}

doc::CharFormat modelFormat(const QTextCharFormat& f)
{
    doc::CharFormat out;
    const QStringList families = f.fontFamilies().toStringList();
    if (f.hasProperty(QTextFormat::FontFamilies) && !families.isEmpty()) {
        out.family = utf8(families.front());
        out.charset = doc::kCyrillicCharset;
    }
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        out.sizeHalfPoints = static_cast<int>(std::lround(f.fontPointSize() * 2.0));
    else if (f.hasProperty(QTextFormat::FontPixelSize) && f.intProperty(QTextFormat::FontPixelSize) > 0)
        out.sizeHalfPoints = doc::halfPointsFromPixels(f.intProperty(QTextFormat::FontPixelSize), kLayoutDpi);
    out.bold = f.hasProperty(QTextFormat::FontWeight) && f.fontWeight() >= QFont::DemiBold;
    out.italic = f.fontItalic();
    out.underline = f.fontUnderline();
    out.strikeOut = f.fontStrikeOut();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
        const QColor c = f.foreground().color();
        out.color = doc::Color{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                               static_cast<std::uint8_t>(c.blue())};
    }
    return out;
}

QTextCharFormat viewFormat(const doc::CharFormat& f, const doc::DocumentFont& defaults, bool defaultsStated)
{
    QTextCharFormat out;
    if (!f.family.empty())
        out.setFontFamilies(QStringList{qstring(f.family)});
    else if (defaultsStated && !defaults.family.empty())
        out.setFontFamilies(QStringList{qstring(defaults.family)});
    if (f.sizeHalfPoints > 0)
        out.setFontPointSize(doc::pointsFromHalfPoints(f.sizeHalfPoints));
    else if (defaultsStated && defaults.sizeHalfPoints > 0)
        out.setFontPointSize(doc::pointsFromHalfPoints(defaults.sizeHalfPoints));
    if (f.bold)
        out.setFontWeight(QFont::Bold);
    if (f.italic)
        out.setFontItalic(true);
    if (f.underline)
        out.setFontUnderline(true);
    if (f.strikeOut)
        out.setFontStrikeOut(true);
    if (f.color)
        out.setForeground(QColor(f.color->red, f.color->green, f.color->blue));
    return out;
}

} // namespace

doc::Document documentFromRichText(const QTextDocument& text, const QFont& baseFont)
{
    doc::Document out;
    out.defaultFont.family = utf8(baseFont.family());
    out.defaultFont.sizeHalfPoints = halfPointsOf(baseFont);
    if (out.defaultFont.sizeHalfPoints <= 0)
        out.defaultFont.sizeHalfPoints = doc::DocumentFont::kDefaultSizeHalfPoints;
    out.defaultFont.charset = doc::kCyrillicCharset;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        doc::Paragraph& paragraph = out.paragraphs.emplace_back();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            QString piece = fragment.text();
            // Embedded objects (pictures) have no place in the report's model.
            piece.remove(QChar::ObjectReplacementCharacter);
            paragraph.append(utf8(piece), modelFormat(fragment.charFormat()));
        }
    }
    return out;
}

void insertDocument(QTextCursor& cursor, const doc::Document& document)
{
    const bool defaultsStated = !document.defaultFont.family.empty();
    cursor.beginEditBlock();
    bool first = true;
    for (const doc::Paragraph& paragraph : document.paragraphs) {
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        first = false;
        for (const doc::Run& run : paragraph.runs)
            cursor.insertText(qstring(run.text), viewFormat(run.format, document.defaultFont, defaultsStated));
    }
    cursor.endEditBlock();
}

std::unique_ptr<QTextDocument> textDocumentOf(const doc::Document& document)
{
    auto text = std::make_unique<QTextDocument>();
    if (!document.defaultFont.family.empty()) {
        QFont font(qstring(document.defaultFont.family));
        if (document.defaultFont.sizeHalfPoints > 0)
            font.setPointSizeF(doc::pointsFromHalfPoints(document.defaultFont.sizeHalfPoints));
        text->setDefaultFont(font);
    }
    QTextCursor cursor(text.get());
    insertDocument(cursor, document);
    return text;
}

} // namespace kalvanta
