#pragma once
// Tform6, "Введите данные отчета о прибылях и убытках": the profit and loss
// statement of both years; leads to the additional data or ends the wizard.
#include <array>

#include "wizard_window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvanta {

class Tform6 : public WizardWindow {
    Q_OBJECT
public:
    explicit Tform6(AnalysisInput& input, QWidget* parent = nullptr);

    // Rows P1 to P14 of each year's column.
    std::array<QLineEdit*, 14> year1{};
    std::array<QLineEdit*, 14> year2{};
    QLabel* Caption1; // "1-й год "
    QLabel* Caption2; // "2-й год"
    QPushButton* Button1;

    void Button1Click();
};

} // namespace kalvanta
