#include "document_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

#include "document/code_page.h"
#include "document/document_limits.h"
#include "document/rtf_reader.h"
#include "document/rtf_writer.h"
#include "document/utf8.h"

namespace kalvanta {

namespace {

std::string named(const char* what, const QString& path, const QString& reason)
{
    QString text = QStringLiteral("%1 \"%2\"").arg(QString::fromUtf8(what), QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        text += QStringLiteral(". ") + reason;
    return text.toStdString();
}

// Plain text: UTF-8, or cp1251 where the bytes are not valid UTF-8.
doc::Document plainText(std::string_view bytes)
{
    std::string text;
    bool valid = true;
    for (std::size_t i = 0; i < bytes.size();) {
        const doc::Utf8Char c = doc::decodeUtf8(bytes, i);
        if (c.codePoint == doc::kReplacementCharacter && bytes.substr(i, 3) != "\xEF\xBF\xBD") {
            valid = false;
            break;
        }
        i += c.length;
    }
    if (valid) {
        text.assign(bytes);
        if (text.starts_with("\xEF\xBB\xBF"))
            text.erase(0, 3);
    } else {
        for (unsigned char byte : bytes)
            doc::appendUtf8(text, doc::cp1251CodePoint(byte));
    }
    doc::Document document;
    for (const std::string& line : doc::splitLines(text))
        document.appendLine(line);
    return document;
}

} // namespace

doc::Document readReportFile(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        throw std::runtime_error(named("Cannot open file", path, file.errorString()));
    if (static_cast<std::size_t>(file.size()) > doc::limits::kMaxDocumentBytes)
        throw std::runtime_error("Failed to Load Stream");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(named("Cannot read file", path, file.errorString()));
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    doc::RtfReadResult rtf = doc::readRtf(view);
    if (rtf.status == doc::RtfStatus::Ok)
        return std::move(rtf.document);
    if (rtf.status == doc::RtfStatus::LimitExceeded)
        throw std::runtime_error("Failed to Load Stream");
    return plainText(view);
}

void writeReportFile(const QString& path, const doc::Document& document)
{
    const std::string rtf = doc::writeRtf(document);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(named("Cannot create file", path, file.errorString()));
    if (file.write(rtf.data(), static_cast<qint64>(rtf.size())) != static_cast<qint64>(rtf.size()) || !file.commit())
        throw std::runtime_error("Failed to Save Stream");
}

} // namespace kalvanta
