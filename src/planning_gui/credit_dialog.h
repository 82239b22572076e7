#pragma once
// The credits and loans calculator dialog: one memo line per "Расчет".
#include <QDialog>

#include <functional>

#include "numeric/regional_settings.h"
#include "planning/credit_calculator.h"
#include "planning_gui_support.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace kalvanta {

class Tkred : public plan_ui::CalculatorDialog {
    Q_OBJECT
public:
    explicit Tkred(QWidget* parent = nullptr);

    CreditCalc& calc() { return calc_; }

    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QLabel* Label7;
    QLineEdit* Edit3;
    QLabel* Label8;
    QLineEdit* Edit4;
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label5;
    QLabel* Label2;
    QLineEdit* Edit2;
    QLabel* Label6;
    QLabel* Label3;
    QComboBox* ComboBox1;
    QLabel* Label9;
    QLineEdit* Edit5;
    QLabel* Label10;
    QPushButton* Button3;
    QPushButton* Button1;
    QPushButton* Button2;
    QLabel* Label4;
    QPlainTextEdit* Memo1;

public slots:
    void FormActivate();
    void RadioButton1Click();
    void RadioButton2Click();
    void Button3Click();
    void Button1Click();
    void Button2Click();

protected:
    void openingActivation() override { FormActivate(); }

private:
    CreditCalc calc_;
};

} // namespace kalvanta
