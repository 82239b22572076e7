// Tform6: the profit and loss statement of both years.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "wizard_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

class ProfitLossTest : public QObject {
    Q_OBJECT
private slots:
    void unchangedStoresTheExampleAndDerivesTheProfit()
    {
        Wizard w;
        toProfitLoss(w);
        click(w.form6->Button1);
        const AnalysisInput example = workedExample();
        QVERIFY(w.input.ProfitLoss[1] == example.ProfitLoss[1]);
        QVERIFY(w.input.ProfitLoss[2] == example.ProfitLoss[2]);
        QCOMPARE(w.input.ProfitLoss[1].FinancialEconomicProfit, 4169.0);
        QCOMPARE(w.input.ProfitLoss[2].FinancialEconomicProfit, 1333.0);
    }

    // Each row of each column lands in its own field of the record.
    void fieldsMapToTheirRows_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("row"); // P1 … P14
        const int year1[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15};
        const int year2[] = {18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 29, 30, 31, 16};
        for (int k = 0; k < 14; ++k) {
            QTest::addRow("Edit%d", year1[k]) << QStringLiteral("Edit%1").arg(year1[k]) << 1 << k + 1;
            QTest::addRow("Edit%d", year2[k]) << QStringLiteral("Edit%1").arg(year2[k]) << 2 << k + 1;
        }
    }
    void fieldsMapToTheirRows()
    {
        QFETCH(QString, edit);
        QFETCH(int, year);
        QFETCH(int, row);
        Wizard w;
        toProfitLoss(w);
        setText(w.form6.get(), edit, "777");
        click(w.form6->Button1);
        const ProfitLossYear& got = w.input.ProfitLoss[year];
        const double values[] = {got.Revenue, got.CostOfSales, got.SellingExpenses, got.AdministrativeExpenses,
                                 got.SalesProfit, got.InterestReceivable, got.InterestPayable,
                                 got.ParticipationIncome, got.OtherOperatingIncome, got.OtherOperatingExpenses,
                                 got.NonOperatingIncome, got.NonOperatingExpenses, got.ProfitBeforeTax,
                                 got.NetProfit};
        QCOMPARE(values[row - 1], 777.0);
    }

    void emptyYearTwoFieldStopsAOneYearAnalysis()
    {
        Wizard w;
        toProfitLoss(w, true);
        setText(w.form6.get(), "Edit18", "");
        click(w.form6->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        QCOMPARE(w.services.messages.front().text, QStringLiteral("'' is not a valid floating point value."));
        QCOMPARE(w.visible(), QStringList{"Tform6"});
        QVERIFY(w.calls.isEmpty()); // caption not marked unsaved
        QCOMPARE(w.input.ProfitLoss[1].NetProfit, 2820.0); // year 1 was stored
        QCOMPARE(w.input.ProfitLoss[1].FinancialEconomicProfit, 0.0); // not derived
    }

    void unsavedEvenWhenTheAdditionalDataAreAbandoned()
    {
        Wizard w;
        toProfitLoss(w);
        click(w.form6->Button1);
        QCOMPARE(w.calls, QStringList{"unsaved"});
        closeByUser(w.dopol.get());
        QCOMPARE(w.calls, QStringList{"unsaved"});
        QCOMPARE(w.input.AnalysisParameters.AnalysisPending, 0.0);
    }

    void handingOverToTheAdditionalDataSwitchesPendingOff()
    {
        Wizard w;
        toProfitLoss(w);
        w.input.AnalysisParameters.AnalysisPending = 1.0;
        click(w.form6->Button1);
        QCOMPARE(w.input.AnalysisParameters.AnalysisPending, 0.0);
    }

    void noChecksBetweenTheLines()
    {
        Wizard w;
        toProfitLoss(w);
        setText(w.form6.get(), "Edit5", "-1e6");
        setText(w.form6.get(), "Edit14", "  0  ");
        click(w.form6->Button1);
        QVERIFY(w.services.messages.empty());
        QCOMPARE(w.input.ProfitLoss[1].FinancialEconomicProfit, 0.0 - 430 + 657);
    }
};

int runProfitLossTests(int argc, char** argv)
{
    ProfitLossTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_profit_loss.moc"
