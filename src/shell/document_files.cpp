#include "document_files.h"

#include <QFile>

#include "document/document_io.h"

namespace kalvanta {

namespace {
std::string localPath(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
} // namespace

doc::Document readReportFile(const QString& path)
{
    // Plain text states no font: it is shown in the view's base font.
    doc::LoadResult loaded = doc::loadDocumentFileWithFormat(localPath(path), doc::DocumentFont{});
    if (loaded.format == doc::SourceFormat::PlainText)
        loaded.document.defaultFont.family.clear();
    return std::move(loaded.document);
}

void writeReportFile(const QString& path, const doc::Document& document)
{
    doc::saveDocumentFile(localPath(path), document);
}

void exportReportFile(const QString& path, const doc::Document& document, formats::ReportFormat format)
{
    formats::saveReport(localPath(path), document, format);
}

} // namespace kalvanta
