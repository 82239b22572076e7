// The history merged from statements: which figure wins, which years exist,
// units, expenses, simplified totals, and the notes that say what happened.
#include <gtest/gtest.h>

#include "history_test_util.h"

namespace kalvanta::history {
namespace {

using test::dump;
using test::fileOf;
using test::statement;

struct MergeCase {
    const char* name;
    std::vector<StatementFile> files;
    std::string expected; // dump of the first history
    std::vector<std::string> notes;
};

Statement simplifiedStatement()
{
    Statement s = statement("NO_BOUPR_1.xml", "7700000001", 2024,
                            {{1150, 10, 8, std::nullopt},
                             {1170, 5, std::nullopt, std::nullopt},
                             {1210, 3, 2, std::nullopt},
                             {1250, 1, 1, std::nullopt},
                             {1600, 19, 11, std::nullopt},
                             {2110, 100, 90, std::nullopt},
                             {2120, -60, 50, std::nullopt},
                             {2340, 4, std::nullopt, std::nullopt}});
    s.simplified = true;
    return s;
}

Statement balanceOnly()
{
    Statement s = statement("nko.json", "7700000002", 2024, {{1600, 7, 6, 5}, {2110, 1, 1, std::nullopt}});
    s.hasProfitLoss = false;
    return s;
}

Statement withReaderNote()
{
    Statement s = statement("bfo.json", "7700000003", 2024, {{1600, 7, std::nullopt, std::nullopt}});
    s.readerNotes = {"взята корректировка 2"};
    return s;
}

const std::vector<MergeCase>& mergeCases()
{
    static const std::vector<MergeCase> cases = {
        {"comparative columns give the two years before",
         {fileOf({statement("a.xml", "7700000000", 2024, {{1600, 30, 20, 10}, {2110, 5, 4, std::nullopt}})})},
         "2022 B 1600=10; 2023 B 1600=20 F 2110=4; 2024 B 1600=30 F 2110=5",
         {}},
        {"own statement wins over the later one's restated figure",
         {fileOf({statement("a.xml", "7700000000", 2023, {{1600, 100, std::nullopt, std::nullopt}})}),
          fileOf({statement("b.xml", "7700000000", 2024, {{1600, 120, 110.75, std::nullopt}})})},
         "2023 B 1600=100; 2024 B 1600=120",
         {"показатели 2023 года пересчитаны в отчетности за 2024 год: строка 1600 — 110,75 вместо 100; в истории "
          "оставлено 100 из отчетности за 2023 год"}},
        {"a difference of half the unit is not a restatement",
         {fileOf({statement("a.xml", "7700000000", 2023, {{1600, 100, std::nullopt, std::nullopt}})}),
          fileOf({statement("b.xml", "7700000000", 2024, {{1600, 120, 100.5, std::nullopt}})})},
         "2023 B 1600=100; 2024 B 1600=120",
         {}},
        {"a later comparative figure fills only the line the own statement lacks",
         {fileOf({statement("a.xml", "7700000000", 2023, {{1600, 100, std::nullopt, std::nullopt}})}),
          fileOf({statement("b.xml", "7700000000", 2024, {{1250, 9, 8, std::nullopt}, {1600, 120, 100, std::nullopt}})})},
         "2023 B 1250=8 1600=100; 2024 B 1250=9 1600=120",
         {}},
        {"the year before's report fills before the one two years later",
         {fileOf({statement("c.xml", "7700000000", 2024, {{1600, 30, 20, 11}})}),
          fileOf({statement("b.xml", "7700000000", 2023, {{1600, 20, 10, std::nullopt}})})},
         "2022 B 1600=10; 2023 B 1600=20; 2024 B 1600=30",
         {"показатели 2022 года пересчитаны в отчетности за 2024 год: строка 1600 — 11 вместо 10; в истории "
          "оставлено 10 из отчетности за 2023 год"}},
        {"reports of 2021, 2023, 2024, 2025 cover balances from 2019 and flows from 2020",
         {fileOf({statement("21.xml", "7700000000", 2021, {{1600, 3, 2, 1}, {2110, 3, 2, std::nullopt}})}),
          fileOf({statement("23.xml", "7700000000", 2023, {{1600, 5, 4, 3}, {2110, 5, 4, std::nullopt}})}),
          fileOf({statement("24.xml", "7700000000", 2024, {{1600, 6, 5, 4}, {2110, 6, 5, std::nullopt}})}),
          fileOf({statement("25.xml", "7700000000", 2025, {{1600, 7, 6, 5}, {2110, 7, 6, std::nullopt}})})},
         "2019 B 1600=1; 2020 B 1600=2 F 2110=2; 2021 B 1600=3 F 2110=3; 2022 B 1600=4 F 2110=4; "
         "2023 B 1600=5 F 2110=5; 2024 B 1600=6 F 2110=6; 2025 B 1600=7 F 2110=7",
         {}},
        {"a year no statement covers is absent, not zero",
         {fileOf({statement("20.xml", "7700000000", 2020, {{1600, 2, 1, std::nullopt}})}),
          fileOf({statement("23.xml", "7700000000", 2023, {{1600, 5, 4, std::nullopt}})})},
         "2019 B 1600=1; 2020 B 1600=2; 2022 B 1600=4; 2023 B 1600=5",
         {}},
        {"figures are converted to the newest statement's unit",
         {fileOf({statement("r.xml", "7700000000", 2023, {{1600, 250000, 120000, std::nullopt}}, 383)}),
          fileOf({statement("t.xml", "7700000000", 2024, {{1600, 300, 250, std::nullopt}}, 384)})},
         "2022 B 1600=120; 2023 B 1600=250; 2024 B 1600=300",
         {"отчетность за 2023 год (r.xml) составлена в руб.: ее показатели переведены в тыс. руб."}},
        {"millions become thousands",
         {fileOf({statement("t.xml", "7700000000", 2023, {{1600, 300, std::nullopt, std::nullopt}}, 384)}),
          fileOf({statement("m.xml", "7700000000", 2024, {{1600, 1.5, 0.3, std::nullopt}}, 385)})},
         "2023 B 1600=0.3; 2024 B 1600=1.5",
         {"отчетность за 2023 год (t.xml) составлена в тыс. руб.: ее показатели переведены в млн. руб."}},
        {"expenses are magnitudes whatever sign the file gives; profits keep theirs",
         {fileOf({statement("a.csv", "7700000000", 2024,
                            {{2120, -60, 50, std::nullopt},
                             {2210, -1, std::nullopt, std::nullopt},
                             {2220, -2, std::nullopt, std::nullopt},
                             {2330, -3, std::nullopt, std::nullopt},
                             {2350, -4, std::nullopt, std::nullopt},
                             {2410, -5, std::nullopt, std::nullopt},
                             {4123, -9, std::nullopt, std::nullopt},
                             {4100, -6, std::nullopt, std::nullopt},
                             {2400, -7, std::nullopt, std::nullopt},
                             {1370, -8, std::nullopt, std::nullopt}})})},
         "2023 F 2120=50; 2024 B 1370=-8 F 2120=60 2210=1 2220=2 2330=3 2350=4 2400=-7 2410=5 4100=-6 4123=9",
         {}},
        {"simplified statements give their totals, named in the notes",
         {fileOf({simplifiedStatement()})},
         "2023 S B 1100=8 1150=8 1200=3 1210=2 1250=1 1600=11 F 2110=90 2120=50 2200=40 2300=40; "
         "2024 S B 1100=15 1150=10 1170=5 1200=4 1210=3 1250=1 1600=19 F 2110=100 2120=60 2200=40 2300=44 2340=4",
         {"упрощенная отчетность за 2024 год (NO_BOUPR_1.xml): итоги рассчитаны по строкам формы — 1100 = 1150 + "
          "1170, 1200 = 1210 + 1230 + 1250, 2200 = 2110 − 2120, 2300 = 2110 − 2120 − 2330 + 2340 − 2350"}},
        {"two files of one year: the one read last wins, the other fills what it lacks",
         {fileOf({statement("early.xml", "7700000000", 2024, {{1250, 4, std::nullopt, std::nullopt}, {1600, 10, std::nullopt, std::nullopt}})}),
          fileOf({statement("late.xml", "7700000000", 2024, {{1600, 12, std::nullopt, std::nullopt}})})},
         "2024 B 1250=4 1600=12",
         {"за 2024 год прочитано несколько отчетностей: взята late.xml (прочитана последней), early.xml дополняет "
          "только недостающие строки",
          "отчетности за 2024 год расходятся: строка 1600 — 10 в early.xml, 12 в late.xml; взята late.xml"}},
        {"two files of one year disagreeing on the year before",
         {fileOf({statement("a.csv", "7700000000", 2024, {{2110, 5, 4, std::nullopt}})}),
          fileOf({statement("b.json", "7700000000", 2024, {{2110, 5, 3, std::nullopt}})})},
         "2023 F 2110=3; 2024 F 2110=5",
         {"за 2024 год прочитано несколько отчетностей: взята b.json (прочитана последней), a.csv дополняет "
          "только недостающие строки",
          "отчетности за 2024 год расходятся в показателях 2023 года: строка 2110 — 4 в a.csv, 3 в b.json; взята "
          "b.json"}},
        {"a statement without profit and loss gives balances only",
         {fileOf({balanceOnly()})},
         "2022 B 1600=5; 2023 B 1600=6; 2024 B 1600=7",
         {}},
        {"the readers' and the files' notes are carried",
         {fileOf({withReaderNote()}, {"bfo.json: промежуточная отчетность за 2025 год пропущена"})},
         "2024 B 1600=7",
         {"bfo.json: промежуточная отчетность за 2025 год пропущена", "bfo.json: взята корректировка 2"}},
    };
    return cases;
}

TEST(CompanyHistory, MergesStatementsByPrecedence)
{
    for (const MergeCase& c : mergeCases()) {
        SCOPED_TRACE(c.name);
        const std::vector<CompanyHistory> histories = buildHistories(c.files);
        ASSERT_EQ(histories.size(), 1u);
        EXPECT_EQ(dump(histories[0]), c.expected);
        EXPECT_EQ(histories[0].notes, c.notes);
        EXPECT_EQ(histories[0].noteYears.size(), histories[0].notes.size());
    }
}

TEST(CompanyHistory, OneHistoryPerTaxNumberAndPerFileWithoutOne)
{
    const std::vector<StatementFile> files = {
        fileOf({statement("a.xml", "7700000001", 2023, {{1600, 1, std::nullopt, std::nullopt}})}),
        fileOf({statement("b.csv", "", 2023, {{1600, 2, std::nullopt, std::nullopt}})}),
        fileOf({statement("c.xml", "7700000002", 2024, {{1600, 3, std::nullopt, std::nullopt}})}),
        fileOf({statement("d.csv", "", 2024, {{1600, 4, std::nullopt, std::nullopt}})}),
        fileOf({statement("e.xml", "7700000001", 2024, {{1600, 5, std::nullopt, std::nullopt}}, 385)}),
    };
    const std::vector<CompanyHistory> h = buildHistories(files);
    struct Expected {
        std::string taxNumber;
        std::string dump;
        int unit;
    };
    const std::vector<Expected> expected = {
        {"7700000001", "2023 B 1600=0.001; 2024 B 1600=5", 385},
        {"", "2023 B 1600=2", 384},
        {"7700000002", "2024 B 1600=3", 384},
        {"", "2024 B 1600=4", 384},
    };
    ASSERT_EQ(h.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(h[i].taxNumber, expected[i].taxNumber);
        EXPECT_EQ(dump(h[i]), expected[i].dump);
        EXPECT_EQ(h[i].unitCode, expected[i].unit);
    }
}

TEST(CompanyHistory, NamesTheCompanyAsTheNewestStatementDoes)
{
    Statement old = statement("a.xml", "7700000001", 2022, {{1600, 1, std::nullopt, std::nullopt}});
    old.organisation = "ООО \"Старое имя\"";
    old.okved = "46.90";
    Statement fresh = statement("b.xml", "7700000001", 2024, {{1600, 2, std::nullopt, std::nullopt}});
    fresh.organisation = "ООО \"Новое имя\"";
    const std::vector<CompanyHistory> h = buildHistories({fileOf({fresh}), fileOf({old})});
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(h[0].organisation, "ООО \"Новое имя\"");
    EXPECT_EQ(h[0].okved, "46.90");
}

} // namespace
} // namespace kalvanta::history
