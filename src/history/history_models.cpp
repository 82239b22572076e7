// The failure models of one year of a history: their formulas, zones and
// sources. Each formula is written left to right as the legend prints it,
// every step stored to double, so a hand computation from the legend agrees.
#include <algorithm>

#include "history_figures.h"
#include "history_verdicts.h"

namespace kalvanta::history {

namespace {

// A decimal coefficient times a figure, in extended precision.
Figure coef(long double k, const Figure& f)
{
    if (!f.defined())
        return f;
    return Figure::of(static_cast<double>(k * static_cast<long double>(*f.value)));
}

Figure constant(long double k) { return Figure::of(static_cast<double>(k)); }

// The lines of the models, by the notation of the history's analysis.
struct Lines {
    Figure A, CA, NCA, E, LTL, CL, TL, WC, RE, Sales, PS, EBT, Int, NP, EBIT;
    Figure avgA, avgE;

    explicit Lines(const YearView& y)
        : A(y.balance(1600)), CA(y.balance(1200)), NCA(y.balance(1100)), E(y.balance(1300)), LTL(y.balance(1400)),
          CL(y.balance(1500)), TL(LTL + CL), WC(CA - CL), RE(y.balance(1370)), Sales(y.flow(2110)), PS(y.flow(2200)),
          EBT(y.flow(2300)), Int(y.flow(2330)), NP(y.flow(2400)), EBIT(EBT + Int), avgA(y.average(1600)),
          avgE(y.average(1300))
    {
    }
};

Figure altmanZ1983(const Lines& l)
{
    return coef(0.717L, l.WC) / l.A + coef(0.847L, l.RE) / l.A + coef(3.107L, l.EBIT) / l.A +
           coef(0.420L, l.E) / l.TL + coef(0.998L, l.Sales) / l.A;
}

Figure altmanZ1995(const Lines& l)
{
    return coef(6.56L, l.WC) / l.A + coef(3.26L, l.RE) / l.A + coef(6.72L, l.EBIT) / l.A + coef(1.05L, l.E) / l.TL;
}

Figure altmanTwoFactor(const Lines& l)
{
    return constant(-0.3877L) - coef(1.0736L, l.CA) / l.CL + coef(0.0579L, l.TL) / l.A;
}

Figure taffler(const Lines& l)
{
    return coef(0.53L, l.PS) / l.CL + coef(0.13L, l.CA) / l.TL + coef(0.18L, l.CL) / l.A + coef(0.16L, l.Sales) / l.A;
}

Figure lis(const Lines& l)
{
    return coef(0.063L, l.WC) / l.A + coef(0.092L, l.PS) / l.A + coef(0.057L, l.RE) / l.A + coef(0.001L, l.E) / l.TL;
}

Figure springate(const Lines& l)
{
    return coef(1.03L, l.WC) / l.A + coef(3.07L, l.EBIT) / l.A + coef(0.66L, l.EBT) / l.CL +
           coef(0.4L, l.Sales) / l.A;
}

Figure zaitsevaActual(const YearView& y, const Lines& l)
{
    const Figure zero = Figure::of(0);
    const Figure shortDebt = y.balance(1510) + y.balance(1520) + y.balance(1550);
    const Figure liquid = y.balance(1240) + y.balance(1250);
    return coef(0.25L, maxOf(zero, -l.NP)) / l.E + coef(0.1L, y.balance(1520)) / y.balance(1230) +
           coef(0.2L, shortDebt) / liquid + coef(0.25L, maxOf(zero, -l.PS)) / l.Sales + coef(0.1L, l.TL) / l.E +
           coef(0.1L, l.A) / l.Sales;
}

Figure zaitsevaNorm(const YearView& y)
{
    const YearView before = y.previousYear();
    return constant(1.57L) + coef(0.1L, before.balance(1600)) / before.flow(2110);
}

Figure savitskaya(const Lines& l)
{
    return coef(0.111L, l.E - l.NCA) / l.CA + coef(13.239L, l.CA) / l.NCA + coef(1.676L, l.Sales) / l.avgA +
           coef(0.515L, coef(100.0L, l.NP) / l.A) + coef(3.80L, l.E) / l.A;
}

Figure saifullinKadykov(const Lines& l)
{
    return coef(2.0L, l.E - l.NCA) / l.CA + coef(0.1L, l.CA) / l.CL + coef(0.08L, l.Sales) / l.avgA +
           coef(0.45L, l.PS) / l.Sales + l.NP / l.avgE;
}

Figure igeaR(const YearView& y, const Lines& l)
{
    const Figure costs = y.flow(2120) + y.flow(2210) + y.flow(2220);
    return coef(8.38L, l.WC) / l.A + l.NP / l.E + coef(0.054L, l.Sales) / l.A + coef(0.63L, l.NP) / costs;
}

const std::vector<std::string_view> kThreeZones{"высокий", "неопределенный", "низкий"};
const std::vector<bool> kLowestHigh{true, false, false};
const std::vector<std::string_view> kTwoZones{"высокий", "низкий"};
const std::vector<bool> kLowerHigh{true, false};

} // namespace

const std::vector<ModelZones>& modelZoneTable()
{
    static const std::vector<ModelZones> table{
        {"altman_z_1983", "Z′ Альтмана (1983)",
         "Altman E. I., Corporate Financial Distress, 1983: модель Z′ для частных компаний",
         "Z′ = 0,717 × (1200 − 1500) / 1600 + 0,847 × 1370 / 1600 + 3,107 × (2300 + 2330) / 1600 + "
         "0,420 × 1300 / (1400 + 1500) + 0,998 × 2110 / 1600",
         "меньше 1,23 — высокий риск; от 1,23 до 2,90 — зона неопределенности; 2,90 и больше — низкий риск",
         {1.23, 2.90}, kThreeZones, kLowestHigh},
        {"altman_z_1995", "Z″ Альтмана (1995)",
         "Altman E. I., Hartzell J., Peck M., 1995: модель Z″ для непроизводственных компаний и развивающихся "
         "рынков",
         "Z″ = 6,56 × (1200 − 1500) / 1600 + 3,26 × 1370 / 1600 + 6,72 × (2300 + 2330) / 1600 + "
         "1,05 × 1300 / (1400 + 1500)",
         "меньше 1,10 — высокий риск; от 1,10 до 2,60 — зона неопределенности; 2,60 и больше — низкий риск",
         {1.10, 2.60}, kThreeZones, kLowestHigh},
        {"altman_two_factor", "Двухфакторная модель",
         "двухфакторная модель российских учебников (по Альтману)",
         "Z = −0,3877 − 1,0736 × 1200 / 1500 + 0,0579 × (1400 + 1500) / 1600",
         "меньше 0 — низкий риск (вероятность банкротства ниже 50 %); 0 и больше — высокий риск "
         "(вероятность 50 % и выше)",
         {0.0}, {"низкий", "высокий"}, {false, true}},
        {"taffler", "Таффлер и Тишоу (1977)",
         "Taffler R., Tisshaw H., Accountancy, 1977: четырехфакторная модель",
         "Z = 0,53 × 2200 / 1500 + 0,13 × 1200 / (1400 + 1500) + 0,18 × 1500 / 1600 + 0,16 × 2110 / 1600",
         "меньше 0,2 — высокий риск; от 0,2 до 0,3 — зона неопределенности; 0,3 и больше — низкий риск",
         {0.2, 0.3}, kThreeZones, kLowestHigh},
        {"lis", "Лис (1972)", "Lis J., 1972, в изложении Taffler R., 1984",
         "Z = 0,063 × (1200 − 1500) / 1600 + 0,092 × 2200 / 1600 + 0,057 × 1370 / 1600 + "
         "0,001 × 1300 / (1400 + 1500)",
         "меньше 0,037 — высокий риск; 0,037 и больше — низкий риск", {0.037}, kTwoZones, kLowerHigh},
        {"springate", "Спрингейт (1978)", "Springate G., 1978",
         "Z = 1,03 × (1200 − 1500) / 1600 + 3,07 × (2300 + 2330) / 1600 + 0,66 × 2300 / 1500 + 0,4 × 2110 / 1600",
         "меньше 0,862 — высокий риск; 0,862 и больше — низкий риск", {0.862}, kTwoZones, kLowerHigh},
        {"zaitseva_actual", "Зайцева (1998)", "Зайцева О. П., 1998: комплексный коэффициент банкротства",
         "Кфакт = 0,25 × max(0; −2400) / 1300 + 0,1 × 1520 / 1230 + 0,2 × (1510 + 1520 + 1550) / (1240 + 1250) + "
         "0,25 × max(0; −2200) / 2110 + 0,1 × (1400 + 1500) / 1300 + 0,1 × 1600 / 2110; "
         "Кнорм = 1,57 + 0,1 × 1600(t−1) / 2110(t−1)",
         "Кфакт больше Кнорм — высокий риск; иначе — низкий риск", {}, {"низкий", "высокий"}, {false, true}, true},
        {"savitskaya", "Савицкая", "Савицкая Г. В.: пятифакторная модель",
         "Z = 0,111 × (1300 − 1100) / 1200 + 13,239 × 1200 / 1100 + 1,676 × 2110 / ср.(1600) + "
         "0,515 × (100 × 2400 / 1600) + 3,80 × 1300 / 1600",
         "меньше 1 — риск максимальный; от 1 до 3 — высокий; от 3 до 5 — средний; от 5 до 8 — небольшой; "
         "8 и больше — риска нет",
         {1, 3, 5, 8}, {"максимальный", "высокий", "средний", "небольшой", "отсутствует"},
         {true, true, false, false, false}},
        {"saifullin_kadykov", "Сайфуллин и Кадыков", "Сайфуллин Р. С., Кадыков Г. Г.: рейтинговое число",
         "R = 2 × (1300 − 1100) / 1200 + 0,1 × 1200 / 1500 + 0,08 × 2110 / ср.(1600) + 0,45 × 2200 / 2110 + "
         "2400 / ср.(1300)",
         "меньше 1 — состояние неудовлетворительное (высокий риск); 1 и больше — удовлетворительное (низкий риск)",
         {1}, kTwoZones, kLowerHigh},
        {"igea_r", "R-модель ИГЭА", "Давыдова Г. В., Беликов А. Ю. (ИГЭА): R-модель",
         "R = 8,38 × (1200 − 1500) / 1600 + 2400 / 1300 + 0,054 × 2110 / 1600 + 0,63 × 2400 / (2120 + 2210 + 2220)",
         "меньше 0 — риск максимальный; от 0 до 0,18 — высокий; от 0,18 до 0,32 — средний; от 0,32 до 0,42 — "
         "низкий; 0,42 и больше — минимальный",
         {0, 0.18, 0.32, 0.42}, {"максимальный", "высокий", "средний", "низкий", "минимальный"},
         {true, true, false, false, false}},
    };
    return table;
}

int zoneIndex(const ModelZones& model, double value, double norm)
{
    if (model.againstNorm)
        return value > norm ? 1 : 0;
    // A value on a bound belongs to the zone above it.
    return static_cast<int>(std::upper_bound(model.bounds.begin(), model.bounds.end(), value) - model.bounds.begin());
}

std::vector<NamedFigure> modelFigures(const YearView& y)
{
    const Lines l(y);
    return {
        {"altman_z_1983", altmanZ1983(l)},
        {"altman_z_1995", altmanZ1995(l)},
        {"altman_two_factor", altmanTwoFactor(l)},
        {"taffler", taffler(l)},
        {"lis", lis(l)},
        {"springate", springate(l)},
        {"zaitseva_actual", zaitsevaActual(y, l)},
        {"zaitseva_norm", zaitsevaNorm(y)},
        {"savitskaya", savitskaya(l)},
        {"saifullin_kadykov", saifullinKadykov(l)},
        {"igea_r", igeaR(y, l)},
    };
}

std::vector<ModelResult> modelResults(const YearView& y) { return modelResults(modelFigures(y)); }

std::vector<ModelResult> modelResults(const std::vector<NamedFigure>& figures)
{
    auto figureOf = [&](std::string_view column) {
        return std::find_if(figures.begin(), figures.end(), [&](const NamedFigure& f) { return f.column == column; })
            ->figure;
    };
    std::vector<ModelResult> out;
    for (const ModelZones& model : modelZoneTable()) {
        ModelResult r{model.column, figureOf(model.column), -1, "—", false};
        if (model.againstNorm) {
            // The model is defined only where both its figures are.
            const Figure norm = figureOf("zaitseva_norm");
            if (r.value.defined() && !norm.defined())
                r.value = norm;
            if (r.value.defined())
                r.zone = zoneIndex(model, *r.value.value, *norm.value);
        } else if (r.value.defined()) {
            r.zone = zoneIndex(model, *r.value.value);
        }
        if (r.zone >= 0) {
            const auto zone = static_cast<std::size_t>(r.zone);
            r.zoneText = std::string(model.zones[zone]);
            r.highRisk = model.highRisk[zone];
        }
        out.push_back(std::move(r));
    }
    return out;
}

} // namespace kalvanta::history
