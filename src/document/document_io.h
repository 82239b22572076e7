#pragma once
// Opening and saving report documents.
//
// Opening: a file that starts with "{\rtf" and parses as RTF is RTF; any
// other file, and RTF with broken syntax or past a limit of
// document_limits.h, is read again from its start as plain text
// (plain_text.h). The name's extension plays no part. When neither reading
// succeeds the error is "Failed to Load Stream".
//
// Saving writes RTF (rtf_writer.h) atomically: into a temporary file in the
// target's folder, flushed to disk, then renamed over the target, so a
// failed save leaves the previous file whole. The name is used exactly as
// given (no extension is added). A failed write is "Failed to Save Stream".
#include "document/document.h"
#include "document/plain_text.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvanta::doc {

inline constexpr const char* kLoadFailedMessage = "Failed to Load Stream";
inline constexpr const char* kSaveFailedMessage = "Failed to Save Stream";

class DocumentError : public std::runtime_error {
public:
    enum class Kind {
        CannotOpen,    // the file cannot be opened for reading: message names the file
        CannotCreate,  // the file cannot be created for writing: message names the file
        LoadFailed,    // "Failed to Load Stream"
        SaveFailed,    // "Failed to Save Stream"
    };
    DocumentError(Kind kind, const std::string& message, std::string path);
    Kind kind() const noexcept { return kind_; }
    // The file concerned (empty for readDocument on bytes).
    const std::string& path() const noexcept { return path_; }

private:
    Kind kind_;
    std::string path_;
};

enum class SourceFormat { Rtf, PlainText };

struct LoadResult {
    Document document;
    SourceFormat format = SourceFormat::Rtf;
    // Why the bytes were not taken as RTF (empty when they were).
    std::string rtfProblem;
    // The text's encoding when read as plain text.
    TextEncoding textEncoding = TextEncoding::Utf8;
};

// Reads RTF or, failing that, plain text (whose paragraphs get
// `plainTextFont` as the default font: plain text states none).
// Throws DocumentError(LoadFailed) when neither works.
LoadResult readDocument(std::string_view bytes, const DocumentFont& plainTextFont = {});

// Reads a file as readDocument does. Throws DocumentError:
//   CannotOpen   'Cannot open file "<path>". <reason>' (missing, unreadable, a folder)
//   LoadFailed   "Failed to Load Stream" (read error, larger than the limit,
//                neither RTF nor plain text)
LoadResult loadDocumentFileWithFormat(const std::string& path, const DocumentFont& plainTextFont = {});
Document loadDocumentFile(const std::string& path, const DocumentFont& plainTextFont = {});

// Saves the document as RTF under exactly `path`. Throws DocumentError:
//   CannotCreate 'Cannot create file "<path>". <reason>' (no such folder, no
//                permission, a folder or a read-only file of that name)
//   SaveFailed   "Failed to Save Stream" (write, flush or rename failed: disk
//                full, file size limit, I/O error); the previous file is untouched.
// A target that is a device or a pipe (not a regular file) is written in
// place, since it cannot be replaced by renaming.
void saveDocumentFile(const std::string& path, const Document& document);

// Saves any bytes under exactly `path` the way saveDocumentFile saves RTF:
// atomically, with the same errors. Used for input sets.
void saveBytesFile(const std::string& path, std::string_view bytes);

} // namespace kalvanta::doc
