#include "planning_windows.h"

namespace kalvanta {

PlanningWindows::PlanningWindows(QWidget* windowParent, QObject* parent)
    : QObject(parent), windowParent_(windowParent)
{
}

PlanningWindows::~PlanningWindows()
{
    // Trez reads the plan dialog's request: it goes first.
    if (plan_)
        plan_->setResultsWindow(nullptr);
    delete rez_.data();
    delete plan_.data();
    delete kred_.data();
    delete invest_.data();
}

void PlanningWindows::createRez()
{
    if (rez_)
        return;
    rez_ = new Trez(windowParent_);
    if (plan_) {
        rez_->setPlanDialog(plan_);
        plan_->setResultsWindow(rez_);
    }
    applySettings();
}

void PlanningWindows::createPlan()
{
    if (plan_)
        return;
    plan_ = new Tplan(windowParent_);
    if (rez_) {
        rez_->setPlanDialog(plan_);
        plan_->setResultsWindow(rez_);
    }
    applySettings();
}

void PlanningWindows::createKred()
{
    if (kred_)
        return;
    kred_ = new Tkred(windowParent_);
    applySettings();
}

void PlanningWindows::createInvest()
{
    if (invest_)
        return;
    invest_ = new Tinvest(windowParent_);
    applySettings();
}

void PlanningWindows::createAll()
{
    createRez();
    createPlan();
    createKred();
    createInvest();
}

Trez* PlanningWindows::rez()
{
    createRez();
    return rez_;
}

Tplan* PlanningWindows::plan()
{
    createPlan();
    return plan_;
}

Tkred* PlanningWindows::kred()
{
    createKred();
    return kred_;
}

Tinvest* PlanningWindows::invest()
{
    createInvest();
    return invest_;
}

void PlanningWindows::setHelpHandlers(std::function<void()> showHelp, std::function<void()> showHelpModal)
{
    showHelp_ = std::move(showHelp);
    showHelpModal_ = std::move(showHelpModal);
    applySettings();
}

void PlanningWindows::applySettings()
{
    const std::function<void()> modal = showHelpModal_ ? showHelpModal_ : showHelp_;
    if (rez_)
        rez_->setHelpHandler(showHelp_);
    if (plan_)
        plan_->setHelpHandler(showHelp_);
    if (kred_)
        kred_->setHelpHandler(modal);
    if (invest_)
        invest_->setHelpHandler(modal);
    if (regional_) {
        if (rez_)
            rez_->setRegionalSettings(*regional_);
        if (plan_)
            plan_->setRegionalSettings(*regional_);
        if (kred_)
            kred_->setRegionalSettings(*regional_);
        if (invest_)
            invest_->setRegionalSettings(*regional_);
    }
}

void PlanningWindows::setRegionalSettings(const RegionalSettings& rs)
{
    regional_ = std::make_unique<RegionalSettings>(rs);
    applySettings();
}

void PlanningWindows::openProduction()
{
    Tplan* p = plan();
    rez(); // the plan needs its results window
    p->show();
    p->raise();
    p->activateWindow();
}

void PlanningWindows::openCredits() { kred()->exec(); }

void PlanningWindows::openInvestments() { invest()->exec(); }

} // namespace kalvanta
