#pragma once
// What the planning windows share: when an activation counts as the
// window's activation handler, centring on the first showing, and a
// rich-text view that appends whole plain lines.
#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QTextCursor>
#include <QTextEdit>

#include <functional>

#include "numeric/regional_settings.h"
#include "ui/handler_guard.h"

class QWidget;
class QWindow;

namespace kalvanta::plan_ui {

// Tells when a window's activation handler runs: when the window becomes
// active after being shown or after another window of the program was
// active, not when the user comes back from another program (that would
// rewrite what the user typed).
class ActivationGate {
public:
    explicit ActivationGate(QWidget* window);
    // From showEvent.
    void shown() { justShown_ = true; }
    // From changeEvent(ActivationChange): true when the handler should run.
    bool activated();

private:
    QWidget* window_;
    bool justShown_ = false;
};

// The credit and investment windows: a help button that comes back to the
// window, and an activation handler that runs once per opening, so coming
// back from an error box or the help window keeps what the user typed.
class CalculatorDialog : public QDialog {
    Q_OBJECT
public:
    explicit CalculatorDialog(QWidget* parent, Qt::WindowFlags flags = {});

    void setHelpHandler(std::function<void()> showHelpModal) { showHelp_ = std::move(showHelpModal); }
    void setRegionalSettings(const RegionalSettings& rs) { regional_ = rs; }

protected:
    // The window's activation handler (FormActivate).
    virtual void openingActivation() = 0;
    // The help button: help shown modally, then this window active again.
    void showHelpAndReturn();
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

    RegionalSettings regional_;

private:
    std::function<void()> showHelp_;
    ActivationGate activation_;
    bool centred_ = false;
    bool resetDue_ = false;
};

// A control with the object name tests and the accessibility tree know it by.
template <class W>
W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// Centres the window on its screen the first time it is shown.
void centerOnFirstShow(QWidget* window, bool& centred);

// "MS Sans Serif" 8 pt where it exists, a sans serif with Cyrillic otherwise.
QFont reportFont(int pointSize = 8);

// Groups the changes made to a view's document while it lives into one
// edit: the view is laid out once for them, not once per line.
class EditBlock {
public:
    explicit EditBlock(QTextEdit* view);
    ~EditBlock();
    EditBlock(const EditBlock&) = delete;
    EditBlock& operator=(const EditBlock&) = delete;

private:
    QTextCursor cursor_;
};

// A rich-text view that appends one plain line at a time: the first line
// of an empty view goes into its first paragraph, every later one, empty
// lines included, below the last.
class LinesView : public QTextEdit {
    Q_OBJECT
public:
    explicit LinesView(QWidget* parent = nullptr);
    void appendLine(const QString& line);
    // Empties the view and resets its modified flag.
    void clearLines();
    QStringList lines() const;

private:
    bool fresh_ = true;
};

} // namespace kalvanta::plan_ui
