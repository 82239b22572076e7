#pragma once
// Statements in today's line codes (the tax service's XML, the state
// resource's JSON, a line-code table as CSV) turned into an analysis record,
// plus the notes on what the mapping assumed for this file.
#include <string>
#include <string_view>
#include <vector>

#include "inputs/analysis_input.h"
#include "inputs/json_loader.h" // InputError
#include "statements/statement.h"

namespace kalvanta {

// What a file handed to the program holds, told by its content, not its name.
enum class InputFileKind {
    InputSet,    // the record itself as JSON (what loadAnalysisJson reads)
    TaxXml,      // the tax service's XML of annual accounting statements
    StateJson,   // the state resource's JSON of an organisation's report(s)
    LineCodeCsv, // a line-code table
    Unknown,
};

InputFileKind detectInputFileKind(std::string_view bytes);

struct ImportedAnalysis {
    AnalysisInput input;            // ready for the wizard or the report
    std::vector<std::string> notes; // assumptions that changed a figure of this file
    std::string taxNumber;          // INN, where the file gives one
    int reportingYear = 0;          // the statement's year N; 0 for input sets
};

// A statement file (any kind but InputSet). Throws InputError whose message
// names the file and the element or line at fault.
ImportedAnalysis importStatementText(std::string_view bytes, const std::string& sourceName);
ImportedAnalysis importStatementFile(const std::string& path);

// Every annual statement a file holds, for the analysis of a company's
// history: one for a tax service's XML or a line-code table, each year of a
// state resource's list of reports (oldest first). Throws InputError naming
// the file where nothing can be read.
struct StatementFile {
    std::vector<Statement> statements;
    std::vector<std::string> notes; // what the reader passed over (interim reports …)
};
StatementFile readStatementText(std::string_view bytes, const std::string& sourceName);
StatementFile readStatementFile(const std::string& path);

// Any input to an analysis: an input set (no notes) or a statement file.
// "-" reads standard input.
ImportedAnalysis loadInputFile(const std::string& path);

} // namespace kalvanta
