// The help window, its formula windows, the about windows and help.rtf.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include "document/rtf_reader.h"
#include "fake_ui_services.h"
#include "shell/about_windows.h"
#include "shell/help_window.h"
#include "shell/link_label.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"

using namespace kalvanta;

namespace {

QStringList memoLines(const FormulaWindow* window)
{
    QStringList lines;
    for (QTextBlock b = window->Memo1->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

QStringList labelTexts(const QWidget* window)
{
    QStringList texts;
    for (const QLabel* label : window->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

// Closes the modal window that opens next with its "OK" button; returns
// the name of the window it closed through `closed`.
void closeNextModalWindow(QString* closed)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, closed] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *closed = modal->objectName();
            if (auto* ok = modal->findChild<QPushButton*>(QStringLiteral("Button1")))
                ok->click();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void helpWindowShowsItsTexts()
    {
        Thelp help;
        QCOMPARE(help.windowTitle(), QStringLiteral("Справка"));
        help.show();
        // At least its stated size, grown to its content, and centred.
        QVERIFY(help.width() >= 580 && help.height() >= 373);
        QVERIFY(help.width() >= help.sizeHint().width());
        const QRect screen = help.screen()->availableGeometry();
        QVERIFY(qAbs(help.frameGeometry().center().x() - screen.center().x()) <= 1);
        QCOMPARE(help.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(help.Button1->text(), QStringLiteral("Закрыть"));
        QCOMPARE(help.Button2->text(), QStringLiteral("О программе"));
        QCOMPARE(help.Button3->text(), QStringLiteral("Об авторe"));
        const QStringList texts = labelTexts(&help);
        for (const char* text :
             {"Справка по программе Kalvanta 4.5 ", "Файл помощи с основными расчетными формулами - help.rtf",
              "Для расчета основных показателей достаточно баланса и отчета ", "о прибылях и убытках.",
              "Для расчета", "финансового рычага", "и", "операционного рычага",
              "требуются  форма №4 \"Отчет о движении", "денежных средств\", деление издержек на постоянные и переменные.",
              "Расчет показателей для определения", "финансово-эксплуатационных  потребностей",
              "предприятия дает информацию о размере необходимых оборотных средств.", "Планирование:",
              "Производство - используются теже методы, что и для расчета операционного рычага", "Кредиты и займы",
              "Инвестиции"})
            QVERIFY2(texts.contains(QString::fromUtf8(text)), text);
    }

    void linksAreGreenUnderlinedWithAHandPointer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("Label5") << "Label5" << "финансового рычага";
        QTest::newRow("Label7") << "Label7" << "операционного рычага";
        QTest::newRow("Label11") << "Label11" << "финансово-эксплуатационных  потребностей";
        QTest::newRow("Label15") << "Label15" << "Кредиты и займы";
        QTest::newRow("Label16") << "Label16" << "Инвестиции";
    }
    void linksAreGreenUnderlinedWithAHandPointer()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        Thelp help;
        auto* link = help.findChild<LinkLabel*>(name);
        QVERIFY(link);
        QCOMPARE(link->text(), text);
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(link->focusPolicy(), Qt::StrongFocus);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(link);
        QCOMPARE(accessible->role(), QAccessible::Link);
        QCOMPARE(accessible->text(QAccessible::Name), text);
    }

    void eachLinkOpensANewFormulaWindow_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("financial leverage")
            << "Label5" << "Расчет финансового рычага" << 10
            << "Cредняя ставка процентов= проценты выплаченные (форма 4)/(Заемные средства на начало года(форма1 стр. "
               "510 и 610) + кредиты полученные в течение года (форма 4))"
            << " В Росии значение данного показателя должно быть не менее 15- 20% при расчетах в валюте и не ниже 35% "
               "в рублях. ";
        QTest::newRow("operating leverage")
            << "Label7" << "Расчет операционного рычага" << 7
            << "Валовая маржа= Выручка (форма2 стр 010)-суммарные переменные затраты"
            << "Запас финансовой прочности = (выручка-порго рентабельности)/выручка*100%";
        QTest::newRow("working-capital needs")
            << "Label11" << "Расчет финансово-эксплуатационных потребностей предприятия" << 6
            << "Финансово-эксплуатационные потребности (ФЭП)=(ф.1 стр210^+стр240^+стр230^-стр620^-стр660^)"
            << "где ^- среднегодовое значение ";
        QTest::newRow("credits") << "Label15" << "Расчет сумм кредитов и займов" << 14 << "Простые проценты"
                                 << "n - количество раз начисления процентов в году. ";
        QTest::newRow("investments")
            << "Label16" << "Расчет показателей эффективности инвестиций" << 7
            << "ROI= среднегодовая прибыль/ первоначальные инвестиции"
            << "Если NPV>0, то ставка дисконтирования снова повышатся.";
    }
    void eachLinkOpensANewFormulaWindow()
    {
        QFETCH(QString, link);
        QFETCH(QString, caption);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        Thelp help;
        help.show();
        auto* label = help.findChild<LinkLabel*>(link);
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(help.formulaWindows().size(), std::size_t{1});
        FormulaWindow* window = help.formulaWindows().back();
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->accessibleName(), caption);
        QCOMPARE(window->size(), QSize(600, 200));
        const QStringList lines = memoLines(window);
        QCOMPARE(lines.size(), count);
        QCOMPARE(lines.front(), first);
        QCOMPARE(lines.back(), last);
        QCOMPARE(window->Memo1->textCursor().position(), 0);
        QCOMPARE(window->Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(window->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!window->Memo1->isReadOnly());
    }

    void creditsWindowHoldsFourteenLinesTwoOfOneSpace()
    {
        Thelp help;
        help.show();
        emit help.findChild<LinkLabel*>("Label15")->activated();
        QCOMPARE(memoLines(help.formulaWindows().back()),
                 QStringList({"Простые проценты", "S=P*(1+i/100*t/365) ", "P=S/(1+i/100*t/365) ", " ",
                              "Сложные проценты ", "S=P*(1+(i/100)/n)^n*t/365 ", "P=S/(1+(i/100)/n)^n*t/365 ", " ",
                              "Где ^ - знак степени ", "S - наращенная сумма. ", "P - первоначальная сумма. ",
                              "i - ставка годовых процентов. ", "t - срок в днях. ",
                              "n - количество раз начисления процентов в году. "}));
    }

    void twoClicksOpenTwoWindowsThatOnlyHideWhenClosed()
    {
        Thelp help;
        help.show();
        auto* label = help.findChild<LinkLabel*>("Label7");
        QTest::mouseClick(label, Qt::LeftButton);
        QTest::mouseClick(label, Qt::LeftButton);
        const auto windows = help.formulaWindows();
        QCOMPARE(windows.size(), std::size_t{2});
        QVERIFY(windows[0] != windows[1]);
        QCOMPARE(memoLines(windows[0]), memoLines(windows[1]));

        // The user may edit; closing hides; the help window's closing leaves it.
        windows[0]->Memo1->appendPlainText(QStringLiteral("заметка"));
        QCOMPARE(memoLines(windows[0]).size(), 8);
        QPointer<FormulaWindow> first = windows[0];
        QVERIFY(first->close());
        QVERIFY(first);
        QVERIFY(!first->isVisible());
        help.Button1->click();
        QVERIFY(!help.isVisible());
        QVERIFY(windows[1]->isVisible());
    }

    void linksOpenFromTheKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void linksOpenFromTheKeyboard()
    {
        QFETCH(int, key);
        Thelp help;
        help.show();
        QVERIFY(QTest::qWaitForWindowActive(&help));
        auto* label = help.findChild<LinkLabel*>("Label16");
        label->setFocus();
        QTRY_VERIFY(label->hasFocus());
        QTest::keyClick(label, Qt::Key(key));
        QCOMPARE(help.formulaWindows().size(), std::size_t{1});
        QCOMPARE(help.formulaWindows().front()->windowTitle(),
                 QStringLiteral("Расчет показателей эффективности инвестиций"));
    }

    void linksOpenFromAssistiveTechnology()
    {
        Thelp help;
        help.show();
        QAccessibleInterface* link = QAccessible::queryAccessibleInterface(help.findChild<LinkLabel*>("Label11"));
        QAccessibleActionInterface* actions = link->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(help.formulaWindows().size(), std::size_t{1});
    }

    void aboutButtonsShowTheAboutWindowThenCloseHelp_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("window");
        QTest::newRow("about program") << 2 << "TForm9";
        QTest::newRow("about author") << 3 << "Tabout";
    }
    void aboutButtonsShowTheAboutWindowThenCloseHelp()
    {
        QFETCH(int, button);
        QFETCH(QString, window);
        ProgramWindows windows;
        Thelp* help = windows.helpWindow();
        windows.showHelp();
        QVERIFY(help->isVisible());
        QString closed;
        closeNextModalWindow(&closed);
        (button == 2 ? help->Button2 : help->Button3)->click();
        QCOMPARE(closed, window);
        QVERIFY(!windows.window(window)->isVisible());
        QVERIFY(!help->isVisible());
    }

    void mainWindowShowsHelpWithoutWaitingAndAboutWindowsModally()
    {
        ProgramWindows windows;
        TForm1* main = windows.mainWindow();
        main->menuItem(QStringLiteral("N19"))->trigger();
        QVERIFY(windows.helpWindow()->isVisible());
        QVERIFY(!windows.helpWindow()->isModal());
        windows.helpWindow()->hide();
        main->speedButton(8)->click();
        QVERIFY(windows.helpWindow()->isVisible());
        for (const auto& [item, name] : {std::pair{"N34", "TForm9"}, std::pair{"N35", "Tabout"}}) {
            QString closed;
            closeNextModalWindow(&closed);
            main->menuItem(QString::fromUtf8(item))->trigger();
            QCOMPARE(closed, QString::fromUtf8(name));
        }
    }

    void aboutProgramWindowShowsItsTexts()
    {
        TForm9 about;
        QCOMPARE(about.windowTitle(), QStringLiteral("О программе"));
        QCOMPARE(about.size(), QSize(627, 371));
        QVERIFY(about.isModal());
        QCOMPARE(about.VersionLabel->text(), QStringLiteral("Kalvanta  версия 4.5 .3. от 12.06.2006"));
        QCOMPARE(about.VersionLabel->toolTip(), QStringLiteral("Лучшая прграмма на свете"));
        const QStringList texts = labelTexts(&about);
        QStringList expected = {"Данная версия предназначена для  анализа и планирования финансово-",
                                "хозяйственной деятельности предприятий.",
                                "В программе использованы  следующие методы:",
                                "- показатели ликвидности и платежеспособности",
                                "- показатели финансовой устойчивости",
                                "- показатели прибыльности и эффективности управления",
                                "- влияние финансового рычага на результаты деятельности",
                                "- влияние операционного рычага  на результаты деятельности",
                                "- расчет финансово-эксплуатационных потребностей предприятия",
                                "- анализ эффективности инвестиционных проектов."};
        int from = texts.indexOf(expected.front());
        QVERIFY(from >= 0);
        QCOMPARE(texts.mid(from, expected.size()), expected);
        QVERIFY(texts.contains(QStringLiteral("© Проект Kalvanta, 2026")));
        auto* picture = about.findChild<QLabel*>(QStringLiteral("Image1"));
        QCOMPARE(picture->size(), QSize(161, 185));
        QCOMPARE(picture->pixmap().width(), 240);
        QCOMPARE(about.Button1->text(), QStringLiteral("OK"));
    }

    void aboutAuthorWindowShowsItsTexts()
    {
        Tabout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("Об авторe"));
        QCOMPARE(about.size(), QSize(559, 294));
        const QStringList texts = labelTexts(&about);
        QVERIFY(texts.contains(QStringLiteral("Данная программа является обновлением дипломного проекта.")));
        QVERIFY(texts.contains(QStringLiteral("Автор заранее признателен за любые замечания и предложения:")));
        QVERIFY(texts.contains(QStringLiteral("© Проект Kalvanta, 2026")));
        about.show();
        about.Button1->click();
        QVERIFY(!about.isVisible());
    }

    void helpFileIsDeliveredBesideTheProgramAsRtf()
    {
        QFile file(QStringLiteral(KALVANTA_SHELL_BINARY_DIR "/help.rtf"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray bytes = file.readAll();
        const doc::RtfReadResult read = doc::readRtf(std::string_view(bytes.constData(), bytes.size()));
        QCOMPARE(int(read.status), int(doc::RtfStatus::Ok));
        QString text;
        for (const std::string& line : read.document.lines())
            text += QString::fromStdString(line) + '\n';
        for (const char* expected : {"Kalvanta 4.5 — основные расчетные формулы", "Коэффициент автономии = СК / стр.300",
                                     "Z-счет Альтмана", "Эффект финансового рычага", "Порог рентабельности",
                                     "S = P × (1 + i / 100 × t / 365)"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(Thelp::helpFilePath().endsWith(QStringLiteral("/help.rtf")));
        // The program under test runs in the build tree, where the file lies beside it.
        QCOMPARE(Thelp::helpFilePathFor(QStringLiteral(KALVANTA_SHELL_BINARY_DIR)),
                 QStringLiteral(KALVANTA_SHELL_BINARY_DIR "/help.rtf"));
    }

    // Build tree: help.rtf beside the program; installed: in the data folder.
    void helpFileIsFoundInTheBuildTreeAndInstalled_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("foundInstalled");
        QTest::newRow("build tree") << true << false << false;
        QTest::newRow("installed") << false << true << true;
        QTest::newRow("both: the one beside wins") << true << true << false;
        QTest::newRow("neither: named beside") << false << false << false;
    }

    void helpFileIsFoundInTheBuildTreeAndInstalled()
    {
        QFETCH(bool, beside);
        QFETCH(bool, installed);
        QFETCH(bool, foundInstalled);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QDir bin(root.filePath(QStringLiteral("bin")));
        const QDir data(QDir::cleanPath(bin.filePath(QStringLiteral(KALVANTA_DATA_FROM_BINDIR))));
        QVERIFY(QDir().mkpath(bin.path()) && QDir().mkpath(data.path()));
        for (auto [wanted, dir] : {std::pair{beside, bin}, std::pair{installed, data}})
            if (wanted) {
                QFile file(dir.filePath(QStringLiteral("help.rtf")));
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        QCOMPARE(Thelp::helpFilePathFor(bin.path()), (foundInstalled ? data : bin).filePath(QStringLiteral("help.rtf")));
    }
};

QTEST_MAIN(HelpTest)
#include "test_help.moc"
