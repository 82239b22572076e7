#pragma once
// The state resource's JSON of an organisation's accounting statements: one
// report, or the list of a company's reports (then the newest valid
// correction of the newest year, or of `year` where one is asked for).
#include <optional>
#include <string>
#include <string_view>

#include "statements/statement.h"

namespace kalvanta {

// Throws InputError naming sourceName and the key at fault.
Statement readStateJson(std::string_view bytes, const std::string& sourceName, std::optional<int> year);

} // namespace kalvanta
