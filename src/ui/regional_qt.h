#pragma once
// The user's regional settings read from the system locale. Where the
// locale is C/POSIX or unset, the Russian conventions apply.
#include "numeric/regional_settings.h"

namespace kalvanta {

RegionalSettings systemRegionalSettings();

} // namespace kalvanta
