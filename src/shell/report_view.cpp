#include "report_view.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>

#include "window_helpers.h"

namespace kalvanta {

namespace {

void appendParagraph(QTextCursor& cursor, const QString& line)
{
    cursor.movePosition(QTextCursor::End);
    // An empty view takes the first line into its one empty paragraph.
    if (!cursor.document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(line, QTextCharFormat());
}

} // namespace

ReportView::ReportView(QWidget* parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("RichEdit1"));
    setAccessibleName(kReportViewName);
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(interfaceFont(8));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);
    // The view starts with three empty lines.
    setPlainText(QStringLiteral("\n\n"));
    document()->clearUndoRedoStacks();
    viewport()->setMouseTracking(true);
}

void ReportView::appendLine(const QString& line)
{
    QTextCursor cursor(document());
    appendParagraph(cursor, line);
}

void ReportView::setVerticalScrollBars()
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void ReportView::setBaseFontHeight(int pixels)
{
    QFont wanted = font();
    int size = pixels;
    wanted.setPixelSize(size);
    // The largest pixel size whose line (ascent + descent) fits the cell.
    while (size > 1 && QFontMetricsF(wanted).height() > pixels) {
        --size;
        wanted.setPixelSize(size);
    }
    if (wanted != font())
        setFont(wanted);
}

void ReportView::clearAll()
{
    clear();
}

bool ReportView::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Copy)
            || key->matches(QKeySequence::Paste)) {
            // Not accepted: the shortcut goes to the main window's commands.
            e->ignore();
            return true;
        }
    }
    return QTextEdit::event(e);
}

ReportViewSink::ReportViewSink(ReportView& view) : view_(view), cursor_(view.document())
{
    cursor_.movePosition(QTextCursor::End);
    cursor_.beginEditBlock();
    blockOpen_ = true;
}

ReportViewSink::~ReportViewSink()
{
    if (blockOpen_)
        cursor_.endEditBlock();
}

void ReportViewSink::appendLine(std::string_view line)
{
    appendParagraph(cursor_, QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void ReportViewSink::setVerticalScrollBars() { view_.setVerticalScrollBars(); }

void ReportViewSink::setBaseFontHeight(int pixels) { view_.setBaseFontHeight(pixels); }

} // namespace kalvanta
