#pragma once
// What the planning window tests share: a fake dialog service that records
// every message and answers the print dialog, and line helpers.
#include <QAccessible>
#include <QApplication>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>

#include "numeric/regional_settings.h"
#include "ui/ui_services.h"

namespace kalvanta::test {

struct ShownMessage {
    UiServices::Icon icon;
    QString title;
    QString text;
};

class FakeUiServices : public UiServices {
public:
    FakeUiServices() { UiServices::setInstance(this); }
    ~FakeUiServices() override { UiServices::setInstance(nullptr); }

    void message(QWidget* parent, Icon icon, const QString& title, const QString& text) override
    {
        messages.push_back({icon, title, text});
        if (showBoxes && parent)
            showBoxOver(parent->window(), title);
    }

    // A box as a desktop shows it: it takes the activation and, once
    // answered, gives it back to the window beneath.
    static void showBoxOver(QWidget* window, const QString& title)
    {
        QWidget box;
        box.setWindowTitle(title);
        box.show();
        box.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &box);
        box.hide();
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool printDialog(QWidget*, QPrinter& printer) override
    {
        printJobTitles << printer.docName();
        if (printToFile.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToFile);
        return true;
    }
    bool printerSetupDialog(QWidget*, QPrinter&) override { return false; }
    bool fontDialog(QWidget*, QFont&) override { return false; }

    QList<ShownMessage> messages;
    QStringList printJobTitles;
    QString printToFile; // empty: the print dialog is cancelled
    bool showBoxes = false; // messages come up as windows of their own
};

// A radio button or check box switched by its accessibility Toggle action,
// as a screen reader or voice control does it.
inline void toggle(QWidget* button)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

inline RegionalSettings commaSettings() { return RegionalSettings::russian(); }

} // namespace kalvanta::test
