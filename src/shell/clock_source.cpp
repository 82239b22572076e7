#include "clock_source.h"

#include <QDate>
#include <QTime>

namespace kalvanta {

ClockSource ClockSource::system()
{
    ClockSource clock;
    clock.now = [] {
        const QTime t = QTime::currentTime();
        return ClockTime{t.hour(), t.minute(), t.second()};
    };
    clock.today = [] {
        const QDate d = QDate::currentDate();
        return CivilDate{d.year(), d.month(), d.day()};
    };
    return clock;
}

} // namespace kalvanta
