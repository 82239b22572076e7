// Fuzz target for number entry: the text-to-number conversion with a point,
// a comma and a two-byte separator, and the two keystroke filters with the
// bytes typed, character by character, into a simulated line edit (cursor,
// selection, Delete) and then converted, as a dialog does.
//
// Checked: parseNumber raises exactly where tryParseNumber gives nothing and
// both give the same double; acceptance follows an independent reading of
// the grammar and the value is strtod's nearest double; accepted values are
// finite; a filtered field holds only digits, '-' and at most one of its
// separator; formatGeneral gives at most 15 significant digits that read
// back to the same double when the 15-digit form is exact (and close
// otherwise), and is symmetric in the sign.
#include "inputs/entry_filters.h"
#include "numeric/float_errors.h"
#include "numeric/number_format.h"
#include "numeric/number_parse.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace kalvanta;

[[noreturn]] void fault(const char* what, std::string_view text) {
    std::fprintf(stderr, "number entry: %s: \"%.*s\"\n", what, static_cast<int>(text.size()), text.data());
    std::abort();
}

bool sameDouble(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The grammar read again, differently: strip blanks, then walk the parts.
// Returns the number in strtod's C-locale form, or nothing.
std::optional<std::string> referenceCanonical(std::string_view text, std::string_view sep) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const auto last = text.find_last_not_of(" \t");
    std::string_view t = text.substr(first, last - first + 1);
    std::string out;
    if (t.front() == '+' || t.front() == '-') {
        if (t.front() == '-') out.push_back('-');
        t.remove_prefix(1);
    }
    const auto takeDigits = [&](std::string_view& s) {
        std::size_t n = 0;
        while (n < s.size() && s[n] >= '0' && s[n] <= '9') ++n;
        out.append(s.substr(0, n));
        s.remove_prefix(n);
        return n;
    };
    std::size_t mantissaDigits = takeDigits(t);
    if (!sep.empty() && t.starts_with(sep)) {
        out.push_back('.');
        t.remove_prefix(sep.size());
        mantissaDigits += takeDigits(t);
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (!t.empty() && (t.front() == 'e' || t.front() == 'E')) {
        out.push_back('e');
        t.remove_prefix(1);
        if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
            out.push_back(t.front());
            t.remove_prefix(1);
        }
        if (takeDigits(t) == 0) return std::nullopt;
    }
    if (!t.empty()) return std::nullopt;
    return out;
}

int significantDigits(std::string_view formatted) {
    const std::string_view mantissa = formatted.substr(0, formatted.find('E'));
    std::string digits;
    for (const char c : mantissa) {
        if (c >= '0' && c <= '9') digits.push_back(c);
    }
    const auto nonZero = digits.find_first_not_of('0');
    if (nonZero == std::string::npos) return 0;
    digits.erase(0, nonZero);
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    return static_cast<int>(digits.size());
}

// Whether `value` is the double nearest to its own 15-significant-digit form.
bool fifteenDigitsExact(double value) {
    char buffer[64];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    *res.ptr = '\0';
    return std::strtod(buffer, nullptr) == value;
}

void checkFormat(long double value, const std::string& sep) {
    const std::string formatted = formatGeneral(value, sep);
    if (significantDigits(formatted) > 15) fault("more than 15 significant digits", formatted);
    if (value != 0.0L && formatGeneral(-value, sep) != (value < 0 ? formatted.substr(1) : "-" + formatted)) {
        fault("formatting is not symmetric in the sign", formatted);
    }
    const long double magnitude = fabsl(value);
    if (magnitude > static_cast<long double>(DBL_MAX)) return;  // no double to read back into
    const std::optional<double> back = tryParseNumber(formatted, sep);
    const auto asDouble = static_cast<double>(value);
    if (!back) {
        // Only a value rounded up past the largest double may fail to read back.
        if (magnitude < 1.797693134862315e308L) fault("formatted value does not read back", formatted);
        return;
    }
    if (static_cast<long double>(asDouble) == value && fifteenDigitsExact(asDouble)) {
        if (*back != asDouble) fault("exact 15-digit value read back different", formatted);
    } else if (magnitude >= static_cast<long double>(DBL_MIN)) {
        if (std::fabs(*back - asDouble) > 1e-14 * std::fabs(asDouble)) fault("formatted value is not close", formatted);
    }
}

void checkConversion(std::string_view text, const std::string& sep) {
    const std::optional<double> tried = tryParseNumber(text, sep);
    try {
        const double parsed = parseNumber(text, sep);
        if (!tried || !sameDouble(parsed, *tried)) fault("parseNumber accepted what tryParseNumber did not", text);
    } catch (const ConversionError& e) {
        if (tried) fault("parseNumber raised where tryParseNumber accepted", text);
        if (e.fieldText() != text) fault("the error does not quote the text as typed", text);
    }

    const std::optional<std::string> canonical = referenceCanonical(text, sep);
    if (!canonical) {
        if (tried) fault("accepted text outside the grammar", text);
        return;
    }
    errno = 0;
    const double expected = std::strtod(canonical->c_str(), nullptr);
    if (std::isinf(expected)) {
        if (tried) fault("accepted a value beyond the double range", text);
        return;
    }
    if (!tried) fault("refused a number within the grammar", text);
    if (!std::isfinite(*tried)) fault("accepted value is not finite", text);
    if (!sameDouble(*tried, expected)) fault("not the nearest double", text);
    checkFormat(*tried, sep);
}

// A line edit driven by key presses: characters pass the filter first, as
// the dialogs' event filter does; editing keys bypass it.
class Field {
public:
    explicit Field(KeyVerdict (*filter)(char32_t, std::string_view)) : filter_(filter) {}

    void press(char32_t key) {
        switch (key) {
        case 1: cursor_ = cursor_ > 0 ? cursor_ - 1 : 0; anchor_ = cursor_; return;             // Left
        case 2: cursor_ = std::min(cursor_ + 1, text_.size()); anchor_ = cursor_; return;       // Right
        case 3: cursor_ = anchor_ = 0; return;                                                   // Home
        case 4: cursor_ = anchor_ = text_.size(); return;                                        // End
        case 5: cursor_ = cursor_ > 0 ? cursor_ - 1 : 0; return;                                 // Shift+Left
        case 6: anchor_ = 0; cursor_ = text_.size(); return;                                     // select all
        case 7: if (!removeSelection() && cursor_ < text_.size()) text_.erase(cursor_, 1); return; // Delete
        default: break;
        }
        const KeyVerdict verdict = filter_(key, text_);
        if (verdict != KeyVerdict::Accept) return;
        if (key == kBackspace) {
            if (!removeSelection() && cursor_ > 0) text_.erase(--cursor_, 1);
            anchor_ = cursor_;
            return;
        }
        if (key > 0x7F) fault("the filter let a non-ASCII character through", text_);
        removeSelection();
        text_.insert(cursor_++, 1, static_cast<char>(key));
        anchor_ = cursor_;
    }
    const std::string& text() const { return text_; }

private:
    bool removeSelection() {
        if (anchor_ == cursor_) return false;
        const std::size_t from = std::min(anchor_, cursor_);
        text_.erase(from, std::max(anchor_, cursor_) - from);
        cursor_ = anchor_ = from;
        return true;
    }

    KeyVerdict (*filter_)(char32_t, std::string_view);
    std::string text_;
    std::size_t cursor_ = 0;
    std::size_t anchor_ = 0;
};

// UTF-8 where the bytes form it, otherwise one key per byte.
char32_t nextKey(std::string_view bytes, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(bytes[pos]);
    const int length = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
    if (length > 1 && pos + static_cast<std::size_t>(length) <= bytes.size()) {
        char32_t code = b0 & (0x7F >> length);
        bool ok = true;
        for (int i = 1; i < length; ++i) {
            const auto b = static_cast<unsigned char>(bytes[pos + static_cast<std::size_t>(i)]);
            ok = ok && (b & 0xC0) == 0x80;
            code = code << 6 | (b & 0x3F);
        }
        if (ok) {
            pos += static_cast<std::size_t>(length);
            return code;
        }
    }
    ++pos;
    return b0;
}

void typeIntoField(std::string_view bytes, KeyVerdict (*filter)(char32_t, std::string_view), char separator) {
    Field field(filter);
    for (std::size_t pos = 0; pos < bytes.size();) {
        field.press(nextKey(bytes, pos));
    }
    const std::string& text = field.text();
    const char other = separator == '.' ? ',' : '.';
    if (std::count(text.begin(), text.end(), separator) > 1) fault("more than one separator got through", text);
    if (text.find_first_not_of(std::string("0123456789-") + separator) != std::string::npos) {
        fault("a character outside the field's set got through", text);
    }
    if (text.find(other) != std::string::npos) fault("the other separator got through", text);
    // The dialog converts with the regional separator, which may be either.
    checkConversion(text, ".");
    checkConversion(text, ",");
}

// An extended value built from the bytes (only values arithmetic can give).
void checkExtended(std::string_view bytes) {
    if (bytes.size() < 10) return;
    std::uint64_t mantissa = 0;
    std::memcpy(&mantissa, bytes.data(), sizeof mantissa);
    std::int16_t exponent = 0;
    std::memcpy(&exponent, bytes.data() + 8, sizeof exponent);
    const long double value = ldexpl(static_cast<long double>(mantissa), exponent % 16500 - 63);
    if (!std::isfinite(value)) return;
    checkFormat(value, ",");
    checkFormat(value, ".");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkConversion(bytes, ".");
    checkConversion(bytes, ",");
    checkConversion(bytes, "\xD9\xAB");  // U+066B, a locale's decimal separator of two bytes
    typeIntoField(bytes, &pointFilter, '.');
    typeIntoField(bytes, &commaFilter, ',');
    checkExtended(bytes);
    return 0;
}
