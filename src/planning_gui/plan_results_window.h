#pragma once
// The production plan results window: writes the pending plan when it
// becomes active and keeps every plan below the earlier ones until
// "Закрыть" empties it.
#include <QWidget>

#include <functional>

#include "numeric/regional_settings.h"
#include "planning/production_plan.h"
#include "planning_gui_support.h"

class QPushButton;

namespace kalvanta {

class Tplan;

inline const QString kPlanResultsCaption = QStringLiteral("Расчет плановых показателй");

class Trez : public QWidget {
    Q_OBJECT
public:
    explicit Trez(QWidget* parent = nullptr);

    void setPlanDialog(Tplan* plan) { plan_ = plan; }
    void setHelpHandler(std::function<void()> showHelp) { showHelp_ = std::move(showHelp); }
    void setRegionalSettings(const RegionalSettings& rs) { regional_ = rs; }

    PlanResults& results() { return results_; }

    // Shows the window in front for a new request and writes the plan,
    // once, whether or not the window manager activates the window.
    void showRequested();

    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4; // the plan as a PDF file
    plan_ui::LinesView* RichEdit1;

public slots:
    void FormActivate();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Tplan* plan_ = nullptr;
    PlanResults results_;
    std::function<void()> showHelp_;
    RegionalSettings regional_;
    plan_ui::ActivationGate activation_;
    bool centred_ = false;
};

} // namespace kalvanta
