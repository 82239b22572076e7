#pragma once
// The report document of a run saved in each format asked for: RTF always,
// PDF, OpenDocument text and HTML where the tool was built with Qt.
#include <iosfwd>

#include "document/document.h"
#include "report_tool.h"

namespace kalvanta::cli {

// Whether --pdf, --odt and --html can be written by this build.
bool documentFormatsAvailable();

// Saves the document under every name of --rtf, --pdf, --odt and --html,
// each atomically. Stops at the first that fails, with its message on err,
// and returns false then.
bool writeDocumentFiles(const ToolOptions& options, const doc::Document& document, std::ostream& err);

} // namespace kalvanta::cli
