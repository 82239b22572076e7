#include "json_loader.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "field_tables.h"
#include "numeric/float_errors.h"

namespace kalvanta {

namespace {

using json = nlohmann::json;

[[noreturn]] void fail(const std::string& source, const std::string& what)
{
    throw InputError(source + ": " + what);
}

double number(const json& v, const std::string& source, const std::string& key)
{
    if (!v.is_number())
        fail(source, "\"" + key + "\" must be a number");
    const double d = v.get<double>();
    if (!std::isfinite(d))
        fail(source, "\"" + key + "\" is not a finite number");
    return d;
}

std::string text(const json& v, const std::string& source, const std::string& key)
{
    if (!v.is_string())
        fail(source, "\"" + key + "\" must be a string");
    return v.get<std::string>();
}

const json& object(const json& v, const std::string& source, const std::string& key)
{
    if (!v.is_object())
        fail(source, "\"" + key + "\" must be an object");
    return v;
}

void readBalance(const json& v, BalanceSheet& sheet, const std::string& source, const std::string& key)
{
    for (const auto& [name, value] : object(v, source, key).items()) {
        double BalanceSheet::*member = nullptr;
        for (const auto& f : kAssetFields)
            if (f.name == name)
                member = f.member;
        for (const auto& f : kLiabilityFields)
            if (f.name == name)
                member = f.member;
        if (!member)
            fail(source, "unknown key \"" + key + "." + name + "\"");
        const double d = number(value, source, key + "." + name);
        sheet.*member = member == &BalanceSheet::UncoveredLoss ? uncoveredLossMagnitude(d) : d;
    }
}

template <class Record, class Table>
void readYears(const json& v, PerYear<Record>& years, const Table& table, const std::string& source,
               const std::string& key)
{
    if (!v.is_array() || v.size() != 2)
        fail(source, "\"" + key + "\" must be an array of two objects (year 1, year 2)");
    for (int y = 1; y <= 2; ++y) {
        const std::string where = key + "[" + std::to_string(y - 1) + "]";
        for (const auto& [name, value] : object(v[static_cast<std::size_t>(y - 1)], source, where).items()) {
            double Record::*member = nullptr;
            for (const auto& f : table)
                if (f.name == name)
                    member = f.member;
            if (!member)
                fail(source, "unknown key \"" + where + "." + name + "\"");
            years[y].*member = number(value, source, where + "." + name);
        }
    }
}

} // namespace

AnalysisInput loadAnalysisJson(std::string_view bytes, const std::string& source)
{
    if (bytes.size() > kMaxAnalysisJsonBytes)
        fail(source, "file is larger than " + std::to_string(kMaxAnalysisJsonBytes) + " bytes");
    json doc;
    try {
        doc = json::parse(bytes.begin(), bytes.end());
    } catch (const json::exception& e) {
        // parse errors and numbers beyond the double range
        fail(source, std::string("malformed JSON: ") + e.what());
    }
    if (!doc.is_object())
        fail(source, "the top level must be a JSON object");

    AnalysisInput in = startupInput();
    auto& p = in.AnalysisParameters;
    struct Switch {
        const char* name;
        double* field;
    };
    const Switch numbers[] = {
        {"YearCount", &p.YearCount},
        {"ExpertAssessmentOn", &p.ExpertAssessmentOn},
        {"BusinessActivityOn", &p.BusinessActivityOn},
        {"FinancialLeverageOn", &p.FinancialLeverageOn},
        {"OperatingLeverageOn", &p.OperatingLeverageOn},
        {"WorkingCapitalNeedsOn", &p.WorkingCapitalNeedsOn},
        {"ProductCount", &in.ProductCount},
    };
    for (const auto& [key, value] : doc.items()) {
        if (key == "EnterpriseName") {
            p.EnterpriseName = text(value, source, key);
            continue;
        }
        if (key == "UnitName") {
            p.UnitName = text(value, source, key);
            continue;
        }
        if (key == "Y1Start" || key == "Y1End" || key == "Y2Start" || key == "Y2End") {
            BalanceSheet& s = key == "Y1Start" ? in.Y1Start
                              : key == "Y1End" ? in.Y1End
                              : key == "Y2Start" ? in.Y2Start
                                                 : in.Y2End;
            readBalance(value, s, source, key);
            continue;
        }
        if (key == "ProfitLoss") {
            readYears(value, in.ProfitLoss, kProfitLossFields, source, key);
            continue;
        }
        if (key == "AdditionalData") {
            readYears(value, in.AdditionalData, kAdditionalFields, source, key);
            continue;
        }
        bool known = false;
        for (const auto& n : numbers)
            if (key == n.name) {
                *n.field = number(value, source, key);
                known = true;
            }
        if (!known)
            fail(source, "unknown key \"" + key + "\"");
    }
    // Amounts near the double range can overflow the derived profit; that is
    // bad input of this file, not an error of some later report.
    try {
        deriveFinancialEconomicProfit(in);
    } catch (const FloatError& e) {
        fail(source, "\"ProfitLoss\": ProfitBeforeTax - NonOperatingIncome + NonOperatingExpenses: " +
                         std::string(e.what()));
    }
    return in;
}

AnalysisInput loadAnalysisFile(const std::string& path)
{
    const bool stdinInput = path == "-";
    const std::string name = stdinInput ? std::string("<stdin>") : path;
    std::FILE* f = stdinInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!f)
        fail(name, std::string("cannot open: ") + std::strerror(errno));
    std::string bytes;
    char buf[65536];
    std::size_t n;
    bool tooLarge = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        bytes.append(buf, n);
        if (bytes.size() > kMaxAnalysisJsonBytes) {
            tooLarge = true;
            break;
        }
    }
    const bool readError = std::ferror(f) != 0;
    if (!stdinInput)
        std::fclose(f);
    if (readError)
        fail(name, "cannot read the file");
    if (tooLarge)
        fail(name, "file is larger than " + std::to_string(kMaxAnalysisJsonBytes) + " bytes");
    return loadAnalysisJson(bytes, name);
}

} // namespace kalvanta
