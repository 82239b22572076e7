#pragma once
// The general number format: at most 15 significant digits, shortest form,
// regional decimal separator, no group separators, exponent form below
// 0.0001 or beyond 15 integer digits ("1E20", "5E-5", "1,5E-7"), "0" for
// zero of either sign.
#include <string>

#include "regional_settings.h"

namespace kalvanta {

std::string formatGeneral(long double value, const std::string& decimalSeparator);
inline std::string formatGeneral(long double value, const RegionalSettings& rs)
{
    return formatGeneral(value, rs.decimalSeparator);
}

} // namespace kalvanta
