#pragma once
// kalvanta-report: writes the analysis report of JSON files to standard
// output, each file as one completed wizard in a freshly started program.
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "numeric/regional_settings.h"

namespace kalvanta::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitArithmetic = 1; // a report ended by an arithmetic error
inline constexpr int kExitBadInput = 2;   // bad command line or bad input file
inline constexpr int kExitOutput = 3;     // standard output or the --rtf file could not be written

struct ToolOptions {
    std::optional<CivilDate> date; // --date; today when absent
    bool help = false;
    bool version = false; // --version
    std::optional<std::string> rtfFile; // --rtf: also save the reports as an RTF document
    // --pdf, --odt, --html: the same document in those formats (builds with Qt only)
    std::optional<std::string> pdfFile;
    std::optional<std::string> odtFile;
    std::optional<std::string> htmlFile;
    std::optional<std::string> workbookFile; // --xlsx: with --history, the histories as a workbook
    std::optional<std::string> saveInput; // --save-input: the record analysed, as an input set
    std::vector<std::string> files;
    std::optional<std::string> tableFile;   // --table: the indicators of every file as one table
    std::optional<std::string> tableFormat; // --table-format: csv, csv-ru, xlsx, jsonl
    unsigned jobs = 0;                      // -j: analyses at once for --table; 0 every core
    bool history = false; // --history: the files and folders are one or more companies' histories
    // A bulk file of the statistics office (--table only).
    std::optional<int> year;          // --year: its reporting year
    std::optional<std::string> okved; // --okved PREFIX
    std::optional<std::string> region; // --region: the INN's first two digits
    std::optional<double> minRevenue; // --min-revenue: 2110 of the year, thousands of roubles
    bool noPercentiles = false;       // --no-percentiles: one pass, flat memory
    bool bulkOptions() const { return year || okved || region || minRevenue || noPercentiles; }
};

// A command line the tool cannot run; what() is the message for the user.
struct UsageError {
    std::string message;
};

// "YYYY-MM-DD" or "DD.MM.YYYY", a real calendar date; nullopt otherwise.
std::optional<CivilDate> parseDateArgument(std::string_view text);

// Throws UsageError.
ToolOptions parseArguments(const std::vector<std::string>& args);

std::string helpText();

// Runs the tool on the arguments (without the program name). Report lines
// go to out, messages to err.
int runReportTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const CivilDate& today);

} // namespace kalvanta::cli
