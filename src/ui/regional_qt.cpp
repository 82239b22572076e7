#include "regional_qt.h"

#include <QLocale>
#include <QString>

namespace kalvanta {

namespace {
// "HH:mm:ss t" → "HH:mm:ss": the clock shows no time zone.
std::string withoutTimeZone(QString pattern)
{
    pattern.remove(QLatin1Char('t'));
    return pattern.trimmed().toStdString();
}
} // namespace

RegionalSettings systemRegionalSettings()
{
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        return RegionalSettings::russian();
    RegionalSettings rs;
    rs.decimalSeparator = locale.decimalPoint().toStdString();
    rs.shortDateFormat = locale.dateFormat(QLocale::ShortFormat).toStdString();
    rs.longTimeFormat = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return rs;
}

} // namespace kalvanta
