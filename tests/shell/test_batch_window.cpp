// "Файл → Анализ группы файлов...": choosing files and folders, the run with
// its progress and Cancel, and saving the table with its errors, through the
// window's buttons and keys as the user meets them.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "fake_ui_services.h"
#include "shell/batch_window.h"
#include "shell_test_support.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

const QString kSource = QStringLiteral(KALVANTA_SOURCE_DIR);

// Makes the file's folder first, unlike writeBytes.
void writeInFolder(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QVERIFY(writeBytes(path, bytes));
}

// A folder with the two worked examples, a report ended by a division by
// zero and a broken file.
void fillSamples(const QString& folder)
{
    writeInFolder(folder + "/a.json", readAll(kSource + "/examples/worked-example.json"));
    writeInFolder(folder + "/b.json", readAll(kSource + "/examples/worked-example-one-year.json"));
    writeInFolder(folder + "/c.json", R"({"EnterpriseName": "Нули", "YearCount": 1})");
    writeInFolder(folder + "/d.json", "{ broken");
}

int lines(const QByteArray& text) { return static_cast<int>(text.count('\n')); }

} // namespace

class BatchWindowTest : public QObject {
    Q_OBJECT
private slots:
    void menuItemOpensTheWindow();
    void folderRunSavesEveryFileAsARow_data();
    void folderRunSavesEveryFileAsARow();
    void cancelKeepsTheFilesDoneBeforeIt();
    void saveErrorsAskAgainAndNothingIsHalfWritten();
    void folderWithoutInputFilesIsReported();
    void givingUpTheTableIsAsked();
};

void BatchWindowTest::menuItemOpensTheWindow()
{
    TForm1 form;
    prepare(form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Alt+Ф opens "Файл"; the item's accelerator is "г".
    QMenu* file = form.menuBar()->actions().at(0)->menu();
    QVERIFY(file);
    QAction* item = form.findChild<QAction*>(QStringLiteral("NBatch"));
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("Анализ &группы файлов..."));
    QCOMPARE(file->actions().indexOf(item), 5); // after the commands that open one file
    QTest::sendKeyEvent(QTest::Click, &form, Qt::Key(0x0424), QStringLiteral("ф"), Qt::AltModifier);
    QTRY_VERIFY(file->isVisible());
    QTest::sendKeyEvent(QTest::Click, file, Qt::Key(0x0413), QStringLiteral("г"), Qt::NoModifier);
    BatchWindow* window = nullptr;
    QTRY_VERIFY((window = form.findChild<BatchWindow*>()) && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Анализ группы файлов"));
    QVERIFY(!window->startButton->isEnabled()); // nothing chosen yet
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
}

void BatchWindowTest::folderRunSavesEveryFileAsARow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QString>("saved");
    QTest::newRow("xlsx") << "t.xlsx" << QByteArray("PK\x03\x04") << "t.xlsx";
    QTest::newRow("csv is the Russian dialect") << "t.csv" << QByteArray("\xEF\xBB\xBF" "file;status;") << "t.csv";
    QTest::newRow("json lines") << "t.jsonl" << QByteArray("{\"file\":") << "t.jsonl";
    QTest::newRow("no extension gives xlsx") << "table" << QByteArray("PK\x03\x04") << "table.xlsx";
}

void BatchWindowTest::folderRunSavesEveryFileAsARow()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    QFETCH(QString, saved);
    QTemporaryDir dir;
    fillSamples(dir.path() + "/in");
    FakeServicesScope services;
    services.fake.saveAnswers = {dir.path() + "/" + name};

    BatchWindow window;
    window.chooseFolder = [&](QWidget*) { return dir.path() + "/in"; };
    window.show();
    QTest::mouseClick(window.addFolderButton, Qt::LeftButton);
    QCOMPARE(window.inputs(), QStringList{QDir::toNativeSeparators(dir.path() + "/in")});
    QVERIFY(window.startButton->isEnabled());
    QTest::mouseClick(window.startButton, Qt::LeftButton);
    QTRY_COMPARE(services.fake.saveDialogs, 1);
    QVERIFY(!window.running());
    QCOMPARE(window.progress->maximum(), 4);
    QCOMPARE(window.progress->value(), 4);
    QVERIFY2(window.status->text().contains(QStringLiteral("проанализировано 2, прервано ошибкой 1, отказано 1")),
             qPrintable(window.status->text()));
    const QByteArray table = readAll(dir.path() + "/" + saved);
    QVERIFY2(table.startsWith(start), table.left(40).constData());
    if (name.endsWith(QStringLiteral(".csv")))
        QCOMPARE(lines(table), 5);
    if (name.endsWith(QStringLiteral(".jsonl"))) {
        QCOMPARE(lines(table), 4);
        QVERIFY(table.contains("\"z_score_y2\":1.82"));
    }
    QVERIFY(services.fake.messages.empty());
    QVERIFY(window.startButton->isEnabled()); // ready for another run
}

void BatchWindowTest::cancelKeepsTheFilesDoneBeforeIt()
{
    // Five files, then a pipe that holds its reader until the test writes
    // to it, then many more: the run is certainly under way when Cancel is pressed.
    QTemporaryDir dir;
    const QByteArray example = readAll(kSource + "/examples/worked-example.json");
    for (int i = 0; i < 5; ++i)
        writeInFolder(dir.path() + QStringLiteral("/first/%1.json").arg(i), example);
    const QString pipe = dir.path() + "/pipe.json";
    QCOMPARE(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    const int count = 500;
    for (int i = 0; i < count; ++i)
        writeInFolder(dir.path() + QStringLiteral("/in/%1.json").arg(10000 + i), example);
    FakeServicesScope services;
    services.fake.saveAnswers = {dir.path() + "/t.jsonl"};

    BatchWindow window;
    window.chooseFiles = [&](QWidget*) { return QStringList{dir.path() + "/first", pipe, dir.path() + "/in"}; };
    window.show();
    QTest::mouseClick(window.addFilesButton, Qt::LeftButton);
    QCOMPARE(window.list->count(), 3);
    QTest::mouseClick(window.startButton, Qt::LeftButton);
    QVERIFY(window.running());
    QCOMPARE(window.cancelButton->text(), QStringLiteral("Отмена"));
    QVERIFY(!window.startButton->isEnabled());
    QTRY_COMPARE(window.progress->value(), 5); // the window keeps responding meanwhile
    QTest::mouseClick(window.cancelButton, Qt::LeftButton);
    {
        QFile writer(pipe);
        QVERIFY(writer.open(QIODevice::WriteOnly));
        writer.write("{\"YearCount\": 1");
    }
    QTRY_COMPARE(services.fake.saveDialogs, 1);
    QVERIFY(window.status->text().startsWith(QStringLiteral("Отменено")));
    const QList<QByteArray> rows = readAll(dir.path() + "/t.jsonl").split('\n');
    const int saved = static_cast<int>(rows.size()) - 1;
    QVERIFY2(saved >= 6 && saved < 5 + 1 + count, qPrintable(QString::number(saved)));
    // The rows are those of the first files, in order.
    QVERIFY(rows[5].contains("pipe.json") && rows[5].contains("refused"));
    for (int i = 6; i < saved; ++i)
        QVERIFY(rows[i].contains(QStringLiteral("/in/%1.json").arg(10000 + i - 6).toUtf8()));
    QCOMPARE(window.cancelButton->text(), QStringLiteral("Закрыть"));
}

void BatchWindowTest::saveErrorsAskAgainAndNothingIsHalfWritten()
{
    QTemporaryDir dir;
    fillSamples(dir.path() + "/in");
    writeInFolder(dir.path() + "/old.csv", "old table");
    FakeServicesScope services;
    services.fake.saveAnswers = {dir.path() + "/no/such/folder/t.xlsx", dir.path() + "/t.ods",
                                 dir.path() + "/old.csv", dir.path() + "/old.csv"};
    services.fake.yesNoAnswers = {false, true}; // keep old.csv the first time, then replace it

    BatchWindow window;
    window.chooseFolder = [&](QWidget*) { return dir.path() + "/in"; };
    window.show();
    QTest::mouseClick(window.addFolderButton, Qt::LeftButton);
    QTest::keyClick(&window, Qt::Key_Return); // the default button starts
    QTRY_COMPARE(services.fake.saveDialogs, 4);
    QCOMPARE(services.fake.messages.size(), size_t(2));
    QCOMPARE(services.fake.messages[0].icon, UiServices::Icon::Stop);
    QVERIFY2(services.fake.messages[0].text.contains(dir.path() + "/no/such/folder/t.xlsx"),
             qPrintable(services.fake.messages[0].text));
    QVERIFY(services.fake.messages[1].text.contains(QStringLiteral(".xlsx, .csv или .jsonl")));
    QCOMPARE(services.fake.questions.size(), size_t(2));
    QVERIFY(services.fake.questions[0].text.contains(QStringLiteral("already exists")));
    QVERIFY(readAll(dir.path() + "/old.csv").startsWith("\xEF\xBB\xBF" "file;"));
    QVERIFY(!QFileInfo::exists(dir.path() + "/t.ods"));
    QCOMPARE(QDir(dir.path()).entryList(QStringList{".kalvanta-table-*"}, QDir::Hidden | QDir::Files).size(), 0);
}

void BatchWindowTest::folderWithoutInputFilesIsReported()
{
    QTemporaryDir dir;
    writeInFolder(dir.path() + "/empty/readme.txt", "no input here");
    FakeServicesScope services;
    BatchWindow window;
    window.chooseFolder = [&](QWidget*) { return dir.path() + "/empty"; };
    window.show();
    QTest::mouseClick(window.addFolderButton, Qt::LeftButton);
    QTest::mouseClick(window.startButton, Qt::LeftButton);
    QCOMPARE(services.fake.messages.size(), size_t(1));
    QVERIFY(services.fake.messages[0].text.contains(dir.path() + "/empty: the folder holds no input files"));
    QVERIFY(!window.running());
    QCOMPARE(services.fake.saveDialogs, 0);
    QCOMPARE(window.status->text(), QStringLiteral("Нет файлов для анализа."));
    // The entry can be taken out again with the Delete key.
    window.list->setFocus();
    window.list->setCurrentRow(0);
    QTest::keyClick(window.list, Qt::Key_Delete);
    QCOMPARE(window.list->count(), 0);
    QVERIFY(!window.startButton->isEnabled());
}

void BatchWindowTest::givingUpTheTableIsAsked()
{
    QTemporaryDir dir;
    fillSamples(dir.path() + "/in");
    FakeServicesScope services;
    services.fake.saveAnswers = {QString(), QString()}; // the save dialog cancelled twice
    services.fake.yesNoAnswers = {false, true};         // not given up the first time
    BatchWindow window;
    window.chooseFolder = [&](QWidget*) { return dir.path() + "/in"; };
    window.show();
    QTest::mouseClick(window.addFolderButton, Qt::LeftButton);
    QTest::mouseClick(window.startButton, Qt::LeftButton);
    QTRY_COMPARE(services.fake.questions.size(), size_t(2));
    QCOMPARE(services.fake.saveDialogs, 2);
    QVERIFY(services.fake.questions[0].text.contains(QStringLiteral("не сохранена")));
}

QTEST_MAIN(BatchWindowTest)
#include "test_batch_window.moc"
