#pragma once
// The state resource's JSON of an organisation's accounting statements: one
// report, or the list of a company's reports, read into one statement.
#include <optional>
#include <string>
#include <string_view>

#include "statements/statement.h"

namespace kalvanta {

// From a list, the report of `year` (the newest year when none is asked),
// in its valid correction (correctionVersion == actualCorrectionNumber).
// Throws InputError naming the file and the key at fault.
Statement readStateJson(std::string_view bytes, const std::string& sourceName, std::optional<int> year);

} // namespace kalvanta
