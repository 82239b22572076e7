#include "report_context.h"

namespace kalvanta {

std::size_t charCount(std::string_view utf8)
{
    std::size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string padTo(std::string_view label, std::size_t totalChars)
{
    std::string s(label);
    const std::size_t have = charCount(label);
    if (have < totalChars)
        s.append(totalChars - have, ' ');
    return s;
}

std::string spaces(std::size_t n) { return std::string(n, ' '); }

} // namespace kalvanta
