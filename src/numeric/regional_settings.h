#pragma once
// The user's regional settings as one value, handed to whatever formats or
// parses numbers, dates and times. Front ends fill it from the system
// locale; the core never asks the C locale.
#include <string>

namespace kalvanta {

struct CivilDate {
    int year = 2000;
    int month = 1;
    int day = 1;
};

struct ClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct RegionalSettings {
    std::string decimalSeparator = ",";
    std::string shortDateFormat = "dd.MM.yyyy"; // Qt-style pattern
    std::string longTimeFormat = "HH:mm:ss";    // Qt-style pattern

    // The conventions the program is made for, used where the system
    // locale is C/POSIX or unset.
    static RegionalSettings russian() { return {}; }
};

// Formats with the pattern letters d dd M MM yy yyyy; other characters are
// copied, text in single quotes literally.
std::string formatDate(const CivilDate& date, const std::string& pattern);
// Formats with H HH h hh m mm s ss (and ap/AP); other characters are copied.
std::string formatTime(const ClockTime& time, const std::string& pattern);

} // namespace kalvanta
