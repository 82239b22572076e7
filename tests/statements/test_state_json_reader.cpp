#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The resource's quirks, read by the fixed report's path (the newest year).
struct Quirk {
    const char* name;
    std::string json;
    int year;
    int line; // a line of the year taken and its current value
    double value;
    bool simplified, hasBalance, hasProfitLoss;
    const char* okved;
    std::vector<std::string> notes;
};

// One year's report: `corrections` inside typeCorrections, the entry's keys before them.
std::string entry(const std::string& period, const std::string& keys, const std::string& corrections)
{
    return R"({"period": ")" + period + "\", " + keys + (keys.empty() ? "" : ", ") + R"("typeCorrections": [)" +
           corrections + "]}";
}

std::string correction(const std::string& body) { return R"({"type": 12, "correction": {)" + body + "}}"; }

const std::string kForms = R"("balance": {"current1600": 10}, "financialResult": {"current2110": 4})";

TEST(StateJson, QuirksOfTheResource)
{
    const std::vector<Quirk> rows = {
        {"simplified statements", entry("2024", R"("knd": "0710096")", correction(R"("knd": "0710096", "correctionVersion": 0,
             "balance": {"current1150": 7, "current1230": 2, "current1600": 9, "current1520": 3, "current1700": 9},
             "financialResult": {"current2110": 50, "current2120": -40, "current2400": 8})")),
         2024, 1150, 7, true, true, true, "", {}},
        {"full statements with an auditor's code beside",
         entry("2024", R"("knd": "0710099 0710095")", correction(kForms)), 2024, 1600, 10, false, true, true, "", {}},
        {"simplified among a list of codes", entry("2024", "", correction(R"("knd": "0710096 0710099", )" + kForms)),
         2024, 2110, 4, true, true, true, "", {}},
        {"the named correction is missing: the highest taken",
         entry("2024", R"("actualCorrectionNumber": 3)",
               correction(R"("correctionVersion": 0, "balance": {"current1600": 1}, "financialResult": {})") + "," +
                   correction(R"("correctionVersion": 2, "balance": {"current1600": 22}, "financialResult": {})") + "," +
                   correction(R"("correctionVersion": 1, "balance": {"current1600": 11}, "financialResult": {})")),
         2024, 1600, 22, false, true, true, "",
         {"Отчетность за 2024 год: актуальная корректировка 3 («actualCorrectionNumber») в файле отсутствует, "
          "взята корректировка 2 с наибольшим номером."}},
        {"actualCorrectionNumber null",
         entry("2024", R"("actualCorrectionNumber": null)",
               correction(R"("correctionVersion": 1, "balance": {"current1600": 11}, "financialResult": {})") + "," +
                   correction(R"("correctionVersion": 0, "balance": {"current1600": 1}, "financialResult": {})")),
         2024, 1600, 11, false, true, true, "",
         {"Отчетность за 2024 год: номер актуальной корректировки («actualCorrectionNumber») не указан, взята "
          "корректировка 1 с наибольшим номером."}},
        {"numbers with a fraction and an exponent",
         entry("2024", R"("actualCorrectionNumber": 1.0)",
               correction(R"("correctionVersion": 1.0, "balance": {"okei": 384.0, "current1600": 2.5736328136E10},
                             "financialResult": {"current2110": 418.0})")),
         2024, 1600, 25736328136.0, false, true, true, "", {}},
        {"years in any order and with gaps",
         "[" + entry("2021", "", correction(kForms)) + "," +
             entry("2025", "", correction(R"("balance": {"current1600": 25}, "financialResult": {})")) + "," +
             entry("2023", "", correction(kForms)) + "]",
         2025, 1600, 25, false, true, true, "", {}},
        {"an interim set by its correction's type",
         "[" + entry("2024", "", correction(kForms)) + "," +
             entry("2025", "", R"({"type": 6, "correction": {"periodType": 6, "balance": {"current1600": 99}}})") + "]",
         2024, 1600, 10, false, true, true, "",
         {"Промежуточная отчетность за 6 месяцев 2025 года пропущена: анализ ведется по годовой отчетности."}},
        {"an interim set by its period",
         "[" + entry("2025-09", "", correction(kForms)) + "," + entry("2024", "", correction(kForms)) + "," +
             entry("2025", R"("periodType": 3)", correction(kForms)) + "]",
         2024, 1600, 10, false, true, true, "",
         {"Промежуточная отчетность за период «2025-09» пропущена: анализ ведется по годовой отчетности.",
          "Промежуточная отчетность за 3 месяца 2025 года пропущена: анализ ведется по годовой отчетности."}},
        {"a non-profit organisation: no statement of financial results",
         entry("2024", R"("organizationInfo": {"okved2": {"id": "94.99", "name": "Деятельность общественных организаций"}})",
               correction(R"("balance": {"current1600": 10}, "financialResult": null)")),
         2024, 1600, 10, false, true, false, "94.99", {}},
        {"no balance sheet", entry("2024", "", correction(R"("financialResult": {"current2110": 4})")), 2024, 2110, 4,
         false, false, true, "", {}},
        {"the correction's copy of the activity first",
         entry("2024", R"("organizationInfo": {"okved2": "47.11"})",
               correction(R"("bfoOrganizationInfo": {"okved2_id": "46.90"}, )" + kForms)),
         2024, 1600, 10, false, true, true, "46.90", {}},
        {"the activity at the report's top", R"({"period": "2024", "okved": "01.11", )" + kForms + "}", 2024, 1600, 10,
         false, true, true, "01.11", {}},
    };
    for (const Quirk& q : rows) {
        SCOPED_TRACE(q.name);
        const Statement st = readStateJson(q.json, "q.json", std::nullopt);
        EXPECT_EQ(st.year, q.year);
        ASSERT_EQ(st.lines.count(q.line), 1u);
        EXPECT_EQ(st.lines.at(q.line)[kCurrent], q.value);
        EXPECT_EQ(st.simplified, q.simplified);
        EXPECT_EQ(st.hasBalance, q.hasBalance);
        EXPECT_EQ(st.hasProfitLoss, q.hasProfitLoss);
        EXPECT_EQ(st.okved, q.okved);
        EXPECT_EQ(st.readerNotes, q.notes);
        EXPECT_EQ(st.formatName.find(q.simplified ? "KND 0710096" : "KND 0710099"), 21u) << st.formatName;
    }
}

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
        Rejected{"NeitherForm", R"({"period": "2024", "balance": null, "financialResult": null})",
                 "the report has neither a balance sheet (\"balance\") nor a statement of financial results"},
        Rejected{"NeitherFormInList",
                 R"([{"period": "2024", "typeCorrections": [{"correction": {"balance": null, "financialResult": null}}]}])",
                 "\"[0].typeCorrections[0].correction\" has neither a balance sheet"},
        Rejected{"BalanceNotObject", R"({"period": "2024", "balance": [], "financialResult": {}})",
                 "\"balance\" must be an object"},
        Rejected{"OtherDocument", replaced(kOne, "{", R"({"knd": "1151001", )"),
                 "\"knd\": \"1151001\" is not the annual accounting statements (KND 0710099, or 0710096 simplified)"},
        Rejected{"OtherDocuments", replaced(kOne, "{", R"({"knd": "0710095 1151001", )"), "\"0710095 1151001\" is not"},
        Rejected{"OnlyInterim", replaced(kOne, "{", R"({"periodType": 6, )"),
                 "the file holds only interim reports (for less than a year)"},
        Rejected{"PeriodTypeNotMonths", replaced(kOne, "{", R"({"periodType": "year", )"),
                 "\"periodType\" must be the months the report covers (1 to 12)"},
        Rejected{"CorrectionTypeNotMonths",
                 R"({"period": "2024", "typeCorrections": [{"type": 13, "correction": {"balance": {}}}]})",
                 "\"typeCorrections[0].type\" must be the months the report covers"},
        Rejected{"CorrectionNumberFraction", replaced(kOne, "{", R"({"correctionVersion": 1.5, )"),
                 "\"correctionVersion\" must be a whole number"},
        Rejected{"BadUnit", replaced(kOne, "{\"current1600\"", "{\"okei\": \"999\", \"current1600\""),
                 "\"balance.okei\""},
        Rejected{"NoYearAmongSeveral", "[" + kOne + R"(, {"balance": {}, "financialResult": {}}])",
                 "\"[1].period\" is missing"},
        Rejected{"BadYear", replaced(kOne, "\"2024\"", "\"24\""), "\"period\" must be a year"},
        Rejected{"NotAReport", R"({"content": []})", "the top level is not a report"},
        Rejected{"NumberAtTop", "42", "top level must be"},
        Rejected{"ListItemNotObject", "[" + kOne + ", 3]", "\"[1]\" must be an object"},
        Rejected{"EmptyList", "[]", "no report"},
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
