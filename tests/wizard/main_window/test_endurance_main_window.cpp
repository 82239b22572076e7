// Long runs in one program run: a thousand analyses handed to the main
// window as the progress run hands them over, a few whole wizard roads
// between them, and a thousand presses of each calculator. Every result
// stays equal to the first run's. (Time and memory of the same runs are
// measured by bench/bench_endurance_gui.cpp.)
//
// KALVANTA_ENDURANCE_RUNS sets the count (1000 unless set).
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>

#include <cstdlib>

#include "planning_gui/planning_windows.h"
#include "program_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

int runCount()
{
    const QByteArray set = qgetenv("KALVANTA_ENDURANCE_RUNS");
    bool ok = false;
    const int n = set.toInt(&ok);
    return ok && n > 0 ? n : 1000;
}

// The last `n` paragraphs of a document.
QStringList lastLines(const QTextDocument& document, int n)
{
    QStringList lines;
    for (QTextBlock b = document.lastBlock(); b.isValid() && lines.size() < n; b = b.previous())
        lines.prepend(b.text());
    return lines;
}

// What the progress run does when it ends, then the main window's activation.
void handOver(TForm1& main, double yearCount)
{
    main.input().AnalysisParameters.YearCount = yearCount;
    main.input().AnalysisParameters.AnalysisPending = 1.0;
    main.markUnsaved();
    main.FormActivate();
}

} // namespace

class EnduranceTest : public QObject {
    Q_OBJECT
private slots:
    void analysesInARowStayEqualToTheFirst()
    {
        const int runs = runCount();
        Program p;
        TForm1& main = *p.main;
        main.input() = workedExample();
        QStringList first[3]; // by year count
        for (double years : {1.0, 2.0}) {
            main.N29Click();
            handOver(main, years);
            first[int(years)] = viewLines(main);
        }
        QCOMPARE(first[2], expectedFile("worked_two_year.txt"));
        QVERIFY(first[1].size() > 100);

        for (int run = 1; run <= runs; ++run) {
            const double years = run % 2 ? 1.0 : 2.0;
            main.N29Click(); // the user's Clear
            handOver(main, years);
            if (viewLines(main) != first[int(years)])
                QFAIL(qPrintable(QStringLiteral("analysis %1 differs from the first").arg(run)));
            // Now and then the whole road, wizard and progress run included.
            if (run % (runs / 4 > 0 ? runs / 4 : 1) == 0) {
                main.N29Click();
                p.retypeWorkedExample();
                p.analyse(false);
                QTRY_COMPARE(viewLines(main), first[2]);
                main.input() = workedExample();
            }
        }
        QVERIFY(p.services.messages.empty());
        QCOMPARE(main.input().AnalysisParameters.AnalysisPending, 0.0);
    }

    void calculatorPressesStayEqualToTheFirst()
    {
        const int runs = runCount();
        Program p;
        auto* plan = qobject_cast<Tplan*>(p.windows->window("Tplan"));
        auto* rez = qobject_cast<Trez*>(p.windows->window("Trez"));
        auto* kred = qobject_cast<Tkred*>(p.windows->window("Tkred"));
        auto* invest = qobject_cast<Tinvest*>(p.windows->window("Tinvest"));

        p.main->menuItem(QStringLiteral("N22"))->trigger();
        QTRY_VERIFY(plan->isActiveWindow());
        click(plan->Button1);
        const QStringList plan1 = rez->RichEdit1->lines();
        QCOMPARE(plan1.size(), 18);
        for (int run = 2; run <= runs; ++run) {
            click(plan->Button1);
            if (lastLines(*rez->RichEdit1->document(), plan1.size()) != plan1)
                QFAIL(qPrintable(QStringLiteral("plan %1 differs from the first").arg(run)));
        }
        QCOMPARE(rez->RichEdit1->document()->blockCount(), runs * plan1.size());
        plan->close();
        rez->close();

        whileModal(kred, [&p] { p.main->menuItem(QStringLiteral("N32"))->trigger(); }, [&] {
            kred->ComboBox1->setCurrentIndex(1); // compound interest: logarithm and power
            click(kred->Button3);
            const QString credit1 = kred->Memo1->document()->lastBlock().text();
            QVERIFY(credit1.startsWith(QStringLiteral("Итоговая сумма ")));
            for (int run = 2; run <= runs; ++run) {
                click(kred->Button3);
                if (kred->Memo1->document()->lastBlock().text() != credit1)
                    QFAIL(qPrintable(QStringLiteral("credit %1 differs from the first").arg(run)));
            }
            QCOMPARE(kred->Memo1->document()->blockCount(), runs + 1);
        });

        whileModal(invest, [&p] { p.main->menuItem(QStringLiteral("N33"))->trigger(); }, [&] {
            click(invest->Button3); // the IRR search runs every time
            const QStringList invest1 = invest->RichEdit1->lines();
            QCOMPARE(invest1.size(), 7);
            for (int run = 2; run <= runs; ++run) {
                click(invest->Button3);
                if (lastLines(*invest->RichEdit1->document(), invest1.size()) != invest1)
                    QFAIL(qPrintable(QStringLiteral("investment %1 differs from the first").arg(run)));
            }
            QCOMPARE(invest->RichEdit1->document()->blockCount(), runs * invest1.size());
        });
        QVERIFY(p.services.messages.empty());
    }
};

QTEST_MAIN(EnduranceTest)
#include "test_endurance_main_window.moc"
