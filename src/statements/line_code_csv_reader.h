#pragma once
// A line-code table as CSV: one row per line code, then the values of the
// current, previous and before-previous columns.
#include <string>
#include <string_view>

#include "statements/statement.h"

namespace kalvanta {

// Throws InputError naming the file and the line at fault.
Statement readLineCodeCsv(std::string_view bytes, const std::string& sourceName);

} // namespace kalvanta
