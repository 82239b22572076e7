// Keystrokes typed into the filtered fields, and Enter along the chains.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "wizard_fixture.h"

using namespace kalvanta;
using namespace kalvanta::test;

namespace {

// Types text key by key; characters QTest cannot map go as raw key events.
void type(QLineEdit* edit, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClicks(edit, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

QLineEdit* emptied(QWidget* dialog, const QString& name)
{
    QLineEdit* edit = field(dialog, name);
    edit->clear();
    edit->setFocus();
    return edit;
}

} // namespace

class KeystrokeTest : public QObject {
    Q_OBJECT
private slots:
    void filters_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        // Point filter: Edit1, Edit2, Edit5, Edit8, Edit9 of both asset dialogs.
        QTest::newRow("second point dropped") << "TForm2" << "Edit1" << "1.2.3" << "1.23";
        QTest::newRow("comma dropped") << "TForm2" << "Edit2" << "12,5" << "125";
        QTest::newRow("minus twice") << "TForm2" << "Edit5" << "--" << "--";
        QTest::newRow("minus anywhere") << "Tdoubl" << "Edit8" << "5-5-" << "5-5-";
        QTest::newRow("letters and blanks dropped") << "Tdoubl" << "Edit9" << "1 a2b+e3" << "123";
        QTest::newRow("Cyrillic dropped") << "TForm2" << "Edit9" << "7ж8" << "78";
        // Comma filter: all twenty fields of the additional data.
        QTest::newRow("comma accepted once") << "Tdopol" << "Edit13" << "10680,5,1" << "10680,51";
        QTest::newRow("point dropped") << "Tdopol" << "Edit7" << "1.5" << "15";
        QTest::newRow("comma minus") << "Tdopol" << "Edit21" << "-1,-" << "-1,-";
        QTest::newRow("Cyrillic in comma field") << "Tdopol" << "Edit1" << "бю9" << "9";
        // No filter anywhere else.
        QTest::newRow("asset right column") << "TForm2" << "Edit16" << "1.2,x" << "1.2,x";
        QTest::newRow("asset row A3") << "TForm2" << "Edit3" << "ab c" << "ab c";
        QTest::newRow("liabilities") << "TForm3" << "Edit1" << "1.5ы" << "1.5ы";
        QTest::newRow("profit and loss") << "Tform6" << "Edit1" << "e,." << "e,.";
    }
    void filters()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, edit);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Wizard w;
        QWidget* window = w.window(dialog);
        bringToFront(window);
        QLineEdit* target = emptied(window, edit);
        type(target, typed);
        QCOMPARE(target->text(), result);
    }

    void filterLooksAtTheWholeTextNotTheCaret()
    {
        Wizard w;
        bringToFront(w.form2.get());
        QLineEdit* edit = emptied(w.form2.get(), "Edit1");
        type(edit, "1.5");
        QTest::keyClick(edit, Qt::Key_Home);
        type(edit, ".9");
        QCOMPARE(edit->text(), QStringLiteral("91.5"));
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("91."));
    }

    void pastedTextIsNotFiltered()
    {
        Wizard w;
        bringToFront(w.dopol.get());
        QLineEdit* edit = emptied(w.dopol.get(), "Edit5");
        QApplication::clipboard()->setText(QStringLiteral("2.5 руб"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("2.5 руб"));
        edit->clear();
        edit->paste();
        QCOMPARE(edit->text(), QStringLiteral("2.5 руб"));
    }

    void typedPointFailsTheConversionUnderTheComma()
    {
        Wizard w;
        w.start();
        click(w.par->Button1);
        QLineEdit* edit = emptied(w.form2.get(), "Edit1");
        type(edit, "0.5");
        click(w.form2->Button1);
        QCOMPARE(w.services.messages.size(), std::size_t{1});
        QCOMPARE(w.services.messages.front().text, QStringLiteral("'0.5' is not a valid floating point value."));
    }

    void enterChains_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("oneProduct");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("assets A1 to A2") << "TForm2" << false << "Edit1" << "Edit2";
        QTest::newRow("assets A2 to A3") << "Tdoubl" << false << "Edit2" << "Edit3";
        QTest::newRow("assets A5 to A6") << "TForm2" << false << "Edit5" << "Edit6";
        QTest::newRow("assets A8 to A9") << "TForm2" << false << "Edit8" << "Edit9";
        QTest::newRow("assets A9 to A10") << "Tdoubl" << false << "Edit9" << "Edit10";
        QTest::newRow("unfiltered field stays") << "TForm2" << false << "Edit3" << "Edit3";
        QTest::newRow("credits") << "Tdopol" << false << "Edit1" << "Edit2";
        QTest::newRow("tax year 2 to price A") << "Tdopol" << false << "Edit6" << "Edit7";
        QTest::newRow("price A to price B") << "Tdopol" << false << "Edit7" << "Edit8";
        QTest::newRow("fixed costs 1 to price A 2") << "Tdopol" << false << "Edit13" << "Edit15";
        QTest::newRow("fixed costs 2 back") << "Tdopol" << false << "Edit21" << "Edit20";
        // One product: the hidden B fields are skipped along the chain.
        QTest::newRow("one: price A to cost A") << "Tdopol" << true << "Edit7" << "Edit9";
        QTest::newRow("one: quantity A to fixed") << "Tdopol" << true << "Edit11" << "Edit13";
        QTest::newRow("one: year 2 cost A to quantity A") << "Tdopol" << true << "Edit17" << "Edit19";
        QTest::newRow("one: quantity A 2 to fixed 2") << "Tdopol" << true << "Edit19" << "Edit21";
        QTest::newRow("one: fixed 2 stays") << "Tdopol" << true << "Edit21" << "Edit21";
        QTest::newRow("one: visible target unchanged") << "Tdopol" << true << "Edit13" << "Edit15";
    }
    void enterChains()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, oneProduct);
        QFETCH(QString, from);
        QFETCH(QString, to);
        Wizard w;
        QWidget* window = w.window(dialog);
        bringToFront(window);
        QTRY_VERIFY(window->isActiveWindow());
        if (oneProduct)
            click(w.dopol->RadioButton1);
        QLineEdit* start = field(window, from);
        const QString text = start->text();
        start->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), start);
        QTest::keyClick(start, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), field(window, to));
        QCOMPARE(start->text(), text);
        QVERIFY(w.services.messages.empty());
    }

    // Tab and Shift+Tab move on from a filtered field as from any other,
    // and what is typed next replaces the figure there.
    void focusKeys_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QString>("to");
        QTest::newRow("assets A1 Tab") << "TForm2" << "Edit1" << false << "Edit16";
        QTest::newRow("assets A2 Shift+Tab") << "TForm2" << "Edit2" << true << "Edit16";
        QTest::newRow("assets A5 Tab") << "Tdoubl" << "Edit5" << false << "Edit20";
        QTest::newRow("assets A9 Shift+Tab") << "Tdoubl" << "Edit9" << true << "Edit23";
        QTest::newRow("credits Tab") << "Tdopol" << "Edit1" << false << "Edit2";
        QTest::newRow("tax Shift+Tab") << "Tdopol" << "Edit6" << true << "Edit5";
        QTest::newRow("fixed costs 1 Tab") << "Tdopol" << "Edit13" << false << "Edit15";
        QTest::newRow("fixed costs 2 Shift+Tab") << "Tdopol" << "Edit21" << true << "Edit20";
    }
    void focusKeys()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, from);
        QFETCH(bool, backwards);
        QFETCH(QString, to);
        Wizard w;
        QWidget* window = w.window(dialog);
        bringToFront(window);
        QTRY_VERIFY(window->isActiveWindow());
        QLineEdit* start = field(window, from);
        const QString text = start->text();
        start->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), start);
        if (backwards)
            QTest::keyClick(start, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(start, Qt::Key_Tab);
        QLineEdit* target = field(window, to);
        QCOMPARE(QApplication::focusWidget(), target);
        QCOMPARE(start->text(), text);
        type(target, "7");
        QCOMPARE(target->text(), QStringLiteral("7"));
    }

    // Enter selects the whole text of the field it moves to: a figure typed
    // next replaces the old one instead of being appended to it.
    void enterSelectsTheNextField_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("typed");
        QTest::newRow("assets A1 to A2") << "TForm2" << "Edit1" << "Edit2" << "7";
        QTest::newRow("assets A9 to unfiltered A10") << "Tdoubl" << "Edit9" << "Edit10" << "25";
        QTest::newRow("price A to price B") << "Tdopol" << "Edit7" << "Edit8" << "7";
        QTest::newRow("fixed costs 1 to price A 2") << "Tdopol" << "Edit13" << "Edit15" << "3,5";
        QTest::newRow("fixed costs 2 back") << "Tdopol" << "Edit21" << "Edit20" << "400";
    }
    void enterSelectsTheNextField()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, typed);
        Wizard w;
        QWidget* window = w.window(dialog);
        bringToFront(window);
        QTRY_VERIFY(window->isActiveWindow());
        QLineEdit* start = field(window, from);
        QLineEdit* target = field(window, to);
        QVERIFY(!target->text().isEmpty());
        start->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), start);
        QTest::keyClick(start, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), target);
        QCOMPARE(target->selectedText(), target->text());
        type(target, typed);
        QCOMPARE(target->text(), typed);
    }
};

int runKeystrokeTests(int argc, char** argv)
{
    KeystrokeTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_keystrokes.moc"
