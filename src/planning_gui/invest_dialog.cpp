#include "invest_dialog.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "numeric/number_format.h"
#include "ui/regional_qt.h"

namespace kalvanta {

namespace {

using plan_ui::named;

} // namespace

Tinvest::Tinvest(QWidget* parent) : CalculatorDialog(parent, Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Tinvest"));
    setWindowTitle(QStringLiteral("Инвестиции"));
    setAccessibleName(windowTitle());
    setFixedSize(640, 422);
    regional_ = systemRegionalSettings();

    Edit1 = named(new QLineEdit(QStringLiteral("10000"), this), "Edit1");
    Edit1->setAccessibleName(QStringLiteral("Сумма первоначальных инвестиций"));
    Edit1->setGeometry(260, 12, 120, 24);
    Label1 = named(new QLabel(QStringLiteral("Сумма первоначальных инвестиций"), this), "Label1");
    Label1->setBuddy(Edit1);
    Label1->setGeometry(12, 12, 240, 24);

    Edit2 = named(new QLineEdit(QStringLiteral("тыс. рублей"), this), "Edit2");
    Edit2->setAccessibleName(QStringLiteral("Единица измерений"));
    Edit2->setGeometry(260, 42, 120, 24);
    Label2 = named(new QLabel(QStringLiteral("Единица измерений"), this), "Label2");
    Label2->setBuddy(Edit2);
    Label2->setGeometry(12, 42, 240, 24);

    Edit3 = named(new QLineEdit(QStringLiteral("10"), this), "Edit3");
    Edit3->setAccessibleName(QStringLiteral("Ставка дисконтирования, в процентах"));
    Edit3->setGeometry(260, 72, 50, 24);
    Edit3->installEventFilter(this);
    Label3 = named(new QLabel(QStringLiteral("Ставка дисконтирования (в %)"), this), "Label3");
    Label3->setBuddy(Edit3);
    Label3->setGeometry(12, 72, 240, 24);
    UpDown1 = named(new plan_ui::UpDown(this), "UpDown1");
    UpDown1->setRange(0, 10000);
    UpDown1->setPosition(10);
    UpDown1->setGeometry(311, 72, 18, 24);
    UpDown1->upButton()->setAccessibleName(QStringLiteral("Повысить ставку дисконтирования"));
    UpDown1->downButton()->setAccessibleName(QStringLiteral("Понизить ставку дисконтирования"));
    UpDown1->setHandlers([this] { UpDown1Changing(); }, [this] { UpDown1Click(); });
    Label5 = named(new QLabel(QStringLiteral("%"), this), "Label5");
    QFont big = Label5->font();
    big.setPointSize(12);
    Label5->setFont(big);
    Label5->setGeometry(336, 72, 30, 24);

    Label4 = named(new QLabel(QStringLiteral("Прибыль от инвестиционного проекта по годам"), this), "Label4");
    Label4->setGeometry(12, 106, 400, 20);
    StringGrid1 = named(new plan_ui::ProfitGrid(this), "StringGrid1");
    StringGrid1->setAccessibleName(QStringLiteral("Прибыль от инвестиционного проекта по годам"));
    StringGrid1->setGeometry(12, 128, 616, StringGrid1->fittingHeight());
    Label4->setBuddy(StringGrid1);

    Button3 = named(new QPushButton(QStringLiteral("Рассчитать"), this), "Button3");
    Button3->setGeometry(12, 218, 110, 26);
    Button2 = named(new QPushButton(QStringLiteral("Cправка"), this), "Button2");
    Button2->setGeometry(130, 218, 110, 26);
    Button1 = named(new QPushButton(QStringLiteral("Закрыть"), this), "Button1");
    Button1->setGeometry(248, 218, 110, 26);
    for (QPushButton* b : {Button3, Button2, Button1})
        b->setAutoDefault(false);

    RichEdit1 = named(new plan_ui::LinesView(this), "RichEdit1");
    RichEdit1->setAccessibleName(QStringLiteral("Результаты расчета инвестиций"));
    RichEdit1->setGeometry(12, 254, 616, 156);
    RichEdit1->document()->setDefaultFont(plan_ui::reportFont());
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, UpDown1->upButton());
    setTabOrder(UpDown1->upButton(), UpDown1->downButton());
    setTabOrder(UpDown1->downButton(), StringGrid1);
    setTabOrder(StringGrid1, Button3);
    setTabOrder(Button3, Button2);
    setTabOrder(Button2, Button1);
    setTabOrder(Button1, RichEdit1);

    connect(Button3, &QPushButton::clicked, this, guarded(this, [this] { Button3Click(); }));
    connect(Button2, &QPushButton::clicked, this, &Tinvest::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &Tinvest::Button1Click);

    FormActivate();
}

void Tinvest::FormActivate()
{
    StringGrid1->setCell(0, 1, QStringLiteral("Прибыль"));
    for (int year = 1; year <= 10; ++year)
        StringGrid1->setCell(year, 0, QStringLiteral("%1й год").arg(year));
    for (int year = 1; year <= 5; ++year)
        StringGrid1->setCell(year, 1, QString::number(year * 1000));
    UpDown1->setPosition(10);
}

void Tinvest::UpDown1Changing()
{
    Edit3->setText(QString::fromStdString(lowerRateText(Edit3->text().toStdString(), regional_)));
}

void Tinvest::UpDown1Click()
{
    Edit3->setText(QString::fromStdString(formatGeneral(UpDown1->position(), regional_)));
}

void Tinvest::Button3Click()
{
    StringGrid1->commitOpenEditor();
    InvestTexts texts;
    texts.investment = Edit1->text().toStdString();
    texts.ratePercent = Edit3->text().toStdString();
    for (int year = 1; year <= kInvestYears; ++year)
        texts.profits[static_cast<std::size_t>(year - 1)] = StringGrid1->cell(year, 1).toStdString();
    const InvestResult result = computeInvestment(calc_, texts, regional_);
    const plan_ui::EditBlock oneEdit(RichEdit1);
    for (const std::string& line : result.lines)
        RichEdit1->appendLine(QString::fromStdString(line));
}

void Tinvest::Button2Click() { showHelpAndReturn(); }

void Tinvest::Button1Click() { close(); }


bool Tinvest::eventFilter(QObject* watched, QEvent* event)
{
    // The arrow keys in the rate field press the arrows.
    if (watched == Edit3 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            runHandler(this, [this, key] { UpDown1->step(key == Qt::Key_Up ? 1 : -1); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kalvanta
