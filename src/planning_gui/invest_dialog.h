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

class Tinvest : public QDialog {
    Q_OBJECT
public:
    explicit Tinvest(QWidget* parent = nullptr);

    void setHelpHandler(std::function<void()> showHelpModal) { showHelp_ = std::move(showHelpModal); }
    void setRegionalSettings(const RegionalSettings& rs) { regional_ = rs; }
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
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    InvestCalc calc_;
    std::function<void()> showHelp_;
    RegionalSettings regional_;
    plan_ui::ActivationGate activation_;
    bool centred_ = false;
    // The activation handler runs once per opening: coming back from an
    // error box or the help window must not undo what the user typed.
    bool resetDue_ = false;
};

} // namespace kalvanta
