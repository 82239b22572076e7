#pragma once
// Wires the per-keystroke filters and Enter chains onto line edits. Only
// key presses are filtered; pasted text, shortcuts and editing keys pass.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "inputs/entry_filters.h"

class QLineEdit;

namespace kalvanta {

using CharacterFilter = std::function<KeyVerdict(char32_t typed, std::string_view currentText)>;
using EnterChain = std::optional<std::string> (*)(std::string_view field);

// Enter moves along the chain to the next field that is shown; a chain that
// only leads through hidden fields back to the start leaves the focus where it is.
void attachEntryFilter(QLineEdit* field, CharacterFilter filter, EnterChain chain);

} // namespace kalvanta
