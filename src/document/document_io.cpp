#include "document/document_io.h"

#include "document/document_limits.h"
#include "document/rtf_reader.h"
#include "document/rtf_writer.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kalvanta::doc {

namespace {

std::string reason(int error) {
    return std::generic_category().message(error);
}

[[noreturn]] void throwCannotOpen(const std::string& path, int error) {
    throw DocumentError(DocumentError::Kind::CannotOpen,
                        "Cannot open file \"" + path + "\". " + reason(error), path);
}

[[noreturn]] void throwCannotCreate(const std::string& path, int error) {
    throw DocumentError(DocumentError::Kind::CannotCreate,
                        "Cannot create file \"" + path + "\". " + reason(error), path);
}

[[noreturn]] void throwLoadFailed(const std::string& path) {
    throw DocumentError(DocumentError::Kind::LoadFailed, kLoadFailedMessage, path);
}

[[noreturn]] void throwSaveFailed(const std::string& path) {
    throw DocumentError(DocumentError::Kind::SaveFailed, kSaveFailedMessage, path);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports failure (a deferred write error shows up here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

DocumentError::DocumentError(Kind kind, const std::string& message, std::string path)
    : std::runtime_error(message), kind_(kind), path_(std::move(path)) {}

LoadResult readDocument(std::string_view bytes, const DocumentFont& plainTextFont) {
    if (bytes.size() > limits::kMaxDocumentBytes) {
        throwLoadFailed("");
    }
    try {
        LoadResult result;
        RtfReadResult rtf = readRtf(bytes);
        if (rtf.status == RtfStatus::Ok) {
            result.document = std::move(rtf.document);
            result.format = SourceFormat::Rtf;
            return result;
        }
        result.rtfProblem = std::move(rtf.problem);
        rtf.document = Document{};
        std::optional<Document> text = readPlainText(bytes, plainTextFont, &result.textEncoding);
        if (!text) {
            throwLoadFailed("");
        }
        result.document = std::move(*text);
        result.format = SourceFormat::PlainText;
        return result;
    } catch (const std::bad_alloc&) {
        throwLoadFailed("");
    }
}

LoadResult loadDocumentFileWithFormat(const std::string& path, const DocumentFont& plainTextFont) {
    // Opening a pipe without a writer would wait for one: open without
    // waiting, then read normally.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        throwCannotOpen(path, errno);
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags >= 0) {
        ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        throwCannotOpen(path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        throwCannotOpen(path, EISDIR);
    }
    if (S_ISREG(info.st_mode) && static_cast<unsigned long long>(info.st_size) > limits::kMaxDocumentBytes) {
        throwLoadFailed(path);
    }
    std::string bytes;
    try {
        if (S_ISREG(info.st_mode)) {
            bytes.reserve(static_cast<std::size_t>(info.st_size));
        }
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
            if (got < 0) {
                if (errno == EINTR) continue;
                throwLoadFailed(path);
            }
            if (got == 0) break;
            bytes.append(buffer, static_cast<std::size_t>(got));
            // A pipe or a device has no size to check in advance.
            if (bytes.size() > limits::kMaxDocumentBytes) {
                throwLoadFailed(path);
            }
        }
    } catch (const std::bad_alloc&) {
        throwLoadFailed(path);
    }
    try {
        return readDocument(bytes, plainTextFont);
    } catch (const DocumentError&) {
        throwLoadFailed(path);
    }
}

Document loadDocumentFile(const std::string& path, const DocumentFont& plainTextFont) {
    return loadDocumentFileWithFormat(path, plainTextFont).document;
}

void saveDocumentFile(const std::string& path, const Document& document) {
    if (path.empty()) {
        throwCannotCreate(path, ENOENT);
    }
    std::string rtf;
    try {
        rtf = writeRtf(document);
    } catch (const std::bad_alloc&) {
        throwSaveFailed(path);
    }
    saveBytesFile(path, rtf);
}

void saveBytesFile(const std::string& path, std::string_view rtf) {
    if (path.empty()) {
        throwCannotCreate(path, ENOENT);
    }
    // Replace the file a symbolic link points to, not the link.
    std::string target = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        throwCannotCreate(path, EISDIR);
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // A pipe without a reader refuses at once instead of waiting.
        FileDescriptor device(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK));
        if (device.get() < 0) {
            throwCannotCreate(path, errno);
        }
        const int flags = ::fcntl(device.get(), F_GETFL);
        if (flags >= 0) {
            ::fcntl(device.get(), F_SETFL, flags & ~O_NONBLOCK);
        }
        if (!writeAll(device.get(), rtf) || !device.close()) {
            throwSaveFailed(path);
        }
        return;
    }
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        // Renaming would replace a file the user may not write to.
        throwCannotCreate(path, errno);
    }

    std::string temporary = folderOf(target) + "/.kalvanta-XXXXXX";
    FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) {
        throwCannotCreate(path, errno);
    }
    const auto discard = [&] { ::unlink(temporary.c_str()); };
    const mode_t mode = exists ? (existing.st_mode & 07777) : newFileMode();
    if (::fchmod(file.get(), mode) != 0 || !writeAll(file.get(), rtf) || ::fsync(file.get()) != 0 ||
        !file.close()) {
        discard();
        throwSaveFailed(path);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        discard();
        throwSaveFailed(path);
    }
    // Make the rename itself durable; a failure here loses nothing.
    FileDescriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        ::fsync(folder.get());
    }
}

} // namespace kalvanta::doc
