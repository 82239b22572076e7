// The production plan windows: field visibility, the hand-over from the
// plan dialog to the results window, appending, printing, errors.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "numeric/float_errors.h"
#include "planning_fixture.h"
#include "planning_gui/planning_windows.h"
#include "support/profit_plan_lines.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

const QStringList kCode11Report = [] {
    QStringList lines;
    for (const char* line : kProfitPlanWithProductC)
        lines << QString::fromUtf8(line);
    return lines;
}();

QList<int> hiddenEdits(const Tplan& plan)
{
    QList<int> hidden;
    for (int i = 1; i <= 14; ++i)
        if (plan.edit(i)->isHidden())
            hidden << i;
    return hidden;
}

} // namespace

class PlanWindowTests : public QObject, private PlanningWindowsFixture {
    Q_OBJECT

private:
    int helpShown_ = 0;

    Tplan* plan() { return windows_->plan(); }
    Trez* rez() { return windows_->rez(); }

    void openPlan()
    {
        windows_->openProduction();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(plan()));
    }

    void act(const QString& action)
    {
        if (action == "volume")
            QTest::mouseClick(plan()->RadioButton2, Qt::LeftButton);
        else if (action == "profit")
            QTest::mouseClick(plan()->RadioButton1, Qt::LeftButton);
        else if (action == "untick" || action == "tick")
            QTest::mouseClick(plan()->CheckBox1, Qt::LeftButton);
        // The Toggle action of a screen reader or voice control.
        else if (action == "volume by toggle")
            toggle(plan()->RadioButton2);
        else if (action == "profit by toggle")
            toggle(plan()->RadioButton1);
        else if (action == "untick by toggle" || action == "tick by toggle")
            toggle(plan()->CheckBox1);
        else if (action == "volume by keyboard") {
            plan()->RadioButton1->setFocus();
            QTest::keyClick(plan()->RadioButton1, Qt::Key_Right);
        } else if (action == "untick by keyboard") {
            plan()->CheckBox1->setFocus();
            QTest::keyClick(plan()->CheckBox1, Qt::Key_Space);
        }
        else if (action == "reactivate") {
            showActive(rez());
            plan()->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(plan()));
        }
    }

private slots:
    void init()
    {
        createWindows();
        helpShown_ = 0;
        windows_->setHelpHandlers([this] { ++helpShown_; });
    }

    void cleanup() { destroyWindows(); }

    void visibilityFollowsGoalAndTick_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QList<int>>("hidden");
        QTest::newRow("opened") << QStringList{} << QList<int>{11, 12, 13, 14};
        QTest::newRow("volume") << QStringList{"volume"} << QList<int>{4, 5, 6};
        QTest::newRow("profit without C") << QStringList{"untick"} << QList<int>{3, 6, 9, 11, 12, 13, 14};
        QTest::newRow("volume without C") << QStringList{"volume", "untick"} << QList<int>{3, 4, 5, 6, 9, 14};
        QTest::newRow("untick then volume") << QStringList{"untick", "volume"} << QList<int>{3, 4, 5, 6, 9, 14};
        QTest::newRow("tick again, profit") << QStringList{"untick", "tick"} << QList<int>{11, 12, 13, 14};
        QTest::newRow("tick again, volume") << QStringList{"volume", "untick", "tick"} << QList<int>{4, 5, 6};
        QTest::newRow("back to profit without C")
            << QStringList{"untick", "volume", "profit"} << QList<int>{3, 6, 9, 11, 12, 13, 14};
        QTest::newRow("back to profit, tick")
            << QStringList{"volume", "untick", "profit", "tick"} << QList<int>{11, 12, 13, 14};
        QTest::newRow("activation keeps volume") << QStringList{"volume", "reactivate"} << QList<int>{4, 5, 6};
        QTest::newRow("volume by toggle") << QStringList{"volume by toggle"} << QList<int>{4, 5, 6};
        QTest::newRow("volume by keyboard") << QStringList{"volume by keyboard"} << QList<int>{4, 5, 6};
        QTest::newRow("back to profit by toggle")
            << QStringList{"volume by toggle", "profit by toggle"} << QList<int>{11, 12, 13, 14};
        QTest::newRow("untick by toggle") << QStringList{"untick by toggle"} << QList<int>{3, 6, 9, 11, 12, 13, 14};
        QTest::newRow("untick by keyboard")
            << QStringList{"untick by keyboard"} << QList<int>{3, 6, 9, 11, 12, 13, 14};
        QTest::newRow("volume, untick and tick by toggle")
            << QStringList{"volume by toggle", "untick by toggle", "tick by toggle"} << QList<int>{4, 5, 6};
        QTest::newRow("activation keeps no C")
            << QStringList{"untick", "reactivate"} << QList<int>{3, 6, 9, 11, 12, 13, 14};
    }

    void visibilityFollowsGoalAndTick()
    {
        QFETCH(QStringList, actions);
        QFETCH(QList<int>, hidden);
        openPlan();
        for (const QString& a : actions)
            act(a);
        QCOMPARE(hiddenEdits(*plan()), hidden);
        // Activation changes neither the goal, nor the tick, nor a text.
        QCOMPARE(plan()->Edit1->text(), QString("10"));
    }

    void planIsWrittenOncePerRequest()
    {
        openPlan();
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        QVERIFY(rez()->isVisible());
        QCOMPARE(rez()->RichEdit1->lines(), kCode11Report);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(rez()));

        // Going back and forth writes nothing more.
        plan()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(plan()));
        rez()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(rez()));
        rez()->FormActivate();
        QCOMPARE(rez()->RichEdit1->lines(), kCode11Report);
        QCOMPARE(plan()->request().PlanRequested, 0.0);
        QVERIFY(ui_->messages.isEmpty());
    }

    void secondPlanIsAppendedBelowTheFirst()
    {
        openPlan();
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        plan()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(plan()));
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        QCOMPARE(rez()->RichEdit1->lines(), kCode11Report + kCode11Report);
    }

    void volumeGoalWithoutCWritesWorkingLines()
    {
        openPlan();
        act("volume");
        act("untick");
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        QCOMPARE(rez()->RichEdit1->lines(),
                 (QStringList{" vr30", " perem15", "Kalvanta ", " ", "Требуемая прибыль 10000",
                              "Количество товара А 1333", "Количество товара В 1333"}));
    }

    void closeEmptiesTheViewAndTheFrameKeepsIt()
    {
        openPlan();
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        rez()->close(); // the frame's close box
        QVERIFY(!rez()->isVisible());
        QCOMPARE(rez()->RichEdit1->lines().size(), kCode11Report.size());

        rez()->show();
        rez()->RichEdit1->document()->setModified(true);
        QTest::mouseClick(rez()->BitBtn2, Qt::LeftButton);
        QVERIFY(!rez()->isVisible());
        QVERIFY(rez()->RichEdit1->document()->isEmpty());
        QVERIFY(!rez()->RichEdit1->document()->isModified());

        plan()->activateWindow();
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        QCOMPARE(rez()->RichEdit1->lines(), kCode11Report);
    }

    void conversionErrorStopsAtTheFieldAndShowsNoResults()
    {
        openPlan();
        plan()->Edit7->setText("5.5");
        plan()->Edit1->setText("11");
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].icon, UiServices::Icon::Stop);
        QCOMPARE(ui_->messages[0].title, QString("Kalvanta 4.5 SP1"));
        QCOMPARE(ui_->messages[0].text, QString("'5.5' is not a valid floating point value."));
        QVERIFY(!rez()->isVisible());
        QCOMPARE(plan()->request().Price[ProductA], 11.0);
        QCOMPARE(plan()->request().PlanRequested, 0.0);
        // Called from code the handler raises; the button shows the box.
        QVERIFY_THROWS_EXCEPTION(ConversionError, plan()->Button1Click());
        QCOMPARE(ui_->messages.size(), 1);
    }

    void zeroShareShowsTheErrorAndWritesNothing_data()
    {
        QTest::addColumn<QString>("shareA");
        QTest::addColumn<QString>("shareB");
        QTest::addColumn<QString>("shareC");
        QTest::addColumn<QString>("message");
        QTest::newRow("one share 0") << "0" << "25" << "50" << "Floating point division by zero.";
        QTest::newRow("all shares 0") << "0" << "0" << "0" << "Invalid floating point operation.";
    }

    void zeroShareShowsTheErrorAndWritesNothing()
    {
        QFETCH(QString, shareA);
        QFETCH(QString, shareB);
        QFETCH(QString, shareC);
        QFETCH(QString, message);
        openPlan();
        act("volume");
        plan()->Edit12->setText(shareA);
        plan()->Edit13->setText(shareB);
        plan()->Edit14->setText(shareC);
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].text, message);
        QVERIFY(rez()->RichEdit1->document()->isEmpty());
        // Not retried on the next activation.
        plan()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(plan()));
        rez()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(rez()));
        QCOMPARE(ui_->messages.size(), 1);
    }

    void printsTheViewUnderItsCaption()
    {
        openPlan();
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);

        // Cancelled: nothing printed.
        QTest::mouseClick(rez()->BitBtn1, Qt::LeftButton);
        QCOMPARE(ui_->printJobTitles, QStringList{"Расчет плановых показателй"});

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ui_->printToFile = dir.filePath("plan.pdf");
        QTest::mouseClick(rez()->BitBtn1, Qt::LeftButton);
        QFile pdf(ui_->printToFile);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(ui_->messages.isEmpty());
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (!pdftotext.isEmpty()) {
            QProcess p;
            p.start(pdftotext, {ui_->printToFile, "-"});
            QVERIFY(p.waitForFinished(20000));
            const QString text = QString::fromUtf8(p.readAllStandardOutput());
            QVERIFY2(text.contains("Порог рентабельности (минимальный объем продаж)18751,17"), qPrintable(text));
        }
    }

    void savesTheViewAsPdfBesideItsPrinting()
    {
        openPlan();
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());

        // Cancelled: nothing written.
        QTest::mouseClick(rez()->BitBtn4, Qt::LeftButton);
        QCOMPARE(ui_->saveFilters, QStringList{"Документ PDF (*.pdf)"});
        QVERIFY(QDir(dir.path()).isEmpty());

        ui_->saveAnswers = {dir.filePath("план")};
        QTest::mouseClick(rez()->BitBtn4, Qt::LeftButton);
        QVERIFY(ui_->messages.isEmpty());
        const QString pdf = dir.filePath("план.pdf");
        QVERIFY(QFileInfo::exists(pdf));
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QProcess p;
        p.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(p.waitForFinished(20000));
        QStringList seen;
        for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
            if (!line.simplified().isEmpty())
                seen << line.simplified();
        QStringList expected;
        for (const QString& line : rez()->RichEdit1->lines())
            if (!line.simplified().isEmpty())
                expected << line.simplified();
        expected << "Страница 1 из 1";
        QCOMPARE(seen, expected);
    }

    void helpButtonsCallTheHelpWindow()
    {
        openPlan();
        QTest::mouseClick(plan()->Button2, Qt::LeftButton);
        QTest::mouseClick(rez()->BitBtn3, Qt::LeftButton);
        QCOMPARE(helpShown_, 2);
    }

    void closeKeepsTheRequest()
    {
        openPlan();
        QTest::mouseClick(plan()->Button1, Qt::LeftButton);
        QTest::mouseClick(plan()->Button3, Qt::LeftButton);
        QVERIFY(!plan()->isVisible());
        QCOMPARE(plan()->request().FixedCosts, 10000.0);
        QCOMPARE(plan()->request().PlanGoal, 11.0);
    }

    void fieldsAndViewsHaveAccessibleNames()
    {
        for (QWidget* w : {static_cast<QWidget*>(plan()), static_cast<QWidget*>(rez())}) {
            for (QWidget* child : w->findChildren<QWidget*>()) {
                if (qobject_cast<QLineEdit*>(child) || qobject_cast<QTextEdit*>(child) ||
                    qobject_cast<QCheckBox*>(child))
                    QVERIFY2(!child->accessibleName().isEmpty(), qPrintable(child->objectName()));
            }
        }
        QCOMPARE(plan()->Edit6->accessibleName(), QString("Количество товаров (услуг), товар С"));
    }
};

int runPlanWindowTests(int argc, char** argv)
{
    PlanWindowTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_plan_windows.moc"
