#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeOperatingLeverage(ReportContext&) { throw std::logic_error("writeOperatingLeverage: not built yet"); }

} // namespace kalvanta
