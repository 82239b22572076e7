#pragma once
// A document shaped like a two-year analysis report: about 250 lines of
// 100 to 160 characters, Cyrillic labels padded with spaces, numbers with
// decimal commas, blank lines of one space, rules and trailing spaces.
// Used by the document tests and the RTF benchmark.
#include "document/document.h"

#include <string>
#include <vector>

namespace kalvanta::doc::report_fixture {

inline std::string padded(std::string label, std::size_t characters) {
    // Cyrillic letters take two UTF-8 bytes: pad by characters, not bytes.
    std::size_t count = 0;
    for (const char c : label) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    if (count < characters) label.append(characters - count, ' ');
    return label;
}

inline std::vector<std::string> twoYearReportLines() {
    const std::string longRule(97, '_');
    const std::string shortRule = std::string(95, '_') + " ";
    const std::vector<std::string> labels = {
        "Излишек (недостаток) собственных оборотных средств",
        "Излишек (недостаток) собственных  и долгосрочных источников формирования запасов",
        "Коэффициент автономии (независимости)",
        "Коэффициент соотношения заемных и собственных средств",
        "Коэффициент маневренности собственных средств",
        "Коэффициент обеспеченности запасов собственными источниками",
        "А1. Наиболее ликвидные активы",
        "П1. Наиболее срочные обязательства",
        "Коэффициент текущей ликвидности",
        "Рентабельность собственного капитала, %",
        "Оборачиваемость оборотных активов, дней",
        "Прогноз банкротства по модели Альтмана (Z-счет)",
    };
    std::vector<std::string> lines = {
        " Kalvanta  version 4.5   ",
        "Дата 08.12.2026",
        " ",
        " ",
        "          Результаты расчета  за 2 года",
        " Название предприятия - ООО «Северная мануфактура» № 2",
        " Единица измерений формы №1 и №2 - тыс. руб.",
        " ",
    };
    int section = 0;
    while (lines.size() < 250) {
        lines.push_back(" Относительные показатели финансовой устойчивости (раздел " +
                        std::to_string(++section) + ")");
        lines.push_back(longRule);
        lines.push_back("  Показатель" + std::string(89, ' ') +
                        "на начало года/на конец года/на конец 2-го года ");
        lines.push_back(longRule);
        lines.push_back(" ");
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const long a = static_cast<long>((section * 7919 + i * 104729) % 90000) - 20000;
            lines.push_back(padded(labels[i], 119 - i) + std::to_string(a) + "," +
                            std::to_string(i * 7 % 100) + " / " + std::to_string(a / 3) +
                            "/" + std::to_string(-a / 7) + ",5");
        }
        lines.push_back("Вывод на начало года - нормальная финансовая устойчивость");
        lines.push_back("Вывод на конец года -  кризисное финансовое состояние");
        lines.push_back(shortRule);
        lines.push_back(" ");
        lines.push_back(" ");
    }
    return lines;
}

// The report in the base font of the report view: 14 pixels (10.5 pt).
inline Document twoYearReport() {
    return documentFromLines(twoYearReportLines(), DocumentFont{"DejaVu Sans", 21, kCyrillicCharset});
}

} // namespace kalvanta::doc::report_fixture
