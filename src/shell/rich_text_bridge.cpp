#include "rich_text_bridge.h"

#include <QTextCursor>

#include "report_view.h"

namespace kalvanta {

doc::Document documentOf(const ReportView& view) { return documentFromRichText(*view.document(), view.font()); }

void showDocument(ReportView& view, const doc::Document& document)
{
    view.clearAll();
    QTextCursor cursor(view.document());
    insertDocument(cursor, document);
    view.moveCursor(QTextCursor::Start);
}

} // namespace kalvanta
