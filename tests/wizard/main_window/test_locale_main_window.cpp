// The program under the system's own regional settings, run once with
// Russian settings and once with a locale whose decimal separator is the
// point: the wizard's defaults lead to the report, the comma-filtered fields
// take the regional separator, and the calculators compute their defaults.
#include <QComboBox>
#include <QLocale>
#include <QPlainTextEdit>

#include "planning_gui/planning_windows.h"
#include "program_fixture.h"
#include "ui/application.h"
#include "ui/regional_qt.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

// The separator the system's locale writes; "," under Russian settings.
QString separator() { return QString::fromStdString(systemRegionalSettings().decimalSeparator); }

// A number written with the comma, in the regional form.
QString regional(QString text) { return text.replace(QLatin1Char(','), separator()); }

QStringList systemReport(AnalysisInput input)
{
    input.AnalysisParameters.AnalysisPending = 1.0;
    AnalysisResults results;
    VectorSink sink;
    writePendingReport(input, results, sink, systemRegionalSettings(), kReportDate);
    QStringList lines;
    for (const std::string& line : sink.lines)
        lines << QString::fromStdString(line);
    return lines;
}

// The program as start-up builds it, without the Russian settings the
// other road tests fix.
void useSystemSettings(Program& p)
{
    p.main->setRegionalSettings(systemRegionalSettings());
    for (WizardWindow* w : std::initializer_list<WizardWindow*>{p.par, p.form2, p.form3, p.doubl, p.dabl, p.form6,
                                                                p.dopol})
        w->setRegionalSettings(systemRegionalSettings());
}

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->clear();
    edit->setFocus();
    for (const QChar ch : text)
        QTest::keyClicks(edit, QString(ch));
}

} // namespace

class LocaleInTheProgramTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString lang = qEnvironmentVariable("LANG");
        QVERIFY2(!lang.isEmpty(), "run with LANG set");
        qInfo("LANG=%s, decimal separator '%s'", qPrintable(lang), qPrintable(separator()));
        QCOMPARE(separator(), QLocale::system().language() == QLocale::C ? QStringLiteral(",")
                                                                          : QLocale::system().decimalPoint());
    }

    void twoYearDefaultsEndInTheReport()
    {
        Program p;
        useSystemSettings(p);
        p.newCalculation();
        for (QAbstractButton* next : std::initializer_list<QAbstractButton*>{
                 p.par->Button1, p.form2->Button1, p.form3->Button1, p.doubl->Button1, p.dabl->Button1,
                 p.form6->Button1}) {
            QTRY_VERIFY(next->window()->isActiveWindow());
            click(next);
        }
        QTRY_VERIFY(p.dopol->isActiveWindow());
        click(p.dopol->Button1);
        // A default the conversion refuses would stop the road here.
        QVERIFY(p.services.messages.empty());
        QTRY_COMPARE_WITH_TIMEOUT(p.finished->count(), 1, 120000);
        QTRY_COMPARE(viewLines(*p.main), kInitialView + systemReport(workedExample()));
        QCOMPARE(p.main->caption(), kUnsavedCaption);
    }

    void oneYearWithOneProductEndsInTheReport()
    {
        Program p;
        useSystemSettings(p);
        p.newCalculation();
        click(p.par->RadioButton2);
        for (QAbstractButton* next : std::initializer_list<QAbstractButton*>{p.par->Button1, p.form2->Button1,
                                                                            p.form3->Button1, p.form6->Button1})
            click(next);
        QTRY_VERIFY(p.dopol->isActiveWindow());
        click(p.dopol->RadioButton1);
        click(p.dopol->Button1);
        QVERIFY(p.services.messages.empty());
        QTRY_COMPARE_WITH_TIMEOUT(p.finished->count(), 1, 120000);
        AnalysisInput expected = workedExample();
        expected.AnalysisParameters.YearCount = 1.0;
        expected.ProductCount = 1.0;
        QTRY_COMPARE(viewLines(*p.main), kInitialView + systemReport(expected));
    }

    // The additional data's example fractions and what its fields admit.
    void additionalDataFields_data()
    {
        const bool point = separator() == ".";
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("initial"); // with the comma; shown in the regional form
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("price A 1, point typed") << 7 << "1,5" << "2.5" << (point ? "2.5" : "25");
        QTest::newRow("variable cost B 2, comma typed") << 18 << "0,5" << "2,5" << (point ? "25" : "2,5");
        QTest::newRow("fixed costs 1, second separator") << 13 << "10680,5" << regional("-1,5,5") << regional("-1,55");
        QTest::newRow("fixed costs 2, whole") << 21 << "10176,5" << "7" << "7";
    }
    void additionalDataFields()
    {
        QFETCH(int, number);
        QFETCH(QString, initial);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Program p;
        useSystemSettings(p);
        QLineEdit* edit = p.dopol->Edit(number);
        QCOMPARE(edit->text(), regional(initial));
        bringToFront(p.dopol);
        QTRY_VERIFY(p.dopol->isActiveWindow());
        typeInto(edit, typed);
        QCOMPARE(edit->text(), kept);
    }

    // The calculators with their defaults and a fraction typed the regional way.
    void calculators()
    {
        Program p;
        auto* kred = qobject_cast<Tkred*>(p.windows->window("Tkred"));
        whileModal(kred, [&p] { p.main->menuItem(QStringLiteral("N32"))->trigger(); }, [&] {
            click(kred->Button3);
            typeInto(kred->Edit1, regional("12,5"));
            click(kred->Button3);
            QCOMPARE(kred->Memo1->toPlainText().split(QLatin1Char('\n')),
                     (QStringList{"", "Итоговая сумма  110", regional("Итоговая сумма  112,5")}));
        });
        auto* invest = qobject_cast<Tinvest*>(p.windows->window("Tinvest"));
        whileModal(invest, [&p] { p.main->menuItem(QStringLiteral("N33"))->trigger(); }, [&] {
            click(invest->Button3);
            QCOMPARE(invest->RichEdit1->lines().mid(0, 5),
                     (QStringList{"", regional("Коэффициент ROI =0,2999"),
                                  regional("Чистый дисконтированный доход (NPV) =652,5883"),
                                  regional("Индекс рентабельности (PI) =1,0652"),
                                  regional("Внутренняя норма доходности (IRR) =12,49%")}));
        });
        auto* plan = qobject_cast<Tplan*>(p.windows->window("Tplan"));
        auto* rez = qobject_cast<Trez*>(p.windows->window("Trez"));
        p.main->menuItem(QStringLiteral("N22"))->trigger();
        QTRY_VERIFY(plan->isActiveWindow());
        click(plan->Button1);
        QTRY_VERIFY(rez->RichEdit1->lines().size() > 4);
        QVERIFY(rez->RichEdit1->lines().contains(regional("Норма маржинального дохода 0,5333")));
        QVERIFY(p.services.messages.empty());
    }
};

int main(int argc, char** argv)
{
    KalvantaApplication app(argc, argv);
    LocaleInTheProgramTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_locale_main_window.moc"
