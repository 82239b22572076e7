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

class Tkred : public QDialog {
    Q_OBJECT
public:
    explicit Tkred(QWidget* parent = nullptr);

    void setHelpHandler(std::function<void()> showHelpModal) { showHelp_ = std::move(showHelpModal); }
    void setRegionalSettings(const RegionalSettings& rs) { regional_ = rs; }
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
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    CreditCalc calc_;
    std::function<void()> showHelp_;
    RegionalSettings regional_;
    plan_ui::ActivationGate activation_;
    bool centred_ = false;
    // The activation handler runs once per opening: coming back from an
    // error box or the help window must not undo what the user typed.
    bool resetDue_ = false;
};

} // namespace kalvanta
