#include "profit_loss_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "additional_data_dialog.h"
#include "inputs/field_tables.h"
#include "numeric/number_format.h"

namespace kalvanta {

namespace {
// Field numbers of rows P1 to P14; Edit11, Edit17 and Edit28 do not exist.
constexpr std::array<int, 14> kYear1Fields = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15};
constexpr std::array<int, 14> kYear2Fields = {18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 29, 30, 31, 16};

// The last row's label stands on two lines.
QString screenLabel(std::size_t row, const QString& label)
{
    if (row == 13)
        return QStringLiteral("Нераспределенная прибыль (убыток) \nотчетного периода");
    return label;
}
} // namespace

Tform6::Tform6(AnalysisInput& input, QWidget* parent)
    : WizardWindow(input, QStringLiteral("Введите данные отчета о прибылях и убытках"), parent)
{
    setObjectName(QStringLiteral("Tform6"));
    const AnalysisInput example = workedExample();

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    Caption1 = new QLabel(QStringLiteral("1-й год "), this);
    Caption1->setObjectName(QStringLiteral("Caption1"));
    Caption2 = new QLabel(QStringLiteral("2-й год"), this);
    Caption2->setObjectName(QStringLiteral("Caption2"));
    grid->addWidget(Caption1, 0, 1, Qt::AlignHCenter);
    grid->addWidget(Caption2, 0, 2, Qt::AlignHCenter);

    for (std::size_t k = 0; k < kProfitLossFields.size(); ++k) {
        const ProfitLossField& row = kProfitLossFields[k];
        const QString label = QString::fromUtf8(row.label.data(), static_cast<qsizetype>(row.label.size()));
        year1[k] = makeField(this, QStringLiteral("Edit%1").arg(kYear1Fields[k]), label + QStringLiteral(", 1-й год"),
                             QString::fromStdString(formatGeneral(example.ProfitLoss[1].*row.member, ",")));
        year2[k] = makeField(this, QStringLiteral("Edit%1").arg(kYear2Fields[k]), label + QStringLiteral(", 2-й год"),
                             QString::fromStdString(formatGeneral(example.ProfitLoss[2].*row.member, ",")));
        auto* name = makeLabel(this, screenLabel(k, label), year1[k]);
        name->setObjectName(QStringLiteral("Row%1").arg(k + 1));
        const int line = static_cast<int>(k) + 1;
        grid->addWidget(name, line, 0);
        grid->addWidget(year1[k], line, 1);
        grid->addWidget(year2[k], line, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);

    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("Далее"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    layout->addLayout(buttons);

    QWidget* previous = nullptr;
    for (const auto* column : {&year1, &year2})
        for (QLineEdit* field : *column) {
            if (previous)
                setTabOrder(previous, field);
            previous = field;
        }
    setTabOrder(previous, Button1);

    connect(Button1, &QPushButton::clicked, this, [this] { runHandler(&Tform6::Button1Click); });
}

void Tform6::Button1Click()
{
    for (int year : {1, 2}) {
        const auto& column = year == 1 ? year1 : year2;
        for (std::size_t k = 0; k < kProfitLossFields.size(); ++k)
            input_.ProfitLoss[year].*kProfitLossFields[k].member = convert(column[k]);
    }
    deriveFinancialEconomicProfit(input_);
    markUnsaved();
    const ParametersGroup& p = input_.AnalysisParameters;
    if (p.FinancialLeverageOn == 1.0 || p.OperatingLeverageOn == 1.0) {
        input_.AnalysisParameters.AnalysisPending = 0.0;
        moveTo(links_.dopol);
    } else {
        close();
        showProgress();
    }
}

} // namespace kalvanta
