#pragma once
// The state resource's JSON of an organisation's accounting statements: one
// report, or the list of a company's reports (then the newest valid
// correction of the newest year, or of `year` where one is asked for), full
// or simplified statements.
#include <optional>
#include <string>
#include <string_view>

#include "statements/statement.h"
#include "statements/statement_import.h" // StatementFile

namespace kalvanta {

// Throws InputError naming sourceName and the key at fault. The choices the
// file left open (the correction taken, interim sets passed over) are in the
// statement's readerNotes.
Statement readStateJson(std::string_view bytes, const std::string& sourceName, std::optional<int> year);

// Every annual year of the file for a company's history, oldest first, each
// in its valid correction chosen as readStateJson chooses it. A year that
// cannot be read is passed over with a note; interim sets and unpublished
// years are notes too. Throws InputError only where no year can be read
// (the newest year's reason).
StatementFile readStateJsonYears(std::string_view bytes, const std::string& sourceName);

} // namespace kalvanta
