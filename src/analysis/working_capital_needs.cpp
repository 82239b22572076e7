#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeWorkingCapitalNeeds(ReportContext&) { throw std::logic_error("writeWorkingCapitalNeeds: not built yet"); }

} // namespace kalvanta
