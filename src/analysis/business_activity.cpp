#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeBusinessActivity(ReportContext&) { throw std::logic_error("writeBusinessActivity: not built yet"); }

} // namespace kalvanta
