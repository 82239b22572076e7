// The wizard filled from a record: what every dialog shows, and that going
// through the dialogs gives the record back.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <limits>

#include "inputs/field_tables.h"
#include "wizard/wizard_fill.h"
#include "wizard_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

// A record no dialog shows at start-up, with fractions a careless fill
// would round and balance totals that still meet the identities.
AnalysisInput otherRecord()
{
    AnalysisInput r = workedExample();
    r.AnalysisParameters.EnterpriseName = "ООО \"Ромашка\", ИНН 7701234567";
    r.AnalysisParameters.UnitName = "руб.";
    r.AnalysisParameters.BusinessActivityOn = 0.0;
    r.AnalysisParameters.WorkingCapitalNeedsOn = 0.0;
    r.Y1Start.Cash = 54.25;                  // lines are not summed, only the totals compared
    r.Y1End.FixedAssets = 0.1 + 0.2;         // 0,30000000000000004: fifteen digits would read back as 0,3
    r.Y2Start.GoodsShipped = 1e20;
    r.Y2End.UncoveredLoss = 12.5;
    r.ProfitLoss[1].Revenue = 35719.75;
    r.ProfitLoss[2].InterestPayable = 5e-5;
    r.AdditionalData[1].PriceA = 2.75;
    r.AdditionalData[2].FixedCostsTotal = 123456789012345678.0;
    r.AdditionalData[2].QuantityB = 9876.5;
    deriveFinancialEconomicProfit(r);
    return r;
}

} // namespace

class FillTest : public QObject {
    Q_OBJECT
private slots:
    void fieldTextIsTheGeneralFormatUnlessItLosesTheValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 35719.0 << "," << "35719";
        QTest::newRow("fraction, comma") << 10680.5 << "," << "10680,5";
        QTest::newRow("fraction, point") << 10680.5 << "." << "10680.5";
        QTest::newRow("negative") << -300.0 << "," << "-300";
        QTest::newRow("zero") << 0.0 << "," << "0";
        QTest::newRow("small: exponent") << 5e-5 << "," << "5E-5";
        QTest::newRow("large: exponent") << 1e20 << "," << "1E20";
        QTest::newRow("fifteen digits") << 123456789012345.0 << "," << "123456789012345";
        QTest::newRow("sixteen digits are kept") << 1234567890123456.0 << "," << "1234567890123456";
        QTest::newRow("0.1 + 0.2 is kept") << 0.1 + 0.2 << "," << "0,30000000000000004";
        QTest::newRow("one third is kept") << 1.0 / 3.0 << "." << "0.3333333333333333";
        QTest::newRow("negative zero is kept") << -0.0 << "," << "-0";
        QTest::newRow("largest double") << std::numeric_limits<double>::max() << ","
                                        << "1,7976931348623157E308";
    }
    void fieldTextIsTheGeneralFormatUnlessItLosesTheValue()
    {
        QFETCH(double, value);
        QFETCH(QString, separator);
        QFETCH(QString, text);
        RegionalSettings rs;
        rs.decimalSeparator = separator.toStdString();
        QCOMPARE(fieldText(value, rs), text);
    }

    void everyDialogShowsTheRecord()
    {
        Wizard w;
        const AnalysisInput before = w.input;
        AnalysisInput r = otherRecord();
        r.AnalysisParameters.YearCount = 1.0;
        r.ProductCount = 1.0;
        fillWizard(w.par->links(), r);

        QCOMPARE(w.par->Edit1->text(), QStringLiteral("ООО \"Ромашка\", ИНН 7701234567"));
        QCOMPARE(w.par->ComboBox1->currentText(), QStringLiteral("руб."));
        QVERIFY(w.par->RadioButton2->isChecked());
        QVERIFY(!w.par->RadioButton1->isChecked());
        const std::pair<QCheckBox*, bool> ticks[] = {{w.par->CheckBox1, true}, {w.par->CheckBox2, false},
                                                     {w.par->CheckBox3, true}, {w.par->CheckBox4, true},
                                                     {w.par->CheckBox5, false}};
        for (const auto& [box, ticked] : ticks)
            QVERIFY2(box->isChecked() == ticked, qPrintable(box->objectName()));

        const struct {
            QWidget* dialog;
            const char* field;
            const char* text;
        } shown[] = {
            {w.form2.get(), "Edit12", "54,25"},   {w.form2.get(), "Edit27", "3278"},
            {w.form2.get(), "Edit17", "0,30000000000000004"},
            {w.form3.get(), "Edit24", "3303"},    {w.doubl.get(), "Edit7", "1E20"},
            {w.dabl.get(), "Edit25", "12,5"},     {w.dabl.get(), "Edit36", "36345"},
            {w.form6.get(), "Edit1", "35719,75"}, {w.form6.get(), "Edit24", "5E-5"},
            {w.form6.get(), "Edit16", "357"},     {w.dopol.get(), "Edit7", "2,75"},
            {w.dopol.get(), "Edit21", "123456789012345680"}, {w.dopol.get(), "Edit20", "9876,5"},
        };
        for (const auto& s : shown)
            QCOMPARE(field(s.dialog, QString::fromLatin1(s.field))->text(), QString::fromUtf8(s.text));

        // One product: the radio button as clicked, product B fields hidden but filled.
        QVERIFY(w.dopol->RadioButton1->isChecked());
        w.dopol->show();
        QVERIFY(!w.dopol->Edit(20)->isVisible());
        QVERIFY(w.dopol->Edit(7)->isVisible());
        w.dopol->hide();

        // The radio buttons set the record as the user's clicks do; nothing else is written.
        AnalysisInput expected = before;
        expected.AnalysisParameters.YearCount = 1.0;
        expected.ProductCount = 1.0;
        QVERIFY(w.input == expected);
    }

    void goingThroughTheWizardGivesTheRecordBack_data()
    {
        QTest::addColumn<double>("years");
        QTest::addColumn<double>("products");
        QTest::addColumn<QString>("separator");
        QTest::newRow("two years, two products, comma") << 2.0 << 2.0 << ",";
        QTest::newRow("two years, two products, point") << 2.0 << 2.0 << ".";
        QTest::newRow("one year, one product") << 1.0 << 1.0 << ",";
    }
    void goingThroughTheWizardGivesTheRecordBack()
    {
        QFETCH(double, years);
        QFETCH(double, products);
        QFETCH(QString, separator);
        Wizard w;
        RegionalSettings rs;
        rs.decimalSeparator = separator.toStdString();
        for (WizardWindow* window : w.windows())
            window->setRegionalSettings(rs);
        AnalysisInput r = otherRecord();
        r.AnalysisParameters.YearCount = years;
        r.ProductCount = products;
        const AnalysisInput before = w.input;
        fillWizard(w.par->links(), r);

        w.start();
        click(w.par->Button1);
        click(w.form2->Button1);
        click(w.form3->Button1);
        if (years == 2.0) {
            click(w.doubl->Button1);
            click(w.dabl->Button1);
        }
        click(w.form6->Button1);
        click(w.dopol->Button1);
        QCOMPARE(w.calls, (QStringList{"unsaved", "unsaved", "progress"}));
        QVERIFY(w.services.messages.empty());

        // What a one-year, one-product road does not write keeps its earlier value.
        AnalysisInput expected = r;
        if (years == 1.0) {
            expected.Y2Start = before.Y2Start;
            expected.Y2End = before.Y2End;
        }
        if (products == 1.0)
            for (int y : {1, 2}) {
                expected.AdditionalData[y].PriceB = before.AdditionalData[y].PriceB;
                expected.AdditionalData[y].UnitVariableCostB = before.AdditionalData[y].UnitVariableCostB;
                expected.AdditionalData[y].QuantityB = before.AdditionalData[y].QuantityB;
            }
        expected.AnalysisParameters.AnalysisPending = 0.0;
        QVERIFY(w.input == expected);
    }

    // Product rows the report does not read and the price test would refuse stay as they were.
    void productRowsStayWhenTheyCannotPassThePriceTest_data()
    {
        QTest::addColumn<bool>("operatingLeverage");
        QTest::addColumn<double>("price");
        QTest::addColumn<bool>("kept");
        QTest::newRow("no leverage, price = cost") << false << 0.0 << true;
        QTest::newRow("no leverage, price differs") << false << 3.0 << false;
        QTest::newRow("leverage, price = cost") << true << 0.0 << false;
    }
    void productRowsStayWhenTheyCannotPassThePriceTest()
    {
        QFETCH(bool, operatingLeverage);
        QFETCH(double, price);
        QFETCH(bool, kept);
        Wizard w;
        AnalysisInput r = startupInput();
        r.AnalysisParameters.YearCount = 2.0;
        r.AnalysisParameters.OperatingLeverageOn = operatingLeverage ? 1.0 : 0.0;
        r.AnalysisParameters.FinancialLeverageOn = 1.0;
        r.AdditionalData[1].CreditsReceived = 700;
        r.AdditionalData[1].PriceA = price;
        r.AdditionalData[2].PriceA = price;
        r.ProductCount = 1.0;
        QCOMPARE(productDataKept(r), kept);
        fillWizard(w.par->links(), r);
        QCOMPARE(w.dopol->Edit(1)->text(), QStringLiteral("700"));
        QCOMPARE(w.dopol->Edit(7)->text(), kept ? QStringLiteral("1,5") : fieldText(price, RegionalSettings::russian()));
        QCOMPARE(w.dopol->Edit(21)->text(), kept ? QStringLiteral("10176,5") : QStringLiteral("0"));
        QCOMPARE(w.dopol->RadioButton2->isChecked(), kept);
    }

    void contentsChangeWithTypingNotWithFilling()
    {
        Wizard w;
        const QStringList start = wizardContents(w.par->links());
        fillWizard(w.par->links(), workedExample());
        QCOMPARE(wizardContents(w.par->links()), start);

        fillWizard(w.par->links(), otherRecord());
        const QStringList filled = wizardContents(w.par->links());
        QVERIFY(filled != start);

        w.form6->show();
        QLineEdit* revenue = w.form6->year1[0];
        revenue->setFocus();
        QTest::keyClick(revenue, Qt::Key_End);
        QTest::keyClick(revenue, Qt::Key_5);
        QVERIFY(wizardContents(w.par->links()) != filled);
        QTest::keyClick(revenue, Qt::Key_Backspace);
        QCOMPARE(wizardContents(w.par->links()), filled);

        click(w.par->CheckBox5);
        QVERIFY(wizardContents(w.par->links()) != filled);
    }
};

int runFillTests(int argc, char** argv)
{
    FillTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_fill.moc"
