// The report of a history, line by line: a history of one balance date, a
// small history of two years, and the reading of files and folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "history/history_report.h"
#include "history_test_util.h"

namespace kalvanta::history {
namespace {

using test::fileOf;
using test::statement;

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

// Balance of 31.12.2024 only: the structure, the reason there are no
// changes, the ratios a single date allows, the reasons for the others.
TEST(HistoryReport, OneBalanceDate)
{
    Statement s = statement("a.xml", "7700000000", 2024,
                            {{1200, 50, std::nullopt, std::nullopt},
                             {1300, 75, std::nullopt, std::nullopt},
                             {1500, 25, std::nullopt, std::nullopt},
                             {1600, 100, std::nullopt, std::nullopt}});
    s.hasProfitLoss = false;
    const auto h = buildHistories({fileOf({s})});
    ASSERT_EQ(h.size(), 1u);
    // Up to the end of the ratios: the models' sections follow them.
    const std::string expected = R"(Анализ финансового состояния за 2024 год
Организация: ООО "Проба"
ИНН: 7700000000
Единица измерения: тыс. руб.
 
Структура и динамика баланса
 
Баланс на 31 декабря, тыс. руб.
Показатель                                        2024
------------------------------------------------------
1200 Итого оборотные активы                         50
1600 Баланс (актив)                                100
1300 Итого капитал и резервы                        75
1500 Итого краткосрочные обязательства              25
 
Доля в итоге баланса (строка 1600), %
Показатель                                        2024
------------------------------------------------------
1200 Итого оборотные активы                       50,0
1600 Баланс (актив)                              100,0
1300 Итого капитал и резервы                      75,0
1500 Итого краткосрочные обязательства            25,0
 
Изменения не рассчитываются: в истории один баланс — на 31.12.2024; для изменений и средних величин (рентабельность, оборачиваемость) нужен баланс на предыдущую дату.
 
Структура и динамика отчета о финансовых результатах
 
Отчета о финансовых результатах в истории нет.
 
Финансовые коэффициенты
 
Коэффициенты по годам
Показатель                                                   2024
-----------------------------------------------------------------
Коэффициент текущей ликвидности                              2,00
Коэффициент быстрой ликвидности                              0,00
Коэффициент абсолютной ликвидности                           0,00
Коэффициент автономии                                        0,75
Соотношение заемных и собственных средств                    0,33
Собственные оборотные средства, тыс. руб.                      75
Обеспеченность собственными оборотными средствами            1,50
Рентабельность активов, %                                       —
Рентабельность собственного капитала, %                         —
Рентабельность продаж, %                                        —
Чистая рентабельность продаж, %                                 —
Оборачиваемость активов, раз                                    —
Оборот дебиторской задолженности, дней                          —
Оборот запасов, дней                                            —
Оборот кредиторской задолженности, дней                         —
Покрытие процентов к уплате                                     —
Не определено:
  Рентабельность активов, %: 2024 — нет данных за 2024 год
  Рентабельность собственного капитала, %: 2024 — нет данных за 2024 год
  Рентабельность продаж, %: 2024 — нет данных за 2024 год
  Чистая рентабельность продаж, %: 2024 — нет данных за 2024 год
  Оборачиваемость активов, раз: 2024 — нет данных за 2024 год
  Оборот дебиторской задолженности, дней: 2024 — нет данных за 2023 год
  Оборот запасов, дней: 2024 — нет данных за 2023 год
  Оборот кредиторской задолженности, дней: 2024 — нет данных за 2023 год
  Покрытие процентов к уплате: 2024 — нет данных за 2024 год
 
)";
    const std::string text = joined(historyReportLines(h[0], ","));
    EXPECT_EQ(text.substr(0, expected.size()), expected);
}

// Two years: shares of a zero total, changes against a loss, a zero
// previous value, averages with and without the year before.
TEST(HistoryReport, TwoYearsStructureAndDynamics)
{
    const Statement t = statement("b.xml", "7700000000", 2024,
                                  {{1230, 30, 20, std::nullopt},
                                   {1370, -5, -10, std::nullopt},
                                   {1600, 120, 0, std::nullopt},
                                   {2110, 200, 0, std::nullopt},
                                   {2400, 6, -4, std::nullopt}});
    const auto h = buildHistories({fileOf({t})});
    ASSERT_EQ(h.size(), 1u);
    const std::string text = joined(historyReportLines(h[0], ","));
    EXPECT_EQ(text.substr(0, text.find("Структура и динамика отчета о финансовых результатах")),
              R"(Анализ финансового состояния за 2023–2024 годы
Организация: ООО "Проба"
ИНН: 7700000000
Единица измерения: тыс. руб.
 
Структура и динамика баланса
 
Баланс на 31 декабря, тыс. руб.
Показатель                                                   2023          2024
-------------------------------------------------------------------------------
1230 Дебиторская задолженность                                 20            30
1600 Баланс (актив)                                             0           120
1370 Нераспределенная прибыль (непокрытый убыток)             -10            -5
 
Доля в итоге баланса (строка 1600), %
Показатель                                                   2023          2024
-------------------------------------------------------------------------------
1230 Дебиторская задолженность                                  —          25,0
1600 Баланс (актив)                                             —         100,0
1370 Нераспределенная прибыль (непокрытый убыток)               —          -4,2
Не определено:
  1230 Дебиторская задолженность: 2023 — делитель равен нулю
  1600 Баланс (актив): 2023 — делитель равен нулю
  1370 Нераспределенная прибыль (непокрытый убыток): 2023 — делитель равен нулю
 
Изменение к предыдущему году, тыс. руб.
Показатель                                                   2024
-----------------------------------------------------------------
1230 Дебиторская задолженность                                 10
1600 Баланс (актив)                                           120
1370 Нераспределенная прибыль (непокрытый убыток)               5
 
Изменение к предыдущему году, %
Показатель                                                   2024
-----------------------------------------------------------------
1230 Дебиторская задолженность                               50,0
1600 Баланс (актив)                                             —
1370 Нераспределенная прибыль (непокрытый убыток)            50,0
Не определено:
  1600 Баланс (актив): 2024 — делитель равен нулю
 
)");
    EXPECT_NE(text.find("\n2400 Чистая прибыль (убыток)           250,0\n"), std::string::npos);
    EXPECT_NE(text.find("\nОборот дебиторской задолженности, дней                          —         45,63\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n  Рентабельность собственного капитала, %: 2023 — нет данных за 2022 год; 2024 — "
                        "делитель равен нулю\n"),
              std::string::npos);
}

TEST(HistoryReport, NotesCloseTheReport)
{
    const Statement a = statement("a.xml", "7700000000", 2023, {{1600, 100, std::nullopt, std::nullopt}});
    const Statement b = statement("b.xml", "7700000000", 2024, {{1600, 120, 110, std::nullopt}});
    const auto h = buildHistories({fileOf({a}), fileOf({b})});
    const std::vector<std::string> lines = historyReportLines(h[0], ",");
    ASSERT_GE(lines.size(), 3u);
    const std::vector<std::string> tail(lines.end() - 3, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Примечания:",
                                              "- показатели 2023 года пересчитаны в отчетности за 2024 год: строка "
                                              "1600 — 110 вместо 100; в истории оставлено 100 из отчетности за 2023 год",
                                              " "}));
}

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/kalvanta-history-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "/tmp";
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST(HistoryReport, ReadsFoldersAndRefusesBadFilesOneLineEach)
{
    TempDir dir;
    const std::string examples = std::string(KALVANTA_SOURCE_DIR) + "/examples/history";
    for (const auto& e : std::filesystem::directory_iterator(examples))
        std::filesystem::copy_file(e.path(), dir.file(e.path().filename().string()));
    std::ofstream(dir.file("broken.xml")) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Файл>";
    std::ofstream(dir.file("notes.txt")) << "not a statement"; // not walked: no statement extension
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    const HistoryRun run = readHistories({dir.path(), dir.file("missing.csv")},
                                         [&](std::size_t done, std::size_t total) { progress.push_back({done, total}); });
    ASSERT_EQ(run.refused.size(), 2u);
    EXPECT_EQ(run.refused[0], dir.file("missing.csv") + ": no such file or folder");
    EXPECT_EQ(run.refused[1].rfind(dir.file("broken.xml") + ": ", 0), 0u) << run.refused[1];
    ASSERT_EQ(run.histories.size(), 1u);
    EXPECT_EQ(run.histories[0].taxNumber, "5003012345");
    std::vector<int> years;
    for (const auto& [year, y] : run.histories[0].years)
        if (y.hasBalance)
            years.push_back(year);
    EXPECT_EQ(years, (std::vector<int>{2019, 2020, 2021, 2022, 2023, 2024, 2025}));
    EXPECT_FALSE(run.histories[0].years.at(2019).hasFlows);
    EXPECT_EQ(progress.size(), 5u);
    EXPECT_EQ(progress.back(), (std::pair<std::size_t, std::size_t>{5, 5}));
}

// The tax service's simplified statements: the derived totals named in the
// notes, the simplified forms' own line names.
TEST(HistoryReport, SimplifiedStatementsFile)
{
    const std::string file = std::string(KALVANTA_SOURCE_DIR) + "/examples/statements/NO_BOUPR_small-business-2023.xml";
    const HistoryRun run = readHistories({file});
    ASSERT_TRUE(run.refused.empty());
    ASSERT_EQ(run.histories.size(), 1u);
    const CompanyHistory& h = run.histories[0];
    EXPECT_EQ(test::dump(h).substr(0, 60), "2021 S B 1100=600 1150=600 1170=0 1200=650 1210=300 1230=250");
    EXPECT_EQ(h.notes, (std::vector<std::string>{
                           "упрощенная отчетность за 2023 год (" + file +
                           "): итоги рассчитаны по строкам формы — 1100 = 1150 + 1170, 1200 = 1210 + 1230 + 1250, "
                           "1400 = 1410 + 1450, 1500 = 1510 + 1520 + 1550, 2200 = 2110 − 2120, 2300 = 2110 − 2120 − "
                           "2330 + 2340 − 2350"}));
    const std::string text = joined(historyReportLines(h, ","));
    EXPECT_NE(text.find("\n1150 Материальные внеоборотные активы                                    600           700           800\n"),
              std::string::npos);
}

} // namespace
} // namespace kalvanta::history
