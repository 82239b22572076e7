#pragma once
// What the planning window tests share: a fake dialog service that records
// every message and answers the print dialog, the windows set up for each
// test, and line helpers.
#include <QAccessible>
#include <QApplication>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>

#include "numeric/regional_settings.h"
#include "planning_gui/planning_windows.h"
#include "support/declining_ui_services.h"

namespace kalvanta::test {

struct ShownMessage {
    UiServices::Icon icon;
    QString title;
    QString text;
};

class FakeUiServices : public DecliningUiServices {
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
    bool printDialog(QWidget*, QPrinter& printer) override
    {
        printJobTitles << printer.docName();
        if (printToFile.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToFile);
        return true;
    }

    QString saveFileName(QWidget*, const QString&, const QString& filter) override
    {
        saveFilters << filter;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }

    QList<ShownMessage> messages;
    QStringList printJobTitles;
    QStringList saveFilters; // the file types each save dialog offered
    QStringList saveAnswers; // the names typed; none left: cancelled
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

// The windows of one test: the fake service in place before they are
// created and gone after they are destroyed. Test classes call these from
// their init and cleanup slots.
class PlanningWindowsFixture {
protected:
    std::unique_ptr<FakeUiServices> ui_;
    std::unique_ptr<PlanningWindows> windows_;

    void createWindows()
    {
        ui_ = std::make_unique<FakeUiServices>();
        windows_ = std::make_unique<PlanningWindows>();
        windows_->createAll();
        windows_->setRegionalSettings(commaSettings());
    }

    void destroyWindows()
    {
        windows_.reset();
        ui_.reset();
    }

    // Shown without a modal loop: the test drives it like a user.
    static void showActive(QWidget* window)
    {
        window->show();
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }
};

} // namespace kalvanta::test
