#include "document_outputs.h"

#include <ostream>
#include <stdexcept>

#include "document/document_io.h"
#ifdef KALVANTA_HAVE_REPORT_FORMATS
#include "report_formats/report_formats.h"
#endif

namespace kalvanta::cli {

namespace {

bool tryWrite(const std::string& path, std::ostream& err, const auto& write)
{
    try {
        write();
        return true;
    } catch (const doc::DocumentError& e) {
        // "Cannot create file" names the file already; "Failed to Save Stream" does not.
        err << "kalvanta-report: " << (e.kind() == doc::DocumentError::Kind::CannotCreate ? "" : path + ": ")
            << e.what() << "\n";
    } catch (const std::runtime_error& e) {
        err << "kalvanta-report: " << path << ": " << e.what() << "\n";
    }
    return false;
}

} // namespace

#ifdef KALVANTA_HAVE_REPORT_FORMATS

bool documentFormatsAvailable() { return true; }

bool writeDocumentFiles(const ToolOptions& options, const doc::Document& document, std::ostream& err)
{
    using formats::ReportFormat;
    const std::pair<const std::optional<std::string>*, ReportFormat> outputs[] = {
        {&options.rtfFile, ReportFormat::Rtf},
        {&options.pdfFile, ReportFormat::Pdf},
        {&options.odtFile, ReportFormat::Odt},
        {&options.htmlFile, ReportFormat::Html},
    };
    for (const auto& [file, format] : outputs) {
        if (!*file)
            continue;
        // Init-captures: clang 14 cannot capture a structured binding itself.
        const std::string& path = **file;
        if (!tryWrite(path, err, [&document, &path, format = format] { formats::saveReport(path, document, format); }))
            return false;
    }
    return true;
}

#else

bool documentFormatsAvailable() { return false; }

bool writeDocumentFiles(const ToolOptions& options, const doc::Document& document, std::ostream& err)
{
    // The other formats are refused on the command line already.
    return !options.rtfFile
           || tryWrite(*options.rtfFile, err, [&] { doc::saveDocumentFile(*options.rtfFile, document); });
}

#endif

} // namespace kalvanta::cli
