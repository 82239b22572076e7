#include "field_tables.h"

namespace kalvanta {

#define KV_B(row, name, label, code) BalanceField{row, #name, label, code, &BalanceSheet::name}
const std::array<BalanceField, 15> kAssetFields = {{
    KV_B("A1", IntangibleAssets, "Нематериальные активы", "110"),
    KV_B("A2", FixedAssets, "Основные средства", "120"),
    KV_B("A3", ConstructionInProgress, "Незавершенное строительство", "130"),
    KV_B("A4", LongTermInvestments, "Долгосрочные финансовые вложения", "140"),
    KV_B("A5", NonCurrentAssetsTotal, "Итого внеоборотных активов", "190"),
    KV_B("A6", Inventories, "Запасы", "210"),
    KV_B("A7", GoodsShipped, "Товары отгруженные", "215"),
    KV_B("A8", InputVat, "НДС по приобретенным ценностям", "220"),
    KV_B("A9", LongTermReceivables, "Долгосрочная дебиторская задолженность", "230"),
    KV_B("A10", ShortTermReceivables, "Краткосрочная дебиторская задолженность", "240"),
    KV_B("A11", ShortTermInvestments, "Краткосрочные финансовые вложения", "250"),
    KV_B("A12", Cash, "Денежные средства", "260"),
    KV_B("A13", OtherCurrentAssets, "Прочие оборотные активы", "270"),
    KV_B("A14", CurrentAssetsTotal, "Итого оборотных активов", "290"),
    KV_B("A15", AssetsTotal, "Валюта баланса", "300"),
}};

const std::array<BalanceField, 18> kLiabilityFields = {{
    KV_B("L1", CharterCapital, "Уставный капитал", "410"),
    KV_B("L2", AdditionalCapital, "Добавочный капитал", "420"),
    KV_B("L3", ReserveCapital, "Резервный капитал", "430"),
    KV_B("L4", SocialFund, "Фонд социальной сферы", "440"),
    KV_B("L5", TargetFinancing, "Целевые финансовые поступления", "450"),
    KV_B("L6", RetainedEarnings, "Нераспределенная прибыль", "470"),
    KV_B("L7", UncoveredLoss, "Непокрытый убыток", ""),
    KV_B("L8", EquityTotal, "Итого капитал и резервы", "490"),
    KV_B("L9", LongTermLoans, "Долгосрочные займы и кредиты", "510"),
    KV_B("L10", LongTermLiabilitiesTotal, "Итого долгосрочных обязательств", "590"),
    KV_B("L11", ShortTermLoans, "Краткосрочные займы и кредиты", "610"),
    KV_B("L12", AccountsPayable, "Кредиторская задолженность", "620"),
    KV_B("L13", DueToFounders, "Задолженность перед учредителями", "630"),
    KV_B("L14", DeferredIncome, "Доходы будущих периодов", "640"),
    KV_B("L15", FutureExpenseReserves, "Резервы предстоящих расхлдов", "650"),
    KV_B("L16", OtherShortTermLiabilities, "Прочие краткосрочные обязательства", "660"),
    KV_B("L17", ShortTermLiabilitiesTotal, "Итого краткосрочных обязательств", "690"),
    KV_B("L18", LiabilitiesTotal, "Валюта баланса", "700"),
}};
#undef KV_B

#define KV_P(row, name, label, code) ProfitLossField{row, #name, label, code, &ProfitLossYear::name}
const std::array<ProfitLossField, 14> kProfitLossFields = {{
    KV_P("P1", Revenue, "Доходы от обычной деятельности", "010"),
    KV_P("P2", CostOfSales, "Себестоимость проданных товаров", "020"),
    KV_P("P3", SellingExpenses, "Коммерческие расходы", "030"),
    KV_P("P4", AdministrativeExpenses, "Управленческие расходы", "040"),
    KV_P("P5", SalesProfit, "Прибыль (убыток) от продажи", "050"),
    KV_P("P6", InterestReceivable, "Проценты к получению", "060"),
    KV_P("P7", InterestPayable, "Проценты к уплате", "070"),
    KV_P("P8", ParticipationIncome, "Доходы от участия в других орг-циях", "080"),
    KV_P("P9", OtherOperatingIncome, "Прочие операционные доходы", "090"),
    KV_P("P10", OtherOperatingExpenses, "Прочие операционные расходы", "100"),
    KV_P("P11", NonOperatingIncome, "Прочие внереализационные доходы", "120"),
    KV_P("P12", NonOperatingExpenses, "Прочие внереализационные расходы", "130"),
    KV_P("P13", ProfitBeforeTax, "Прибыль (убыток) до налогообложения", "140"),
    KV_P("P14", NetProfit, "Нераспределенная прибыль (убыток) отчетного периода", "190"),
}};
#undef KV_P

#define KV_A(name) AdditionalField{#name, &AdditionalDataYear::name}
const std::array<AdditionalField, 10> kAdditionalFields = {{
    KV_A(CreditsReceived), KV_A(InterestPaid), KV_A(TaxRatePercent), KV_A(PriceA), KV_A(PriceB),
    KV_A(UnitVariableCostA), KV_A(UnitVariableCostB), KV_A(QuantityA), KV_A(QuantityB),
    KV_A(FixedCostsTotal),
}};
#undef KV_A

} // namespace kalvanta
