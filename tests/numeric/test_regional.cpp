#include <gtest/gtest.h>

#include "numeric/regional_settings.h"

using namespace kalvanta;

TEST(RegionalSettings, RussianConventions)
{
    const auto rs = RegionalSettings::russian();
    EXPECT_EQ(rs.decimalSeparator, ",");
    EXPECT_EQ(formatDate({2026, 12, 8}, rs.shortDateFormat), "08.12.2026");
    EXPECT_EQ(formatTime({14, 5, 9}, rs.longTimeFormat), "14:05:09");
}

TEST(RegionalSettings, OtherPatterns)
{
    struct Case {
        const char* pattern;
        const char* date;
    } cases[] = {{"d/M/yy", "8/3/06"}, {"yyyy-MM-dd", "2006-03-08"}, {"M/d/yyyy", "3/8/2006"},
                 {"dd 'de' MM", "08 de 03"}};
    for (const auto& c : cases)
        EXPECT_EQ(formatDate({2006, 3, 8}, c.pattern), c.date) << c.pattern;
    EXPECT_EQ(formatTime({0, 7, 3}, "h:mm:ss AP"), "12:07:03 AM");
    EXPECT_EQ(formatTime({13, 7, 3}, "h:mm ap"), "1:07 pm");
}
