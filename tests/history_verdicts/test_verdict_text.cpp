// The report's sections of the models and tests: the exact conclusions a
// reader sees for each kind of history, and the legend the help repeats.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "document/rtf_reader.h"
#include "history/history_text.h"
#include "verdict_histories.h"

namespace kalvanta::history {
namespace {

using namespace testing;

std::vector<std::string> sections(const CompanyHistory& h, const std::vector<int>& years)
{
    std::vector<std::string> out;
    appendVerdictSections(out, h, years, ",");
    return out;
}

bool has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct TextCase {
    const char* company;
    std::function<CompanyHistory()> history;
    std::vector<int> years;
    std::vector<std::string> lines; // each printed exactly, in this order
};

TEST(HistoryVerdictText, ConclusionsOfTheLastYear)
{
    const std::vector<TextCase> cases{
        {"healthy",
         healthy,
         {2023, 2024},
         {"Прогноз банкротства и платежеспособность",
          " ",
          "Модели прогнозирования банкротства",
          "Z′ Альтмана (1983)                     3,091         3,349",
          "Сайфуллин и Кадыков                        —         1,227",
          "  Савицкая: 2023 — нет данных за 2022 год",
          "R-модель ИГЭА                      минимальный     минимальный",
          "По данным 2024 года 0 из 10 моделей указывают на высокий риск банкротства.",
          "  Z′ Альтмана (1983) — Altman E. I., Corporate Financial Distress, 1983: модель Z′ для частных компаний",
          "  Лис (1972) — Lis J., 1972, в изложении Taffler R., 1984",
          "Чистые активы на 31.12.2024: 4100 тыс. руб., уставный капитал (строка 1310): 100 тыс. руб.",
          "Чистые активы не ниже уставного капитала.",
          "В 2024 году структура баланса удовлетворительна.",
          "Коэффициент утраты платежеспособности 1,33 не меньше 1: утраты платежеспособности в течение 3 месяцев "
          "не ожидается.",
          "Признаки неудовлетворительной структуры баланса взяты из Методических положений 1994 года "
          "(распоряжение ФУДН № 31-р от 12.08.1994), которые утратили силу; тест приводится как сложившаяся "
          "практика.",
          // K3 4000/1800 = 2.22, K5 on its bound 0.15.
          "Класс кредитоспособности в 2024 году: 1 (сумма баллов 1,00 = 0,05 × 1 + 0,10 × 1 + 0,40 × 1 + 0,20 × 1 "
          "+ 0,25 × 1).",
          "Пороги K4: 1 и 0,7.",
          "Рентабельность собственного капитала, %               —          31,4"}},
        {"loss-making",
         lossMaking,
         {2023, 2024},
         {"Таффлер и Тишоу (1977)                  низкий  неопределенный",
          "По данным 2024 года 8 из 10 моделей указывают на высокий риск банкротства.",
          "Чистые активы ниже уставного капитала.",
          "  Коэффициент утраты платежеспособности: 2023, 2024 — структура баланса неудовлетворительна",
          "В 2024 году структура баланса неудовлетворительна: коэффициент текущей ликвидности 0,40 меньше 2; "
          "коэффициент обеспеченности собственными средствами -2,25 меньше 0,1.",
          "Коэффициент восстановления платежеспособности 0,16 не больше 1: в течение 6 месяцев платежеспособность "
          "не восстановится."}},
        {"negative equity",
         negativeEquity,
         {2024},
         {"Чистые активы, тыс. руб.                                  -1000",
          "Чистые активы на 31.12.2024: -1000 тыс. руб., уставный капитал (строка 1310): 10 тыс. руб.",
          "Чистые активы отрицательны и ниже уставного капитала."}},
        {"no liabilities",
         noLiabilities,
         {2024},
         {"По данным 2024 года 0 из 3 моделей указывают на высокий риск банкротства.",
          "В 2024 году структура баланса не определена: делитель равен нулю.",
          "Класс кредитоспособности в 2024 году не определен: делитель равен нулю."}},
        {"one year",
         oneYear,
         {2024},
         {"В 2024 году структура баланса неудовлетворительна: коэффициент текущей ликвидности 1,67 меньше 2; "
          "коэффициент обеспеченности собственными средствами 0,00 меньше 0,1.",
          "Коэффициент восстановления платежеспособности не определен: нет данных за 2023 год.",
          "Класс кредитоспособности в 2024 году: 2 (сумма баллов 1,40 = 0,05 × 1 + 0,10 × 1 + 0,40 × 2 + 0,20 × 1 "
          "+ 0,25 × 1)."}},
        {"a year outside the history",
         oneYear,
         {2020},
         {"По данным 2020 года ни одна модель не определена.",
          "Чистые активы на 31.12.2020 не определены: нет данных за 2020 год.",
          "В 2020 году структура баланса не определена: нет данных за 2020 год."}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.company);
        const CompanyHistory history = c.history();
        const std::vector<std::string> out = sections(history, c.years);
        auto from = out.begin();
        for (const std::string& line : c.lines) {
            const auto it = std::find(from, out.end(), line);
            EXPECT_TRUE(it != out.end()) << "missing or out of order: " << line;
            if (it != out.end())
                from = it + 1;
        }
        // Blank lines are a single space, and nothing ends in a space but them.
        for (const std::string& line : out)
            EXPECT_TRUE(line == " " || (!line.empty() && line.back() != ' ')) << "[" << line << "]";
    }
}

TEST(HistoryVerdictText, TradeThresholdsAreNamedWhereTheCodeIsTrade)
{
    CompanyHistory h = healthy();
    h.okved = "46.71";
    const std::vector<std::string> out = sections(h, {2024});
    EXPECT_TRUE(has(out, "Пороги K4 для торговли (ОКВЭД 45–47): 0,6 и 0,4."));
    std::vector<std::string> dot;
    appendVerdictSections(dot, h, {2024}, ".");
    EXPECT_TRUE(has(dot, "Пороги K4 для торговли (ОКВЭД 45–47): 0.6 и 0.4."));
    EXPECT_TRUE(has(dot, "Коэффициент утраты платежеспособности 1.33 не меньше 1: утраты платежеспособности в "
                         "течение 3 месяцев не ожидается."));
}

std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(' ');
    const auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

TEST(HistoryVerdictText, HelpGivesEveryFormulaAndZoneOfTheLegend)
{
    std::ifstream file(KALVANTA_SOURCE_DIR "/resources/help.rtf", std::ios::binary);
    ASSERT_TRUE(file) << "resources/help.rtf";
    std::stringstream bytes;
    bytes << file.rdbuf();
    const doc::RtfReadResult read = doc::readRtf(bytes.str());
    ASSERT_EQ(read.status, doc::RtfStatus::Ok) << read.problem;
    std::vector<std::string> help;
    for (const std::string& line : read.document.lines())
        help.push_back(trimmed(line));

    std::vector<std::string> legend;
    appendVerdictLegend(legend);
    ASSERT_GT(legend.size(), 20u);
    EXPECT_EQ(legend.front(), "Формулы моделей прогнозирования банкротства и тестов:");
    EXPECT_EQ(legend.back(), " ");
    // The title is the report's; every other line is in the help as it stands.
    for (std::size_t i = 1; i + 1 < legend.size(); ++i)
        EXPECT_TRUE(has(help, trimmed(legend[i]))) << "help.rtf lacks: " << legend[i];
}

} // namespace
} // namespace kalvanta::history
