// The chart window against the engine: every bar is the value the report
// stored, every label the text it printed; sections the report did not
// write are empty with the reason; the window follows the analyses; save,
// print and copy; keyboard and accessibility.
#include <QAbstractBarSeries>
#include <QAccessible>
#include <QApplication>
#include <QBarSet>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <map>

#include "../shell/fake_ui_services.h"
#include "../shell/shell_test_support.h"
#include "analysis/report_builder.h"
#include "charts/chart_canvas.h"
#include "charts/charts_window.h"
#include "inputs/json_loader.h"
#include "numeric/float_errors.h"
#include "numeric/number_format.h"

using namespace kalvanta;
using namespace kalvanta::test;
using charts::ChartCanvas;

Q_DECLARE_METATYPE(kalvanta::AnalysisInput)

namespace {

AnalysisInput example(const char* file)
{
    return loadAnalysisFile(std::string(KALVANTA_SOURCE_DIR) + "/examples/" + file);
}

// One analysis handed to the main window, as the progress window hands it.
void analyse(TForm1& form, const AnalysisInput& input)
{
    form.input() = input;
    form.input().AnalysisParameters.AnalysisPending = 1.0;
    form.FormActivate();
}

// The chart command, as the user gives it: its key.
// The chart command, as the user gives it: its key in the active main
// window. The chart window is then the active one.
Tcharts* openCharts(TForm1& form)
{
    form.activateWindow();
    if (!QTest::qWaitFor([&] { return form.isActiveWindow(); }))
        return nullptr;
    QTest::keyClick(&form, Qt::Key_F9);
    Tcharts* window = form.chartsWindow();
    if (window && !QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }))
        return nullptr;
    return window;
}

// Pages are drawn when first shown: show each once, then the first again.
void showEveryPage(Tcharts* window)
{
    for (int i = window->PageControl1->count() - 1; i >= 0; --i)
        window->PageControl1->setCurrentIndex(i);
}

QString general(double v) { return QString::fromStdString(formatGeneral(v, ",")); }

// Values of one bar set as the chart holds them.
std::vector<double> setValues(const QBarSet* set)
{
    std::vector<double> values;
    for (int i = 0; i < set->count(); ++i)
        values.push_back(set->at(i));
    return values;
}

template <std::size_t N>
std::vector<double> first(const std::array<double, N>& a, std::size_t n)
{
    return {a.begin(), a.begin() + static_cast<std::ptrdiff_t>(n)};
}

} // namespace

class ChartsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::clipboard()->clear(); }

    void seriesAreTheReportsValues_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("dates");
        QTest::newRow("two-year worked example") << "worked-example.json" << 3;
        QTest::newRow("one-year analysis") << "worked-example-one-year.json" << 2;
    }
    void seriesAreTheReportsValues()
    {
        QFETCH(QString, file);
        QFETCH(int, dates);
        const std::size_t nd = std::size_t(dates), ny = nd - 1;
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example(file.toUtf8().constData()));
        const AnalysisResults& r = form.results();
        Tcharts* window = openCharts(form);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->PageControl1->count(), 9); // with the two of the history
        QCOMPARE(window->findChildren<ChartCanvas*>().size(), 1); // only the page shown is drawn
        showEveryPage(window);

        // Each chart's sets, top to bottom as the engine stores them.
        const std::map<QString, std::vector<std::vector<double>>> expected = {
            {"stabilitySurpluses",
             {first(r.OwnWorkingCapitalSurplus, nd), first(r.LongTermSourcesSurplus, nd),
              first(r.TotalSourcesSurplus, nd)}},
            {"absoluteLiquidityRatio", {first(r.AbsoluteLiquidityRatio, nd)}},
            {"quickRatio", {first(r.QuickRatio, nd)}},
            {"currentRatio", {first(r.CurrentRatio, nd)}},
            {"autonomyRatio", {first(r.AutonomyRatio, nd)}},
            {"debtToEquityRatio", {first(r.DebtToEquityRatio, nd)}},
            {"maneuverabilityRatio", {first(r.ManeuverabilityRatio, nd)}},
            {"zScore", {first(r.ZScore, ny)}},
            {"rating", {first(r.Rating, ny)}},
            {"turnover", {first(r.AssetTurnover, ny), first(r.CurrentAssetTurnover, ny)}},
            {"turnoverDays", {first(r.CurrentAssetTurnoverDays, ny), first(r.InventoryTurnoverDays, ny)}},
        };
        const QList<ChartCanvas*> canvases = window->findChildren<ChartCanvas*>();
        QCOMPARE(canvases.size(), 13);
        for (ChartCanvas* canvas : canvases) {
            const QString name = canvas->objectName();
            const QList<QBarSet*> sets = canvas->bars()->barSets();
            QStringList labels;
            if (name == "profitability") {
                // Rows in report order; the chart lists them bottom up, first year on top.
                const ByYear* rows[] = {&r.TotalProfitability,         &r.NonCurrentAssetsProfitability,
                                        &r.EquityProfitability,        &r.CurrentAssetsProfitability,
                                        &r.ReturnOnSales,              &r.AllOperationsProfitability,
                                        &r.OtherOperationsProfitability, &r.ProductProfitability};
                QCOMPARE(std::size_t(sets.size()), ny);
                for (std::size_t y = 0; y < ny; ++y) {
                    const QBarSet* set = sets[int(ny - 1 - y)];
                    QCOMPARE(set->count(), 8);
                    for (int row = 0; row < 8; ++row) {
                        QCOMPARE(set->at(7 - row), (*rows[row])[y]);
                        labels << general((*rows[row])[y]);
                    }
                }
            } else if (name == "balanceStructure") {
                const ByDate* groups[] = {&r.A1, &r.A2, &r.A3, &r.A4, &r.P1, &r.P2, &r.P3, &r.P4};
                QCOMPARE(sets.size(), 8);
                for (int g = 0; g < 8; ++g) {
                    std::vector<double> bars;
                    for (std::size_t d = 0; d < nd; ++d) {
                        bars.push_back(g < 4 ? (*groups[g])[d] : 0.0); // asset bar
                        bars.push_back(g < 4 ? 0.0 : (*groups[g])[d]); // liability bar
                        labels << general((*groups[g])[d]);
                    }
                    QCOMPARE(setValues(sets[g]), bars);
                }
            } else {
                QVERIFY2(expected.count(name), qPrintable(name));
                const auto& want = expected.at(name);
                QCOMPARE(std::size_t(sets.size()), want.size());
                for (std::size_t s = 0; s < want.size(); ++s) {
                    QCOMPARE(setValues(sets[int(s)]), want[s]);
                    for (double v : want[s])
                        labels << general(v);
                }
            }
            QCOMPARE(canvas->valueLabels(), labels);
            QCOMPARE(canvas->accessibleName(), canvas->spec().title);
            const QString description =
                QAccessible::queryAccessibleInterface(canvas)->text(QAccessible::Description);
            for (const QString& label : labels)
                QVERIFY2(description.contains(label), qPrintable(name + ": " + label));
        }
    }

    // The figures the report prints for the worked example, as the charts write them.
    void workedExampleFigures_data()
    {
        QTest::addColumn<QString>("chart");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("label");
        QTest::newRow("surplus 1 at the start") << "stabilitySurpluses" << 0 << "-5331";
        QTest::newRow("absolute liquidity, three decimals at the start") << "absoluteLiquidityRatio" << 0 << "0,009";
        QTest::newRow("absolute liquidity at the end") << "absoluteLiquidityRatio" << 1 << "0,16";
        QTest::newRow("quick ratio at the end") << "quickRatio" << 1 << "0,59";
        QTest::newRow("current ratio at the start") << "currentRatio" << 0 << "1,05";
        QTest::newRow("current ratio at the end") << "currentRatio" << 1 << "1,13";
        QTest::newRow("Z score of year 1") << "zScore" << 0 << "4,01";
        QTest::newRow("rating of year 1, whole") << "rating" << 0 << "49";
    }
    void workedExampleFigures()
    {
        QFETCH(QString, chart);
        QFETCH(int, index);
        QFETCH(QString, label);
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example-one-year.json"));
        Tcharts* window = openCharts(form);
        QVERIFY(window);
        showEveryPage(window);
        auto* canvas = window->findChild<ChartCanvas*>(chart);
        QVERIFY(canvas);
        QCOMPARE(canvas->valueLabels().value(index), label);
    }

    // Stability types beneath the surpluses, and the Z zones beneath the scores.
    void notesNameTypesAndZones()
    {
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        showEveryPage(window);
        QCOMPARE(window->findChild<QLabel*>("stabilitySurplusesNotes")->text().split('\n').first(),
                 QStringLiteral("Начало года: тип (0,0,0) — кризисное финансовое состояние"));
        QCOMPARE(window->findChild<QLabel*>("zScoreNotes")->text(),
                 QStringLiteral("1-й год: Z = 4,01 — Предприятие работает стабильно и банкротство маловероятно.\n"
                                "2-й год: Z = 1,82 — Предприятие находится в зоне неопределенности."));
    }

    // An arithmetic error ends the report: what it wrote is charted, the
    // rest says why it is empty, even over an earlier analysis's values.
    void sectionsTheReportDidNotWrite_data()
    {
        QTest::addColumn<AnalysisInput>("input");
        QTest::addColumn<QStringList>("drawn");
        QTest::addColumn<QStringList>("empty");
        QTest::addColumn<QString>("reason");
        AnalysisInput noShortTermDebt = example("worked-example.json");
        for (BalanceSheet* b : {&noShortTermDebt.Y1End}) {
            b->ShortTermLoans = b->AccountsPayable = b->DueToFounders = b->OtherShortTermLiabilities = 0;
        }
        QTest::newRow("zero short-term debt ends liquidity ratios")
            << noShortTermDebt << QStringList{"stabilitySurpluses", "autonomyRatio", "balanceStructure"}
            << QStringList{"currentRatio", "quickRatio", "absoluteLiquidityRatio", "profitability", "zScore", "rating",
                           "turnoverDays"}
            << QStringLiteral("Раздел «Относительные коэффициенты ликвидности» не рассчитан: на нем отчет прервала "
                              "ошибка «Floating point division by zero.»");
        AnalysisInput noCostOfSales = example("worked-example.json");
        noCostOfSales.ProfitLoss[2].CostOfSales = 0;
        QTest::newRow("zero cost of sales ends profitability")
            << noCostOfSales << QStringList{"currentRatio", "maneuverabilityRatio"}
            << QStringList{"profitability", "zScore", "rating", "turnover"}
            << QStringLiteral("Раздел «Анализ рентабельности» не рассчитан");
    }
    void sectionsTheReportDidNotWrite()
    {
        QFETCH(AnalysisInput, input);
        QFETCH(QStringList, drawn);
        QFETCH(QStringList, empty);
        QFETCH(QString, reason);
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        showEveryPage(window);
        QVERIFY(window->findChild<ChartCanvas*>("zScore"));
        // The failing analysis while the window is open: it redraws at once.
        QVERIFY_THROWS_EXCEPTION(FloatError, analyse(form, input));
        showEveryPage(window);
        for (const QString& name : drawn)
            QVERIFY2(window->findChild<ChartCanvas*>(name), qPrintable(name));
        for (const QString& name : empty) {
            QVERIFY2(!window->findChild<ChartCanvas*>(name), qPrintable(name));
            auto* state = window->findChild<QLabel*>(name);
            QVERIFY2(state, qPrintable(name));
            window->PageControl1->setCurrentWidget(state->parentWidget());
            QVERIFY2(state->isVisible(), qPrintable(name));
            QVERIFY(state->accessibleDescription().startsWith("Раздел «"));
            QVERIFY(state->accessibleDescription().contains("Floating point division by zero."));
        }
        QVERIFY(window->findChild<QLabel*>(empty.first())->accessibleDescription().startsWith(reason));
        QVERIFY(window->Label1->text().contains("Отчет прерван ошибкой «Floating point division by zero»"));
    }

    // A switched-off section over an earlier analysis that had it on.
    void switchedOffSectionIsEmpty()
    {
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        showEveryPage(window);
        QVERIFY(window->findChild<ChartCanvas*>("turnover"));
        AnalysisInput off = example("worked-example.json");
        off.AnalysisParameters.BusinessActivityOn = 0.0;
        analyse(form, off);
        showEveryPage(window);
        for (const char* name : {"turnover", "turnoverDays"}) {
            QVERIFY(!window->findChild<ChartCanvas*>(name));
            QCOMPARE(window->findChild<QLabel*>(name)->accessibleDescription(),
                     QStringLiteral("Раздел «Показатели деловой активности» отключен в параметрах расчета, поэтому "
                                    "его диаграммы нет."));
        }
        QVERIFY(window->findChild<ChartCanvas*>("rating"));
    }

    void commandBeforeAnyAnalysisSaysSo()
    {
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        QVERIFY(!openCharts(form));
        QCOMPARE(services.fake.messages.size(), std::size_t(1));
        QCOMPARE(services.fake.messages[0].title, kChartsCaption);
        QVERIFY(services.fake.messages[0].text.contains("анализа еще не было"));
        // The tool bar button gives the same command.
        form.speedButton(12)->click();
        QCOMPARE(services.fake.messages.size(), std::size_t(2));
    }

    void followsTheAnalyses()
    {
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        window->PageControl1->setCurrentIndex(4);
        QCOMPARE(window->findChild<ChartCanvas*>("zScore")->bars()->barSets()[0]->count(), 2);
        analyse(form, example("worked-example-one-year.json"));
        QCOMPARE(window->findChild<ChartCanvas*>("zScore")->bars()->barSets()[0]->count(), 1);
        QCOMPARE(window->PageControl1->currentIndex(), 4); // the page stays
        QVERIFY(window->Label1->text().contains("за 1 год"));
        // Closed and reopened after a further analysis: the latest one.
        window->close();
        analyse(form, example("worked-example.json"));
        QCOMPARE(openCharts(form), window);
        QCOMPARE(window->findChild<ChartCanvas*>("zScore")->bars()->barSets()[0]->count(), 2);
    }

    void keyboardReachesEveryPage()
    {
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        for (int page = 7; page >= 1; --page) {
            QTest::keyClick(window, Qt::Key(Qt::Key_0 + page), Qt::AltModifier);
            QCOMPARE(window->PageControl1->currentIndex(), page - 1);
        }
        QTest::keyClick(window->PageControl1, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(window->PageControl1->currentIndex(), 1);
        // From the tabs, Tab reaches each chart of the page, which a screen reader then reads.
        window->PageControl1->tabBar()->setFocus(Qt::TabFocusReason);
        QStringList reached;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(reached, QStringList({"absoluteLiquidityRatio", "quickRatio", "currentRatio", "Button1"}));
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void savesPngAndSvg_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("shown");
        QTest::newRow("png") << 1 << "a.png" << "a.png" << "";
        QTest::newRow("svg") << 1 << "b.SVG" << "b.SVG" << "0,009";
        QTest::newRow("svg of the zones, whose names hold <") << 4 << "z.svg" << "z.svg" << "4,01";
        QTest::newRow("no extension: png") << 1 << "c" << "c.png" << "";
    }
    void savesPngAndSvg()
    {
        QFETCH(int, page);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        window->PageControl1->setCurrentIndex(page);
        services.fake.saveAnswers = {dir.filePath(typed)};
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(services.fake.saveDialogs, 1);
        QFile file(dir.filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (written.endsWith(".png")) {
            QVERIFY(bytes.startsWith("\x89PNG"));
            const QImage image = QImage::fromData(bytes);
            QCOMPARE(image.size(), window->PageControl1->currentWidget()->size() * 2);
        } else {
            // Well-formed, with the charts' texts in it.
            QXmlStreamReader xml(bytes);
            QStringList texts;
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::Characters)
                    texts << xml.text().toString();
            QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
            QVERIFY(texts.contains(shown));
            QVERIFY(texts.join(' ').contains(window->pages()[std::size_t(page)].charts[0].title));
        }
        QVERIFY(services.fake.messages.empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written}); // no temporary left
    }

    void refusedSaves()
    {
        QTemporaryDir dir;
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        // Another extension: nothing written, the user is told the formats.
        services.fake.saveAnswers = {dir.filePath("a.jpg")};
        window->Button1->click();
        QCOMPARE(services.fake.messages.size(), std::size_t(1));
        QVERIFY(services.fake.messages[0].text.contains(".png или .svg"));
        QVERIFY(!QFile::exists(dir.filePath("a.jpg")));
        // An existing file and the answer No: kept as it was.
        QFile old(dir.filePath("old.png"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("keep") == 4);
        old.close();
        services.fake.saveAnswers = {old.fileName()};
        services.fake.yesNoAnswers = {false};
        window->Button1->click();
        QCOMPARE(services.fake.questions.size(), std::size_t(1));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("keep"));
        // A folder that does not exist: the error names the file.
        const QString missing = dir.filePath("no/such/folder/x.svg");
        services.fake.saveAnswers = {missing};
        window->Button1->click();
        QCOMPARE(services.fake.messages.size(), std::size_t(2));
        QCOMPARE(services.fake.messages[1].icon, UiServices::Icon::Stop);
        QVERIFY(services.fake.messages[1].text.contains(QDir::toNativeSeparators(missing)));
    }

    void printsThroughTheReportsPrinter()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("chart.pdf");
        FakeServicesScope services;
        services.fake.onPrintDialog = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        window->PageControl1->setCurrentIndex(4);
        QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(services.fake.printDialogs, 1);
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished(10000));
        QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains("Z-счет Альтмана по годам"));
        QProcess info;
        info.start("pdfinfo", {pdf});
        QVERIFY(info.waitForFinished(10000));
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+1\\n")));
    }

    void copiesAPicture()
    {
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        form.show();
        analyse(form, example("worked-example.json"));
        Tcharts* window = openCharts(form);
        window->PageControl1->setCurrentIndex(3);
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasImage());
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), window->PageControl1->currentWidget()->size() * 2);
        QVERIFY(data->text().contains("Рентабельность внеоборотных активов 8,35"));
    }
};

QTEST_MAIN(ChartsWindowTest)
#include "test_charts_window.moc"
