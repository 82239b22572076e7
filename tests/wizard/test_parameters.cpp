// Tpar: the parameters of the calculation.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "wizard_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

class ParametersTest : public QObject {
    Q_OBJECT
private slots:
    void creationSwitchesExpertAssessmentOnOnly()
    {
        AnalysisInput input = startupInput();
        Tpar par(input);
        QVERIFY(input.AnalysisParameters == (ParametersGroup{"", "", 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0}));
    }

    void firstOpeningAndNextGivesTheExampleParameters()
    {
        Wizard w;
        w.input.AnalysisParameters.AnalysisPending = 1.0;
        w.start();
        QCOMPARE(w.input.AnalysisParameters.AnalysisPending, 0.0);
        QCOMPARE(w.input.AnalysisParameters.YearCount, 2.0);
        click(w.par->Button1);
        QVERIFY(w.input.AnalysisParameters == workedExample().AnalysisParameters);
        QCOMPARE(w.input.AnalysisParameters.EnterpriseName, std::string("Фирма N       2004-2006 гг."));
        QCOMPARE(w.input.AnalysisParameters.UnitName, std::string("тыс. рублей"));
        QVERIFY(!w.par->isVisible());
        QVERIFY(w.form2->isVisible());
    }

    void activationKeepsOneYear_data()
    {
        QTest::addColumn<double>("before");
        QTest::addColumn<double>("after");
        QTest::newRow("unset") << 0.0 << 2.0;
        QTest::newRow("one") << 1.0 << 1.0;
        QTest::newRow("two") << 2.0 << 2.0;
        QTest::newRow("anything else") << 3.0 << 2.0;
    }
    void activationKeepsOneYear()
    {
        QFETCH(double, before);
        QFETCH(double, after);
        Wizard w;
        w.input.AnalysisParameters.YearCount = before;
        w.start();
        QCOMPARE(w.input.AnalysisParameters.YearCount, after);
    }

    void radioButtonsChangeTheYearsAtTheClick()
    {
        Wizard w;
        w.start();
        click(w.par->RadioButton2);
        QCOMPARE(w.input.AnalysisParameters.YearCount, 1.0);
        click(w.par->RadioButton1);
        QCOMPARE(w.input.AnalysisParameters.YearCount, 2.0);
        // The arrow keys select the other button as a click does.
        w.par->RadioButton1->setFocus();
        QTest::keyClick(w.par->RadioButton1, Qt::Key_Down);
        QVERIFY(w.par->RadioButton2->isChecked());
        QCOMPARE(w.input.AnalysisParameters.YearCount, 1.0);
    }

    // Every way of choosing sets the record as the window shows it: the
    // year count of Tpar and the product count of Tdopol.
    void choicesTakeEffectHoweverMade_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("second"); // the second radio button ends up selected
        QTest::newRow("one year, mouse") << "Tpar" << "mouse" << true;
        QTest::newRow("one year, arrow key") << "Tpar" << "arrow" << true;
        QTest::newRow("one year, Toggle action") << "Tpar" << "toggle" << true;
        QTest::newRow("two years again, Toggle action") << "Tpar" << "toggle back" << false;
        QTest::newRow("one product, mouse") << "Tdopol" << "mouse first" << false;
        QTest::newRow("one product, arrow key") << "Tdopol" << "arrow first" << false;
        QTest::newRow("one product, Toggle action") << "Tdopol" << "toggle first" << false;
        QTest::newRow("two products again, Toggle action") << "Tdopol" << "toggle first and back" << true;
    }
    void choicesTakeEffectHoweverMade()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, way);
        QFETCH(bool, second);
        Wizard w;
        const bool years = dialog == "Tpar";
        QRadioButton* first = years ? w.par->RadioButton1 : w.dopol->RadioButton1;
        QRadioButton* other = years ? w.par->RadioButton2 : w.dopol->RadioButton2;
        // In Tpar the first button is selected and the second is chosen; in
        // Tdopol the other way round.
        QRadioButton* chosen = years ? other : first;
        QRadioButton* previous = years ? first : other;
        if (years)
            w.start();
        else
            bringToFront(w.dopol.get());
        QTRY_VERIFY(w.window(dialog)->isActiveWindow());
        if (way.startsWith("mouse")) {
            click(chosen);
        } else if (way.startsWith("arrow")) {
            previous->setFocus();
            QTest::keyClick(previous, years ? Qt::Key_Down : Qt::Key_Left);
        } else {
            toggle(chosen);
            if (way.endsWith("back"))
                toggle(previous);
        }
        QCOMPARE(other->isChecked(), second);
        if (years) {
            QCOMPARE(w.input.AnalysisParameters.YearCount, second ? 1.0 : 2.0);
            click(w.par->Button1);
            QCOMPARE(w.input.AnalysisParameters.YearCount, second ? 1.0 : 2.0);
        } else {
            QCOMPARE(w.input.ProductCount, second ? 2.0 : 1.0);
            for (int number : {8, 10, 12, 16, 18, 20})
                QCOMPARE(w.dopol->Edit(number)->isHidden(), !second);
        }
    }

    void closingAfterChoosingOneYearKeepsIt()
    {
        Wizard w;
        w.start();
        click(w.par->RadioButton2);
        click(w.par->Button2); // "Закрыть"
        QVERIFY(!w.par->isVisible());
        QCOMPARE(w.input.AnalysisParameters.YearCount, 1.0);
        w.start();
        QVERIFY(w.par->RadioButton2->isChecked());
        QCOMPARE(w.input.AnalysisParameters.YearCount, 1.0);
    }

    void closeLeavesTheRestOfTheRecord()
    {
        Wizard w;
        w.start();
        w.par->Edit1->setText(QStringLiteral("Другая"));
        w.par->CheckBox2->setChecked(false);
        click(w.par->Button2);
        QCOMPARE(w.input.AnalysisParameters.EnterpriseName, std::string());
        QCOMPARE(w.input.AnalysisParameters.BusinessActivityOn, 0.0);
        QCOMPARE(w.input.AnalysisParameters.ExpertAssessmentOn, 1.0);
    }

    void untickedExpertAssessmentStaysOff()
    {
        Wizard w;
        w.start();
        w.par->CheckBox1->setChecked(false);
        click(w.par->Button1);
        QCOMPARE(w.input.AnalysisParameters.ExpertAssessmentOn, 0.0);
        closeByUser(w.form2.get());
        w.start();
        QCOMPARE(w.input.AnalysisParameters.ExpertAssessmentOn, 0.0);
        QVERIFY(!w.par->CheckBox1->isChecked());
        w.par->CheckBox1->setChecked(true);
        click(w.par->Button1);
        QCOMPARE(w.input.AnalysisParameters.ExpertAssessmentOn, 1.0);
    }

    void eachCheckBoxWritesItsSwitch_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("switchIndex"); // Expert, Business, Financial, Operating, WorkingCapital
        QTest::newRow("CheckBox1") << "CheckBox1" << 0;
        QTest::newRow("CheckBox2") << "CheckBox2" << 1;
        QTest::newRow("CheckBox3") << "CheckBox3" << 2;
        QTest::newRow("CheckBox4") << "CheckBox4" << 3;
        QTest::newRow("CheckBox5") << "CheckBox5" << 4;
    }
    void eachCheckBoxWritesItsSwitch()
    {
        QFETCH(QString, box);
        QFETCH(int, switchIndex);
        Wizard w;
        w.start();
        w.par->findChild<QCheckBox*>(box)->setChecked(false);
        click(w.par->Button1);
        const ParametersGroup& p = w.input.AnalysisParameters;
        const double switches[] = {p.ExpertAssessmentOn, p.BusinessActivityOn, p.FinancialLeverageOn,
                                   p.OperatingLeverageOn, p.WorkingCapitalNeedsOn};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(switches[i], i == switchIndex ? 0.0 : 1.0);
    }

    void unitIsFreeTextAndNameMayBeEmpty()
    {
        Wizard w;
        w.start();
        w.par->ComboBox1->setCurrentIndex(4);
        QCOMPARE(w.par->ComboBox1->currentText(), QStringLiteral("тыс.евро"));
        w.par->ComboBox1->setEditText(QStringLiteral("штук"));
        w.par->Edit1->clear();
        click(w.par->Button1);
        QCOMPARE(w.input.AnalysisParameters.UnitName, std::string("штук"));
        QCOMPARE(w.input.AnalysisParameters.EnterpriseName, std::string());
        QVERIFY(w.services.messages.empty());
    }

    void helpShowsTheHelpWindowAndStays()
    {
        Wizard w;
        w.start();
        click(w.par->Button3);
        QCOMPARE(w.calls, QStringList{"help"});
        QVERIFY(w.par->isVisible());
    }
};

int runParametersTests(int argc, char** argv)
{
    ParametersTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_parameters.moc"
