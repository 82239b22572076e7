#include <gtest/gtest.h>

#include <string>

#include "inputs/entry_filters.h"

using namespace kalvanta;

namespace {

// Types text character by character through a filter, as the field would.
template <class Filter>
std::string typeInto(Filter filter, const std::u32string& keys)
{
    std::string field;
    for (const char32_t k : keys) {
        const KeyVerdict v = filter(k, field);
        if (v != KeyVerdict::Accept)
            continue;
        if (k == kBackspace) {
            if (!field.empty())
                field.pop_back();
        } else {
            field.push_back(static_cast<char>(k));
        }
    }
    return field;
}

struct TypingCase {
    const char32_t* keys;
    const char* point;
    const char* comma;
};

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, LeavesTheFilteredText)
{
    EXPECT_EQ(typeInto(pointFilter, GetParam().keys), GetParam().point);
    EXPECT_EQ(typeInto(commaFilter, GetParam().keys), GetParam().comma);
}

INSTANTIATE_TEST_SUITE_P(Table, Typing,
                         ::testing::Values(TypingCase{U"1.2.3", "1.23", "123"}, TypingCase{U"12,5", "125", "12,5"},
                                           TypingCase{U"10680,5", "106805", "10680,5"},
                                           TypingCase{U"--5", "--5", "--5"}, TypingCase{U"5-", "5-", "5-"},
                                           TypingCase{U"1 000", "1000", "1000"}, TypingCase{U"1e3", "13", "13"},
                                           TypingCase{U"12\b3", "13", "13"}, TypingCase{U"Ф1\t", "1", "1"},
                                           TypingCase{U"1,2,3", "123", "1,23"}, TypingCase{U"+7", "7", "7"}));

TEST(Filters, EnterMovesFocusAndOtherControlsAreDiscarded)
{
    EXPECT_EQ(pointFilter(kEnter, "12"), KeyVerdict::MoveFocus);
    EXPECT_EQ(commaFilter(kEnter, ""), KeyVerdict::MoveFocus);
    EXPECT_EQ(pointFilter(kBackspace, ""), KeyVerdict::Accept);
    EXPECT_EQ(pointFilter(27, ""), KeyVerdict::Discard);
    EXPECT_EQ(commaFilter(U'.', ""), KeyVerdict::Discard);
    EXPECT_EQ(pointFilter(U',', ""), KeyVerdict::Discard);
    // The filter sees the text, not the caret: a point anywhere blocks another.
    EXPECT_EQ(pointFilter(U'.', ".5"), KeyVerdict::Discard);
}

// The additional data's filter under other regional settings: the regional
// separator takes the comma's place, whatever its length in UTF-8.
struct RegionalCase {
    const char* separator;
    const char32_t* keys;
    const char* field;
};

class RegionalTyping : public ::testing::TestWithParam<RegionalCase> {};

TEST_P(RegionalTyping, LeavesTheFilteredText)
{
    const RegionalCase& c = GetParam();
    std::string field;
    for (const char32_t k : std::u32string(c.keys)) {
        if (decimalFilter(k, field, c.separator) != KeyVerdict::Accept)
            continue;
        if (k == kBackspace)
            field.pop_back();
        else if (k == U'\u066B')
            field += "\u066B";
        else
            field.push_back(static_cast<char>(k));
    }
    EXPECT_EQ(field, c.field);
}

INSTANTIATE_TEST_SUITE_P(Table, RegionalTyping,
                         ::testing::Values(RegionalCase{",", U"10680,5.1", "10680,51"},
                                           RegionalCase{".", U"10680,5.1", "106805.1"},
                                           RegionalCase{".", U"1.5.5-", "1.55-"},
                                           RegionalCase{".", U"2.\b,5", "25"},
                                           RegionalCase{"\u066B", U"1\u066B5\u066B,.5", "1\u066B55"},
                                           RegionalCase{"", U"1,5.5", "155"}));

TEST(EnterChains, AssetDialogs)
{
    const std::pair<const char*, const char*> chain[] = {
        {"Edit1", "Edit2"}, {"Edit2", "Edit3"}, {"Edit5", "Edit6"}, {"Edit8", "Edit9"}, {"Edit9", "Edit10"}};
    for (const auto& [from, to] : chain)
        EXPECT_EQ(assetEnterTarget(from), std::optional<std::string>(to)) << from;
    for (const char* none : {"Edit3", "Edit4", "Edit6", "Edit10", "Edit16"})
        EXPECT_EQ(assetEnterTarget(none), std::nullopt) << none;
}

TEST(EnterChains, AdditionalDataDialog)
{
    const char* order[] = {"Edit1",  "Edit2",  "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit7",
                           "Edit8",  "Edit9",  "Edit10", "Edit11", "Edit12", "Edit13", "Edit15",
                           "Edit16", "Edit17", "Edit18", "Edit19", "Edit20", "Edit21"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(additionalEnterTarget(order[i]), std::optional<std::string>(order[i + 1])) << order[i];
    EXPECT_EQ(additionalEnterTarget("Edit21"), std::optional<std::string>("Edit20"));
    EXPECT_EQ(additionalEnterTarget("Edit14"), std::nullopt);
    for (const char* b : {"Edit8", "Edit10", "Edit12", "Edit16", "Edit18", "Edit20"})
        EXPECT_TRUE(isProductBField(b)) << b;
    for (const char* a : {"Edit7", "Edit9", "Edit11", "Edit13", "Edit21", "Edit1"})
        EXPECT_FALSE(isProductBField(a)) << a;
}

} // namespace
