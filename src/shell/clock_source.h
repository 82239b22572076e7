#pragma once
// Where the clock label and the report date get the time: the system clock
// in the program, a fixed value in tests.
#include <functional>

#include "numeric/regional_settings.h"

namespace kalvanta {

struct ClockSource {
    std::function<ClockTime()> now;
    std::function<CivilDate()> today;

    static ClockSource system();
};

} // namespace kalvanta
