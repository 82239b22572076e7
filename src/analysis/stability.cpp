#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeStabilityType(ReportContext&) { throw std::logic_error("writeStabilityType: not built yet"); }

void writeRelativeStability(ReportContext&) { throw std::logic_error("writeRelativeStability: not built yet"); }

} // namespace kalvanta
