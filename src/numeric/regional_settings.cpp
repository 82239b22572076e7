#include "regional_settings.h"

#include <cstddef>

namespace kalvanta {

namespace {

std::string padded(int value, std::size_t width)
{
    std::string s = std::to_string(value < 0 ? -value : value);
    while (s.size() < width)
        s.insert(s.begin(), '0');
    return value < 0 ? "-" + s : s;
}

std::size_t runLength(const std::string& p, std::size_t i)
{
    std::size_t n = 1;
    while (i + n < p.size() && p[i + n] == p[i])
        ++n;
    return n;
}

// Copies a quoted literal starting at p[i] == '\''; returns the index after it.
std::size_t copyQuoted(const std::string& p, std::size_t i, std::string& out)
{
    ++i;
    if (i < p.size() && p[i] == '\'') { // '' is one quote
        out.push_back('\'');
        return i + 1;
    }
    while (i < p.size() && p[i] != '\'')
        out.push_back(p[i++]);
    return i < p.size() ? i + 1 : i;
}

} // namespace

std::string formatDate(const CivilDate& date, const std::string& p)
{
    std::string out;
    for (std::size_t i = 0; i < p.size();) {
        const char c = p[i];
        if (c == '\'') {
            i = copyQuoted(p, i, out);
            continue;
        }
        const std::size_t n = (c == 'd' || c == 'M' || c == 'y') ? runLength(p, i) : 1;
        if (c == 'd')
            out += padded(date.day, n >= 2 ? 2 : 1);
        else if (c == 'M')
            out += padded(date.month, n >= 2 ? 2 : 1);
        else if (c == 'y')
            out += n >= 4 ? padded(date.year, 4) : padded(date.year % 100, 2);
        else
            out.push_back(c);
        i += n;
    }
    return out;
}

std::string formatTime(const ClockTime& t, const std::string& p)
{
    std::string out;
    bool twelveHour = p.find("ap") != std::string::npos || p.find("AP") != std::string::npos;
    for (std::size_t i = 0; i < p.size();) {
        const char c = p[i];
        if (c == '\'') {
            i = copyQuoted(p, i, out);
            continue;
        }
        if ((c == 'a' || c == 'A') && i + 1 < p.size() && (p[i + 1] == 'p' || p[i + 1] == 'P')) {
            const bool pm = t.hour >= 12;
            out += c == 'a' ? (pm ? "pm" : "am") : (pm ? "PM" : "AM");
            i += 2;
            continue;
        }
        const std::size_t n = (c == 'H' || c == 'h' || c == 'm' || c == 's') ? runLength(p, i) : 1;
        const std::size_t width = n >= 2 ? 2 : 1;
        if (c == 'H')
            out += padded(t.hour, width);
        else if (c == 'h') {
            int h = t.hour;
            if (twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += padded(h, width);
        } else if (c == 'm')
            out += padded(t.minute, width);
        else if (c == 's')
            out += padded(t.second, width);
        else
            out.push_back(c);
        i += n;
    }
    return out;
}

} // namespace kalvanta
