// The chart pages of a company's history: the ratios and the models per
// year as lines, their values in the accessible description as the history's
// report prints them, the norms and zones, a figure not defined as "—" with
// its reason; empty pages that say why; the chart command after a history
// alone.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineSeries>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "../shell/fake_ui_services.h"
#include "../shell/shell_test_support.h"
#include "charts/chart_canvas.h"
#include "charts/charts_window.h"
#include "history/company_history.h"
#include "inputs/json_loader.h"

using namespace kalvanta;
using namespace kalvanta::test;
using charts::ChartCanvas;

namespace {

// Two years of a company; every figure below is worked out from these lines.
std::shared_ptr<const history::CompanyHistory> twoYears()
{
    auto h = std::make_shared<history::CompanyHistory>();
    h->organisation = "ООО «Пример»";
    h->taxNumber = "7701000001";
    history::HistoryYear y2022;
    y2022.hasBalance = y2022.hasFlows = true;
    y2022.balance = {{1100, 700}, {1200, 300}, {1210, 100}, {1230, 120}, {1250, 30},
                     {1300, 450}, {1400, 250}, {1500, 300}, {1600, 1000}};
    y2022.flows = {{2110, 2000}, {2120, 1500}, {2200, 200}, {2300, 150}, {2330, 10}, {2400, 120}};
    history::HistoryYear y2023;
    y2023.hasBalance = y2023.hasFlows = true;
    y2023.balance = {{1100, 800}, {1200, 400}, {1210, 150}, {1230, 150}, {1250, 50},
                     {1300, 600}, {1400, 350}, {1500, 250}, {1600, 1200}};
    y2023.flows = {{2110, 2400}, {2120, 1800}, {2200, 300}, {2300, 250}, {2330, 20}, {2400, 200}};
    h->years = {{2022, y2022}, {2023, y2023}};
    return h;
}

// The chart command, as the user gives it: its key in the active main window.
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

// A page by its tab's accelerator (Alt+8, Alt+9), as the keyboard reaches it.
void showPage(Tcharts* window, Qt::Key digit)
{
    window->PageControl1->tabBar()->setFocus();
    QTest::keyClick(window->PageControl1->tabBar(), digit, Qt::AltModifier);
}

QString description(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Description) : QString();
}

} // namespace

class HistoryPagesTest : public QObject {
    Q_OBJECT
private slots:
    void descriptionsHoldTheValues_data();
    void descriptionsHoldTheValues();
    void aFigureNotDefinedBreaksTheLine();
    void withoutHistoryThePagesSayWhy();
};

void HistoryPagesTest::descriptionsHoldTheValues_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("expected");
    // Current ratio 300/300 and 400/250, quick (120 + 30)/300 and (150 + 50)/250, absolute 30/300 and 50/250.
    QTest::newRow("liquidity against the norms of the liquidity page")
        << 8 << "historyLiquidity"
        << "Коэффициент текущей ликвидности: 2022 1,00, 2023 1,60; Коэффициент быстрой ликвидности: 2022 0,50, "
           "2023 0,80; Коэффициент абсолютной ликвидности: 2022 0,10, 2023 0,20. Коэффициент текущей ликвидности: "
           "норма ≥ 2; Коэффициент быстрой ликвидности: норма 0,6–0,7; Коэффициент абсолютной ликвидности: норма "
           "0,2–0,25.";
    // Return on assets 200 / ((1000 + 1200) / 2) in per cent; 2022 has no balance before it.
    QTest::newRow("profitability in per cent")
        << 8 << "historyProfitability"
        << "Рентабельность активов: 2022 — (нет данных за 2021 год), 2023 18,2; Рентабельность собственного "
           "капитала: 2022 — (нет данных за 2021 год), 2023 38,1; Рентабельность продаж: 2022 10,0, 2023 12,5; "
           "Чистая рентабельность продаж: 2022 6,0, 2023 8,3.";
    // −0,3877 − 1,0736 × 1 + 0,0579 × 0,55 and −0,3877 − 1,0736 × 1,6 + 0,0579 × 0,5.
    QTest::newRow("two-factor model against its zones")
        << 9 << "historyModel_altman_two_factor"
        << "Двухфакторная модель: 2022 -1,429, 2023 -2,077. < 0: риск низкий; ≥ 0: риск высокий. "
           "2022: риск низкий. 2023: риск низкий.";
    // 0,53 × 200/300 + 0,13 × 300/550 + 0,18 × 300/1000 + 0,16 × 2000/1000; 2023 likewise.
    QTest::newRow("Taffler's three zones")
        << 9 << "historyModel_taffler"
        << "Таффлер и Тишоу (1977): 2022 0,798, 2023 1,080. < 0,2: риск высокий; 0,2–0,3: риск неопределенный; "
           "≥ 0,3: риск низкий. 2022: риск низкий. 2023: риск низкий.";
    // 0,1 × 550/450 + 0,1 × 1000/2000 and 0,1 × 600/600 + 0,1 × 1200/2400 against 1,57 + 0,1 × 1000/2000;
    // 2022's norm needs 2021, so that year has a value and no zone.
    QTest::newRow("Зайцева against the year's norm")
        << 9 << "historyModel_zaitseva_actual"
        << "Фактическое значение: 2022 0,172, 2023 0,150; Норматив: 2022 — (нет данных за 2021 год), 2023 1,620. "
           "2023: риск низкий.";
}

void HistoryPagesTest::descriptionsHoldTheValues()
{
    QFETCH(int, page);
    QFETCH(QString, chart);
    QFETCH(QString, expected);
    FakeServicesScope services;
    TForm1 form;
    prepare(form);
    form.show();
    form.setLatestHistory(twoYears());
    // A history alone opens the chart window: no fixed analysis is needed.
    Tcharts* window = openCharts(form);
    QVERIFY(window);
    QVERIFY(services.fake.messages.empty());
    QCOMPARE(window->PageControl1->count(), 9);
    QCOMPARE(window->Label1->text(), QStringLiteral("Анализа за 1 или 2 года еще не было. История компании: "
                                                    "ООО «Пример», ИНН 7701000001, 2022–2023 годы."));
    QCOMPARE(window->PageControl1->currentWidget()->objectName(), QStringLiteral("historyRatiosPage"));
    showPage(window, Qt::Key(Qt::Key_0 + page));
    QCOMPARE(window->PageControl1->currentIndex(), page - 1);
    auto* canvas = window->findChild<ChartCanvas*>(chart);
    QVERIFY(canvas);
    QCOMPARE(description(canvas), expected);
}

void HistoryPagesTest::aFigureNotDefinedBreaksTheLine()
{
    FakeServicesScope services;
    TForm1 form;
    prepare(form);
    form.show();
    form.setLatestHistory(twoYears());
    Tcharts* window = openCharts(form);
    QVERIFY(window);
    showPage(window, Qt::Key_8);
    auto* canvas = window->findChild<ChartCanvas*>("historyProfitability");
    QVERIFY(canvas);
    // Return on assets has 2023 only: one piece of one point; return on sales both years.
    QCOMPARE(canvas->lines().size(), std::size_t(4));
    QCOMPARE(canvas->lines()[0].size(), std::size_t(1));
    QCOMPARE(canvas->lines()[0][0]->points(), (QList<QPointF>{QPointF(1, 200.0 / 1100 * 100)}));
    QCOMPARE(canvas->lines()[2][0]->count(), 2);
    // Only defined values are written beside their points.
    QCOMPARE(canvas->valueLabels(), (QStringList{"18,2", "38,1", "10,0", "12,5", "6,0", "8,3"}));
}

void HistoryPagesTest::withoutHistoryThePagesSayWhy()
{
    FakeServicesScope services;
    TForm1 form;
    prepare(form);
    form.show();
    // Neither analysis: the command says so, as before there were histories.
    form.activateWindow();
    QTRY_VERIFY(form.isActiveWindow());
    QTest::keyClick(&form, Qt::Key_F9);
    QCOMPARE(services.fake.messages.size(), std::size_t(1));
    QVERIFY(!form.chartsWindow());

    form.input() = loadAnalysisFile(std::string(KALVANTA_SOURCE_DIR) + "/examples/worked-example.json");
    form.input().AnalysisParameters.AnalysisPending = 1.0;
    form.FormActivate();
    Tcharts* window = openCharts(form);
    QVERIFY(window);
    QCOMPARE(window->PageControl1->count(), 9);
    // No history, then one whose files held no figures of any year.
    const QString reasons[] = {QStringLiteral("Анализ за несколько лет еще не выполнен: диаграммы строятся по "
                                              "истории компании (Файл — Анализ за несколько лет...)."),
                               QStringLiteral("В истории компании нет показателей ни за один год.")};
    for (const QString& reason : reasons) {
        if (reason != reasons[0])
            form.setLatestHistory(std::make_shared<const history::CompanyHistory>());
        for (const auto& [key, name] :
             {std::pair{Qt::Key_8, "historyLiquidity"}, std::pair{Qt::Key_9, "historyModel_lis"}}) {
            showPage(window, key);
            auto* empty = window->findChild<QLabel*>(name);
            QVERIFY2(empty, name);
            QCOMPARE(description(empty), reason);
        }
    }
    QCOMPARE(window->Label1->text(),
             QStringLiteral("Последний анализ: отчет за 2 года. История компании: организация не названа."));
    // The history arrives while the window is open: its first page is shown and drawn at once.
    showPage(window, Qt::Key_3);
    form.setLatestHistory(twoYears());
    QCOMPARE(window->PageControl1->currentIndex(), 7);
    QVERIFY(window->findChild<ChartCanvas*>("historyLiquidity"));
}

QTEST_MAIN(HistoryPagesTest)
#include "test_history_pages.moc"
