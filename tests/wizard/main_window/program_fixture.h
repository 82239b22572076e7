#pragma once
// The whole desktop program for road tests: every window as start-up creates
// them, a fixed clock and Russian regional settings, a recording message
// service, and the user's steps from "Новый..." to the report.
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "analysis/report_builder.h"
#include "numeric/float_errors.h"
#include "shell/clock_source.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"
#include "shell/progress_window.h"
#include "shell/report_view.h"
#include "wizard_fixture.h"

namespace kalvanta::test {

inline const CivilDate kReportDate{2026, 12, 8}; // the date of the expected reports

inline QStringList viewLines(const TForm1& main)
{
    QStringList lines;
    for (QTextBlock b = main.RichEdit1->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

// A hand-composed expected report of the worked example.
inline QStringList expectedFile(const char* name)
{
    QFile file(QStringLiteral(KALVANTA_SOURCE_DIR "/tests/analysis/expected/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot read ") + file.fileName()};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// What the report builder writes for a record, as the view must show it.
inline QStringList builderReport(AnalysisInput input)
{
    input.AnalysisParameters.AnalysisPending = 1.0;
    AnalysisResults results;
    VectorSink sink;
    try {
        writePendingReport(input, results, sink, RegionalSettings::russian(), kReportDate);
    } catch (const FloatError&) {
        // The lines written before an arithmetic error stay in the view.
    }
    QStringList lines;
    for (const std::string& line : sink.lines)
        lines << QString::fromStdString(line);
    return lines;
}

// Runs `steps` while `dialog` is up in its own modal loop (started by
// `open`), then closes the dialog whatever the steps did.
inline void whileModal(QDialog* dialog, const std::function<void()>& open, const std::function<void()>& steps)
{
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
        struct Closer {
            QDialog* d;
            ~Closer() { d->reject(); }
        } closer{dialog};
        QTRY_VERIFY(dialog->isActiveWindow());
        steps();
        ran = true;
    });
    open();
    QVERIFY(ran);
}

inline const QStringList kInitialView{QString(), QString(), QString()};

// One field of a wizard dialog and the text typed into it. Dialogs by class
// name; the number is the field's EditN name, for Tform6 its row P1…P14 of year 1.
struct TypedField {
    const char* dialog;
    int number;
    const char* text;
};

class Program {
public:
    Program()
    {
        UiServices::setInstance(&services);
        windows = std::make_unique<ProgramWindows>();
        main = windows->mainWindow();
        main->setRegionalSettings(RegionalSettings::russian());
        ClockSource clock;
        clock.now = [] { return ClockTime{14, 5, 9}; };
        clock.today = [] { return kReportDate; };
        main->setClock(clock);
        for (const char* name : {"Tpar", "TForm2", "TForm3", "Tdoubl", "Tdabl", "Tform6", "Tdopol"}) {
            auto* dialog = qobject_cast<WizardWindow*>(windows->window(QString::fromLatin1(name)));
            dialog->setRegionalSettings(RegionalSettings::russian());
            for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
                initialTexts.push_back({edit, edit->text()});
        }
        par = qobject_cast<Tpar*>(windows->window("Tpar"));
        form2 = qobject_cast<TForm2*>(windows->window("TForm2"));
        form3 = qobject_cast<TForm3*>(windows->window("TForm3"));
        doubl = qobject_cast<Tdoubl*>(windows->window("Tdoubl"));
        dabl = qobject_cast<Tdabl*>(windows->window("Tdabl"));
        form6 = qobject_cast<Tform6*>(windows->window("Tform6"));
        dopol = qobject_cast<Tdopol*>(windows->window("Tdopol"));
        finished = std::make_unique<QSignalSpy>(windows->progressWindow(), &Tprogr::runFinished);
        main->show();
        main->activateWindow();
    }
    ~Program() { UiServices::setInstance(nullptr); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // F2 in the main window.
    void newCalculation()
    {
        QTRY_VERIFY(main->isActiveWindow());
        QTest::keyClick(main, Qt::Key_F2);
        QTRY_VERIFY(par->isActiveWindow());
    }

    // The texts every field had at start-up: the worked example.
    void retypeWorkedExample()
    {
        for (const auto& [edit, text] : initialTexts)
            edit->setText(text);
    }

    QLineEdit* field(const TypedField& typed) const
    {
        if (QLatin1String(typed.dialog) == QLatin1String("Tform6"))
            return form6->year1.at(static_cast<std::size_t>(typed.number - 1));
        return windows->window(QString::fromLatin1(typed.dialog))
            ->findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(typed.number), Qt::FindDirectChildrenOnly);
    }

    // The whole wizard from "Новый..." to the end of the progress run, with
    // the given texts typed into the dialogs on the way.
    void analyse(bool oneYear, const std::vector<TypedField>& typed = {})
    {
        const int runs = finished->count();
        newCalculation();
        click(oneYear ? par->RadioButton2 : par->RadioButton1);
        std::vector<WizardWindow*> steps{par, form2, form3};
        if (!oneYear)
            steps.insert(steps.end(), {doubl, dabl});
        steps.insert(steps.end(), {form6, dopol});
        for (WizardWindow* step : steps) {
            QTRY_VERIFY2(step->isActiveWindow(), qPrintable(step->objectName()));
            for (const TypedField& t : typed) {
                if (step->objectName() != QLatin1String(t.dialog))
                    continue;
                QLineEdit* edit = field(t);
                QVERIFY2(edit, t.dialog);
                edit->setText(QString::fromUtf8(t.text));
            }
            QPushButton* next = step->findChild<QPushButton*>(QStringLiteral("Button1"));
            QVERIFY(next);
            click(next);
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished->count(), runs + 1, 120000);
    }

    RecordingServices services;
    std::unique_ptr<ProgramWindows> windows;
    TForm1* main = nullptr;
    Tpar* par = nullptr;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    Tdoubl* doubl = nullptr;
    Tdabl* dabl = nullptr;
    Tform6* form6 = nullptr;
    Tdopol* dopol = nullptr;
    std::unique_ptr<QSignalSpy> finished;
    std::vector<std::pair<QLineEdit*, QString>> initialTexts;
};

} // namespace kalvanta::test
