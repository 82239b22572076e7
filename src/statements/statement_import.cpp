#include "statement_import.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <nlohmann/json.hpp>

#include "statements/line_code_csv_reader.h"
#include "statements/state_json_reader.h"
#include "statements/statement_limits.h"
#include "statements/statement_mapping.h"
#include "statements/tax_xml_reader.h"

namespace kalvanta {

namespace {

std::string_view withoutBomAndSpace(std::string_view b)
{
    if (b.starts_with("\xEF\xBB\xBF"))
        b.remove_prefix(3);
    while (!b.empty() && (b.front() == ' ' || b.front() == '\t' || b.front() == '\r' || b.front() == '\n'))
        b.remove_prefix(1);
    return b;
}

// Reads the keys of the top-level object only and stops at the first that
// tells the kind, so a large file is not parsed twice. Keys of neither kind
// leave it an input set, whose loader names the unknown key.
class TopLevelKeys : public nlohmann::json_sax<nlohmann::json> {
public:
    InputFileKind kind = InputFileKind::InputSet;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { ++depth_; return true; }
    bool end_object() override { --depth_; return true; }
    bool start_array(std::size_t) override { ++depth_; return true; }
    bool end_array() override { --depth_; return true; }
    bool key(string_t& k) override
    {
        if (depth_ != 1)
            return true;
        static constexpr std::string_view kInputSetKeys[] = {
            "EnterpriseName", "UnitName", "YearCount", "ExpertAssessmentOn", "BusinessActivityOn",
            "FinancialLeverageOn", "OperatingLeverageOn", "WorkingCapitalNeedsOn", "ProductCount",
            "Y1Start", "Y1End", "Y2Start", "Y2End", "ProfitLoss", "AdditionalData"};
        for (std::string_view s : kInputSetKeys)
            if (k == s) {
                kind = InputFileKind::InputSet;
                return false;
            }
        // The state resource's report: its forms, or the envelope of a
        // report in a company's list.
        static constexpr std::string_view kStateKeys[] = {
            "balance", "financialResult", "fundsMovement", "period", "correctionVersion",
            "actualCorrectionNumber", "typeCorrections", "knd", "organizationInfo", "bfoOrganizationInfo",
            "content", "data"};
        for (std::string_view s : kStateKeys)
            if (k == s) {
                kind = InputFileKind::StateJson;
                return false;
            }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    int depth_ = 0;
};

InputFileKind jsonKind(std::string_view b)
{
    if (b.front() == '[')
        return InputFileKind::StateJson; // a company's list of reports
    TopLevelKeys keys;
    nlohmann::json::sax_parse(b.begin(), b.end(), &keys);
    // Malformed JSON without a state key: the input set loader says what is wrong.
    return keys.kind;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A row that starts with a four-digit line code (quoted or not) followed by
// a separator: the shape of a line-code table.
bool looksLikeLineCodeRow(std::string_view row)
{
    while (!row.empty() && (row.front() == ' ' || row.front() == '\t'))
        row.remove_prefix(1);
    if (!row.empty() && row.front() == '"')
        row.remove_prefix(1);
    if (row.size() < 5 || !std::all_of(row.begin(), row.begin() + 4, isDigit))
        return false;
    row.remove_prefix(4);
    if (!row.empty() && row.front() == '"')
        row.remove_prefix(1);
    return !row.empty() && (row.front() == ';' || row.front() == ',');
}

// The same after a first cell holding the line's name ("Баланс;1600;…").
bool looksLikeNamedLineCodeRow(std::string_view row)
{
    std::size_t i = 0;
    if (!row.empty() && row.front() == '"') {
        for (i = 1; i < row.size(); ++i)
            if (row[i] == '"' && (i + 1 >= row.size() || row[++i] != '"'))
                break;
    }
    while (i < row.size() && row[i] != ';' && row[i] != ',')
        ++i;
    return i < row.size() && looksLikeLineCodeRow(row.substr(i + 1));
}

bool looksLikeLineCodeTable(std::string_view b)
{
    // The header and the organisation's row come first; a code row follows soon.
    for (int rows = 0; rows < 20 && !b.empty(); ++rows) {
        const std::size_t end = b.find('\n');
        if (looksLikeLineCodeRow(b.substr(0, end)) || looksLikeNamedLineCodeRow(b.substr(0, end)))
            return true;
        if (end == std::string_view::npos)
            break;
        b.remove_prefix(end + 1);
    }
    return false;
}

std::string tooLarge(const std::string& name)
{
    return name + ": file is larger than " + std::to_string(statement_limits::kMaxStatementBytes) + " bytes";
}

} // namespace

InputFileKind detectInputFileKind(std::string_view bytes)
{
    const std::string_view b = withoutBomAndSpace(bytes);
    if (b.empty())
        return InputFileKind::Unknown;
    if (b.front() == '<')
        return InputFileKind::TaxXml;
    if (b.front() == '{' || b.front() == '[')
        return jsonKind(b);
    if (looksLikeLineCodeTable(b))
        return InputFileKind::LineCodeCsv;
    return InputFileKind::Unknown;
}

ImportedAnalysis importStatementText(std::string_view bytes, const std::string& sourceName)
{
    if (bytes.size() > statement_limits::kMaxStatementBytes)
        throw InputError(tooLarge(sourceName));
    switch (detectInputFileKind(bytes)) {
    case InputFileKind::TaxXml:
        return mapStatement(readTaxXml(bytes, sourceName));
    case InputFileKind::StateJson:
        return mapStatement(readStateJson(bytes, sourceName, std::nullopt));
    case InputFileKind::LineCodeCsv:
        return mapStatement(readLineCodeCsv(bytes, sourceName));
    case InputFileKind::InputSet:
        throw InputError(sourceName + ": this is an input set (the analysis record as JSON), not a statement");
    case InputFileKind::Unknown:
        break;
    }
    throw InputError(sourceName + ": not a statement file: neither the tax service's XML, the state "
                                  "resource's JSON nor a line-code table (CSV)");
}

StatementFile readStatementText(std::string_view bytes, const std::string& sourceName)
{
    if (bytes.size() > statement_limits::kMaxStatementBytes)
        throw InputError(tooLarge(sourceName));
    StatementFile file;
    switch (detectInputFileKind(bytes)) {
    case InputFileKind::TaxXml:
        file.statements.push_back(readTaxXml(bytes, sourceName));
        return file;
    case InputFileKind::StateJson:
        return readStateJsonYears(bytes, sourceName);
    case InputFileKind::LineCodeCsv:
        file.statements.push_back(readLineCodeCsv(bytes, sourceName));
        return file;
    case InputFileKind::InputSet:
        throw InputError(sourceName + ": this is an input set (the analysis record as JSON), not a statement");
    case InputFileKind::Unknown:
        break;
    }
    throw InputError(sourceName + ": not a statement file: neither the tax service's XML, the state "
                                  "resource's JSON nor a line-code table (CSV)");
}

namespace {

std::string readWhole(const std::string& path, const std::string& name)
{
    const bool stdinInput = path == "-";
    std::FILE* f = stdinInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!f)
        throw InputError(name + ": cannot open: " + std::strerror(errno));
    std::string bytes;
    char buf[65536];
    std::size_t n;
    bool large = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        bytes.append(buf, n);
        if (bytes.size() > statement_limits::kMaxStatementBytes) {
            large = true;
            break;
        }
    }
    const bool readError = std::ferror(f) != 0;
    if (!stdinInput)
        std::fclose(f);
    if (readError)
        throw InputError(name + ": cannot read the file");
    if (large)
        throw InputError(tooLarge(name));
    return bytes;
}

std::string displayName(const std::string& path) { return path == "-" ? std::string("<stdin>") : path; }

} // namespace

ImportedAnalysis importStatementFile(const std::string& path)
{
    const std::string name = displayName(path);
    return importStatementText(readWhole(path, name), name);
}

StatementFile readStatementFile(const std::string& path)
{
    const std::string name = displayName(path);
    return readStatementText(readWhole(path, name), name);
}

ImportedAnalysis loadInputFile(const std::string& path)
{
    const std::string name = displayName(path);
    const std::string bytes = readWhole(path, name);
    if (detectInputFileKind(bytes) == InputFileKind::InputSet)
        return ImportedAnalysis{loadAnalysisJson(bytes, name), {}, {}, 0};
    return importStatementText(bytes, name);
}

} // namespace kalvanta
