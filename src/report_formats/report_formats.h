#pragma once
// The report document as PDF, OpenDocument text and HTML, written by Qt, and
// the one call that saves it in any of the report formats.
//
// PDF: A4 pages, the text in the document's own fonts at the size the
// report view shows them (laid out at 96 dots per inch and scaled to the
// writer's resolution). Pages are portrait unless the widest line would have
// to shrink below 85 % there (a history's years side by side); a line still
// too long for the page makes the whole text smaller rather than wrap; a line is never cut by a page edge,
// and every page carries "Страница N из M" below its text. The fonts are
// embedded with their Unicode mapping, so the text can be searched and copied.
// OpenDocument text (.odt) and HTML keep each paragraph with its fonts.
#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

#include "document/document.h"

namespace kalvanta::formats {

enum class ReportFormat { Rtf, Pdf, Odt, Html };

// By the name's suffix: .rtf, .pdf, .odt, .html or .htm, in any case;
// nullopt for any other name.
std::optional<ReportFormat> formatOfSuffix(const QString& path);

// The page footer, "Страница 1 из 3".
QString pageFooter(int page, int pages);

// The file's bytes. pdfBytes also gives the number of pages.
QByteArray pdfBytes(const doc::Document& document, int* pages = nullptr);
QByteArray odtBytes(const doc::Document& document);
QByteArray htmlBytes(const doc::Document& document);

// Saves under exactly `path`, atomically (saveDocumentFile for RTF,
// saveBytesFile for the others), so a failed save leaves an earlier file
// whole. Throws doc::DocumentError as those do, and std::runtime_error when
// Qt cannot make the file's content.
void saveReport(const std::string& path, const doc::Document& document, ReportFormat format);

// Qt's text layout needs a QGuiApplication: makes one, once, where the
// process has none (a command-line tool). It uses the offscreen platform
// unless QT_QPA_PLATFORM names another, so no display is needed. Throws
// std::runtime_error when the process has a QCoreApplication without GUI.
void ensureGuiApplication();

} // namespace kalvanta::formats
