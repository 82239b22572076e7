#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeProfitability(ReportContext&) { throw std::logic_error("writeProfitability: not built yet"); }

} // namespace kalvanta
