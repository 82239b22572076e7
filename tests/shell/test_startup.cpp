// Start-up: the windows and their order, the main window's caption, size,
// menu, tool bar, status hints, clock and view switches, the splash.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "fake_ui_services.h"
#include "shell/busy_work.h"
#include "shell/drawn_pictures.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"
#include "shell/report_view.h"
#include "shell/splash_window.h"

using namespace kalvanta;

namespace {

ClockSource fixedClock(int h, int m, int s)
{
    ClockSource clock;
    clock.now = [h, m, s] { return ClockTime{h, m, s}; };
    clock.today = [] { return CivilDate{2026, 3, 14}; };
    return clock;
}

void hover(QWidget* widget)
{
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(widget, &enter);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void windowsAreCreatedOnceInTheProgramsOrder()
    {
        ProgramWindows windows;
        QStringList names;
        for (QWidget* w : windows.windows())
            names << w->objectName();
        QStringList expected;
        for (const QString& name : windowCreationOrder())
            expected << name;
        QCOMPARE(names, expected);
        QCOMPARE(names.front(), QStringLiteral("TForm1"));
#if defined(KALVANTA_HAVE_WIZARD) && defined(KALVANTA_HAVE_PLANNING_GUI)
        QCOMPARE(names, QStringList({"TForm1", "Trez", "Tdopol", "TForm2", "Tdoubl", "TForm3", "Tdabl", "Tform6",
                                     "TForm9", "TForm14", "Thelp", "Tpar", "Tplan", "Tabout", "Tprogr", "Tkred",
                                     "Tinvest"}));
#endif
        // Created, not shown: the event loop shows the main window.
        for (QWidget* w : windows.windows())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void captionsAreTheWindowsAccessibleNames_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::newRow("main") << "TForm1" << "Kalvanta 4.5";
        QTest::newRow("progress") << "Tprogr" << "Выполнение расчетов";
        QTest::newRow("help") << "Thelp" << "Справка";
        QTest::newRow("about program") << "TForm9" << "О программе";
        QTest::newRow("about author") << "Tabout" << "Об авторe";
    }
    void captionsAreTheWindowsAccessibleNames()
    {
        QFETCH(QString, window);
        QFETCH(QString, caption);
        ProgramWindows windows;
        QWidget* w = windows.window(window);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->accessibleName(), caption);
    }

    void mainWindowStartsAsStated()
    {
        TForm1 form;
        QCOMPARE(form.caption(), QStringLiteral("Kalvanta 4.5"));
        QCOMPARE(form.size(), QSize(734, 518));
        QCOMPARE(form.ToolBar1->height(), 33);
        QCOMPARE(form.StatusBar1->height(), 19);
        QCOMPARE(form.speedButton(1)->height(), 23);
        QCOMPARE(form.input(), startupInput());
        ReportView* view = form.RichEdit1;
        QCOMPARE(view->toPlainText(), QStringLiteral("\n\n"));
        QCOMPARE(view->document()->blockCount(), 3);
        QCOMPARE(view->lineWrapMode(), QTextEdit::WidgetWidth);
        QCOMPARE(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(!view->isReadOnly());
        QCOMPARE(view->accessibleName(), QStringLiteral("Окно вывода отчета"));
        QCOMPARE(view->font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(view->font().pointSize(), 8);
        QCOMPARE(view->palette().color(QPalette::Base), QColor(Qt::white));
    }

    void menuItemsCarryTheirCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("bitmap");
        QTest::newRow("N2") << "N2" << "&Новый..." << "F2" << true;
        QTest::newRow("N3") << "N3" << "&Открыть..." << "F3" << true;
        QTest::newRow("N5") << "N5" << "Со&хранить как..." << "" << true;
        QTest::newRow("N54") << "N54" << "&Экспорт в PDF..." << "Ctrl+E" << false;
        QTest::newRow("N6") << "N6" << "&Печать..." << "F12" << true;
        QTest::newRow("N7") << "N7" << "Нас&тройка печати..." << "F8" << true;
        QTest::newRow("N16") << "N16" << "&Выход" << "" << false;
        QTest::newRow("N10") << "N10" << "Выре&зать" << "Ctrl+X" << false;
        QTest::newRow("N11") << "N11" << "К&опировать" << "Ctrl+C" << false;
        QTest::newRow("N17") << "N17" << "Вс&тавить" << "Ctrl+V" << false;
        QTest::newRow("N18") << "N18" << "В&ыделить все" << "" << false;
        QTest::newRow("N29") << "N29" << "Удалить все" << "" << false;
        QTest::newRow("N24") << "N24" << "В&ремя" << "" << false;
        QTest::newRow("C1") << "C1" << "Cтр&ока подсказок" << "" << false;
        QTest::newRow("N31") << "N31" << "Формат шрифта" << "" << false;
        QTest::newRow("N36") << "N36" << "Диаграммы показателей" << "F9" << true;
        QTest::newRow("N22") << "N22" << "Производство" << "" << false;
        QTest::newRow("N32") << "N32" << "Кредиты и займы" << "" << false;
        QTest::newRow("N33") << "N33" << "Инвестиции" << "" << false;
        QTest::newRow("N19") << "N19" << "Справка" << "" << true;
        QTest::newRow("N13") << "N13" << "О програ&мме..." << "" << false;
        QTest::newRow("N34") << "N34" << "О программе" << "" << false;
        QTest::newRow("N35") << "N35" << "Об авторe" << "" << false;
    }
    void menuItemsCarryTheirCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, shortcut);
        QFETCH(bool, bitmap);
        ProgramWindows windows;
        QAction* item = windows.mainWindow()->menuItem(name);
        QVERIFY(item);
        QCOMPARE(item->text(), text);
        QCOMPARE(item->shortcut().toString(QKeySequence::PortableText), shortcut);
        QCOMPARE(!item->icon().isNull(), bitmap);
        bool built = true;
#ifndef KALVANTA_HAVE_WIZARD
        built = built && name != "N2";
#endif
#ifndef KALVANTA_HAVE_PLANNING_GUI
        built = built && name != "N22" && name != "N32" && name != "N33";
#endif
        QCOMPARE(item->isEnabled(), built);
    }

    void menusAreInTheirOrder()
    {
        TForm1 form;
        QStringList titles;
        for (QAction* a : form.menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, QStringList({"&Файл", "Прав&ка", "Ви&д", "П&ланирование", "&Помощь"}));
        const auto names = [](QMenu* menu) {
            QStringList out;
            for (QAction* a : menu->actions())
                out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
            return out;
        };
        const QList<QAction*> menus = form.menuBar()->actions();
        QCOMPARE(names(menus[0]->menu()), QStringList({"N2", "N3", "N51", "N52", "N53", "NBatch", "NHistory",
                                                       "NHistoryXlsx", "-", "N5", "N54", "N6", "N7", "-", "N16"}));
        QCOMPARE(names(menus[1]->menu()), QStringList({"N10", "N11", "N17", "N18", "N29"}));
        QCOMPARE(names(menus[2]->menu()), QStringList({"N24", "C1", "-", "N31", "N36"}));
        QCOMPARE(names(menus[3]->menu()), QStringList({"N22", "N32", "N33"}));
        QCOMPARE(names(menus[4]->menu()), QStringList({"N19", "N13"}));
        QCOMPARE(names(form.menuItem("N13")->menu()), QStringList({"N34", "N35"}));
        QCOMPARE(names(form.PopupMenu1), QStringList({"scop", "N26", "N25", "N27", "N28"}));
        QStringList popupTexts;
        for (QAction* a : form.PopupMenu1->actions())
            popupTexts << a->text();
        QCOMPARE(popupTexts, QStringList({"Копировать", "Вырезать", "Вставить", "Выделить все", "Очистить"}));
    }

    void commandsWithoutTheirWindowsAreDisabled()
    {
        TForm1 form; // alone: no wizard, planning, help or about windows wired
        for (const char* name : {"N2", "N22", "N32", "N33", "N19", "N34", "N35", "N51", "N52", "N53", "NHistoryXlsx"})
            QVERIFY2(!form.menuItem(QString::fromUtf8(name))->isEnabled(), name);
        QVERIFY(!form.speedButton(1)->isEnabled());
        QVERIFY(!form.speedButton(8)->isEnabled());
        QVERIFY(form.menuItem("N3")->isEnabled());
        QVERIFY(form.speedButton(2)->isEnabled());
    }

    void commandsOpenTheWizardAndTheCalculators()
    {
        ProgramWindows windows;
        TForm1* main = windows.mainWindow();
        const QString text = main->RichEdit1->toPlainText();
#ifdef KALVANTA_HAVE_WIZARD
        // New calculation: the parameters dialog, without waiting; view and caption untouched.
        main->speedButton(1)->click();
        QVERIFY(windows.window("Tpar")->isVisible());
        windows.window("Tpar")->hide();
        main->show();
        main->activateWindow();
        QTRY_VERIFY(main->isActiveWindow());
        QTest::keyClick(main, Qt::Key_F2);
        QVERIFY(windows.window("Tpar")->isVisible());
        QCOMPARE(main->RichEdit1->toPlainText(), text);
        QCOMPARE(main->caption(), kProgramCaption);
#endif
#ifdef KALVANTA_HAVE_PLANNING_GUI
        main->menuItem("N22")->trigger();
        QVERIFY(windows.window("Tplan")->isVisible());
        for (const auto& [item, name] : {std::pair{"N32", "Tkred"}, std::pair{"N33", "Tinvest"}}) {
            QString shown;
            QTimer::singleShot(50, this, [&shown] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    shown = modal->objectName();
                    modal->close();
                }
            });
            main->menuItem(QString::fromUtf8(item))->trigger();
            QCOMPARE(shown, QString::fromUtf8(name));
        }
#endif
    }

    void toolBarButtonsHaveTooltipsAndStatusTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("status");
        QTest::newRow("1") << 1 << "Новый расчет" << "Новый анализ баланса";
        QTest::newRow("2") << 2 << "Открыть" << "Открыть отчет или файл помощи";
        QTest::newRow("3") << 3 << "Сохранить как..." << "Сохранить текущий отчет";
        QTest::newRow("4") << 4 << "Печать" << "Печать отчета на принтере";
        QTest::newRow("5") << 5 << "Настройка печати" << "Настройка печати";
        QTest::newRow("9") << 9 << "Вырезать в буфер" << "Вырезать в буфер";
        QTest::newRow("6") << 6 << "Копировать в буфер" << "Копировать в буфер";
        QTest::newRow("7") << 7 << "Вставить из буфера" << "Вставить из буфера";
        QTest::newRow("8") << 8 << "Справка" << "Справка о программе";
        QTest::newRow("11 keeps the text") << 11 << "Редактирование отчета" << "Строка подсказок";
        QTest::newRow("12") << 12 << "Диаграммы показателей" << "Диаграммы показателей последнего анализа";
    }
    void toolBarButtonsHaveTooltipsAndStatusTexts()
    {
        QFETCH(int, number);
        QFETCH(QString, tooltip);
        QFETCH(QString, status);
        TForm1 form;
        QToolButton* button = form.speedButton(number);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), tooltip);
        QCOMPARE(button->accessibleName(), tooltip);
        QVERIFY(!button->icon().isNull());
        hover(form.StatusBar1); // a text that only SpeedButton11 leaves standing
        hover(button);
        QCOMPARE(form.statusText(), status);
    }

    void toolBarButtonsAreInTheirOrderWithTheClockLast()
    {
        TForm1 form;
        QStringList order;
        for (QAction* a : form.ToolBar1->actions()) {
            if (a->isSeparator())
                order << "-";
            else if (QWidget* w = form.ToolBar1->widgetForAction(a))
                order << w->objectName();
        }
        QCOMPARE(order, QStringList({"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4", "SpeedButton5",
                                     "-", "SpeedButton9", "SpeedButton6", "SpeedButton7", "SpeedButton8",
                                     "SpeedButton11", "-", "SpeedButton12", "Label2"}));
    }

    void statusTextsOfViewStatusBarAndFileMenuStay()
    {
        TForm1 form;
        QCOMPARE(form.statusText(), QString());
        hover(form.RichEdit1->viewport());
        QCOMPARE(form.statusText(), QStringLiteral("Окно вывода отчета"));
        hover(form.StatusBar1);
        QCOMPARE(form.statusText(), QStringLiteral("Строка подсказок"));
        QMenu* file = form.menuBar()->actions().front()->menu();
        emit file->aboutToShow();
        QCOMPARE(form.statusText(), QStringLiteral("Новый анализ баланса"));
        // Nothing clears it: a status tip of another widget is not shown.
        QStatusTipEvent tip(QString{});
        QCoreApplication::sendEvent(&form, &tip);
        QCOMPARE(form.statusText(), QStringLiteral("Новый анализ баланса"));
    }

    void clockShowsTheLongTimeOfTheInjectedClock()
    {
        TForm1 form;
        form.setRegionalSettings(RegionalSettings::russian());
        form.setClock(fixedClock(14, 5, 9));
        QCOMPARE(form.Label2->text(), QStringLiteral("  Текущее время - 14:05:09"));
        QCOMPARE(form.Label2->font().pointSize(), 10);
        QCOMPARE(form.Timer1->interval(), 1000);
        QVERIFY(form.Timer1->isActive());
        form.setClock(fixedClock(7, 0, 0));
        QCOMPARE(form.Label2->text(), QStringLiteral("  Текущее время - 07:00:00"));
    }

    void clockTicksFromTheEventLoop()
    {
        TForm1 form;
        form.setRegionalSettings(RegionalSettings::russian());
        int second = 0;
        ClockSource clock = fixedClock(9, 30, 0);
        clock.now = [&second] { return ClockTime{9, 30, second}; };
        form.setClock(clock);
        second = 41;
        QTRY_COMPARE_WITH_TIMEOUT(form.Label2->text(), QStringLiteral("  Текущее время - 09:30:41"), 3000);
    }

    void viewSwitchesHideAndShowAndReturnToTheStartingLook()
    {
        TForm1 form;
        form.setRegionalSettings(RegionalSettings::russian());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QAction* clock = form.menuItem("N24");
        QAction* status = form.menuItem("C1");
        QVERIFY(clock->isChecked());
        QVERIFY(status->isChecked());
        const int viewHeight = form.RichEdit1->height();

        int second = 1;
        ClockSource ticking = fixedClock(10, 0, 0);
        ticking.now = [&second] { return ClockTime{10, 0, second}; };
        form.setClock(ticking);

        clock->trigger();
        QVERIFY(!clock->isChecked());
        QTRY_VERIFY(!form.Label2->isVisible());
        second = 2;
        form.Timer1Timer(); // the timer keeps running while hidden
        clock->trigger();
        QTRY_VERIFY(form.Label2->isVisible());
        QCOMPARE(form.Label2->text(), QStringLiteral("  Текущее время - 10:00:02"));

        status->trigger();
        QVERIFY(!status->isChecked());
        QVERIFY(!form.StatusBar1->isVisible());
        QTRY_VERIFY(form.RichEdit1->height() > viewHeight);
        status->trigger();
        QVERIFY(form.StatusBar1->isVisible());
        QTRY_COMPARE(form.RichEdit1->height(), viewHeight);
        QVERIFY(clock->isChecked() && status->isChecked());
    }

    void menuShortcutsInTheViewRunTheMenuCommands_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("key");
        QTest::newRow("cut") << "N10" << int(Qt::Key_X);
        QTest::newRow("copy") << "N11" << int(Qt::Key_C);
        QTest::newRow("paste") << "N17" << int(Qt::Key_V);
    }
    void menuShortcutsInTheViewRunTheMenuCommands()
    {
        QFETCH(QString, item);
        QFETCH(int, key);
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.RichEdit1->setFocus();
        int triggered = 0;
        connect(form.menuItem(item), &QAction::triggered, this, [&triggered] { ++triggered; });
        QTest::keyClick(form.RichEdit1, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(triggered, 1);
    }

    void editButtonPutsTheCursorIntoTheReport()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.menuBar()->setFocus();
        const QString before = form.RichEdit1->toHtml();
        form.speedButton(11)->click();
        QTRY_VERIFY(form.RichEdit1->hasFocus());
        QCOMPARE(form.RichEdit1->toHtml(), before);
        QCOMPARE(form.caption(), QStringLiteral("Kalvanta 4.5"));
    }

    void accessibleNamesOfMenuItemsHaveNoAmpersand()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form.menuBar());
        QVERIFY(bar);
        QStringList names;
        for (int i = 0; i < bar->childCount(); ++i)
            names << bar->child(i)->text(QAccessible::Name);
        QCOMPARE(names, QStringList({"Файл", "Правка", "Вид", "Планирование", "Помощь"}));
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(form.RichEdit1);
        QCOMPARE(view->text(QAccessible::Name), QStringLiteral("Окно вывода отчета"));
        QCOMPARE(QAccessible::queryAccessibleInterface(&form)->text(QAccessible::Name),
                 QStringLiteral("Kalvanta 4.5"));
    }

    void splashIsABorderlessWhiteWindowWithItsPicture()
    {
        Top splash;
        QCOMPARE(splash.size(), QSize(530, 358));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.palette().color(QPalette::Window), QColor(Qt::white));
        const QPixmap picture = splash.Image1->pixmap();
        QCOMPARE(picture.size(), QSize(522, 385));
        QCOMPARE(pictures::splashPicture().format(), QImage::Format_RGB888);
        splash.showAndPaint();
        QVERIFY(splash.isVisible());
    }

    void startupPauseDoesItsAdditions()
    {
        QCOMPARE(startupPause(), 65000.0);
        QCOMPARE(progressStepWork(), 2'200'000LL);
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
