#include "report_printing.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include <memory>
#include <stdexcept>

namespace kalvanta {

namespace {
// The view lays text out at 96 dots per inch; the page is drawn at that
// scale and enlarged to the printer's resolution, so fonts given in pixels
// keep their size on paper.
constexpr qreal kLayoutDpi = 96.0;
constexpr int kDotsPerMeterAt96Dpi = 3780; // 96 / 0.0254
// How far inside its page a line must reach to be drawn on it, in layout pixels.
constexpr qreal kEdge = 0.5;
} // namespace

int printReport(const QTextDocument& document, QPrinter& printer)
{
    printer.setDocName(QString());
    // The whole printable area: the page less only what the printer cannot
    // reach (nothing for a PDF file), with the origin at its corner.
    printer.setFullPage(false);
    printer.setPageMargins(printer.pageLayout().minimumMargins(), printer.pageLayout().units());

    QImage layoutDevice(1, 1, QImage::Format_RGB32);
    layoutDevice.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    layoutDevice.setDotsPerMeterY(kDotsPerMeterAt96Dpi);

    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->documentLayout()->setPaintDevice(&layoutDevice);
    copy->setDocumentMargin(0);

    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Printing failed: the printer is not available");

    const qreal scale = printer.resolution() / kLayoutDpi;
    const QRectF paper = printer.pageRect(QPrinter::DevicePixel);
    const QSizeF page(paper.width() / scale, paper.height() / scale);
    copy->setPageSize(page);

    const int pages = copy->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage())
            throw std::runtime_error("Printing failed: the printer refused a new page");
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -i * page.height());
        // Qt draws a line that only touches the clip's edge too, and a PDF
        // printed to a file keeps clipped text: the page's own lines lie
        // strictly inside.
        copy->drawContents(&painter, QRectF(0, i * page.height() + kEdge, page.width(), page.height() - 2 * kEdge));
        painter.restore();
    }
    if (!painter.end())
        throw std::runtime_error("Printing failed: the print job could not be finished");
    return pages;
}

} // namespace kalvanta
