// The whole road of an analysis through the wizard, as a user clicks it.
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "wizard_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

AnalysisInput exampleWithoutPending(AnalysisInput in)
{
    in.AnalysisParameters.AnalysisPending = 0.0;
    return in;
}

// Confirms each dialog unchanged, from "Новый..." to the progress window.
void confirmAll(Wizard& w)
{
    w.start();
    click(w.par->Button1);
    if (w.input.AnalysisParameters.YearCount == 2.0) {
        click(w.form2->Button1);
        click(w.form3->Button1);
        click(w.doubl->Button1);
        click(w.dabl->Button1);
    } else {
        click(w.form2->Button1);
        click(w.form3->Button1);
    }
    click(w.form6->Button1);
    if (w.dopol->isVisible())
        click(w.dopol->Button1);
}

// Through the two-year wizard with the two leverage switches as given, up
// to the confirmed profit and loss dialog.
void confirmWithLeverage(Wizard& w, bool financial, bool operating)
{
    w.start();
    w.par->CheckBox3->setChecked(financial);
    w.par->CheckBox4->setChecked(operating);
    confirmUpToProfitLoss(w);
    click(w.form6->Button1);
}

} // namespace

class RoadTest : public QObject {
    Q_OBJECT
private slots:
    void twoYearsUnchangedGivesTheWorkedExample()
    {
        Wizard w;
        w.start();
        QCOMPARE(w.visible(), QStringList{"Tpar"});
        click(w.par->Button1);
        QCOMPARE(w.visible(), QStringList{"TForm2"});
        click(w.form2->Button1);
        QCOMPARE(w.visible(), QStringList{"TForm3"});
        click(w.form3->Button1);
        QCOMPARE(w.visible(), QStringList{"Tdoubl"});
        click(w.doubl->Button1);
        QCOMPARE(w.visible(), QStringList{"Tdabl"});
        click(w.dabl->Button1);
        QCOMPARE(w.visible(), QStringList{"Tform6"});
        QVERIFY(w.calls.isEmpty());
        click(w.form6->Button1);
        QCOMPARE(w.visible(), QStringList{"Tdopol"});
        QCOMPARE(w.calls, QStringList{"unsaved"});
        QTRY_VERIFY(w.dopol->isActiveWindow());
        click(w.dopol->Button1);
        QCOMPARE(w.visible(), QStringList{});
        QCOMPARE(w.calls, (QStringList{"unsaved", "unsaved", "progress"}));
        QVERIFY(w.services.messages.empty());
        QVERIFY(w.input == exampleWithoutPending(workedExample()));
        QCOMPARE(w.input.AnalysisParameters.AnalysisPending, 0.0);
    }

    void oneYearSkipsTheYearTwoDialogs()
    {
        Wizard w;
        w.start();
        click(w.par->RadioButton2);
        confirmUpToProfitLoss(w, true);
        QCOMPARE(w.visible(), QStringList{"Tform6"});
        click(w.form6->Button1);
        click(w.dopol->Button1);
        QCOMPARE(w.calls, (QStringList{"unsaved", "unsaved", "progress"}));

        AnalysisInput expected = exampleWithoutPending(workedExample());
        expected.AnalysisParameters.YearCount = 1.0;
        expected.Y2Start = BalanceSheet{}; // never written in a one-year analysis
        expected.Y2End = BalanceSheet{};
        QVERIFY(w.input == expected);
    }

    void withoutLeverageTheProfitAndLossDialogEndsTheWizard()
    {
        Wizard w;
        confirmWithLeverage(w, false, false);
        QCOMPARE(w.visible(), QStringList{});
        QCOMPARE(w.calls, (QStringList{"unsaved", "progress"}));
        QVERIFY(!w.dopol->isVisible());
        QCOMPARE(w.input.AnalysisParameters.FinancialLeverageOn, 0.0);
        QCOMPARE(w.input.AnalysisParameters.OperatingLeverageOn, 0.0);
        QCOMPARE(w.input.ProfitLoss[2].FinancialEconomicProfit, 1333.0);
        // The additional data were never written.
        QVERIFY(w.input.AdditionalData[1] == AdditionalDataYear{});
    }

    void eitherLeverageSwitchLeadsToTheAdditionalData_data()
    {
        QTest::addColumn<bool>("financial");
        QTest::addColumn<bool>("operating");
        QTest::newRow("financial only") << true << false;
        QTest::newRow("operating only") << false << true;
    }
    void eitherLeverageSwitchLeadsToTheAdditionalData()
    {
        QFETCH(bool, financial);
        QFETCH(bool, operating);
        Wizard w;
        confirmWithLeverage(w, financial, operating);
        QCOMPARE(w.visible(), QStringList{"Tdopol"});
    }

    void oneYearAfterTwoKeepsTheYearTwoSnapshots()
    {
        Wizard w;
        confirmAll(w);
        setText(w.form2.get(), "Edit12", "60"); // Y1Start.Cash, the totals still agree
        w.start();
        click(w.par->RadioButton2);
        confirmAll(w);
        QCOMPARE(w.input.AnalysisParameters.YearCount, 1.0);
        QCOMPARE(w.input.Y1Start.Cash, 60.0);
        const AnalysisInput example = workedExample();
        QVERIFY(w.input.Y2Start == example.Y2Start);
        QVERIFY(w.input.Y2End == example.Y2End);
        QCOMPARE(w.calls.count(QStringLiteral("progress")), 2);
    }

    void oneProductAfterTwoKeepsProductB()
    {
        Wizard w;
        confirmAll(w);
        QCOMPARE(w.input.ProductCount, 2.0);
        // The second analysis: one product, new texts in the hidden B fields.
        w.start();
        confirmUpToProfitLoss(w);
        click(w.form6->Button1);
        click(w.dopol->RadioButton1);
        setText(w.dopol.get(), "Edit8", "7");
        setText(w.dopol.get(), "Edit16", "xyz");
        setText(w.dopol.get(), "Edit7", "2");
        click(w.dopol->Button1);
        QCOMPARE(w.visible(), QStringList{});
        QCOMPARE(w.input.ProductCount, 1.0);
        QCOMPARE(w.input.AdditionalData[1].PriceA, 2.0);
        const AnalysisInput example = workedExample();
        for (int year : {1, 2}) {
            QCOMPARE(w.input.AdditionalData[year].PriceB, example.AdditionalData[year].PriceB);
            QCOMPARE(w.input.AdditionalData[year].QuantityB, example.AdditionalData[year].QuantityB);
            QCOMPARE(w.input.AdditionalData[year].UnitVariableCostB, example.AdditionalData[year].UnitVariableCostB);
        }
        QVERIFY(w.services.messages.empty());
    }

    void dialogsKeepTheirTextsBetweenAnalyses()
    {
        Wizard w;
        w.start();
        w.par->Edit1->setText(QStringLiteral("ООО Ромашка"));
        click(w.par->Button1);
        setText(w.form2.get(), "Edit1", "2");
        setText(w.form2.get(), "Edit5", "180"); // A5 follows A1 so the totals agree
        setText(w.form2.get(), "Edit15", "6413");
        click(w.form2->Button1);
        click(w.form3->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1}); // liabilities 6412, assets 6413
        closeByUser(w.form3.get());

        w.start();
        QCOMPARE(w.par->Edit1->text(), QStringLiteral("ООО Ромашка"));
        click(w.par->Button1);
        QCOMPARE(field(w.form2.get(), "Edit1")->text(), QStringLiteral("2"));
        QCOMPARE(field(w.form2.get(), "Edit15")->text(), QStringLiteral("6413"));
        QCOMPARE(w.input.AnalysisParameters.EnterpriseName, std::string("ООО Ромашка"));
    }

    void closingAnyDialogAbandonsTheWizard_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("closed");
        QTest::newRow("Tpar") << 0 << "Tpar";
        QTest::newRow("TForm2") << 1 << "TForm2";
        QTest::newRow("TForm3") << 2 << "TForm3";
        QTest::newRow("Tdoubl") << 3 << "Tdoubl";
        QTest::newRow("Tdabl") << 4 << "Tdabl";
        QTest::newRow("Tform6") << 5 << "Tform6";
        QTest::newRow("Tdopol") << 6 << "Tdopol";
    }
    void closingAnyDialogAbandonsTheWizard()
    {
        QFETCH(int, steps);
        QFETCH(QString, closed);
        Wizard w;
        w.start();
        QList<QPushButton*> next = {w.par->Button1,   w.form2->Button1, w.form3->Button1,
                                    w.doubl->Button1, w.dabl->Button1,  w.form6->Button1};
        for (int i = 0; i < steps; ++i)
            click(next[i]);
        QCOMPARE(w.visible(), QStringList{closed});
        const AnalysisInput before = w.input;
        const QStringList callsBefore = w.calls;
        QWidget* window = w.window(closed);
        QVERIFY(window);
        closeByUser(window);
        QCOMPARE(w.visible(), QStringList{});
        QVERIFY(!window->isVisible());
        QCOMPARE(w.calls, callsBefore); // no progress window
        QVERIFY(w.input == before);
        QCOMPARE(w.input.AnalysisParameters.AnalysisPending, 0.0);
        // The window lives on with its texts.
        bringToFront(window);
        QVERIFY(window->isVisible());
    }

    void newCalculationBesideAnOpenLaterDialog()
    {
        Wizard w;
        w.start();
        click(w.par->Button1);
        click(w.form2->Button1);
        QCOMPARE(w.visible(), QStringList{"TForm3"});
        w.start();
        QCOMPARE(w.visible(), (QStringList{"Tpar", "TForm3"}));
        // Each keeps following its own rules.
        click(w.form3->Button1);
        QCOMPARE(w.visible(), (QStringList{"Tpar", "Tdoubl"}));
        click(w.par->Button1);
        QCOMPARE(w.visible(), (QStringList{"TForm2", "Tdoubl"}));
    }
};

int runRoadTests(int argc, char** argv)
{
    RoadTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_road.moc"
