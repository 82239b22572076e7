#pragma once
// The four balance sheet dialogs: assets and liabilities of year 1 and of
// year 2. Each row is one balance line with the start of the year on the left
// and the end of the year on the right.
#include <vector>

#include "wizard_window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvanta {

using Snapshot = BalanceSheet AnalysisInput::*;

class AssetDialog : public WizardWindow {
    Q_OBJECT
public:
    // Row Ak has Edit k on the left and Edit k+15 on the right.
    QLineEdit* Edit(int number) const { return edits_.at(static_cast<std::size_t>(number - 1)); }
    QLabel* Label1; // the instruction line
    QPushButton* Button1;

    void Button1Click();

protected:
    AssetDialog(AnalysisInput& input, const QString& caption, Snapshot start, Snapshot end,
                QWidget* parent);
    // The liability dialog of the same year.
    virtual QWidget* nextStep() const = 0;

private:
    Snapshot start_;
    Snapshot end_;
    std::vector<QLineEdit*> edits_;
};

class LiabilityDialog : public WizardWindow {
    Q_OBJECT
public:
    // Row Lk has Edit k on the left and Edit k+18 on the right.
    QLineEdit* Edit(int number) const { return edits_.at(static_cast<std::size_t>(number - 1)); }
    QPushButton* Button1;
    QPushButton* Button2;

    void Button1Click();
    void Button2Click();

protected:
    LiabilityDialog(AnalysisInput& input, const QString& caption, Snapshot start, Snapshot end,
                    QWidget* parent);
    virtual QWidget* nextStep() const = 0;
    // The asset dialog of the same year.
    virtual QWidget* previousStep() const = 0;

private:
    Snapshot start_;
    Snapshot end_;
    std::vector<QLineEdit*> edits_;
};

// "Ввод данных актива баланса": Y1Start and Y1End.
class TForm2 : public AssetDialog {
    Q_OBJECT
public:
    explicit TForm2(AnalysisInput& input, QWidget* parent = nullptr);

protected:
    QWidget* nextStep() const override;
};

// "Ввод данных актива баланса за 2й год": Y2Start and Y2End.
class Tdoubl : public AssetDialog {
    Q_OBJECT
public:
    explicit Tdoubl(AnalysisInput& input, QWidget* parent = nullptr);

protected:
    QWidget* nextStep() const override;
};

// "Введите пассив баланса ": Y1Start and Y1End.
class TForm3 : public LiabilityDialog {
    Q_OBJECT
public:
    explicit TForm3(AnalysisInput& input, QWidget* parent = nullptr);

protected:
    QWidget* nextStep() const override;
    QWidget* previousStep() const override;
};

// "Введите пассив баланса за 2й год ": Y2Start and Y2End.
class Tdabl : public LiabilityDialog {
    Q_OBJECT
public:
    explicit Tdabl(AnalysisInput& input, QWidget* parent = nullptr);

protected:
    QWidget* nextStep() const override;
    QWidget* previousStep() const override;
};

} // namespace kalvanta
