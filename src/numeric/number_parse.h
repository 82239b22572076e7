#pragma once
// Text-to-number conversion of a typed field: blanks around the text are
// ignored; an optional sign, digits with at most one regional decimal
// separator (at least one digit in all), an optional exponent ("E"/"e",
// optional sign, digits); nothing else. The result is the nearest double.
// Anything else, and a value beyond the double range, raises ConversionError
// with the field's text as typed.
#include <optional>
#include <string>
#include <string_view>

#include "regional_settings.h"

namespace kalvanta {

double parseNumber(std::string_view text, const std::string& decimalSeparator);
inline double parseNumber(std::string_view text, const RegionalSettings& rs)
{
    return parseNumber(text, rs.decimalSeparator);
}

// Same rules without raising: nullopt where parseNumber would raise.
std::optional<double> tryParseNumber(std::string_view text, const std::string& decimalSeparator);

} // namespace kalvanta
