#pragma once
// What every wizard dialog shares: a top-level modeless window that is only
// hidden when closed, writes the one analysis record, converts its fields
// with the regional settings and knows where the wizard goes next.
#include <QString>
#include <QWidget>

#include <functional>

#include "inputs/analysis_input.h"
#include "numeric/regional_settings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvanta {

class Tpar;
class TForm2;
class TForm3;
class Tdoubl;
class Tdabl;
class Tform6;
class Tdopol;

// What the wizard needs from the desktop program.
struct WizardHooks {
    std::function<void()> showHelp;     // the help window
    std::function<void()> showProgress; // the calculation progress window that ends the wizard
    std::function<void()> markUnsaved;  // the main window's caption for an unsaved report
};

// The dialogs of one wizard and the program's hooks; each dialog follows these.
struct WizardLinks {
    Tpar* par = nullptr;
    TForm2* form2 = nullptr;
    Tdoubl* doubl = nullptr;
    TForm3* form3 = nullptr;
    Tdabl* dabl = nullptr;
    Tform6* form6 = nullptr;
    Tdopol* dopol = nullptr;
    WizardHooks hooks;
};

class WizardWindow : public QWidget {
    Q_OBJECT
public:
    WizardWindow(AnalysisInput& input, const QString& caption, QWidget* parent);

    void setLinks(const WizardLinks& links) { links_ = links; }
    const WizardLinks& links() const { return links_; }

    // Tests fix the separator; the program takes the system's.
    void setRegionalSettings(const RegionalSettings& settings) { regional_ = settings; }
    const RegionalSettings& regionalSettings() const { return regional_; }

protected:
    // Converts a field's whole text; a ConversionError leaves the handler there.
    double convert(const QLineEdit* field) const;
    // Runs a click handler through the shared handler guard (ui/handler_guard.h).
    void runHandler(void (WizardWindow::*handler)());
    template <class Dialog>
    void runHandler(void (Dialog::*handler)())
    {
        runHandler(static_cast<void (WizardWindow::*)()>(handler));
    }

    // Shows the next step in front, then closes this one.
    void moveTo(QWidget* next);
    void showHelp() const;
    void showProgress() const;
    void markUnsaved() const;

    // "Warning" / "Ошибка! В баланс введены некорректные данные!"
    void showBalanceError();

    AnalysisInput& input_;
    WizardLinks links_;
    RegionalSettings regional_;
};

// A field with its object and accessible names.
QLineEdit* makeField(QWidget* parent, const QString& name, const QString& accessibleName, const QString& text);
// A label that moves the focus to its field.
QLabel* makeLabel(QWidget* parent, const QString& text, QWidget* buddy);
// A button that Enter in a field does not press.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text);

// Shows a window in front and gives it the activation, as the wizard's steps do.
void bringToFront(QWidget* window);

} // namespace kalvanta
