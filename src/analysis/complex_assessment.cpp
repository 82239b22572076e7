#include <stdexcept>

#include "sections.h"

namespace kalvanta {

void writeComplexAssessment(ReportContext&) { throw std::logic_error("writeComplexAssessment: not built yet"); }

} // namespace kalvanta
