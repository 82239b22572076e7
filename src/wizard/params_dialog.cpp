#include "params_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "balance_sheet_dialog.h"

namespace kalvanta {

namespace {
QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& text)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(true);
    return box;
}
} // namespace

Tpar::Tpar(AnalysisInput& input, QWidget* parent)
    : WizardWindow(input, QStringLiteral("Параметры расчета"), parent)
{
    setObjectName(QStringLiteral("Tpar"));

    Edit1 = new QLineEdit(QStringLiteral("Фирма N       2004-2006 гг."), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Введите название предприятия"));
    Label1 = makeLabel(this, QStringLiteral("Введите название предприятия"), Edit1);
    Label1->setObjectName(QStringLiteral("Label1"));

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({QStringLiteral("тыс. рублей"), QStringLiteral("млн. рублей"),
                         QStringLiteral("тыс.долларов США"), QStringLiteral("млн.долларов США"),
                         QStringLiteral("тыс.евро"), QStringLiteral("млн.евро")});
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setEditText(QStringLiteral("тыс. рублей"));
    ComboBox1->setAccessibleName(QStringLiteral("Единица измерения формы N1 и N2"));
    Label2 = makeLabel(this, QStringLiteral("Единица измерения формы N1 и N2"), ComboBox1);
    Label2->setObjectName(QStringLiteral("Label2"));

    GroupBox1 = new QGroupBox(QStringLiteral("Период расчета"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    RadioButton1 = new QRadioButton(QStringLiteral("рассчитать за 2 года"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("рассчитать за 1 год"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->addWidget(RadioButton1);
    groupLayout->addWidget(RadioButton2);

    CheckBox2 = makeCheckBox(this, "CheckBox2", QStringLiteral("Расчет показателей деловой активности"));
    CheckBox1 = makeCheckBox(this, "CheckBox1",
                             QStringLiteral("Сделать экспертную оценку финансового состояния"));
    CheckBox4 = makeCheckBox(this, "CheckBox4", QStringLiteral("Делать расчет операционного рычага"));
    CheckBox4->setToolTip(QStringLiteral("Требуется деление издержек на постоянные и переменные"));
    CheckBox3 = makeCheckBox(this, "CheckBox3", QStringLiteral("Делать расчет финансового рычага"));
    CheckBox3->setToolTip(QStringLiteral("Требуется форма №4"));
    CheckBox5 = makeCheckBox(this, "CheckBox5",
                             QStringLiteral("Расчет финансово-эксплуатационных потребностей предприятия"));

    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("Далее"));
    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("Закрыть"));
    Button3 = makeButton(this, QStringLiteral("Button3"), QStringLiteral("Справка"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addWidget(Label2);
    layout->addWidget(ComboBox1);
    layout->addWidget(GroupBox1);
    for (QCheckBox* box : {CheckBox2, CheckBox1, CheckBox4, CheckBox3, CheckBox5})
        layout->addWidget(box);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* order[] = {Edit1, ComboBox1, RadioButton1, RadioButton2, CheckBox2, CheckBox1,
                        CheckBox4, CheckBox3, CheckBox5, Button1, Button2, Button3};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // A choice acts however it is made: mouse, keyboard or an assistive tool's Toggle.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton1Click(); });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton2Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { runHandler(&Tpar::Button1Click); });
    connect(Button2, &QPushButton::clicked, this, [this] { runHandler(&Tpar::Button2Click); });
    connect(Button3, &QPushButton::clicked, this, [this] { runHandler(&Tpar::Button3Click); });

    FormCreate();
}

void Tpar::FormCreate()
{
    input_.AnalysisParameters.ExpertAssessmentOn = 1.0;
}

void Tpar::FormActivate()
{
    input_.AnalysisParameters.AnalysisPending = 0.0;
    if (input_.AnalysisParameters.YearCount != 1.0)
        input_.AnalysisParameters.YearCount = 2.0;
}

void Tpar::RadioButton1Click() { input_.AnalysisParameters.YearCount = 2.0; }

void Tpar::RadioButton2Click() { input_.AnalysisParameters.YearCount = 1.0; }

void Tpar::Button1Click()
{
    ParametersGroup& p = input_.AnalysisParameters;
    p.UnitName = ComboBox1->currentText().toStdString();
    p.ExpertAssessmentOn = CheckBox1->isChecked() ? 1.0 : 0.0;
    p.BusinessActivityOn = CheckBox2->isChecked() ? 1.0 : 0.0;
    p.FinancialLeverageOn = CheckBox3->isChecked() ? 1.0 : 0.0;
    p.OperatingLeverageOn = CheckBox4->isChecked() ? 1.0 : 0.0;
    p.WorkingCapitalNeedsOn = CheckBox5->isChecked() ? 1.0 : 0.0;
    p.EnterpriseName = Edit1->text().toStdString();
    moveTo(links_.form2);
}

void Tpar::Button2Click() { close(); }

void Tpar::Button3Click() { showHelp(); }

void Tpar::changeEvent(QEvent* event)
{
    WizardWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runHandler(&Tpar::FormActivate);
}

void Tpar::showEvent(QShowEvent* event)
{
    WizardWindow::showEvent(event);
    if (!placed_) {
        placed_ = true;
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
}

} // namespace kalvanta
