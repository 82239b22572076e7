// The report in the formats people pass on: "Сохранить как..." by file type
// and suffix, "Экспорт в PDF..." by its shortcut, each file read back by an
// outside reader (poppler, LibreOffice), and a failed export that leaves the
// earlier file and the report's state alone.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "fake_ui_services.h"
#include "shell/report_view.h"
#include "shell_test_support.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

const QString kSaveAsTypes = QStringLiteral("Документ RTF (*.rtf);;Документ PDF (*.pdf);;Документ OpenDocument (*.odt);;"
                                            "Страница HTML (*.html *.htm);;Все файлы (*)");
const QString kPdfType = QStringLiteral("Документ PDF (*.pdf)");

bool haveTool(const char* tool) { return !QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty(); }

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfInfo(const QString& pdf, const QString& field)
{
    for (const QString& line : run(QStringLiteral("pdfinfo"), {pdf}).split(u'\n'))
        if (line.startsWith(field + u':'))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

QString pdfPageText(const QString& pdf, int page)
{
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                QString::number(page), pdf, QStringLiteral("-")});
}

// "Сохранить как..." and the other items of the "Файл" menu, pressed as
// assistive technology presses them.
bool pressFileMenuItem(TForm1& form, const QString& name)
{
    QMenu* file = form.menuBar()->actions().front()->menu();
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(file);
    for (int i = 0; menu && i < menu->childCount(); ++i) {
        QAccessibleInterface* item = menu->child(i);
        if (item->text(QAccessible::Name) == name && item->actionInterface()) {
            item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            return true;
        }
    }
    return false;
}

// What kind of file the bytes are, by what they start with.
QString kindOf(const QByteArray& bytes)
{
    if (bytes.startsWith("{\\rtf1"))
        return QStringLiteral("rtf");
    if (bytes.startsWith("%PDF-"))
        return QStringLiteral("pdf");
    if (bytes.startsWith("PK") && bytes.contains("application/vnd.oasis.opendocument.text"))
        return QStringLiteral("odt");
    if (bytes.startsWith("<!DOCTYPE HTML"))
        return QStringLiteral("html");
    return QStringLiteral("unknown");
}

// Report-like lines: leading, repeated and trailing spaces, Cyrillic, rules.
const QStringList kReportLines = {
    QStringLiteral(" Kalvanta  version 4.5   "),
    QStringLiteral("Дата 14.03.2026"),
    QStringLiteral("          Результаты расчета  за 2 года"),
    QStringLiteral(" Показатель                 на начало года/на конец года"),
    QStringLiteral("Коэффициент автономии (на начало и конец года)(норма>=0,5)   0,08/0,14"),
    QString(97, QLatin1Char('_')),
};

void writeReport(TForm1& form, const QStringList& lines)
{
    form.RichEdit1->clearAll();
    form.RichEdit1->setBaseFontHeight(14);
    for (const QString& line : lines)
        form.RichEdit1->appendLine(line);
}

} // namespace

class ReportFormatsTest : public QObject {
    Q_OBJECT

private slots:
    void saveAsWritesTheTypeTheSuffixOrTheChosenTypeSays_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("type"); // chosen in the dialog; empty: the first, RTF
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("kind");
        QTest::newRow("no suffix, RTF") << "отчет" << "" << "отчет" << "rtf";
        QTest::newRow(".txt, all files") << "отчет.txt" << "Все файлы (*)" << "отчет.txt" << "rtf";
        QTest::newRow(".pdf") << "отчет.pdf" << "" << "отчет.pdf" << "pdf";
        QTest::newRow(".ODT in capitals") << "отчет.ODT" << "" << "отчет.ODT" << "odt";
        QTest::newRow(".htm") << "отчет.htm" << "" << "отчет.htm" << "html";
        QTest::newRow("PDF chosen, no suffix") << "отчет" << "Документ PDF (*.pdf)" << "отчет.pdf" << "pdf";
        QTest::newRow("HTML chosen, no suffix") << "отчет" << "Страница HTML (*.html *.htm)" << "отчет.html"
                                                << "html";
        QTest::newRow("OpenDocument chosen, .txt") << "отчет.txt" << "Документ OpenDocument (*.odt)"
                                                   << "отчет.txt.odt" << "odt";
        QTest::newRow("PDF chosen, .rtf typed") << "отчет.rtf" << "Документ PDF (*.pdf)" << "отчет.rtf" << "rtf";
    }
    void saveAsWritesTheTypeTheSuffixOrTheChosenTypeSays()
    {
        QFETCH(QString, typed);
        QFETCH(QString, type);
        QFETCH(QString, written);
        QFETCH(QString, kind);
        FakeServicesScope services;
        QTemporaryDir dir;
        TForm1 form;
        writeReport(form, kReportLines);
        form.markUnsaved();
        services.fake.saveAnswers.push_back(dir.filePath(typed));
        services.fake.saveTypeAnswers.push_back(type);
        QVERIFY(pressFileMenuItem(form, QStringLiteral("Сохранить как...")));

        QCOMPARE(services.fake.saveFilters, std::vector<QString>{kSaveAsTypes});
        QVERIFY(services.fake.messages.empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{written});
        QCOMPARE(kindOf(readAll(dir.filePath(written))), kind);
        // Only RTF, the program's own document, becomes the report's file;
        // the others are copies to pass on, and the report stays unsaved.
        QCOMPARE(form.caption(), kind == QLatin1String("rtf")
                                     ? kProgramCaption + QDir::toNativeSeparators(dir.filePath(written))
                                     : kUnsavedCaption);
    }

    void exportShortcutWritesNumberedA4PagesWithWholeLines_data()
    {
        QTest::addColumn<QString>("wideLine"); // put among the lines; empty: none
        QTest::addColumn<QString>("pageSize");
        QTest::newRow("report lines: portrait") << "" << "595 x 842 pts (A4)";
        // Wider than a portrait page: landscape, and never wrapped.
        QTest::newRow("years side by side: landscape")
            << QStringLiteral("1370 Нераспределенная прибыль (непокрытый убыток)") + QString(30, u' ')
                   + QStringLiteral("2860            3485            4110            4735            5360")
                   + QStringLiteral("            5985            6610            7235            7860")
            << "842 x 595 pts (A4)";
    }
    void exportShortcutWritesNumberedA4PagesWithWholeLines()
    {
        QFETCH(QString, wideLine);
        QFETCH(QString, pageSize);
        if (!haveTool("pdfinfo") || !haveTool("pdftotext") || !haveTool("pdffonts"))
            QSKIP("poppler-utils are not installed");
        FakeServicesScope services;
        QTemporaryDir dir;
        TForm1 form;
        prepare(form);
        QStringList lines;
        for (int i = 1; i <= 250; ++i)
            lines << QStringLiteral("Строка отчета %1").arg(i);
        if (!wideLine.isEmpty())
            lines.insert(40, wideLine);
        writeReport(form, lines);
        form.markUnsaved();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        services.fake.saveAnswers.push_back(dir.filePath(QStringLiteral("отчет")));
        QTest::keyClick(form.RichEdit1, Qt::Key_E, Qt::ControlModifier);

        QCOMPARE(services.fake.saveFilters, std::vector<QString>{kPdfType});
        QVERIFY(services.fake.messages.empty());
        const QString pdf = dir.filePath(QStringLiteral("отчет.pdf"));
        QCOMPARE(pdfInfo(pdf, QStringLiteral("Page size")), pageSize);
        const int pages = pdfInfo(pdf, QStringLiteral("Pages")).toInt();
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QStringList seen;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfPageText(pdf, page);
            QVERIFY2(text.contains(QStringLiteral("Страница %1 из %2").arg(page).arg(pages)), qPrintable(text));
            for (QString line : text.split(u'\n'))
                if (line = line.simplified(); !line.isEmpty() && !line.startsWith(QStringLiteral("Страница ")))
                    seen << line;
        }
        // Every line once, whole, in order: a line cut by a page edge would
        // be drawn on both pages.
        QStringList expected;
        for (const QString& line : lines)
            expected << line.simplified();
        QCOMPARE(seen, expected);
        // The view's font, embedded with its Unicode map (searchable text).
        const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
        QVERIFY2(QRegularExpression(QStringLiteral("DejaVuSans\\s.*\\syes\\s+(yes|no)\\s+yes")).match(fonts).hasMatch(),
                 qPrintable(fonts));
        QCOMPARE(form.caption(), kUnsavedCaption);
        QVERIFY(form.hasUnsavedReport());
    }

    void everyFormatReadsBackInLibreOffice()
    {
        if (!haveTool("soffice"))
            QSKIP("LibreOffice is not installed");
        FakeServicesScope services;
        QTemporaryDir dir;
        TForm1 form;
        writeReport(form, kReportLines);
        for (const char* name : {"report.odt", "page.html"}) {
            services.fake.saveAnswers.push_back(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(pressFileMenuItem(form, QStringLiteral("Сохранить как...")));
        }
        QVERIFY(services.fake.messages.empty());
        const QString out = dir.filePath(QStringLiteral("text"));
        QProcess soffice;
        soffice.start(QStringLiteral("soffice"),
                      {QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                       QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"), out,
                       dir.filePath(QStringLiteral("report.odt")), dir.filePath(QStringLiteral("page.html"))});
        QVERIFY(soffice.waitForFinished(180000));
        auto textOf = [&out](const char* name) {
            QString text = QString::fromUtf8(readAll(QDir(out).filePath(QString::fromLatin1(name))));
            text.remove(QChar(0xFEFF));
            text.replace(QChar::Nbsp, u' ');
            return text.split(u'\n').mid(0, kReportLines.size());
        };
        // OpenDocument keeps every space.
        QCOMPARE(textOf("report.txt"), kReportLines);
        // LibreOffice reads HTML spaces as a browser does without CSS: runs of them as one.
        QStringList collapsed;
        for (const QString& line : kReportLines)
            collapsed << line.simplified();
        QStringList html;
        for (const QString& line : textOf("page.txt"))
            html << line.simplified();
        QCOMPARE(html, collapsed);
    }

    void aFailedExportKeepsTheEarlierFileAndTheReportsState_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("sizeLimit"); // 0: none
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << "gone/отчет.pdf" << 0 << "Cannot create file \"%1\". No such file or directory.";
        QTest::newRow("device fills up") << "отчет.pdf" << 64 << "Failed to Save Stream.";
    }
    void aFailedExportKeepsTheEarlierFileAndTheReportsState()
    {
        QFETCH(QString, name);
        QFETCH(int, sizeLimit);
        QFETCH(QString, message);
        FakeServicesScope services;
        services.fake.defaultAnswer = true; // replace the earlier file
        QTemporaryDir dir;
        const QString file = dir.filePath(name);
        const QByteArray earlier = "%PDF-1.4 earlier export";
        if (sizeLimit)
            QVERIFY(writeBytes(file, earlier));
        TForm1 form;
        writeReport(form, kReportLines);
        form.markUnsaved();
        services.fake.saveAnswers.push_back(file);
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (sizeLimit)
                limit = std::make_unique<FileSizeLimit>(sizeLimit);
            QVERIFY(pressFileMenuItem(form, QStringLiteral("Экспорт в PDF...")));
        }
        QCOMPARE(services.fake.messages.size(), std::size_t{1});
        QCOMPARE(services.fake.messages.front().icon, UiServices::Icon::Stop);
        QCOMPARE(services.fake.messages.front().text, message.contains(u'%') ? message.arg(file) : message);
        QCOMPARE(form.caption(), kUnsavedCaption);
        if (sizeLimit) {
            QCOMPARE(readAll(file), earlier);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        }
    }

    void exportAsksBeforeReplacingTheFileItWouldWrite()
    {
        FakeServicesScope services;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("отчет.pdf"));
        QVERIFY(writeBytes(file, "earlier"));
        TForm1 form;
        writeReport(form, kReportLines);
        // The typed name gets its suffix before the question, which names the file replaced.
        services.fake.saveAnswers = {dir.filePath(QStringLiteral("отчет")), QString()};
        services.fake.yesNoAnswers = {false};
        QVERIFY(pressFileMenuItem(form, QStringLiteral("Экспорт в PDF...")));
        QCOMPARE(services.fake.saveDialogs, 2);
        QCOMPARE(services.fake.questions.size(), std::size_t{1});
        QCOMPARE(services.fake.questions.front().text,
                 QStringLiteral("%1 уже существует.\nЗаменить его?").arg(QDir::toNativeSeparators(file)));
        QCOMPARE(readAll(file), QByteArray("earlier"));
    }
};

QTEST_MAIN(ReportFormatsTest)
#include "test_report_formats.moc"
