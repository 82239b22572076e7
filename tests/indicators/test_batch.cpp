// Many files into rows: folders walked, bad files as rows with their error,
// input order whatever the number of threads, cancelling and a failing
// consumer; and kalvanta-report --table as the user runs it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include <array>
#include <cstdio>

#include "indicators/batch.h"
#include "indicators/table_writers.h"
#include "table_test_support.h"

extern char** environ;

namespace {

using namespace kalvanta::indicators;
using namespace kalvanta::indicators::testing;

std::string cellString(const IndicatorRow& row, const char* id)
{
    const Cell& c = row.cells.at(columnIndex(id));
    if (const double* d = std::get_if<double>(&c))
        return numberText(*d);
    if (const std::string* s = std::get_if<std::string>(&c))
        return *s;
    return {};
}

TEST(InputFiles, FoldersAreWalkedAndNamedFilesTakenAsTheyAre)
{
    TempFolder dir;
    writeFile(dir / "set/b.json", "{}");
    writeFile(dir / "set/a.json", "{}");
    writeFile(dir / "set/sub/c.JSON", "{}");
    writeFile(dir / "set/readme.txt", "not an input");
    writeFile(dir / "named.txt", "{}");
    std::filesystem::create_directories(dir.path() / "empty/sub");
    writeFile(dir / "empty/sub/notes.txt", "x");

    const InputFileList list =
        collectInputFiles({dir / "named.txt", dir / "set", dir / "empty", dir / "missing.json"});
    const std::vector<std::string> files = {dir / "named.txt", dir / "set/a.json", dir / "set/b.json",
                                            dir / "set/sub/c.JSON"};
    EXPECT_EQ(list.files, files);
    ASSERT_EQ(list.problems.size(), 2u);
    std::string extensions;
    for (const std::string& e : inputFileExtensions())
        extensions += (extensions.empty() ? "" : ", ") + e;
    EXPECT_EQ(list.problems[0], dir / "empty" + ": the folder holds no input files (" + extensions + ")");
    EXPECT_EQ(list.problems[1], dir / "missing.json" + ": no such file or folder");
}

// Files whose rows are known: every way a file ends.
struct Sample {
    const char* name;
    const char* text; // nullptr: a copy of the two-year example; "" a folder in its place
    RowStatus status;
    const char* errorPart;
};

const Sample kSamples[] = {
    {"two.json", nullptr, RowStatus::Analysed, ""},
    {"zero.json", kZeroAnalysis, RowStatus::ArithmeticError, "Floating point division by zero."},
    {"broken.json", "{\"YearCount\": 1,", RowStatus::Refused, "broken.json"},
    {"three.json", "{\"YearCount\": 3}", RowStatus::Refused, "\"YearCount\" must be 1 or 2"},
    {"unknown.json", "{\"Turnover\": 1}", RowStatus::Refused, "Turnover"},
    {"folder.json", "", RowStatus::Refused, "folder.json"},
};

std::vector<std::string> makeSamples(const TempFolder& dir, int copies)
{
    std::vector<std::string> files;
    for (const Sample& s : kSamples) {
        const std::string path = dir / s.name;
        if (!s.text)
            writeFile(path, readFile(kTwoYear));
        else if (!*s.text)
            std::filesystem::create_directories(path);
        else
            writeFile(path, s.text);
    }
    for (int c = 0; c < copies; ++c)
        for (const Sample& s : kSamples)
            files.push_back(dir / s.name);
    return files;
}

TEST(Batch, EveryFileIsARowWithItsStatusAndError)
{
    TempFolder dir;
    const std::vector<std::string> files = makeSamples(dir, 1);
    std::vector<IndicatorRow> rows;
    const BatchSummary summary =
        runBatch(files, BatchControl{}, [&](std::size_t, IndicatorRow& row) { rows.push_back(row); });
    ASSERT_EQ(rows.size(), std::size(kSamples));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(kSamples[i].name);
        EXPECT_EQ(rows[i].status, kSamples[i].status);
        EXPECT_EQ(cellString(rows[i], "status"), statusText(kSamples[i].status));
        EXPECT_EQ(cellString(rows[i], "file"), files[i]);
        EXPECT_NE(cellString(rows[i], "error").find(kSamples[i].errorPart), std::string::npos)
            << cellString(rows[i], "error");
        EXPECT_EQ(cellString(rows[i], "z_score_y2").empty(), kSamples[i].status != RowStatus::Analysed);
    }
    EXPECT_EQ(cellString(rows[0], "z_score_y2"), "1.82");
    EXPECT_EQ(cellString(rows[1], "ended_in_section"), "2");
    EXPECT_EQ(cellString(rows[1], "own_working_capital_surplus_y1_start"), "0"); // section 1 is filled
    EXPECT_EQ(cellString(rows[1], "autonomy_ratio_y1_start"), ""); // section 2 ended
    EXPECT_EQ(summary.analysed, 1u);
    EXPECT_EQ(summary.arithmeticErrors, 1u);
    EXPECT_EQ(summary.refused, 4u);
}

// A statement file is a row like an input set, with what only the file knows.
TEST(Batch, StatementFilesGiveTheirTaxNumberYearAndNotes)
{
    struct Case {
        const char* file;
        const char* taxNumber;
        const char* year;
        bool notes;
    };
    const Case cases[] = {
        {"examples/statements/NO_BUHOTCH_worked-example.xml", "7701234560", "2024", true},
        {"examples/worked-example.json", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const IndicatorRow row = analyseFile(std::string(KALVANTA_SOURCE_DIR) + "/" + c.file);
        EXPECT_EQ(row.status, RowStatus::Analysed);
        EXPECT_EQ(cellString(row, "tax_number"), c.taxNumber);
        EXPECT_EQ(cellString(row, "reporting_year"), c.year);
        EXPECT_EQ(cellString(row, "notes").empty(), !c.notes);
    }
}

TEST(Batch, RowsComeInInputOrderWhateverTheThreads)
{
    TempFolder dir;
    const std::vector<std::string> files = makeSamples(dir, 40);
    const auto run = [&](unsigned jobs) {
        std::string table;
        std::size_t expected = 0;
        BatchControl control;
        control.jobs = jobs;
        std::size_t progressCalls = 0;
        control.progress = [&](std::size_t done, std::size_t total) {
            ++progressCalls;
            EXPECT_EQ(done, progressCalls);
            EXPECT_EQ(total, files.size());
        };
        const BatchSummary s = runBatch(files, control, [&](std::size_t index, IndicatorRow& row) {
            EXPECT_EQ(index, expected++);
            table += jsonLine(row);
        });
        EXPECT_EQ(s.rows(), files.size());
        EXPECT_FALSE(s.cancelled);
        return table;
    };
    const std::string one = run(1);
    for (unsigned jobs : {2u, 3u, 8u, 0u})
        EXPECT_EQ(run(jobs), one) << jobs << " threads";
}

TEST(Batch, CancellingKeepsTheRowsOfTheFilesBeforeIt)
{
    TempFolder dir;
    const std::vector<std::string> files = makeSamples(dir, 100);
    for (unsigned jobs : {1u, 3u}) {
        std::atomic<bool> cancel{false};
        BatchControl control;
        control.jobs = jobs;
        control.cancel = &cancel;
        std::vector<std::size_t> indices;
        const BatchSummary s = runBatch(files, control, [&](std::size_t index, IndicatorRow&) {
            indices.push_back(index);
            if (indices.size() == 25)
                cancel = true;
        });
        EXPECT_TRUE(s.cancelled) << jobs;
        EXPECT_GE(indices.size(), 25u);
        EXPECT_LT(indices.size(), files.size());
        EXPECT_EQ(s.rows(), indices.size());
        for (std::size_t i = 0; i < indices.size(); ++i)
            ASSERT_EQ(indices[i], i);
    }
}

TEST(Batch, AFailingConsumerStopsTheRunAndItsErrorComesBack)
{
    TempFolder dir;
    const std::vector<std::string> files = makeSamples(dir, 50);
    for (unsigned jobs : {1u, 2u}) {
        std::size_t delivered = 0;
        BatchControl control;
        control.jobs = jobs;
        EXPECT_THROW(runBatch(files, control,
                              [&](std::size_t, IndicatorRow&) {
                                  if (++delivered == 5)
                                      throw TableFileError("disc full");
                              }),
                     TableFileError);
        EXPECT_EQ(delivered, 5u);
    }
}

// kalvanta-report --table as a process: exit status, standard error, the file.
struct ToolRun {
    int status;
    std::string err;
};

ToolRun runTool(const std::string& args)
{
    const std::string command = std::string(KALVANTA_REPORT_EXE) + " " + args + " 2>&1 >/dev/null";
    ToolRun r{};
    FILE* p = ::popen(command.c_str(), "r");
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p))
        r.err.append(buf.data(), n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(ReportToolTable, CommandLinesAndWhatTheyLeave)
{
    TempFolder dir;
    writeFile(dir / "in/a.json", readFile(kTwoYear));
    writeFile(dir / "in/b/one.json", readFile(kOneYear));
    writeFile(dir / "in/c.json", kZeroAnalysis);
    writeFile(dir / "bad/x.json", "not json");
    std::filesystem::create_directories(dir.path() / "void");
    const std::string in = dir / "in";

    struct Case {
        std::string args;
        int status;
        const char* err;    // part of standard error
        std::string table;  // the file that must exist afterwards, "" none
        int lines;          // its lines
    };
    const Case cases[] = {
        {"--table " + (dir / "t.csv") + " " + in, 1,
         "3 files: 2 analysed, 1 ended by an arithmetic error, 0 refused", dir / "t.csv", 4},
        {"-j 1 --table " + (dir / "t1.jsonl") + " " + kTwoYear + " " + (dir / "bad"), 2,
         "2 files: 1 analysed, 0 ended by an arithmetic error, 1 refused", dir / "t1.jsonl", 2},
        {"--table " + (dir / "ru.csv") + " --table-format csv-ru " + kOneYear, 0,
         "1 file: 1 analysed, 0 ended by an arithmetic error, 0 refused", dir / "ru.csv", 2},
        {"--table " + (dir / "v.csv") + " " + (dir / "void"), 2, "the folder holds no input files", "", 0},
        {"--table " + (dir / "w.csv") + " " + (dir / "void") + " " + kOneYear, 2, "holds no input files",
         dir / "w.csv", 2},
        {"--table " + (dir / "t.ods") + " " + in, 2, "cannot tell the table format", "", 0},
        {"--table " + (dir / "t.csv") + " --table-format xls " + in, 2, "unknown table format \"xls\"", "", 0},
        {"--table " + (dir / "no/t.csv") + " " + in, 3, "cannot write the table", "", 0},
        {"--table " + (dir / "in") + " --table-format csv " + kTwoYear, 3, "it is a folder", "", 0},
        {"-j 0 --table " + (dir / "t.csv") + " " + in, 2, "invalid number \"0\" for -j", "", 0},
        {"-j 2 " + kTwoYear, 2, "go with --table", "", 0},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir / "t.csv");
        const ToolRun r = runTool(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        if (!c.table.empty()) {
            const std::string text = readFile(c.table);
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.lines) << c.args;
        }
        EXPECT_EQ(dir.temporaries(), 0) << c.args;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "v.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir / "t.ods"));
}

TEST(ReportToolTable, OneThreadAndTwoWriteTheSameBytes)
{
    TempFolder dir;
    for (int i = 0; i < 30; ++i)
        writeFile(dir / ("in/" + std::to_string(100 + i) + ".json"),
                  i % 7 == 3 ? kZeroAnalysis : readFile(i % 2 ? kOneYear : kTwoYear));
    for (const char* ext : {"csv", "jsonl"}) {
        const std::string one = dir / (std::string("one.") + ext), two = dir / (std::string("two.") + ext);
        EXPECT_EQ(runTool("-j 1 --table " + one + " " + (dir / "in")).status, 1);
        EXPECT_EQ(runTool("-j 2 --table " + two + " " + (dir / "in")).status, 1);
        EXPECT_EQ(readFile(one), readFile(two)) << ext;
        EXPECT_FALSE(readFile(one).empty());
    }
}

} // namespace

namespace {

// The progress line is for a person at a terminal; a pipe gets the summary only.
TEST(ReportToolTable, ProgressLineOnlyWhenStandardErrorIsATerminal)
{
    if (std::system("command -v script >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "script (bsdutils) is not installed";
    TempFolder dir;
    for (int i = 0; i < 6; ++i)
        writeFile(dir / ("in/" + std::to_string(i) + ".json"), readFile(kOneYear));
    const std::string command = std::string(KALVANTA_REPORT_EXE) + " --table " + (dir / "t.csv") + " " + (dir / "in");
    const ToolRun piped = runTool("--table " + (dir / "t.csv") + " " + (dir / "in"));
    EXPECT_EQ(piped.err.find(" of 6 files"), std::string::npos) << piped.err;
    // script runs the tool on a pseudo-terminal and copies what it shows.
    std::string shown;
    FILE* p = ::popen(("script -qec '" + command + "' /dev/null").c_str(), "r");
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p))
        shown.append(buf.data(), n);
    EXPECT_EQ(WEXITSTATUS(::pclose(p)), 0);
    EXPECT_NE(shown.find("\rkalvanta-report: 6 of 6 files"), std::string::npos) << shown;
    // The line is cleared before the summary.
    EXPECT_NE(shown.find("\r\033[Kkalvanta-report: 6 files: 6 analysed"), std::string::npos) << shown;
}

} // namespace

namespace {

// Ctrl+C stops the run between files and leaves neither a table nor a temporary file.
TEST(ReportToolTable, AnInterruptedRunLeavesNoFile)
{
    TempFolder dir;
    writeFile(dir / "in/0.json", readFile(kOneYear));
    const std::string pipe = dir / "in/1.json"; // holds its reader until the test is ready
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    writeFile(dir / "in/2.json", readFile(kOneYear));
    writeFile(dir / "old.csv", "previous table");

    std::vector<std::string> args = {KALVANTA_REPORT_EXE, "-j", "1", "--table", dir / "old.csv", dir / "in/0.json",
                                     pipe, dir / "in/2.json"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, (dir / "err.txt").c_str(), O_WRONLY | O_CREAT, 0600);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // Opening the pipe's writing end succeeds once the tool is reading it.
    int writer = -1;
    while ((writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK)) < 0)
        std::this_thread::yield();
    ::kill(pid, SIGINT);
    ::close(writer);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_NE(readFile(dir / "err.txt").find("the table was not written"), std::string::npos);
    EXPECT_EQ(readFile(dir / "old.csv"), "previous table");
    EXPECT_EQ(dir.temporaries(), 0);
}

} // namespace
