#pragma once
// Converts between the report view's rich text and the document model that
// the RTF reader and writer work on.
#include "document/document.h"
#include "report_formats/text_document.h"

namespace kalvanta {

class ReportView;

doc::Document documentOf(const ReportView& view);

// Replaces the view's whole content with the model. Text the model leaves in
// its default font gets that font explicitly, so the file looks as it was
// saved; where the file names no default font, the view's base font stays.
void showDocument(ReportView& view, const doc::Document& document);

} // namespace kalvanta
