#include "report_tool.h"

#include <charconv>
#include <ostream>

#include "analysis/analysis_results.h"
#include "analysis/report_builder.h"
#include "analysis/report_sink.h"
#include "document/document_io.h"
#include "history/history_report.h"
#include "inputs/field_tables.h"
#include "inputs/input_set_writer.h"
#include "inputs/json_loader.h"
#include "kalvanta_version.h"
#include "numeric/float_errors.h"
#include "bulk_mode.h"
#include "document_outputs.h"
#include "history_workbook.h"
#include "table_mode.h"
#include "statements/statement_import.h"

namespace kalvanta::cli {

namespace {

constexpr std::string_view kProgram = "kalvanta-report";

// Report lines straight to the stream, so that the lines written before an
// arithmetic error are out when the error is reported.
// With --rtf it also keeps the lines and the base font height for the document.
class StreamSink : public ReportSink {
public:
    explicit StreamSink(std::ostream& out, std::vector<std::string>* documentLines = nullptr,
                        std::optional<int>* baseFontHeight = nullptr)
        : out_(out), documentLines_(documentLines), baseFontHeight_(baseFontHeight) {}
    void appendLine(std::string_view line) override
    {
        out_.write(line.data(), static_cast<std::streamsize>(line.size()));
        out_.put('\n');
        if (documentLines_)
            documentLines_->emplace_back(line);
    }
    void setVerticalScrollBars() override {}
    void setBaseFontHeight(int pixels) override
    {
        if (baseFontHeight_)
            *baseFontHeight_ = pixels;
    }

private:
    std::ostream& out_;
    std::vector<std::string>* documentLines_;
    std::optional<int>* baseFontHeight_;
};

// The desktop program's report view font: DejaVu Sans 8 pt, Cyrillic. A
// one-year report sets the character cell height; the view then takes the
// largest pixel size whose line fits the cell (DejaVu Sans lines are
// 2384/2048 em high: 12 px for a 14-pixel cell).
doc::DocumentFont reportViewFont(const std::optional<int>& cellHeight)
{
    doc::DocumentFont font{"DejaVu Sans", 16, doc::kCyrillicCharset};
    if (cellHeight && *cellHeight > 0) {
        int pixels = *cellHeight;
        while (pixels > 1 && pixels * 2384 > *cellHeight * 2048)
            --pixels;
        font.sizeHalfPoints = doc::halfPointsFromPixels(pixels);
    }
    return font;
}

bool digitsAt(std::string_view s, std::size_t pos, std::size_t count, int& value)
{
    value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysIn(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

// One row per option; a new option is a field in ToolOptions and a row here.
struct OptionSpec {
    std::string_view name;
    bool takesValue;
    void (*apply)(ToolOptions&, std::string_view value);
};

void applyDate(ToolOptions& o, std::string_view value)
{
    o.date = parseDateArgument(value);
    if (!o.date)
        throw UsageError{"invalid date \"" + std::string(value) + "\" for --date (use YYYY-MM-DD or DD.MM.YYYY)"};
}

void applyHelp(ToolOptions& o, std::string_view) { o.help = true; }

void applyVersion(ToolOptions& o, std::string_view) { o.version = true; }

void applyHistory(ToolOptions& o, std::string_view) { o.history = true; }

void applyRtf(ToolOptions& o, std::string_view value)
{
    if (value.empty())
        throw UsageError{"option --rtf needs a file name"};
    o.rtfFile = std::string(value);
}

void setDocumentFile(std::optional<std::string>& file, const char* option, std::string_view value)
{
    if (!documentFormatsAvailable())
        throw UsageError{"option " + std::string(option) + " is not available: this kalvanta-report was built without Qt"};
    if (value.empty())
        throw UsageError{"option " + std::string(option) + " needs a file name"};
    file = std::string(value);
}

void applyPdf(ToolOptions& o, std::string_view value) { setDocumentFile(o.pdfFile, "--pdf", value); }
void applyOdt(ToolOptions& o, std::string_view value) { setDocumentFile(o.odtFile, "--odt", value); }
void applyHtml(ToolOptions& o, std::string_view value) { setDocumentFile(o.htmlFile, "--html", value); }

void applyWorkbook(ToolOptions& o, std::string_view value)
{
    if (value.empty())
        throw UsageError{"option --xlsx needs a file name"};
    o.workbookFile = std::string(value);
}

void applyTable(ToolOptions& o, std::string_view value)
{
    if (value.empty())
        throw UsageError{"option --table needs a file name"};
    o.tableFile = std::string(value);
}

void applyTableFormat(ToolOptions& o, std::string_view value) { o.tableFormat = std::string(value); }

void applyJobs(ToolOptions& o, std::string_view value)
{
    unsigned n = 0;
    for (char c : value) {
        if (c < '0' || c > '9' || n > 10000)
            throw UsageError{"invalid number \"" + std::string(value) + "\" for -j"};
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (value.empty() || n == 0 || n > 1024)
        throw UsageError{"invalid number \"" + std::string(value) + "\" for -j (1 to 1024)"};
    o.jobs = n;
}

void applySaveInput(ToolOptions& o, std::string_view value)
{
    if (value.empty())
        throw UsageError{"option --save-input needs a file name"};
    o.saveInput = std::string(value);
}

void applyYear(ToolOptions& o, std::string_view value)
{
    int year = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), year);
    if (ec != std::errc() || ptr != value.data() + value.size() || year < 1990 || year > 2100)
        throw UsageError{"invalid year \"" + std::string(value) + "\" for --year (1990 to 2100)"};
    o.year = year;
}

void applyOkved(ToolOptions& o, std::string_view value)
{
    if (value.empty())
        throw UsageError{"option --okved needs the beginning of a code, e.g. 46 or 46.3"};
    o.okved = std::string(value);
}

void applyRegion(ToolOptions& o, std::string_view value)
{
    if (value.size() != 2 || value[0] < '0' || value[0] > '9' || value[1] < '0' || value[1] > '9')
        throw UsageError{"invalid region \"" + std::string(value) + "\" for --region (two digits, e.g. 77)"};
    o.region = std::string(value);
}

void applyMinRevenue(ToolOptions& o, std::string_view value)
{
    double n = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || ec != std::errc() || ptr != value.data() + value.size() || !(n >= 0) || n > 1e18)
        throw UsageError{"invalid amount \"" + std::string(value) + "\" for --min-revenue (thousands of roubles)"};
    o.minRevenue = n;
}

void applyNoPercentiles(ToolOptions& o, std::string_view) { o.noPercentiles = true; }

constexpr OptionSpec kOptions[] = {
    {"--year", true, applyYear},
    {"--okved", true, applyOkved},
    {"--region", true, applyRegion},
    {"--min-revenue", true, applyMinRevenue},
    {"--no-percentiles", false, applyNoPercentiles},
    {"--date", true, applyDate},
    {"--help", false, applyHelp},
    {"--history", false, applyHistory},
    {"--rtf", true, applyRtf},
    {"--pdf", true, applyPdf},
    {"--odt", true, applyOdt},
    {"--html", true, applyHtml},
    {"--xlsx", true, applyWorkbook},
    {"--table", true, applyTable},
    {"--table-format", true, applyTableFormat},
    {"-j", true, applyJobs},
    {"--jobs", true, applyJobs},
    {"--save-input", true, applySaveInput},
    {"--version", false, applyVersion},
};

void listFields(std::string& s, const auto& fields)
{
    for (const auto& f : fields) {
        std::string line = "    " + std::string(f.name);
        if (!f.code.empty())
            line += " (" + std::string(f.code) + ")";
        s += line + "\n";
    }
}

// The report of every company the files and folders hold, one after
// another, through the same sink as the fixed report.
int writeHistoryReports(const ToolOptions& options, std::ostream& out, std::ostream& err,
                        std::vector<std::string>* documentLines)
{
    const history::HistoryRun run = history::readHistories(options.files);
    for (const std::string& line : run.refused)
        err << kProgram << ": " << line << "\n";
    if (run.histories.empty()) {
        err << kProgram << ": no statement to analyse\n";
        return kExitBadInput;
    }
    const RegionalSettings regional = RegionalSettings::russian();
    StreamSink sink(out, documentLines);
    for (const history::CompanyHistory& h : run.histories) {
        const std::string who = h.taxNumber.empty() ? h.organisation : "ИНН " + h.taxNumber;
        for (const std::string& note : h.notes)
            err << kProgram << ": " << who << ": " << note << "\n";
        for (const std::string& line : history::historyReportLines(h, regional.decimalSeparator))
            sink.appendLine(line);
        out.flush();
        if (!out) {
            err << kProgram << ": cannot write to standard output\n";
            return kExitOutput;
        }
    }
    return run.refused.empty() ? kExitOk : kExitBadInput;
}

} // namespace

std::optional<CivilDate> parseDateArgument(std::string_view t)
{
    CivilDate d;
    if (t.size() != 10)
        return std::nullopt;
    if (t[4] == '-' && t[7] == '-') {
        if (!digitsAt(t, 0, 4, d.year) || !digitsAt(t, 5, 2, d.month) || !digitsAt(t, 8, 2, d.day))
            return std::nullopt;
    } else if (t[2] == '.' && t[5] == '.') {
        if (!digitsAt(t, 0, 2, d.day) || !digitsAt(t, 3, 2, d.month) || !digitsAt(t, 6, 4, d.year))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysIn(d.year, d.month))
        return std::nullopt;
    return d;
}

ToolOptions parseArguments(const std::vector<std::string>& args)
{
    ToolOptions o;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a == "-" || !a.starts_with("-")) {
            o.files.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t eq = a.find('=');
        const std::string_view name = std::string_view(a).substr(0, eq);
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& s : kOptions)
            if (s.name == name)
                spec = &s;
        if (!spec)
            throw UsageError{"unknown option \"" + a + "\""};
        if (!spec->takesValue) {
            if (eq != std::string::npos)
                throw UsageError{"option " + std::string(name) + " takes no value"};
            spec->apply(o, {});
        } else if (eq != std::string::npos) {
            spec->apply(o, std::string_view(a).substr(eq + 1));
        } else {
            if (i + 1 >= args.size())
                throw UsageError{"option " + std::string(name) + " needs a value"};
            spec->apply(o, args[++i]);
        }
    }
    return o;
}

std::string helpText()
{
    std::string s;
    s += "Usage: kalvanta-report [--date YYYY-MM-DD | --date DD.MM.YYYY] [--rtf FILE] [--pdf FILE] [--odt FILE]\n"
         "                      [--html FILE] [--save-input SET.json] FILE ...\n"
         "       kalvanta-report --table FILE [--table-format FORMAT] [-j N] FILE|FOLDER ...\n"
         "       kalvanta-report --table FILE [--table-format FORMAT] [-j N] [--year YEAR] [--okved PREFIX]\n"
         "                       [--region NN] [--min-revenue N] [--no-percentiles] BULKFILE ...\n"
         "       kalvanta-report --history [--rtf|--pdf|--odt|--html|--xlsx FILE | --table FILE [--table-format FORMAT]\n"
         "                       [-j N]]\n"
         "                       FILE|FOLDER ...\n"
         "       kalvanta-report --help | --version\n"
         "\n"
         "Writes the Kalvanta 4.5 financial analysis report of each JSON file to standard\n"
         "output (UTF-8, one line per report line), as the desktop program would write it\n"
         "after a completed input wizard. Several files give their reports one after another;\n"
         "each is analysed as if the program had just been started. FILE \"-\" reads\n"
         "standard input. Numbers use the Russian regional settings (decimal comma), the\n"
         "date in the header is written dd.MM.yyyy.\n"
         "\n"
         "A FILE may also be a statement in today's line codes, told by its content: the\n"
         "tax service's XML of annual accounting statements (KND 0710099, versions 5.01 to\n"
         "5.10, and the simplified ones, KND 0710096), the state resource's JSON of an\n"
         "organisation's reports, or a line-code table as CSV. It becomes an analysis as\n"
         "docs/line-codes.md describes; what the mapping assumed for the file goes to\n"
         "standard error, one note a line, after the file's name.\n"
         "\n"
         "Options:\n"
         "  --date DATE  the date printed in the report header (default: today)\n"
         "  --save-input SET.json\n"
         "               also save the record analysed (of the one FILE given) as an input\n"
         "               set: JSON that kalvanta-report and the desktop program read back\n"
         "               (an existing SET.json is replaced)\n"
         "  --rtf FILE   also save the reports as the RTF document FILE, one paragraph per\n"
         "               line in the report view's font, as the desktop program saves it\n"
         "               (an existing FILE is replaced)\n"
         "  --pdf FILE, --odt FILE, --html FILE\n"
         "               also save that document as PDF (numbered A4 pages), OpenDocument\n"
         "               text or HTML, as the desktop program's \"Сохранить как...\" does\n"
         "               (only where kalvanta-report was built with Qt; needs no display)\n"
         "  --table FILE the indicators of every input file as one table instead of the\n"
         "               reports: one row per file, in the order given; folders are\n"
         "               walked for .json, .xml and .csv files; FILE \"-\" is standard output\n"
         "  --table-format csv|csv-ru|xlsx|jsonl\n"
         "               the table's format (default: by FILE's extension .csv, .xlsx,\n"
         "               .jsonl); csv-ru: semicolons, decimal comma, byte-order mark\n"
         "  -j N         with --table: N analyses at once (default: every core)\n"
         "  --history    the statement files (and folders, walked for .xml, .json and .csv)\n"
         "               are companies' histories: each company (one tax number; a file\n"
         "               without one is a company of its own) merged over every year its\n"
         "               statements cover, and its report written in today's line codes:\n"
         "               the balance's and the profit and loss statement's structure and\n"
         "               dynamics, ratios, models and tests per year, with \"—\" and the\n"
         "               reason where a figure is not defined (docs/history.md). The\n"
         "               history's notes go to standard error as well. With --table: one\n"
         "               row per company and year instead, empty (JSON null) where not\n"
         "               defined\n"
         "  BULKFILE     with --table: the statistics office's bulk file of a year's\n"
         "               statements (266 fields a row, told by its content): per company\n"
         "               its two years' rows of the history's table, its OKVED and its\n"
         "               percentile within its industry for seven figures\n"
         "               (docs/bulk-data.md); broken rows are named and passed over\n"
         "  --year YEAR  the bulk file's reporting year (default: from a name ending in\n"
         "               -YEAR1231.csv)\n"
         "  --okved PREFIX, --region NN, --min-revenue N\n"
         "               only companies whose OKVED begins with PREFIX, whose INN begins\n"
         "               with the region's two digits NN, whose revenue (2110) of the year\n"
         "               is at least N thousand roubles\n"
         "  --no-percentiles\n"
         "               read the bulk files once; the percentile columns stay empty\n"
         "  --xlsx BOOK.xlsx\n"
         "               with --history: also save the report as a workbook, a sheet for\n"
         "               the balance, the profit and loss statement, the ratios, the models\n"
         "               and the notes, the years as columns (an existing BOOK.xlsx is\n"
         "               replaced)\n"
         "  --help       show this text and exit\n"
         "  --version    show the version and exit\n"
         "  --           every argument after it is a file name\n"
         "\n"
         "Exit status:\n"
         "  0  every report was written\n"
         "  1  a report was ended by an arithmetic error (for instance a zero divisor):\n"
         "     its lines so far are on standard output, the message on standard error;\n"
         "     the remaining files are still reported\n"
         "  2  bad command line or bad input file (unreadable, invalid JSON, unknown key,\n"
         "     YearCount other than 1 or 2); the message names the file, other files are\n"
         "     still reported; a statement file that cannot be imported gives 2 as well\n"
         "  3  standard output, the --rtf, --pdf, --odt, --html, --table or --save-input\n"
         "     file could not be written\n"
         "  with --history, 2 also when a file is refused (the others are still read) or no\n"
         "  file holds a statement\n"
         "  130  --table interrupted (Ctrl+C): no table was written\n"
         "\n"
         "JSON file: one object. A key left out keeps the value of a freshly started program\n"
         "(0, empty text). Amounts are JSON numbers (a decimal point in the file).\n"
         "  EnterpriseName, UnitName       texts of the report header\n"
         "  YearCount                      1 or 2\n"
         "  ExpertAssessmentOn, BusinessActivityOn, FinancialLeverageOn,\n"
         "  OperatingLeverageOn, WorkingCapitalNeedsOn\n"
         "                                 report sections, 1 on, 0 off\n"
         "  ProductCount                   1 or 2 products in the additional data\n"
         "  Y1Start, Y1End, Y2Start, Y2End balance sheets (form No. 1) at the start and end\n"
         "                                 of year 1 and year 2, objects with the keys\n"
         "                                 (form line codes in brackets):\n";
    listFields(s, kAssetFields);
    listFields(s, kLiabilityFields);
    s += "  ProfitLoss                     profit and loss statements (form No. 2): an array\n"
         "                                 of two objects, year 1 and year 2, with the keys:\n";
    listFields(s, kProfitLossFields);
    s += "  AdditionalData                 data of the leverage sections: an array of two\n"
         "                                 objects, year 1 and year 2, with the keys:\n";
    for (const auto& f : kAdditionalFields)
        s += "    " + std::string(f.name) + "\n";
    s += "\n"
         "Example: kalvanta-report --date 2026-12-08 examples/worked-example.json\n";
    return s;
}

int runReportTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const CivilDate& today)
{
    ToolOptions options;
    try {
        options = parseArguments(args);
    } catch (const UsageError& e) {
        err << kProgram << ": " << e.message << "\nTry \"" << kProgram << " --help\".\n";
        return kExitBadInput;
    }
    if (options.help) {
        out << helpText();
        out.flush();
        return out ? kExitOk : kExitOutput;
    }
    if (options.version) {
        out << kProgram << ' ' << kKalvantaVersion << '\n';
        out.flush();
        return out ? kExitOk : kExitOutput;
    }
    if (options.files.empty()) {
        err << kProgram << ": no input file\nTry \"" << kProgram << " --help\".\n";
        return kExitBadInput;
    }
    if (options.history && options.saveInput) {
        err << kProgram << ": --save-input does not go with --history\nTry \"" << kProgram << " --help\".\n";
        return kExitBadInput;
    }
    if (options.workbookFile && (!options.history || options.tableFile)) {
        err << kProgram << ": --xlsx goes with --history and without --table\nTry \"" << kProgram << " --help\".\n";
        return kExitBadInput;
    }
    if (options.tableFile) {
        if (options.saveInput) {
            err << kProgram << ": --save-input does not go with --table\nTry \"" << kProgram << " --help\".\n";
            return kExitBadInput;
        }
        if (options.history) {
            if (options.bulkOptions()) {
                err << kProgram << ": --year, --okved, --region, --min-revenue and --no-percentiles do not go with "
                                   "--history\nTry \"" << kProgram << " --help\".\n";
                return kExitBadInput;
            }
            return runHistoryTableMode(options, err);
        }
        if (options.bulkOptions() || anyBulkFile(options.files))
            return runBulkTableMode(options, err);
        return runTableMode(options, err);
    }
    if (options.bulkOptions()) {
        err << kProgram << ": --year, --okved, --region, --min-revenue and --no-percentiles go with --table\nTry \""
            << kProgram << " --help\".\n";
        return kExitBadInput;
    }
    if (options.tableFormat || options.jobs) {
        err << kProgram << ": --table-format and -j go with --table\nTry \"" << kProgram << " --help\".\n";
        return kExitBadInput;
    }
    if (options.saveInput && options.files.size() != 1) {
        err << kProgram << ": --save-input saves the record of one file; " << options.files.size()
            << " files given\nTry \"" << kProgram << " --help\".\n";
        return kExitBadInput;
    }

    const RegionalSettings regional = RegionalSettings::russian();
    const CivilDate date = options.date.value_or(today);
    int status = kExitOk;
    std::vector<std::string> documentLines;
    std::optional<int> baseFontHeight;
    const bool keepDocument = options.rtfFile || options.pdfFile || options.odtFile || options.htmlFile;
    if (options.history) {
        status = writeHistoryReports(options, out, err, keepDocument ? &documentLines : nullptr);
        if (status == kExitOutput)
            return status;
        if (options.workbookFile && !writeHistoryWorkbook(*options.workbookFile, options.files, err))
            return kExitOutput;
    }
    for (const std::string& file : options.history ? std::vector<std::string>{} : options.files) {
        AnalysisInput input;
        try {
            ImportedAnalysis imported = loadInputFile(file);
            input = std::move(imported.input);
            const std::string name = file == "-" ? std::string("<stdin>") : file;
            for (const std::string& note : imported.notes)
                err << kProgram << ": " << name << ": " << note << "\n";
        } catch (const InputError& e) {
            out.flush();
            err << kProgram << ": " << e.what() << "\n";
            status = kExitBadInput;
            continue;
        }
        const double years = input.AnalysisParameters.YearCount;
        if (years != 1.0 && years != 2.0) {
            // The wizard only ever sets 1 or 2; anything else would print nothing.
            out.flush();
            err << kProgram << ": " << (file == "-" ? std::string("<stdin>") : file)
                << ": \"YearCount\" must be 1 or 2\n";
            status = kExitBadInput;
            continue;
        }
        if (options.saveInput) {
            try {
                doc::saveBytesFile(*options.saveInput, inputSetJson(input));
            } catch (const doc::DocumentError& e) {
                // "Cannot create file" names the file already; "Failed to Save Stream" does not.
                err << kProgram << ": "
                    << (e.kind() == doc::DocumentError::Kind::CannotCreate ? "" : *options.saveInput + ": ")
                    << e.what() << "\n";
                return kExitOutput;
            }
        }
        input.AnalysisParameters.AnalysisPending = 1.0; // the progress window has completed
        AnalysisResults results;                        // a freshly started program
        StreamSink sink(out, keepDocument ? &documentLines : nullptr,
                        keepDocument ? &baseFontHeight : nullptr);
        try {
            writePendingReport(input, results, sink, regional, date);
        } catch (const FloatError& e) {
            out.flush();
            err << withFullStop(e.what()) << "\n";
            if (status == kExitOk)
                status = kExitArithmetic;
        }
        out.flush();
        if (!out) {
            err << kProgram << ": cannot write to standard output\n";
            return kExitOutput;
        }
    }
    if (keepDocument) {
        // The history's tables line up by their spaces: their lines are in
        // the fixed-pitch face the program's view gives them.
        doc::CharFormat lineFormat;
        if (options.history) {
            lineFormat.family = "DejaVu Sans Mono";
            lineFormat.charset = doc::kCyrillicCharset;
        }
        const doc::Document document =
            doc::documentFromLines(documentLines, reportViewFont(baseFontHeight), lineFormat);
        if (!writeDocumentFiles(options, document, err))
            return kExitOutput;
    }
    return status;
}

} // namespace kalvanta::cli
