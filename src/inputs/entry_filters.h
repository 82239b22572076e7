#pragma once
// Per-keystroke filters of the numeric fields and their Enter chains, as
// pure functions so the dialogs only wire them. Only typed characters are
// filtered; pasted text is not.
#include <optional>
#include <string>
#include <string_view>

namespace kalvanta {

enum class KeyVerdict {
    Accept,    // the character reaches the field
    Discard,   // the character is dropped
    MoveFocus, // Enter: focus moves along the chain (the character itself is not dropped)
};

inline constexpr char32_t kBackspace = 8;
inline constexpr char32_t kEnter = 13;

// Asset dialogs, fields Edit1, Edit2, Edit5, Edit8, Edit9: digits, one
// point, any minus, Backspace, Enter.
KeyVerdict pointFilter(char32_t typed, std::string_view currentText);
// Additional-data dialog, all numeric fields: the same with the comma.
KeyVerdict commaFilter(char32_t typed, std::string_view currentText);
// The comma filter under other regional settings: the regional decimal
// separator (UTF-8) takes the comma's place, and the comma is discarded.
KeyVerdict decimalFilter(char32_t typed, std::string_view currentText, std::string_view separator);

// Where Enter moves the focus from a filtered field, by field name
// ("Edit1" → "Edit2"); nullopt for a field that is not in the chain.
std::optional<std::string> assetEnterTarget(std::string_view field);
std::optional<std::string> additionalEnterTarget(std::string_view field);

// The fields of the additional-data dialog that are hidden with one product.
bool isProductBField(std::string_view field);

} // namespace kalvanta
