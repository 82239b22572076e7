// "Файл → Анализ за несколько лет...": the item and its keys, files and a
// folder chosen through the dialogs, each company's report appended below
// what the report view holds, a file that cannot be read listed while the
// others are analysed, and Cancel, as the user meets them.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include "fake_ui_services.h"
#include "history/history_report.h"
#include "shell/history_window.h"
#include "shell_test_support.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

const QString kStatements = QStringLiteral(KALVANTA_SOURCE_DIR "/examples/statements/");

QStringList exampleStatements()
{
    return {kStatements + "NO_BUHOTCH_worked-example.xml", kStatements + "NO_BUHOTCH_severny-veter-2024.xml",
            kStatements + "severny-veter-bfo.json"};
}

std::vector<std::string> local(const QStringList& paths)
{
    std::vector<std::string> out;
    for (const QString& p : paths)
        out.push_back(QFile::encodeName(p).toStdString());
    return out;
}

// What the core writes for these files: the window adds exactly this.
QStringList expectedReports(const QStringList& paths)
{
    QStringList lines;
    for (const history::CompanyHistory& h : history::readHistories(local(paths)).histories)
        lines << toQStringList(history::historyReportLines(h, ","));
    return lines;
}

// The item, as the user gives it: its shortcut in the active main window.
HistoryWindow* openByShortcut(TForm1& form)
{
    form.activateWindow();
    if (!QTest::qWaitFor([&] { return form.isActiveWindow(); }))
        return nullptr;
    QTest::keyClick(&form, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    HistoryWindow* window = form.findChild<HistoryWindow*>();
    if (!window || !QTest::qWaitFor([&] { return window->isVisible(); }))
        return nullptr;
    return window;
}

// Runs the analysis by the window's button and waits for its end.
bool runAnalysis(HistoryWindow* window)
{
    QSignalSpy ended(window, &HistoryWindow::runEnded);
    QTest::mouseClick(window->startButton, Qt::LeftButton);
    return ended.wait(20000) || ended.count() == 1;
}

} // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void itemOpensTheWindow_data();
    void itemOpensTheWindow();
    void reportsAreAppendedBelowTheViewsText_data();
    void reportsAreAppendedBelowTheViewsText();
    void refusedFileIsListedWhileTheOthersAreAnalysed();
    void nothingReadableAddsNothing();
    void cancelAddsNothing();
    void saveInExcelWritesTheWorkbook_data();
    void saveInExcelWritesTheWorkbook();
};

void HistoryWindowTest::itemOpensTheWindow_data()
{
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("Ctrl+Shift+H") << false;
    QTest::newRow("Alt+Ф, then л") << true;
}

void HistoryWindowTest::itemOpensTheWindow()
{
    QFETCH(bool, byMenu);
    FakeServicesScope services;
    TForm1 form;
    prepare(form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QMenu* file = form.menuBar()->actions().at(0)->menu();
    QAction* item = form.findChild<QAction*>(QStringLiteral("NHistory"));
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("Анализ за несколько &лет..."));
    // Beside the analysis of a group of files.
    QCOMPARE(file->actions().indexOf(item), file->actions().indexOf(form.findChild<QAction*>("NBatch")) + 1);
    // No other command of the main window has its keys.
    for (QAction* other : form.findChildren<QAction*>())
        if (other != item)
            QVERIFY2(other->shortcut() != item->shortcut(), qPrintable(other->objectName()));

    HistoryWindow* window = nullptr;
    if (byMenu) {
        form.activateWindow();
        QTRY_VERIFY(form.isActiveWindow());
        QTest::sendKeyEvent(QTest::Click, &form, Qt::Key(0x0424), QStringLiteral("ф"), Qt::AltModifier);
        QTRY_VERIFY(file->isVisible());
        QTest::sendKeyEvent(QTest::Click, file, Qt::Key(0x041B), QStringLiteral("л"), Qt::NoModifier);
        QTRY_VERIFY((window = form.findChild<HistoryWindow*>()) && window->isVisible());
    } else {
        window = openByShortcut(form);
        QVERIFY(window);
    }
    QCOMPARE(window->windowTitle(), QStringLiteral("Анализ за несколько лет"));
    QVERIFY(!window->startButton->isEnabled()); // nothing chosen yet
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(form.caption(), kProgramCaption); // nothing was added
}

void HistoryWindowTest::reportsAreAppendedBelowTheViewsText_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("files chosen together") << false;
    QTest::newRow("a folder") << true;
}

void HistoryWindowTest::reportsAreAppendedBelowTheViewsText()
{
    QFETCH(bool, folder);
    QTemporaryDir dir;
    QStringList files;
    for (const QString& f : exampleStatements()) {
        const QString copy = dir.path() + "/" + QFileInfo(f).fileName();
        QVERIFY(QFile::copy(f, copy));
        files << copy;
    }
    // A folder is walked in its own order.
    const QStringList expected = expectedReports(folder ? QStringList{dir.path()} : files);
    QVERIFY(expected.size() > 20);

    FakeServicesScope services;
    if (folder)
        services.fake.folderAnswers = {dir.path()};
    else
        services.fake.openManyAnswers = {files};
    TForm1 form;
    prepare(form);
    form.show();
    form.RichEdit1->clear();
    // A report already in the view, longer than the view is high.
    for (int i = 0; i < 60; ++i)
        form.RichEdit1->appendLine(QStringLiteral("Прежний отчет, строка %1").arg(i + 1));
    const QStringList before = blockTexts(*form.RichEdit1->document());

    HistoryWindow* window = openByShortcut(form);
    QVERIFY(window);
    QTest::mouseClick(folder ? window->addFolderButton : window->addFilesButton, Qt::LeftButton);
    QCOMPARE(window->inputs().size(), folder ? 1 : files.size());
    QVERIFY(runAnalysis(window));

    QStringList lines = blockTexts(*form.RichEdit1->document());
    QCOMPARE(lines.mid(0, before.size()), before);
    QCOMPARE(lines.mid(before.size()), expected);
    QVERIFY(form.hasUnsavedReport());
    // The added tables are in a fixed-pitch face; the text before keeps its own.
    const QTextDocument& doc = *form.RichEdit1->document();
    for (int b = 0; b < lines.size(); ++b) {
        const QTextBlock block = doc.findBlockByNumber(b);
        if (block.text().isEmpty())
            continue;
        const QTextCharFormat f = block.begin().fragment().charFormat();
        QCOMPARE(f.fontFamilies().toStringList().contains(kHistoryReportFont), b >= before.size());
    }
    QVERIFY(!window->isVisible()); // the report is what the user looks at now
    // The view shows the first line added, at its top.
    QCOMPARE(form.RichEdit1->textCursor().block().blockNumber(), before.size());
    QVERIFY(form.RichEdit1->verticalScrollBar()->value() > 0);
    QVERIFY2(form.RichEdit1->cursorRect().top() < form.RichEdit1->fontMetrics().height() * 2,
             qPrintable(QString::number(form.RichEdit1->cursorRect().top())));
}

void HistoryWindowTest::refusedFileIsListedWhileTheOthersAreAnalysed()
{
    QTemporaryDir dir;
    const QString broken = dir.path() + "/broken.xml";
    QVERIFY(writeBytes(broken, "<?xml version=\"1.0\"?><Файл><Документ"));
    const QString good = kStatements + "NO_BUHOTCH_severny-veter-2024.xml";
    const std::vector<std::string> refused = history::readHistories(local({broken})).refused;
    QCOMPARE(refused.size(), std::size_t(1));

    FakeServicesScope services;
    services.fake.openManyAnswers = {{broken, good}};
    TForm1 form;
    prepare(form);
    form.show();
    HistoryWindow* window = openByShortcut(form);
    QVERIFY(window);
    QTest::mouseClick(window->addFilesButton, Qt::LeftButton);
    QVERIFY(runAnalysis(window));

    QCOMPARE(services.fake.messages.size(), std::size_t(1));
    const FakeUiServices::Message& m = services.fake.messages.front();
    QCOMPARE(m.icon, UiServices::Icon::Warning);
    QCOMPARE(m.title, QStringLiteral("Анализ за несколько лет"));
    QVERIFY2(m.text.startsWith(QStringLiteral("Не прочитаны файлы (остальные проанализированы):\n• ") +
                               QString::fromStdString(refused.front())),
             qPrintable(m.text));
    QVERIFY(m.text.contains(QStringLiteral("broken.xml")));
    QVERIFY(blockTexts(*form.RichEdit1->document()).join('\n').contains(expectedReports({good}).join('\n')));
}

void HistoryWindowTest::nothingReadableAddsNothing()
{
    QTemporaryDir dir;
    FakeServicesScope services;
    services.fake.folderAnswers = {dir.path()}; // an empty folder
    TForm1 form;
    prepare(form);
    form.show();
    const QStringList before = blockTexts(*form.RichEdit1->document());
    HistoryWindow* window = openByShortcut(form);
    QVERIFY(window);
    // Through the accessibility interface, as a screen reader presses it.
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(window->addFolderButton);
    QVERIFY(button && button->actionInterface());
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(window->inputs(), QStringList{QDir::toNativeSeparators(dir.path())}); // an animated click
    QVERIFY(runAnalysis(window));
    QCOMPARE(window->status->text(), QStringLiteral("Нет отчетности для анализа."));
    QVERIFY(window->isVisible());
    QCOMPARE(blockTexts(*form.RichEdit1->document()), before);
    QVERIFY(!form.hasUnsavedReport());
}

void HistoryWindowTest::cancelAddsNothing()
{
    // Enough files that the reading is still going when Cancel is pressed.
    QTemporaryDir dir;
    const QByteArray statement = readAll(kStatements + "NO_BUHOTCH_severny-veter-2024.xml");
    for (int i = 0; i < 400; ++i)
        QVERIFY(writeBytes(dir.path() + QStringLiteral("/%1.xml").arg(i), statement));
    FakeServicesScope services;
    services.fake.folderAnswers = {dir.path()};
    TForm1 form;
    prepare(form);
    form.show();
    const QStringList before = blockTexts(*form.RichEdit1->document());
    HistoryWindow* window = openByShortcut(form);
    QVERIFY(window);
    QTest::mouseClick(window->addFolderButton, Qt::LeftButton);
    QSignalSpy ended(window, &HistoryWindow::runEnded);
    QTest::mouseClick(window->startButton, Qt::LeftButton);
    QVERIFY(window->running());
    QCOMPARE(window->cancelButton->text(), QStringLiteral("Отмена"));
    QVERIFY(!window->addFolderButton->isEnabled());
    QTest::mouseClick(window->cancelButton, Qt::LeftButton);
    QVERIFY(ended.wait(20000) || ended.count() == 1);
    QCOMPARE(window->status->text(), QStringLiteral("Отменено: в окно отчета ничего не добавлено."));
    QVERIFY(window->isVisible());
    QCOMPARE(window->cancelButton->text(), QStringLiteral("Закрыть"));
    QCOMPARE(blockTexts(*form.RichEdit1->document()), before);
    QVERIFY(services.fake.messages.empty());
    QVERIFY(!form.hasUnsavedReport());
}

void HistoryWindowTest::saveInExcelWritesTheWorkbook_data()
{
    QTest::addColumn<QString>("typed");   // in the save dialog, under the temporary folder
    QTest::addColumn<QString>("written"); // the file saved; empty when it cannot be
    QTest::newRow(".xlsx added") << "book" << "book.xlsx";
    QTest::newRow("own suffix kept") << "Book.XLSX" << "Book.XLSX";
    QTest::newRow("no such folder") << "missing/book" << "";
}

// Файл → Сохранить в Excel...: disabled until a history's report is in the
// view, then the workbook of the histories just analysed, or a box naming
// the file that cannot be written.
void HistoryWindowTest::saveInExcelWritesTheWorkbook()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QTemporaryDir dir;
    FakeServicesScope services;
    services.fake.openManyAnswers = {exampleStatements()};
    services.fake.saveAnswers = {dir.path() + "/" + typed};
    TForm1 form;
    prepare(form);
    form.show();
    QAction* item = form.findChild<QAction*>(QStringLiteral("NHistoryXlsx"));
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("Сохранить в &Excel..."));
    QVERIFY(!item->isEnabled());

    HistoryWindow* window = openByShortcut(form);
    QVERIFY(window);
    QTest::mouseClick(window->addFilesButton, Qt::LeftButton);
    QVERIFY(runAnalysis(window));
    QVERIFY(item->isEnabled());
    services.fake.messages.clear(); // the histories' notes

    QMenu* file = form.menuBar()->actions().at(0)->menu();
    form.activateWindow();
    QTRY_VERIFY(form.isActiveWindow());
    QTest::sendKeyEvent(QTest::Click, &form, Qt::Key(0x0424), QStringLiteral("ф"), Qt::AltModifier);
    QTRY_VERIFY(file->isVisible());
    QTest::keyClick(file, Qt::Key_E);
    QTRY_COMPARE(services.fake.saveDialogs, 1);
    QCOMPARE(services.fake.saveFilters.size(), std::size_t(1));
    QCOMPARE(services.fake.saveFilters[0], QStringLiteral("Книга Excel (*.xlsx)"));

    if (written.isEmpty()) {
        const QString path = QDir::toNativeSeparators(dir.path() + "/" + typed + ".xlsx");
        QTRY_COMPARE(services.fake.messages.size(), std::size_t(1));
        QCOMPARE(services.fake.messages[0].icon, UiServices::Icon::Stop);
        QVERIFY2(services.fake.messages[0].text.startsWith(QStringLiteral("Книга Excel не сохранена: ") + path + "\n"),
                 qPrintable(services.fake.messages[0].text));
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    } else {
        QTRY_VERIFY(QFileInfo::exists(dir.path() + "/" + written));
        QVERIFY(services.fake.messages.empty());
        // An outside reader: the workbook's sheets as unzip gives them.
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), dir.path() + "/" + written,
                                              QStringLiteral("xl/workbook.xml")});
        QVERIFY(unzip.waitForFinished(30000));
        const QString book = QString::fromUtf8(unzip.readAllStandardOutput());
        int at = 0;
        for (const char* sheet : {"Баланс", "Отчет о финансовых результатах", "Коэффициенты", "Модели", "Примечания"}) {
            const int next = book.indexOf(QStringLiteral("<sheet name=\"%1\"").arg(QString::fromUtf8(sheet)), at);
            QVERIFY2(next > at, sheet);
            at = next;
        }
    }
    // Emptied, the view holds no history's report to save.
    form.RichEdit1->clear();
    QVERIFY(!item->isEnabled());
}

QTEST_MAIN(HistoryWindowTest)
#include "test_history_window.moc"
