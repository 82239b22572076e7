#pragma once
// The investments calculator dialog: ROI, NPV, PI and IRR of a project,
// one block of seven lines per "Рассчитать".
#include <QDialog>

#include <functional>

#include "numeric/regional_settings.h"
#include "planning/investment_calculator.h"
#include "planning_gui_support.h"
#include "profit_grid.h"
#include "up_down.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvanta {

class Tinvest : public plan_ui::CalculatorDialog {
    Q_OBJECT
public:
    explicit Tinvest(QWidget* parent = nullptr);

    InvestCalc& calc() { return calc_; }

    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QLabel* Label3;
    QLineEdit* Edit3;
    QLabel* Label5;
    plan_ui::UpDown* UpDown1;
    QLabel* Label4;
    plan_ui::ProfitGrid* StringGrid1;
    QPushButton* Button3;
    QPushButton* Button2;
    QPushButton* Button1;
    plan_ui::LinesView* RichEdit1;

public slots:
    void FormActivate();
    void UpDown1Changing();
    void UpDown1Click();
    void Button3Click();
    void Button2Click();
    void Button1Click();

protected:
    void openingActivation() override { FormActivate(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    InvestCalc calc_;
};

} // namespace kalvanta
