#include "report_formats.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentWriter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "document/document_io.h"
#include "text_document.h"

namespace kalvanta::formats {

namespace {

// The report view lays text out at 96 dots per inch; the page is laid out
// at that scale and enlarged to the writer's resolution, so fonts keep the
// size the view shows.
constexpr qreal kLayoutDpi = 96.0;
constexpr int kDotsPerMeterAt96Dpi = 3780; // 96 / 0.0254
constexpr int kPdfResolution = 1200;
// Left margin wider for binding; the footer lies inside the bottom margin.
const QMarginsF kPageMarginsMm(20, 15, 10, 15);
constexpr qreal kFooterGapMm = 5;
// How far inside its page a line must reach to be drawn on it, in layout pixels.
constexpr qreal kEdge = 0.5;
// Portrait pages while the text needs to shrink no more than this.
constexpr qreal kLandscapeBelowShrink = 0.85;
// Text is shrunk to at most this many page widths fitting one.
constexpr qreal kMostShrunkWidth = 1.6;

const char* const kCreator = "Kalvanta 4.5";

std::string bytesOf(const QByteArray& a) { return std::string(a.constData(), static_cast<std::size_t>(a.size())); }

// The document to be laid out on a 96-dpi device, without a frame margin.
std::unique_ptr<QTextDocument> layoutDocument(const doc::Document& document, QImage& device)
{
    ensureGuiApplication();
    std::unique_ptr<QTextDocument> text = textDocumentOf(document);
    text->documentLayout()->setPaintDevice(&device);
    text->setDocumentMargin(0);
    return text;
}

// Two things Qt's OpenDocument writer of this version does not carry over
// by itself: it reads a run's font family only from the single-family
// property, and it writes a paragraph's first space as a plain one, which
// every reader drops, as the format says. The family is stated the old way
// too, and a leading space becomes a no-break space.
void prepareForOdf(QTextDocument& text)
{
    // Collected first: merging formats may join fragments under an iterator.
    struct Span {
        int start;
        int end;
        QString family;
    };
    std::vector<Span> spans;
    std::vector<int> leadingSpaces;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QStringList families = fragment.charFormat().fontFamilies().toStringList();
            if (!families.isEmpty())
                spans.push_back({fragment.position(), fragment.position() + fragment.length(), families.front()});
        }
        if (block.text().startsWith(QLatin1Char(' ')))
            leadingSpaces.push_back(block.position());
    }
    QTextCursor cursor(&text);
    cursor.beginEditBlock();
    for (const Span& span : spans) {
        QTextCharFormat family;
        family.setProperty(QTextFormat::OldFontFamily, span.family);
        cursor.setPosition(span.start);
        cursor.setPosition(span.end, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(family);
    }
    for (int position : leadingSpaces) { // one character for one: the positions hold
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        cursor.insertText(QString(QChar::Nbsp), cursor.charFormat());
    }
    cursor.endEditBlock();
}

} // namespace

void ensureGuiApplication()
{
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (!qobject_cast<QGuiApplication*>(app))
            throw std::runtime_error("Qt's text layout needs a QGuiApplication");
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kalvanta-report";
    static char* argv[] = {name, nullptr};
    // Qt's own notes (no XDG_RUNTIME_DIR, and the like) are not the tool's
    // messages; its errors still go out.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    // Gone before Qt's own statics are, which were made before it.
    std::atexit([] {
        delete application;
        application = nullptr;
    });
}

std::optional<ReportFormat> formatOfSuffix(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("rtf"))
        return ReportFormat::Rtf;
    if (suffix == QLatin1String("pdf"))
        return ReportFormat::Pdf;
    if (suffix == QLatin1String("odt"))
        return ReportFormat::Odt;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return ReportFormat::Html;
    return std::nullopt;
}

QString pageFooter(int page, int pages) { return QStringLiteral("Страница %1 из %2").arg(page).arg(pages); }

QByteArray pdfBytes(const doc::Document& document, int* pageCount)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    device.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    std::unique_ptr<QTextDocument> text = layoutDocument(document, device);

    // Wide tables (a history's years side by side) go on landscape pages
    // rather than shrink far: the orientation that shows the text larger.
    const qreal widest = text->idealWidth(); // no text width yet: nothing is wrapped
    const auto pageLayout = [](QPageLayout::Orientation orientation) {
        return QPageLayout(QPageSize(QPageSize::A4), orientation, kPageMarginsMm, QPageLayout::Millimeter);
    };
    const auto bodyWidthOn = [](const QPageLayout& layout) {
        return layout.paintRect(QPageLayout::Millimeter).width() * kLayoutDpi / 25.4;
    };
    const qreal portraitWidth = bodyWidthOn(pageLayout(QPageLayout::Portrait));
    const bool landscape = widest > portraitWidth / kLandscapeBelowShrink;

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setCreator(QString::fromLatin1(kCreator));
    pdf.setResolution(kPdfResolution);
    pdf.setPageLayout(pageLayout(landscape ? QPageLayout::Landscape : QPageLayout::Portrait));

    const qreal toDevice = pdf.resolution() / kLayoutDpi;
    const qreal mm = kLayoutDpi / 25.4;
    const QFont footerFont = text->defaultFont();
    const qreal footerHeight = QFontMetricsF(footerFont, &device).height() + kFooterGapMm * mm;
    const qreal bodyWidth = pdf.width() / toDevice;
    const qreal bodyHeight = pdf.height() / toDevice - footerHeight;

    // Lines keep the breaks the view gave them: the text is made smaller
    // until its widest line fits the page, down to a limit below which only
    // a paragraph wider still (typed prose, not report lines) is wrapped.
    const qreal layoutWidth = std::clamp(widest, bodyWidth, kMostShrunkWidth * bodyWidth);
    const qreal shrink = bodyWidth / layoutWidth;
    const QSizeF page(layoutWidth, bodyHeight / shrink);
    text->setPageSize(page); // pages of this height move a line that would cross their edge to the next

    QPainter painter;
    if (!painter.begin(&pdf))
        throw std::runtime_error("The PDF writer could not start");
    const int pages = text->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !pdf.newPage())
            throw std::runtime_error("The PDF writer refused a new page");
        painter.save();
        painter.scale(toDevice * shrink, toDevice * shrink);
        painter.translate(0, -i * page.height());
        // Qt draws a line that only touches the clip's edge too, and a PDF
        // keeps clipped text: the page's own lines lie strictly inside.
        text->drawContents(&painter, QRectF(0, i * page.height() + kEdge, page.width(), page.height() - 2 * kEdge));
        painter.restore();
        // In device units: the writer's own resolution sizes the font.
        painter.setFont(footerFont);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 0, pdf.width(), pdf.height()), Qt::AlignHCenter | Qt::AlignBottom,
                         pageFooter(i + 1, pages));
    }
    if (!painter.end())
        throw std::runtime_error("The PDF writer could not finish the file");
    if (pageCount)
        *pageCount = pages;
    return buffer.data();
}

QByteArray odtBytes(const doc::Document& document)
{
    ensureGuiApplication();
    const std::unique_ptr<QTextDocument> text = textDocumentOf(document);
    prepareForOdf(*text);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(text.get()))
        throw std::runtime_error("The OpenDocument writer could not write the document");
    return buffer.data();
}

QByteArray htmlBytes(const doc::Document& document)
{
    ensureGuiApplication();
    const std::unique_ptr<QTextDocument> text = textDocumentOf(document);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "html");
    if (!writer.write(text.get()))
        throw std::runtime_error("The HTML writer could not write the document");
    return buffer.data();
}

void saveReport(const std::string& path, const doc::Document& document, ReportFormat format)
{
    switch (format) {
    case ReportFormat::Rtf: doc::saveDocumentFile(path, document); return;
    case ReportFormat::Pdf: doc::saveBytesFile(path, bytesOf(pdfBytes(document))); return;
    case ReportFormat::Odt: doc::saveBytesFile(path, bytesOf(odtBytes(document))); return;
    case ReportFormat::Html: doc::saveBytesFile(path, bytesOf(htmlBytes(document))); return;
    }
}

} // namespace kalvanta::formats
