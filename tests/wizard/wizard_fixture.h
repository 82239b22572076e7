#pragma once
// The wizard as the desktop program builds it, with hooks that record their
// calls and a message service that records every box instead of showing it.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWindow>

#include <memory>
#include <vector>

#include "inputs/analysis_input.h"
#include "ui/ui_services.h"
#include "wizard/wizard_windows.h"

namespace kalvanta::test {

struct Message {
    UiServices::Icon icon;
    QString title;
    QString text;
};

class RecordingServices : public UiServices {
public:
    std::vector<Message> messages;

    void message(QWidget*, Icon icon, const QString& title, const QString& text) override
    {
        messages.push_back({icon, title, text});
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
    bool printerSetupDialog(QWidget*, QPrinter&) override { return false; }
    bool fontDialog(QWidget*, QFont&) override { return false; }
};

inline const QString kBalanceError = QStringLiteral("Ошибка! В баланс введены некорректные данные!");
inline const QString kPriceError = QStringLiteral("Цена равна переменным издержкам на единицу. Это ошибка");

// All wizard windows, created in the start-up order, wired, with a comma
// as the decimal separator.
struct Wizard {
    AnalysisInput input = startupInput();
    RecordingServices services;
    QStringList calls; // hooks in the order they were called
    std::unique_ptr<Tdopol> dopol;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<Tdoubl> doubl;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<Tdabl> dabl;
    std::unique_ptr<Tform6> form6;
    std::unique_ptr<TForm14> form14;
    std::unique_ptr<Tpar> par;

    Wizard()
    {
        UiServices::setInstance(&services);
        dopol = std::make_unique<Tdopol>(input);
        form2 = std::make_unique<TForm2>(input);
        doubl = std::make_unique<Tdoubl>(input);
        form3 = std::make_unique<TForm3>(input);
        dabl = std::make_unique<Tdabl>(input);
        form6 = std::make_unique<Tform6>(input);
        form14 = std::make_unique<TForm14>(input);
        par = std::make_unique<Tpar>(input);
        WizardHooks hooks;
        hooks.showHelp = [this] { calls << QStringLiteral("help"); };
        hooks.showProgress = [this] { calls << QStringLiteral("progress"); };
        hooks.markUnsaved = [this] { calls << QStringLiteral("unsaved"); };
        wireWizard(par.get(), form2.get(), doubl.get(), form3.get(), dabl.get(), form6.get(), dopol.get(), hooks);
        const RegionalSettings comma = RegionalSettings::russian();
        for (WizardWindow* w : windows())
            w->setRegionalSettings(comma);
    }
    ~Wizard() { UiServices::setInstance(nullptr); }
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    std::vector<WizardWindow*> windows() const
    {
        return {par.get(), form2.get(), doubl.get(), form3.get(), dabl.get(), form6.get(), dopol.get()};
    }

    WizardWindow* window(const QString& name) const
    {
        for (WizardWindow* w : windows())
            if (w->objectName() == name)
                return w;
        return nullptr;
    }

    // The names of the wizard dialogs now on screen.
    QStringList visible() const
    {
        QStringList names;
        for (WizardWindow* w : windows())
            if (w->isVisible())
                names << w->objectName();
        return names;
    }

    // The user's "New..." command.
    void start()
    {
        bringToFront(par.get());
        QTRY_VERIFY(par->isActiveWindow());
    }
};

// A click as the user makes it: through the event loop and the
// application's error display.
inline void click(QAbstractButton* button)
{
    // Check boxes and radio buttons react on their indicator and text only.
    const QPoint at = button->isCheckable() ? QPoint(8, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

// A radio button or check box switched by its accessibility Toggle action,
// as a screen reader or voice control does it.
inline void toggle(QAbstractButton* button)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

inline QLineEdit* field(QWidget* dialog, const QString& name)
{
    return dialog->findChild<QLineEdit*>(name, Qt::FindDirectChildrenOnly);
}

inline void setText(QWidget* dialog, const QString& name, const QString& text)
{
    QLineEdit* edit = field(dialog, name);
    QVERIFY2(edit, qPrintable(name));
    edit->setText(text);
}

// The window's own close button.
inline void closeByUser(QWidget* window)
{
    window->windowHandle()->close();
}

} // namespace kalvanta::test
