// Every label of every window shows its whole text, at the window's size
// and with the program's font: no line is cut at the right or the bottom.
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QtMath>
#include <QLayout>
#include <QTest>
#include <QTextDocument>

#include "fake_ui_services.h"
#include "shell/program_windows.h"
#include "shell/splash_window.h"
#include "shell/window_helpers.h"
#include "ui/application.h"

using namespace kalvanta;

namespace {

// The size a label's text needs, as the label lays it out.
QSize textSize(const QLabel& label)
{
    const bool rich = label.textFormat() == Qt::RichText ||
                      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
    if (rich) {
        QTextDocument doc;
        doc.setDefaultFont(label.font());
        doc.setDocumentMargin(0);
        doc.setHtml(label.text());
        if (label.wordWrap())
            doc.setTextWidth(label.contentsRect().width());
        return QSize(qCeil(label.wordWrap() ? 0 : doc.idealWidth()), qCeil(doc.size().height()));
    }
    QString text = label.text();
    // With a buddy the mnemonic's "&" is drawn as an underline, not a character.
    if (label.buddy())
        text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    int flags = Qt::TextExpandTabs;
    if (label.wordWrap())
        flags |= Qt::TextWordWrap;
    const QRect room(0, 0, label.wordWrap() ? label.contentsRect().width() : 100000, 100000);
    const QSize needed = label.fontMetrics().boundingRect(room, flags, text).size();
    return label.wordWrap() ? QSize(0, needed.height()) : needed;
}

QStringList cutLabels(QWidget* window)
{
    QStringList cut;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        const int margin = 2 * label->margin() + (label->indent() > 0 ? label->indent() : 0);
        const QSize room = label->contentsRect().size() - QSize(margin, margin);
        const QSize needed = textSize(*label);
        if (needed.width() > room.width() || needed.height() > room.height())
            cut << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                       .arg(label->objectName(), label->text())
                       .arg(needed.width())
                       .arg(needed.height())
                       .arg(room.width())
                       .arg(room.height());
    }
    return cut;
}

} // namespace

class LabelsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(interfaceFont(8)); }

    void everyLabelShowsItsWholeText_data()
    {
        QTest::addColumn<QString>("window");
        ProgramWindows windows;
        for (QWidget* w : windows.windows())
            QTest::newRow(qPrintable(w->objectName())) << w->objectName();
        QTest::newRow("Top") << "Top";
    }
    void everyLabelShowsItsWholeText()
    {
        QFETCH(QString, window);
        test::FakeServicesScope services;
        ProgramWindows windows;
        Top splash;
        QWidget* w = window == "Top" ? &splash : windows.window(window);
        QVERIFY(w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        if (w->layout())
            w->layout()->activate();
        QCoreApplication::processEvents();
        const QStringList cut = cutLabels(w);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        w->hide();
    }
};

int main(int argc, char** argv)
{
    KalvantaApplication app(argc, argv);
    LabelsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_labels.moc"
