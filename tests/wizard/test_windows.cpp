// What each window shows: captions, labels in row order, buttons, names,
// accessibility and the keyboard order.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "inputs/field_tables.h"
#include "wizard_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

// The keyboard order: the focus chain from the first widget, as Tab walks it.
QStringList tabOrder(QWidget* first, int count)
{
    QStringList names;
    QWidget* w = first;
    for (int i = 0; i < count; ++i) {
        names << w->objectName();
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || w->isHidden() ||
               qobject_cast<QComboBox*>(w->parentWidget()));
    }
    return names;
}

QStringList editNames(std::initializer_list<int> numbers)
{
    QStringList names;
    for (int n : numbers)
        names << QStringLiteral("Edit%1").arg(n);
    return names;
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void captions()
    {
        Wizard w;
        QCOMPARE(w.par->windowTitle(), QStringLiteral("Параметры расчета"));
        QCOMPARE(w.form2->windowTitle(), QStringLiteral("Ввод данных актива баланса"));
        QCOMPARE(w.form3->windowTitle(), QStringLiteral("Введите пассив баланса "));
        QCOMPARE(w.doubl->windowTitle(), QStringLiteral("Ввод данных актива баланса за 2й год"));
        QCOMPARE(w.dabl->windowTitle(), QStringLiteral("Введите пассив баланса за 2й год "));
        QCOMPARE(w.form6->windowTitle(), QStringLiteral("Введите данные отчета о прибылях и убытках"));
        QCOMPARE(w.dopol->windowTitle(), QStringLiteral("Дополнительные данные"));
        QCOMPARE(w.form14->windowTitle(), QStringLiteral("Сообщение об ошибке ввода данных"));
    }

    void windowsAreModelessTopLevelAndSurviveClosing()
    {
        Wizard w;
        QList<QWidget*> all{w.form14.get()};
        for (WizardWindow* window : w.windows())
            all << window;
        for (QWidget* window : all) {
            QVERIFY(window->isWindow());
            QCOMPARE(window->windowModality(), Qt::NonModal);
            QVERIFY(!window->testAttribute(Qt::WA_DeleteOnClose));
            QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));
        }
    }

    void parametersControls()
    {
        Wizard w;
        Tpar& p = *w.par;
        QCOMPARE(p.Label1->text(), QStringLiteral("Введите название предприятия"));
        QCOMPARE(p.Label2->text(), QStringLiteral("Единица измерения формы N1 и N2"));
        QCOMPARE(p.Edit1->text(), QStringLiteral("Фирма N       2004-2006 гг."));
        QCOMPARE(p.ComboBox1->currentText(), QStringLiteral("тыс. рублей"));
        QVERIFY(p.ComboBox1->isEditable());
        QStringList items;
        for (int i = 0; i < p.ComboBox1->count(); ++i)
            items << p.ComboBox1->itemText(i);
        QCOMPARE(items, (QStringList{"тыс. рублей", "млн. рублей", "тыс.долларов США", "млн.долларов США",
                                     "тыс.евро", "млн.евро"}));
        QCOMPARE(p.GroupBox1->title(), QStringLiteral("Период расчета"));
        QCOMPARE(p.RadioButton1->text(), QStringLiteral("рассчитать за 2 года"));
        QCOMPARE(p.RadioButton2->text(), QStringLiteral("рассчитать за 1 год"));
        QVERIFY(p.RadioButton1->isChecked());
        const std::pair<QCheckBox*, QString> boxes[] = {
            {p.CheckBox1, "Сделать экспертную оценку финансового состояния"},
            {p.CheckBox2, "Расчет показателей деловой активности"},
            {p.CheckBox3, "Делать расчет финансового рычага"},
            {p.CheckBox4, "Делать расчет операционного рычага"},
            {p.CheckBox5, "Расчет финансово-эксплуатационных потребностей предприятия"},
        };
        for (const auto& [box, text] : boxes) {
            QCOMPARE(box->text(), text);
            QVERIFY(box->isChecked());
        }
        QCOMPARE(p.CheckBox4->toolTip(), QStringLiteral("Требуется деление издержек на постоянные и переменные"));
        QCOMPARE(p.CheckBox3->toolTip(), QStringLiteral("Требуется форма №4"));
        QCOMPARE(p.Button1->text(), QStringLiteral("Далее"));
        QCOMPARE(p.Button2->text(), QStringLiteral("Закрыть"));
        QCOMPARE(p.Button3->text(), QStringLiteral("Справка"));
        QCOMPARE(p.Label1->buddy(), p.Edit1);
        QCOMPARE(p.Label2->buddy(), p.ComboBox1);
        QCOMPARE(tabOrder(p.Edit1, 12),
                 (QStringList{"Edit1", "ComboBox1", "RadioButton1", "RadioButton2", "CheckBox2", "CheckBox1", "CheckBox4",
                              "CheckBox3", "CheckBox5", "Button1", "Button2", "Button3"}));
    }

    void balanceRows_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("TForm2") << "TForm2";
        QTest::newRow("Tdoubl") << "Tdoubl";
        QTest::newRow("TForm3") << "TForm3";
        QTest::newRow("Tdabl") << "Tdabl";
    }
    void balanceRows()
    {
        QFETCH(QString, dialog);
        Wizard w;
        QWidget* window = w.window(dialog);
        const bool assets = dialog == "TForm2" || dialog == "Tdoubl";
        const bool year1 = dialog == "TForm2" || dialog == "TForm3";
        const AnalysisInput example = workedExample();
        const BalanceSheet& start = year1 ? example.Y1Start : example.Y2Start;
        const BalanceSheet& end = year1 ? example.Y1End : example.Y2End;
        const int rows = assets ? 15 : 18;
        QStringList order;
        for (int k = 1; k <= rows; ++k) {
            const BalanceField& f = assets ? kAssetFields[k - 1] : kLiabilityFields[k - 1];
            const QString label = QString::fromUtf8(f.label.data(), static_cast<qsizetype>(f.label.size()));
            QLineEdit* left = field(window, QStringLiteral("Edit%1").arg(k));
            QLineEdit* right = field(window, QStringLiteral("Edit%1").arg(k + rows));
            QVERIFY(left && right);
            QCOMPARE(left->text(), QString::number(start.*f.member));
            QCOMPARE(right->text(), QString::number(end.*f.member));
            QCOMPARE(left->accessibleName(), label + QStringLiteral(", на начало года"));
            QCOMPARE(right->accessibleName(), label + QStringLiteral(", на конец года"));
            auto* rowLabel = window->findChild<QLabel*>(QStringLiteral("Row%1").arg(k));
            QCOMPARE(rowLabel->text(), label);
            QCOMPARE(rowLabel->buddy(), left);
            order << left->objectName() << right->objectName();
        }
        QCOMPARE(window->findChildren<QLineEdit*>().size(), 2 * rows);
        if (assets) {
            auto* instruction = window->findChild<QLabel*>("Label1");
            QCOMPARE(instruction->text(), QStringLiteral("Здесь необходимо ввести данные актива баланса предприятия"));
            order << "Button1";
            QCOMPARE(window->findChildren<QPushButton*>().size(), 1);
        } else {
            QVERIFY(!window->findChild<QLabel*>("Label1"));
            order << "Button2" << "Button1";
            QCOMPARE(window->findChild<QPushButton*>("Button2")->text(), QStringLiteral("Назад"));
        }
        QCOMPARE(window->findChild<QPushButton*>("Button1")->text(), QStringLiteral("Дальше"));
        QCOMPARE(tabOrder(field(window, "Edit1"), order.size()), order);
    }

    void profitLossRows()
    {
        Wizard w;
        Tform6& f = *w.form6;
        QCOMPARE(f.Caption1->text(), QStringLiteral("1-й год "));
        QCOMPARE(f.Caption2->text(), QStringLiteral("2-й год"));
        QCOMPARE(f.findChild<QLabel*>("Row14")->text(),
                 QStringLiteral("Нераспределенная прибыль (убыток) \nотчетного периода"));
        QCOMPARE(f.year1[0]->accessibleName(), QStringLiteral("Доходы от обычной деятельности, 1-й год"));
        QCOMPARE(f.year2[0]->accessibleName(), QStringLiteral("Доходы от обычной деятельности, 2-й год"));
        QCOMPARE(f.year2[13]->accessibleName(),
                 QStringLiteral("Нераспределенная прибыль (убыток) отчетного периода, 2-й год"));
        QCOMPARE(f.year2[13]->objectName(), QStringLiteral("Edit16"));
        QCOMPARE(f.year1[10]->text(), QStringLiteral("430"));
        QCOMPARE(f.Button1->text(), QStringLiteral("Далее"));
        QCOMPARE(f.findChildren<QLineEdit*>().size(), 28);
        const QStringList order = editNames({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 18, 19, 20, 21, 22, 23,
                                             24, 25, 26, 27, 29, 30, 31, 16})
                                  << "Button1";
        QCOMPARE(tabOrder(f.year1[0], order.size()), order);
        for (std::size_t k = 0; k < 14; ++k)
            QCOMPARE(f.findChild<QLabel*>(QStringLiteral("Row%1").arg(k + 1))->buddy(), f.year1[k]);
    }

    void additionalDataControls()
    {
        Wizard w;
        Tdopol& d = *w.dopol;
        QCOMPARE(d.findChild<QLabel*>("YearCaption1")->text(), QStringLiteral("1й   год"));
        QCOMPARE(d.findChild<QLabel*>("YearCaption2")->text(), QStringLiteral("2й   год"));
        QCOMPARE(d.RadioButton1->text(), QStringLiteral("1 вид продукции"));
        QCOMPARE(d.RadioButton2->text(), QStringLiteral("2 вида продукции"));
        QCOMPARE(d.Button1->text(), QStringLiteral("Готово"));
        QCOMPARE(d.Button2->text(), QStringLiteral("Справка"));
        const std::pair<int, QString> names[] = {
            {1, "Получено кредитов, 1й год"},
            {4, "Направлено денежных средств на оплату процентов, 2й год"},
            {5, "Ставка налога на прибыль (в%), 1й год"},
            {7, "Цена, Товар А, 1й год"},
            {8, "Цена, Товар В, 1й год"},
            {16, "Цена, Товар В, 2й год"},
            {17, "Преременные издержки на единицу продукции, Товар А, 2й год"},
            {12, "Количество произведенной продукции, Товар В, 1й год"},
            {21, "Суммарные постоянные издержки, 2й год"},
        };
        for (const auto& [n, name] : names)
            QCOMPARE(d.Edit(n)->accessibleName(), name);
        QStringList labels;
        for (QLabel* label : d.findChildren<QLabel*>())
            if (label->buddy())
                labels << label->text();
        QCOMPARE(labels, (QStringList{"Получено кредитов", "Направлено денежных \nсредств на оплату\nпроцентов",
                                      "Ставка налога на прибыль (в%)", "Цена",
                                      "Преременные издержки\nна единицу продукции",
                                      "Количество произведенной \nпродукции", "Суммарные постоянные издержки"}));
        const QStringList order = QStringList{"Edit1", "Edit2", "Edit3", "Edit4", "RadioButton1", "RadioButton2", "Edit5", "Edit6"}
                                  << editNames({7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20, 21})
                                  << "Button1" << "Button2";
        QCOMPARE(tabOrder(d.Edit(1), order.size()), order);
    }

    void unusedErrorWindow()
    {
        Wizard w;
        QCOMPARE(w.form14->Label1->text(), QStringLiteral("Ошибка! В баланс введены некорректные данные"));
        QCOMPARE(w.form14->Button1->text(), QStringLiteral("OK"));
        w.form14->show();
        click(w.form14->Button1);
        QVERIFY(!w.form14->isVisible());
        // No wizard step shows it.
        w.start();
        click(w.par->Button1);
        setText(w.form2.get(), "Edit15", "1");
        click(w.form2->Button1);
        QVERIFY(!w.form14->isVisible());
    }
};

int runWindowTests(int argc, char** argv)
{
    WindowTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_windows.moc"
