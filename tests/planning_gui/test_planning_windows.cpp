// The entry the main window uses: the windows created once, the menu
// commands and the help handlers.
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "planning_fixture.h"
#include "planning_gui/planning_windows.h"

using namespace kalvanta;
using namespace kalvanta::test;

class PlanningWindowsTests : public QObject {
    Q_OBJECT

private:
    // Closes the modal dialog once it is up, from inside its own loop.
    static void closeWhenShown(QWidget* dialog, bool* seenActive)
    {
        QTimer::singleShot(0, dialog, [dialog, seenActive] {
            if (!dialog->isVisible()) {
                closeWhenShown(dialog, seenActive);
                return;
            }
            *seenActive = dialog->isModal();
            dialog->close();
        });
    }

private slots:
    void windowsAreCreatedOnceAndKept()
    {
        PlanningWindows w;
        w.createAll();
        Tplan* plan = w.plan();
        Trez* rez = w.rez();
        w.createAll();
        QCOMPARE(w.plan(), plan);
        QCOMPARE(w.rez(), rez);
        plan->Edit1->setText("42");
        w.openProduction();
        plan->close();
        w.openProduction();
        QCOMPARE(w.plan()->Edit1->text(), QString("42"));
    }

    void productionOpensWithoutWaiting()
    {
        FakeUiServices ui;
        PlanningWindows w;
        w.createAll();
        w.setRegionalSettings(commaSettings());
        w.openProduction();
        QVERIFY(w.plan()->isVisible());
        QVERIFY(!w.plan()->isModal());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w.plan()));
        QTest::mouseClick(w.plan()->Button1, Qt::LeftButton);
        QVERIFY(w.rez()->isVisible());
        QCOMPARE(w.rez()->RichEdit1->lines().value(13),
                 QString("Порог рентабельности (минимальный объем продаж)18751,17"));
    }

    void creditsAndInvestmentsOpenModally()
    {
        PlanningWindows w;
        w.createAll();
        bool modal = false;
        closeWhenShown(w.kred(), &modal);
        w.openCredits();
        QVERIFY(modal);
        QVERIFY(!w.kred()->isVisible());
        modal = false;
        closeWhenShown(w.invest(), &modal);
        w.openInvestments();
        QVERIFY(modal);
        QVERIFY(!w.invest()->isVisible());
    }

    void helpHandlersReachEveryHelpButton()
    {
        PlanningWindows w;
        w.createAll();
        int modeless = 0;
        int modal = 0;
        w.setHelpHandlers([&modeless] { ++modeless; }, [&modal] { ++modal; });
        QTest::mouseClick(w.plan()->Button2, Qt::LeftButton);
        QTest::mouseClick(w.rez()->BitBtn3, Qt::LeftButton);
        QTest::mouseClick(w.kred()->Button1, Qt::LeftButton);
        QTest::mouseClick(w.invest()->Button2, Qt::LeftButton);
        QCOMPARE(modeless, 2);
        QCOMPARE(modal, 2);

        // Without a modal handler the dialogs use the other one.
        w.setHelpHandlers([&modeless] { ++modeless; });
        QTest::mouseClick(w.kred()->Button1, Qt::LeftButton);
        QCOMPARE(modeless, 3);
    }

    void windowsLiveWithTheMainWindow()
    {
        auto mainWindow = std::make_unique<QWidget>();
        {
            PlanningWindows w(mainWindow.get());
            w.createAll();
            QCOMPARE(w.plan()->parentWidget(), mainWindow.get());
            QVERIFY(w.plan()->isWindow());
            QVERIFY(w.kred()->isWindow());
        }
        QCOMPARE(mainWindow->findChildren<QWidget*>().size(), 0);

        PlanningWindows w(mainWindow.get());
        w.createAll();
        QCOMPARE(mainWindow->findChildren<Tinvest*>().size(), 1);
        mainWindow.reset(); // takes the windows with it; w must not delete them again
    }

    void captions()
    {
        PlanningWindows w;
        QCOMPARE(w.plan()->windowTitle(), QString("Планирование хозяйственной деятельности"));
        QCOMPARE(w.rez()->windowTitle(), QString("Расчет плановых показателй"));
        QCOMPARE(w.kred()->windowTitle(), QString("Кредиты и займы"));
        QCOMPARE(w.invest()->windowTitle(), QString("Инвестиции"));
        QCOMPARE(w.rez()->size(), QSize(437, 283));
        QCOMPARE(w.rez()->RichEdit1->size(), QSize(417, 241));
    }
};

int runPlanningWindowsTests(int argc, char** argv)
{
    PlanningWindowsTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_planning_windows.moc"
