// The writer's files opened by a real word processor: LibreOffice converts
// them to UTF-8 text (and to its own RTF, which this reader reads back).
// Each LibreOffice start costs over a second, so all files go in one call.
#include "document/document_io.h"
#include "document/rtf_reader.h"

#include "report_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace kalvanta::doc {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::map<std::string, Document> interopDocuments() {
    std::map<std::string, Document> docs;
    docs["two-year-report"] = report_fixture::twoYearReport();

    Document formatted;
    formatted.defaultFont = {"DejaVu Sans", 21, kCyrillicCharset};
    formatted.appendLine(" Kalvanta  version 4.5  ");
    formatted.appendLine("       Результаты расчета ");
    formatted.appendLine(" ");
    Paragraph mixed;
    CharFormat bold;
    bold.bold = true;
    CharFormat red;
    red.color = Color{255, 0, 0};
    red.family = "Liberation Mono";
    red.sizeHalfPoints = 28;
    mixed.append("Итоговый рейтинг   ");
    mixed.append("49", bold);
    mixed.append("   баллов   ", red);
    formatted.paragraphs.push_back(mixed);
    formatted.appendLine("    ведущие, завершающие и   повторные   пробелы    ");
    formatted.appendLine("Символы: № « » — € ё Ё { } \\ ; 日本 😀");
    formatted.appendLine("колонка\tпосле табуляции");
    formatted.appendLine("");
    formatted.appendLine("последняя строка ");
    docs["formatted"] = formatted;
    return docs;
}

class LibreOfficeInterop : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
        }
        std::string pattern = (fs::temp_directory_path() / "kalvanta-lo-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        fs::create_directories(dir_ / "in");
    }
    void TearDown() override {
        if (!dir_.empty()) {
            std::error_code ignored;
            fs::remove_all(dir_, ignored);
        }
    }

    // Converts every file of in/ with one LibreOffice run; its own profile
    // and HOME keep it away from any user's settings.
    void convertAll(const std::string& filter, const std::string& outDir) {
        const std::string command = "cd '" + dir_.string() + "' && HOME='" + dir_.string() +
                                    "' timeout 300 soffice -env:UserInstallation=file://" +
                                    dir_.string() + "/profile --headless --convert-to '" + filter +
                                    "' --outdir '" + outDir + "' in/*.rtf >'" + outDir +
                                    ".log' 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << readAll(dir_ / (outDir + ".log"));
    }

    fs::path dir_;
};

TEST_F(LibreOfficeInterop, OpensTheWritersFilesWithTheSameLines) {
    const auto docs = interopDocuments();
    for (const auto& [name, doc] : docs) {
        saveDocumentFile((dir_ / "in" / (name + ".rtf")).string(), doc);
    }
    convertAll("txt:Text (encoded):UTF8", "txt");
    for (const auto& [name, doc] : docs) {
        std::string text = readAll(dir_ / "txt" / (name + ".txt"));
        ASSERT_TRUE(text.starts_with("\xEF\xBB\xBF")) << name;  // LibreOffice writes a BOM
        text.erase(0, 3);
        const std::vector<std::string> lines = splitLines(text);
        const std::vector<std::string> expected = doc.lines();
        ASSERT_EQ(lines.size(), expected.size()) << name;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i], expected[i]) << name << " line " << i + 1;
        }
    }
}

TEST_F(LibreOfficeInterop, LibreOfficesOwnRtfOfTheWritersFilesReadsBack) {
    const auto docs = interopDocuments();
    for (const auto& [name, doc] : docs) {
        saveDocumentFile((dir_ / "in" / (name + ".rtf")).string(), doc);
    }
    convertAll("rtf", "rtf");
    for (const auto& [name, doc] : docs) {
        const RtfReadResult back = readRtf(readAll(dir_ / "rtf" / (name + ".rtf")));
        ASSERT_EQ(back.status, RtfStatus::Ok) << name << ": " << back.problem;
        EXPECT_EQ(back.document.lines(), doc.lines()) << name;
    }
    const RtfReadResult back = readRtf(readAll(dir_ / "rtf" / "formatted.rtf"));
    const Paragraph& mixed = back.document.paragraphs.at(3);
    ASSERT_EQ(mixed.runs.size(), 3u);
    EXPECT_TRUE(mixed.runs[1].format.bold);
    EXPECT_EQ(mixed.runs[2].format.color, (Color{255, 0, 0}));
    EXPECT_EQ(mixed.runs[2].format.family, "Liberation Mono");
    EXPECT_EQ(mixed.runs[2].format.sizeHalfPoints, 28);
}

} // namespace
} // namespace kalvanta::doc
