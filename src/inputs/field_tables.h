#pragma once
// Names, labels and form line codes of the record's fields in dialog row
// order, shared by the JSON loader, the wizard dialogs and the tests.
#include <array>
#include <string_view>

#include "analysis_input.h"

namespace kalvanta {

struct BalanceField {
    std::string_view row;   // "A1" … "A15", "L1" … "L18"
    std::string_view name;  // field name, as in JSON
    std::string_view label; // dialog label
    std::string_view code;  // form line code, "" where none
    double BalanceSheet::*member;
};

struct ProfitLossField {
    std::string_view row;
    std::string_view name;
    std::string_view label;
    std::string_view code;
    double ProfitLossYear::*member;
};

struct AdditionalField {
    std::string_view name;
    double AdditionalDataYear::*member;
};

extern const std::array<BalanceField, 15> kAssetFields;     // A1 … A15
extern const std::array<BalanceField, 18> kLiabilityFields; // L1 … L18
extern const std::array<ProfitLossField, 14> kProfitLossFields; // P1 … P14 (entered)
extern const std::array<AdditionalField, 10> kAdditionalFields;

} // namespace kalvanta
