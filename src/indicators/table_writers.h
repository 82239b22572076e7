#pragma once
// The table of indicators in four forms: CSV (RFC 4180, UTF-8, point
// decimals), the Russian spreadsheet dialect (semicolon, decimal comma,
// UTF-8 with a byte-order mark), XLSX (numbers as numbers, header frozen)
// and JSON Lines. A table file is written atomically: rows go to a
// temporary file beside the target, renamed over it only when complete.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "indicator_table.h"

namespace kalvanta::indicators {

enum class TableFormat { Csv, CsvRussian, Xlsx, JsonLines };

// "csv", "csv-ru", "xlsx", "jsonl"; nullopt for anything else.
std::optional<TableFormat> formatFromName(std::string_view name);
// By the file name's extension (.csv, .xlsx, .jsonl or .ndjson, any case);
// nullopt when it names none. .csv gives the RFC dialect.
std::optional<TableFormat> formatFromExtension(std::string_view path);
const char* formatName(TableFormat format);

// A table file that cannot be written; what() names the file and the reason.
class TableFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The columns of a table and how its cells are written. The indicators'
// table is one layout; other tables (a company's history by year) bring
// their own.
struct ColumnCaption {
    std::string caption; // in the report's Russian wording
    int section = 0;     // the report section; 0 for what describes the file
};
struct TableLayout {
    std::vector<std::string> columns; // the header, one id per cell of a row
    // XLSX: a second sheet "columns" naming each column; none when empty.
    std::vector<ColumnCaption> captions;
    std::string sheetName = "indicators";
    bool jsonNulls = false;    // JSON Lines: every column, null for an empty cell (else left out)
    bool exactNumbers = false; // the shortest text that reads back as the same double, not 15 digits
};
const TableLayout& indicatorLayout();

// One text cell as each text dialect writes it (quoted when it must be).
std::string csvField(const Cell& cell, TableFormat format, bool exactNumbers = false);
// One row as JSON: an object of the non-empty cells, by column id.
std::string jsonLine(const IndicatorRow& row);
std::string jsonLine(const std::vector<Cell>& cells, const TableLayout& layout);
// The shortest decimal text that reads back as the same double, with the separator given.
std::string exactNumberText(double value, const char* decimalSeparator = ".");

// How an XLSX cell shows its value; the text formats write the value alone.
struct CellStyle {
    int decimals = -1;    // digits after the point of the number format; -1: the general format
    bool percent = false; // a fraction shown in per cent ("0.0%")
    bool bold = false;
    bool alignRight = false;
};

// Writes the header on opening and one row at a time; memory stays flat
// however many rows pass. Path "-" writes a text format to standard output
// (not atomic, nothing to rename). Until commit() the target is untouched;
// destroying an uncommitted writer removes the temporary file.
class TableFileWriter {
public:
    // Throws TableFileError when the file cannot be created.
    TableFileWriter(const std::string& path, TableFormat format);
    TableFileWriter(const std::string& path, TableFormat format, TableLayout layout);
    ~TableFileWriter();
    TableFileWriter(const TableFileWriter&) = delete;
    TableFileWriter& operator=(const TableFileWriter&) = delete;

    void writeRow(const IndicatorRow& row); // throws TableFileError
    void writeCells(const std::vector<Cell>& cells); // throws TableFileError
    // CSV and JSON Lines: a row's line of text can be made on any thread
    // (lineOf may be called from several at once) and written in order with
    // writeLine, so a long run formats its rows in parallel. XLSX: false,
    // and the other two throw TableFileError.
    bool writesLines() const;
    std::string lineOf(const std::vector<Cell>& cells) const;
    void writeLine(std::string_view line); // throws TableFileError
    // XLSX: each cell with its style (a missing style is the default one).
    void writeCells(const std::vector<Cell>& cells, const std::vector<CellStyle>& styles);
    // XLSX: the rows that follow go on a new sheet of that name (at most 31
    // characters, none of []:*?/\, not used before), under the same header.
    // Throws TableFileError for the text formats and for a name refused.
    void startSheet(const std::string& name);
    // The same under a header of its own, frozen with its first
    // `frozenColumns` columns.
    void startSheet(const std::string& name, const std::vector<std::string>& header, int frozenColumns = 0);
    void commit();                          // throws TableFileError; the file is complete

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace kalvanta::indicators
