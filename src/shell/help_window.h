#pragma once
// The help window `Thelp` and the formula windows its links open.
#include <QDialog>
#include <QPointer>
#include <QWidget>


#include <vector>

#include "formula_texts.h"

class QPlainTextEdit;
class QPushButton;

namespace kalvanta {

class LinkLabel;

// A window with the formulas of one topic; closing it only hides it.
class FormulaWindow : public QWidget {
    Q_OBJECT
public:
    // Owned by the help window, yet a window of its own: it stays when the
    // help window hides, and a modal help window does not block it.
    FormulaWindow(const FormulaTopic& topic, QWidget* owner);
    QPlainTextEdit* Memo1 = nullptr;
};

class Thelp : public QDialog {
    Q_OBJECT
public:
    explicit Thelp(QWidget* parent = nullptr);
    ~Thelp() override;

    // The about windows are created after the help window.
    void setAboutWindows(QDialog* aboutProgram, QDialog* aboutAuthor);

    // Opens a new formula window for the topic of the given link label.
    FormulaWindow* openFormulaWindow(const FormulaTopic& topic);
    // Every formula window opened so far, oldest first.
    std::vector<FormulaWindow*> formulaWindows() const { return formulaWindows_; }

    // Where help.rtf is delivered: beside the program in the build tree,
    // in the data folder (share/kalvanta) once installed.
    static QString helpFilePath();
    // The same for a program in programDir: the first of the two that
    // exists, else the one beside the program.
    static QString helpFilePathFor(const QString& programDir);

    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Button1Click();
    void Button2Click();
    void Button3Click();

    bool placed_ = false;
    QPointer<QDialog> aboutProgram_;
    QPointer<QDialog> aboutAuthor_;
    std::vector<FormulaWindow*> formulaWindows_;
};

} // namespace kalvanta
