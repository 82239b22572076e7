#include "planning_windows.h"

namespace kalvanta {

PlanningWindows::PlanningWindows(QObject* parent) : QObject(parent) {}

PlanningWindows::~PlanningWindows()
{
    // Trez reads the plan dialog's request: it goes first.
    if (plan_)
        plan_->setResultsWindow(nullptr);
    rez_.reset();
}

void PlanningWindows::createRez()
{
    if (rez_)
        return;
    rez_ = std::make_unique<Trez>();
    if (plan_) {
        rez_->setPlanDialog(plan_.get());
        plan_->setResultsWindow(rez_.get());
    }
    applySettings();
}

void PlanningWindows::createPlan()
{
    if (plan_)
        return;
    plan_ = std::make_unique<Tplan>();
    if (rez_) {
        rez_->setPlanDialog(plan_.get());
        plan_->setResultsWindow(rez_.get());
    }
    applySettings();
}

void PlanningWindows::createKred()
{
    if (kred_)
        return;
    kred_ = std::make_unique<Tkred>();
    applySettings();
}

void PlanningWindows::createInvest()
{
    if (invest_)
        return;
    invest_ = std::make_unique<Tinvest>();
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
    return rez_.get();
}

Tplan* PlanningWindows::plan()
{
    createPlan();
    return plan_.get();
}

Tkred* PlanningWindows::kred()
{
    createKred();
    return kred_.get();
}

Tinvest* PlanningWindows::invest()
{
    createInvest();
    return invest_.get();
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
