#include <gtest/gtest.h>

#include <string>

#include "inputs/json_loader.h"
#include "statements/state_json_reader.h"
#include "statements/statement_limits.h"

using namespace kalvanta;

namespace {

// A company's list of reports as the resource serves it: 2023 filed once,
// 2024 filed and then corrected (correction 1 valid).
const char* const kReports = R"js([
  {"id": 11, "period": "2023", "knd": "0710099", "actualCorrectionNumber": 0,
   "organizationInfo": {"fullName": "ООО \"Старое имя\"", "inn": "7701000001"},
   "typeCorrections": [{"type": 12, "correction": {"id": 1, "correctionVersion": 0, "knd": "0710099",
     "balance": {"okud": "0710001", "current1600": 900, "previous1600": 800, "beforePrevious1600": 700},
     "financialResult": {"okud": "0710002", "current2110": 90, "previous2110": 80}}}]},
  {"id": 12, "period": "2024", "knd": "0710099", "actualCorrectionNumber": 1,
   "organizationInfo": {"fullName": "ООО \"Ромашка\"", "inn": "7701000001"},
   "typeCorrections": [
    {"type": 12, "correction": {"id": 2, "correctionVersion": 0, "knd": "0710099",
     "balance": {"current1600": 1}, "financialResult": {"current2110": 1}}},
    {"type": 12, "correction": {"id": 3, "correctionVersion": 1, "knd": "0710099",
     "bfoOrganizationInfo": {"fullName": "ООО \"Ромашка\" (исправлено)", "inn": "7701000001"},
     "balance": {"okud": "0710001", "current1600": 1000.5, "previous1600": 900, "beforePrevious1600": null,
                 "current1370": -25, "explanation1600": "5.1"},
     "financialResult": {"current2110": 120, "previous2110": 90, "current2120": -70},
     "fundsMovement": {"current4311": 40}}}]}
])js";

TEST(StateJson, NewestYearInItsValidCorrection)
{
    const Statement st = readStateJson(kReports, "r.json", std::nullopt);
    EXPECT_EQ(st.year, 2024);
    EXPECT_EQ(st.organisation, "ООО \"Ромашка\" (исправлено)");
    EXPECT_EQ(st.taxNumber, "7701000001");
    EXPECT_EQ(st.unitCode, 384);
    EXPECT_EQ(st.sourceName, "r.json");
    EXPECT_NE(st.formatName.find("correction 1"), std::string::npos) << st.formatName;
    ASSERT_EQ(st.lines.count(1600), 1u);
    EXPECT_EQ(st.lines.at(1600)[kCurrent], 1000.5);
    EXPECT_EQ(st.lines.at(1600)[kPrevious], 900.0);
    EXPECT_FALSE(st.lines.at(1600)[kBeforePrevious].has_value()); // null: an empty cell
    EXPECT_EQ(st.lines.at(1370)[kCurrent], -25.0);
    EXPECT_EQ(st.lines.at(2120)[kCurrent], -70.0); // signs as the file gives them
    EXPECT_EQ(st.lines.at(4311)[kCurrent], 40.0);
    EXPECT_EQ(st.lines.size(), 5u); // okud, explanation keys are no lines
}

TEST(StateJson, AskedYear)
{
    const Statement st = readStateJson(kReports, "r.json", 2023);
    EXPECT_EQ(st.year, 2023);
    EXPECT_EQ(st.organisation, "ООО \"Старое имя\"");
    EXPECT_EQ(st.lines.at(1600)[kBeforePrevious], 700.0);
    EXPECT_EQ(st.lines.at(2110)[kPrevious], 80.0);
}

struct Accepted {
    const char* name;
    const char* json;
    int year;
    double current1600;
    const char* organisation;
    int unit;
};

class StateJsonShapes : public ::testing::TestWithParam<Accepted> {};

TEST_P(StateJsonShapes, Read)
{
    const Accepted& a = GetParam();
    const Statement st = readStateJson(a.json, "s.json", std::nullopt);
    EXPECT_EQ(st.year, a.year);
    EXPECT_EQ(st.lines.at(1600)[kCurrent], a.current1600);
    EXPECT_EQ(st.organisation, a.organisation);
    EXPECT_EQ(st.unitCode, a.unit);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StateJsonShapes,
    ::testing::Values(
        Accepted{"OneReport",
                 R"({"period": 2022, "actualCorrectionNumber": 0, "organizationInfo": {"shortName": "АО Б"},
                     "typeCorrections": [{"correction": {"balance": {"current1600": 5}, "financialResult": {}}}]})",
                 2022, 5, "АО Б", 384},
        Accepted{"BareCorrection",
                 R"({"period": "2021", "correctionVersion": 2, "fullName": "ИП В", "inn": "770100000123",
                     "balance": {"current1600": 6, "okei": "385"}, "financialResult": {"current2110": 1}})",
                 2021, 6, "ИП В", 385},
        Accepted{"CorrectionsWithoutActualNumberNewestWins",
                 R"([{"period": "2020", "correctionVersion": 0, "balance": {"current1600": 1}, "financialResult": {}},
                     {"period": "2020", "correctionVersion": 3, "balance": {"current1600": 7}, "financialResult": {}}])",
                 2020, 7, "", 384},
        Accepted{"UnpublishedNewerYearPassedOver",
                 R"([{"period": "2025", "typeCorrections": []},
                     {"period": "2024", "actualCorrectionNumber": 0,
                      "typeCorrections": [{"correction": {"correctionVersion": 0, "balance": {"current1600": 8},
                                                          "financialResult": {}}}]}])",
                 2024, 8, "", 384},
        Accepted{"OtherYearsFaultsPassedOver",
                 R"([{"period": "2023", "balance": {"current1600": "x", "current2110": 1}, "financialResult": []},
                     {"period": "2024", "balance": {"current1600": 3}, "financialResult": {}}])",
                 2024, 3, "", 384},
        Accepted{"NoPeriodNoYear", R"({"balance": {"current1600": 9}, "financialResult": {}})", 0, 9, "", 384}),
    [](const auto& info) { return std::string(info.param.name); });

struct Rejected {
    const char* name;
    std::string json;
    const char* mentions;
};

class StateJsonRejected : public ::testing::TestWithParam<Rejected> {};

TEST_P(StateJsonRejected, NamesFileAndKey)
{
    try {
        readStateJson(GetParam().json, "bad.json", std::nullopt);
        FAIL() << "accepted";
    } catch (const InputError& e) {
        const std::string msg = e.what();
        EXPECT_EQ(msg.rfind("bad.json: ", 0), 0u) << msg;
        EXPECT_NE(msg.find(GetParam().mentions), std::string::npos) << msg;
    }
}

const std::string kOne = R"({"period": "2024", "balance": {"current1600": 1}, "financialResult": {"current2110": 1}})";

std::string replaced(std::string s, const std::string& from, const std::string& to)
{
    s.replace(s.find(from), from.size(), to);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Table, StateJsonRejected,
    ::testing::Values(
        Rejected{"Malformed", R"({"period": "2024", "balance": {"current1600": 1,}})", "malformed JSON"},
        Rejected{"Truncated", kOne.substr(0, 30), "malformed JSON"},
        Rejected{"NumberBeyondDouble", replaced(kOne, "\"current1600\": 1", "\"current1600\": 1e999"),
                 "\"balance.current1600\" is beyond the range of numbers"},
        Rejected{"ValueText", replaced(kOne, "\"current1600\": 1", "\"current1600\": \"1\""),
                 "\"balance.current1600\" must be a number"},
        Rejected{"DuplicateLine", replaced(kOne, "\"current1600\": 1", "\"current1600\": 1, \"current1600\": 2"),
                 "duplicate key \"balance.current1600\""},
        Rejected{"DuplicateInList",
                 "[" + kOne + "," + replaced(kOne, "\"current2110\": 1", "\"current2110\": 1, \"current2110\": 1") + "]",
                 "duplicate key \"[1].financialResult.current2110\""},
        Rejected{"LineInWrongForm", replaced(kOne, "\"current2110\"", "\"current1600\""),
                 "\"financialResult.current1600\": line 1600 does not belong"},
        Rejected{"ThreeYearsOfProfit", replaced(kOne, "\"current2110\"", "\"beforePrevious2110\""),
                 "no before-previous column"},
        Rejected{"NoBalance", R"({"period": "2024", "financialResult": {}})", "\"balance\" is missing"},
        Rejected{"NoProfitAndLoss", R"({"period": "2024", "balance": {}})", "\"financialResult\" is missing"},
        Rejected{"BalanceNotObject", R"({"period": "2024", "balance": [], "financialResult": {}})",
                 "\"balance\" must be an object"},
        Rejected{"Simplified", replaced(kOne, "{", R"({"knd": "0710096", )"), "KND 0710096"},
        Rejected{"OtherDocument", replaced(kOne, "{", R"({"knd": "1151001", )"), "\"1151001\" is not"},
        Rejected{"BadUnit", replaced(kOne, "{\"current1600\"", "{\"okei\": \"999\", \"current1600\""),
                 "\"balance.okei\""},
        Rejected{"NoYearAmongSeveral", "[" + kOne + R"(, {"balance": {}, "financialResult": {}}])",
                 "\"[1].period\" is missing"},
        Rejected{"BadYear", replaced(kOne, "\"2024\"", "\"24\""), "\"period\" must be a year"},
        Rejected{"NotAReport", R"({"content": []})", "the top level is not a report"},
        Rejected{"NumberAtTop", "42", "top level must be"},
        Rejected{"ListItemNotObject", "[" + kOne + ", 3]", "\"[1]\" must be an object"},
        Rejected{"EmptyList", "[]", "no report"},
        Rejected{"NoValidCorrection",
                 R"({"period": "2024", "actualCorrectionNumber": 2, "typeCorrections": [
                     {"correction": {"correctionVersion": 0, "balance": {}, "financialResult": {}}}]})",
                 "no valid correction for the year 2024"},
        Rejected{"TwoValidCorrections",
                 "[" + kOne + "," + kOne + "]", "two corrections numbered 0"},
        Rejected{"CorrectionNotReport",
                 R"({"period": "2024", "typeCorrections": [{"correction": {"id": 1}}]})",
                 "\"typeCorrections[0].correction\" must be an object with"},
        Rejected{"NameNotText", replaced(kOne, "{", R"({"fullName": 5, )"), "\"fullName\" must be a string"},
        Rejected{"CorrectionNumberNegative", replaced(kOne, "{", R"({"correctionVersion": -1, )"),
                 "\"correctionVersion\" must be a whole number"},
        Rejected{"NestedTooDeep", [] {
                     std::string deep;
                     for (int i = 0; i < 65; ++i)
                         deep += "{\"a\": ";
                     return deep + "1" + std::string(65, '}');
                 }(),
                 "nested deeper than 64 levels"},
        Rejected{"TwoCorrectionsInOneElement",
                 R"({"period": "2024", "typeCorrections": [{"correction": {"balance": {}, "financialResult": {}},
                                                           "correction": {"balance": {}, "financialResult": {}}}]})",
                 "duplicate key \"typeCorrections[0].correction\""},
        Rejected{"TooManyReports", [] {
                     std::string list = "[";
                     for (int i = 0; i < 10'001; ++i)
                         list += i ? ",{}" : "{}";
                     return list + "]";
                 }(),
                 "\"[10000]\": more than 10000 reports and corrections"},
        Rejected{"DuplicatePeriod", replaced(kOne, "{", R"({"period": "2023", )"), "duplicate key \"period\""},
        Rejected{"PastTheCap",
                 std::string(statement_limits::kMaxStateJsonBytes - kOne.size() + 1, ' ') + kOne, "larger than"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StateJson, AskedYearMissingNamesTheYearsHeld)
{
    try {
        readStateJson(kReports, "r.json", 2019);
        FAIL();
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "r.json: no report for the year 2019 (the file holds 2023, 2024)");
    }
}

} // namespace
