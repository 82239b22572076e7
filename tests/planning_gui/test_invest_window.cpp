// The investments dialog: the grid, the activation defaults, the arrows,
// seven lines per press, errors and the bounded IRR search.
#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "planning_fixture.h"
#include "planning_gui/planning_windows.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

const QStringList kDefaultBlock = {
    "",
    "Коэффициент ROI =0,2999",
    "Чистый дисконтированный доход (NPV) =652,5883",
    "Индекс рентабельности (PI) =1,0652",
    "Внутренняя норма доходности (IRR) =12,49%",
    "",
    "",
};

} // namespace

class InvestWindowTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeUiServices> ui_;
    std::unique_ptr<PlanningWindows> windows_;
    Tinvest* inv() { return windows_->invest(); }

    void open()
    {
        inv()->show();
        inv()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(inv()));
    }

    void press() { QTest::mouseClick(inv()->Button3, Qt::LeftButton); }

private slots:
    void init()
    {
        ui_ = std::make_unique<FakeUiServices>();
        windows_ = std::make_unique<PlanningWindows>();
        windows_->createAll();
        windows_->setRegionalSettings(commaSettings());
    }

    void cleanup()
    {
        windows_.reset();
        ui_.reset();
    }

    void gridHasHeadersAndDefaults()
    {
        open();
        plan_ui::ProfitGrid* g = inv()->StringGrid1;
        QCOMPARE(g->cell(0, 1), QString("Прибыль"));
        QCOMPARE(g->cell(1, 0), QString("1й год"));
        QCOMPARE(g->cell(10, 0), QString("10й год"));
        const QStringList profits = {"1000", "2000", "3000", "4000", "5000", "", "", "", "", ""};
        for (int year = 1; year <= 10; ++year)
            QCOMPARE(g->cell(year, 1), profits[year - 1]);
        QCOMPARE(g->columnWidth(0), 65);
        QCOMPARE(g->columnWidth(1), 64);
        QCOMPARE(g->verticalHeader()->width(), 64);
        QCOMPARE(inv()->Edit2->text(), QString("тыс. рублей"));
        QCOMPARE(inv()->size(), QSize(640, 422));
    }

    void defaultsGiveTheWorkedFigures()
    {
        open();
        press();
        QCOMPARE(inv()->RichEdit1->lines(), kDefaultBlock);
        QVERIFY(ui_->messages.isEmpty());
    }

    void twoPressesAppendTwoBlocks()
    {
        open();
        press();
        press();
        QCOMPARE(inv()->RichEdit1->lines(), kDefaultBlock + kDefaultBlock);
    }

    void rateTwentyAndSparseYears_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("profits");
        QTest::addColumn<QStringList>("figures");
        QTest::newRow("rate 20") << "20" << QStringList{"1000", "2000", "3000", "4000", "5000"}
                                 << QStringList{"Коэффициент ROI =0,2999",
                                                "Чистый дисконтированный доход (NPV) =-2103,2664",
                                                "Индекс рентабельности (PI) =0,7896",
                                                "Внутренняя норма доходности (IRR) =12,49%"};
        QTest::newRow("years 1, 3, 5, 10")
            << "10" << QStringList{"1000", "", "3000", "", "5000", "", "", "", "", "9000"}
            << QStringList{"Коэффициент ROI =0,45", "Чистый дисконтированный доход (NPV) =-262,4684",
                           "Индекс рентабельности (PI) =0,9737", "Внутренняя норма доходности (IRR) =9,49%"};
    }

    void rateTwentyAndSparseYears()
    {
        QFETCH(QString, rate);
        QFETCH(QStringList, profits);
        QFETCH(QStringList, figures);
        open();
        inv()->Edit3->setText(rate);
        for (int year = 1; year <= 10; ++year)
            inv()->StringGrid1->setCell(year, 1, year <= profits.size() ? profits[year - 1] : QString());
        press();
        QCOMPARE(inv()->RichEdit1->lines().mid(1, 4), figures);
    }

    void errorsShowTheMessageAndAppendNothing_data()
    {
        QTest::addColumn<QString>("investment");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<bool>("clearProfits");
        QTest::addColumn<QString>("message");
        QTest::newRow("all empty") << "10000" << "10" << true << "Invalid floating point operation.";
        QTest::newRow("investment 0") << "0" << "10" << false << "Floating point division by zero.";
        QTest::newRow("rate -100") << "10000" << "-100" << false << "Floating point division by zero.";
        QTest::newRow("rate text") << "10000" << "10.5" << false << "'10.5' is not a valid floating point value.";
    }

    void errorsShowTheMessageAndAppendNothing()
    {
        QFETCH(QString, investment);
        QFETCH(QString, rate);
        QFETCH(bool, clearProfits);
        QFETCH(QString, message);
        open();
        inv()->Edit1->setText(investment);
        inv()->Edit3->setText(rate);
        if (clearProfits)
            for (int year = 1; year <= 10; ++year)
                inv()->StringGrid1->setCell(year, 1, QString());
        press();
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].text, message);
        QVERIFY(inv()->RichEdit1->document()->isEmpty());
    }

    void activationRewritesYearsOneToFiveOnly()
    {
        open();
        for (int year = 1; year <= 10; ++year)
            inv()->StringGrid1->setCell(year, 1, "7");
        inv()->StringGrid1->setCell(3, 0, "x");
        inv()->Edit3->setText("33");
        inv()->UpDown1->setPosition(50);
        inv()->close();
        open();
        for (int year = 1; year <= 5; ++year)
            QCOMPARE(inv()->StringGrid1->cell(year, 1), QString::number(year * 1000));
        for (int year = 6; year <= 10; ++year)
            QCOMPARE(inv()->StringGrid1->cell(year, 1), QString("7"));
        QCOMPARE(inv()->StringGrid1->cell(3, 0), QString("3й год"));
        QCOMPARE(inv()->Edit3->text(), QString("33"));
        QCOMPARE(inv()->UpDown1->position(), 10);
    }

    // An error box or the help window coming back leaves the profits and
    // the arrows as the user set them.
    void interruptionsKeepWhatWasTyped_data()
    {
        QTest::addColumn<bool>("help");
        QTest::addColumn<QString>("year3");
        QTest::newRow("typo in a profit cell") << false << "3o00";
        QTest::newRow("help window") << true << "3300";
    }
    void interruptionsKeepWhatWasTyped()
    {
        QFETCH(bool, help);
        QFETCH(QString, year3);
        QWidget helpWindow;
        helpWindow.setWindowTitle("Справка");
        windows_->setHelpHandlers({}, [&helpWindow] {
            helpWindow.show();
            helpWindow.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &helpWindow);
            helpWindow.hide();
        });
        ui_->showBoxes = true;
        open();
        const QStringList typed = {"1100", "2200", year3, "4400", "5500"};
        for (int year = 1; year <= 5; ++year)
            inv()->StringGrid1->setCell(year, 1, typed[year - 1]);
        inv()->Edit3->setFocus();
        QTest::keyClick(inv()->Edit3, Qt::Key_Up);
        QTest::keyClick(inv()->Edit3, Qt::Key_Up);
        QCOMPARE(inv()->Edit3->text(), QString("12"));
        QTest::mouseClick(help ? inv()->Button2 : inv()->Button3, Qt::LeftButton);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(inv()));
        QCOMPARE(ui_->messages.size(), help ? 0 : 1);
        for (int year = 1; year <= 5; ++year)
            QCOMPARE(inv()->StringGrid1->cell(year, 1), typed[year - 1]);
        QCOMPARE(inv()->UpDown1->position(), 12);
        QCOMPARE(inv()->Edit3->text(), QString("12"));
        // The next opening from the menu puts the defaults back.
        inv()->close();
        open();
        QCOMPARE(inv()->StringGrid1->cell(3, 1), QString("3000"));
        QCOMPARE(inv()->UpDown1->position(), 10);
    }

    void arrowsSetTheRateToTheirPosition()
    {
        open();
        inv()->Edit3->setText("15");
        QTest::mouseClick(inv()->UpDown1->upButton(), Qt::LeftButton);
        QCOMPARE(inv()->Edit3->text(), QString("11"));
        QCOMPARE(inv()->UpDown1->position(), 11);
        QTest::mouseClick(inv()->UpDown1->downButton(), Qt::LeftButton);
        QTest::mouseClick(inv()->UpDown1->downButton(), Qt::LeftButton);
        QCOMPARE(inv()->Edit3->text(), QString("9"));
        // The arrow keys in the field press the arrows.
        QTest::keyClick(inv()->Edit3, Qt::Key_Up);
        QCOMPARE(inv()->Edit3->text(), QString("10"));
    }

    void arrowsAtTheEndsOfTheRangeDoNothing()
    {
        open();
        inv()->UpDown1->setPosition(0);
        inv()->Edit3->setText("5");
        QTest::mouseClick(inv()->UpDown1->downButton(), Qt::LeftButton);
        QCOMPARE(inv()->Edit3->text(), QString("5"));
        inv()->UpDown1->setPosition(10000);
        QTest::mouseClick(inv()->UpDown1->upButton(), Qt::LeftButton);
        QCOMPARE(inv()->Edit3->text(), QString("5"));
        QCOMPARE(inv()->UpDown1->position(), 10000);
    }

    void arrowWithARateThatIsNoNumber()
    {
        open();
        inv()->Edit3->setText("abc");
        QTest::mouseClick(inv()->UpDown1->upButton(), Qt::LeftButton);
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].text, QString("'abc' is not a valid floating point value."));
        QCOMPARE(inv()->Edit3->text(), QString("abc"));
        QCOMPARE(inv()->UpDown1->position(), 10);
    }

    void hostileInputsEndWithTheIrrLine_data()
    {
        QTest::addColumn<QString>("investment");
        QTest::addColumn<QString>("profit");
        QTest::addColumn<QString>("irrLine");
        QTest::newRow("negative investment")
            << "-10000" << "1000"
            << "Внутренняя норма доходности (IRR) =не найдена: NPV положителен при всех ставках до 1000%";
        QTest::newRow("enormous profits")
            << "1" << "1E300"
            << "Внутренняя норма доходности (IRR) =не найдена: NPV положителен при всех ставках до 1000%";
        QTest::newRow("losses only")
            << "10000" << "-1000"
            << "Внутренняя норма доходности (IRR) =не найдена: NPV не положителен при всех ставках от -99% до 1%";
    }

    void hostileInputsEndWithTheIrrLine()
    {
        QFETCH(QString, investment);
        QFETCH(QString, profit);
        QFETCH(QString, irrLine);
        open();
        inv()->Edit1->setText(investment);
        for (int year = 1; year <= 10; ++year)
            inv()->StringGrid1->setCell(year, 1, profit);
        press();
        QVERIFY(ui_->messages.isEmpty());
        QCOMPARE(inv()->RichEdit1->lines().value(4), irrLine);
    }

    void gridIsEditableFromTheKeyboard()
    {
        open();
        plan_ui::ProfitGrid* g = inv()->StringGrid1;
        g->setFocus();
        g->setCurrentCell(0, 5); // year 6
        QTest::keyClicks(QApplication::focusWidget(), "6000");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(g->cell(6, 1), QString("6000"));
        QCOMPARE(g->currentColumn(), 6);
        QTest::keyClicks(QApplication::focusWidget(), "7000");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(g->cell(7, 1), QString("7000"));

        // Tab after the last year leaves the grid for the next control.
        g->setCurrentCell(0, 9);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(inv()->Button3));

        // A typed value still in its editor counts when the button is pressed.
        g->setFocus();
        g->setCurrentCell(0, 0);
        QTest::keyClicks(QApplication::focusWidget(), "2");
        inv()->Button3Click();
        QCOMPARE(g->cell(1, 1), QString("2"));
    }

    void cellsTellTheirYear()
    {
        open();
        plan_ui::ProfitGrid* g = inv()->StringGrid1;
        QCOMPARE(g->item(0, 2)->data(Qt::AccessibleTextRole).toString(), QString("Прибыль, 3й год: 3000"));
        QCOMPARE(g->item(0, 7)->data(Qt::AccessibleTextRole).toString(), QString("Прибыль, 8й год: пусто"));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(g);
        QVERIFY(table && table->tableInterface());
        QAccessibleInterface* cell = table->tableInterface()->cellAt(0, 2);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), QString("Прибыль, 3й год: 3000"));
        for (QWidget* child : inv()->findChildren<QWidget*>())
            if (qobject_cast<QLineEdit*>(child) || qobject_cast<QTextEdit*>(child) ||
                qobject_cast<QToolButton*>(child) || qobject_cast<QTableWidget*>(child))
                QVERIFY2(!child->accessibleName().isEmpty(), qPrintable(child->objectName()));
    }
};

int runInvestWindowTests(int argc, char** argv)
{
    InvestWindowTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_invest_window.moc"
