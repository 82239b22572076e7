#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeFinancialLeverage(ReportContext&) { throw std::logic_error("writeFinancialLeverage: not built yet"); }

} // namespace kalvanta
