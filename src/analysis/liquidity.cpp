#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeLiquidityGroups(ReportContext&) { throw std::logic_error("writeLiquidityGroups: not built yet"); }

void writeLiquidityRatios(ReportContext&) { throw std::logic_error("writeLiquidityRatios: not built yet"); }

} // namespace kalvanta
