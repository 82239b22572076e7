// Qt's own dialogs and buttons in the system's language (Russian here), the
// program's own texts unchanged, and the question before replacing a file.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "shell/main_window.h"
#include "shell/report_view.h"
#include "ui/application.h"
#include "ui/ui_services.h"

using namespace kalvanta;

namespace {

// Runs `open`, which shows a modal dialog; once the dialog is up `inspect`
// reads it and `answer` ends it as the user would.
void whileUp(const std::function<void()>& open, const std::function<void(QWidget*)>& inspect,
             const std::function<void(QWidget*)>& answer)
{
    bool seen = false;
    std::function<void()> poll = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            QTimer::singleShot(10, poll);
            return;
        }
        seen = true;
        inspect(modal);
        answer(modal);
    };
    QTimer::singleShot(0, poll);
    open();
    QVERIFY(seen);
}

void escape(QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); }

QStringList buttonTexts(QWidget* dialog)
{
    QStringList texts;
    for (const QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (!b->text().isEmpty())
            texts << b->text();
    return texts;
}

// The real dialogs, with a save dialog that answers with a chosen name.
class SaveAnswering : public QtUiServices {
public:
    QStringList names;
    QString saveFileName(QWidget*, const QString&, const QString&) override
    {
        return names.isEmpty() ? QString() : names.takeFirst();
    }
};

} // namespace

class DialogLanguageTest : public QObject {
    Q_OBJECT
private slots:
    void standardDialogsSpeakRussian_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QStringList>("shown"); // texts among its buttons and title
        QTest::addColumn<QString>("title");     // empty: Qt's own
        QTest::newRow("question") << "question" << QStringList{"&Да", "&Нет"} << "Confirm";
        QTest::newRow("message") << "message" << QStringList{"OK"} << "Kalvanta 4.5 SP1";
        QTest::newRow("open") << "open" << QStringList{"&Открыть", "Отмена"} << "";
        QTest::newRow("save as") << "save" << QStringList{"&Сохранить", "Отмена"} << "";
        QTest::newRow("font") << "font" << QStringList{"Выбор шрифта", "Отмена"} << "";
        QTest::newRow("print") << "print" << QStringList{"С&войства", "Отмена"} << "";
        QTest::newRow("printer set-up") << "setup" << QStringList{"Параметры страницы", "Книжная", "Отмена"} << "";
    }
    void standardDialogsSpeakRussian()
    {
        QFETCH(QString, dialog);
        QFETCH(QStringList, shown);
        QFETCH(QString, title);
        UiServices::setInstance(nullptr);
        UiServices& ui = UiServices::instance();
        QStringList texts;
        QString caption;
        const auto open = [&] {
            if (dialog == "question")
                ui.askYesNo(nullptr, kCloseQuestionTitle, kCloseQuestion);
            else if (dialog == "message")
                showError(QStringLiteral("Failed to Load Stream"));
            else if (dialog == "open")
                ui.openFileName(nullptr, QString(), QString());
            else if (dialog == "save")
                ui.saveFileName(nullptr, QString(), QString());
            else if (dialog == "print") {
                QPrinter printer;
                ui.printDialog(nullptr, printer);
            } else if (dialog == "setup") {
                QPrinter printer;
                ui.printerSetupDialog(nullptr, printer);
            } else if (dialog == "font") {
                QFont font;
                ui.fontDialog(nullptr, font);
            }
        };
        whileUp(open, [&](QWidget* w) {
            texts = buttonTexts(w);
            texts << w->windowTitle();
            caption = w->windowTitle();
            if (auto* files = qobject_cast<QFileDialog*>(w))
                texts << files->labelText(QFileDialog::Accept) << files->labelText(QFileDialog::Reject);
        }, escape);
        for (const QString& text : shown)
            QVERIFY2(texts.contains(text), qPrintable(text + " not in " + texts.join(" | ")));
        if (!title.isEmpty())
            QCOMPARE(caption, title);
    }

    // Enter on the question keeps the existing file; Yes replaces it.
    void replaceQuestionIsRussianWithNoAsDefault_data()
    {
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QByteArray>("startOfFile");
        QTest::newRow("Enter: No") << true << QByteArray("earlier report");
        QTest::newRow("Да") << false << QByteArray("{\\rtf1");
    }
    void replaceQuestionIsRussianWithNoAsDefault()
    {
        QFETCH(bool, enter);
        QFETCH(QByteArray, startOfFile);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("existing.rtf"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier report");
        }
        SaveAnswering services;
        services.names = {file};
        UiServices::setInstance(&services);
        TForm1 form;
        form.RichEdit1->appendLine(QStringLiteral("новый отчет"));
        QString text;
        QString title;
        QString defaultButton;
        whileUp([&] { form.menuItem(QStringLiteral("N5"))->trigger(); },
                [&](QWidget* w) {
                    auto* box = qobject_cast<QMessageBox*>(w);
                    QVERIFY(box);
                    text = box->text();
                    title = box->windowTitle();
                    QVERIFY(box->defaultButton());
                    defaultButton = box->defaultButton()->text();
                },
                [&](QWidget* w) {
                    if (enter)
                        QTest::keyClick(w, Qt::Key_Return);
                    else
                        static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
                });
        UiServices::setInstance(nullptr);
        QCOMPARE(title, QStringLiteral("Сохранить как"));
        QCOMPARE(text, QDir::toNativeSeparators(file) + QStringLiteral(" уже существует.\nЗаменить его?"));
        QCOMPARE(defaultButton, QStringLiteral("&Нет"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(f.readAll().startsWith(startOfFile), startOfFile.constData());
    }
};

int main(int argc, char** argv)
{
    KalvantaApplication app(argc, argv);
    DialogLanguageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dialog_language.moc"
