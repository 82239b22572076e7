#pragma once
// A line-code table as CSV: one row per line code, then the current,
// previous and before-previous values; comma or semicolon, UTF-8 or
// windows-1251, decimal point or comma; a header row and a row naming the
// organisation are allowed.
#include <string>
#include <string_view>

#include "statements/statement.h"

namespace kalvanta {

// Throws InputError naming sourceName and the line at fault.
Statement readLineCodeCsv(std::string_view bytes, const std::string& sourceName);

} // namespace kalvanta
