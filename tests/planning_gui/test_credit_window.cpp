// The credits and loans dialog: one memo line per press, the activation
// reset, errors through the error display.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

#include "planning_fixture.h"
#include "planning_gui/planning_windows.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {
QStringList memoLines(const Tkred& k) { return k.Memo1->toPlainText().split('\n'); }
} // namespace

class CreditWindowTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeUiServices> ui_;
    std::unique_ptr<PlanningWindows> windows_;
    Tkred* kred() { return windows_->kred(); }

    // Shown without a modal loop: the test drives it like a user.
    void open()
    {
        kred()->show();
        kred()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(kred()));
    }

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

    // The whole table of worked figures is checked on the computation; these
    // rows check that the dialog passes direction, kind and fields on.
    void pressAppendsTheSum_data()
    {
        QTest::addColumn<bool>("initial");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("accruals");
        QTest::addColumn<QString>("line");
        QTest::newRow("final, simple") << false << 0 << "365" << "2" << "Итоговая сумма  110";
        QTest::newRow("initial, compound") << true << 1 << "365" << "2" << "Первоначальная сумма  181,4";
        QTest::newRow("term 90, monthly") << false << 1 << "90" << "12" << "Итоговая сумма  101,67";
    }

    void pressAppendsTheSum()
    {
        QFETCH(bool, initial);
        QFETCH(int, kind);
        QFETCH(QString, term);
        QFETCH(QString, accruals);
        QFETCH(QString, line);
        open();
        if (initial)
            QTest::mouseClick(kred()->RadioButton2, Qt::LeftButton);
        kred()->ComboBox1->setCurrentIndex(kind);
        kred()->Edit2->setText(term);
        kred()->Edit5->setText(accruals);
        QTest::mouseClick(kred()->Button3, Qt::LeftButton);
        QCOMPARE(memoLines(*kred()), (QStringList{"", line}));
        QVERIFY(ui_->messages.isEmpty());
    }

    void pressesAccumulate()
    {
        open();
        QTest::mouseClick(kred()->Button3, Qt::LeftButton);
        kred()->ComboBox1->setCurrentIndex(1);
        QTest::mouseClick(kred()->Button3, Qt::LeftButton);
        QCOMPARE(memoLines(*kred()), (QStringList{"", "Итоговая сумма  110", "Итоговая сумма  110,25"}));
    }

    void radioButtonsSwitchTheSumFields()
    {
        open();
        QVERIFY(kred()->Edit3->isEnabled());
        QVERIFY(!kred()->Edit4->isEnabled());
        QTest::mouseClick(kred()->RadioButton2, Qt::LeftButton);
        QVERIFY(!kred()->Edit3->isEnabled());
        QVERIFY(kred()->Edit4->isEnabled());
        QVERIFY(kred()->Edit5->isEnabled());
        QTest::mouseClick(kred()->RadioButton1, Qt::LeftButton);
        QVERIFY(kred()->Edit3->isEnabled());
        QVERIFY(!kred()->Edit4->isEnabled());
        QCOMPARE(kred()->ComboBox1->count(), 2);
        QVERIFY(!kred()->ComboBox1->isEditable());
    }

    // The direction takes effect however it is chosen.
    void directionFollowsEveryWayOfChoosing_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("initialSum");
        QTest::newRow("mouse") << "mouse" << true;
        QTest::newRow("keyboard arrow") << "arrow" << true;
        QTest::newRow("Toggle action") << "toggle" << true;
        QTest::newRow("Toggle action and back") << "toggle back" << false;
    }
    void directionFollowsEveryWayOfChoosing()
    {
        QFETCH(QString, way);
        QFETCH(bool, initialSum);
        open();
        QRadioButton* second = kred()->RadioButton2;
        if (way == "mouse") {
            QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(8, second->height() / 2));
        } else if (way == "arrow") {
            kred()->RadioButton1->setFocus();
            QTest::keyClick(kred()->RadioButton1, Qt::Key_Down);
        } else {
            toggle(second);
            if (way == "toggle back")
                toggle(kred()->RadioButton1);
        }
        QCOMPARE(second->isChecked(), initialSum);
        QCOMPARE(kred()->Edit3->isEnabled(), !initialSum);
        QCOMPARE(kred()->Edit4->isEnabled(), initialSum);
        QTest::mouseClick(kred()->Button3, Qt::LeftButton);
        QCOMPARE(memoLines(*kred()).last(),
                 initialSum ? QString("Первоначальная сумма  181,81") : QString("Итоговая сумма  110"));
    }

    void activationResetsKindAndFields()
    {
        open();
        QTest::mouseClick(kred()->RadioButton2, Qt::LeftButton);
        kred()->ComboBox1->setCurrentIndex(1);
        kred()->Edit1->setText("12");
        kred()->close();
        open();
        QCOMPARE(kred()->ComboBox1->currentIndex(), 0);
        QVERIFY(kred()->Edit3->isEnabled());
        QVERIFY(!kred()->Edit4->isEnabled());
        QVERIFY(kred()->RadioButton2->isChecked());
        QCOMPARE(kred()->Edit1->text(), QString("12"));
        // The disabled field is still the input of its direction.
        QTest::mouseClick(kred()->Button3, Qt::LeftButton);
        QCOMPARE(memoLines(*kred()).last(), QString("Первоначальная сумма  178,57"));
    }

    // An error box or the help window coming back leaves the kind of
    // interest and the fields of the chosen direction as the user set them.
    void interruptionsKeepWhatWasChosen_data()
    {
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("initialSum");
        QTest::newRow("error box, final sum") << false << false;
        QTest::newRow("error box, initial sum") << false << true;
        QTest::newRow("help window, final sum") << true << false;
        QTest::newRow("help window, initial sum") << true << true;
    }
    void interruptionsKeepWhatWasChosen()
    {
        QFETCH(bool, help);
        QFETCH(bool, initialSum);
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
        if (initialSum)
            QTest::mouseClick(kred()->RadioButton2, Qt::LeftButton, {}, QPoint(8, kred()->RadioButton2->height() / 2));
        kred()->ComboBox1->setCurrentIndex(1);
        kred()->Edit5->setText("0"); // no accruals: a division by zero
        QTest::mouseClick(help ? kred()->Button1 : kred()->Button3, Qt::LeftButton);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(kred()));
        QCOMPARE(ui_->messages.size(), help ? 0 : 1);
        QCOMPARE(kred()->ComboBox1->currentIndex(), 1);
        QCOMPARE(kred()->RadioButton2->isChecked(), initialSum);
        QCOMPARE(kred()->Edit3->isEnabled(), !initialSum);
        QCOMPARE(kred()->Edit4->isEnabled(), initialSum);
        QCOMPARE(kred()->Edit5->text(), QString("0"));
        // The next opening from the menu resets as before.
        kred()->close();
        open();
        QCOMPARE(kred()->ComboBox1->currentIndex(), 0);
    }

    void errorsAppendNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("accruals");
        QTest::addColumn<QString>("message");
        QTest::newRow("no accruals") << 1 << "10" << "0" << "Floating point division by zero.";
        QTest::newRow("no accruals, no rate") << 1 << "0" << "0" << "Invalid floating point operation.";
        QTest::newRow("growth negative") << 1 << "-300" << "2" << "Invalid floating point operation.";
        QTest::newRow("empty rate") << 0 << "" << "2" << "'' is not a valid floating point value.";
    }

    void errorsAppendNothing()
    {
        QFETCH(int, kind);
        QFETCH(QString, rate);
        QFETCH(QString, accruals);
        QFETCH(QString, message);
        open();
        kred()->ComboBox1->setCurrentIndex(kind);
        kred()->Edit1->setText(rate);
        kred()->Edit5->setText(accruals);
        QTest::mouseClick(kred()->Button3, Qt::LeftButton);
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].text, message);
        QCOMPARE(memoLines(*kred()), QStringList{""});
    }

    void fieldsHaveAccessibleNames()
    {
        for (QWidget* child : kred()->findChildren<QWidget*>())
            if (qobject_cast<QLineEdit*>(child) || qobject_cast<QPlainTextEdit*>(child) ||
                qobject_cast<QComboBox*>(child))
                QVERIFY2(!child->accessibleName().isEmpty(), qPrintable(child->objectName()));
        QCOMPARE(kred()->Button1->text(), QString("Cправка"));
    }
};

int runCreditWindowTests(int argc, char** argv)
{
    CreditWindowTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_credit_window.moc"
