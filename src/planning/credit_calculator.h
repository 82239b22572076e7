#pragma once
// The credits and loans calculator: simple or compound interest over a
// term in days (365-day years), forwards to the final sum or backwards to
// the initial sum.
#include <string>

#include "numeric/regional_settings.h"

namespace kalvanta {

struct CreditCalc {
    double InitialSum = 0.0;
    double FinalSum = 0.0;
    double AnnualRate = 0.0;
    double TermDays = 0.0;
    double AccrualsPerYear = 0.0;
};

// Texts of the dialog's edits.
struct CreditEditTexts {
    std::string Edit1; // annual rate, percent
    std::string Edit2; // term in days
    std::string Edit3; // initial sum
    std::string Edit4; // final sum
    std::string Edit5; // accruals per year
};

inline const std::string kFinalSumLabel = "Итоговая сумма  ";
inline const std::string kInitialSumLabel = "Первоначальная сумма  ";

// "Расчет": converts the fields the computation reads, in its order, each
// into its field at once, computes the sum truncated to two decimals and
// returns the memo line. finalSum is the first radio button; kindIndex 0
// is simple interest, any other compound. Raises ConversionError or
// FloatError with the fields read so far updated.
std::string computeCredit(CreditCalc& calc, bool finalSum, int kindIndex, const CreditEditTexts& texts,
                          const RegionalSettings& rs);

} // namespace kalvanta
