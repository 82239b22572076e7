#pragma once
// The investments calculator: ROI, NPV, PI and IRR of an initial
// investment and the profits of up to ten years. The IRR is found by a
// stepwise search over the discount rate in steps of 1 %.
#include <array>
#include <string>
#include <vector>

#include "numeric/regional_settings.h"

namespace kalvanta {

struct InvestCalc {
    double ProfitSum = 0.0;
    double ProfitCount = 0.0;
    double InvestRoi = 0.0;
    double DiscountRate = 0.0;
    double InvestNpv = 0.0;
    double DiscountedSum = 0.0;
    double InvestPi = 0.0;
    double InvestIrr = 0.0;
};

inline constexpr int kInvestYears = 10;

struct InvestTexts {
    std::string investment;                      // Edit1
    std::string ratePercent;                     // Edit3
    std::array<std::string, kInvestYears> profits; // years 1 to 10; empty = no profit
};

// How the IRR search ended.
enum class IrrOutcome {
    Found,        // the midpoint of the last rate with a positive NPV and the first without
    AboveCeiling, // NPV still positive at the highest trial rate
    BelowFloor,   // NPV not positive at any trial rate from the lowest up to 1 %
};

// The search stops at these rates (fractions). An IRR above 1000 % is
// reported as such: a finer answer is of no use to an analyst, and the
// 1 % steps up to it take well under a millisecond. A rate of -100 % has
// no present value.
inline constexpr double kIrrCeiling = 10.0;
inline constexpr int kIrrFloorSteps = 99; // down to -99 %

inline const std::string kIrrLabel = "Внутренняя норма доходности (IRR) =";
inline const std::string kIrrAboveCeilingText = "не найдена: NPV положителен при всех ставках до 1000%";
inline const std::string kIrrBelowFloorText = "не найдена: NPV не положителен при всех ставках от -99% до 1%";

struct InvestResult {
    std::vector<std::string> lines; // the seven lines of one press
    IrrOutcome irr = IrrOutcome::Found;
    int irrTrials = 0; // trial rates the search evaluated
};

// "Рассчитать": raises ConversionError for the first bad text in the order
// the computation meets it (profits, investment, rate) and FloatError for
// arithmetic errors; nothing is returned then.
InvestResult computeInvestment(InvestCalc& calc, const InvestTexts& texts, const RegionalSettings& rs);

// The arrows' "changing" step: the rate text lowered by 1, in the general format.
std::string lowerRateText(const std::string& text, const RegionalSettings& rs);

} // namespace kalvanta
