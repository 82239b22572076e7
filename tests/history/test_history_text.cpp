// Rounding for print: half away from zero on the exact binary value, the
// regional separator, no minus before a zero; a cell of each print kind.
#include <gtest/gtest.h>

#include "history/history_text.h"

namespace kalvanta::history {
namespace {

TEST(HistoryText, RoundsHalfAwayFromZeroOnTheExactValue)
{
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0.125, 2, "0,13"},    // a true tie
        {-0.125, 2, "-0,13"},
        {2.675, 2, "2,67"},    // 2.67499999999999982…
        {1.005, 2, "1,00"},    // 1.00499999999999989…
        {99.995, 2, "100,00"}, // 99.99500000000000454…, carried into the whole part
        {1.45, 1, "1,4"},      // 1.44999999999999995…
        {0.5, 0, "1"},
        {-0.001, 2, "0,00"},
        {9.9999, 2, "10,00"},
        {0.1299999999999999, 3, "0,130"},
        {12345678.5, 0, "12345679"},
        {5e-324, 3, "0,000"},
        {0.0005, 3, "0,001"},  // 0.000500000000000000010…
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(roundedText(c.value, c.decimals, ","), c.text);
    }
}

TEST(HistoryText, CellsByPrintKind)
{
    struct Case {
        Figure figure;
        Print print;
        const char* text;
    };
    const std::vector<Case> cases = {
        {Figure::of(0.12345), Print::Percent1, "12,3"}, {Figure::of(12.345), Print::Share1, "12,3"},
        {Figure::of(1.23456), Print::Model3, "1,235"},  {Figure::of(1.005), Print::Ratio2, "1,00"},
        {Figure::of(1234.5), Print::Amount, "1234,5"},  {Figure::undefined("делитель равен нулю"), Print::Ratio2, "—"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printFigure(c.figure, c.print, ","), c.text);
}

} // namespace
} // namespace kalvanta::history
