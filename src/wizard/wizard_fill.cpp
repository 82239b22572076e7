#include "wizard_fill.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <charconv>
#include <cmath>

#include "additional_data_dialog.h"
#include "balance_sheet_dialog.h"
#include "inputs/field_tables.h"
#include "inputs/identities.h"
#include "numeric/number_format.h"
#include "numeric/number_parse.h"
#include "params_dialog.h"
#include "profit_loss_dialog.h"

namespace kalvanta {

namespace {

bool readsBackAs(const std::string& text, double value, const RegionalSettings& regional)
{
    try {
        const double back = parseNumber(text, regional);
        return back == value && std::signbit(back) == std::signbit(value);
    } catch (const std::exception&) {
        return false;
    }
}

// The shortest text that reads back exactly, in the general format's style.
std::string exactText(double value, const RegionalSettings& regional)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string out;
    for (const char* c = buffer; c != end; ++c) {
        if (*c == '.')
            out += regional.decimalSeparator;
        else if (*c == 'e')
            out += 'E';
        else if (*c == '+')
            continue;
        else
            out += *c;
    }
    return ec == std::errc() ? out : formatGeneral(value, regional);
}

// Assets or liabilities: the start column's fields, then the end column's.
template <std::size_t N, class Dialog>
void fillBalance(const std::array<BalanceField, N>& rows, Dialog* dialog, const BalanceSheet& start,
                 const BalanceSheet& end)
{
    const RegionalSettings& rs = dialog->regionalSettings();
    const int n = static_cast<int>(rows.size());
    for (int k = 0; k < n; ++k) {
        dialog->Edit(k + 1)->setText(fieldText(start.*rows[static_cast<std::size_t>(k)].member, rs));
        dialog->Edit(k + 1 + n)->setText(fieldText(end.*rows[static_cast<std::size_t>(k)].member, rs));
    }
}

void fillParameters(Tpar* par, const ParametersGroup& p)
{
    par->Edit1->setText(QString::fromStdString(p.EnterpriseName));
    const QString unit = QString::fromStdString(p.UnitName);
    const int listed = par->ComboBox1->findText(unit);
    if (listed >= 0)
        par->ComboBox1->setCurrentIndex(listed);
    par->ComboBox1->setEditText(unit);
    if (p.YearCount == 1.0) {
        par->RadioButton2->setChecked(true);
        par->RadioButton2Click();
    } else {
        par->RadioButton1->setChecked(true);
        par->RadioButton1Click();
    }
    par->CheckBox1->setChecked(p.ExpertAssessmentOn == 1.0);
    par->CheckBox2->setChecked(p.BusinessActivityOn == 1.0);
    par->CheckBox3->setChecked(p.FinancialLeverageOn == 1.0);
    par->CheckBox4->setChecked(p.OperatingLeverageOn == 1.0);
    par->CheckBox5->setChecked(p.WorkingCapitalNeedsOn == 1.0);
}

void fillProfitLoss(Tform6* form6, const AnalysisInput& record)
{
    const RegionalSettings& rs = form6->regionalSettings();
    for (std::size_t k = 0; k < kProfitLossFields.size(); ++k) {
        form6->year1[k]->setText(fieldText(record.ProfitLoss[1].*kProfitLossFields[k].member, rs));
        form6->year2[k]->setText(fieldText(record.ProfitLoss[2].*kProfitLossFields[k].member, rs));
    }
}

void fillAdditional(Tdopol* dopol, const AnalysisInput& record)
{
    const RegionalSettings& rs = dopol->regionalSettings();
    struct Row {
        int year1;
        int year2;
        double AdditionalDataYear::*member;
    };
    static constexpr Row kYearRows[] = {
        {1, 2, &AdditionalDataYear::CreditsReceived},   {3, 4, &AdditionalDataYear::InterestPaid},
        {5, 6, &AdditionalDataYear::TaxRatePercent},
    };
    for (const Row& row : kYearRows) {
        dopol->Edit(row.year1)->setText(fieldText(record.AdditionalData[1].*row.member, rs));
        dopol->Edit(row.year2)->setText(fieldText(record.AdditionalData[2].*row.member, rs));
    }
    if (productDataKept(record))
        return;
    static constexpr Row kRows[] = {
        {7, 15, &AdditionalDataYear::PriceA},
        {8, 16, &AdditionalDataYear::PriceB},           {9, 17, &AdditionalDataYear::UnitVariableCostA},
        {10, 18, &AdditionalDataYear::UnitVariableCostB}, {11, 19, &AdditionalDataYear::QuantityA},
        {12, 20, &AdditionalDataYear::QuantityB},       {13, 21, &AdditionalDataYear::FixedCostsTotal},
    };
    for (const Row& row : kRows) {
        dopol->Edit(row.year1)->setText(fieldText(record.AdditionalData[1].*row.member, rs));
        dopol->Edit(row.year2)->setText(fieldText(record.AdditionalData[2].*row.member, rs));
    }
    // The engine takes every count but 1 for two products.
    if (record.ProductCount == 1.0) {
        dopol->RadioButton1->setChecked(true);
        dopol->RadioButton1Click();
    } else {
        dopol->RadioButton2->setChecked(true);
        dopol->RadioButton2Click();
    }
}

} // namespace

bool productDataKept(const AnalysisInput& record)
{
    return record.AnalysisParameters.OperatingLeverageOn != 1.0 && !priceTestPasses(record);
}

QString fieldText(double value, const RegionalSettings& regional)
{
    std::string text = formatGeneral(value, regional);
    if (!readsBackAs(text, value, regional))
        text = exactText(value, regional);
    return QString::fromStdString(text);
}

void fillWizard(const WizardLinks& links, const AnalysisInput& record)
{
    if (links.par)
        fillParameters(links.par, record.AnalysisParameters);
    if (links.form2)
        fillBalance(kAssetFields, links.form2, record.Y1Start, record.Y1End);
    if (links.form3)
        fillBalance(kLiabilityFields, links.form3, record.Y1Start, record.Y1End);
    if (links.doubl)
        fillBalance(kAssetFields, links.doubl, record.Y2Start, record.Y2End);
    if (links.dabl)
        fillBalance(kLiabilityFields, links.dabl, record.Y2Start, record.Y2End);
    if (links.form6)
        fillProfitLoss(links.form6, record);
    if (links.dopol)
        fillAdditional(links.dopol, record);
}

QStringList wizardContents(const WizardLinks& links)
{
    QStringList contents;
    const QWidget* windows[] = {links.par, links.form2, links.form3, links.doubl, links.dabl, links.form6, links.dopol};
    for (const QWidget* window : windows) {
        if (!window)
            continue;
        const QString prefix = window->objectName() + QLatin1Char('.');
        for (const QLineEdit* edit : window->findChildren<QLineEdit*>())
            contents << prefix + edit->objectName() + QLatin1Char('=') + edit->text();
        for (const QComboBox* box : window->findChildren<QComboBox*>())
            contents << prefix + box->objectName() + QLatin1Char('=') + box->currentText();
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
            if (button->isCheckable())
                contents << prefix + button->objectName() + (button->isChecked() ? QStringLiteral("=on")
                                                                                  : QStringLiteral("=off"));
    }
    return contents;
}

} // namespace kalvanta
