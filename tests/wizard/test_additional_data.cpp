// Tdopol: additional data, product count, price test and reference block.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "wizard_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {
void toAdditional(Wizard& w, bool oneYear = false)
{
    toProfitLoss(w, oneYear);
    click(w.form6->Button1);
    QTRY_VERIFY(w.dopol->isActiveWindow());
}

QStringList productBShown(const Tdopol& d)
{
    QStringList shown;
    for (int n : {8, 10, 12, 16, 18, 20})
        if (!d.Edit(n)->isHidden())
            shown << QStringLiteral("Edit%1").arg(n);
    return shown;
}
} // namespace

class AdditionalDataTest : public QObject {
    Q_OBJECT
private slots:
    void initialTextsUseTheDecimalComma()
    {
        Wizard w;
        const QString expected[] = {"",     "10000", "5000",  "3000",    "1500", "30",    "35",   "1,5",
                                    "1",    "1",     "0,5",   "15000",   "13219", "10680,5", "",   "1,5",
                                    "1",    "1",     "0,5",   "13000",   "9875", "10176,5"};
        for (int n = 1; n <= 21; ++n) {
            if (n == 14) {
                QVERIFY(!field(w.dopol.get(), "Edit14"));
                continue;
            }
            QCOMPARE(w.dopol->Edit(n)->text(), expected[n]);
        }
        QCOMPARE(w.input.ProductCount, 2.0);
        QVERIFY(w.dopol->RadioButton2->isChecked());
    }

    void unchangedWithTwoProductsPasses()
    {
        Wizard w;
        toAdditional(w);
        click(w.dopol->Button1);
        QVERIFY(w.services.messages.empty());
        QVERIFY(w.input.AdditionalData[1] == workedExample().AdditionalData[1]);
        QVERIFY(w.input.AdditionalData[2] == workedExample().AdditionalData[2]);
        QCOMPARE(w.calls, (QStringList{"unsaved", "unsaved", "progress"}));
        QVERIFY(!w.dopol->isVisible());
    }

    // Price A or B equal to its unit variable cost, by year and product count.
    void priceTest_data()
    {
        QTest::addColumn<bool>("oneProduct");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<bool>("passes");
        QTest::newRow("A year 1 equal") << false << QStringList{"Edit7=1"} << false;
        QTest::newRow("A year 2 equal") << false << QStringList{"Edit15=1"} << false;
        QTest::newRow("B year 1 equal") << false << QStringList{"Edit8=0,5"} << false;
        QTest::newRow("B year 2 equal") << false << QStringList{"Edit18=1"} << false;
        QTest::newRow("price below cost") << false << QStringList{"Edit7=0,5", "Edit9=1"} << true;
        QTest::newRow("one product, A equal") << true << QStringList{"Edit7=1"} << false;
        QTest::newRow("one product, hidden B equal") << true << QStringList{"Edit8=1", "Edit10=1"} << true;
        QTest::newRow("one product, hidden B unreadable") << true << QStringList{"Edit16=", "Edit20=x"} << true;
    }
    void priceTest()
    {
        QFETCH(bool, oneProduct);
        QFETCH(QStringList, edits);
        QFETCH(bool, passes);
        Wizard w;
        toAdditional(w);
        if (oneProduct)
            click(w.dopol->RadioButton1);
        for (const QString& e : edits)
            setText(w.dopol.get(), e.section('=', 0, 0), e.section('=', 1));
        click(w.dopol->Button1);
        if (passes) {
            QVERIFY(w.services.messages.empty());
            QVERIFY(!w.dopol->isVisible());
            QCOMPARE(w.calls.last(), QStringLiteral("progress"));
        } else {
            QCOMPARE(w.services.messages.size(), std::size_t{1});
            const Message& m = w.services.messages.front();
            QCOMPARE(m.icon, UiServices::Icon::Information);
            QCOMPARE(m.title, QStringLiteral("Information"));
            QCOMPARE(m.text, kPriceError);
            QVERIFY(w.dopol->isVisible());
            QCOMPARE(w.calls, QStringList{"unsaved"}); // only Tform6's
        }
    }

    void oneProductPriceMessageThenCorrection()
    {
        Wizard w;
        toAdditional(w);
        click(w.dopol->RadioButton1);
        QCOMPARE(w.input.ProductCount, 1.0);
        QVERIFY(productBShown(*w.dopol).isEmpty());
        setText(w.dopol.get(), "Edit7", "1");
        setText(w.dopol.get(), "Edit8", "42");
        click(w.dopol->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        QCOMPARE(w.input.AdditionalData[1].PriceA, 1.0); // stored before the test
        QVERIFY(w.dopol->RadioButton1->isChecked());
        QVERIFY(productBShown(*w.dopol).isEmpty());
        QCOMPARE(w.input.ProductCount, 1.0);
        setText(w.dopol.get(), "Edit7", "1,5");
        click(w.dopol->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        QVERIFY(!w.dopol->isVisible());
        QCOMPARE(w.input.AdditionalData[1].PriceB, 0.0); // never read
        // Column captions stay with one product.
        for (const char* name : {"ProductCaptionB1", "ProductCaptionB2"})
            QVERIFY(!w.dopol->findChild<QLabel*>(name)->isHidden());
    }

    void radioButtonsShowAndHideProductB()
    {
        Wizard w;
        toAdditional(w);
        click(w.dopol->RadioButton1);
        QVERIFY(productBShown(*w.dopol).isEmpty());
        click(w.dopol->RadioButton2);
        QCOMPARE(productBShown(*w.dopol), (QStringList{"Edit8", "Edit10", "Edit12", "Edit16", "Edit18", "Edit20"}));
        QCOMPARE(w.input.ProductCount, 2.0);
    }

    void productChoiceSurvivesTheNextActivation()
    {
        Wizard w;
        toAdditional(w);
        click(w.dopol->RadioButton1);
        closeByUser(w.dopol.get());
        bringToFront(w.form6.get());
        click(w.form6->Button1);
        QTRY_VERIFY(w.dopol->isActiveWindow());
        QVERIFY(w.dopol->RadioButton1->isChecked());
        QVERIFY(productBShown(*w.dopol).isEmpty());
        QCOMPARE(w.input.ProductCount, 1.0);
    }

    void conversionOrderAndFailure()
    {
        Wizard w;
        toAdditional(w);
        w.input.AdditionalData[1] = AdditionalDataYear{};
        w.input.AdditionalData[2] = AdditionalDataYear{};
        // QuantityA comes before UnitVariableCostA.
        setText(w.dopol.get(), "Edit9", "bad");
        click(w.dopol->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        QCOMPARE(w.services.messages.front().text, QStringLiteral("'bad' is not a valid floating point value."));
        QCOMPARE(w.input.AdditionalData[2].QuantityA, 13000.0);
        QCOMPARE(w.input.AdditionalData[1].UnitVariableCostA, 0.0);
        QCOMPARE(w.input.AdditionalData[1].FixedCostsTotal, 0.0);
        QCOMPARE(w.calls, QStringList{"unsaved"}); // not this dialog's
        QVERIFY(w.dopol->isVisible());
    }

    void fractionsUnderTheCommaSeparator()
    {
        Wizard w;
        toAdditional(w);
        click(w.dopol->Button1);
        QCOMPARE(w.input.AdditionalData[1].FixedCostsTotal, 10680.5);
        QCOMPARE(w.input.AdditionalData[2].UnitVariableCostB, 0.5);
    }

    void referenceBlock_data()
    {
        QTest::addColumn<bool>("oneYear");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("selling");
        QTest::addColumn<QString>("revenue");
        QTest::newRow("one year") << true << "Единица измерений -     тыс. рублей"
                                  << "Годовая себестоимость    32290" << "Коммерческие расходы     0"
                                  << "Выручка равна            35719";
        QTest::newRow("two years") << false << "Единица измерений -     тыс. рублей"
                                   << "Себестоимость за 1й и 2й годы равна   32290/28114"
                                   << "Коммерческие расходы за 1й и 2й годы равна   0/0"
                                   << "Выручка за 1й и 2й годы равна   35719/29375";
    }
    void referenceBlock()
    {
        QFETCH(bool, oneYear);
        QFETCH(QString, unit);
        QFETCH(QString, cost);
        QFETCH(QString, selling);
        QFETCH(QString, revenue);
        Wizard w;
        toAdditional(w, oneYear);
        QCOMPARE(w.dopol->ReferenceTitle->text(), QStringLiteral("Справка (введенные ранее данные):"));
        QCOMPARE(w.dopol->UnitLine->text(), unit);
        QCOMPARE(w.dopol->CostLine->text(), cost);
        QCOMPARE(w.dopol->SellingLine->text(), selling);
        QCOMPARE(w.dopol->RevenueLine->text(), revenue);
    }

    void referenceBlockIsRefilledAtEachActivation()
    {
        Wizard w;
        toAdditional(w);
        closeByUser(w.dopol.get());
        w.start();
        w.par->ComboBox1->setEditText(QStringLiteral("млн.евро"));
        confirmUpToProfitLoss(w);
        setText(w.form6.get(), "Edit1", "1234,56");
        setText(w.form6.get(), "Edit19", "0,00001");
        click(w.form6->Button1);
        QTRY_COMPARE(w.dopol->UnitLine->text(), QStringLiteral("Единица измерений -     млн.евро"));
        QCOMPARE(w.dopol->RevenueLine->text(), QStringLiteral("Выручка за 1й и 2й годы равна   1234,56/29375"));
        QCOMPARE(w.dopol->CostLine->text(), QStringLiteral("Себестоимость за 1й и 2й годы равна   32290/1E-5"));
    }

    void helpStaysOpen()
    {
        Wizard w;
        toAdditional(w);
        click(w.dopol->Button2);
        QCOMPARE(w.calls.last(), QStringLiteral("help"));
        QVERIFY(w.dopol->isVisible());
    }
};

int runAdditionalDataTests(int argc, char** argv)
{
    AdditionalDataTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_additional_data.moc"
