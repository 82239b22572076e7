#include "plan_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "plan_results_window.h"
#include "ui/regional_qt.h"

namespace kalvanta {

namespace {

QLineEdit* field(QWidget* parent, int number, const QString& text, const QString& accessibleName, int width)
{
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QStringLiteral("Edit%1").arg(number));
    e->setAccessibleName(accessibleName);
    e->setFixedWidth(width);
    // Hiding a field must not shift the others.
    QSizePolicy policy = e->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    e->setSizePolicy(policy);
    return e;
}

QLabel* rowLabel(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

Tplan::Tplan(QWidget* parent) : QWidget(parent, Qt::Window), activation_(this)
{
    setObjectName(QStringLiteral("Tplan"));
    setWindowTitle(QStringLiteral("Планирование хозяйственной деятельности"));
    setAccessibleName(windowTitle());
    regional_ = systemRegionalSettings();

    GroupBox1 = new QGroupBox(QStringLiteral("Цель планирования"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    RadioButton1 = new QRadioButton(QStringLiteral("Расчет прибыли"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("Расчет объема производства"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* goalLayout = new QHBoxLayout(GroupBox1);
    goalLayout->addWidget(RadioButton1);
    goalLayout->addWidget(RadioButton2);
    goalLayout->addStretch();

    const QString a = QStringLiteral("товар А");
    const QString b = QStringLiteral("товар В");
    const QString c = QStringLiteral("товар С");
    const int w = 80;
    Edit1 = field(this, 1, QStringLiteral("10"), QStringLiteral("Цена за 1 изделие, ") + a, w);
    Edit2 = field(this, 2, QStringLiteral("20"), QStringLiteral("Цена за 1 изделие, ") + b, w);
    Edit3 = field(this, 3, QStringLiteral("5"), QStringLiteral("Цена за 1 изделие, ") + c, w);
    Edit4 = field(this, 4, QStringLiteral("1000"), QStringLiteral("Количество товаров (услуг), ") + a, w);
    Edit5 = field(this, 5, QStringLiteral("500"), QStringLiteral("Количество товаров (услуг), ") + b, w);
    Edit6 = field(this, 6, QStringLiteral("2000"), QStringLiteral("Количество товаров (услуг), ") + c, w);
    Edit7 = field(this, 7, QStringLiteral("5"), QStringLiteral("Переменные затраты на единицу, ") + a, w);
    Edit8 = field(this, 8, QStringLiteral("10"), QStringLiteral("Переменные затраты на единицу, ") + b, w);
    Edit9 = field(this, 9, QStringLiteral("2"), QStringLiteral("Переменные затраты на единицу, ") + c, w);
    Edit10 = field(this, 10, QStringLiteral("10000"), QStringLiteral("Суммарные постоянные затраты"), w);
    Edit11 = field(this, 11, QStringLiteral("10000"), QStringLiteral("Требуемая прибыль"), w);
    Edit12 = field(this, 12, QStringLiteral("25"), QStringLiteral("Требуемое соотношение производства, процент, ") + a, 40);
    Edit13 = field(this, 13, QStringLiteral("25"), QStringLiteral("Требуемое соотношение производства, процент, ") + b, 40);
    Edit14 = field(this, 14, QStringLiteral("50"), QStringLiteral("Требуемое соотношение производства, процент, ") + c, 40);
    edits_ = {nullptr, Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7,
              Edit8, Edit9, Edit10, Edit11, Edit12, Edit13, Edit14};

    Label9 = new QLabel(QStringLiteral("Товар А"), this);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label10 = new QLabel(QStringLiteral("Товар В"), this);
    Label10->setObjectName(QStringLiteral("Label10"));
    CheckBox1 = new QCheckBox(QStringLiteral("Товар С"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    CheckBox1->setAccessibleName(QStringLiteral("Товар С участвует в плане"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->addWidget(Label9, 0, 1);
    grid->addWidget(Label10, 0, 2);
    grid->addWidget(CheckBox1, 0, 3);
    grid->addWidget(rowLabel(this, QStringLiteral("Цена за 1 изделие"), Edit1), 1, 0);
    grid->addWidget(Edit1, 1, 1);
    grid->addWidget(Edit2, 1, 2);
    grid->addWidget(Edit3, 1, 3);
    grid->addWidget(rowLabel(this, QStringLiteral("Количество  товаров (услуг)"), Edit4), 2, 0);
    grid->addWidget(Edit4, 2, 1);
    grid->addWidget(Edit5, 2, 2);
    grid->addWidget(Edit6, 2, 3);
    grid->addWidget(rowLabel(this, QStringLiteral("Переменные затраты на \nединицу"), Edit7), 3, 0);
    grid->addWidget(Edit7, 3, 1);
    grid->addWidget(Edit8, 3, 2);
    grid->addWidget(Edit9, 3, 3);
    grid->addWidget(rowLabel(this, QStringLiteral("Суммарные постоянные затраты"), Edit10), 4, 0);
    grid->addWidget(Edit10, 4, 1);
    grid->addWidget(rowLabel(this, QStringLiteral("Требуемая прибыль"), Edit11), 5, 0);
    grid->addWidget(Edit11, 5, 1);
    grid->addWidget(rowLabel(this, QStringLiteral("Требуемое соотношение производства"), Edit12), 6, 0);
    grid->addWidget(Edit12, 6, 1, Qt::AlignLeft);
    grid->addWidget(Edit13, 6, 2, Qt::AlignLeft);
    grid->addWidget(Edit14, 6, 3, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("=100%"), this), 6, 4);
    // Spare width goes right of the columns, not between label and fields.
    grid->setColumnStretch(5, 1);

    Button1 = new QPushButton(QStringLiteral("Составить план"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Справка"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3 = new QPushButton(QStringLiteral("Закрыть"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // A choice acts however it is made: mouse, keyboard or an assistive tool's Toggle.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton1Click(); });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton2Click(); });
    connect(CheckBox1, &QCheckBox::toggled, this, &Tplan::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, guarded(this, [this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, &Tplan::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tplan::Button3Click);

    FormActivate();
}

void Tplan::FormActivate()
{
    if (RadioButton1->isChecked())
        RadioButton1Click();
    else
        RadioButton2Click();
}

void Tplan::RadioButton1Click()
{
    Edit11->hide();
    Edit12->hide();
    Edit13->hide();
    Edit14->hide();
    Edit4->show();
    Edit5->show();
    if (CheckBox1->isChecked())
        Edit6->show();
}

void Tplan::RadioButton2Click()
{
    if (!RadioButton2->isChecked())
        return;
    Edit4->hide();
    Edit5->hide();
    Edit6->hide();
    Edit11->show();
    Edit12->show();
    Edit13->show();
    if (CheckBox1->isChecked())
        Edit14->show();
}

void Tplan::CheckBox1Click()
{
    if (!CheckBox1->isChecked()) {
        Edit3->hide();
        Edit6->hide();
        Edit9->hide();
        Edit14->hide();
        return;
    }
    Edit3->show();
    Edit9->show();
    if (RadioButton1->isChecked())
        Edit6->show();
    else
        Edit14->show();
}

void Tplan::Button1Click()
{
    PlanEditTexts texts;
    for (int i = 1; i <= 14; ++i)
        texts[static_cast<std::size_t>(i)] = edit(i)->text().toStdString();
    requestPlan(request_, RadioButton1->isChecked(), CheckBox1->isChecked(), texts, regional_);
    if (rez_)
        rez_->showRequested();
}

void Tplan::Button2Click()
{
    if (showHelp_)
        showHelp_();
}

void Tplan::Button3Click() { close(); }

void Tplan::showEvent(QShowEvent* event)
{
    activation_.shown();
    QWidget::showEvent(event);
    plan_ui::centerOnFirstShow(this, centred_);
}

void Tplan::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && activation_.activated())
        FormActivate();
}

} // namespace kalvanta
