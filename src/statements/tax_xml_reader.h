#pragma once
// The tax service's XML of annual accounting statements (KND 0710099,
// format versions 5.08 to 5.10), windows-1251 or UTF-8.
#include <string>
#include <string_view>

#include "statements/statement.h"

namespace kalvanta {

// Throws InputError naming sourceName and the element at fault.
Statement readTaxXml(std::string_view bytes, const std::string& sourceName);

} // namespace kalvanta
