#include "additional_data_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "entry_filter.h"
#include "inputs/identities.h"
#include "numeric/number_format.h"
#include "ui/ui_services.h"

namespace kalvanta {

namespace {

const QString kYear1 = QStringLiteral("1й год");
const QString kYear2 = QStringLiteral("2й год");
const QString kProductA = QStringLiteral("Товар А");
const QString kProductB = QStringLiteral("Товар В");

// One spoken name for a label that stands on several lines.
QString spoken(const QString& label)
{
    QStringList lines = label.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.trimmed();
    return lines.join(QLatin1Char(' '));
}


} // namespace

Tdopol::Tdopol(AnalysisInput& input, QWidget* parent)
    : WizardWindow(input, QStringLiteral("Дополнительные данные"), parent)
{
    setObjectName(QStringLiteral("Tdopol"));
    const AnalysisInput example = workedExample();
    const AdditionalDataYear& y1 = example.AdditionalData[1];
    const AdditionalDataYear& y2 = example.AdditionalData[2];
    // The example shows its fractions with the regional separator.
    auto text = [this](double value) { return QString::fromStdString(formatGeneral(value, regional_)); };

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    auto* caption1 = new QLabel(QStringLiteral("1й   год"), this);
    caption1->setObjectName(QStringLiteral("YearCaption1"));
    auto* caption2 = new QLabel(QStringLiteral("2й   год"), this);
    caption2->setObjectName(QStringLiteral("YearCaption2"));
    grid->addWidget(caption1, 0, 1, 1, 2, Qt::AlignHCenter);
    grid->addWidget(caption2, 0, 3, 1, 2, Qt::AlignHCenter);

    auto field = [&](int number, const QString& accessible, double value) {
        QLineEdit* edit = makeField(this, QStringLiteral("Edit%1").arg(number), accessible, text(value));
        edits_[static_cast<std::size_t>(number)] = edit;
        return edit;
    };
    // A row with one field per year.
    auto yearRow = [&](int line, const QString& label, int first, int second, double AdditionalDataYear::*member) {
        QLineEdit* a = field(first, spoken(label) + QStringLiteral(", ") + kYear1, y1.*member);
        QLineEdit* b = field(second, spoken(label) + QStringLiteral(", ") + kYear2, y2.*member);
        grid->addWidget(makeLabel(this, label, a), line, 0);
        grid->addWidget(a, line, 1);
        grid->addWidget(b, line, 3);
    };
    // A row with products A and B in each year.
    auto productRow = [&](int line, const QString& label, std::array<int, 4> numbers,
                          double AdditionalDataYear::*a, double AdditionalDataYear::*b) {
        const QString name = spoken(label);
        QLineEdit* first = field(numbers[0], name + QStringLiteral(", ") + kProductA + QStringLiteral(", ") + kYear1, y1.*a);
        field(numbers[1], name + QStringLiteral(", ") + kProductB + QStringLiteral(", ") + kYear1, y1.*b);
        field(numbers[2], name + QStringLiteral(", ") + kProductA + QStringLiteral(", ") + kYear2, y2.*a);
        field(numbers[3], name + QStringLiteral(", ") + kProductB + QStringLiteral(", ") + kYear2, y2.*b);
        grid->addWidget(makeLabel(this, label, first), line, 0);
        for (int column = 0; column < 4; ++column)
            grid->addWidget(Edit(numbers[static_cast<std::size_t>(column)]), line, column + 1);
    };

    yearRow(1, QStringLiteral("Получено кредитов"), 1, 2, &AdditionalDataYear::CreditsReceived);
    yearRow(2, QStringLiteral("Направлено денежных \nсредств на оплату\nпроцентов"), 3, 4,
            &AdditionalDataYear::InterestPaid);
    yearRow(3, QStringLiteral("Ставка налога на прибыль (в%)"), 5, 6, &AdditionalDataYear::TaxRatePercent);

    RadioButton1 = new QRadioButton(QStringLiteral("1 вид продукции"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("2 вида продукции"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setChecked(true);
    auto* radios = new QHBoxLayout;
    radios->addWidget(RadioButton1);
    radios->addWidget(RadioButton2);
    radios->addStretch();
    grid->addLayout(radios, 4, 0, 1, 5);

    for (int half = 0; half < 2; ++half) {
        auto* a = new QLabel(kProductA, this);
        a->setObjectName(QStringLiteral("ProductCaptionA%1").arg(half + 1));
        auto* b = new QLabel(kProductB, this);
        b->setObjectName(QStringLiteral("ProductCaptionB%1").arg(half + 1));
        grid->addWidget(a, 5, 1 + 2 * half, Qt::AlignHCenter);
        grid->addWidget(b, 5, 2 + 2 * half, Qt::AlignHCenter);
    }
    productRow(6, QStringLiteral("Цена"), {7, 8, 15, 16}, &AdditionalDataYear::PriceA, &AdditionalDataYear::PriceB);
    productRow(7, QStringLiteral("Преременные издержки\nна единицу продукции"), {9, 10, 17, 18},
               &AdditionalDataYear::UnitVariableCostA, &AdditionalDataYear::UnitVariableCostB);
    productRow(8, QStringLiteral("Количество произведенной \nпродукции"), {11, 12, 19, 20},
               &AdditionalDataYear::QuantityA, &AdditionalDataYear::QuantityB);
    yearRow(9, QStringLiteral("Суммарные постоянные издержки"), 13, 21, &AdditionalDataYear::FixedCostsTotal);
    for (int column = 1; column <= 4; ++column)
        grid->setColumnStretch(column, 1);
    layout->addLayout(grid);

    ReferenceTitle = new QLabel(QStringLiteral("Справка (введенные ранее данные):"), this);
    ReferenceTitle->setObjectName(QStringLiteral("ReferenceTitle"));
    UnitLine = new QLabel(this);
    UnitLine->setObjectName(QStringLiteral("UnitLine"));
    CostLine = new QLabel(this);
    CostLine->setObjectName(QStringLiteral("CostLine"));
    SellingLine = new QLabel(this);
    SellingLine->setObjectName(QStringLiteral("SellingLine"));
    RevenueLine = new QLabel(this);
    RevenueLine->setObjectName(QStringLiteral("RevenueLine"));
    for (QLabel* line : {ReferenceTitle, UnitLine, CostLine, SellingLine})
        layout->addWidget(line);

    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("Готово"));
    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("Справка"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(RevenueLine);
    bottom->addStretch();
    bottom->addWidget(Button1);
    bottom->addWidget(Button2);
    layout->addLayout(bottom);

    QWidget* order[] = {Edit(1),  Edit(2),  Edit(3),  Edit(4),  RadioButton1, RadioButton2, Edit(5),
                        Edit(6),  Edit(7),  Edit(8),  Edit(9),  Edit(10),     Edit(11),     Edit(12),
                        Edit(13), Edit(15), Edit(16), Edit(17), Edit(18),     Edit(19),     Edit(20),
                        Edit(21), Button1,  Button2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QLineEdit* edit : edits_)
        if (edit)
            attachEntryFilter(
                edit,
                [this](char32_t typed, std::string_view current) {
                    return decimalFilter(typed, current, regional_.decimalSeparator);
                },
                &additionalEnterTarget);

    // A choice acts however it is made: mouse, keyboard or an assistive tool's Toggle.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton1Click(); });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton2Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { runHandler(&Tdopol::Button1Click); });
    connect(Button2, &QPushButton::clicked, this, [this] { runHandler(&Tdopol::Button2Click); });

    input_.ProductCount = 2.0;
}

void Tdopol::FormActivate()
{
    const AnalysisInput& in = input_;
    auto number = [this](double value) { return QString::fromStdString(formatGeneral(value, regional_)); };
    UnitLine->setText(QStringLiteral("Единица измерений -     ") + QString::fromStdString(in.AnalysisParameters.UnitName));
    if (in.AnalysisParameters.YearCount == 1.0) {
        RevenueLine->setText(QStringLiteral("Выручка равна            ") + number(in.ProfitLoss[1].Revenue));
        CostLine->setText(QStringLiteral("Годовая себестоимость    ") + number(in.ProfitLoss[1].CostOfSales));
        SellingLine->setText(QStringLiteral("Коммерческие расходы     ") + number(in.ProfitLoss[1].SellingExpenses));
    } else if (in.AnalysisParameters.YearCount == 2.0) {
        auto both = [&](double ProfitLossYear::*member) {
            return number(in.ProfitLoss[1].*member) + QLatin1Char('/') + number(in.ProfitLoss[2].*member);
        };
        RevenueLine->setText(QStringLiteral("Выручка за 1й и 2й годы равна   ") + both(&ProfitLossYear::Revenue));
        CostLine->setText(QStringLiteral("Себестоимость за 1й и 2й годы равна   ") + both(&ProfitLossYear::CostOfSales));
        SellingLine->setText(QStringLiteral("Коммерческие расходы за 1й и 2й годы равна   ") +
                             both(&ProfitLossYear::SellingExpenses));
    }
}

void Tdopol::setProductBShown(bool shown)
{
    for (int number : {8, 10, 12, 16, 18, 20})
        Edit(number)->setVisible(shown);
}

void Tdopol::RadioButton1Click()
{
    setProductBShown(false);
    input_.ProductCount = 1.0;
}

void Tdopol::RadioButton2Click()
{
    setProductBShown(true);
    input_.ProductCount = 2.0;
}

void Tdopol::Button1Click()
{
    auto& d = input_.AdditionalData;
    d[1].CreditsReceived = convert(Edit(1));
    d[2].CreditsReceived = convert(Edit(2));
    d[1].InterestPaid = convert(Edit(3));
    d[2].InterestPaid = convert(Edit(4));
    d[1].TaxRatePercent = convert(Edit(5));
    d[2].TaxRatePercent = convert(Edit(6));
    d[1].PriceA = convert(Edit(7));
    d[2].PriceA = convert(Edit(15));
    d[1].QuantityA = convert(Edit(11));
    d[2].QuantityA = convert(Edit(19));
    d[1].UnitVariableCostA = convert(Edit(9));
    d[2].UnitVariableCostA = convert(Edit(17));
    d[1].FixedCostsTotal = convert(Edit(13));
    d[2].FixedCostsTotal = convert(Edit(21));
    if (input_.ProductCount == 2.0) {
        d[1].PriceB = convert(Edit(8));
        d[2].PriceB = convert(Edit(16));
        d[1].QuantityB = convert(Edit(12));
        d[2].QuantityB = convert(Edit(20));
        d[1].UnitVariableCostB = convert(Edit(10));
        d[2].UnitVariableCostB = convert(Edit(18));
    }
    if (!priceTestPasses(input_)) {
        UiServices::instance().message(this, UiServices::Icon::Information, QStringLiteral("Information"),
                                       QStringLiteral("Цена равна переменным издержкам на единицу. Это ошибка"));
        return;
    }
    markUnsaved();
    close();
    showProgress();
}

void Tdopol::Button2Click() { showHelp(); }

void Tdopol::changeEvent(QEvent* event)
{
    WizardWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runHandler(&Tdopol::FormActivate);
}

} // namespace kalvanta
