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

// One text cell as each text dialect writes it (quoted when it must be).
std::string csvField(const Cell& cell, TableFormat format);
// One row as JSON: an object of the non-empty cells, by column id.
std::string jsonLine(const IndicatorRow& row);

// Writes the header on opening and one row at a time; memory stays flat
// however many rows pass. Path "-" writes a text format to standard output
// (not atomic, nothing to rename). Until commit() the target is untouched;
// destroying an uncommitted writer removes the temporary file.
class TableFileWriter {
public:
    // Throws TableFileError when the file cannot be created.
    TableFileWriter(const std::string& path, TableFormat format);
    ~TableFileWriter();
    TableFileWriter(const TableFileWriter&) = delete;
    TableFileWriter& operator=(const TableFileWriter&) = delete;

    void writeRow(const IndicatorRow& row); // throws TableFileError
    void commit();                          // throws TableFileError; the file is complete

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace kalvanta::indicators
