// Faults of the file system under Open and Save as: a folder nobody may
// write, a full device, a folder or file that vanishes after the dialog, a
// file nobody may read, a read error, an oversized file. In every case the
// file already on disk, the view and the caption stay as they were, and
// one stop box says what went wrong.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "fake_ui_services.h"
#include "shell/report_view.h"
#include "shell_test_support.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

QString nativePath(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

bool setImmutable(const QString& folder, bool on)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

// A folder in which nobody can create a file. Permission bits do not stop
// root (the tests run as root here), the immutable flag does where the file
// system and the process's capabilities allow it.
class LockedFolder {
public:
    explicit LockedFolder(QString path) : path_(std::move(path))
    {
        if (setImmutable(path_, true))
            how_ = How::Immutable;
        else if (::geteuid() != 0 && QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner))
            how_ = How::Permissions;
    }
    ~LockedFolder()
    {
        if (how_ == How::Immutable)
            setImmutable(path_, false);
        else if (how_ == How::Permissions)
            QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;
    bool locked() const { return how_ != How::None; }

private:
    enum class How { None, Immutable, Permissions };
    QString path_;
    How how_ = How::None;
};

// A file the process cannot read whoever it runs as, or "" when none is at hand.
QString unreadableFile(const QTemporaryDir& dir)
{
    if (::geteuid() != 0) {
        const QString file = dir.filePath(QStringLiteral("unreadable.rtf"));
        writeBytes(file, "{\\rtf1 secret\\par}");
        QFile::setPermissions(file, QFile::WriteOwner);
        return file;
    }
    // Write-only kernel settings refuse reading even to root.
    const QString setting = QStringLiteral("/proc/sys/vm/drop_caches");
    const int fd = ::open(QFile::encodeName(setting).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    return errno == EACCES ? setting : QString();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

enum class SaveFault { ReadOnlyFolder, FolderVanished, FullDevice, DeviceFillsUp };
enum class OpenFault { RemovedAfterDialog, Unreadable, ReadError, Oversized };

const QByteArray kEarlierReport = "{\\rtf1 earlier report\\par}";

} // namespace

class FileFaultsTest : public QObject {
    Q_OBJECT

private:
    // The main window after a successful save and an edit: the state that
    // a failed command must leave exactly as it is.
    struct Saved {
        QString file;
        QByteArray bytes;
        QString html;
        QString caption;
    };
    static Saved saveThenEdit(TForm1& form, FakeUiServices& fake, const QTemporaryDir& dir)
    {
        form.markUnsaved();
        form.RichEdit1->appendLine(QStringLiteral("Результаты расчета"));
        Saved s;
        s.file = dir.filePath(QStringLiteral("saved before.rtf"));
        fake.saveAnswers.push_back(s.file);
        form.N5Click();
        s.bytes = readAll(s.file);
        form.RichEdit1->appendLine(QStringLiteral("правка после сохранения"));
        s.html = form.RichEdit1->toHtml();
        s.caption = form.caption();
        return s;
    }

    static void checkOneStopBox(const FakeUiServices& fake, const QString& expected)
    {
        QCOMPARE(fake.messages.size(), std::size_t{1});
        QCOMPARE(fake.messages.front().icon, UiServices::Icon::Stop);
        QCOMPARE(fake.messages.front().title, QStringLiteral("Kalvanta 4.5 SP1"));
        QCOMPARE(fake.messages.front().text, expected);
    }

private slots:
    void aFailedSaveKeepsTheFilesTheViewAndTheCaption_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("read-only folder") << int(SaveFault::ReadOnlyFolder);
        QTest::newRow("folder removed after the dialog") << int(SaveFault::FolderVanished);
        QTest::newRow("full device") << int(SaveFault::FullDevice);
        QTest::newRow("device fills up over an earlier file") << int(SaveFault::DeviceFillsUp);
    }
    void aFailedSaveKeepsTheFilesTheViewAndTheCaption()
    {
        QFETCH(int, fault);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakeServicesScope services;
        services.fake.defaultAnswer = true; // replace an existing file
        TForm1 form;
        prepare(form);
        const Saved before = saveThenEdit(form, services.fake, dir);
        QVERIFY(services.fake.messages.empty());
        QVERIFY(before.bytes.startsWith("{\\rtf1"));
        QCOMPARE(before.caption, kProgramCaption + nativePath(before.file));

        QString target;
        QString expected;
        QString folder; // where nothing may be left behind
        std::unique_ptr<LockedFolder> lock;
        std::unique_ptr<FileSizeLimit> limit;
        switch (SaveFault(fault)) {
        case SaveFault::ReadOnlyFolder:
            folder = dir.filePath(QStringLiteral("locked"));
            QVERIFY(QDir().mkpath(folder));
            target = folder + QStringLiteral("/report.rtf");
            QVERIFY(writeBytes(target, kEarlierReport));
            lock = std::make_unique<LockedFolder>(folder);
            if (!lock->locked())
                QSKIP("running as root on a file system without the immutable flag: nothing stops root here");
            expected = QStringLiteral("Cannot create file \"%1\". ").arg(target);
            break;
        case SaveFault::FolderVanished:
            folder = dir.filePath(QStringLiteral("vanishing"));
            QVERIFY(QDir().mkpath(folder));
            target = folder + QStringLiteral("/report.rtf");
            services.fake.onFileChosen = [folder](const QString&) { QDir(folder).removeRecursively(); };
            expected = QStringLiteral("Cannot create file \"%1\". No such file or directory.").arg(target);
            break;
        case SaveFault::FullDevice:
            if (!QFileInfo::exists(QStringLiteral("/dev/full")))
                QSKIP("no /dev/full here");
            target = QStringLiteral("/dev/full");
            expected = QStringLiteral("Failed to Save Stream.");
            break;
        case SaveFault::DeviceFillsUp:
            folder = dir.path();
            target = dir.filePath(QStringLiteral("report.rtf"));
            QVERIFY(writeBytes(target, kEarlierReport));
            limit = std::make_unique<FileSizeLimit>(64); // the report is several kilobytes
            expected = QStringLiteral("Failed to Save Stream.");
            break;
        }
        const QStringList filesBefore = folder.isEmpty() || SaveFault(fault) == SaveFault::FolderVanished
                                            ? QStringList()
                                            : entries(folder);
        services.fake.saveAnswers.push_back(target);
        form.N5Click();
        limit.reset();

        QCOMPARE(services.fake.saveDialogs, 2);
        QCOMPARE(services.fake.messages.size(), std::size_t{1});
        QVERIFY2(services.fake.messages.front().text.startsWith(expected), qPrintable(services.fake.messages.front().text));
        QVERIFY(services.fake.messages.front().text.endsWith(QLatin1Char('.')));
        QCOMPARE(services.fake.messages.front().icon, UiServices::Icon::Stop);
        QCOMPARE(services.fake.messages.front().title, QStringLiteral("Kalvanta 4.5 SP1"));
        if (SaveFault(fault) == SaveFault::ReadOnlyFolder || SaveFault(fault) == SaveFault::DeviceFillsUp) {
            QCOMPARE(readAll(target), kEarlierReport);
            QCOMPARE(entries(folder), filesBefore); // no temporary file left behind
        }
        if (SaveFault(fault) == SaveFault::FolderVanished)
            QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(readAll(before.file), before.bytes);
        QCOMPARE(form.RichEdit1->toHtml(), before.html);
        QCOMPARE(form.caption(), before.caption);
        QCOMPARE(form.windowTitle(), before.caption);

        // The program goes on: the same report saves where it can be written.
        lock.reset();
        const QString good = dir.filePath(QStringLiteral("after the fault.rtf"));
        services.fake.saveAnswers.push_back(good);
        form.N5Click();
        QCOMPARE(services.fake.messages.size(), std::size_t{1});
        QCOMPARE(form.caption(), kProgramCaption + nativePath(good));
        QVERIFY(readAll(good).startsWith("{\\rtf1"));
    }

    void aFailedOpenKeepsTheViewAndTheCaption_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("file removed after the dialog") << int(OpenFault::RemovedAfterDialog);
        QTest::newRow("unreadable file") << int(OpenFault::Unreadable);
        QTest::newRow("read error") << int(OpenFault::ReadError);
        QTest::newRow("200 MB file") << int(OpenFault::Oversized);
    }
    void aFailedOpenKeepsTheViewAndTheCaption()
    {
        QFETCH(int, fault);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        const Saved before = saveThenEdit(form, services.fake, dir);
        QVERIFY(services.fake.messages.empty());

        QString file;
        QString expected;
        switch (OpenFault(fault)) {
        case OpenFault::RemovedAfterDialog:
            file = dir.filePath(QStringLiteral("removed.rtf"));
            QVERIFY(writeBytes(file, kEarlierReport));
            services.fake.onFileChosen = [](const QString& chosen) { QFile::remove(chosen); };
            expected = QStringLiteral("Cannot open file \"%1\". No such file or directory.").arg(file);
            break;
        case OpenFault::Unreadable:
            file = unreadableFile(dir);
            if (file.isEmpty())
                QSKIP("running as root with no file that root cannot read");
            expected = QStringLiteral("Cannot open file \"%1\". Permission denied.").arg(file);
            break;
        case OpenFault::ReadError:
            // Opens, then fails to read at offset 0 (nothing is mapped there).
            file = QStringLiteral("/proc/self/mem");
            if (!QFileInfo::exists(file))
                QSKIP("no /proc/self/mem here");
            expected = QStringLiteral("Failed to Load Stream.");
            break;
        case OpenFault::Oversized: {
            file = dir.filePath(QStringLiteral("huge.rtf"));
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(200LL * 1024 * 1024)); // sparse: no disk space taken
            expected = QStringLiteral("Failed to Load Stream.");
            break;
        }
        }
        services.fake.openAnswers.push_back(file);
        form.N3Click();
        if (OpenFault(fault) == OpenFault::Oversized)
            QFile::remove(file);

        checkOneStopBox(services.fake, expected);
        QCOMPARE(form.RichEdit1->toHtml(), before.html);
        QCOMPARE(form.caption(), before.caption);
        QCOMPARE(readAll(before.file), before.bytes);

        // The program goes on: the earlier file opens.
        services.fake.onFileChosen = [](const QString&) {};
        services.fake.openAnswers.push_back(before.file);
        form.N3Click();
        QCOMPARE(services.fake.messages.size(), std::size_t{1});
        QCOMPARE(blockTexts(*form.RichEdit1->document()).last(), QStringLiteral("Результаты расчета"));
        QCOMPARE(form.caption(), kProgramCaption + nativePath(before.file));
    }
};

QTEST_MAIN(FileFaultsTest)
#include "test_file_faults.moc"
