#pragma once
// The three planning calculators as the main window sees them: their four
// windows, each created once and only hidden when closed, the menu
// commands of "П&ланирование" and the help buttons.
//
//   PlanningWindows planning(mainWindow);  // then createAll(), or create*() one by one
//   planning.setHelpHandlers(show, modal); // in the start-up order: Trez, Tplan, Tkred, Tinvest
//   N22 → planning.openProduction();  N32 → openCredits();  N33 → openInvestments();
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

#include "credit_dialog.h"
#include "invest_dialog.h"
#include "plan_dialog.h"
#include "plan_results_window.h"

namespace kalvanta {

class PlanningWindows : public QObject {
    Q_OBJECT
public:
    // Creates nothing yet: call create*() at their places in the start-up
    // order, or createAll(); an accessor creates a window still missing.
    // With the main window as windowParent the calculator windows stay in
    // front of it and do not keep the program running once it is closed.
    explicit PlanningWindows(QWidget* windowParent = nullptr, QObject* parent = nullptr);
    ~PlanningWindows() override;

    void createRez();
    void createPlan();
    void createKred();
    void createInvest();
    // Trez, Tplan, Tkred, Tinvest: their relative start-up order.
    void createAll();

    Trez* rez();
    Tplan* plan();
    Tkred* kred();
    Tinvest* invest();

    // showHelp shows the help window without waiting (production plan and
    // its results); showHelpModal shows it and returns when it is closed
    // (credits, investments: modal dialogs block other windows). Without
    // showHelpModal the modal dialogs use showHelp.
    void setHelpHandlers(std::function<void()> showHelp, std::function<void()> showHelpModal = {});

    // Tests fix the separator; the program takes the system's.
    void setRegionalSettings(const RegionalSettings& rs);

public slots:
    // N22 "Производство": Tplan without waiting.
    void openProduction();
    // N32 "Кредиты и займы": Tkred modally.
    void openCredits();
    // N33 "Инвестиции": Tinvest modally.
    void openInvestments();

private:
    void applySettings();

    // Deleted with this object, or earlier with their parent window.
    QPointer<QWidget> windowParent_;
    QPointer<Trez> rez_;
    QPointer<Tplan> plan_;
    QPointer<Tkred> kred_;
    QPointer<Tinvest> invest_;
    std::function<void()> showHelp_;
    std::function<void()> showHelpModal_;
    std::unique_ptr<RegionalSettings> regional_;
};

} // namespace kalvanta
