#pragma once
// Results of the complex assessment, the operating and financial leverage
// and the working-capital needs sections.
#include <array>
#include <string>

namespace kalvanta {

struct ComplexAssessmentResults {
};

struct OperatingLeverageResults {
};

struct FinancialLeverageResults {
};

struct WorkingCapitalNeedsResults {
};

} // namespace kalvanta
