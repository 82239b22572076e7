#pragma once
// The failure models, net assets, the unsatisfactory-structure test, the
// bank's creditworthiness class and the DuPont factors of one year of a
// history. The report, the table and the chart page read them from here, so
// each figure, zone and bound is written once.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_figures.h"

namespace kalvanta::history {

// One model's zones in ascending order of its value: bounds[i] parts
// zones[i] from zones[i + 1], and a value on a bound belongs to the zone
// above. Зайцева has no fixed bound: the year's norm is it, and only an
// actual value above the norm is high risk.
struct ModelZones {
    std::string_view column;            // the table's column of the model's value
    std::string_view title;             // the report's row
    std::string_view source;            // the report's source line
    std::string_view formula;           // in line codes, for the legend and the help
    std::string_view zonesText;         // the zones in words, for the legend and the help
    std::vector<double> bounds;         // ascending; empty for Зайцева
    std::vector<std::string_view> zones; // the risk in one word, one per zone
    std::vector<bool> highRisk;         // per zone: counted in models_high_risk
    bool againstNorm = false;           // Зайцева: the bound is zaitseva_norm of the year
};

// The ten models in the table's order.
const std::vector<ModelZones>& modelZoneTable();

// The zone of a value (index into zones); norm only for againstNorm.
int zoneIndex(const ModelZones& model, double value, double norm = 0);

struct ModelResult {
    std::string_view column; // as in modelZoneTable
    Figure value;            // Зайцева: the actual value
    int zone = -1;           // index into the model's zones; -1 when not defined
    std::string zoneText;    // the zone's word, "—" when not defined
    bool highRisk = false;
};

// Each model of the year, in the table's order.
std::vector<ModelResult> modelResults(const YearView& year);
// The same from the year's modelFigures, where the caller has them already.
std::vector<ModelResult> modelResults(const std::vector<NamedFigure>& figures);

// The models' columns (altman_z_1983 … igea_r) of the year.
std::vector<NamedFigure> modelFigures(const YearView& year);

// The bank's coefficients K1 … K5, their categories and the result.
struct CreditClass {
    std::array<Figure, 5> k;
    std::array<int, 5> category{}; // 1 … 3; 0 where K is not defined
    Figure score;
    Figure creditClass;
    bool trade = false; // the trade thresholds of K4 were used
};
inline constexpr std::array<double, 5> kCreditWeights{0.05, 0.10, 0.40, 0.20, 0.25};

CreditClass creditClass(const YearView& year);
// OKVED 45, 46 and 47 (and their subclasses) are trade.
bool isTradeOkved(const std::string& okved);

// Net assets, the structure test, the bank's class and the DuPont factors
// (net_assets … dupont_roe) of the year.
std::vector<NamedFigure> testFigures(const YearView& year);

// Reasons of what the structure test leaves undefined, as printed.
inline constexpr std::string_view kSatisfactoryReason = "структура баланса удовлетворительна";
inline constexpr std::string_view kUnsatisfactoryReason = "структура баланса неудовлетворительна";

} // namespace kalvanta::history
