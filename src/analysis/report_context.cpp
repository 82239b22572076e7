#include "report_context.h"

namespace kalvanta {

const BalanceSheet& ReportContext::sheetAt(std::size_t d) const
{
    switch (d) {
    case date::Y1Start: return input.Y1Start;
    case date::Y1End: return input.Y1End;
    default: return input.Y2End;
    }
}

std::string ReportContext::dateValues(const ByDate& v, std::string_view sep1, std::string_view sep2) const
{
    std::string s = num(v[date::Y1Start]);
    if (twoYear) {
        s += sep2;
        s += num(v[date::Y1End]);
        s += '/';
        s += num(v[date::Y2End]);
    } else {
        s += sep1;
        s += num(v[date::Y1End]);
    }
    return s;
}

std::string ReportContext::yearValues(const ByYear& v) const
{
    std::string s = num(v[year::Y1]);
    if (twoYear) {
        s += '/';
        s += num(v[year::Y2]);
    }
    return s;
}

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

namespace {
const std::string kIndicator = "  Показатель";
const std::string kThreeDates = "на начало года/на конец года/на конец 2-го года ";
} // namespace

std::string columnHeaderH1() { return kIndicator + spaces(119) + "на начало года  на конец года "; }
std::string columnHeaderH2() { return kIndicator + spaces(79) + kThreeDates; }
std::string columnHeaderH3() { return kIndicator + spaces(89) + kThreeDates; }
std::string columnHeaderH4() { return kIndicator + spaces(72) + kThreeDates; }
std::string columnHeaderH5() { return kIndicator + spaces(60) + "на начало года /на конец года/на конец 2-го года "; }
std::string columnHeaderH6() { return kIndicator + spaces(119) + "на период "; }
std::string columnHeaderH7() { return "  Показатель на конец периода" + spaces(118) + "на период "; }
std::string columnHeaderH8() { return "  Показатели на конец периодов (*/*)" + spaces(118); }

} // namespace kalvanta
