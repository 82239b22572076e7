#pragma once
// The profit plan of the default figures with product C, as the planning
// core writes it and the results window must show it.
#include <array>

namespace kalvanta::test {

inline constexpr std::array<const char*, 18> kProfitPlanWithProductC = {
    "Kalvanta ", " ", "Pacчет прибыли ", " ",
    "Выручка от реализации (всего) 30000",
    "Суммарные переменные издержки 14000",
    "Постоянные издержки 10000",
    "Прибыль от продаж   6000",
    "Рентабельность продаж  20%",
    "Валовая маржа 16000",
    "Норма маржинального дохода 0,5333",
    "Критическая норма маржинального дохода 0,3333",
    "Сила воздействия операционного рычага 2,66",
    "Порог рентабельности (минимальный объем продаж)18751,17",
    "Пороговое количество товара А 666",
    "Пороговое количество товара В 333",
    "Пороговое количество товара С 1111",
    "Запас финансовой прочности 37,49%",
};

} // namespace kalvanta::test
