#include "input_set_writer.h"

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "field_tables.h"
#include "json_loader.h" // InputError

namespace kalvanta {

namespace {

using ojson = nlohmann::ordered_json;

// Whole numbers are written as integers, the way people type them and the
// examples hold them; everything else as the shortest text that reads back
// to the same double. -0.0 stays a double so its sign survives.
ojson number(double d, const std::string& key)
{
    if (!std::isfinite(d))
        throw InputError("cannot write the input set: \"" + key + "\" is not a finite number");
    constexpr double kExactIntegers = 9007199254740992.0; // 2^53
    if (d == std::trunc(d) && std::fabs(d) < kExactIntegers && !(d == 0.0 && std::signbit(d)))
        return static_cast<std::int64_t>(d);
    return d;
}

ojson balance(const BalanceSheet& s, const std::string& key)
{
    ojson o = ojson::object();
    for (const auto& f : kAssetFields)
        o[std::string(f.name)] = number(s.*f.member, key + "." + std::string(f.name));
    for (const auto& f : kLiabilityFields)
        o[std::string(f.name)] = number(s.*f.member, key + "." + std::string(f.name));
    return o;
}

template <class Record, class Table>
ojson years(const PerYear<Record>& v, const Table& table, const std::string& key)
{
    ojson a = ojson::array();
    for (int y = 1; y <= 2; ++y) {
        ojson o = ojson::object();
        for (const auto& f : table)
            o[std::string(f.name)] =
                number(v[y].*f.member, key + "[" + std::to_string(y - 1) + "]." + std::string(f.name));
        a.push_back(std::move(o));
    }
    return a;
}

} // namespace

std::string inputSetJson(const AnalysisInput& in)
{
    const auto& p = in.AnalysisParameters;
    ojson doc = ojson::object();
    doc["EnterpriseName"] = p.EnterpriseName;
    doc["UnitName"] = p.UnitName;
    doc["YearCount"] = number(p.YearCount, "YearCount");
    doc["ExpertAssessmentOn"] = number(p.ExpertAssessmentOn, "ExpertAssessmentOn");
    doc["BusinessActivityOn"] = number(p.BusinessActivityOn, "BusinessActivityOn");
    doc["FinancialLeverageOn"] = number(p.FinancialLeverageOn, "FinancialLeverageOn");
    doc["OperatingLeverageOn"] = number(p.OperatingLeverageOn, "OperatingLeverageOn");
    doc["WorkingCapitalNeedsOn"] = number(p.WorkingCapitalNeedsOn, "WorkingCapitalNeedsOn");
    doc["ProductCount"] = number(in.ProductCount, "ProductCount");
    doc["Y1Start"] = balance(in.Y1Start, "Y1Start");
    doc["Y1End"] = balance(in.Y1End, "Y1End");
    doc["Y2Start"] = balance(in.Y2Start, "Y2Start");
    doc["Y2End"] = balance(in.Y2End, "Y2End");
    doc["ProfitLoss"] = years(in.ProfitLoss, kProfitLossFields, "ProfitLoss");
    doc["AdditionalData"] = years(in.AdditionalData, kAdditionalFields, "AdditionalData");
    // Texts come from the dialogs or the readers, which hand over UTF-8;
    // should a byte slip through, a replacement character beats losing the file.
    return doc.dump(2, ' ', false, ojson::error_handler_t::replace) + "\n";
}

} // namespace kalvanta
