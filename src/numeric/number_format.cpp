#include "number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace kalvanta {

namespace {

constexpr int kSignificant = 15;

// Decimal digits of |value| in scientific form: digits "d0d1d2…" and the
// exponent of d0.
struct Scientific {
    std::string digits;
    int exponent = 0;
};

Scientific scientific(long double magnitude, int precision, char* buf, std::size_t size)
{
    // Most report values are doubles widened to extended; the double
    // conversion gives the same exact digits several times faster.
    const double asDouble = static_cast<double>(magnitude);
    const auto res = static_cast<long double>(asDouble) == magnitude
                         ? std::to_chars(buf, buf + size, asDouble, std::chars_format::scientific, precision)
                         : std::to_chars(buf, buf + size, magnitude, std::chars_format::scientific, precision);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    Scientific s;
    const auto e = text.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            s.digits.push_back(text[i]);
    std::string_view exp = text.substr(e + 1);
    if (!exp.empty() && exp.front() == '+')
        exp.remove_prefix(1);
    std::from_chars(exp.data(), exp.data() + exp.size(), s.exponent);
    return s;
}

// Rounds |value| to 15 significant digits, halves away from zero on the
// exact binary value (to_chars alone would round halves to even).
Scientific roundTo15(long double magnitude)
{
    std::array<char, 64> small{};
    // 26 digits, rounded by to_chars; digits 16…26 decide unless they read
    // exactly 50000000000, where the exact expansion must be consulted.
    Scientific wide = scientific(magnitude, 25, small.data(), small.size());
    const std::string tail = wide.digits.substr(kSignificant);
    bool up;
    if (tail != "50000000000") {
        up = tail[0] >= '5';
    } else {
        // A long double's exact decimal expansion has at most a few
        // thousand digits; ask for all of them.
        std::vector<char> big(6000);
        Scientific exact = scientific(magnitude, 5000, big.data(), big.size());
        const std::string_view rest = std::string_view(exact.digits).substr(kSignificant);
        // rest[0] is '4' or '5' here; with '5' the value is at or above the half.
        up = rest[0] >= '5';
        wide = exact;
    }
    Scientific r;
    r.digits = wide.digits.substr(0, kSignificant);
    r.exponent = wide.exponent;
    if (up) {
        int i = kSignificant - 1;
        while (i >= 0 && r.digits[static_cast<std::size_t>(i)] == '9') {
            r.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            r.digits.insert(r.digits.begin(), '1');
            r.digits.pop_back();
            ++r.exponent;
        } else {
            ++r.digits[static_cast<std::size_t>(i)];
        }
    }
    while (r.digits.size() > 1 && r.digits.back() == '0')
        r.digits.pop_back();
    return r;
}

} // namespace

std::string formatGeneral(long double value, const std::string& sep)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0L)
        return "0";

    // Whole numbers of up to 15 digits print as they are.
    const long double magnitude = fabsl(value);
    if (magnitude < 1e15L && truncl(magnitude) == magnitude) {
        std::array<char, 24> buf{};
        const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<long long>(value));
        return std::string(buf.data(), res.ptr);
    }

    const Scientific s = roundTo15(magnitude);
    std::string out = value < 0 ? "-" : "";
    const int e = s.exponent;
    const std::string& d = s.digits;
    if (e < -4 || e >= kSignificant) {
        out.push_back(d[0]);
        if (d.size() > 1) {
            out += sep;
            out.append(d, 1, std::string::npos);
        }
        // Appended piecewise: "E" + to_string(e) inserts at the front of a
        // temporary, which g++ 12 at -O3 wrongly flags as overlapping memcpy.
        out += 'E';
        out += std::to_string(e);
        return out;
    }
    if (e < 0) {
        out += "0" + sep;
        out.append(static_cast<std::size_t>(-e - 1), '0');
        out += d;
        return out;
    }
    const auto intDigits = static_cast<std::size_t>(e + 1);
    if (d.size() <= intDigits) {
        out += d;
        out.append(intDigits - d.size(), '0');
    } else {
        out.append(d, 0, intDigits);
        out += sep;
        out.append(d, intDigits, std::string::npos);
    }
    return out;
}

} // namespace kalvanta
