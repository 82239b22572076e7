// Arithmetic extremes through the whole program: amounts of 1E308 and
// 5E-324, negative totals that pass the balance identities and every zero
// divisor, typed into the wizard or a calculator like a user does. The
// platform's message in a stop box, the lines written before the error
// stay, and the next worked example writes its whole report.
//
// The application object is a plain QApplication on purpose: it catches
// nothing, so an error that escaped a handler into Qt would fail the test
// instead of being shown by the program's last resort.
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include "planning_gui/planning_windows.h"
#include "program_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

const QString kDivisionByZero = QStringLiteral("Floating point division by zero.");
const QString kOverflow = QStringLiteral("Floating point overflow.");
constexpr int kOneYearReportLines = 161; // the worked example over one year

struct ReportCase {
    const char* name;
    std::vector<TypedField> typed; // one-year analysis: right columns are the year's end
    QString message;               // empty: the report completes
    int lines;                     // lines the report writes
    QString contains;              // a text one of them holds
};

const std::vector<ReportCase>& reportCases()
{
    static const std::vector<ReportCase> cases{
        {"zero AssetsTotal",
         {{"TForm2", 20, "0"}, {"TForm2", 29, "0"}, {"TForm2", 30, "0"},
          {"TForm3", 26, "0"}, {"TForm3", 35, "0"}, {"TForm3", 36, "0"}},
         kDivisionByZero, 22, {}},
        {"zero short-term liabilities",
         {{"TForm3", 30, "0"}, {"TForm3", 35, "0"}, {"TForm3", 26, "22862"}},
         kDivisionByZero, 55, QStringLiteral("Cрочные обязательства (П1)")},
        {"zero revenue", {{"Tform6", 1, "0"}}, kDivisionByZero, 65, {}},
        {"zero cost of sales", {{"Tform6", 2, "0"}}, kDivisionByZero, 65, {}},
        {"zero other operating and non-operating income", {{"Tform6", 9, "0"}, {"Tform6", 11, "0"}},
         kDivisionByZero, 65, {}},
        {"1E308 in cash and short-term investments", {{"TForm2", 26, "1E308"}, {"TForm2", 27, "1E308"}},
         kOverflow, 37, {}},
        {"1E308 fixed costs", {{"Tdopol", 13, "1E308"}}, kOverflow, 128,
         QStringLiteral("Прогноз банкротства (Z-счет Альтмана): ")},
        {"5E-324 accounts payable divides", {{"TForm3", 30, "5E-324"}}, kOverflow, 55, {}},
        {"5E-324 cash", {{"TForm2", 27, "5E-324"}}, QString(), kOneYearReportLines,
         QStringLiteral("4,94065645841247E-324")},
        {"negative totals that pass the identities",
         {{"TForm2", 20, "-730"}, {"TForm2", 29, "-22132"}, {"TForm2", 30, "-22862"},
          {"TForm3", 26, "-3311"}, {"TForm3", 35, "-19551"}, {"TForm3", 36, "-22862"}},
         QString(), kOneYearReportLines, QStringLiteral("Z-счет Альтмана за период равен -5,21")},
    };
    return cases;
}

QStringList memoLines(const Tkred& kred) { return kred.Memo1->toPlainText().split(QLatin1Char('\n')); }

} // namespace

class ExtremesInTheProgramTest : public QObject {
    Q_OBJECT
private slots:
    void reportExtremes_data()
    {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < reportCases().size(); ++i)
            QTest::newRow(reportCases()[i].name) << int(i);
    }
    void reportExtremes()
    {
        QFETCH(int, row);
        const ReportCase& c = reportCases().at(static_cast<std::size_t>(row));
        Program p;
        p.analyse(true, c.typed);
        if (QTest::currentTestFailed())
            return;

        // The view holds exactly what the builder wrote from the typed record.
        const QStringList written = builderReport(p.main->input());
        QCOMPARE(written.size(), c.lines);
        QTRY_COMPARE(viewLines(*p.main), kInitialView + written);
        if (!c.contains.isEmpty())
            QVERIFY2(std::any_of(written.begin(), written.end(),
                                 [&c](const QString& line) { return line.contains(c.contains); }),
                     qPrintable(c.contains));
        if (c.message.isEmpty()) {
            QVERIFY(p.services.messages.empty());
        } else {
            QTRY_COMPARE(p.services.messages.size(), std::size_t{1});
            QCOMPARE(p.services.messages.front().icon, UiServices::Icon::Stop);
            QCOMPARE(p.services.messages.front().title, QStringLiteral("Kalvanta 4.5 SP1"));
            QCOMPARE(p.services.messages.front().text, c.message);
        }
        QCOMPARE(p.main->input().AnalysisParameters.AnalysisPending, 0.0);
        QCOMPARE(p.main->caption(), kUnsavedCaption);

        // Activations write nothing more; the next analysis is whole.
        p.main->activateWindow();
        QTest::qWait(20);
        QCOMPARE(viewLines(*p.main), kInitialView + written);
        const std::size_t shown = p.services.messages.size();
        p.retypeWorkedExample();
        p.analyse(false);
        QTRY_COMPARE(viewLines(*p.main), kInitialView + written + expectedFile("worked_two_year.txt"));
        QCOMPARE(p.services.messages.size(), shown);
    }

    void productionPlanExtremes_data()
    {
        QTest::addColumn<bool>("volumeGoal");
        QTest::addColumn<QStringList>("typed"); // pairs: field number, text
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("total revenue 0") << false << QStringList{"1", "0", "2", "0", "3", "0"} << kDivisionByZero
                                         << QStringList();
        QTest::newRow("margin ratio 0") << false << QStringList{"1", "5", "2", "10", "3", "2"} << kDivisionByZero
                                        << QStringList();
        QTest::newRow("price equal to its variable cost") << false << QStringList{"2", "10"} << kDivisionByZero
                                                          << QStringList();
        QTest::newRow("1E308 price") << false << QStringList{"1", "1E308"} << kOverflow << QStringList();
        QTest::newRow("set revenue equal to set costs")
            << true << QStringList{"1", "5", "2", "10", "3", "2", "12", "50"} << kDivisionByZero
            << QStringList{" vr24", " perem24"};
    }
    void productionPlanExtremes()
    {
        QFETCH(bool, volumeGoal);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        Program p;
        auto* plan = qobject_cast<Tplan*>(p.windows->window("Tplan"));
        auto* rez = qobject_cast<Trez*>(p.windows->window("Trez"));
        plan->setRegionalSettings(RegionalSettings::russian());
        rez->setRegionalSettings(RegionalSettings::russian());
        QVERIFY(p.main->menuItem(QStringLiteral("N22"))->isEnabled());

        // The worked example first: what every later press must give again.
        p.main->menuItem(QStringLiteral("N22"))->trigger();
        QTRY_VERIFY(plan->isActiveWindow());
        click(volumeGoal ? plan->RadioButton2 : plan->RadioButton1);
        const QStringList texts = [plan] {
            QStringList t;
            for (int i = 1; i <= 14; ++i)
                t << plan->edit(i)->text();
            return t;
        }();
        click(plan->Button1);
        QTRY_VERIFY(rez->RichEdit1->lines().size() > 4);
        const QStringList first = rez->RichEdit1->lines();

        plan->activateWindow();
        QTRY_VERIFY(plan->isActiveWindow());
        for (int i = 0; i + 1 < typed.size(); i += 2)
            plan->edit(typed[i].toInt())->setText(typed[i + 1]);
        click(plan->Button1);
        QTRY_COMPARE(p.services.messages.size(), std::size_t{1});
        QCOMPARE(p.services.messages.front().icon, UiServices::Icon::Stop);
        QCOMPARE(p.services.messages.front().title, QStringLiteral("Kalvanta 4.5 SP1"));
        QCOMPARE(p.services.messages.front().text, message);
        QCOMPARE(rez->RichEdit1->lines(), first + written);

        plan->activateWindow();
        QTRY_VERIFY(plan->isActiveWindow());
        for (int i = 1; i <= 14; ++i)
            plan->edit(i)->setText(texts[i - 1]);
        click(plan->Button1);
        QTRY_COMPARE(rez->RichEdit1->lines(), first + written + first);
        QCOMPARE(p.services.messages.size(), std::size_t{1});
    }

    void creditExtremes_data()
    {
        QTest::addColumn<bool>("initialSum");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("sum");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("message");
        QTest::newRow("simple interest divisor 0") << true << 0 << "200" << "-100" << kDivisionByZero;
        QTest::newRow("1E308 doubled") << false << 0 << "1E308" << "100" << kOverflow;
        QTest::newRow("compound growth 0") << false << 1 << "100" << "-200" << kDivisionByZero;
    }
    void creditExtremes()
    {
        QFETCH(bool, initialSum);
        QFETCH(int, kind);
        QFETCH(QString, sum);
        QFETCH(QString, rate);
        QFETCH(QString, message);
        Program p;
        auto* kred = qobject_cast<Tkred*>(p.windows->window("Tkred"));
        kred->setRegionalSettings(RegionalSettings::russian());
        whileModal(kred, [&p] { p.main->menuItem(QStringLiteral("N32"))->trigger(); }, [&] {
            click(initialSum ? kred->RadioButton2 : kred->RadioButton1);
            kred->ComboBox1->setCurrentIndex(kind);
            click(kred->Button3);
            const QStringList first = memoLines(*kred);
            QCOMPARE(first.size(), 2);

            (initialSum ? kred->Edit4 : kred->Edit3)->setText(sum);
            const QString defaultRate = kred->Edit1->text();
            kred->Edit1->setText(rate);
            click(kred->Button3);
            QCOMPARE(p.services.messages.size(), std::size_t{1});
            QCOMPARE(p.services.messages.front().icon, UiServices::Icon::Stop);
            QCOMPARE(p.services.messages.front().title, QStringLiteral("Kalvanta 4.5 SP1"));
            QCOMPARE(p.services.messages.front().text, message);
            QCOMPARE(memoLines(*kred), first);

            (initialSum ? kred->Edit4 : kred->Edit3)->setText(initialSum ? QStringLiteral("200") : QStringLiteral("100"));
            kred->Edit1->setText(defaultRate);
            click(kred->Button3);
            QCOMPARE(memoLines(*kred), first + first.mid(1));
        });
    }

    void investmentExtremes_data()
    {
        QTest::addColumn<QString>("investment");
        QTest::addColumn<QString>("message");
        QTest::newRow("5E-324 investment") << "5E-324" << kOverflow;
        QTest::newRow("investment 0") << "0" << kDivisionByZero;
    }
    void investmentExtremes()
    {
        QFETCH(QString, investment);
        QFETCH(QString, message);
        Program p;
        auto* invest = qobject_cast<Tinvest*>(p.windows->window("Tinvest"));
        invest->setRegionalSettings(RegionalSettings::russian());
        whileModal(invest, [&p] { p.main->menuItem(QStringLiteral("N33"))->trigger(); }, [&] {
            click(invest->Button3);
            const QStringList first = invest->RichEdit1->lines();
            QVERIFY(first.size() >= 5);
            const QString defaultInvestment = invest->Edit1->text();
            invest->Edit1->setText(investment);
            click(invest->Button3);
            QCOMPARE(p.services.messages.size(), std::size_t{1});
            QCOMPARE(p.services.messages.front().text, message);
            QCOMPARE(invest->RichEdit1->lines(), first);
            invest->Edit1->setText(defaultInvestment);
            click(invest->Button3);
            QCOMPARE(invest->RichEdit1->lines().mid(first.size()), first);
        });
    }
};

QTEST_MAIN(ExtremesInTheProgramTest)
#include "test_extremes_main_window.moc"
