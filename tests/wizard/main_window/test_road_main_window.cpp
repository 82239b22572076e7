// The road of an analysis in the whole program: "Новый..." in the main
// window, every wizard dialog, the progress window, the report in the view.
#include "program_fixture.h"
#include "ui/application.h"

using namespace kalvanta;
using namespace kalvanta::test;

class RoadInTheProgramTest : public QObject {
    Q_OBJECT
private slots:
    void twoYearsUnchangedWriteTheWorkedExampleReport()
    {
        Program p;
        p.newCalculation();
        // Opening the wizard touches neither the view nor the caption.
        QCOMPARE(viewLines(*p.main), kInitialView);
        QCOMPARE(p.main->caption(), QStringLiteral("Kalvanta 4.5"));
        for (QAbstractButton* next : std::initializer_list<QAbstractButton*>{
                 p.par->Button1, p.form2->Button1, p.form3->Button1, p.doubl->Button1, p.dabl->Button1,
                 p.form6->Button1})
            click(next);
        QCOMPARE(p.main->caption(), kUnsavedCaption);
        QTRY_VERIFY(p.dopol->isActiveWindow());
        QCOMPARE(p.dopol->RevenueLine->text(), QStringLiteral("Выручка за 1й и 2й годы равна   35719/29375"));
        click(p.dopol->Button1);
        QTRY_COMPARE_WITH_TIMEOUT(p.finished->count(), 1, 120000);

        const QStringList expected = expectedFile("worked_two_year.txt");
        QCOMPARE(builderReport(workedExample()), expected);
        QTRY_COMPARE(viewLines(*p.main), kInitialView + expected);
        QCOMPARE(p.main->caption(), kUnsavedCaption);
        QCOMPARE(p.main->input().AnalysisParameters.AnalysisPending, 0.0);
        QVERIFY(p.services.messages.empty());
    }

    void oneYearWithOtherNumbersAfterATwoYearReport()
    {
        Program p;
        AnalysisInput& input = p.main->input();
        p.newCalculation();
        for (QAbstractButton* next : std::initializer_list<QAbstractButton*>{
                 p.par->Button1, p.form2->Button1, p.form3->Button1, p.doubl->Button1, p.dabl->Button1,
                 p.form6->Button1, p.dopol->Button1})
            click(next);
        QTRY_COMPARE_WITH_TIMEOUT(p.finished->count(), 1, 120000);
        const QStringList first = kInitialView + expectedFile("worked_two_year.txt");
        QTRY_COMPARE(viewLines(*p.main), first);

        QTRY_VERIFY(p.main->isActiveWindow());
        p.newCalculation();
        click(p.par->RadioButton2);
        p.par->Edit1->setText(QStringLiteral("ООО Север"));
        click(p.par->Button1);
        p.form2->Edit(12)->setText(QStringLiteral("100"));   // cash at the start; totals unchanged
        p.form2->Edit(27)->setText(QStringLiteral("3000"));  // cash at the end
        click(p.form2->Button1);
        p.form3->Edit(7)->setText(QStringLiteral("-50"));    // loss typed with a minus
        click(p.form3->Button1);
        p.form6->year1[0]->setText(QStringLiteral("40000")); // revenue of year 1
        click(p.form6->Button1);
        QTRY_VERIFY(p.dopol->isActiveWindow());
        QCOMPARE(p.dopol->RevenueLine->text(), QStringLiteral("Выручка равна            40000"));
        click(p.dopol->RadioButton1);
        click(p.dopol->Button1);
        QTRY_COMPARE_WITH_TIMEOUT(p.finished->count(), 2, 120000);

        AnalysisInput expected = workedExample();
        expected.AnalysisParameters.YearCount = 1.0;
        expected.AnalysisParameters.EnterpriseName = "ООО Север";
        expected.Y1Start.Cash = 100;
        expected.Y1End.Cash = 3000;
        expected.Y1Start.UncoveredLoss = 50;
        expected.ProfitLoss[1].Revenue = 40000;
        expected.ProductCount = 1.0;
        AnalysisInput stored = input;
        stored.AnalysisParameters.AnalysisPending = 0.0;
        expected.AnalysisParameters.AnalysisPending = 0.0;
        QVERIFY(stored == expected);
        const QStringList second = builderReport(expected);
        QVERIFY(second.size() > 100);
        QVERIFY(second.contains(QStringLiteral(" Название предприятия - ООО Север")));
        QTRY_COMPARE(viewLines(*p.main), first + second);
        QVERIFY(p.services.messages.empty());
    }

    void withoutLeverageTheProfitAndLossDialogHandsOver()
    {
        Program p;
        p.newCalculation();
        p.par->CheckBox3->setChecked(false);
        p.par->CheckBox4->setChecked(false);
        for (QAbstractButton* next : std::initializer_list<QAbstractButton*>{
                 p.par->Button1, p.form2->Button1, p.form3->Button1, p.doubl->Button1, p.dabl->Button1,
                 p.form6->Button1})
            click(next);
        QVERIFY(!p.dopol->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(p.finished->count(), 1, 120000);
        AnalysisInput expected = workedExample();
        expected.AnalysisParameters.FinancialLeverageOn = 0.0;
        expected.AnalysisParameters.OperatingLeverageOn = 0.0;
        QTRY_COMPARE(viewLines(*p.main), kInitialView + builderReport(expected));
    }

    void abandonedWizardWritesNoReport()
    {
        Program p;
        p.newCalculation();
        for (QAbstractButton* next : std::initializer_list<QAbstractButton*>{
                 p.par->Button1, p.form2->Button1, p.form3->Button1, p.doubl->Button1, p.dabl->Button1,
                 p.form6->Button1})
            click(next);
        QTRY_VERIFY(p.dopol->isActiveWindow());
        closeByUser(p.dopol);
        QTest::qWait(200);
        QCOMPARE(p.finished->count(), 0);
        QCOMPARE(viewLines(*p.main), kInitialView);
        QCOMPARE(p.main->caption(), kUnsavedCaption); // set by the profit and loss dialog
        QCOMPARE(p.main->input().AnalysisParameters.AnalysisPending, 0.0);
    }
};

int main(int argc, char** argv)
{
    KalvantaApplication app(argc, argv);
    RoadInTheProgramTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_road_main_window.moc"
