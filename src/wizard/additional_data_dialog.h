#pragma once
// Tdopol, "Дополнительные данные": credits, interest, tax rate and the
// figures of one or two products; the last step before the progress window.
#include <array>

#include "wizard_window.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kalvanta {

class Tdopol : public WizardWindow {
    Q_OBJECT
public:
    explicit Tdopol(AnalysisInput& input, QWidget* parent = nullptr);

    // Edit1 … Edit21; there is no Edit14.
    QLineEdit* Edit(int number) const { return edits_.at(static_cast<std::size_t>(number)); }
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QPushButton* Button1;
    QPushButton* Button2;
    // The reference block "Справка (введенные ранее данные):".
    QLabel* ReferenceTitle;
    QLabel* UnitLine;
    QLabel* CostLine;
    QLabel* SellingLine;
    QLabel* RevenueLine;

    void FormActivate();
    void RadioButton1Click();
    void RadioButton2Click();
    void Button1Click();
    void Button2Click();

protected:
    void changeEvent(QEvent* event) override;

private:
    void setProductBShown(bool shown);

    std::array<QLineEdit*, 22> edits_{};
};

} // namespace kalvanta
