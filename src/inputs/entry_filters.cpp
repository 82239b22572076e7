#include "entry_filters.h"

#include <array>
#include <utility>

namespace kalvanta {

namespace {

std::string utf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

KeyVerdict filterWith(char32_t typed, std::string_view text, std::string_view separator)
{
    if (typed >= U'0' && typed <= U'9')
        return KeyVerdict::Accept;
    if (!separator.empty() && utf8(typed) == separator)
        return text.find(separator) == std::string_view::npos ? KeyVerdict::Accept : KeyVerdict::Discard;
    if (typed == U'-' || typed == kBackspace)
        return KeyVerdict::Accept;
    if (typed == kEnter)
        return KeyVerdict::MoveFocus;
    return KeyVerdict::Discard;
}

using Step = std::pair<std::string_view, std::string_view>;

constexpr std::array<Step, 5> kAssetChain = {{
    {"Edit1", "Edit2"}, {"Edit2", "Edit3"}, {"Edit5", "Edit6"}, {"Edit8", "Edit9"}, {"Edit9", "Edit10"},
}};

constexpr std::array<Step, 20> kAdditionalChain = {{
    {"Edit1", "Edit2"},   {"Edit2", "Edit3"},   {"Edit3", "Edit4"},   {"Edit4", "Edit5"},
    {"Edit5", "Edit6"},   {"Edit6", "Edit7"},   {"Edit7", "Edit8"},   {"Edit8", "Edit9"},
    {"Edit9", "Edit10"},  {"Edit10", "Edit11"}, {"Edit11", "Edit12"}, {"Edit12", "Edit13"},
    {"Edit13", "Edit15"}, {"Edit15", "Edit16"}, {"Edit16", "Edit17"}, {"Edit17", "Edit18"},
    {"Edit18", "Edit19"}, {"Edit19", "Edit20"}, {"Edit20", "Edit21"}, {"Edit21", "Edit20"},
}};

template <std::size_t N>
std::optional<std::string> lookup(const std::array<Step, N>& chain, std::string_view field)
{
    for (const auto& [from, to] : chain)
        if (from == field)
            return std::string(to);
    return std::nullopt;
}

} // namespace

KeyVerdict pointFilter(char32_t typed, std::string_view currentText) { return filterWith(typed, currentText, "."); }
KeyVerdict commaFilter(char32_t typed, std::string_view currentText) { return filterWith(typed, currentText, ","); }
KeyVerdict decimalFilter(char32_t typed, std::string_view currentText, std::string_view separator)
{
    return filterWith(typed, currentText, separator);
}

std::optional<std::string> assetEnterTarget(std::string_view field) { return lookup(kAssetChain, field); }
std::optional<std::string> additionalEnterTarget(std::string_view field) { return lookup(kAdditionalChain, field); }

bool isProductBField(std::string_view field)
{
    // PriceB, UnitVariableCostB, QuantityB of both years.
    static constexpr std::array<std::string_view, 6> kB = {"Edit8", "Edit10", "Edit12", "Edit16", "Edit18", "Edit20"};
    for (const auto b : kB)
        if (b == field)
            return true;
    return false;
}

} // namespace kalvanta
