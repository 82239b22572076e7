#pragma once
// Prints a rich-text document page by page on the whole printable area.
class QTextDocument;
class QPrinter;

namespace kalvanta {

// Prints the document as one job with an empty title on the printer's whole
// printable area: no margins of its own, no header, footer or page numbers;
// a line that does not fit starts a new page, and an empty document prints
// one blank page. Throws std::runtime_error when
// the printer cannot be used. Returns the number of pages printed.
int printReport(const QTextDocument& document, QPrinter& printer);

} // namespace kalvanta
