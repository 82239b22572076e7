#include "credit_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QShowEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/regional_qt.h"

namespace kalvanta {

namespace {

using plan_ui::named;

QLineEdit* field(QWidget* parent, const char* name, const QString& text, const QString& accessibleName)
{
    auto* e = named(new QLineEdit(text, parent), name);
    e->setAccessibleName(accessibleName);
    e->setFixedWidth(100);
    return e;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QWidget* buddy = nullptr)
{
    auto* l = named(new QLabel(text, parent), name);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

} // namespace

Tkred::Tkred(QWidget* parent) : CalculatorDialog(parent)
{
    setObjectName(QStringLiteral("Tkred"));
    setWindowTitle(QStringLiteral("Кредиты и займы"));
    setAccessibleName(windowTitle());
    regional_ = systemRegionalSettings();

    RadioButton1 = named(new QRadioButton(QStringLiteral("Расчет итоговой суммы"), this), "RadioButton1");
    RadioButton1->setChecked(true);
    RadioButton2 = named(new QRadioButton(QStringLiteral("Расчет первоначальной суммы"), this), "RadioButton2");

    Edit3 = field(this, "Edit3", QStringLiteral("100"), QStringLiteral("Первоначальная сумма"));
    Label7 = label(this, "Label7", QStringLiteral("Первоначальная сумма"), Edit3);
    Edit4 = field(this, "Edit4", QStringLiteral("200"), QStringLiteral("Итоговая сумма"));
    Label8 = label(this, "Label8", QStringLiteral("Итоговая сумма"), Edit4);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Данные для расчетов"), this), "GroupBox1");
    Edit1 = field(GroupBox1, "Edit1", QStringLiteral("10"), QStringLiteral("Ставка годовых процентов, %"));
    Label1 = label(GroupBox1, "Label1", QStringLiteral("Ставка годовых процентов"), Edit1);
    Label5 = label(GroupBox1, "Label5", QStringLiteral("%"));
    Edit2 = field(GroupBox1, "Edit2", QStringLiteral("365"), QStringLiteral("Срок кредита в днях"));
    Label2 = label(GroupBox1, "Label2", QStringLiteral("Срок кредита в днях"), Edit2);
    Label6 = label(GroupBox1, "Label6", QStringLiteral("дней"));
    ComboBox1 = named(new QComboBox(GroupBox1), "ComboBox1");
    ComboBox1->addItem(QStringLiteral("Простые проценты"));
    ComboBox1->addItem(QStringLiteral("Сложные проценты"));
    ComboBox1->setAccessibleName(QStringLiteral("Вид процентной ставки"));
    Label3 = label(GroupBox1, "Label3", QStringLiteral("Вид процентной ставки"), ComboBox1);
    Edit5 = field(GroupBox1, "Edit5", QStringLiteral("2"),
                  QStringLiteral("Число раз начисления процентов в году, для сложных процентов"));
    Label9 = label(GroupBox1, "Label9", QStringLiteral("Число раз начисления % в году"), Edit5);
    Label10 = label(GroupBox1, "Label10", QStringLiteral("- для сложных процентов"));

    auto* data = new QGridLayout(GroupBox1);
    data->addWidget(Label1, 0, 0);
    data->addWidget(Edit1, 0, 1);
    data->addWidget(Label5, 0, 2);
    data->addWidget(Label2, 1, 0);
    data->addWidget(Edit2, 1, 1);
    data->addWidget(Label6, 1, 2);
    data->addWidget(Label3, 2, 0);
    data->addWidget(ComboBox1, 2, 1, 1, 2);
    data->addWidget(Label9, 3, 0);
    data->addWidget(Edit5, 3, 1);
    data->addWidget(Label10, 3, 2);

    auto* sums = new QGridLayout;
    sums->addWidget(RadioButton1, 0, 0, 1, 2);
    sums->addWidget(RadioButton2, 1, 0, 1, 2);
    sums->addWidget(Label7, 2, 0);
    sums->addWidget(Edit3, 2, 1);
    sums->addWidget(Label8, 3, 0);
    sums->addWidget(Edit4, 3, 1);
    sums->setColumnStretch(2, 1);

    Button3 = named(new QPushButton(QStringLiteral("Расчет"), this), "Button3");
    Button1 = named(new QPushButton(QStringLiteral("Cправка"), this), "Button1");
    Button2 = named(new QPushButton(QStringLiteral("Закрыть"), this), "Button2");
    for (QPushButton* b : {Button3, Button1, Button2})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button3);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();

    Memo1 = named(new QPlainTextEdit(this), "Memo1");
    Memo1->setAccessibleName(QStringLiteral("Результат расчетов"));
    Memo1->setFixedHeight(110);
    Label4 = label(this, "Label4", QStringLiteral("Результат расчетов"), Memo1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sums);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->addWidget(Label4);
    layout->addWidget(Memo1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // A choice acts however it is made: mouse, keyboard or an assistive tool's Toggle.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton1Click(); });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) { if (on) RadioButton2Click(); });
    // A click on the choice already made brings its fields back after a reset.
    connect(RadioButton1, &QRadioButton::clicked, this, &Tkred::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &Tkred::RadioButton2Click);
    connect(Button3, &QPushButton::clicked, this, guarded(this, [this] { Button3Click(); }));
    connect(Button1, &QPushButton::clicked, this, &Tkred::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tkred::Button2Click);

    FormActivate();
}

void Tkred::FormActivate()
{
    ComboBox1->setCurrentIndex(0);
    Edit4->setEnabled(false);
    Edit3->setEnabled(true);
}

void Tkred::RadioButton1Click()
{
    Edit4->setEnabled(false);
    Edit3->setEnabled(true);
}

void Tkred::RadioButton2Click()
{
    Edit5->setEnabled(true);
    Edit3->setEnabled(false);
    Edit4->setEnabled(true);
}

void Tkred::Button3Click()
{
    CreditEditTexts texts;
    texts.Edit1 = Edit1->text().toStdString();
    texts.Edit2 = Edit2->text().toStdString();
    texts.Edit3 = Edit3->text().toStdString();
    texts.Edit4 = Edit4->text().toStdString();
    texts.Edit5 = Edit5->text().toStdString();
    const std::string line = computeCredit(calc_, RadioButton1->isChecked(), ComboBox1->currentIndex(), texts, regional_);
    // A new line below whatever the memo holds, its first empty line included.
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(QString::fromStdString(line));
}

void Tkred::Button1Click() { showHelpAndReturn(); }

void Tkred::Button2Click() { close(); }


} // namespace kalvanta
