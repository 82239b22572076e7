#include "balance_sheet_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "entry_filter.h"
#include "inputs/field_tables.h"
#include "inputs/identities.h"
#include "numeric/number_format.h"
#include "profit_loss_dialog.h"

namespace kalvanta {

namespace {

const QString kStartOfYear = QStringLiteral("на начало года");
const QString kEndOfYear = QStringLiteral("на конец года");

// Builds the grid of one balance dialog: a label and two fields per row, the
// keyboard going row by row, left field then right field.
template <std::size_t N>
std::vector<QLineEdit*> buildRows(QWidget* dialog, QGridLayout* grid, const std::array<BalanceField, N>& rows,
                                  const BalanceSheet& start, const BalanceSheet& end)
{
    std::vector<QLineEdit*> edits(2 * N);
    for (std::size_t k = 0; k < N; ++k) {
        const BalanceField& row = rows[k];
        const QString label = QString::fromUtf8(row.label.data(), static_cast<qsizetype>(row.label.size()));
        // Whole amounts print the same under any separator.
        edits[k] = makeField(dialog, QStringLiteral("Edit%1").arg(k + 1), label + QStringLiteral(", ") + kStartOfYear,
                             QString::fromStdString(formatGeneral(start.*row.member, ",")));
        edits[k + N] = makeField(dialog, QStringLiteral("Edit%1").arg(k + 1 + N),
                                 label + QStringLiteral(", ") + kEndOfYear,
                                 QString::fromStdString(formatGeneral(end.*row.member, ",")));
        const int line = static_cast<int>(k);
        auto* name = makeLabel(dialog, label, edits[k]);
        name->setObjectName(QStringLiteral("Row%1").arg(k + 1));
        grid->addWidget(name, line, 0);
        grid->addWidget(edits[k], line, 1);
        grid->addWidget(edits[k + N], line, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    QWidget* previous = nullptr;
    for (std::size_t k = 0; k < N; ++k) {
        for (QLineEdit* field : {edits[k], edits[k + N]}) {
            if (previous)
                QWidget::setTabOrder(previous, field);
            previous = field;
        }
    }
    return edits;
}

} // namespace

// ---- assets ----

AssetDialog::AssetDialog(AnalysisInput& input, const QString& caption, Snapshot start, Snapshot end,
                         QWidget* parent)
    : WizardWindow(input, caption, parent), start_(start), end_(end)
{
    const AnalysisInput example = workedExample();
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Здесь необходимо ввести данные актива баланса предприятия"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    edits_ = buildRows(this, grid, kAssetFields, example.*start, example.*end);
    layout->addLayout(grid);

    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("Дальше"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    layout->addLayout(buttons);
    setTabOrder(edits_.back(), Button1);

    for (int number : {1, 2, 5, 8, 9})
        attachEntryFilter(Edit(number), &pointFilter, &assetEnterTarget);

    connect(Button1, &QPushButton::clicked, this, [this] { runHandler(&AssetDialog::Button1Click); });
}

void AssetDialog::Button1Click()
{
    const std::size_t n = kAssetFields.size();
    for (std::size_t k = 0; k < n; ++k)
        (input_.*start_).*kAssetFields[k].member = convert(edits_[k]);
    for (std::size_t k = 0; k < n; ++k)
        (input_.*end_).*kAssetFields[k].member = convert(edits_[k + n]);

    if (assetDialogPasses(input_.*start_, input_.*end_))
        moveTo(nextStep());
    else
        showBalanceError();
}

// ---- liabilities ----

LiabilityDialog::LiabilityDialog(AnalysisInput& input, const QString& caption, Snapshot start, Snapshot end,
                                 QWidget* parent)
    : WizardWindow(input, caption, parent), start_(start), end_(end)
{
    const AnalysisInput example = workedExample();
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    edits_ = buildRows(this, grid, kLiabilityFields, example.*start, example.*end);
    layout->addLayout(grid);

    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("Назад"));
    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("Дальше"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    layout->addLayout(buttons);
    setTabOrder(edits_.back(), Button2);
    setTabOrder(Button2, Button1);

    connect(Button1, &QPushButton::clicked, this, [this] { runHandler(&LiabilityDialog::Button1Click); });
    connect(Button2, &QPushButton::clicked, this, [this] { runHandler(&LiabilityDialog::Button2Click); });
}

void LiabilityDialog::Button1Click()
{
    const std::size_t n = kLiabilityFields.size();
    BalanceSheet& start = input_.*start_;
    BalanceSheet& end = input_.*end_;
    for (std::size_t k = 0; k < n; ++k)
        start.*kLiabilityFields[k].member = convert(edits_[k]);
    for (std::size_t k = 0; k < n; ++k)
        end.*kLiabilityFields[k].member = convert(edits_[k + n]);
    start.UncoveredLoss = uncoveredLossMagnitude(start.UncoveredLoss);
    end.UncoveredLoss = uncoveredLossMagnitude(end.UncoveredLoss);

    if (liabilityDialogPasses(start, end))
        moveTo(nextStep());
    else
        showBalanceError();
}

void LiabilityDialog::Button2Click() { moveTo(previousStep()); }

// ---- the four dialogs ----

TForm2::TForm2(AnalysisInput& input, QWidget* parent)
    : AssetDialog(input, QStringLiteral("Ввод данных актива баланса"), &AnalysisInput::Y1Start,
                  &AnalysisInput::Y1End, parent)
{
    setObjectName(QStringLiteral("TForm2"));
}

QWidget* TForm2::nextStep() const { return links_.form3; }

Tdoubl::Tdoubl(AnalysisInput& input, QWidget* parent)
    : AssetDialog(input, QStringLiteral("Ввод данных актива баланса за 2й год"), &AnalysisInput::Y2Start,
                  &AnalysisInput::Y2End, parent)
{
    setObjectName(QStringLiteral("Tdoubl"));
}

QWidget* Tdoubl::nextStep() const { return links_.dabl; }

TForm3::TForm3(AnalysisInput& input, QWidget* parent)
    : LiabilityDialog(input, QStringLiteral("Введите пассив баланса "), &AnalysisInput::Y1Start,
                      &AnalysisInput::Y1End, parent)
{
    setObjectName(QStringLiteral("TForm3"));
}

QWidget* TForm3::nextStep() const
{
    if (input_.AnalysisParameters.YearCount == 2.0)
        return links_.doubl;
    if (input_.AnalysisParameters.YearCount == 1.0)
        return links_.form6;
    return nullptr;
}

QWidget* TForm3::previousStep() const { return links_.form2; }

Tdabl::Tdabl(AnalysisInput& input, QWidget* parent)
    : LiabilityDialog(input, QStringLiteral("Введите пассив баланса за 2й год "), &AnalysisInput::Y2Start,
                      &AnalysisInput::Y2End, parent)
{
    setObjectName(QStringLiteral("Tdabl"));
}

QWidget* Tdabl::nextStep() const { return links_.form6; }

QWidget* Tdabl::previousStep() const { return links_.doubl; }

} // namespace kalvanta
