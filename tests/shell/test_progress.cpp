// The progress window and the hand-over to the main window: one report per
// completed run, whatever activates the main window, close refused, the
// unsaved caption afterwards, and errors shown by the default display.
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

#include "analysis/report_builder.h"
#include "fake_ui_services.h"
#include "numeric/float_errors.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"
#include "shell/progress_window.h"
#include "shell_test_support.h"
#include "ui/application.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

// The report the builder writes for this input, as the view must show it.
QStringList expectedReport(AnalysisInput input)
{
    input.AnalysisParameters.AnalysisPending = 1.0;
    AnalysisResults results;
    VectorSink sink;
    try {
        writePendingReport(input, results, sink, RegionalSettings::russian(), CivilDate{2026, 3, 14});
    } catch (const FloatError&) {
        // The lines before the error stay.
    }
    return toQStringList(sink.lines);
}

QStringList initialLines() { return {QString(), QString(), QString()}; }

// The program's windows with the settings the tests fix, the main window
// holding the worked example for the given number of years.
struct WorkedExampleWindows {
    FakeServicesScope services;
    ProgramWindows windows;
    TForm1* main = windows.mainWindow();

    explicit WorkedExampleWindows(double years = 2.0)
    {
        prepare(*main);
        main->input() = workedExample();
        main->input().AnalysisParameters.YearCount = years;
    }

    // Runs the analysis through the progress window and waits for its end.
    bool runAnalysis()
    {
        QSignalSpy finished(windows.progressWindow(), &Tprogr::runFinished);
        windows.showProgress();
        return finished.wait(120000);
    }
};

} // namespace

class ProgressTest : public QObject {
    Q_OBJECT

private slots:
    void windowIsAFixedDialogWithoutCloseBox()
    {
        AnalysisInput input;
        Tprogr progress(input);
        QCOMPARE(progress.windowTitle(), QStringLiteral("Выполнение расчетов"));
        QCOMPARE(progress.size(), QSize(337, 68));
        QCOMPARE(progress.ProgressBar1->geometry(), QRect(24, 24, 297, 16));
        QVERIFY(!(progress.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(progress.windowFlags() & Qt::WindowSystemMenuHint));
    }

    void aCompletedRunWritesExactlyOneReport()
    {
        WorkedExampleWindows program;
        auto& [services, windows, main] = program;
        const QStringList expected = expectedReport(main->input());
        QVERIFY(expected.size() > 100);
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));

        Tprogr* progress = windows.progressWindow();
        QSignalSpy finished(progress, &Tprogr::runFinished);
        QSignalSpy steps(progress->ProgressBar1, &QProgressBar::valueChanged);
        windows.showProgress();
        QVERIFY(progress->isVisible());

        // Close requests are refused while it is on screen.
        QVERIFY(!progress->close());
        QTest::keyClick(progress, Qt::Key_Escape);
        QVERIFY(progress->isVisible());

        QVERIFY(finished.wait(120000));
        QVERIFY(!progress->isVisible());
        QCOMPARE(main->caption(), kUnsavedCaption);
        QTRY_COMPARE(blockTexts(*main->RichEdit1->document()), initialLines() + expected);
        QCOMPARE(main->input().AnalysisParameters.AnalysisPending, 0.0);
        QCOMPARE(main->RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        // The bar advanced in 100 equal steps from 0.
        QList<int> values;
        for (const QList<QVariant>& args : steps)
            values << args.at(0).toInt();
        QCOMPARE(values.size(), 101);
        for (int i = 0; i <= 100; ++i)
            QCOMPARE(values.at(i), i);

        // Later activations write nothing more.
        windows.helpWindow()->show();
        windows.helpWindow()->activateWindow();
        QTRY_VERIFY(windows.helpWindow()->isActiveWindow());
        windows.helpWindow()->hide();
        main->activateWindow();
        QTRY_VERIFY(main->isActiveWindow());
        QTest::qWait(50);
        QCOMPARE(blockTexts(*main->RichEdit1->document()), initialLines() + expected);
        QVERIFY(services.fake.messages.empty());
    }

    void theReportIsWrittenEvenWhenNothingActivatesTheMainWindow()
    {
        // As under a window manager that activates nothing: the main window
        // is not shown, so no activation can reach it.
        WorkedExampleWindows program(1.0);
        TForm1* main = program.main;
        const QStringList expected = expectedReport(main->input());
        QVERIFY(program.runAnalysis());
        QTRY_COMPARE(blockTexts(*main->RichEdit1->document()), initialLines() + expected);
        QTest::qWait(50);
        QCOMPARE(blockTexts(*main->RichEdit1->document()), initialLines() + expected);
    }

    void twoRunsAppendTwoReports()
    {
        WorkedExampleWindows program(1.0);
        auto& [services, windows, main] = program;
        const QStringList one = expectedReport(main->input());
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QSignalSpy finished(windows.progressWindow(), &Tprogr::runFinished);
        for (int run = 1; run <= 2; ++run) {
            windows.showProgress();
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), run, 120000);
        }
        QTRY_COMPARE(blockTexts(*main->RichEdit1->document()), initialLines() + one + one);
    }

    void activationWithoutAPendingAnalysisWritesNothing()
    {
        WorkedExampleWindows program;
        TForm1* main = program.main;
        main->FormActivate();
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QCOMPARE(blockTexts(*main->RichEdit1->document()), initialLines());
        QCOMPARE(main->caption(), kProgramCaption);
        QCOMPARE(main->RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void aReportEndedByADivisionByZeroShowsTheErrorAndKeepsItsLines()
    {
        WorkedExampleWindows program(1.0);
        auto& [services, windows, main] = program;
        main->input().Y1End.AssetsTotal = 0.0; // the autonomy ratio divides by it
        const QStringList partial = expectedReport(main->input());
        QVERIFY(!partial.isEmpty());
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QVERIFY(program.runAnalysis());
        QTRY_COMPARE(services.fake.messages.size(), std::size_t{1});
        const FakeUiServices::Message& shown = services.fake.messages.front();
        QCOMPARE(shown.icon, UiServices::Icon::Stop);
        QCOMPARE(shown.title, QStringLiteral("Kalvanta 4.5 SP1"));
        QCOMPARE(shown.text, QStringLiteral("Floating point division by zero."));
        QCOMPARE(blockTexts(*main->RichEdit1->document()), initialLines() + partial);
        QCOMPARE(main->input().AnalysisParameters.AnalysisPending, 0.0);
        QCOMPARE(main->caption(), kUnsavedCaption);

        // The program goes on: another activation neither repeats nor shows more.
        main->FormActivate();
        QCOMPARE(services.fake.messages.size(), std::size_t{1});
        QCOMPARE(blockTexts(*main->RichEdit1->document()), initialLines() + partial);
    }

    void afterTheRunClosingAsksTheQuestion()
    {
        WorkedExampleWindows program(1.0);
        auto& [services, windows, main] = program;
        services.fake.defaultAnswer = false;
        QVERIFY(program.runAnalysis());
        main->show();
        QVERIFY(!main->close());
        QCOMPARE(services.fake.questions.size(), std::size_t{1});
        QCOMPARE(services.fake.questions.front().title, QStringLiteral("Confirm"));
        QCOMPARE(services.fake.questions.front().text,
                 QStringLiteral("Результаты расчета не сохранены. Завершить работу ?"));
    }
};

int main(int argc, char** argv)
{
    KalvantaApplication app(argc, argv);
    ProgressTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_progress.moc"
