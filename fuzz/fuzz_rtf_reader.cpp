// Fuzz target for opening documents: the RTF reader, and the plain-text
// fallback behind it. Besides "no crash, no leak, no hang" it checks that
// whatever the reader accepts, the writer writes and the reader reads back
// to an equal document, byte-identical when written again.
#include "document/document_io.h"
#include "document/document_limits.h"
#include "document/rtf_reader.h"
#include "document/rtf_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kalvanta::doc;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const RtfReadResult first = readRtf(bytes);
    if (first.status == RtfStatus::Ok) {
        const std::string written = writeRtf(first.document);
        if (written.size() <= limits::kMaxDocumentBytes) {
            const RtfReadResult second = readRtf(written);
            if (second.status != RtfStatus::Ok || !(second.document == first.document)) {
                std::fprintf(stderr, "round trip changed the document (%s)\n", second.problem.c_str());
                std::abort();
            }
            if (writeRtf(second.document) != written) {
                std::fprintf(stderr, "the writer is not deterministic\n");
                std::abort();
            }
        }
    }

    try {
        const LoadResult loaded = readDocument(bytes);
        if ((loaded.format == SourceFormat::Rtf) != (first.status == RtfStatus::Ok)) {
            std::fprintf(stderr, "readDocument disagrees with readRtf\n");
            std::abort();
        }
    } catch (const DocumentError&) {
        // "Failed to Load Stream" is a clear outcome for input past the limits.
    }
    return 0;
}
