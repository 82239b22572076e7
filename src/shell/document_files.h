#pragma once
// Reading and writing report files for the Open and Save as commands.
#include <QString>

#include "document/document.h"
#include "report_formats/report_formats.h"

namespace kalvanta {

// Reads a report: RTF, or plain text when the file is not valid RTF (the
// name's extension plays no part). Throws std::runtime_error with the text
// the user sees: a message naming the file when it cannot be read, or
// "Failed to Load Stream".
doc::Document readReportFile(const QString& path);

// Writes a report as RTF under exactly the given name, atomically, so a
// failed save leaves an earlier file whole. Throws std::runtime_error with a
// message naming the file when it cannot be created, or "Failed to Save Stream".
void writeReportFile(const QString& path, const doc::Document& document);

// Writes a report in another format under exactly the given name,
// atomically, with the same messages; std::runtime_error as well when Qt
// cannot make the file.
void exportReportFile(const QString& path, const doc::Document& document, formats::ReportFormat format);

} // namespace kalvanta
