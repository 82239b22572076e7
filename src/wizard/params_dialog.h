#pragma once
// Tpar, "Параметры расчета": the first step of the wizard. Sets the name,
// unit, number of years and the report section switches.
#include "wizard_window.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kalvanta {

class Tpar : public WizardWindow {
    Q_OBJECT
public:
    explicit Tpar(AnalysisInput& input, QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QComboBox* ComboBox1;
    QGroupBox* GroupBox1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox4;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox5;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;

    void FormCreate();
    void FormActivate();
    void RadioButton1Click();
    void RadioButton2Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool placed_ = false;
};

} // namespace kalvanta
