#pragma once
// Converts between the report view's rich text and the document model that
// the RTF reader and writer work on.
#include "document/document.h"

class QTextDocument;
class QFont;

namespace kalvanta {

class ReportView;

// The model of a rich-text document whose text without a font of its own is
// shown in `baseFont`.
doc::Document documentFromRichText(const QTextDocument& text, const QFont& baseFont);
doc::Document documentOf(const ReportView& view);

// Replaces the view's whole content with the model. Text the model leaves in
// its default font gets that font explicitly, so the file looks as it was
// saved; where the file names no default font, the view's base font stays.
void showDocument(ReportView& view, const doc::Document& document);

} // namespace kalvanta
