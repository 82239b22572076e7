#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeSolvencyForecast(ReportContext&) { throw std::logic_error("writeSolvencyForecast: not built yet"); }

void writeFinalRating(ReportContext&) { throw std::logic_error("writeFinalRating: not built yet"); }

} // namespace kalvanta
