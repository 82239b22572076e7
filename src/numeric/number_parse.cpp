#include "number_parse.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "float_errors.h"

namespace kalvanta {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::optional<double> tryParseNumber(std::string_view text, const std::string& sep)
{
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    const std::string_view t = text.substr(b, e - b);

    // Rebuild the number in the form from_chars reads: '.' separator, no '+'.
    std::string canonical;
    canonical.reserve(t.size());
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-')
            canonical.push_back('-');
        ++i;
    }
    int digits = 0;
    bool separatorSeen = false;
    while (i < t.size()) {
        if (isDigit(t[i])) {
            canonical.push_back(t[i++]);
            ++digits;
        } else if (!separatorSeen && !sep.empty() && t.substr(i, sep.size()) == sep) {
            canonical.push_back('.');
            i += sep.size();
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        canonical.push_back('e');
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
            if (t[i] == '-')
                canonical.push_back('-');
            ++i;
        }
        int expDigits = 0;
        while (i < t.size() && isDigit(t[i])) {
            canonical.push_back(t[i++]);
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;

    double value = 0.0;
    const char* first = canonical.data();
    const char* last = first + canonical.size();
    const auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ptr != last)
        return std::nullopt;
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars reports underflow and overflow alike; only overflow is
        // an error, a value too small for a double reads as zero.
        long double probe = 0.0L;
        const auto wide = std::from_chars(first, last, probe, std::chars_format::general);
        if (wide.ec == std::errc() && std::fabs(probe) < 1.0L)
            return static_cast<double>(probe);
        // Still out of range in extended: decide by the exponent's sign.
        const auto ePos = canonical.find('e');
        if (ePos != std::string::npos && ePos + 1 < canonical.size() && canonical[ePos + 1] == '-')
            return canonical[0] == '-' ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (res.ec != std::errc() || std::isinf(value))
        return std::nullopt;
    return value;
}

double parseNumber(std::string_view text, const std::string& sep)
{
    const auto v = tryParseNumber(text, sep);
    if (!v)
        throw ConversionError(text);
    return *v;
}

} // namespace kalvanta
