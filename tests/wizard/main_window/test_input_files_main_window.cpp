// Input files in the whole program: statements and input sets fill the
// wizard through the File menu and the command line, the record of the
// last analysis is saved as an input set, and a bad file changes nothing.
#include <QAccessible>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <sstream>

#include "../../shell/fake_ui_services.h"
#include "cli/report_tool.h"
#include "inputs/input_set_writer.h"
#include "inputs/json_loader.h"
#include "program_fixture.h"
#include "shell/input_files.h"
#include "statements/statement_import.h"
#include "ui/application.h"
#include "wizard/wizard_fill.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The command line's report of an input set, line by line.
QStringList commandLineReport(const QString& path)
{
    std::ostringstream out, err;
    const int status = cli::runReportTool({"--date", "2026-12-08", QFile::encodeName(path).toStdString()}, out, err,
                                          kReportDate);
    if (status != cli::kExitOk)
        return {QStringLiteral("kalvanta-report failed: ") + QString::fromStdString(err.str())};
    QStringList lines = QString::fromStdString(out.str()).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

// An analysis nobody typed: other name and unit, fractions, one switch off.
AnalysisInput northRecord(double years, double products)
{
    AnalysisInput r = workedExample();
    r.AnalysisParameters.EnterpriseName = "ООО Север";
    r.AnalysisParameters.UnitName = "млн. рублей";
    r.AnalysisParameters.YearCount = years;
    r.AnalysisParameters.BusinessActivityOn = 0.0;
    r.ProductCount = products;
    r.Y1Start.Cash = 54.5;
    r.Y2End.Inventories = 29706.25;
    r.ProfitLoss[1].Revenue = 35719.1;
    r.ProfitLoss[2].CostOfSales = 0.1 + 28113.9;
    r.AdditionalData[1].PriceA = 1.75;
    r.AdditionalData[2].TaxRatePercent = 20;
    return r;
}

// Presses the keys in the main window, as the user does.
void press(TForm1* main, const QKeySequence& keys)
{
    QTRY_VERIFY(main->isActiveWindow());
    QTest::keySequence(main, keys);
}

// Confirms every wizard dialog as it stands, from the parameters dialog on.
void confirmWizard(Program& p)
{
    QTRY_VERIFY(p.par->isActiveWindow());
    std::vector<WizardWindow*> steps{p.par, p.form2, p.form3};
    if (p.main->input().AnalysisParameters.YearCount == 2.0)
        steps.insert(steps.end(), {p.doubl, p.dabl});
    steps.push_back(p.form6);
    const ParametersGroup& par = p.main->input().AnalysisParameters;
    for (WizardWindow* step : steps) {
        QTRY_VERIFY2(step->isActiveWindow(), qPrintable(step->objectName()));
        click(step->findChild<QPushButton*>(QStringLiteral("Button1")));
    }
    if (par.FinancialLeverageOn == 1.0 || par.OperatingLeverageOn == 1.0) {
        QTRY_VERIFY(p.dopol->isActiveWindow());
        click(p.dopol->Button1);
    }
}

// A fake that also notes whether the parameters dialog was up at each message.
struct Services : FakeUiServices {
    QWidget* par = nullptr;
    std::vector<bool> parShownAtMessage;
    void message(QWidget* parent, Icon icon, const QString& title, const QString& text) override
    {
        parShownAtMessage.push_back(par && par->isVisible());
        FakeUiServices::message(parent, icon, title, text);
    }
};

struct Fixture {
    Program p;
    Services fake;
    QTemporaryDir dir;
    Fixture()
    {
        UiServices::setInstance(&fake);
        fake.par = p.par;
    }
    QString file(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QString::fromUtf8(name));
        writeFile(path, bytes);
        return path;
    }
    QString inputSet(const char* name, const AnalysisInput& r)
    {
        return file(name, QByteArray::fromStdString(inputSetJson(r)));
    }
};

} // namespace

class InputFilesTest : public QObject {
    Q_OBJECT
private slots:
    void theFileMenuOffersTheThreeCommands()
    {
        Program p;
        QMenu* file = p.main->menuBar()->findChildren<QMenu*>().value(0);
        QVERIFY(file);
        QStringList items;
        for (QAction* a : file->actions())
            items << (a->isSeparator() ? QStringLiteral("-")
                                       : a->text() + QLatin1Char('|') + a->shortcut().toString());
        const QStringList expected{"&Новый...|F2",
                                   "&Открыть...|F3",
                                   "&Импорт отчетности...|Ctrl+I",
                                   "Открыть исходные &данные...|Ctrl+Shift+O",
                                   "&Сохранить исходные данные...|Ctrl+Shift+S",
                                   "Анализ &группы файлов...|",
                                   "Анализ за несколько &лет...|Ctrl+Shift+H",
                                   "Сохранить в &Excel...|",
                                   "-"};
        QCOMPARE(items.mid(0, expected.size()), expected);
        // Every shortcut of the program is different.
        QStringList shortcuts;
        for (QAction* a : p.main->findChildren<QAction*>())
            if (!a->shortcut().isEmpty())
                shortcuts << a->shortcut().toString();
        QCOMPARE(QSet<QString>(shortcuts.begin(), shortcuts.end()).size(), shortcuts.size());
        for (const char* name : {"N51", "N52", "N53"})
            QVERIFY(p.main->menuItem(QString::fromLatin1(name))->isEnabled());
    }

    // The input set through the wizard gives the command line's report of it.
    void anInputSetThroughTheWizardGivesTheCommandLineReport_data()
    {
        QTest::addColumn<double>("years");
        QTest::addColumn<double>("products");
        QTest::addColumn<bool>("leverage");
        QTest::newRow("two years, two products") << 2.0 << 2.0 << true;
        QTest::newRow("one year, one product") << 1.0 << 1.0 << true;
        QTest::newRow("two years, no leverage") << 2.0 << 2.0 << false;
    }
    void anInputSetThroughTheWizardGivesTheCommandLineReport()
    {
        QFETCH(double, years);
        QFETCH(double, products);
        QFETCH(bool, leverage);
        Fixture f;
        AnalysisInput r = northRecord(years, products);
        if (!leverage) {
            r.AnalysisParameters.FinancialLeverageOn = 0.0;
            r.AnalysisParameters.OperatingLeverageOn = 0.0;
        }
        const QString path = f.inputSet("north.json", r);
        const QStringList expected = commandLineReport(path);
        QVERIFY(expected.size() > 50);

        f.fake.openAnswers = {path};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+O")));
        QTRY_VERIFY(f.p.par->isActiveWindow());
        QCOMPARE(f.fake.openDialogs, 1);
        QCOMPARE(f.p.par->Edit1->text(), QStringLiteral("ООО Север"));
        QVERIFY(f.fake.messages.empty()); // an input set has no notes
        confirmWizard(f.p);
        QTRY_COMPARE_WITH_TIMEOUT(f.p.finished->count(), 1, 60000);
        QTRY_COMPARE(viewLines(*f.p.main), kInitialView + expected);
        QVERIFY(f.fake.messages.empty());
        QVERIFY(f.fake.questions.empty());
    }

    // A statement: its notes first, then the parameters dialog; the wizard
    // confirmed as filled gives the command line's report of the same file.
    void aStatementFillsTheWizardAndShowsItsNotes_data()
    {
        QTest::addColumn<QString>("example"); // a sample file, or
        QTest::addColumn<QByteArray>("bytes"); // a file written here
        QTest::addColumn<bool>("financialLeverage");
        QTest::addColumn<bool>("twoYears");
        QTest::newRow("tax service's XML, two years")
            << QStringLiteral(KALVANTA_SOURCE_DIR "/examples/statements/NO_BUHOTCH_worked-example.xml") << QByteArray()
            << true << true;
        // A young company: the oldest column is empty, so one year; a loss in brackets; fractions.
        QTest::newRow("line-code table, one year")
            << QString()
            << QByteArray("Организация;ООО Север\nИНН;7701000002\nЕдиница измерения;тыс. руб.\n"
                          "Код;На 31.12.2024;На 31.12.2023;На 31.12.2022\n1150;500,5;400;\n1100;500,5;400;\n"
                          "1210;300;250;\n1230;20;15;\n1250;179,5;135;\n1200;499,5;400;\n1600;1000;800;\n"
                          "1310;100;100;\n1370;(50);20;\n1300;50;120;\n1510;150;120;\n1520;800;560;\n1500;950;680;\n"
                          "1700;1000;800;\nКод;За 2024 г.;За 2023 г.\n2110;2000;1500\n2120;(1800);(1300)\n"
                          "2200;200;200\n2330;(15);(12)\n2340;40;35\n2350;(25);(20)\n2300;(30);50\n2400;(30);40\n")
            << false << false;
    }
    void aStatementFillsTheWizardAndShowsItsNotes()
    {
        QFETCH(QString, example);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, financialLeverage);
        QFETCH(bool, twoYears);
        Fixture f;
        const QString path = example.isEmpty() ? f.file("north.csv", bytes) : example;
        const ImportedAnalysis imported = importStatementFile(QFile::encodeName(path).toStdString());
        QVERIFY(!imported.notes.empty());
        const QStringList expected = commandLineReport(path);
        QVERIFY2(expected.size() > 50, qPrintable(expected.join(QLatin1Char('\n'))));

        f.fake.openAnswers = {path};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+I")));
        QCOMPARE(f.fake.messages.size(), std::size_t{1});
        const FakeUiServices::Message& notes = f.fake.messages.front();
        QCOMPARE(notes.icon, UiServices::Icon::Information);
        QCOMPARE(notes.title, kImportTitle);
        QVERIFY2(notes.text.contains(native(path)), qPrintable(notes.text));
        for (const std::string& note : imported.notes)
            QVERIFY2(notes.text.contains(QString::fromStdString(note)), note.c_str());
        // No product data in a statement: the dialog's product rows stay, and the note says so.
        QVERIFY(notes.text.contains(kProductsKeptNote));
        QCOMPARE(f.fake.parShownAtMessage, std::vector<bool>{false});

        QTRY_VERIFY(f.p.par->isActiveWindow());
        QCOMPARE(f.p.par->Edit1->text(), QString::fromStdString(imported.input.AnalysisParameters.EnterpriseName));
        QCOMPARE(f.p.par->RadioButton1->isChecked(), twoYears);
        QVERIFY(!f.p.par->CheckBox4->isChecked()); // operating leverage: statements hold no product data
        QCOMPARE(f.p.par->CheckBox3->isChecked(), financialLeverage); // credits and interest found
        QCOMPARE(f.p.form2->Edit(2)->text(), fieldText(imported.input.Y1Start.FixedAssets, RegionalSettings::russian()));
        QCOMPARE(f.p.dopol->Edit(7)->text(), QStringLiteral("1,5")); // kept
        confirmWizard(f.p);
        QTRY_COMPARE_WITH_TIMEOUT(f.p.finished->count(), 1, 60000);
        QTRY_COMPARE(viewLines(*f.p.main), kInitialView + expected);
        QCOMPARE(f.fake.messages.size(), std::size_t{1});
    }

    // A refused file: one stop box naming the file and the place; the
    // wizard, the record and the view stay as they were.
    void aBadFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("malformed JSON") << QByteArray("{\"YearCount\": 2,") << "syntax error";
        QTest::newRow("unknown key") << QByteArray("{\"YearCount\": 2, \"Cashh\": 1}") << "unknown key \"Cashh\"";
        QTest::newRow("not a number") << QByteArray("{\"YearCount\": 2, \"Y1Start\": {\"Cash\": \"54\"}}")
                                      << "\"Y1Start.Cash\" must be a number";
        QTest::newRow("three years") << QByteArray("{\"YearCount\": 3}") << "\"YearCount\" must be 1 or 2";
        QTest::newRow("no such file") << QByteArray() << "cannot open";
        QTest::newRow("simplified statements")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Файл ВерсФорм=\"5.08\"><Документ "
                          "КНД=\"0710096\" ОтчетГод=\"2024\"/></Файл>")
            << "KND 0710096";
        QTest::newRow("XML with a DOCTYPE")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE Файл [<!ENTITY x \"1\">]><Файл/>") << "DOCTYPE";
        QTest::newRow("amount not a number")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Файл ВерсФорм=\"5.08\"><Документ "
                          "КНД=\"0710099\" ОтчетГод=\"2024\"><Баланс><Актив СумОтч=\"12x\"/></Баланс>"
                          "<ФинРез/></Документ></Файл>")
            << "\"12x\" is not a number";
    }
    void aBadFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        Fixture f;
        const QString path = bytes.isEmpty() ? f.dir.filePath(QStringLiteral("gone.json")) : f.file("bad.json", bytes);
        const QStringList before = wizardContents(f.p.par->links());
        const AnalysisInput record = f.p.main->input();
        for (const char* keys : {"Ctrl+Shift+O", "Ctrl+I"}) {
            f.fake.messages.clear();
            f.fake.openAnswers = {path};
            press(f.p.main, QKeySequence(QString::fromLatin1(keys)));
            QCOMPARE(f.fake.messages.size(), std::size_t{1});
            const FakeUiServices::Message& shown = f.fake.messages.front();
            QCOMPARE(shown.icon, UiServices::Icon::Stop);
            QCOMPARE(shown.title, kApplicationTitle);
            QVERIFY2(shown.text.contains(QFileInfo(path).fileName()), qPrintable(shown.text));
            QVERIFY2(shown.text.contains(message), qPrintable(shown.text));
            QVERIFY(shown.text.endsWith(QLatin1Char('.')));
            QCOMPARE(wizardContents(f.p.par->links()), before);
            QVERIFY(f.p.main->input() == record);
            QVERIFY(!f.p.par->isVisible());
            QCOMPARE(viewLines(*f.p.main), kInitialView);
        }
        QVERIFY(f.fake.questions.empty());
    }

    // Values the user typed are replaced only after a Yes.
    void typedValuesAreReplacedOnlyAfterAQuestion()
    {
        Fixture f;
        const QString path = f.inputSet("north.json", northRecord(2, 2));

        // Nothing typed: no question.
        f.fake.openAnswers = {path};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+O")));
        QVERIFY(f.fake.questions.empty());
        QCOMPARE(f.p.form2->Edit(12)->text(), QStringLiteral("54,5"));
        QTRY_VERIFY(f.p.par->isActiveWindow());
        click(f.p.par->Button2); // "Закрыть"

        // The user types into the cash field of year 1.
        f.p.form2->show();
        QTRY_VERIFY(f.p.form2->isActiveWindow());
        QLineEdit* cash = f.p.form2->Edit(12);
        cash->setFocus();
        cash->selectAll();
        QTest::keyClicks(cash, "77");
        QCOMPARE(cash->text(), QStringLiteral("77"));
        f.p.form2->hide();
        f.p.main->activateWindow();

        f.fake.openAnswers = {path};
        f.fake.yesNoAnswers = {false};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+O")));
        QCOMPARE(f.fake.questions.size(), std::size_t{1});
        QCOMPARE(f.fake.questions[0].title, QStringLiteral("Confirm"));
        QCOMPARE(f.fake.questions[0].text, kReplaceTypedQuestion.arg(native(path)));
        QCOMPARE(cash->text(), QStringLiteral("77"));
        QVERIFY(!f.p.par->isVisible());

        f.p.main->activateWindow();
        f.fake.openAnswers = {path};
        f.fake.yesNoAnswers = {true};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+O")));
        QCOMPARE(f.fake.questions.size(), std::size_t{2});
        QCOMPARE(cash->text(), QStringLiteral("54,5"));
        QTRY_VERIFY(f.p.par->isActiveWindow());
    }

    void theLastAnalysisIsSavedAsAnInputSet()
    {
        Fixture f;
        // Before any analysis there is nothing to save, and no dialog opens.
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QCOMPARE(f.fake.saveDialogs, 0);
        QCOMPARE(f.fake.messages.size(), std::size_t{1});
        QCOMPARE(f.fake.messages[0].text, kNothingToSave);

        const AnalysisInput r = northRecord(2, 2);
        f.fake.openAnswers = {f.inputSet("north.json", r)};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+O")));
        confirmWizard(f.p);
        QTRY_COMPARE_WITH_TIMEOUT(f.p.finished->count(), 1, 60000);
        QTRY_VERIFY(f.p.main->lastAnalysis().has_value());

        // A name without an extension gets ".json".
        const QString saved = f.dir.filePath(QStringLiteral("kept"));
        f.fake.saveAnswers = {saved};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QCOMPARE(f.fake.messages.size(), std::size_t{1});
        const QByteArray written = readFile(saved + QStringLiteral(".json"));
        QCOMPARE(written, QByteArray::fromStdString(inputSetJson(r)));
        AnalysisInput back = loadAnalysisJson(written.toStdString(), "kept.json");
        AnalysisInput wanted = r;
        wanted.AnalysisParameters.AnalysisPending = 0.0;
        QVERIFY(back == wanted);

        // An existing file is replaced only after a Yes.
        const QString other = f.file("other.json", "keep me");
        f.fake.saveAnswers = {other, QString()};
        f.fake.yesNoAnswers = {false};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QCOMPARE(f.fake.saveDialogs, 3);
        QCOMPARE(f.fake.questions.back().text,
                 QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(native(other)));
        QCOMPARE(readFile(other), QByteArray("keep me"));

        // A folder that cannot take the file: a stop box naming it, nothing written.
        f.fake.saveAnswers = {f.dir.filePath(QStringLiteral("no/such/folder.json"))};
        press(f.p.main, QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QCOMPARE(f.fake.messages.back().icon, UiServices::Icon::Stop);
        QVERIFY2(f.fake.messages.back().text.contains(QStringLiteral("folder.json")),
                 qPrintable(f.fake.messages.back().text));
    }

    // A file on the command line opens by its content.
    void aFileOnTheCommandLineOpensByItsContent()
    {
        Fixture f;
        // A report document (named .json to show that names do not decide).
        const QString report = f.file("report.json", "{\\rtf1\\ansi Report one\\par}");
        f.p.windows->openFile(report);
        QCOMPARE(viewLines(*f.p.main).value(0), QStringLiteral("Report one"));
        QCOMPARE(f.p.main->caption(), kProgramCaption + native(report));
        QVERIFY(!f.p.par->isVisible());

        const QString plain = f.file("notes.txt", "Просто текст\n");
        f.p.windows->openFile(plain);
        QCOMPARE(viewLines(*f.p.main).value(0), QStringLiteral("Просто текст"));

        // An input set (named .rtf) fills the wizard and leaves the view alone.
        const QString inputs = f.inputSet("inputs.rtf", northRecord(1, 2));
        f.p.windows->openFile(inputs);
        QTRY_VERIFY(f.p.par->isActiveWindow());
        QCOMPARE(f.p.par->Edit1->text(), QStringLiteral("ООО Север"));
        QVERIFY(f.p.par->RadioButton2->isChecked());
        QCOMPARE(viewLines(*f.p.main).value(0), QStringLiteral("Просто текст"));

        // A file that is not there: the document reader's message names it.
        f.p.windows->openFile(f.dir.filePath(QStringLiteral("gone.rtf")));
        QVERIFY2(f.fake.messages.back().text.contains(QStringLiteral("gone.rtf")),
                 qPrintable(f.fake.messages.back().text));
    }
};

int main(int argc, char** argv)
{
    KalvantaApplication app(argc, argv);
    InputFilesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_input_files_main_window.moc"
