#pragma once
// Converts between Qt's rich text and the report document model that the
// RTF writer and the other report formats work on.
#include <memory>

#include "document/document.h"

class QFont;
class QTextCursor;
class QTextDocument;

namespace kalvanta {

// The model of a rich-text document whose text without a font of its own is
// shown in `baseFont`.
doc::Document documentFromRichText(const QTextDocument& text, const QFont& baseFont);

// Inserts the model's paragraphs at the cursor (the first into the cursor's
// paragraph). Text the model leaves in its default font gets that font
// explicitly, so it looks as it was saved; where the model names no default
// font, such text takes the font of the document it goes into.
void insertDocument(QTextCursor& cursor, const doc::Document& document);

// A new rich-text document holding the model, with the model's default font
// as its own.
std::unique_ptr<QTextDocument> textDocumentOf(const doc::Document& document);

} // namespace kalvanta
