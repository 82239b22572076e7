// The four balance sheet dialogs: conversion, identities, order of the steps.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "numeric/float_errors.h"
#include "wizard_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {
void toAssets(Wizard& w)
{
    w.start();
    click(w.par->Button1);
}

void toLiabilities(Wizard& w)
{
    toAssets(w);
    click(w.form2->Button1);
}
} // namespace

class BalanceSheetTest : public QObject {
    Q_OBJECT
private slots:
    // Texts typed into the year-1 asset dialog and whether "Дальше" moves on.
    void assetIdentities_data()
    {
        QTest::addColumn<QStringList>("edits"); // name=text pairs
        QTest::addColumn<bool>("passes");
        QTest::newRow("unchanged") << QStringList{} << true;
        QTest::newRow("cash 55, totals untouched") << QStringList{"Edit12=55"} << true;
        QTest::newRow("left total 6413") << QStringList{"Edit15=6413"} << false;
        QTest::newRow("right total 22863") << QStringList{"Edit30=22863"} << false;
        QTest::newRow("0,1 + 0,2 vs 0,3") << QStringList{"Edit20=0,1", "Edit29=0,2", "Edit30=0,3"} << false;
        QTest::newRow("0,5 + 0,25 vs 0,75") << QStringList{"Edit20=0,5", "Edit29=0,25", "Edit30=0,75"} << true;
        QTest::newRow("blanks around 524") << QStringList{"Edit12=  54  "} << true;
        QTest::newRow("1e3 exponent") << QStringList{"Edit20=1e3", "Edit29=21862"} << true;
    }
    void assetIdentities()
    {
        QFETCH(QStringList, edits);
        QFETCH(bool, passes);
        Wizard w;
        toAssets(w);
        for (const QString& e : edits)
            setText(w.form2.get(), e.section('=', 0, 0), e.section('=', 1));
        click(w.form2->Button1);
        if (passes) {
            QVERIFY(w.services.messages.empty());
            QCOMPARE(w.visible(), QStringList{"TForm3"});
        } else {
            QCOMPARE(w.services.messages.size(), std::size_t{1});
            const Message& m = w.services.messages.front();
            QCOMPARE(m.icon, UiServices::Icon::Warning);
            QCOMPARE(m.title, QStringLiteral("Warning"));
            QCOMPARE(m.text, kBalanceError);
            QCOMPARE(w.visible(), QStringList{"TForm2"});
            // The user's texts stay, and the values were stored before the test.
            for (const QString& e : edits)
                QCOMPARE(field(w.form2.get(), e.section('=', 0, 0))->text(), e.section('=', 1));
        }
    }

    void failedTestStoredTheValuesAlready()
    {
        Wizard w;
        toAssets(w);
        setText(w.form2.get(), "Edit15", "6413");
        click(w.form2->Button1);
        QCOMPARE(w.input.Y1Start.AssetsTotal, 6413.0);
        QCOMPARE(w.input.Y1End.AssetsTotal, 22862.0);
    }

    void rightLiabilityTotalAgainstTheAssets()
    {
        Wizard w;
        toLiabilities(w);
        // Consistent in itself (3311 + 0 + 19552 = 22863) but not with the assets.
        setText(w.form3.get(), "Edit35", "19552");
        setText(w.form3.get(), "Edit36", "22863");
        click(w.form3->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        QCOMPARE(w.services.messages.front().text, kBalanceError);
        QCOMPARE(w.visible(), QStringList{"TForm3"});
    }

    void liabilityIdentities_data()
    {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<bool>("passes");
        QTest::newRow("unchanged") << QStringList{} << true;
        QTest::newRow("left equity off") << QStringList{"Edit8=525"} << false;
        QTest::newRow("right short-term total off") << QStringList{"Edit35=19550"} << false;
        QTest::newRow("left total against assets") << QStringList{"Edit18=6411"} << false;
        QTest::newRow("loss typed as -100") << QStringList{"Edit7=-100"} << true;
        QTest::newRow("lines never summed") << QStringList{"Edit1=9", "Edit30=1"} << true;
    }
    void liabilityIdentities()
    {
        QFETCH(QStringList, edits);
        QFETCH(bool, passes);
        Wizard w;
        toLiabilities(w);
        for (const QString& e : edits)
            setText(w.form3.get(), e.section('=', 0, 0), e.section('=', 1));
        click(w.form3->Button1);
        QCOMPARE(w.services.messages.empty(), passes);
        QCOMPARE(w.visible(), QStringList{passes ? "Tdoubl" : "TForm3"});
    }

    void uncoveredLossIsHeldAsItsMagnitude()
    {
        Wizard w;
        toLiabilities(w);
        setText(w.form3.get(), "Edit7", "-100");
        setText(w.form3.get(), "Edit25", "300");
        click(w.form3->Button1);
        QCOMPARE(w.input.Y1Start.UncoveredLoss, 100.0);
        QCOMPARE(w.input.Y1End.UncoveredLoss, 300.0);
        QCOMPARE(field(w.form3.get(), "Edit7")->text(), QStringLiteral("-100"));
    }

    void conversionFailureStopsAtTheField()
    {
        Wizard w;
        toAssets(w);
        w.input.Y1Start = BalanceSheet{};
        w.input.Y1End = BalanceSheet{};
        setText(w.form2.get(), "Edit1", "5");
        setText(w.form2.get(), "Edit7", "1,5,");
        click(w.form2->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        const Message& m = w.services.messages.front();
        QCOMPARE(m.icon, UiServices::Icon::Stop);
        QCOMPARE(m.title, QStringLiteral("Kalvanta 4.5 SP1"));
        QCOMPARE(m.text, QStringLiteral("'1,5,' is not a valid floating point value."));
        QCOMPARE(w.visible(), QStringList{"TForm2"});
        QCOMPARE(w.input.Y1Start.IntangibleAssets, 5.0);   // before the failing field
        QCOMPARE(w.input.Y1Start.Inventories, 5641.0);     // A6, just before
        QCOMPARE(w.input.Y1Start.GoodsShipped, 0.0);       // the failing field
        QCOMPARE(w.input.Y1Start.InputVat, 0.0);           // after it: unchanged
        QCOMPARE(w.input.Y1End.IntangibleAssets, 0.0);     // right column not reached
    }

    void handlerCalledDirectlyRaisesTheConversionError()
    {
        Wizard w;
        toAssets(w);
        setText(w.form2.get(), "Edit4", "x");
        QVERIFY_THROWS_EXCEPTION(ConversionError, w.form2->Button1Click());
        QVERIFY(w.services.messages.empty());
    }

    void conversionErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("lone minus") << "-";
        QTest::newRow("point under comma separator") << "1.5";
        QTest::newRow("doubled minus") << "--5";
        QTest::newRow("minus after a digit") << "5-";
        QTest::newRow("letters") << "abc";
        QTest::newRow("group separator") << "1 000";
    }
    void conversionErrors()
    {
        QFETCH(QString, text);
        Wizard w;
        toAssets(w);
        setText(w.form2.get(), "Edit3", text);
        click(w.form2->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        QCOMPARE(w.services.messages.front().text,
                 QStringLiteral("'%1' is not a valid floating point value.").arg(text));
        QCOMPARE(w.visible(), QStringList{"TForm2"});
    }

    void liabilityConversionFailureRunsNoTest()
    {
        Wizard w;
        toLiabilities(w);
        setText(w.form3.get(), "Edit18", "1");    // would fail the test
        setText(w.form3.get(), "Edit19", "x");    // L1 right, fails first
        click(w.form3->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        QCOMPARE(w.services.messages.front().icon, UiServices::Icon::Stop);
        QCOMPARE(w.input.Y1Start.LiabilitiesTotal, 1.0);
    }

    void backKeepsTextsAndStoresNothing()
    {
        Wizard w;
        toLiabilities(w);
        click(w.form3->Button1);
        click(w.doubl->Button1);
        setText(w.dabl.get(), "Edit1", "99");
        const AnalysisInput before = w.input;
        click(w.dabl->Button2); // "Назад"
        QCOMPARE(w.visible(), QStringList{"Tdoubl"});
        QVERIFY(w.input == before);
        QCOMPARE(field(w.dabl.get(), "Edit1")->text(), QStringLiteral("99"));
        // "Дальше" in Tdoubl converts and tests its texts again.
        setText(w.doubl.get(), "Edit15", "1");
        click(w.doubl->Button1);
        QCOMPARE(w.input.Y2Start.AssetsTotal, 1.0);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        setText(w.doubl.get(), "Edit15", "22862");
        click(w.doubl->Button1);
        QCOMPARE(w.visible(), QStringList{"Tdabl"});
        QCOMPARE(field(w.dabl.get(), "Edit1")->text(), QStringLiteral("99"));
    }

    void backFromTheYearOneLiabilities()
    {
        Wizard w;
        toLiabilities(w);
        click(w.form3->Button2);
        QCOMPARE(w.visible(), QStringList{"TForm2"});
    }

    void oneYearGoesStraightToProfitAndLoss()
    {
        Wizard w;
        w.start();
        click(w.par->RadioButton2);
        confirmUpToProfitLoss(w, true);
        QCOMPARE(w.visible(), QStringList{"Tform6"});
        QVERIFY(w.input.Y2Start == BalanceSheet{});
        QVERIFY(w.input.Y2End == BalanceSheet{});
    }

    void yearTwoStartIsNeverComparedWithYearOneEnd()
    {
        Wizard w;
        toLiabilities(w);
        click(w.form3->Button1);
        for (const char* name : {"Edit1", "Edit5", "Edit15"})
            setText(w.doubl.get(), name, "0");
        setText(w.doubl.get(), "Edit14", "0");
        click(w.doubl->Button1);
        QVERIFY(w.services.messages.empty());
        QCOMPARE(w.visible(), QStringList{"Tdabl"});
    }
};

int runBalanceSheetTests(int argc, char** argv)
{
    BalanceSheetTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_balance_sheet.moc"
