// The report as a document: the caption as document state, the closing
// question, Open and Save as with their errors, printing, the font command
// and the editing commands.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "fake_ui_services.h"
#include "shell/report_view.h"
#include "shell_test_support.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A report-like document: trailing and repeated spaces, Cyrillic, a bold,
// a coloured and a larger run, after a one-year report's base font change.
void writeSampleReport(ReportView& view)
{
    view.setBaseFontHeight(14);
    view.appendLine(QStringLiteral(" Kalvanta  version 4.5  "));
    view.appendLine(QStringLiteral("Дата 14.03.2026"));
    view.appendLine(QStringLiteral(" "));
    view.appendLine(QStringLiteral("Коэффициент автономии (на начало и конец года)(норма>=0,5)   0,08   0,14"));
    view.appendLine(QString(97, QLatin1Char('_')));
    QTextCursor cursor(view.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("Итог: "), bold);
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    red.setFontPointSize(14);
    cursor.insertText(QStringLiteral("кризисное состояние"), red);
}

// The look of every paragraph: its runs with the attributes a reader sees.
QStringList appearance(const ReportView& view)
{
    QStringList out;
    const QFont base = view.font();
    for (QTextBlock b = view.document()->begin(); b.isValid(); b = b.next()) {
        QString line;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            QFont font = f.font().resolve(base);
            const qreal pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
            line += QStringLiteral("[%1|%2|%3px|b%4|i%5|u%6|%7]")
                        .arg(it.fragment().text(), font.family())
                        .arg(qRound(pixels))
                        .arg(font.bold())
                        .arg(font.italic())
                        .arg(font.underline())
                        .arg(f.foreground().style() == Qt::NoBrush ? QStringLiteral("auto")
                                                                   : f.foreground().color().name());
        }
        out << line;
    }
    return out;
}

bool haveTool(const char* tool) { return !QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty(); }

int pdfPages(const QString& pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

QString pdfText(const QString& pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

std::function<bool(QPrinter&)> printToPdf(const QString& path)
{
    return [path](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    };
}

enum class Step { None, Unsaved, Save, Open, CancelOpen, CancelSave, Clear, Edit };

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void captionAndClosingQuestionFollowTheDocumentState_data()
    {
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QString>("caption"); // "<path>" stands for the file's full path
        QTest::addColumn<bool>("asks");
        const auto steps = [](std::initializer_list<Step> s) {
            QList<int> out;
            for (Step step : s)
                out << int(step);
            return out;
        };
        QTest::newRow("start") << steps({Step::None}) << "Kalvanta 4.5" << false;
        QTest::newRow("completed run") << steps({Step::Unsaved}) << "Kalvanta 4.5 (Документ без имени)" << true;
        QTest::newRow("saved") << steps({Step::Unsaved, Step::Save}) << "Kalvanta 4.5<path>" << false;
        QTest::newRow("saved then edited") << steps({Step::Unsaved, Step::Save, Step::Edit}) << "Kalvanta 4.5<path>"
                                          << false;
        QTest::newRow("opened") << steps({Step::Unsaved, Step::Open}) << "Kalvanta 4.5<path>" << false;
        QTest::newRow("open cancelled") << steps({Step::Unsaved, Step::CancelOpen})
                                        << "Kalvanta 4.5 (Документ без имени)" << true;
        QTest::newRow("save cancelled") << steps({Step::Unsaved, Step::CancelSave})
                                        << "Kalvanta 4.5 (Документ без имени)" << true;
        QTest::newRow("cleared") << steps({Step::Unsaved, Step::Clear}) << "Kalvanta 4.5 (Документ без имени)"
                                 << true;
        QTest::newRow("edited") << steps({Step::Unsaved, Step::Edit}) << "Kalvanta 4.5 (Документ без имени)" << true;
        QTest::newRow("saved, then a new run") << steps({Step::Save, Step::Unsaved})
                                               << "Kalvanta 4.5 (Документ без имени)" << true;
    }
    void captionAndClosingQuestionFollowTheDocumentState()
    {
        QFETCH(QList<int>, steps);
        QFETCH(QString, caption);
        QFETCH(bool, asks);
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        const QString file = path(QStringLiteral("state.rtf"));
        QFile::remove(file);
        for (int s : steps) {
            switch (Step(s)) {
            case Step::None: break;
            case Step::Unsaved:
                form.markUnsaved();
                form.RichEdit1->appendLine(QStringLiteral("Результаты расчета"));
                break;
            case Step::Save:
                services.fake.saveAnswers.push_back(file);
                form.N5Click();
                break;
            case Step::Open:
                writeBytes(file, "{\\rtf1 opened\\par}");
                services.fake.openAnswers.push_back(file);
                form.N3Click();
                break;
            case Step::CancelOpen: form.N3Click(); break;
            case Step::CancelSave: form.N5Click(); break;
            case Step::Clear: form.N29Click(); break;
            case Step::Edit: form.RichEdit1->insertPlainText(QStringLiteral("правка")); break;
            }
        }
        caption.replace(QStringLiteral("<path>"), QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
        QCOMPARE(form.caption(), caption);
        QCOMPARE(form.windowTitle(), caption);
        QVERIFY(services.fake.messages.empty());

        // The answer No keeps the window, its report and its caption.
        services.fake.questions.clear(); // Open's own question is another test's
        services.fake.defaultAnswer = false;
        const QString text = form.RichEdit1->toPlainText();
        QSignalSpy closed(&form, &TForm1::closed);
        form.show();
        QCOMPARE(form.close(), !asks);
        QCOMPARE(services.fake.questions.size(), std::size_t(asks ? 1 : 0));
        if (asks) {
            QCOMPARE(services.fake.questions.front().title, QStringLiteral("Confirm"));
            QCOMPARE(services.fake.questions.front().text,
                     QStringLiteral("Результаты расчета не сохранены. Завершить работу ?"));
            QCOMPARE(form.caption(), caption);
            QCOMPARE(form.RichEdit1->toPlainText(), text);
            QCOMPARE(closed.count(), 0);
            // Yes closes and ends the program.
            services.fake.defaultAnswer = true;
            QVERIFY(form.close());
        }
        QCOMPARE(closed.count(), 1);
    }

    // "Открыть..." over an unsaved report asks first; No leaves the view,
    // the caption and the file dialog alone.
    void openOverAnUnsavedReportAsksFirst_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("opened");
        QTest::newRow("unsaved, No") << true << false << 1 << false;
        QTest::newRow("unsaved, Yes") << true << true << 1 << true;
        QTest::newRow("nothing unsaved") << false << false << 0 << true;
    }
    void openOverAnUnsavedReportAsksFirst()
    {
        QFETCH(bool, unsaved);
        QFETCH(bool, answer);
        QFETCH(int, questions);
        QFETCH(bool, opened);
        FakeServicesScope services;
        services.fake.defaultAnswer = answer;
        TForm1 form;
        prepare(form);
        form.RichEdit1->appendLine(QStringLiteral("Результаты расчета"));
        if (unsaved)
            form.markUnsaved();
        const QString caption = form.caption();
        const QString text = form.RichEdit1->toPlainText();
        const QString file = path(QStringLiteral("other report.rtf"));
        writeBytes(file, "{\\rtf1 other report\\par}");
        services.fake.openAnswers.push_back(file);
        form.menuItem(QStringLiteral("N3"))->trigger();
        QCOMPARE(int(services.fake.questions.size()), questions);
        if (questions) {
            QCOMPARE(services.fake.questions.front().title, QStringLiteral("Confirm"));
            QCOMPARE(services.fake.questions.front().text,
                     QStringLiteral("Результаты расчета не сохранены. Открыть другой файл ?"));
        }
        QCOMPARE(services.fake.openDialogs, opened ? 1 : 0);
        QCOMPARE(form.RichEdit1->toPlainText(), opened ? QStringLiteral("other report") : text);
        QCOMPARE(form.caption(), opened ? kProgramCaption + QDir::toNativeSeparators(file) : caption);
    }

    void exitCommandClosesLikeTheCloseBox()
    {
        FakeServicesScope services;
        services.fake.defaultAnswer = false;
        TForm1 form;
        form.show();
        form.markUnsaved();
        form.menuItem(QStringLiteral("N16"))->trigger();
        QVERIFY(form.isVisible());
        QCOMPARE(services.fake.questions.size(), std::size_t{1});
    }

    void saveAsThenOpenGivesTheSameTextAndFormatting()
    {
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        writeSampleReport(*form.RichEdit1);
        const QStringList texts = blockTexts(*form.RichEdit1->document());
        const QStringList look = appearance(*form.RichEdit1);
        const QString file = path(QStringLiteral("round trip.rtf"));
        services.fake.saveAnswers.push_back(file);
        form.N5Click();
        QVERIFY(services.fake.messages.empty());
        QVERIFY(readAll(file).startsWith("{\\rtf1"));

        form.N29Click();
        QCOMPARE(form.RichEdit1->toPlainText(), QString());
        services.fake.openAnswers.push_back(file);
        form.N3Click();
        QVERIFY(services.fake.messages.empty());
        QCOMPARE(blockTexts(*form.RichEdit1->document()), texts);
        QCOMPARE(appearance(*form.RichEdit1), look);
        QCOMPARE(form.RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void plainTextFilesOpenWhateverTheirName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("utf-8 .txt") << "plain.txt" << QByteArray("Строка 1\nline two  \n")
                                    << QStringList({"Строка 1", "line two  "});
        QTest::newRow("utf-8 named .rtf") << "not really.rtf" << QByteArray("Отчет\r\nвторая")
                                          << QStringList({"Отчет", "вторая"});
        QTest::newRow("cp1251") << "old" << QByteArray("\xce\xf2\xf7\xe5\xf2 1251\n")
                                << QStringList({"Отчет 1251"});
        QTest::newRow("broken rtf") << "broken.rtf" << QByteArray("{\\rtf1 unclosed {\\b group")
                                    << QStringList({"{\\rtf1 unclosed {\\b group"});
        // An empty file is an empty text, not an error.
        QTest::newRow("0 bytes") << "empty.rtf" << QByteArray() << QStringList({""});
    }
    void plainTextFilesOpenWhateverTheirName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        FakeServicesScope services;
        TForm1 form;
        const QString file = path(name);
        writeBytes(file, bytes);
        services.fake.openAnswers.push_back(file);
        form.N3Click();
        QVERIFY(services.fake.messages.empty());
        QCOMPARE(blockTexts(*form.RichEdit1->document()), lines);
        QCOMPARE(form.caption(), kProgramCaption + QFileInfo(file).absoluteFilePath());
        QCOMPARE(form.RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void saveWritesRtfUnderExactlyTheTypedName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("no extension") << "report";
        QTest::newRow(".txt") << "report.txt";
        QTest::newRow("spaces and Cyrillic") << "отчет за год.rtf";
    }
    void saveWritesRtfUnderExactlyTheTypedName()
    {
        QFETCH(QString, name);
        FakeServicesScope services;
        QTemporaryDir target;
        TForm1 form;
        form.RichEdit1->appendLine(QStringLiteral("Отчет"));
        const QString file = target.filePath(name);
        services.fake.saveAnswers.push_back(file);
        form.N5Click();
        QVERIFY(services.fake.messages.empty());
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        QVERIFY(readAll(file).startsWith("{\\rtf1"));
        QCOMPARE(form.caption(), kProgramCaption + file);

        // Opening it again reads RTF, not the name's .txt.
        form.N29Click();
        services.fake.openAnswers.push_back(file);
        form.N3Click();
        QCOMPARE(blockTexts(*form.RichEdit1->document()), QStringList({"", "", "", "Отчет"}));
    }

    void replacingAnExistingFileAsksFirst()
    {
        FakeServicesScope services;
        TForm1 form;
        form.RichEdit1->appendLine(QStringLiteral("новый отчет"));
        const QString file = path(QStringLiteral("existing.rtf"));
        writeBytes(file, "earlier report");

        // No: the file stays, the dialog comes back, cancelling it changes nothing.
        services.fake.saveAnswers = {file, QString()};
        services.fake.yesNoAnswers = {false};
        form.N5Click();
        QCOMPARE(services.fake.saveDialogs, 2);
        QCOMPARE(services.fake.questions.size(), std::size_t{1});
        QVERIFY(services.fake.questions.front().text.contains(file));
        QCOMPARE(readAll(file), QByteArray("earlier report"));
        QCOMPARE(form.caption(), kProgramCaption);

        // Yes: replaced.
        services.fake.saveAnswers = {file};
        services.fake.yesNoAnswers = {true};
        form.N5Click();
        QVERIFY(readAll(file).startsWith("{\\rtf1"));
        QCOMPARE(form.caption(), kProgramCaption + file);
    }

    void filesThatCannotBeReadNameTheFileAndChangeNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "no such file.rtf";
        QTest::newRow("folder") << "a folder";
    }
    void filesThatCannotBeReadNameTheFileAndChangeNothing()
    {
        QFETCH(QString, name);
        FakeServicesScope services;
        QDir(dir_.path()).mkpath(QStringLiteral("a folder"));
        TForm1 form;
        form.markUnsaved();
        form.RichEdit1->appendLine(QStringLiteral("отчет"));
        const QString before = form.RichEdit1->toHtml();
        const QString file = path(name);
        services.fake.openAnswers.push_back(file);
        form.N3Click();
        QCOMPARE(services.fake.messages.size(), std::size_t{1});
        const FakeUiServices::Message& shown = services.fake.messages.front();
        QCOMPARE(shown.icon, UiServices::Icon::Stop);
        QCOMPARE(shown.title, QStringLiteral("Kalvanta 4.5 SP1"));
        QVERIFY2(shown.text.contains(file), qPrintable(shown.text));
        QVERIFY(shown.text.endsWith('.'));
        QCOMPARE(form.RichEdit1->toHtml(), before);
        QCOMPARE(form.caption(), kUnsavedCaption);
    }

    void filesThatCannotBeWrittenNameTheFileAndKeepTheCaption_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << QDir(dir_.path()).filePath("gone/report.rtf") << "gone/report.rtf";
        QTest::newRow("a folder") << dir_.path() << dir_.path();
    }
    void filesThatCannotBeWrittenNameTheFileAndKeepTheCaption()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        FakeServicesScope services;
        services.fake.defaultAnswer = true; // "replace" the folder, if asked
        TForm1 form;
        form.markUnsaved();
        services.fake.saveAnswers.push_back(file);
        form.N5Click();
        QCOMPARE(services.fake.messages.size(), std::size_t{1});
        QVERIFY2(services.fake.messages.front().text.contains(message), qPrintable(services.fake.messages.front().text));
        QCOMPARE(form.caption(), kUnsavedCaption);
    }

    void printingAnEmptyViewGivesOneBlankPage()
    {
        if (!haveTool("pdfinfo"))
            QSKIP("pdfinfo (poppler-utils) is not installed");
        FakeServicesScope services;
        TForm1 form;
        form.N29Click();
        const QString pdf = path(QStringLiteral("empty.pdf"));
        services.fake.onPrintDialog = printToPdf(pdf);
        form.N6Click();
        QVERIFY(services.fake.messages.empty());
        QCOMPARE(pdfPages(pdf), 1);
        QCOMPARE(form.printer().docName(), QString());
    }

    void aLongReportPrintsOnSeveralPagesWithEveryLine()
    {
        if (!haveTool("pdfinfo") || !haveTool("pdftotext"))
            QSKIP("poppler-utils are not installed");
        FakeServicesScope services;
        TForm1 form;
        prepare(form);
        const int count = 300;
        for (int i = 1; i <= count; ++i)
            form.RichEdit1->appendLine(QStringLiteral("Строка отчета %1 ").arg(i));
        const QString pdf = path(QStringLiteral("long.pdf"));
        services.fake.onPrintDialog = printToPdf(pdf);
        form.N6Click();
        QVERIFY(services.fake.messages.empty());
        const int pages = pdfPages(pdf);
        QVERIFY2(pages > 1, qPrintable(QString::number(pages)));
        const QString text = pdfText(pdf);
        for (int i = 1; i <= count; ++i) {
            const QString line = QStringLiteral("Строка отчета %1\n").arg(i);
            QVERIFY2(text.count(line) == 1, qPrintable(line));
        }
        QCOMPARE(text.count(QLatin1Char('\f')), pages);
    }

    void cancelledPrintPrintsNothingAndPrinterSetUpIsKept()
    {
        FakeServicesScope services;
        TForm1 form;
        const QString pdf = path(QStringLiteral("never.pdf"));
        services.fake.onPrinterSetup = [](QPrinter& printer) {
            printer.setPageOrientation(QPageLayout::Landscape);
            return true;
        };
        form.N7Click();
        QPageLayout::Orientation seen = QPageLayout::Portrait;
        services.fake.onPrintDialog = [&seen, pdf](QPrinter& printer) {
            seen = printer.pageLayout().orientation();
            printer.setOutputFileName(pdf);
            return false;
        };
        form.N6Click();
        QCOMPARE(seen, QPageLayout::Landscape);
        QVERIFY(!QFileInfo::exists(pdf));
        QCOMPARE(services.fake.printerSetupDialogs, 1);
    }

    void fontCommandFormatsTheSelectionOnly()
    {
        FakeServicesScope services;
        TForm1 form;
        form.RichEdit1->appendLine(QStringLiteral("первая строка"));
        form.RichEdit1->appendLine(QStringLiteral("вторая строка"));
        const QFont base = form.RichEdit1->font();
        services.fake.onFontDialog = [](QFont& font) {
            font = QFont(QStringLiteral("DejaVu Serif"), 14);
            font.setBold(true);
            font.setItalic(true);
            return true;
        };
        QTextCursor cursor(form.RichEdit1->document()->findBlockByNumber(3));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        form.RichEdit1->setTextCursor(cursor);
        form.N31Click();
        QCOMPARE(services.fake.fontOffered, base);
        QCOMPARE(form.RichEdit1->font(), base);
        const QTextCharFormat changed = form.RichEdit1->document()->findBlockByNumber(3).begin().fragment().charFormat();
        QCOMPARE(changed.fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Serif"));
        QCOMPARE(changed.fontPointSize(), 14.0);
        QVERIFY(changed.font().bold() && changed.font().italic());
        const QTextCharFormat other = form.RichEdit1->document()->findBlockByNumber(4).begin().fragment().charFormat();
        QVERIFY(!other.hasProperty(QTextFormat::FontFamilies));

        // Without a selection the insertion point takes the font.
        cursor.clearSelection();
        form.RichEdit1->setTextCursor(cursor);
        services.fake.onFontDialog = [](QFont& font) {
            font = QFont(QStringLiteral("DejaVu Sans Mono"), 11);
            return true;
        };
        form.N31Click();
        QCOMPARE(form.RichEdit1->currentCharFormat().fontFamilies().toStringList().value(0),
                 QStringLiteral("DejaVu Sans Mono"));

        // Cancelled: nothing changes.
        const QString html = form.RichEdit1->toHtml();
        services.fake.onFontDialog = [](QFont&) { return false; };
        form.N31Click();
        QCOMPARE(form.RichEdit1->toHtml(), html);
    }

    void editingCommandsActOnTheView()
    {
        FakeServicesScope services;
        TForm1 form;
        form.markUnsaved();
        ReportView* view = form.RichEdit1;
        view->appendLine(QStringLiteral("строка отчета"));
        QApplication::clipboard()->setText(QStringLiteral("буфер"));

        form.N10Click(); // no selection: nothing happens
        QCOMPARE(view->toPlainText(), QStringLiteral("\n\n\nстрока отчета"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("буфер"));

        form.menuItem(QStringLiteral("N27"))->trigger(); // select all, from the context menu
        QCOMPARE(view->textCursor().selectedText().size(), view->toPlainText().size());
        form.menuItem(QStringLiteral("scop"))->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("\n\n\nстрока отчета"));

        QTextCursor word(view->document()->lastBlock());
        word.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
        view->setTextCursor(word);
        form.N10Click();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("строка "));
        QCOMPARE(view->document()->lastBlock().text(), QStringLiteral("отчета"));
        form.N17Click();
        QCOMPARE(view->document()->lastBlock().text(), QStringLiteral("строка отчета"));

        const QFont base = view->font();
        form.menuItem(QStringLiteral("N28"))->trigger(); // clear, from the context menu
        QCOMPARE(view->toPlainText(), QString());
        QCOMPARE(view->document()->blockCount(), 1);
        QCOMPARE(view->font(), base);
        QCOMPARE(form.caption(), kUnsavedCaption);
    }
};

QTEST_MAIN(DocumentTest)
#include "test_document.moc"
