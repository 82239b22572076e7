#include "document/document_io.h"
#include "document/rtf_writer.h"

#include "report_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvanta::doc {
namespace {

namespace fs = std::filesystem;

class DocumentFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kalvanta-doc-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    static void put(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    template <typename F>
    static DocumentError errorOf(F&& action) {
        try {
            action();
        } catch (const DocumentError& e) {
            return e;
        }
        ADD_FAILURE() << "no DocumentError";
        return DocumentError(DocumentError::Kind::LoadFailed, "none", "");
    }

    fs::path dir_;
};

TEST_F(DocumentFile, SaveThenOpenGivesTheSameDocument) {
    Document d = report_fixture::twoYearReport();
    CharFormat bold;
    bold.bold = true;
    d.paragraphs[2].append("итог", bold);
    saveDocumentFile(path("report.rtf"), d);
    const LoadResult back = loadDocumentFileWithFormat(path("report.rtf"));
    EXPECT_EQ(back.format, SourceFormat::Rtf);
    EXPECT_EQ(back.document, d);
    EXPECT_EQ(loadDocumentFile(path("report.rtf")), d);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"report.rtf"});  // no temporary left
}

TEST_F(DocumentFile, TheNameIsUsedExactlyAsGiven) {
    const Document d = documentFromLines({"a"}, {});
    for (const std::string name : {"report", "notes.txt", "отчёт за 2026.doc", ".hidden"}) {
        saveDocumentFile(path(name), d);
        EXPECT_TRUE(contents(path(name)).starts_with("{\\rtf1")) << name;
    }
    EXPECT_EQ(folderEntries(),
              (std::vector<std::string>{".hidden", "notes.txt", "report", "отчёт за 2026.doc"}));
}

TEST_F(DocumentFile, ExtensionPlaysNoPartInOpening) {
    put(path("rtf.txt"), "{\\rtf1 {\\b bold}\\par}");
    put(path("text.rtf"), "plain\r\nlines\r\n");
    EXPECT_EQ(loadDocumentFileWithFormat(path("rtf.txt")).format, SourceFormat::Rtf);
    EXPECT_EQ(loadDocumentFile(path("rtf.txt")).lines(), std::vector<std::string>{"bold"});
    EXPECT_EQ(loadDocumentFileWithFormat(path("text.rtf")).format, SourceFormat::PlainText);
    EXPECT_EQ(loadDocumentFile(path("text.rtf")).lines(), (std::vector<std::string>{"plain", "lines"}));
}

TEST_F(DocumentFile, SavingReplacesTheOldFileAndKeepsItsPermissions) {
    put(path("r.rtf"), "old");
    ::chmod(path("r.rtf").c_str(), 0640);
    saveDocumentFile(path("r.rtf"), documentFromLines({"new"}, {}));
    EXPECT_EQ(loadDocumentFile(path("r.rtf")).lines(), std::vector<std::string>{"new"});
    struct stat info {};
    ASSERT_EQ(::stat(path("r.rtf").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(DocumentFile, SavingThroughALinkReplacesTheLinkedFile) {
    put(path("target.rtf"), "old");
    fs::create_symlink(path("target.rtf"), path("link.rtf"));
    saveDocumentFile(path("link.rtf"), documentFromLines({"new"}, {}));
    EXPECT_TRUE(fs::is_symlink(path("link.rtf")));
    EXPECT_EQ(loadDocumentFile(path("target.rtf")).lines(), std::vector<std::string>{"new"});
}

TEST_F(DocumentFile, FilesThatCannotBeCreatedNameTheFile) {
    fs::create_directory(path("folder"));
    struct Case {
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {path("missing/r.rtf"),
         "Cannot create file \"" + path("missing/r.rtf") + "\". No such file or directory"},
        {path("folder"), "Cannot create file \"" + path("folder") + "\". Is a directory"},
        {"", "Cannot create file \"\". No such file or directory"},
    };
    for (const Case& c : cases) {
        const DocumentError e = errorOf([&] { saveDocumentFile(c.file, Document{}); });
        EXPECT_EQ(e.kind(), DocumentError::Kind::CannotCreate) << c.file;
        EXPECT_EQ(e.what(), c.message);
        EXPECT_EQ(e.path(), c.file);
    }
}

// Permission checks do not apply to root, so as root the case runs in a
// child process that has given up its privileges.
template <typename F>
void asUnprivilegedUser(F&& check) {
    if (::geteuid() != 0) {
        check();
        return;
    }
    EXPECT_EXIT(
        {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(3);
            check();
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(DocumentFile, ReadOnlyFolderAndFileKeepThePreviousFile) {
    fs::create_directory(path("ro"));
    put(path("ro/old.rtf"), "previous");
    put(path("rofile.rtf"), "read only");
    ::chmod(path("ro/old.rtf").c_str(), 0666);
    ::chmod(path("ro").c_str(), 0555);
    ::chmod(path("rofile.rtf").c_str(), 0444);
    const std::string folderFile = path("ro/old.rtf");
    const std::string readOnlyFile = path("rofile.rtf");
    asUnprivilegedUser([&] {
        for (const std::string& file : {folderFile, readOnlyFile}) {
            const DocumentError e =
                errorOf([&] { saveDocumentFile(file, documentFromLines({"new"}, {})); });
            EXPECT_EQ(e.kind(), DocumentError::Kind::CannotCreate);
            EXPECT_EQ(e.what(), "Cannot create file \"" + file + "\". Permission denied");
        }
    });
    EXPECT_EQ(contents(folderFile), "previous");
    EXPECT_EQ(contents(readOnlyFile), "read only");
}

TEST_F(DocumentFile, FailedWriteReportsFailedToSaveStreamAndKeepsThePreviousFile) {
    put(path("r.rtf"), "previous report");
    // A file size limit makes the write fail part-way, as a full disk would.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const DocumentError e =
        errorOf([&] { saveDocumentFile(path("r.rtf"), report_fixture::twoYearReport()); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(e.kind(), DocumentError::Kind::SaveFailed);
    EXPECT_STREQ(e.what(), "Failed to Save Stream");
    EXPECT_EQ(e.path(), path("r.rtf"));
    EXPECT_EQ(contents(path("r.rtf")), "previous report");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"r.rtf"});
}

TEST_F(DocumentFile, FullDeviceReportsFailedToSaveStream) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const DocumentError e = errorOf([] { saveDocumentFile("/dev/full", documentFromLines({"x"}, {})); });
    EXPECT_EQ(e.kind(), DocumentError::Kind::SaveFailed);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));  // written in place, never replaced
}

TEST_F(DocumentFile, FilesThatCannotBeOpenedNameTheFile) {
    fs::create_directory(path("folder"));
    struct Case {
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {path("none.rtf"), "Cannot open file \"" + path("none.rtf") + "\". No such file or directory"},
        {path("folder"), "Cannot open file \"" + path("folder") + "\". Is a directory"},
    };
    for (const Case& c : cases) {
        const DocumentError e = errorOf([&] { loadDocumentFile(c.file); });
        EXPECT_EQ(e.kind(), DocumentError::Kind::CannotOpen);
        EXPECT_EQ(e.what(), c.message);
        EXPECT_EQ(e.path(), c.file);
    }
    put(path("secret.rtf"), "x");
    ::chmod(path("secret.rtf").c_str(), 0);
    const std::string secret = path("secret.rtf");
    asUnprivilegedUser([&] {
        const DocumentError e = errorOf([&] { loadDocumentFile(secret); });
        EXPECT_EQ(e.kind(), DocumentError::Kind::CannotOpen);
        EXPECT_EQ(e.what(), "Cannot open file \"" + secret + "\". Permission denied");
    });
}

TEST_F(DocumentFile, EmptyFileOpensAsAnEmptyDocument) {
    put(path("empty"), "");
    const LoadResult r = loadDocumentFileWithFormat(path("empty"));
    EXPECT_EQ(r.format, SourceFormat::PlainText);
    EXPECT_TRUE(r.document.paragraphs.empty());
}

TEST_F(DocumentFile, FileOf200MegabytesFailsToLoadWithoutBeingRead) {
    {
        std::ofstream out(path("huge.rtf"), std::ios::binary);
        out << "{\\rtf1 ";
    }
    fs::resize_file(path("huge.rtf"), 200u * 1024 * 1024);  // sparse: no disk space used
    const DocumentError e = errorOf([&] { loadDocumentFile(path("huge.rtf")); });
    EXPECT_EQ(e.kind(), DocumentError::Kind::LoadFailed);
    EXPECT_STREQ(e.what(), "Failed to Load Stream");
    EXPECT_EQ(e.path(), path("huge.rtf"));
}

TEST_F(DocumentFile, PipesNeverLeaveTheProgramWaiting) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    const LoadResult r = loadDocumentFileWithFormat(path("pipe"));
    EXPECT_TRUE(r.document.paragraphs.empty());
    // Saving into it without a reader is refused at once, not left waiting.
    const DocumentError e = errorOf([&] { saveDocumentFile(path("pipe"), documentFromLines({"x"}, {})); });
    EXPECT_EQ(e.kind(), DocumentError::Kind::CannotCreate);
    EXPECT_TRUE(fs::is_fifo(path("pipe")));
}

TEST_F(DocumentFile, EndlessDeviceStopsAtTheSizeLimit) {
    if (!fs::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
    const DocumentError e = errorOf([] { loadDocumentFile("/dev/zero"); });
    EXPECT_EQ(e.kind(), DocumentError::Kind::LoadFailed);
}

} // namespace
} // namespace kalvanta::doc
