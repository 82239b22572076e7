#pragma once
// The production plan dialog: goal, products and figures of one plan
// request, handed to the results window through the pending flag.
#include <QWidget>

#include <array>
#include <functional>

#include "numeric/regional_settings.h"
#include "planning/production_plan.h"
#include "planning_gui_support.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kalvanta {

class Trez;

class Tplan : public QWidget {
    Q_OBJECT
public:
    explicit Tplan(QWidget* parent = nullptr);

    void setResultsWindow(Trez* rez) { rez_ = rez; }
    void setHelpHandler(std::function<void()> showHelp) { showHelp_ = std::move(showHelp); }
    void setRegionalSettings(const RegionalSettings& rs) { regional_ = rs; }

    PlanRequest& request() { return request_; }
    const PlanRequest& request() const { return request_; }

    // Edit1 … Edit14 by number.
    QLineEdit* edit(int number) const { return edits_.at(static_cast<std::size_t>(number)); }

    QGroupBox* GroupBox1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QLabel* Label9;
    QLabel* Label10;
    QCheckBox* CheckBox1;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QLineEdit* Edit8;
    QLineEdit* Edit9;
    QLineEdit* Edit10;
    QLineEdit* Edit11;
    QLineEdit* Edit12;
    QLineEdit* Edit13;
    QLineEdit* Edit14;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;

public slots:
    // The handlers bear the controls' names, as in every window; the parameters
    // dialog's list reads alike but acts on other controls.
    void FormActivate();
    void RadioButton1Click();
    void RadioButton2Click();
    void CheckBox1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    PlanRequest request_;
    Trez* rez_ = nullptr;
    std::function<void()> showHelp_;
    RegionalSettings regional_;
    std::array<QLineEdit*, 15> edits_{};
    plan_ui::ActivationGate activation_;
    bool centred_ = false;
};

} // namespace kalvanta
