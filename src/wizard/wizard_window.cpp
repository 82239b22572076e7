#include "wizard_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "numeric/number_parse.h"
#include "ui/handler_guard.h"
#include "ui/regional_qt.h"
#include "ui/ui_services.h"

namespace kalvanta {

WizardWindow::WizardWindow(AnalysisInput& input, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Dialog), input_(input), regional_(systemRegionalSettings())
{
    setWindowTitle(caption);
    // Closing a wizard step must never end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
}

double WizardWindow::convert(const QLineEdit* field) const
{
    return parseNumber(field->text().toStdString(), regional_);
}

void WizardWindow::runHandler(void (WizardWindow::*handler)())
{
    kalvanta::runHandler(this, [this, handler] { (this->*handler)(); });
}

void WizardWindow::moveTo(QWidget* next)
{
    if (next)
        bringToFront(next);
    close();
}

void WizardWindow::showHelp() const
{
    if (links_.hooks.showHelp)
        links_.hooks.showHelp();
}

void WizardWindow::showProgress() const
{
    if (links_.hooks.showProgress)
        links_.hooks.showProgress();
}

void WizardWindow::markUnsaved() const
{
    if (links_.hooks.markUnsaved)
        links_.hooks.markUnsaved();
}

void WizardWindow::showBalanceError()
{
    UiServices::instance().message(this, UiServices::Icon::Warning, QStringLiteral("Warning"),
                                   QStringLiteral("Ошибка! В баланс введены некорректные данные!"));
}

QLineEdit* makeField(QWidget* parent, const QString& name, const QString& accessibleName, const QString& text)
{
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setAccessibleName(accessibleName);
    return field;
}

QLabel* makeLabel(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void bringToFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace kalvanta
