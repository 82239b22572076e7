// The group analysis window given a year's bulk file of the statistics
// office: the table named first, then written as the rows are read, with
// the progress bar, "Отмена" and the refused rows, through the window's
// buttons as the user meets them.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "../history/bulk_test_util.h"
#include "fake_ui_services.h"
#include "shell/batch_window.h"
#include "shell_test_support.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

// Rows of companies, every one but the last whole; the last has no INN.
QString bulkFile(const QString& dir, int companies)
{
    const QString path = dir + "/data-20200327-structure-20171231.csv";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < companies; ++i)
        out.write(QByteArray::fromStdString(
            history::test::bulkLine(history::test::company(std::to_string(7700000000LL + i), "46.31", 600 + i % 50)) +
            "\r\n"));
    history::test::BulkSpec broken = history::test::company("", "46.31");
    out.write(QByteArray::fromStdString(history::test::bulkLine(broken) + "\r\n"));
    return path;
}

// The file added with the add-files button and the run started, by mouse.
void addAndStart(BatchWindow& window, const QString& input)
{
    window.chooseFiles = [input](QWidget*) { return QStringList{input}; };
    window.show();
    QTest::mouseClick(window.addFilesButton, Qt::LeftButton);
    QTest::mouseClick(window.startButton, Qt::LeftButton);
}

} // namespace

class BatchBulkTest : public QObject {
    Q_OBJECT
private slots:
    void bulkFileIsScreenedIntoTheTableNamedFirst();
    void cancelLeavesNoTable();
    void bulkFilesDoNotGoWithOthers();
    void aFileRenamedIsAskedForItsYear_data();
    void aFileRenamedIsAskedForItsYear();
};

void BatchBulkTest::bulkFileIsScreenedIntoTheTableNamedFirst()
{
    QTemporaryDir dir;
    const QString input = bulkFile(dir.path(), 12);
    FakeServicesScope services;
    services.fake.saveAnswers = {dir.path() + "/screen.csv"};
    BatchWindow window;
    addAndStart(window, input);
    QCOMPARE(services.fake.saveDialogs, 1); // asked before the run
    QTRY_VERIFY(!window.running());
    QTRY_VERIFY2(window.status->text().startsWith(QStringLiteral("Готово")), qPrintable(window.status->text()));
    QCOMPARE(window.status->text(), QStringLiteral("Готово: прочитано строк 13, отказано 1, записано организаций 12; "
                                                   "таблица сохранена в ") +
                                        QDir::toNativeSeparators(dir.path() + "/screen.csv"));
    QCOMPARE(window.progress->value(), window.progress->maximum());
    const QByteArray table = readAll(dir.path() + "/screen.csv");
    QVERIFY(table.startsWith("\xEF\xBB\xBF" "organisation;tax_number;year;"));
    QCOMPARE(static_cast<int>(table.count('\n')), 1 + 24);
    QVERIFY(table.contains(";46.31;"));
    QCOMPARE(services.fake.messages.size(), std::size_t(1));
    QVERIFY2(services.fake.messages[0].text.contains(
                 input + QStringLiteral(": line 13: no INN (field 6); the row is passed over")),
             qPrintable(services.fake.messages[0].text));
    QVERIFY(window.startButton->isEnabled());
}

void BatchBulkTest::cancelLeavesNoTable()
{
    QTemporaryDir dir;
    const QString input = bulkFile(dir.path(), 20000);
    FakeServicesScope services;
    services.fake.saveAnswers = {dir.path() + "/screen.xlsx"};
    BatchWindow window;
    addAndStart(window, input);
    QVERIFY(window.running());
    QCOMPARE(window.cancelButton->text(), QStringLiteral("Отмена"));
    QTest::mouseClick(window.cancelButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window.running(), 60000);
    QTRY_COMPARE(window.status->text(), QStringLiteral("Отменено: таблица не сохранена."));
    QVERIFY(!QFile::exists(dir.path() + "/screen.xlsx"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QFileInfo(input).fileName()}); // no temporary left
    QCOMPARE(window.cancelButton->text(), QStringLiteral("Закрыть"));
}

void BatchBulkTest::bulkFilesDoNotGoWithOthers()
{
    QTemporaryDir dir;
    const QString input = bulkFile(dir.path(), 1);
    QDir().mkpath(dir.path() + "/in");
    FakeServicesScope services;
    BatchWindow window;
    window.chooseFiles = [&](QWidget*) { return QStringList{input}; };
    window.chooseFolder = [&](QWidget*) { return dir.path() + "/in"; };
    window.show();
    QTest::mouseClick(window.addFilesButton, Qt::LeftButton);
    QTest::mouseClick(window.addFolderButton, Qt::LeftButton);
    QTest::mouseClick(window.startButton, Qt::LeftButton);
    QVERIFY(!window.running());
    QCOMPARE(services.fake.saveDialogs, 0);
    QCOMPARE(services.fake.messages.size(), std::size_t(1));
    QCOMPARE(services.fake.messages[0].text,
             QStringLiteral("Файлы статистики с отчетностью всех организаций за год анализируются отдельно от "
                            "других файлов и папок: уберите из списка либо их, либо остальные."));
}

void BatchBulkTest::aFileRenamedIsAskedForItsYear_data()
{
    QTest::addColumn<int>("answer"); // 0: the question cancelled
    QTest::addColumn<QByteArray>("yearCell");
    QTest::newRow("2017") << 2017 << QByteArray(";7700000000;2017;");
    QTest::newRow("2015") << 2015 << QByteArray(";7700000000;2015;");
    QTest::newRow("cancelled") << 0 << QByteArray();
}

void BatchBulkTest::aFileRenamedIsAskedForItsYear()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, yearCell);
    QTemporaryDir dir;
    const QString input = dir.path() + "/отчетность.csv";
    QVERIFY(QFile::rename(bulkFile(dir.path(), 2), input));
    FakeServicesScope services;
    services.fake.integerAnswers = {answer ? std::optional<int>(answer) : std::nullopt};
    services.fake.saveAnswers = {dir.path() + "/screen.csv"};
    BatchWindow window;
    addAndStart(window, input);
    QCOMPARE(services.fake.integerQuestions.size(), std::size_t(1));
    QCOMPARE(services.fake.integerQuestions[0].text,
             QStringLiteral("В имени файла нет отчетного года (…-<год>1231.csv): отчетность.csv.\n"
                            "За какой год в нем отчетность?"));
    if (!answer) {
        QCOMPARE(services.fake.saveDialogs, 0);
        QVERIFY(!window.running());
        QVERIFY(window.startButton->isEnabled());
        return;
    }
    QTRY_VERIFY(!window.running());
    QVERIFY2(window.status->text().startsWith(QStringLiteral("Готово")), qPrintable(window.status->text()));
    QVERIFY(readAll(dir.path() + "/screen.csv").contains(yearCell));
}

QTEST_MAIN(BatchBulkTest)
#include "test_batch_bulk.moc"
